// hddterm: the service console. "hddterm --port DEV" preselects a port ("sim" is the built-in
// simulated drive); without it the port of the last run is selected when it is still there.
// "--lang en" (or HDDTERM_LANG=en) shows the interface in English for this run; the language menu
// switches it and remembers the choice. Qt's own dialogs are used (not the desktop's) so that they
// speak the tool's language; what the window remembers is read before its start-up and written
// whenever it changes.
#include <QApplication>
#include <QIcon>
#include <QScreen>
#include <cstdio>
#include <cstring>

#include "clock.h"
#include "language.h"
#include "main_model.h"
#include "main_window.h"
#include "settings.h"
#include "settings_keeper.h"
#include "sim_port.h"

namespace {

const char* kHelp =
    "usage: hddterm [--port PORT] [--lang zh|en] [Qt options]\n"
    "       hddterm --help | --version\n"
    "\n"
    "The service console for a drive's diagnostic serial terminal: a console with a command line,\n"
    "port and speed selection, and one-key operations that move buffer memory, system-area tracks\n"
    "and firmware modules between the drive and files.\n"
    "\n"
    "Options:\n"
    "  --port PORT  preselect a port: a listed one (ttyUSB0), a device path the system does not\n"
    "               list (/dev/pts/5), or sim, the built-in simulated drive\n"
    "  --lang LANG  the interface's language for this run: zh (Chinese, the default) or en\n"
    "               (English); beats HDDTERM_LANG, which beats the language menu's last choice\n"
    "  --help       show this help and exit (no display needed)\n"
    "  --version    show the version and exit\n"
    "\n"
    "The Qt options (-platform offscreen, ...) are taken as any Qt program takes them. The console's\n"
    "pop-up menu records the line to a text file (保存通信记录…). hddterm-cli runs the same window\n"
    "from the command line; hddsim is the simulated drive on a pseudo-terminal.\n"
    "\n"
    "Settings: $XDG_CONFIG_HOME/hddterm/hddterm.ini (~/.config/hddterm/hddterm.ini). Its [banner]\n"
    "group gives the contact lines of the start-up banner: chat=, phone=, web= (the web address\n"
    "also follows the program's name in the window caption); an empty one is left out.\n";

}  // namespace

int main(int argc, char** argv) {
    // Answered before the application object exists, so they work without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("hddterm %s\n", HDDTERM_VERSION);
            return 0;
        }
    }
    QStringList given;
    for (int i = 1; i < argc; ++i) given << QString::fromLocal8Bit(argv[i]);
    const QString langOption = hdd::languageOption(given);
    if ((!langOption.isEmpty() && !hdd::parseLanguage(langOption)) ||
        (langOption.isEmpty() && given.contains(QStringLiteral("--lang")))) {
        std::fprintf(stderr, "hddterm: --lang takes zh or en\n");
        return 2;
    }
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("hddterm"));
    QApplication::setApplicationVersion(QStringLiteral(HDDTERM_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/hddterm.png")));
    QString port;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--port" && i + 1 < args.size()) port = args[++i];
    }

    const QString settingsPath = hdd::defaultSettingsPath();
    const hdd::RememberedSettings remembered = hdd::loadSettings(settingsPath);
    hdd::setLanguage(
        hdd::chooseLanguage(langOption, qEnvironmentVariable("HDDTERM_LANG"), remembered.language));

    hdd::RealClock clock;
    hdd::GuiFrontend frontend;
    frontend.pickerFolders = remembered.pickerFolders;
    frontend.dialogPlaces = remembered.dialogPlaces;
    hdd::MainOptions options;
    options.banner = remembered.banner;
    options.portPollMs = 2000;
    options.hotplugFolders = {QStringLiteral("/dev"), QStringLiteral("/dev/serial/by-id")};
    options.registerPorts = [](hdd::SerialPort& p, hdd::Clock& c) { hddsim::SimPort::add(p, c); };
    hdd::MainModel model(clock, frontend, options);
    hdd::MainWindow window(model);
    frontend.setParent(&window);
    hdd::applyBeforeStartUp(model, remembered);
    model.startUp(port);
    hdd::applyAfterStartUp(model, remembered);
    frontend.defaultFolder = model.workFolder();
    window.setWindowTitle(hdd::displayText(model.caption()));
    if (QScreen* s = app.primaryScreen()) {
        if (remembered.windowSize.isValid())
            window.resize(remembered.windowSize.boundedTo(s->availableGeometry().size()));
        // Where it was left while that place is still on a screen; centred otherwise.
        const QScreen* there = remembered.hasWindowPos ? app.screenAt(remembered.windowPos) : nullptr;
        window.move(there && there->availableGeometry().contains(QRect(remembered.windowPos, window.size()))
                        ? remembered.windowPos
                        : s->availableGeometry().center() - window.rect().center());
    }
    hdd::SettingsKeeper keeper(settingsPath, remembered, model, frontend, &window);
    window.onLanguageChosen = [&keeper](hdd::Language l) { keeper.rememberLanguage(hdd::languageCode(l)); };
    if (remembered.maximized) {
        window.showMaximized();
    } else {
        window.show();
    }
    const int rc = app.exec();
    keeper.save();
    return rc;
}
