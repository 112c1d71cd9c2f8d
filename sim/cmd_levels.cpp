// Levels and prompts.
//
//   "/X\r"   moves to level X (a digit or one of the level letters) and answers with its prompt
//   "/\r"    returns to T; at F, where there are no numbered levels, it only answers "F>"
//   "/F\r"   at F answers "F>" as well
//   Ctrl-Z   a fresh prompt of the current level
//   Esc      a fresh prompt as well: the way a technician gets the monitor's attention after a
//            restart, when it has printed its start-up lines but no prompt
//
// A drive held at one level by a fault (Faults::stuckLevel) is at that level from the first byte
// it sees, and every level command answers with that level's prompt.
#include "drive.h"

namespace hddsim {

void installLevelCommands(Drive& d) {
    d.addByteHandler([](Drive& drv, char) {
        if (!drv.faults.stuckLevel.isEmpty()) drv.level = drv.faults.stuckLevel;
        return false;
    });
    d.addControlHandler([](Drive& drv, char c) {
        if (c != 0x1A && c != 0x1B) return false;
        drv.prompt();
        return true;
    });
    d.addLineHandler([](Drive& drv, const QByteArray& line) {
        if (!line.startsWith('/')) return false;
        const QByteArray arg = line.mid(1).trimmed().toUpper();
        if (arg.isEmpty()) {
            if (drv.level != "F") drv.setLevel("T");
        } else if (arg == "F" && drv.level == "F") {
            // "/F" at F: stays, and answers its prompt (only a restart leads to F)
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
