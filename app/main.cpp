// hddterm: the service console. "hddterm --port DEV" preselects a port ("sim" is the built-in
// simulated drive); without it the port of the last run is selected when it is still there.
// Qt's own dialogs are used (not the desktop's) so that they speak Chinese with the rest of the
// tool; what the window remembers is read before its start-up and written when it closes.
#include <QApplication>
#include <QIcon>
#include <QScreen>
#include <cstdio>
#include <cstring>

#include "clock.h"
#include "main_model.h"
#include "main_window.h"
#include "settings.h"
#include "sim_port.h"
#include "translations.h"

namespace {

const char* kHelp =
    "usage: hddterm [--port PORT] [Qt options]\n"
    "       hddterm --help | --version\n"
    "\n"
    "The service console for a drive's diagnostic serial terminal: a console with a command line,\n"
    "port and speed selection, and one-key operations that move buffer memory, system-area tracks\n"
    "and firmware modules between the drive and files.\n"
    "\n"
    "Options:\n"
    "  --port PORT  preselect a port: a listed one (ttyUSB0), a device path the system does not\n"
    "               list (/dev/pts/5), or sim, the built-in simulated drive\n"
    "  --help       show this help and exit (no display needed)\n"
    "  --version    show the version and exit\n"
    "\n"
    "The Qt options (-platform offscreen, ...) are taken as any Qt program takes them. The console's\n"
    "pop-up menu records the line to a text file (保存通信记录…). hddterm-cli runs the same window\n"
    "from the command line; hddsim is the simulated drive on a pseudo-terminal.\n";

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
    hdd::installChineseTranslations(app);

    const QString settingsPath = hdd::defaultSettingsPath();
    hdd::RememberedSettings remembered = hdd::loadSettings(settingsPath);
    hdd::RealClock clock;
    hdd::GuiFrontend frontend;
    frontend.pickerFolders = remembered.pickerFolders;
    frontend.dialogPlaces = remembered.dialogPlaces;
    hdd::MainOptions options;
    options.portPollMs = 2000;
    options.hotplugFolders = {QStringLiteral("/dev"), QStringLiteral("/dev/serial/by-id")};
    options.registerPorts = [](hdd::SerialPort& p, hdd::Clock& c) { hddsim::SimPort::add(p, c); };
    hdd::MainModel model(clock, frontend, options);
    hdd::MainWindow window(model);
    frontend.setParent(&window);
    hdd::applyBeforeStartUp(model, remembered);
    model.startUp(port);
    hdd::applyAfterStartUp(model, remembered);
    window.setWindowTitle(model.caption());
    if (QScreen* s = app.primaryScreen()) {
        if (remembered.windowSize.isValid())
            window.resize(remembered.windowSize.boundedTo(s->availableGeometry().size()));
        window.move(s->availableGeometry().center() - window.rect().center());
    }
    if (remembered.maximized) {
        window.showMaximized();
    } else {
        window.show();
    }
    const int rc = app.exec();

    remembered = hdd::captureSettings(model, remembered);
    remembered.maximized = window.isMaximized();
    remembered.windowSize = remembered.maximized ? window.normalGeometry().size() : window.size();
    remembered.pickerFolders = frontend.pickerFolders;
    remembered.dialogPlaces = frontend.dialogPlaces;
    hdd::saveSettings(settingsPath, remembered);
    return rc;
}
