// The drive's buffer addresses (the "?" and "B0" answers, the buffer address key) and the keys
// that read and write a track the user names.
#include <gtest/gtest.h>

#include "buffer_info.h"
#include "keys.h"
#include "transfer_support.h"

using namespace hddtest;

namespace {

TEST(BufferAnswer, TheQuestionMarkAnswerAtTLevel) {
    const auto f = hdd::parseBufferAnswerT({"?", "Buffer Info:", "RD:00800:0080", "WR:00a00: 0040 ", "T>"});
    EXPECT_EQ(f.rd, "800");
    EXPECT_EQ(f.rdSize, "80");
    EXPECT_EQ(f.wr, "A00");
    EXPECT_EQ(f.wrSize, "40");
    EXPECT_TRUE(f.complete());
}

TEST(BufferAnswer, ALaterLineWinsAndBadValuesStayEmpty) {
    auto f = hdd::parseBufferAnswerT({"RD:100:10", "RD:200:20", "WR:0 300:30", "WR:300:0000"});
    EXPECT_EQ(f.rd, "200");
    EXPECT_EQ(f.rdSize, "20");
    EXPECT_EQ(f.wr, "300");
    EXPECT_EQ(f.wrSize, "");  // a size of 0 is no size
    EXPECT_FALSE(f.complete());
    // A blank inside the address, an address of 32 bits and more, a size that is not a number.
    f = hdd::parseBufferAnswerT({"RD: 800:80", "WR:80000000:80"});
    EXPECT_EQ(f.rd, "");
    EXPECT_EQ(f.wr, "");
    f = hdd::parseBufferAnswerT({"RD:800:8\xB0", " RD:900:90"});
    EXPECT_EQ(f.rd, "800");
    EXPECT_EQ(f.rdSize, "");
}

TEST(BufferAnswer, TheB0AnswerAtOtherLevels) {
    auto f = hdd::parseBufferAnswerB0({"B0", "RD:0800:0080:  WR:0A00:0040:", "RD:1:1: WR:2:2:"});
    EXPECT_EQ(f.rd, "800");
    EXPECT_EQ(f.rdSize, "80");
    EXPECT_EQ(f.wr, "A00");
    EXPECT_EQ(f.wrSize, "40");
    // Only lines holding both count; a size not closed by ":" runs into the next field.
    f = hdd::parseBufferAnswerB0({"RD:0800:0080:", "RD:0800:0080 WR:0A00:0040:"});
    EXPECT_EQ(f.rd, "800");
    EXPECT_EQ(f.rdSize, "");
    EXPECT_EQ(f.wrSize, "40");
}

// The buffer address key.

TEST(BufferAddressKey, AtTLevelAsksWithTheQuestionMark) {
    Harness h;
    h.open();
    h.clearWire();
    h.press("Button13");
    EXPECT_EQ(h.form().text("Edit1"), "800");
    EXPECT_EQ(h.form().text("Edit15"), "80");
    EXPECT_EQ(h.form().text("Edit2"), "A00");
    EXPECT_EQ(h.form().text("Edit16"), "80");
    EXPECT_TRUE(h.wire().endsWith("/\r?\r\r"));
    EXPECT_TRUE(h.consoleText().contains("正在获取缓冲区地址......完成！")) << qPrintable(h.consoleText());
    EXPECT_EQ(h.dlg().ReceiveMode, hdd::kUserCmd);
    EXPECT_TRUE(h.form().isEffectivelyEnabled("Button13"));
}

TEST(BufferAddressKey, AwayFromTLevelAsksWithB0) {
    Harness h;
    h.open();
    h.drive->level = "F";  // "/" keeps the drive at F level
    memory(h).writeBlock = 0xB00;
    h.clearWire();
    h.press("Button13");
    EXPECT_TRUE(h.wire().contains("B0\r"));
    EXPECT_FALSE(h.wire().contains("?\r"));
    EXPECT_EQ(h.form().text("Edit2"), "B00");
    EXPECT_TRUE(h.consoleText().contains("正在获取缓冲区地址......完成！"));
}

TEST(BufferAddressKey, ADriveThatDoesNotAnswerLeavesTheFieldsEmpty) {
    Harness h;
    h.open();
    h.form().setText("Edit1", "123");
    h.drive->faults.silent = true;
    h.press("Button13");
    EXPECT_EQ(h.form().text("Edit1"), "");
    EXPECT_TRUE(h.consoleText().contains("正在获取缓冲区地址......失败！"));
    EXPECT_EQ(h.dlg().ReceiveMode, hdd::kUserCmd);
}

TEST(BufferAddressKey, TheEnsureOperationAsksOnlyWhenAFieldIsEmpty) {
    Harness h;
    h.open();
    for (const char* n : {"Edit1", "Edit15", "Edit2", "Edit16"}) h.form().setText(n, "10");
    h.clearWire();
    EXPECT_TRUE(hdd::GetBufferAddress(*h.model));
    EXPECT_TRUE(h.wire().isEmpty());
    h.form().setText("Edit16", " ");
    EXPECT_TRUE(hdd::GetBufferAddress(*h.model));
    EXPECT_EQ(h.form().text("Edit16"), "80");
    EXPECT_EQ(h.form().text("Edit1"), "800");  // the key fills all four from the drive's answer
}

// The free-track keys.

void trackFields(Harness& h, const QString& track, const QString& head, const QString& start,
                 const QString& count) {
    h.form().setText("Edit10", track);
    h.form().setText("Edit14", head);
    h.form().setText("Edit11", start);
    h.form().setText("Edit12", count);
}

TEST(FreeTrackKeys, MissingFieldsAreReported) {
    Harness h;
    h.open();
    h.clearWire();
    trackFields(h, "3A", "", "0", "10");
    h.press("Button18");  // the read key needs the head
    h.press("Button19");  // the write key does not
    trackFields(h, "3A", "0", "", "10");
    h.press("Button19");
    EXPECT_EQ(h.frontend.shown.value(0),
              "message: 请指定要读取的磁道、磁头、起始扇区和扇区数(十六进制数据)！");
    EXPECT_EQ(h.frontend.shown.value(1), "message: 请指定要写入的磁道、起始扇区和扇区数(十六进制数据)！");
    EXPECT_EQ(h.frontend.requests.size(), 1);  // only the write key with an empty head went on to its dialog
}

TEST(FreeTrackKeys, ReadFindsTheBuffersRaisesTheSpeedAndSavesTheTrack) {
    Harness h;
    h.open();
    QTemporaryDir dir;
    trackFields(h, "3A", "1", "0", "100");
    h.frontend.files = {dir.filePath("t.trc")};
    h.clearWire();
    h.press("Button18");
    ASSERT_EQ(h.frontend.requests.size(), 1);
    EXPECT_EQ(h.frontend.requests[0].fileName, "Track3A_1_0_100.trc");
    EXPECT_EQ(h.frontend.requests[0].title, "保存文件（指定磁道）");
    EXPECT_EQ(h.frontend.requests[0].filter, "TRC文件|*.trc|BIN文件|*.bin|所有文件|*.*");
    EXPECT_EQ(readAll(dir.filePath("t.trc")), sectors(h, 0x3A, 1, 0, 0x100));
    const QByteArray w = h.wire();
    const qsizetype ask = w.indexOf("?\r"), up = w.indexOf("B0921\r"), read = w.indexOf("s3A,1,22\rr,0,80\r"),
                    down = w.indexOf("B0096\r");
    EXPECT_TRUE(ask >= 0 && ask < up && up < read && read < down)
        << ask << " " << up << " " << read << " " << down;
    EXPECT_TRUE(h.consoleText().contains("正在读取数据.........完成！")) << qPrintable(h.consoleText());
    EXPECT_EQ(h.model->port().baud(), 9600);
    EXPECT_EQ(h.dlg().ReceiveMode, hdd::kUserCmd);
    EXPECT_TRUE(w.endsWith("\r"));
}

TEST(FreeTrackKeys, NotAtTLevelOnlyTheGuardLine) {
    Harness h;
    h.open();
    h.type("/1");
    h.idle(200);
    h.drive->faults.stuckLevel = "1";
    QTemporaryDir dir;
    trackFields(h, "3A", "0", "0", "10");
    h.frontend.files = {dir.filePath("t.trc")};
    h.clearWire();
    h.press("Button18");
    EXPECT_TRUE(h.consoleText().contains("错误: 请先切换至T级！"));
    EXPECT_FALSE(h.wire().contains("r,"));
    EXPECT_FALSE(h.wire().contains("B0921"));
    EXPECT_FALSE(QFile::exists(dir.filePath("t.trc")));
}

TEST(FreeTrackKeys, CancelledDialogsOnlyTheReadKeySendsItsCarriageReturn) {
    Harness h;
    h.open();
    trackFields(h, "3A", "0", "0", "10");
    h.clearWire();
    h.press("Button19");
    EXPECT_TRUE(h.wire().isEmpty());
    h.press("Button18");
    EXPECT_EQ(h.wire(), "\r");
}

TEST(FreeTrackKeys, WriteThenReadBackTheSameBytes) {
    Harness h;
    h.open();
    QTemporaryDir dir;
    const QByteArray image = pattern(0x90 * 512, 12);
    writeFile(dir.filePath("w.trc"), image);
    trackFields(h, "5C", "0", "10", "90");
    h.frontend.files = {dir.filePath("w.trc"), dir.filePath("r.trc")};
    h.press("Button19");
    EXPECT_EQ(h.frontend.requests.value(0).title, "打开文件（指定磁道）");
    EXPECT_EQ(sectors(h, 0x5C, 0, 0x10, 0x90), image);
    EXPECT_TRUE(h.consoleText().contains("正在写入数据......完成！")) << qPrintable(h.consoleText());
    h.press("Button18");
    EXPECT_EQ(readAll(dir.filePath("r.trc")), image);
    EXPECT_EQ(h.model->port().baud(), 9600);
}

}  // namespace
