// The receive dispatcher, the console rules and the waits.
#include <gtest/gtest.h>

#include "harness.h"

using hddtest::Harness;

namespace {

class DispatchTest : public ::testing::Test {
protected:
    Harness h;
    hdd::Dialogue& d = h.dlg();
    hdd::Console& console = h.model->console();

    void SetUp() override {
        console.clear();
        d.LastPrompt.clear();
        d.PromptBuffer.clear();
    }
};

TEST_F(DispatchTest, PromptSplitOverTwoChunksIsRecognisedOnTheSecond) {
    d.dispatch("some answer\r\nT");
    EXPECT_EQ(d.LastPrompt, "");
    d.dispatch(">\r\n");
    EXPECT_EQ(d.LastPrompt, "T>");
    EXPECT_TRUE(d.PromptBuffer.isEmpty());
}

TEST_F(DispatchTest, LoneGreaterThanAfterACompleteLineIsAPromptOfItsOwn) {
    d.dispatch("line\r\n");
    d.dispatch(">");
    EXPECT_EQ(d.LastPrompt, ">");
}

TEST_F(DispatchTest, LaterPromptsAreIgnoredUntilAWaitClearsThePrompt) {
    d.dispatch("\r\n1>");
    d.dispatch("\r\nT>");
    EXPECT_EQ(d.LastPrompt, "1>");
}

TEST_F(DispatchTest, PromptBufferIsCutToItsLastLine) {
    d.dispatch("first\r\nsecond\r\nthi");
    EXPECT_EQ(d.PromptBuffer, "thi");
    d.dispatch("rd line\r\n");
    EXPECT_EQ(d.LastPrompt, "");
}

TEST_F(DispatchTest, TrailingBlanksOfAPromptLineAreTrimmed) {
    d.dispatch("\r\n 2> \r\n\r\n");
    EXPECT_EQ(d.LastPrompt, "2>");
}

TEST_F(DispatchTest, AcknowledgementsCountOnlyAsWholeChunks) {
    d.dispatch("w");
    EXPECT_EQ(d.BlockAck, "OK");
    d.BlockAck.clear();
    d.dispatch("\x88");
    EXPECT_EQ(d.BlockAck, "OK");
    d.BlockAck.clear();
    d.dispatch("w\x88");
    EXPECT_EQ(d.BlockAck, "OK");
    d.BlockAck.clear();
    d.dispatch("xw");
    d.dispatch("w\x88\r\n");
    EXPECT_EQ(d.BlockAck, "");
}

TEST_F(DispatchTest, HandshakesCountOnlyAsSingleByteChunks) {
    d.dispatch("\x06");
    EXPECT_EQ(d.Handshake, "OK");
    d.dispatch("\x15");
    EXPECT_EQ(d.Handshake, "ER");
    d.Handshake.clear();
    d.dispatch("\x06\x06");
    EXPECT_EQ(d.Handshake, "");
}

TEST_F(DispatchTest, CaptureModesCollectTextAndUserModeShowsIt) {
    d.ReceiveMode = hdd::kSysCmd;
    d.dispatch("abc\r\n");
    d.ReceiveMode = hdd::kRData;
    d.dispatch("def");
    EXPECT_EQ(d.CaptureBuffer, "abc\r\ndef");
    EXPECT_EQ(console.lineCount(), 0);
    d.ReceiveMode = hdd::kUserCmd;
    d.dispatch("shown\r\n");
    EXPECT_EQ(d.CaptureBuffer, "abc\r\ndef");
    EXPECT_EQ(h.consoleText(), "shown");
}

TEST_F(DispatchTest, EmptyModeShowsNothingButCountsAndDetects) {
    d.ReceiveMode.clear();
    const qint32 rx = d.RxTotal;
    d.dispatch("hidden\r\nT>");
    EXPECT_EQ(console.lineCount(), 0);
    EXPECT_TRUE(d.CaptureBuffer.isEmpty());
    EXPECT_EQ(d.LastPrompt, "T>");
    EXPECT_EQ(d.RxTotal, rx + 10);
}

TEST_F(DispatchTest, NulCutsTheTextButRxCountsTheWholeChunk) {
    d.ReceiveMode = hdd::kUserCmd;
    const qint32 rx = d.RxTotal;
    d.dispatch(QByteArray("ab\0cd", 5));
    EXPECT_EQ(h.consoleText(), "ab");
    EXPECT_EQ(d.RxTotal, rx + 5);
    EXPECT_EQ(h.form().text("edRx"), "Rx:" + QString::number(rx + 5));
}

TEST_F(DispatchTest, LongLineIsWrappedAt110Bytes) {
    d.ReceiveMode = hdd::kUserCmd;
    d.dispatch(QByteArray(250, 'x'));
    ASSERT_EQ(console.lineCount(), 3);
    EXPECT_EQ(console.line(0).size(), 110);
    EXPECT_EQ(console.line(1).size(), 110);
    EXPECT_EQ(console.line(2).size(), 30);
}

TEST_F(DispatchTest, LongLineInsideAChunkIsWrappedToo) {
    // No console line grows past 110 bytes, also when the long line is not the chunk's last.
    d.ReceiveMode = hdd::kUserCmd;
    d.dispatch(QByteArray(120, 'y') + "\r\nT>");
    ASSERT_EQ(console.lineCount(), 3);
    EXPECT_EQ(console.line(0).size(), 110);
    EXPECT_EQ(console.line(1), QByteArray(10, 'y'));
    EXPECT_EQ(console.line(2), "T>");
}

TEST_F(DispatchTest, CrLfSplitAcrossChunksGivesOneLineBreak) {
    d.ReceiveMode = hdd::kUserCmd;
    d.dispatch("abc\r");
    d.dispatch("\ndef");
    EXPECT_EQ(h.consoleText(), "abc\ndef");
}

TEST_F(DispatchTest, AutoClearEmptiesAConsolePast200Lines) {
    d.ReceiveMode = hdd::kUserCmd;
    for (int i = 0; i < 201; ++i) console.addLine(QString::number(i));
    d.dispatch("fresh");
    EXPECT_EQ(h.consoleText(), "fresh");

    h.form().userClick("CheckBox2");  // untick
    for (int i = 0; i < 201; ++i) console.addLine(QString::number(i));
    d.dispatch("kept");
    EXPECT_EQ(console.lineCount(), 203);
}

TEST_F(DispatchTest, ResultWordsGoToTheLineAddedLast) {
    d.ReceiveMode = hdd::kUserCmd;
    d.dispatch("T>");
    console.addLine(QStringLiteral("正在读取缓冲区......"));
    console.appendToLastLine(QStringLiteral("成功！"));
    EXPECT_EQ(h.consoleText(), QStringLiteral("T>\n正在读取缓冲区......成功！"));
    // The tool's own text is stored in GBK.
    EXPECT_EQ(console.line(1), hdd::toGbk(QStringLiteral("正在读取缓冲区......成功！")));
}

// Waits: the number of checks is observable as the number of event pulses.
class WaitTest : public ::testing::Test {
protected:
    Harness h;
    int pulses = 0;
    void SetUp() override {
        h.clock.addPoller([this] { ++pulses; });
    }
};

TEST_F(WaitTest, WaitHDZeroChecksOnceAndSleepsOnce) {
    const qint64 t0 = h.clock.nowUs();
    EXPECT_FALSE(h.dlg().WaitHD(0));
    EXPECT_EQ(h.clock.nowUs() - t0, 10'000);
    EXPECT_EQ(pulses, 2);  // the events processed before the first check, and after the one sleep
}

TEST_F(WaitTest, WaitHDOneChecksTwice) {
    const qint64 t0 = h.clock.nowUs();
    EXPECT_FALSE(h.dlg().WaitHD(1));
    EXPECT_EQ(h.clock.nowUs() - t0, 20'000);
}

TEST_F(WaitTest, WaitClearsAPromptSeenBeforeIt) {
    h.dlg().dispatch("\r\nT>");
    EXPECT_EQ(h.dlg().LastPrompt, "T>");
    EXPECT_FALSE(h.dlg().WaitHD(3));
    EXPECT_TRUE(h.dlg().LastPrompt.isEmpty());
}

TEST_F(WaitTest, ASendCountsTxEvenWithNoPortOpen) {
    h.dlg().SendString("abc");
    h.dlg().Sendbuffer("xyzw", 4);
    EXPECT_EQ(h.dlg().TxTotal, 7);
    EXPECT_EQ(h.form().text("edTx"), "Tx:7");
    EXPECT_TRUE(h.wire().isEmpty());
}

TEST_F(WaitTest, PumpWaitTakesTenMillisecondsAPulse) {
    const qint64 t0 = h.clock.nowUs();
    h.dlg().PumpWait(500);
    EXPECT_EQ(h.clock.nowUs() - t0, 5'000'000);
    h.dlg().PumpWait(0);
    h.dlg().PumpWait(-3);
    EXPECT_EQ(h.clock.nowUs() - t0, 5'000'000);
}

TEST_F(WaitTest, ShutdownEndsWaitsAtOnce) {
    h.open();
    h.dlg().beginShutdown();
    const qint64 t0 = h.clock.nowUs();
    EXPECT_FALSE(h.dlg().WaitHD(1500));
    h.dlg().PumpWait(500);
    EXPECT_LT(h.clock.nowUs() - t0, 20'000);
}

// Against the simulated drive: a command's answer arrives inside the wait after it.
TEST(DialogueOnSim, PromptOfACommandArrivesInsideTheFollowingWait) {
    Harness h;
    h.open();
    h.dlg().ReceiveMode = hdd::kSysCmd;
    h.dlg().SendString("/2\r");
    EXPECT_TRUE(h.dlg().WaitHD(50));
    EXPECT_EQ(h.dlg().LastPrompt, "2>");
    EXPECT_EQ(h.wire(), "/2\r");
}

TEST(DialogueOnSim, AnswerAtAnotherSpeedIsGarbledAndShowsNoPrompt) {
    Harness h;
    h.open();  // 9600
    h.drive->baud = 115200;
    h.dlg().SendString("/\r");
    EXPECT_FALSE(h.dlg().WaitHD(50));
}

}  // namespace
