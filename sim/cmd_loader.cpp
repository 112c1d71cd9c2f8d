// The simulated drive's F-level boot: firmware modules downloaded into memory.
//
// At the F level (the boot monitor, no firmware running):
//   "d<buffer>,<n>"  opens the APP download into that buffer, in blocks of 512 << n bytes (n 1 to 3:
//                    "d60,2" takes 2048-byte blocks, "d80,1" 1024-byte ones)
//   "j,,1"           jumps into the downloaded APP, which comes up at the T level after
//                    "loader.bootMs" milliseconds (default 600), at the speed the link had
// At the T level:
//   "d,<n>,1"        opens the CERT download (n 2: 2048-byte blocks, 3: 4096); a taken CERT makes
//                    "r" show "Disk Code Revision"
//   "h<count>"       opens the TABLE download of count (hexadecimal) sectors in 512-byte blocks; a
//                    TABLE of another length is not taken. Without a CERT the drive refuses at once,
//                    with a prompt.
//   "N4F,,22"        the interface code download mode, until "N50,,22" or a restart
//   "e0,0" "e1,0"    in that mode, open the ATA0 and ATA1 downloads (512-byte blocks)
//   "b,,22"          builds the interface code from ATA0 (and ATA1)
//   "c"              writes the built interface code to the disk
//   "w4,60" "w1,60" "w,,22"   write the APP, the CERT and the TABLE in memory to the disk
// A restart forgets everything memory held.
//
// Faults (settings): loader.appNoT 1 — the APP hangs after the jump and never answers again;
// 2 — it falls back to the boot monitor at the F level. loader.certNoRev 1 — a CERT is taken but
// does not come up ("r" shows no revision). loader.certTo9600 1 — after taking a CERT the drive
// talks at 9600. Refused and broken downloads come from the buffer faults (BufferFaults).
#include <limits>

#include "buffer_memory.h"
#include "drive.h"
#include "firmware_model.h"
#include "loader_state.h"
#include "service_state.h"

namespace hddsim {

namespace {

bool isHex(const QByteArray& text) {
    if (text.isEmpty() || text.size() > 8) return false;
    bool ok = false;
    text.toUInt(&ok, 16);
    return ok;
}

// A restart empties memory: nothing loaded, no APP running, no CERT.
void forgetOnRestart(Drive& d) {
    LoaderState& s = d.state<LoaderState>();
    const int restarts = d.state<ServiceState>().restarts;
    if (s.restartsSeen == restarts) return;
    const QList<QByteArray> opened = s.opened, saved = s.saved;
    s = LoaderState{};
    s.opened = opened;
    s.saved = saved;
    s.restartsSeen = restarts;
    d.state<FirmwareState>().certLoaded = false;
}

void loaded(Drive& d, const QByteArray& what) {
    d.printLine("\r\n" + what + " loaded");
    d.prompt();
}

void openDownload(Drive& d, const QByteArray& command, qsizetype blockSize,
                  std::function<void(Drive&, const QByteArray&)> done) {
    d.state<LoaderState>().opened << command;
    startDownload(d, blockSize, std::move(done));
}

void saveToDisk(Drive& d, const QByteArray& module, bool present) {
    if (!present) {
        d.printLine("No Code Loaded");
    } else {
        d.printLine("Saving " + module + "...");
        d.pause(1'000'000);
        d.printLine("Done");
        d.state<LoaderState>().saved << module;
    }
    d.prompt();
}

void jump(Drive& d) {
    LoaderState& s = d.state<LoaderState>();
    if (s.app.isEmpty()) {
        d.printLine("No Code Loaded");
        d.prompt();
        return;
    }
    d.printLine("Jump to APP");
    const int fault = d.setting("loader.appNoT");
    if (fault == 1) {
        // The code runs away: the drive hears nothing from now on.
        d.state<ServiceState>().deafUntilUs = std::numeric_limits<qint64>::max();
        return;
    }
    d.pause(qint64{d.setting("loader.bootMs", 600)} * 1000);
    if (fault == 2) {
        d.printLine("APP Start Error");
        d.prompt();
        return;
    }
    s.appRunning = true;
    d.printLine("Firmware running");
    d.setLevel("T");
    d.prompt();
}

bool fLevelCommand(Drive& d, const QByteArray& line) {
    if (line == "j,,1") {
        jump(d);
        return true;
    }
    // "d<buffer>,<n>": the APP into a buffer ("d<address>,0" belongs to the serial ROM).
    const qsizetype comma = line.indexOf(',');
    if (!line.startsWith('d') || comma < 2 || comma != line.size() - 2) return false;
    const QByteArray buffer = line.mid(1, comma - 1);
    const char n = line.back();
    if (!isHex(buffer) || n < '1' || n > '3') return false;
    const qsizetype blockSize = qsizetype{512} << (n - '0');
    openDownload(d, line, blockSize, [buffer, blockSize](Drive& dd, const QByteArray& image) {
        LoaderState& st = dd.state<LoaderState>();
        st.app = image;
        st.appBuffer = buffer;
        st.appBlockSize = blockSize;
        loaded(dd, "APP");
    });
    return true;
}

bool tLevelCommand(Drive& d, const QByteArray& line) {
    LoaderState& s = d.state<LoaderState>();
    if (line.size() == 5 && line.startsWith("d,") && line.endsWith(",1") && line[2] >= '1' &&
        line[2] <= '3') {
        const qsizetype blockSize = qsizetype{512} << (line[2] - '0');
        openDownload(d, line, blockSize, [blockSize](Drive& dd, const QByteArray& image) {
            LoaderState& st = dd.state<LoaderState>();
            st.cert = image;
            st.certBlockSize = blockSize;
            if (dd.setting("loader.certNoRev") != 1) dd.state<FirmwareState>().certLoaded = true;
            loaded(dd, "CERT");
            if (dd.setting("loader.certTo9600") == 1) dd.switchBaud(9600);
        });
        return true;
    }
    if (line.startsWith('h') && isHex(line.mid(1))) {
        if (!certLoaded(d)) {
            d.printLine("Cert Not Loaded");
            d.prompt();
            return true;
        }
        const qsizetype bytes = qsizetype{line.mid(1).toUInt(nullptr, 16)} * 512;
        openDownload(d, line, 512, [bytes](Drive& dd, const QByteArray& image) {
            if (image.size() != bytes) {
                dd.printLine("\r\nTable Length Error");
                dd.prompt();
                return;
            }
            dd.state<LoaderState>().table = image;
            loaded(dd, "TABLE");
        });
        return true;
    }
    if (line == "N4F,,22") {
        s.ataMode = true;
        d.printLine("Mode 4F");
    } else if (line == "e0,0" || line == "e1,0") {
        if (!s.ataMode) {
            d.printLine("Input Command Error");
        } else {
            const bool first = line[1] == '0';
            openDownload(d, line, 512, [first](Drive& dd, const QByteArray& image) {
                LoaderState& st = dd.state<LoaderState>();
                (first ? st.ata0 : st.ata1) = image;
                st.ataBuilt = false;
                loaded(dd, first ? "ATA0" : "ATA1");
            });
            return true;
        }
    } else if (line == "b,,22") {
        s.ataBuilt = !s.ata0.isEmpty();
        d.printLine(s.ataBuilt ? "Intf Code Built" : "No Code Loaded");
    } else if (line == "c" && s.ataBuilt) {
        saveToDisk(d, "ATA", true);
        return true;
    } else if (line == "w4,60") {
        saveToDisk(d, "APP", !s.app.isEmpty());
        return true;
    } else if (line == "w1,60") {
        saveToDisk(d, "CERT", !s.cert.isEmpty());
        return true;
    } else if (line == "w,,22") {
        saveToDisk(d, "TABLE", !s.table.isEmpty());
        return true;
    } else {
        return false;
    }
    d.prompt();
    return true;
}

}  // namespace

void installLoaderCommands(Drive& drive) {
    drive.addByteHandler([](Drive& d, char c) {
        forgetOnRestart(d);
        // "N50,,22" (taken by the service commands) also ends the interface code download mode.
        if (c == '\r' && d.level == "T" && d.typed().trimmed() == "N50,,22")
            d.state<LoaderState>().ataMode = false;
        return false;
    });
    drive.addLineHandler([](Drive& d, const QByteArray& typed) {
        const QByteArray line = typed.trimmed();
        if (d.level == "F") return fLevelCommand(d, line);
        if (d.level == "T") return tLevelCommand(d, line);
        return false;
    });
}

}  // namespace hddsim
