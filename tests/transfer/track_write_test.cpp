// Writing module files back to system-area tracks and the reserve area.
#include <gtest/gtest.h>

#include "track.h"
#include "transfer_support.h"

using namespace hddtest;

namespace {

// The text commands the drive received, in order, with the bytes of each download left out: after
// every "d" command come the two opening bytes, per block 519 bytes and the two of the total.
QList<QByteArray> commands(const QByteArray& wire, QList<int> blocksPerDownload) {
    QList<QByteArray> out;
    qsizetype pos = 0;
    while (pos < wire.size()) {
        const qsizetype cr = wire.indexOf('\r', pos);
        if (cr < 0) break;
        const QByteArray cmd = wire.mid(pos, cr - pos);
        out << cmd;
        pos = cr + 1;
        if (cmd.startsWith('d') && !blocksPerDownload.isEmpty())
            pos += 2 + blocksPerDownload.takeFirst() * 519 + 2;
    }
    return out;
}

struct TrackWrite : ::testing::Test {
    void SetUp() override { openAt(h, "921600"); }
    QString file(const QByteArray& bytes) {
        writeFile(path, bytes);
        return path;
    }
    bool write(const QByteArray& tracks, const QByteArray& start, const QByteArray& count,
               const QByteArray& chunk, const QByteArray& head = "0") {
        return hdd::WriteTrack(h.dlg(), tracks, head, start, count, "A00", chunk, path, "921600");
    }
    Harness h;
    QTemporaryDir dir;
    QString path = dir.filePath("APP.trc");
};

TEST_F(TrackWrite, OneDownloadThenEveryListedTrackInOrder) {
    const QByteArray image = pattern(0x20 * 512, 2);
    file(image);
    EXPECT_TRUE(write("1A,1B", "0", "20", "20"));
    EXPECT_EQ(commands(h.wire(), {0x20}),
              (QList<QByteArray>{"/", "/", "dA00", "", "/2", "/U", "/2", "s1A,0,22", "w,0,20", "s1B,0,22",
                                 "w,0,20", "/", "/"}));
    EXPECT_EQ(occurrences(h.wire(), "\xCC\x33\x01"), 1);  // one download
    EXPECT_EQ(sectors(h, 0x1A, 0, 0, 0x20), image);
    EXPECT_EQ(sectors(h, 0x1B, 0, 0, 0x20), image);
    EXPECT_TRUE(h.consoleText().endsWith("正在写入数据......完成！")) << qPrintable(h.consoleText());
}

TEST_F(TrackWrite, AShorterFileIsWrittenWholeInChunks) {
    const QByteArray image = pattern(32768, 3);  // 0x40 sectors of the 0x100 asked for
    const QByteArray after = sectors(h, 0x30, 0, 0x40, 0x10);
    file(image);
    EXPECT_TRUE(write("30", "0", "100", "20"));
    QList<QByteArray> writes;
    for (const QByteArray& c : commands(h.wire(), {0x20, 0x20})) {
        if (c.startsWith("w,")) writes << c;
    }
    EXPECT_EQ(writes, (QList<QByteArray>{"w,0,20", "w,20,20"}));
    EXPECT_EQ(h.form().at("ProgressBar1").maximum, 2);
    EXPECT_EQ(sectors(h, 0x30, 0, 0, 0x40), image);
    EXPECT_EQ(sectors(h, 0x30, 0, 0x40, 0x10), after);
}

TEST_F(TrackWrite, ALongerFileGivesItsFirstSectorsFromTheStartSector) {
    const QByteArray image = pattern(0x30 * 512, 4);
    file(image);
    EXPECT_TRUE(write("31", "8", "28", "20"));  // 0x28 sectors from sector 8: a chunk of 0x20, then 8
    EXPECT_EQ(sectors(h, 0x31, 0, 8, 0x28), image.left(0x28 * 512));
    EXPECT_TRUE(h.wire().contains("w,8,20\r"));
    EXPECT_TRUE(h.wire().contains("w,28,8\r"));
}

TEST_F(TrackWrite, AFileNotAWholeNumberOfSectorsIsRefusedAndNothingIsSent) {
    file(pattern(1000));
    EXPECT_FALSE(write("30", "0", "100", "20"));
    EXPECT_EQ(h.frontend.shown, QStringList{"message: 文件长度必须是512的倍数！"});
    EXPECT_TRUE(h.wire().isEmpty());
}

TEST_F(TrackWrite, AOneSectorChunkIsBlockZeroAlone) {
    const QByteArray image = pattern(512, 6);
    file(image);
    EXPECT_TRUE(write("9", "4", "1", "20"));
    const qsizetype d = h.wire().indexOf("dA00\r");
    ASSERT_GE(d, 0);
    const QByteArray download = h.wire().mid(d + 5, 2 + 2 + 1 + 512 + 2 + 2 + 2);
    EXPECT_TRUE(download.startsWith("\xCC\x33\xCC\x33" + QByteArray(1, '\0') + image.left(8)));
    EXPECT_EQ(sectors(h, 9, 0, 4, 1), image);
}

TEST_F(TrackWrite, AnEmptyHeadGoesAsAnEmptyArgument) {
    file(pattern(512));
    EXPECT_TRUE(write("3A", "0", "1", "20", ""));
    EXPECT_TRUE(h.wire().contains("s3A,,22\r"));
}

TEST_F(TrackWrite, ATrackListWithAnEmptyEntryIsRefused) {
    // "1A," would select nothing and write the previously selected track.
    file(pattern(512));
    EXPECT_FALSE(write("1A,", "0", "1", "20"));
    EXPECT_EQ(h.frontend.shown, QStringList{"message: 参数错误：请输入有效的十六进制数！"});
    EXPECT_TRUE(h.wire().isEmpty());
}

TEST_F(TrackWrite, AFallBackTo9600AfterEachDownloadIsRenegotiated) {
    memory(h).faults.fallBackTo9600 = true;
    const QByteArray image = pattern(0x30 * 512, 7);
    file(image);
    EXPECT_TRUE(write("40", "0", "30", "20"));
    EXPECT_EQ(sectors(h, 0x40, 0, 0, 0x30), image);
    EXPECT_EQ(occurrences(h.wire(), "B0921\r"), 2);  // once after each chunk's download
    EXPECT_EQ(h.model->port().baud(), 921600);
    EXPECT_EQ(h.drive->baud, 921600);
    EXPECT_TRUE(h.consoleText().endsWith("完成！"));
}

TEST_F(TrackWrite, ASlowPromptAfterTheDownloadIsNoFallBack) {
    // 60 ms: what two USB adapter latencies and a busy monitor can add up to.
    memory(h).faults.slowAfterDownloadMs = 60;
    const QByteArray image = pattern(0x20 * 512, 5);
    file(image);
    EXPECT_TRUE(write("43", "0", "20", "20"));
    EXPECT_EQ(sectors(h, 0x43, 0, 0, 0x20), image);
    EXPECT_FALSE(h.wire().contains("0921\r"));  // the link was not renegotiated
    EXPECT_EQ(h.model->port().baud(), 921600);
}

TEST_F(TrackWrite, ARejectedChunkFailsTheWriteAndLeavesTheTrack) {
    memory(h).faults.nakAttempts = {1, 2, 3};
    const QByteArray before = sectors(h, 0x41, 0, 0, 0x20);
    file(pattern(0x20 * 512));
    EXPECT_FALSE(write("41", "0", "20", "20"));
    EXPECT_EQ(sectors(h, 0x41, 0, 0, 0x20), before);
    EXPECT_FALSE(h.wire().contains("w,0,20"));
    EXPECT_TRUE(h.consoleText().endsWith("正在写入数据......失败！"));
}

TEST_F(TrackWrite, AbortIsSeenBetweenChunks) {
    abortWhen(h, [this] { return memory(h).checksumAttempts >= 1; });
    const QByteArray image = pattern(0x40 * 512, 8);
    const QByteArray before = sectors(h, 0x42, 0, 0x20, 0x20);
    file(image);
    EXPECT_FALSE(write("42", "0", "40", "20"));
    EXPECT_EQ(sectors(h, 0x42, 0, 0, 0x20), image.left(0x20 * 512));  // the chunk under way runs to its end
    EXPECT_EQ(sectors(h, 0x42, 0, 0x20, 0x20), before);
    EXPECT_EQ(h.lastLine(), "被用户中止！");
}

// The reserve area.

TEST_F(TrackWrite, ReserveTracksBeyondTheFileAreLeftAlone) {
    const QByteArray image = pattern(2 * 0x30 * 512, 9);
    const QByteArray track2 = sectors(h, 2, 0, 0, 0x30);
    file(image);
    EXPECT_TRUE(hdd::WriteReserve(h.dlg(), "0", "3", "0", "30", "A00", "20", path, "921600"));
    EXPECT_EQ(sectors(h, 0, 0, 0, 0x30) + sectors(h, 1, 0, 0, 0x30), image);
    EXPECT_EQ(sectors(h, 2, 0, 0, 0x30), track2);
    EXPECT_FALSE(h.wire().contains("s2,0,22"));
    QList<QByteArray> writes;
    for (const QByteArray& c : commands(h.wire(), {0x20, 0x10, 0x20, 0x10})) {
        if (c.startsWith("s") || c.startsWith("w,")) writes << c;
    }
    EXPECT_EQ(writes, (QList<QByteArray>{"s0,0,22", "w,0,20", "s0,0,22", "w,20,10", "s1,0,22", "w,0,20",
                                         "s1,0,22", "w,20,10"}));
    EXPECT_TRUE(h.consoleText().endsWith("正在写入数据......完成！"));
}

TEST_F(TrackWrite, AReserveFileNotWholeSectorsIsRefused) {
    file(pattern(700));
    EXPECT_FALSE(hdd::WriteReserve(h.dlg(), "0", "3", "0", "30", "A00", "20", path, "921600"));
    EXPECT_EQ(h.frontend.shown, QStringList{"message: 文件长度必须是512的倍数！"});
    EXPECT_TRUE(h.wire().isEmpty());
}

TEST_F(TrackWrite, AReserveReadWrittenBackLandsByteForByte) {
    for (quint32 t = 0x50; t <= 0x52; ++t) systemArea(h).seed(t, 0, pattern(0x30 * 512, int(t)));
    const QByteArray original =
        sectors(h, 0x50, 0, 0, 0x30) + sectors(h, 0x51, 0, 0, 0x30) + sectors(h, 0x52, 0, 0, 0x30);
    ASSERT_TRUE(hdd::ReadReserve(h.dlg(), "50", "52", "0", "30", "800", "20", path, true));
    ASSERT_EQ(readAll(path), original);
    for (quint32 t = 0x50; t <= 0x52; ++t) systemArea(h).seed(t, 0, QByteArray(0x30 * 512, '\0'));
    EXPECT_TRUE(hdd::WriteReserve(h.dlg(), "50", "52", "0", "30", "A00", "20", path, "921600"));
    EXPECT_EQ(sectors(h, 0x50, 0, 0, 0x30) + sectors(h, 0x51, 0, 0, 0x30) + sectors(h, 0x52, 0, 0, 0x30),
              original);
}

}  // namespace
