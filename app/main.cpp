// hddterm: the service console. "hddterm --port DEV" preselects a port ("sim" is the built-in
// simulated drive).
#include <QApplication>
#include <QScreen>

#include "clock.h"
#include "main_model.h"
#include "main_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QString port;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--port" && i + 1 < args.size()) port = args[++i];
    }
    hdd::RealClock clock;
    hdd::GuiFrontend frontend;
    hdd::MainModel model(clock, frontend);
    hdd::MainWindow window(model);
    frontend.setParent(&window);
    model.startUp();
    window.setWindowTitle(model.caption());
    if (!port.isEmpty()) model.choosePort(port);
    if (QScreen* s = app.primaryScreen())
        window.move(s->availableGeometry().center() - window.rect().center());
    window.show();
    return app.exec();
}
