// Reading system-area tracks and the reserve area into module files.
#include <gtest/gtest.h>

#include "track.h"
#include "transfer_support.h"

using namespace hddtest;

namespace {

// The sector-read commands the drive received, in order.
QList<QByteArray> readCommands(const QByteArray& wire) {
    QList<QByteArray> out;
    for (const QByteArray& cmd : wire.split('\r')) {
        if (cmd.startsWith("r,")) out << cmd;
    }
    return out;
}

struct TrackRead : ::testing::Test {
    void SetUp() override { openAt(h, "921600"); }
    bool read(const QByteArray& start, const QByteArray& count, const QByteArray& chunk,
              bool progress = true) {
        return hdd::ReadTrack(h.dlg(), "1A", "0", start, count, "800", chunk, path, progress);
    }
    Harness h;
    QTemporaryDir dir;
    QString path = dir.filePath("APP.trc");
};

TEST_F(TrackRead, WholeChunksOnly) {
    EXPECT_TRUE(read("0", "100", "20"));
    EXPECT_EQ(readCommands(h.wire()), (QList<QByteArray>{"r,0,20", "r,20,20", "r,40,20", "r,60,20", "r,80,20",
                                                         "r,A0,20", "r,C0,20", "r,E0,20"}));
    EXPECT_EQ(occurrences(h.wire(), "s1A,0,22\r"), 8);
    EXPECT_EQ(occurrences(h.wire(), "B800,800\r"), 8);
    EXPECT_EQ(occurrences(h.wire(), "B81F,81F\r"), 8);
    const QByteArray file = readAll(path);
    EXPECT_EQ(file.size(), 131072);
    EXPECT_EQ(file, sectors(h, 0x1A, 0, 0, 0x100));
    EXPECT_TRUE(h.wire().startsWith("/2\rs1A,0,22\rr,0,20\rB800,800\rB801,801\r"));
    EXPECT_TRUE(h.wire().endsWith("B81F,81F\r/\r"));
    EXPECT_TRUE(h.consoleText().endsWith("正在读取数据.........完成！")) << qPrintable(h.consoleText());
    EXPECT_EQ(h.model->progress(), 0x100);
}

TEST_F(TrackRead, AWholeChunkThenAPartialOne) {
    EXPECT_TRUE(read("0", "30", "20"));
    EXPECT_EQ(readCommands(h.wire()), (QList<QByteArray>{"r,0,20", "r,20,10"}));
    EXPECT_EQ(occurrences(h.wire(), "B80F,80F\r"), 2);
    EXPECT_EQ(occurrences(h.wire(), "B810,810\r"), 1);
    EXPECT_EQ(readAll(path), sectors(h, 0x1A, 0, 0, 0x30));
}

TEST_F(TrackRead, OneSectorFromSectorFour) {
    EXPECT_TRUE(read("4", "1", "20"));
    EXPECT_EQ(readCommands(h.wire()), QList<QByteArray>{"r,4,1"});
    EXPECT_EQ(readAll(path), sectors(h, 0x1A, 0, 4, 1));
    EXPECT_EQ(readAll(path).size(), 512);
}

TEST_F(TrackRead, TheDumpAddressMustRunOnAcrossAChunksBlocks) {
    memory(h).faults.restartInDump = 2;  // the chunk's second block shows addresses from 000000
    EXPECT_FALSE(read("0", "20", "20"));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(occurrences(h.wire(), "B80"), 2);  // the read stops at that block
    EXPECT_TRUE(h.consoleText().endsWith("正在读取数据.........失败！"));
}

TEST_F(TrackRead, ADataErrorIsTheOnlyConsoleLineWithoutProgress) {
    const int before = h.model->console().lineCount();
    memory(h).faults.garblePairInRead = 2;  // noise in the second chunk
    EXPECT_FALSE(read("0", "60", "20", false));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(h.model->console().lineCount(), before + 1);
    EXPECT_EQ(h.lastLine(), "读取数据错误，请调低一档速率后再试!");
    EXPECT_EQ(readCommands(h.wire()).size(), 2);
    EXPECT_FALSE(h.wire().endsWith("/\r"));  // the read ends at once
}

TEST_F(TrackRead, AChunkSizeOfZeroIsADataError) {
    EXPECT_FALSE(read("0", "10", "0"));
    EXPECT_EQ(h.lastLine(), "读取数据错误，请调低一档速率后再试!");
    EXPECT_TRUE(readCommands(h.wire()).isEmpty());
}

TEST_F(TrackRead, AbortDuringTheLastWholeChunkWritesNoFile) {
    abortWhen(h, [this] { return memory(h).reads >= 3; });
    EXPECT_FALSE(read("0", "60", "20"));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(readCommands(h.wire()).size(), 3);
    EXPECT_TRUE(h.consoleText().endsWith("正在读取数据.........\n被用户中止！"))
        << qPrintable(h.consoleText());
}

TEST_F(TrackRead, AbortDuringTheFinalPartialChunkKeepsTheSectorsReadSoFar) {
    abortWhen(h, [this] { return memory(h).reads >= 2 && memory(h).dumps >= 0x20 + 3; });
    EXPECT_FALSE(read("0", "30", "20"));
    const QByteArray file = readAll(path);
    EXPECT_EQ(file, sectors(h, 0x1A, 0, 0, 0x23));
    EXPECT_EQ(h.lastLine(), "被用户中止！");
}

TEST_F(TrackRead, ASelectWithoutPromptStillReadsItsChunkThenFails) {
    memory(h).faults.selectNoPrompt = 2;
    EXPECT_FALSE(read("0", "60", "20"));
    EXPECT_EQ(readCommands(h.wire()).size(), 2);
    EXPECT_EQ(occurrences(h.wire(), "B81F,81F\r"), 2);
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(TrackRead, AnExistingFileIsKeptWhenTheReadFails) {
    writeFile(path, "the module saved yesterday");
    memory(h).faults.loseLineInDump = 5;
    EXPECT_FALSE(read("0", "20", "20"));
    EXPECT_EQ(readAll(path), "the module saved yesterday");
}

// The reserve area.

struct ReserveRead : TrackRead {
    bool reserve(const QByteArray& first, const QByteArray& last, bool progress = true) {
        return hdd::ReadReserve(h.dlg(), first, last, "0", "30", "800", "20", path, progress);
    }
};

TEST_F(ReserveRead, TracksOneAfterAnotherEachFromSectorZero) {
    EXPECT_TRUE(reserve("10", "12"));
    EXPECT_EQ(readAll(path),
              sectors(h, 0x10, 0, 0, 0x30) + sectors(h, 0x11, 0, 0, 0x30) + sectors(h, 0x12, 0, 0, 0x30));
    EXPECT_EQ(readCommands(h.wire()),
              (QList<QByteArray>{"r,0,20", "r,20,10", "r,0,20", "r,20,10", "r,0,20", "r,20,10"}));
    for (const char* s : {"s10,0,22\r", "s11,0,22\r", "s12,0,22\r"})
        EXPECT_EQ(occurrences(h.wire(), s), 2) << s;
    EXPECT_TRUE(h.consoleText().endsWith("正在读取数据.........完成！"));
    EXPECT_EQ(h.model->progress(), 3 * 0x30);
}

TEST_F(ReserveRead, AbortInTheThirdTrackKeepsWhatWasRead) {
    abortWhen(h, [this] { return memory(h).reads >= 5 && memory(h).dumps >= 2 * 0x30 + 5; });
    EXPECT_FALSE(reserve("10", "12"));
    const QByteArray file = readAll(path);
    EXPECT_EQ(file, sectors(h, 0x10, 0, 0, 0x30) + sectors(h, 0x11, 0, 0, 0x30) + sectors(h, 0x12, 0, 0, 5));
    EXPECT_EQ(h.lastLine(), "被用户中止！");
}

TEST_F(ReserveRead, ADataErrorKeepsTheFileAsItWas) {
    memory(h).faults.garblePairInRead = 3;  // the second track's first chunk
    EXPECT_FALSE(reserve("10", "12", false));
    EXPECT_EQ(readAll(path), sectors(h, 0x10, 0, 0, 0x30));
    EXPECT_EQ(h.lastLine(), "读取数据错误，请调低一档速率后再试!");
}

TEST_F(ReserveRead, NoTracksOrNoSectorsAreRefusedRatherThanSavedAsAnEmptyFile) {
    EXPECT_FALSE(reserve("12", "10"));
    EXPECT_FALSE(hdd::ReadReserve(h.dlg(), "10", "12", "0", "0", "800", "20", path, true));
    EXPECT_EQ(h.frontend.shown, QStringList(2, "message: 参数错误：请输入有效的十六进制数！"));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(h.wire().isEmpty());
}

TEST_F(ReserveRead, AFileThatCannotBeCreated) {
    path = dir.filePath("missing/Reserve.trc");
    EXPECT_FALSE(reserve("10", "12"));
    EXPECT_EQ(h.frontend.shown,
              QStringList{"warning: 创建文件失败！ " + path + ": No such file or directory"});
    EXPECT_TRUE(h.consoleText().endsWith("正在读取数据.........失败！"));
    EXPECT_TRUE(h.wire().isEmpty());
}

TEST_F(ReserveRead, AFailedReadNeverReplacesAFileAlreadyThere) {
    writeFile(path, "the reserve saved yesterday");
    memory(h).faults.garblePairInRead = 3;
    EXPECT_FALSE(reserve("10", "12", false));
    EXPECT_EQ(readAll(path), "the reserve saved yesterday");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"APP.trc"});
}

// A folder that cannot take the file is a file error before anything is sent, never a data error;
// a file where the folder should be gives the system's reason too.
TEST_F(TrackRead, AFileThatCannotBeCreatedIsAFileErrorFoundBeforeTheRead) {
    writeFile(dir.filePath("plain"), "x");
    for (const QString& p : {dir.filePath("missing/APP.trc"), dir.filePath("plain/APP.trc"), dir.path()}) {
        h.frontend.shown.clear();
        path = p;
        EXPECT_FALSE(read("0", "20", "20"));
        ASSERT_EQ(h.frontend.shown.size(), 1);
        EXPECT_TRUE(h.frontend.shown[0].startsWith("warning: 创建文件失败！ " + p + ": "))
            << qPrintable(h.frontend.shown[0]);
        EXPECT_FALSE(h.consoleText().contains("读取数据错误"));
        EXPECT_TRUE(h.consoleText().endsWith("正在读取数据.........失败！"));
        EXPECT_TRUE(h.wire().isEmpty());
    }
}

}  // namespace
