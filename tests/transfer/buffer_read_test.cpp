// Reading buffer memory into a file through the dump, and the buffer read key.
#include <gtest/gtest.h>

#include "dump.h"
#include "transfer_ops.h"
#include "transfer_support.h"

using namespace hddtest;

namespace {

struct BufferRead : ::testing::Test {
    void SetUp() override { openAt(h, "921600"); }
    bool read(const QByteArray& start, const QByteArray& count) {
        return hdd::ReadBuffer(h.dlg(), start, count, path);
    }
    Harness h;
    QTemporaryDir dir;
    QString path = dir.filePath("Buffer.bin");
};

TEST_F(BufferRead, BlocksGoToTheFileOneDumpCommandEach) {
    EXPECT_TRUE(read("800", "4"));
    EXPECT_EQ(readAll(path), blocks(h, 0x800, 4));
    EXPECT_EQ(h.wire(), "/2\rB800,800\rB801,801\rB802,802\rB803,803\r/\r");
    EXPECT_TRUE(h.consoleText().endsWith("正在读取缓冲区......成功！\n")) << qPrintable(h.consoleText());
    EXPECT_EQ(h.model->progress(), 4);
    EXPECT_EQ(h.drive->level, "T");
}

TEST_F(BufferRead, BlockNumbersAreSentAsUpperCaseHexadecimal) {
    EXPECT_TRUE(read("0ff", "2"));
    EXPECT_EQ(h.wire(), "/2\rBFF,FF\rB100,100\r/\r");
    EXPECT_EQ(readAll(path), blocks(h, 0xFF, 2));
}

TEST_F(BufferRead, ZeroBlocksWritesAnEmptyFileAndSucceeds) {
    EXPECT_TRUE(read("800", "0"));
    EXPECT_EQ(h.wire(), "/2\r/\r");
    ASSERT_TRUE(QFile::exists(path));
    EXPECT_EQ(QFileInfo(path).size(), 0);
    EXPECT_TRUE(h.consoleText().endsWith("成功！\n"));
}

TEST_F(BufferRead, ALostLineFailsTheReadAndTheFileKeepsTheWholeBlocksBeforeIt) {
    memory(h).faults.loseLineInDump = 2;
    EXPECT_FALSE(read("800", "4"));
    EXPECT_EQ(readAll(path), blocks(h, 0x800, 1));  // no short, shifted block in the file
    EXPECT_EQ(occurrences(h.wire(), "B80"), 2);
    EXPECT_TRUE(h.consoleText().endsWith("正在读取缓冲区......失败！\n")) << qPrintable(h.consoleText());
}

TEST_F(BufferRead, ADumpWithoutHeaderFailsThatBlock) {
    memory(h).faults.noHeaderInDump = 1;
    EXPECT_FALSE(read("800", "2"));
    EXPECT_EQ(readAll(path), QByteArray());
    EXPECT_EQ(occurrences(h.wire(), "B80"), 1);
}

TEST_F(BufferRead, NoiseOnADumpLineIsReportedAsADataError) {
    memory(h).faults.garbleLineInDump = 3;
    EXPECT_FALSE(read("800", "5"));
    EXPECT_EQ(readAll(path), blocks(h, 0x800, 2));
    EXPECT_TRUE(h.consoleText().endsWith("正在读取缓冲区......\n读取数据错误，请调低一档速率后再试!\n"))
        << qPrintable(h.consoleText());
    EXPECT_TRUE(h.wire().endsWith("B802,802\r/\r"));  // the drive is still taken back from level 2
}

TEST_F(BufferRead, AbortDuringTheThirdOfFiveBlocksKeepsThreeBlocks) {
    abortWhen(h, [this] { return memory(h).dumps >= 3; });
    EXPECT_FALSE(read("800", "5"));
    EXPECT_EQ(readAll(path), blocks(h, 0x800, 3));
    EXPECT_EQ(occurrences(h.wire(), "B80"), 3);
    EXPECT_TRUE(h.consoleText().endsWith("正在读取缓冲区......\n被用户中止！\n"))
        << qPrintable(h.consoleText());
}

TEST_F(BufferRead, ADriveThatNeverReachesLevelTwoLeavesAnExistingFileAlone) {
    writeFile(path, "an earlier, good read");
    h.drive->faults.silent = true;
    EXPECT_FALSE(read("800", "2"));
    EXPECT_EQ(readAll(path), "an earlier, good read");
    EXPECT_EQ(h.wire(), "/2\r/\r");
    EXPECT_TRUE(h.consoleText().endsWith("失败！\n"));
}

TEST_F(BufferRead, AFailedReadNeverReplacesAFileAlreadyThere) {
    writeFile(path, "an earlier, good read");
    memory(h).faults.loseLineInDump = 2;
    EXPECT_FALSE(read("800", "4"));
    EXPECT_EQ(readAll(path), "an earlier, good read");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Buffer.bin"});
}

TEST_F(BufferRead, AFileThatCannotBeCreatedIsReportedAndNothingIsRead) {
    path = dir.filePath("no/such/folder/Buffer.bin");
    EXPECT_FALSE(read("800", "2"));
    // The path and the system's reason, never the garbled-data line; the drive is asked nothing.
    EXPECT_EQ(h.frontend.shown,
              QStringList{"warning: 创建文件失败！ " + path + ": No such file or directory"});
    EXPECT_TRUE(h.wire().isEmpty());
    EXPECT_TRUE(h.consoleText().endsWith("正在读取缓冲区......失败！\n"));
}

// The key.

TEST(BufferReadKey, MissingFieldsAreReportedBeforeAnythingElse) {
    Harness h;
    h.open();
    h.clearWire();
    h.form().setText("Edit19", "800");
    h.form().setText("Edit20", "  ");
    h.press("Button78");
    EXPECT_EQ(h.frontend.shown, QStringList{"message: 请指定要读取的缓冲区开始位置及长度！"});
    EXPECT_TRUE(h.frontend.requests.isEmpty());
    EXPECT_TRUE(h.wire().isEmpty());
}

TEST(BufferReadKey, ReadsAtTheTransferSpeedAndComesBackTo9600) {
    Harness h;
    h.open();
    h.clearWire();
    QTemporaryDir dir;
    h.frontend.files = {dir.filePath("out.bin")};
    h.form().userSetText("Edit19", "a00");
    h.form().userSetText("Edit20", "3");
    h.press("Button78");
    EXPECT_EQ(readAll(dir.filePath("out.bin")), blocks(h, 0xA00, 3));
    ASSERT_EQ(h.frontend.requests.size(), 1);
    EXPECT_EQ(h.frontend.requests[0].title, "保存文件（Buffer）");
    EXPECT_EQ(h.frontend.requests[0].fileName, "Buffer.bin");
    const QByteArray w = h.wire();
    const qsizetype up = w.indexOf("B0921\r"), read = w.indexOf("/2\rBA00,A00\r"),
                    down = w.indexOf("B0096\r");
    EXPECT_TRUE(up >= 0 && up < read && read < down) << w.toStdString();
    EXPECT_TRUE(w.endsWith("\r"));
    EXPECT_EQ(h.model->port().baud(), 9600);
    EXPECT_EQ(h.drive->baud, 9600);
    EXPECT_EQ(h.dlg().ReceiveMode, hdd::kUserCmd);
    EXPECT_TRUE(h.form().isEffectivelyEnabled("Button78"));
    EXPECT_TRUE(h.consoleText().contains("正在读取缓冲区......成功！")) << qPrintable(h.consoleText());
}

TEST(BufferReadKey, TheAbortKeyStaysUsableAndTheNextReadStartsAfresh) {
    Harness h;
    h.open();
    QTemporaryDir dir;
    h.frontend.files = {dir.filePath("a.bin"), dir.filePath("b.bin")};
    h.form().setText("Edit19", "800");
    h.form().setText("Edit20", "4");
    abortWhen(h, [&h] { return memory(h).dumps >= 1; });
    h.press("Button78");
    EXPECT_EQ(readAll(dir.filePath("a.bin")), blocks(h, 0x800, 1));
    EXPECT_FALSE(h.dlg().AbortRequested);
    h.press("Button78");
    EXPECT_EQ(readAll(dir.filePath("b.bin")), blocks(h, 0x800, 4));
}

}  // namespace

namespace {

// A number that is not hexadecimal is refused before the link is raised or the drive asked anything.
TEST(FieldChecks, NotHexadecimalSendsNothing) {
    QTemporaryDir dir;
    const QString file = dir.filePath("f.bin");
    writeFile(file, QByteArray(512, 'x'));
    hdd::BufferFields buffers{"800", "80", "800", "80"};
    const QList<std::function<hdd::Outcome(hdd::Dialogue&)>> keys = {
        [&](auto& d) { return hdd::ReadBufferToFile(d, "8g0", "1", file, "921600"); },
        [&](auto& d) { return hdd::WriteBufferFromFile(d, "800", "1 2", file, "921600"); },
        [&](auto& d) {
            return hdd::ReadTrackToFile(d, {"1", "0", "x", "1"}, buffers, file, "921600");
        },
        [&](auto& d) {
            return hdd::WriteTrackFromFile(d, {"1,,2", "", "0", "1"}, buffers, file, "921600");
        },
    };
    for (const auto& key : keys) {
        Harness h;
        h.open();
        h.clearWire();
        EXPECT_EQ(key(h.dlg()).reason, hdd::kBadNumber);
        EXPECT_EQ(h.frontend.shown, QStringList{"message: " + hdd::kBadNumber});
        EXPECT_EQ(h.wire(), "");
    }
}

}  // namespace
