// The block download against the simulated drive: checksums, the exact bytes on the wire,
// rejected checksums, silence, abort, the refusals, and the send-file keys.
#include <gtest/gtest.h>

#include "download.h"
#include "transfer_support.h"

using namespace hddtest;

namespace {

TEST(Checksums, TheExamplesOfTheProtocol) {
    EXPECT_EQ(hdd::DownloadSum("abc"), 0x164u);
    EXPECT_EQ(hdd::BlockChecksum("abc", 1), "0185");
    EXPECT_EQ(hdd::BlockChecksum("abc", 0), "0184");
    // The drive's own sum agrees.
    EXPECT_EQ(hddsim::blockSum("abc", 1), 0x0185);
    // Four digits, leading zeros kept; only the low 16 bits.
    EXPECT_EQ(hdd::BlockChecksum(QByteArray(1, '\x05'), 0), "0005");
    EXPECT_EQ(hdd::BlockChecksum(QByteArray(4096, '\xFF'), 255).size(), 4);
}

TEST(Checksums, HexToBytes) {
    EXPECT_EQ(hdd::HexToBytes("0185"), QByteArray("\x01\x85", 2));
    EXPECT_EQ(hdd::HexToBytes("FF"), "\xFF");
    EXPECT_EQ(hdd::HexToBytes("ab cd"), "\xAB\xCD");
    EXPECT_EQ(hdd::HexToBytes("x1"), "\x01");        // a lone digit standing last
    EXPECT_EQ(hdd::HexToBytes("1x23"), "\x01\x23");  // a lone digit, the character after it skipped
    EXPECT_EQ(hdd::HexToBytes("1xA"), "\x01\x0A");
    EXPECT_EQ(hdd::HexToBytes(""), "");
}

// The bytes of one accepted block as they must go on the wire.
QByteArray blockOnWire(const QByteArray& data, int number) {
    const quint16 sum = hddsim::blockSum(data, number);
    return QByteArray("\xCC\x33") + char(number) + data + "\xCC\x33" + char(sum >> 8) + char(sum & 0xFF);
}

QByteArray totalOnWire(const QByteArray& image) {
    const quint32 sum = hddsim::downloadSum(image) & 0xFFFF;
    return QByteArray(1, char(sum >> 8)) + char(sum & 0xFF);
}

struct DownloadFixture : ::testing::Test {
    void SetUp() override {
        openAt(h, "9600");
        hddsim::startDownload(*h.drive, 512,
                              [this](hddsim::Drive&, const QByteArray& image) { received = image; });
    }
    QString file(const QByteArray& bytes) {
        const QString path = dir.filePath("image.bin");
        writeFile(path, bytes);
        return path;
    }
    Harness h;
    QTemporaryDir dir;
    QByteArray received;
};

TEST_F(DownloadFixture, ThreeBlocksGoOutOneTwoZeroThenTheTotal) {
    const QByteArray image = pattern(3 * 512);
    ASSERT_TRUE(hdd::SendFile(h.dlg(), file(image), 512));
    const QByteArray b0 = image.left(512), b1 = image.mid(512, 512), b2 = image.mid(1024, 512);
    EXPECT_EQ(h.wire(), QByteArray("\xCC\x33") + blockOnWire(b1, 1) + blockOnWire(b2, 2) +
                            blockOnWire(b0, 0) + totalOnWire(b0 + b1 + b2));
    EXPECT_EQ(received, image);  // the drive checked every block and the total
    EXPECT_EQ(h.model->progress(), 3 * 512);
}

TEST_F(DownloadFixture, OneBlockIsBlockZeroAndItsPlainSum) {
    const QByteArray image = pattern(512, 3);
    ASSERT_TRUE(hdd::SendFile(h.dlg(), file(image), 512));
    EXPECT_EQ(h.wire(), QByteArray("\xCC\x33") + blockOnWire(image, 0) + totalOnWire(image));
    EXPECT_EQ(received, image);
}

TEST_F(DownloadFixture, TwoRejectedChecksumsThenAcceptedIsSuccess) {
    memory(h).faults.nakAttempts = {1, 2};
    const QByteArray image = pattern(512);
    ASSERT_TRUE(hdd::SendFile(h.dlg(), file(image), 512));
    const QByteArray once = blockOnWire(image, 0);
    EXPECT_EQ(h.wire(), QByteArray("\xCC\x33") + once + once + once + totalOnWire(image));
    EXPECT_EQ(received, image);
}

TEST_F(DownloadFixture, ThreeRejectedChecksumsFailTheDownload) {
    memory(h).faults.nakAttempts = {1, 2, 3};
    const QByteArray image = pattern(1024);
    EXPECT_FALSE(hdd::SendFile(h.dlg(), file(image), 512));
    const QByteArray once = blockOnWire(image.mid(512), 1);
    EXPECT_EQ(h.wire(), QByteArray("\xCC\x33") + once + once + once);  // block 0 and the total never go
    EXPECT_TRUE(received.isEmpty());
}

TEST_F(DownloadFixture, SilenceAfterAnAnnounceFailsAtOnce) {
    memory(h).faults.silentAnnounce = 3;  // the opening 0xCC and 0x33 are answered, block 1's announce is not
    const qint64 t0 = h.clock.nowUs();
    EXPECT_FALSE(hdd::SendFile(h.dlg(), file(pattern(1024)), 512));
    EXPECT_EQ(h.wire(), "\xCC\x33\xCC\x33");
    EXPECT_GE(h.clock.nowUs() - t0, 15'000'000);  // the acknowledgement was waited for about 15 s
    EXPECT_LT(h.clock.nowUs() - t0, 16'000'000);
}

TEST_F(DownloadFixture, AbortIsSeenAfterABlockAndBlockZeroNeverGoes) {
    abortWhen(h, [this] { return memory(h).checksumAttempts >= 1; });
    const QByteArray image = pattern(3 * 512);
    EXPECT_FALSE(hdd::SendFile(h.dlg(), file(image), 512));
    EXPECT_EQ(h.wire(), QByteArray("\xCC\x33") + blockOnWire(image.mid(512, 512), 1));
    EXPECT_EQ(h.lastLine(), "操作被用户中止！");
    EXPECT_TRUE(received.isEmpty());
}

TEST_F(DownloadFixture, FilesThatCannotBeDownloadedAreRefusedBeforeAnythingIsSent) {
    struct Case {
        qsizetype size;
        qint64 blockSize;
        QString message;
    };
    const QList<Case> cases = {
        {1000, 512, "message: 文件长度必须是512的倍数！"},
        {3000, 1024, "message: 文件长度必须是1024的倍数！"},
        {0, 512, "message: 文件为空，没有可发送的数据！"},
        // 256 blocks of 4096 (1 MB): one more than a download can carry. Sending the first 255 and
        // reporting success would silently drop the end of the file.
        {256 * 4096, 4096, "message: 文件太大：一次最多发送255个数据块（1044480字节）！"},
    };
    for (const Case& c : cases) {
        h.frontend.shown.clear();
        EXPECT_FALSE(hdd::SendFile(h.dlg(), file(pattern(c.size)), c.blockSize));
        EXPECT_EQ(h.frontend.shown, QStringList{c.message});
        EXPECT_TRUE(h.wire().isEmpty());
    }
}

TEST(Download, TwoHundredFiftyFiveBlocksAllArrive) {
    Harness h;
    openAt(h, "921600");
    QByteArray received;
    hddsim::startDownload(*h.drive, 512, [&](hddsim::Drive&, const QByteArray& image) { received = image; });
    QTemporaryDir dir;
    const QByteArray image = pattern(255 * 512, 9);
    writeFile(dir.filePath("f.bin"), image);
    EXPECT_TRUE(hdd::SendFile(h.dlg(), dir.filePath("f.bin"), 512));
    EXPECT_EQ(received, image);
    EXPECT_EQ(occurrences(h.wire(), "\xCC\x33"), 2 * 255 + 1);  // the opening pair (sent apart) counts once
}

// The send-file keys.

TEST(SendFileKeys, MissingInputIsReportedAndNothingIsSent) {
    Harness h;
    h.open();
    h.clearWire();
    h.press("Button63");
    h.form().setText("Edit18", "/no/such/file.bin");
    h.press("Button63");
    QTemporaryDir dir;
    writeFile(dir.filePath("a.bin"), pattern(512));
    h.form().setText("Edit18", dir.filePath("a.bin"));
    h.press("Button63");  // no block size chosen
    EXPECT_EQ(h.frontend.shown, (QStringList{"message: 请指定文件！", "message: 指定的文件不存在！",
                                             "message: 请指定数据块大小！"}));
    EXPECT_TRUE(h.wire().isEmpty());
}

TEST(SendFileKeys, PickRefusesFilesOverOneMegabyte) {
    Harness h;
    h.open();
    QTemporaryDir dir;
    writeFile(dir.filePath("big.bin"), pattern(1024 * 1024 + 1));
    writeFile(dir.filePath("ok.bin"), pattern(1024 * 1024));
    h.frontend.files = {dir.filePath("big.bin"), dir.filePath("ok.bin")};
    h.press("Button62");
    EXPECT_EQ(h.form().text("Edit18"), "");
    EXPECT_EQ(h.frontend.shown, QStringList{"message: 模块文件长度不能大于1MB！"});
    EXPECT_EQ(h.frontend.requests.value(0).title, "选择发送文件");
    EXPECT_EQ(h.frontend.requests.value(0).filter, "BIN文件|*.bin|所有文件|*.*");
    h.press("Button62");
    EXPECT_EQ(h.form().text("Edit18"), dir.filePath("ok.bin"));
}

TEST(SendFileKeys, SendsToAWaitingDriveWithTheChosenBlockSize) {
    Harness h;
    h.open();
    QByteArray received;
    hddsim::startDownload(*h.drive, 1024, [&](hddsim::Drive&, const QByteArray& image) { received = image; });
    QTemporaryDir dir;
    const QByteArray image = pattern(4 * 1024, 5);
    writeFile(dir.filePath("m.bin"), image);
    h.form().setText("Edit18", dir.filePath("m.bin"));
    ASSERT_TRUE(h.form().userSelectText("ComboBox6", "1024"));
    h.clearWire();
    h.press("Button63");
    EXPECT_EQ(received, image);
    EXPECT_TRUE(h.consoleText().contains("正在发送文件......完成！")) << qPrintable(h.consoleText());
    EXPECT_TRUE(h.wire().startsWith("\xCC\x33\xCC\x33\x01"));  // no command before the download
    EXPECT_TRUE(h.wire().endsWith("\r"));
    EXPECT_EQ(h.dlg().ReceiveMode, hdd::kUserCmd);
    EXPECT_TRUE(h.form().isEffectivelyEnabled("Button63"));
}

}  // namespace
