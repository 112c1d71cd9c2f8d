// The fault soak: a hundred transfers of each kind through the main window's keys against the
// simulated drive, each with random faults on the line (lost, garbled or restarted dump lines,
// dumps without header, NAKed blocks, unacknowledged announces, a drive that falls silent, falls
// back to 9600 or answers late, a track select that hangs, the abort key). Every run must end in
// one of two ways: the success word and a byte-exact file (or drive content), or a failure in the
// tool's words with no file that claims success (a read leaves no file, or only the whole blocks
// read before the failure). Runs are reproducible: the seed of every run is its index.
#include <gtest/gtest.h>

#include <random>

#include "backup.h"
#include "reliability_support.h"
#include "rom.h"
#include "serial_rom.h"
#include "sim_backend.h"
#include "soak_support.h"
#include "track.h"

using namespace hddtest;

namespace {

struct BufferKinds : Soak {
    BufferKinds() {
        h.form().setText("Edit19", "800");
        h.form().setText("Edit20", "3");
    }
};

TEST(FaultSoak, BufferRead) {
    BufferKinds s;
    s.soak(100, kDumpFaults, 6000, [&s](SoakRun& r) {
        const QString file = r.file("Buffer.bin");
        s.h.frontend.files << file;
        s.h.press("Button78");
        const QByteArray want = blocks(s.h, 0x800, 3);
        r.judge(QStringLiteral("正在读取缓冲区......成功！"));
        r.checkRead(file, want, 512);
    });
}

TEST(FaultSoak, BufferWrite) {
    BufferKinds s;
    s.soak(100, kDownloadFaults, 8000, [&s](SoakRun& r) {
        const QByteArray image = r.bytes(3 * 512);
        const QString file = r.file("Buffer.bin", image);
        s.h.frontend.files << file;
        s.h.press("Button79");
        r.judge(QStringLiteral("正在写入缓冲区......成功！"));
        if (r.succeeded) {
            EXPECT_EQ(blocks(s.h, 0x800, 3), image) << r.describe();
        }
    });
}

struct TrackKinds : Soak {
    TrackKinds() {
        for (const auto& [name, value] : {std::pair{"Edit1", "800"},
                                          {"Edit15", "8"},
                                          {"Edit2", "A00"},
                                          {"Edit16", "8"},
                                          {"Edit10", "3A"},
                                          {"Edit14", "1"},
                                          {"Edit11", "4"},
                                          {"Edit12", "14"}})
            h.form().setText(name, value);
    }
};

TEST(FaultSoak, TrackRead) {
    TrackKinds s;
    s.soak(100, kDumpFaults | kSelectFaults, 8000, [&s](SoakRun& r) {
        const QString file = r.file("Track.trc");
        s.h.frontend.files << file;
        s.h.press("Button18");
        r.judge(hdd::kReadingData + hdd::kDone);
        // No file at all unless every whole chunk was read.
        r.checkRead(file, sectors(s.h, 0x3A, 1, 4, 0x14), 512, 0x10 * 512);
    });
}

TEST(FaultSoak, TrackWrite) {
    TrackKinds s;
    s.soak(100, kDownloadFaults | kSelectFaults, 10000, [&s](SoakRun& r) {
        const QByteArray image = r.bytes(0x14 * 512);
        s.h.frontend.files << r.file("Track.trc", image);
        s.h.press("Button19");
        r.judge(hdd::kWritingData + hdd::kDone);
        if (r.succeeded) {
            EXPECT_EQ(sectors(s.h, 0x3A, 1, 4, 0x14), image) << r.describe();
        }
    });
}

// The APP keys: the addresses are asked from the drive when the fields are empty (every third run
// starts with "清空地址"), then the module's track is read, or written to both of its copies.
struct ModuleKinds : Soak {
    ModuleKinds() {
        h.drive->settings["fw.spt"] = 0x12;
        h.drive->settings["fw.certLoaded"] = 1;
        h.drive->state<hddsim::SystemArea>().sectorsPerTrack = 0x12;
        h.drive->state<hddsim::BufferMemory>().readSectors = 8;
        h.drive->state<hddsim::BufferMemory>().writeSectors = 8;
    }
    void maybeClear(SoakRun& r) {
        if (r.index % 3 == 0) h.press("Button4");
    }
};

TEST(FaultSoak, ModuleKeys) {
    ModuleKinds s;
    s.soak(100, kDumpFaults | kDownloadFaults | kSelectFaults, 10000, [&s](SoakRun& r) {
        s.maybeClear(r);
        if (r.index % 2 == 0) {
            const QString file = r.file("APP.trc");
            s.h.frontend.files << file;
            s.h.press("Button51");
            r.judge(hdd::kReadingData + hdd::kDone);
            r.checkRead(file, sectors(s.h, 0x2B6, 0, 0, 0x12), 512, 0x10 * 512);
        } else {
            const QByteArray image = r.bytes(0x12 * 512);
            s.h.frontend.files << r.file("APP.trc", image);
            s.h.press("Button52");
            r.judge(hdd::kWritingData + hdd::kDone);
            if (r.succeeded) {
                EXPECT_EQ(sectors(s.h, 0x2B6, 0, 0, 0x12), image) << r.describe();
                EXPECT_EQ(sectors(s.h, 0x2B7, 0, 0, 0x12), image) << r.describe();
            }
        }
    });
}

// The serial ROM's buffer read from its dialog: the drive to F level, 128 dumped pages, the patched
// window read again byte by byte. Faults also hit the byte reads ("e2" answered without its "=" line
// or with noise).
TEST(FaultSoak, RomBufferRead) {
    Soak s;
    hdd::FormModel& form3 = *s.h.model->formByName("Form3");
    form3.selectText("ComboBox2", "921600");
    s.soak(100, kDumpFaults, 20000, 128, [&s, &form3](SoakRun& r) {
        s.h.drive->settings["rom.noequals"] = -1;
        s.h.drive->settings["rom.badequals"] = -1;
        if (r.rng() % 5 == 0) {
            const int at = 0x140 + static_cast<int>(r.rng() % 0x30);
            s.h.drive->settings[r.rng() % 2 ? "rom.noequals" : "rom.badequals"] = at;
            r.faults += QStringLiteral(", e2 of %1 answered wrong").arg(at, 0, 16);
        }
        const QString file = r.file("ROM.BIN");
        s.h.frontend.files << file;
        form3.userClick("Button51");
        form3.userClick("Button2");
        r.judge(hdd::kReadingRom + hdd::kSuccess);
        r.checkRead(file, hddsim::serialRom(*s.h.drive).bytes, hdd::kRomSize);
    });
}

// The firmware backup of a small family into a fresh folder per run: a module file is either the
// module's sectors exactly (CERT joined, the table rotated) or absent.
TEST(FaultSoak, Backup) {
    Soak s;
    memory(s.h).readSectors = 8;
    hdd::FamilyEntry e;
    e.name = "TONKA";
    e.app = "16 0 10 60";
    e.cert0 = "64 0 6";
    e.cert1 = "64 0 4";
    e.table = "66 DF 4";
    e.ata = "68 0 8";
    e.ven = "6C 0 6";
    s.soak(100, kDumpFaults | kSelectFaults, 30000, 48, [&s, &e](SoakRun& r) {
        hdd::BackupRequest request{e, r.folder + QStringLiteral("/run%1").arg(r.index), "921600", {}};
        hdd::RunBackup(s.h.dlg(), request);
        r.judge(hdd::kBackupDone);
        const auto sec = [&s](int offset, int head, int first, int count) {
            return sectors(s.h, 0x2A0 + offset, head, first, count);
        };
        const std::pair<const char*, QByteArray> modules[] = {
            {"APP.BIN", sec(0x16, 0, 0, 0x10)},
            {"CERT.BIN", sec(0x64, 0, 0, 6) + sec(0x64, 1, 0, 4)},
            {"Table.BIN", sec(0x66, 0, 0xE0, 3) + sec(0x66, 0, 0xDF, 1)},
            {"ATA.BIN", sec(0x68, 0, 0, 8)},
            {"Vendor.BIN", sec(0x6C, 0, 0, 6)},
            {"ID.BIN", sec(0x6C, 0, 4, 1)},
        };
        for (const auto& [name, want] : modules) {
            const QString path = request.folder + "/" + name;
            if (r.succeeded || QFile::exists(path)) {
                EXPECT_TRUE(readAll(path) == want) << name << " " << r.describe();
            }
        }
        for (const char* part : {"CERT0.BIN", "CERT1.BIN", "Table0.BIN"})
            EXPECT_FALSE(QFile::exists(request.folder + "/" + part)) << part << " " << r.describe();
    });
}

// The port vanishes (the adapter is pulled) at a random moment of a buffer read, a track write, a
// backup or a script: the loss is a console line of its own, the operation ends within a second of
// drive time (nothing can answer any more), the window is closed, and the files are whole.
TEST(PortPulled, TheLossIsALineOfItsOwnAndTheOperationEndsAtOnce) {
    Soak s;
    memory(s.h).readSectors = 8;
    hdd::FamilyEntry e;
    e.name = "TONKA";
    e.app = "16 0 10 60";
    e.ven = "6C 0 6";
    const QString lost = QStringLiteral("错误: 串口连接已断开！");
    int pulledRuns = 0;
    for (int i = 0; i < 40; ++i) {
        std::mt19937 rng(static_cast<unsigned>(i + 101));
        QTemporaryDir dir;
        s.h.model->console().clear();
        const qint64 start = s.h.clock.nowUs();
        const qint64 at = start + static_cast<qint64>(rng() % 8000) * 1000;
        qint64 pulledAt = -1;
        const int poller = s.h.clock.addPoller([&] {
            if (pulledAt >= 0 || s.h.clock.nowUs() < at) return;
            pulledAt = s.h.clock.nowUs();
            qobject_cast<hddsim::SimBackend*>(s.h.model->port().backend())->pull();
        });
        const QString file = dir.filePath("out.bin");
        switch (i % 4) {
            case 0:
                s.h.form().setText("Edit19", "800");
                s.h.form().setText("Edit20", "20");
                s.h.frontend.files << file;
                s.h.press("Button78");
                break;
            case 1:
                for (const auto& [name, value] : {std::pair{"Edit1", "800"},
                                                  {"Edit15", "8"},
                                                  {"Edit2", "A00"},
                                                  {"Edit16", "8"},
                                                  {"Edit10", "3A"},
                                                  {"Edit14", "0"},
                                                  {"Edit11", "0"},
                                                  {"Edit12", "40"}})
                    s.h.form().setText(name, value);
                writeFile(file, pattern(0x40 * 512, i));
                s.h.frontend.files << file;
                s.h.press("Button19");
                break;
            case 2:
                hdd::RunBackup(s.h.dlg(), {e, dir.filePath("bk"), "921600", {}});
                break;
            default: {
                hdd::FormModel& f4 = *s.h.model->formByName("Form4");
                f4.setText("Memo1", "STR/x\nR_BUF/800/20/" + file + "\nSLEEP/3000\nSTR/y");
                f4.userClick("Button9");
                break;
            }
        }
        const qint64 end = s.h.clock.nowUs();
        s.h.clock.removePoller(poller);
        const QStringList console = s.h.consoleText().split('\n');
        const std::string what = "run " + std::to_string(i) + ":\n" + s.h.consoleText().toStdString();
        if (pulledAt >= 0) {
            ++pulledRuns;
            EXPECT_FALSE(s.h.model->isOpen()) << what;
            EXPECT_TRUE(console.contains(lost)) << what;
            EXPECT_LT(end - pulledAt, 1'000'000) << what;
        }
        for (const QString& l : console)
            EXPECT_TRUE(!l.contains(QStringLiteral("断开")) || l == lost) << what;
        if (i % 4 != 1 && QFile::exists(file)) {
            EXPECT_EQ(QFileInfo(file).size() % 512, 0) << what;
            EXPECT_TRUE(readAll(file) ==
                        blocks(s.h, 0x800, static_cast<quint32>(QFileInfo(file).size() / 512)))
                << what;
        }
        if (i % 4 == 2) {
            const QString app = dir.filePath("bk/APP.BIN");
            if (QFile::exists(app)) {
                EXPECT_TRUE(readAll(app) == sectors(s.h, 0x2B6, 0, 0, 0x10)) << what;
            }
        }
        s.restore();
    }
    EXPECT_GE(pulledRuns, 20);
}

}  // namespace
