// The fault soak: a hundred transfers of each kind through the main window's keys against the
// simulated drive, each with random faults on the line (lost, garbled or restarted dump lines,
// dumps without header, NAKed blocks, unacknowledged announces, a drive that falls silent, falls
// back to 9600 or answers late, a track select that hangs, the abort key). Every run must end in
// one of two ways: the success word and a byte-exact file (or drive content), or a failure in the
// tool's words with no file that claims success (a read leaves no file, or only the whole blocks
// read before the failure). Runs are reproducible: the seed of every run is its index.
#include <gtest/gtest.h>

#include <random>

#include "reliability_support.h"
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

}  // namespace
