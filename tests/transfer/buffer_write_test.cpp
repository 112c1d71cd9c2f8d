// Writing a file into buffer memory, and the buffer write key.
#include <gtest/gtest.h>
#include <QDir>

#include "download.h"
#include "transfer_support.h"

using namespace hddtest;

namespace {

// The temporary file is made in the working directory: run each test in a folder of its own.
struct BufferWrite : ::testing::Test {
    void SetUp() override {
        saved = QDir::currentPath();
        QDir::setCurrent(work.path());
        openAt(h, "921600");
    }
    void TearDown() override { QDir::setCurrent(saved); }
    QString file(const QByteArray& bytes) {
        const QString path = dir.filePath("in.bin");
        writeFile(path, bytes);
        return path;
    }
    Harness h;
    QTemporaryDir dir, work;
    QString saved;
};

TEST_F(BufferWrite, ALongerFileIsCutToTheBlocksAsked) {
    const QByteArray before = blocks(h, 0xA00, 8);
    const QByteArray image = pattern(4096);
    EXPECT_TRUE(hdd::WriteBuffer(h.dlg(), "A00", "2", file(image)));
    EXPECT_EQ(blocks(h, 0xA00, 2), image.left(1024));
    EXPECT_EQ(blocks(h, 0xA02, 6), before.mid(1024));  // nothing beyond the two blocks changed
    EXPECT_TRUE(h.wire().startsWith("/\rdA00\r\xCC\x33\xCC\x33\x01"));
    EXPECT_EQ(occurrences(h.wire(), "\xCC\x33\x01"), 1);  // block 1, then block 0, and no block 2
    EXPECT_TRUE(h.wire().endsWith("/\r"));
    EXPECT_TRUE(h.consoleText().endsWith("正在写入缓冲区......成功！")) << qPrintable(h.consoleText());
    EXPECT_FALSE(QFile::exists(work.filePath("~tmp.~tmp")));
}

TEST_F(BufferWrite, AShorterFileIsSentWhole) {
    const QByteArray before = blocks(h, 0xA00, 0x10);
    const QByteArray image = pattern(1024, 4);
    EXPECT_TRUE(hdd::WriteBuffer(h.dlg(), "A00", "10", file(image)));
    EXPECT_EQ(blocks(h, 0xA00, 2), image);
    EXPECT_EQ(blocks(h, 0xA02, 0xE), before.mid(1024));
}

TEST_F(BufferWrite, AFailedDownloadIsReportedAndTheTemporaryFileStillGoes) {
    memory(h).faults.nakAttempts = {1, 2, 3};
    const QByteArray before = blocks(h, 0xA00, 2);
    EXPECT_FALSE(hdd::WriteBuffer(h.dlg(), "A00", "2", file(pattern(1024))));
    EXPECT_EQ(blocks(h, 0xA00, 2), before);
    EXPECT_TRUE(h.consoleText().endsWith("正在写入缓冲区......失败！")) << qPrintable(h.consoleText());
    EXPECT_FALSE(QFile::exists(work.filePath("~tmp.~tmp")));
    EXPECT_FALSE(h.wire().endsWith("/\r"));  // no closing prompt request after a failed download
}

TEST_F(BufferWrite, AbortBetweenBlocks) {
    abortWhen(h, [this] { return memory(h).checksumAttempts >= 1; });
    const QByteArray before = blocks(h, 0xA00, 3);
    EXPECT_FALSE(hdd::WriteBuffer(h.dlg(), "A00", "3", file(pattern(3 * 512))));
    EXPECT_EQ(blocks(h, 0xA00, 3), before);
    EXPECT_TRUE(h.consoleText().endsWith("操作被用户中止！\n被用户中止！")) << qPrintable(h.consoleText());
    EXPECT_FALSE(QFile::exists(work.filePath("~tmp.~tmp")));
}

TEST_F(BufferWrite, AFileThatIsNotWholeBlocksIsRefusedBeforeTheDriveIsTold) {
    EXPECT_FALSE(hdd::WriteBuffer(h.dlg(), "A00", "10", file(pattern(1000))));
    EXPECT_EQ(h.frontend.shown, QStringList{"message: 文件长度必须是512的倍数！"});
    EXPECT_TRUE(h.wire().isEmpty());
    EXPECT_FALSE(QFile::exists(work.filePath("~tmp.~tmp")));
}

TEST_F(BufferWrite, AnEmptyFileOrZeroBlocksSendNothing) {
    EXPECT_FALSE(hdd::WriteBuffer(h.dlg(), "A00", "10", file(QByteArray())));
    EXPECT_FALSE(hdd::WriteBuffer(h.dlg(), "A00", "0", file(pattern(512))));
    EXPECT_EQ(h.frontend.shown, (QStringList{"message: 文件为空，没有可发送的数据！",
                                             "message: 文件为空，没有可发送的数据！"}));
    EXPECT_TRUE(h.wire().isEmpty());
}

// The key.

TEST(BufferWriteKey, MissingFieldsAreReported) {
    Harness h;
    h.open();
    h.clearWire();
    h.press("Button79");
    EXPECT_EQ(h.frontend.shown, QStringList{"message: 请指定要写入的缓冲区开始位置及长度！"});
    EXPECT_TRUE(h.wire().isEmpty());
}

TEST(BufferWriteKey, WritesAtTheTransferSpeedAndReadsBackTheSame) {
    QTemporaryDir work, dir;
    const QString saved = QDir::currentPath();
    QDir::setCurrent(work.path());
    Harness h;
    h.open();
    const QByteArray image = pattern(5 * 512, 8);
    writeFile(dir.filePath("w.bin"), image);
    h.frontend.files = {dir.filePath("w.bin"), dir.filePath("r.bin")};
    h.form().setText("Edit19", "C00");
    h.form().setText("Edit20", "5");
    h.clearWire();
    h.press("Button79");
    EXPECT_EQ(h.frontend.requests.value(0).title, "打开文件（Buffer）");
    EXPECT_EQ(blocks(h, 0xC00, 5), image);
    EXPECT_TRUE(h.wire().startsWith("\x1a")) << h.wire().left(40).toStdString();
    EXPECT_GE(h.wire().indexOf("dC00\r"), h.wire().indexOf("B0921\r"));
    EXPECT_EQ(h.model->port().baud(), 9600);
    h.press("Button78");
    EXPECT_EQ(readAll(dir.filePath("r.bin")), image);
    EXPECT_TRUE(h.consoleText().contains("正在写入缓冲区......成功！"));
    EXPECT_TRUE(h.consoleText().contains("正在读取缓冲区......成功！"));
    QDir::setCurrent(saved);
}

}  // namespace
