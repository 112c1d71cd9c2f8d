// Levels and prompts: "/X\r" moves to level X, "/\r" returns to T (F answers "F>"),
// Ctrl-Z forces a fresh prompt.
#include "drive.h"

namespace hddsim {

void installLevelCommands(Drive& d) {
    d.addControlHandler([](Drive& drv, char c) {
        if (c != 0x1A) return false;
        drv.prompt();
        return true;
    });
    d.addLineHandler([](Drive& drv, const QByteArray& line) {
        if (!line.startsWith('/')) return false;
        const QByteArray arg = line.mid(1).trimmed().toUpper();
        if (arg.isEmpty()) {
            if (drv.level != "F") drv.setLevel("T");
        } else if (arg.size() == 1 && (QByteArray("0123456789ABCDEHJLMOST").contains(arg[0]))) {
            drv.setLevel(arg);
        } else {
            drv.printLine("Input Command Error");
        }
        drv.prompt();
        return true;
    });
}

}  // namespace hddsim
