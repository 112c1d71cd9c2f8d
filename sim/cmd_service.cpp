// Restart, link speed and the service commands of the simulated drive.
//
// Restart: Ctrl-T at any level but F restarts the drive into the F level, and so does Ctrl-C at
// F; Ctrl-C at another level resets the firmware back to T. A restart always comes up at 9600
// baud. For "restart.ms" milliseconds (default 400) the drive hears nothing; then it prints its
// start-up lines and waits, without a prompt, until it is asked for one (Esc, Ctrl-Z, "/\r").
//
// Speed: "B" + four digits at T, "b" + four digits at F (other "B..." forms belong to the buffer
// commands). The answer goes out at the old speed, then the drive switches.
//
// Service commands, all at T unless said otherwise:
//   "N50,,22"  back to the normal mode; "N2,,22", "N2,AA,22", "N3,,22", "N4,,22" choose the
//              self-calibration or self-repair run made at the next restart
//   "N1"       at level 1: clears SMART
//   "H,,22"    resets the health values
//   "V1" "V2" "V4"          show the P, T and G defect lists
//   "i1,1,22" "i2,1,22" "i4,1,22"  clear them
//   "E4E" the calibration record; "D" at level C the calibration flow; "R1", "R2"
//   "F"        at level 1: forced read/write
//   "U"        at level 2 or F: spin up; "Z\r" at level 2 and "Z" alone at F: spin down
//   Ctrl-D     steps the drive; the answer shows "0 1 0" at step "ctrld.010" (default 3) and
//              "0 0 0" from step "ctrld.000" (default 6) on; "ctrld.silent" 1: no answer
#include <QList>
#include <algorithm>

#include "drive.h"
#include "service_state.h"

namespace hddsim {

namespace {

struct SpeedCode {
    const char* code;
    qint32 baud;
};
constexpr SpeedCode kSpeedCodes[] = {
    {"0096", 9600},   {"0384", 38400},  {"0576", 57600},  {"0115", 115200},
    {"0230", 230400}, {"0460", 460800}, {"0625", 625200}, {"0921", 921600},
};

bool isSpeedCommand(const QByteArray& line, char letter) {
    if (line.size() != 5 || line[0] != letter) return false;
    return std::all_of(line.begin() + 1, line.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void restart(Drive& drv, const QByteArray& toLevel) {
    ServiceState& s = drv.state<ServiceState>();
    const qint64 delayUs = qint64{drv.setting("restart.ms", 400)} * 1000;
    ++s.restarts;
    s.ctrlDStep = 0;
    s.deafUntilUs = drv.nowUs() + delayUs;
    drv.baud = 9600;  // whatever the speed was, the restarted monitor talks at 9600
    drv.setLevel(toLevel);
    drv.pause(delayUs);
    drv.print("\r\n");
    drv.printLine("Monitor restart");
    drv.printLine("Spin up ... ok");
    if (!s.pendingRun.isEmpty()) {
        drv.printLine("Run " + s.pendingRun + " started");
        s.lastRun = s.pendingRun;
        s.pendingRun.clear();
    }
    drv.printLine(drv.level == "F" ? "Firmware not loaded, F level" : "Firmware loaded");
}

void showList(Drive& drv, const char* title, const QList<QByteArray>& entries) {
    drv.printLine(QByteArray(title) + ": " + QByteArray::number(entries.size()) + " entries");
    for (qsizetype i = 0; i < entries.size(); ++i) {
        drv.printLine("  " + QByteArray::number(i).rightJustified(4, '0') + "  " + entries[i]);
    }
}

// The answer to Ctrl-D at a given step: the wanted patterns at their steps, others in between
// that contain neither of them.
QByteArray ctrlDPattern(const Drive& drv, int step) {
    const int at010 = drv.setting("ctrld.010", 3);
    const int from000 = drv.setting("ctrld.000", 6);
    if (at010 > 0 && step == at010) return "0 1 0";
    if (from000 > 0 && step >= from000) return "0 0 0";
    static const char* const kOthers[] = {"1 1 1", "1 0 1", "1 1 0", "0 1 1"};
    return kOthers[step % 4];
}

bool tLevelCommand(Drive& drv, const QByteArray& line) {
    ServiceState& s = drv.state<ServiceState>();
    if (line == "N50,,22") {
        s.pendingRun.clear();
        drv.printLine("Mode 50");
    } else if (line == "N2,,22" || line == "N2,AA,22" || line == "N3,,22" || line == "N4,,22") {
        s.pendingRun = line.chopped(3);  // without ",22"
        if (s.pendingRun.endsWith(',')) s.pendingRun.chop(1);
        drv.printLine("Run " + s.pendingRun + " at next restart");
    } else if (line == "H,,22") {
        drv.pause(300'000);
        s.healthReset = true;
        drv.printLine("Health values reset");
    } else if (line == "V1") {
        showList(drv, "P-List", s.pList);
    } else if (line == "V2") {
        showList(drv, "T-List", s.tList);
    } else if (line == "V4") {
        showList(drv, "G-List", s.gList);
    } else if (line == "i1,1,22" || line == "i2,1,22" || line == "i4,1,22") {
        QList<QByteArray>& list = line[1] == '1' ? s.pList : line[1] == '2' ? s.tList : s.gList;
        list.clear();
        drv.printLine("List " + line.mid(1, 1) + " cleared");
    } else if (line == "E4E") {
        drv.printLine("Calibration record");
        drv.printLine("  Head 0  pass  0000");
        drv.printLine("  Head 1  pass  0000");
    } else if (line == "R1" || line == "R2") {
        drv.pause(200'000);
        drv.printLine(line + " done");
    } else {
        return false;
    }
    return true;
}

}  // namespace

void installServiceCommands(Drive& d) {
    // A restarting drive hears nothing.
    d.addByteHandler([](Drive& drv, char) { return drv.nowUs() < drv.state<ServiceState>().deafUntilUs; });
    // "Z" alone at F stops the spindle at once, without a carriage return.
    d.addByteHandler([](Drive& drv, char c) {
        if (c != 'Z' || drv.level != "F" || !drv.typed().isEmpty()) return false;
        drv.state<ServiceState>().spinning = false;
        drv.print("\r\n");
        drv.printLine("Spin down");
        drv.prompt();
        return true;
    });

    d.addControlHandler([](Drive& drv, char c) {
        ServiceState& s = drv.state<ServiceState>();
        switch (c) {
            case 0x14:  // Ctrl-T
                if (drv.level == "F") return true;
                restart(drv, "F");
                return true;
            case 0x03:  // Ctrl-C
                restart(drv, drv.level == "F" ? "F" : "T");
                return true;
            case 0x04: {  // Ctrl-D
                if (drv.setting("ctrld.silent")) return true;
                ++s.ctrlDStep;
                drv.print("\r\n");
                drv.printLine("State " + ctrlDPattern(drv, s.ctrlDStep));
                drv.prompt();
                return true;
            }
            default:
                return false;
        }
    });

    d.addLineHandler([](Drive& drv, const QByteArray& line) {
        ServiceState& s = drv.state<ServiceState>();
        const bool t = drv.level == "T", f = drv.level == "F";
        if ((t && isSpeedCommand(line, 'B')) || (f && isSpeedCommand(line, 'b'))) {
            const auto* it = std::find_if(std::begin(kSpeedCodes), std::end(kSpeedCodes),
                                          [&](const SpeedCode& sc) { return line.mid(1) == sc.code; });
            if (it == std::end(kSpeedCodes)) {
                drv.printLine("Invalid baud rate code");
                drv.prompt();
                return true;
            }
            drv.printLine("Baud rate " + QByteArray::number(it->baud));
            drv.prompt();
            drv.switchBaud(it->baud);
            return true;
        }
        bool handled = false;
        if (t) {
            handled = tLevelCommand(drv, line);
        } else if (drv.level == "1" && line == "N1") {
            s.smartCleared = true;
            drv.printLine("SMART cleared");
            handled = true;
        } else if (drv.level == "1" && line == "F") {
            s.forcedReadWrite = true;
            drv.printLine("Forced read/write on");
            handled = true;
        } else if (drv.level == "C" && line == "D") {
            drv.printLine("Calibration flow");
            for (const char* step : {"  01 servo", "  02 heads", "  03 zones", "  04 verify"})
                drv.printLine(step);
            handled = true;
        } else if ((drv.level == "2" || f) && line == "U") {
            drv.pause(qint64{drv.setting("spin.ms", 1000)} * 1000);
            s.spinning = true;
            drv.printLine("Spin up");
            handled = true;
        } else if (drv.level == "2" && line == "Z") {
            s.spinning = false;
            drv.printLine("Spin down");
            handled = true;
        }
        if (handled) drv.prompt();
        return handled;
    });
}

}  // namespace hddsim
