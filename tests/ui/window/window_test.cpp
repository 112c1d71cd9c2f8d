// The main window's model: start-up, opening and closing, the command line, the send-byte
// field, counters, the status line and the window's closing.
#include <gtest/gtest.h>
#include <QCoreApplication>

#include "harness.h"
#include "sim_backend.h"

using hddtest::Harness;

namespace {

hddsim::SimBackend* simBackend(Harness& h) {
    return qobject_cast<hddsim::SimBackend*>(h.model->port().backend());
}

TEST(StartUp, CaptionBannerListsAndPanels) {
    Harness h;
    EXPECT_TRUE(h.model->caption().startsWith("hddterm "));
    EXPECT_EQ(h.model->console().line(0), "hddterm");
    EXPECT_EQ(h.model->console().lastLine(), QByteArray(65, '='));
    EXPECT_EQ(h.model->console().lineCount(), 8);
    EXPECT_EQ(h.form().at("ComboBox1").items, QStringList{"sim"});
    EXPECT_EQ(h.form().text("ComboBox1"), "sim");
    // The simulated port takes 921600, so all eight speeds are offered, the fastest for transfers.
    EXPECT_EQ(h.form().at("ComboBox2").items.size(), 8);
    EXPECT_EQ(h.form().text("ComboBox2"), "9600");
    EXPECT_EQ(h.form().text("ComboBox7"), "921600");
    EXPECT_FALSE(h.form().isEffectivelyEnabled("CMD"));
    EXPECT_FALSE(h.form().at("Panel6").enabled);
    EXPECT_TRUE(h.form().isEffectivelyEnabled("ComboBox1"));
    EXPECT_EQ(h.form().text("edStatus"), " STATUS: COM Port Closed");  // as after closing
    EXPECT_EQ(h.form().text("edRx"), "Rx:0");
    EXPECT_EQ(h.model->programFolder(), h.programDir.path() + "/");
    EXPECT_EQ(h.dlg().ReceiveMode, hdd::kUserCmd);
    EXPECT_TRUE(h.wire().isEmpty());  // nothing talks to the drive before the port is opened
}

TEST(StartUp, AFirstPortThatCannotBeOpenedOffersTheFourBaseSpeeds) {
    Harness h(false);
    h.systemPorts = {"/dev/hddterm-no-such-port"};
    h.model->startUp();
    EXPECT_EQ(h.form().at("ComboBox2").items, (QStringList{"9600", "38400", "57600", "115200"}));
    EXPECT_EQ(h.form().text("ComboBox7"), "115200");
    EXPECT_TRUE(h.frontend.shown.isEmpty());  // the start-up probe fails silently
}

TEST(PortSelection, AMissingPortIsReportedAndKeepsTheBaseSpeeds) {
    Harness h;
    h.model->choosePort("/dev/hddterm-no-such-port");
    EXPECT_EQ(h.frontend.shown, QStringList{"message: 选择的端口正在被使用或不存在！"});
    EXPECT_EQ(h.form().at("ComboBox2").items.size(), 4);
    h.frontend.shown.clear();
    h.open();
    EXPECT_EQ(h.frontend.shown, QStringList{"message: 选择的端口正在被使用或不存在！"});
    EXPECT_FALSE(h.model->isOpen());
    h.model->choosePort("sim");
    EXPECT_EQ(h.form().at("ComboBox2").items.size(), 8);
}

TEST(OpenClose, StatesCaptionStatusAndControlLines) {
    Harness h;
    h.open();
    ASSERT_TRUE(h.model->isOpen());
    EXPECT_EQ(h.form().text("btnSwitch"), "关闭串口");
    EXPECT_FALSE(h.form().isEffectivelyEnabled("ComboBox1"));
    EXPECT_TRUE(h.form().isEffectivelyEnabled("CMD"));
    EXPECT_TRUE(h.form().at("ImageOn").visible);
    EXPECT_FALSE(h.form().at("ImageOff").visible);
    EXPECT_EQ(h.form().text("edStatus"), " STATUS: 模拟硬盘 (sim) Opened 9600 None 8 1");
    EXPECT_TRUE(h.model->port().controlLines());
    h.press("CheckBox1");  // untick: both lines drop at once
    EXPECT_FALSE(h.model->port().controlLines());
    h.press("CheckBox1");
    EXPECT_TRUE(h.model->port().controlLines());

    h.open();  // close
    EXPECT_FALSE(h.model->isOpen());
    EXPECT_FALSE(h.model->port().isOpen());
    EXPECT_EQ(h.form().text("btnSwitch"), "打开串口");
    EXPECT_EQ(h.form().text("edStatus"), " STATUS: COM Port Closed");
    EXPECT_FALSE(h.form().isEffectivelyEnabled("CMD"));
}

TEST(OpenClose, OpensWithTheLinesDroppedWhenTheBoxIsClear) {
    Harness h;
    h.press("CheckBox1");
    h.open();
    EXPECT_FALSE(h.model->port().controlLines());
}

TEST(OpenClose, OpensAtTheChosenSpeed) {
    Harness h;
    h.form().userSelectText("ComboBox2", "115200");  // closed: the drive is not contacted
    EXPECT_TRUE(h.wire().isEmpty());
    h.open();
    EXPECT_EQ(h.model->port().baud(), 115200);
    EXPECT_EQ(h.form().text("edStatus"), " STATUS: 模拟硬盘 (sim) Opened 115200 None 8 1");
}

TEST(OpenClose, BaudTextThatIsNoNumberIsRefused) {
    Harness h;
    h.form().setCurrentIndex("ComboBox2", -1);
    h.open();
    EXPECT_EQ(h.frontend.shown, QStringList{"warning: 波特率设定有误\r 请重新输入"});
    EXPECT_FALSE(h.model->isOpen());
}

TEST(CommandLine, EnterSendsTheTrimmedLineWithCr) {
    Harness h;
    h.open();
    h.type("  /2 ");
    EXPECT_EQ(h.wire(), "/2\r");
    EXPECT_EQ(h.form().text("CMD"), "");
    h.clearWire();
    h.type("");
    EXPECT_EQ(h.wire(), "\r");
}

TEST(CommandLine, ControlKeysGoOutAtOnceAndPrintableKeysWaitForEnter) {
    Harness h;
    h.open();
    h.form().userKey("CMD", QChar('a'));
    h.form().userKey("CMD", QChar('b'));
    EXPECT_TRUE(h.wire().isEmpty());
    h.form().userKey("CMD", QChar(0x1A));
    EXPECT_EQ(h.wire(), "\x1a");
    h.form().userKey("CMD", QChar(0x08));
    EXPECT_EQ(h.form().text("CMD"), "a");
    h.form().userKey("CMD", QChar(0x1B));
    h.form().userEnter("CMD");
    EXPECT_EQ(h.wire(),
              "\x1a\x1b"
              "a\r");
}

TEST(CommandLine, TheAnswerReachesTheConsole) {
    Harness h;
    h.open();
    h.dlg().ReceiveMode.clear();
    h.type("/1");
    h.idle(200);
    EXPECT_EQ(h.dlg().ReceiveMode, hdd::kUserCmd);
    EXPECT_TRUE(h.consoleText().endsWith("/1\n1>")) << qPrintable(h.consoleText());
}

TEST(SendByte, HexAndDecimal) {
    Harness h;
    h.open();
    h.press("RadioButton2");
    EXPECT_EQ(h.form().at("Edit21").maxLength, 2);
    for (QChar c : QString("fgf")) h.form().userKey("Edit21", c);  // "g" is dropped, letters upper-cased
    EXPECT_EQ(h.form().text("Edit21"), "FF");
    h.form().userEnter("Edit21");
    EXPECT_EQ(h.wire(), "\xff");
    EXPECT_EQ(h.form().text("Edit21"), "");

    h.form().userSetText("Edit21", "1A");
    h.press("RadioButton1");  // choosing DEC empties the field
    EXPECT_EQ(h.form().text("Edit21"), "");
    for (QChar c : QString("3a00")) h.form().userKey("Edit21", c);
    EXPECT_EQ(h.form().text("Edit21"), "300");
    h.form().userEnter("Edit21");
    EXPECT_EQ(h.wire(), "\xff\x2c");
}

TEST(SendByte, AnEmptyFieldIsReportedAndSendsNothing) {
    Harness h;
    h.open();
    h.form().userEnter("Edit21");
    EXPECT_EQ(h.frontend.shown, QStringList{"message: 请输入有效的数字！"});
    EXPECT_TRUE(h.wire().isEmpty());
}

TEST(Counters, CountAndReset) {
    Harness h;
    h.open();
    h.type("/");
    h.idle(100);
    EXPECT_EQ(h.form().text("edTx"), "Tx:2");
    EXPECT_NE(h.form().text("edRx"), "Rx:0");
    h.press("Button5");
    EXPECT_EQ(h.form().text("edRx"), "Rx:0");
    EXPECT_EQ(h.form().text("edTx"), "Tx:0");
}

TEST(Console, ClearKeyEmptiesIt) {
    Harness h;
    h.press("Button6");
    EXPECT_EQ(h.model->console().lineCount(), 0);
}

TEST(Closing, WindowCloseClosesThePortAndDropsTheLines) {
    Harness h;
    h.open();
    h.model->closeWindow();
    EXPECT_FALSE(h.model->port().isOpen());
    EXPECT_FALSE(h.model->port().controlLines());
}

TEST(Closing, CloseDuringAWaitEndsTheWaitAtOnce) {
    Harness h;
    h.open();
    h.drive->faults.silent = true;
    const qint64 t0 = h.clock.nowUs();
    int calls = 0;
    h.clock.addPoller([&] {
        if (++calls == 5) h.model->closeWindow();
    });
    bool got = true;
    h.model->runOperation([&] {
        h.dlg().SendString("/\r");
        got = h.dlg().WaitHD(1500);
        h.dlg().PumpWait(500);
    });
    EXPECT_FALSE(got);
    EXPECT_LT(h.clock.nowUs() - t0, 200'000);
    EXPECT_FALSE(h.model->port().isOpen());
}

TEST(Closing, PulledAdapterReturnsTheWindowToClosed) {
    Harness h;
    h.open();
    simBackend(h)->pull();
    EXPECT_FALSE(h.model->isOpen());
    EXPECT_EQ(h.lastLine(), "错误: 串口连接已断开！");
    EXPECT_TRUE(h.dlg().AbortRequested);
    EXPECT_FALSE(h.dlg().WaitHD(5));  // waits simply run out
    h.open();                         // and the port can be opened again
    EXPECT_TRUE(h.model->isOpen());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(KeyFilters, HexFieldsAndTheirRelatives) {
    using hdd::filterKey;
    using hdd::KeyFilter;
    EXPECT_EQ(filterKey(KeyFilter::Hex, 'a'), QChar('a'));
    EXPECT_FALSE(filterKey(KeyFilter::Hex, 'g'));
    EXPECT_FALSE(filterKey(KeyFilter::Hex, ','));
    EXPECT_EQ(filterKey(KeyFilter::HexComma, ','), QChar(','));
    EXPECT_EQ(filterKey(KeyFilter::Serial, 'x'), QChar('X'));
    EXPECT_FALSE(filterKey(KeyFilter::Serial, '.'));
    EXPECT_EQ(filterKey(KeyFilter::HeadHex, 'f'), QChar('F'));
    EXPECT_FALSE(filterKey(KeyFilter::HeadHex, 'A'));
    EXPECT_EQ(filterKey(KeyFilter::ZoneHex, 'b'), QChar('B'));
    EXPECT_FALSE(filterKey(KeyFilter::Digits, 'a'));
    EXPECT_EQ(filterKey(KeyFilter::Digits, QChar(0x16)), QChar(0x16));
}

}  // namespace

namespace {

TEST(Busy, NestedOperationsGiveThePanelsBackOnlyAtTheOutermostEnd) {
    Harness h;
    h.open();
    h.model->setBusy(true);
    h.model->setBusy(true);
    h.model->setBusy(false);
    EXPECT_FALSE(h.form().isEffectivelyEnabled("CMD"));
    EXPECT_TRUE(h.form().isEffectivelyEnabled("Button16"));  // the abort key stays usable
    h.model->setBusy(false);
    EXPECT_TRUE(h.form().isEffectivelyEnabled("CMD"));
    EXPECT_TRUE(h.form().isEffectivelyEnabled("ComboBox2"));
}

}  // namespace

namespace {

// A port that only counts how often it was opened.
struct CountingBackend : hdd::SerialBackend {
    explicit CountingBackend(int& opens) : opens_(opens) {}
    bool open(const QString&, qint32) override { return ++opens_, open_ = true; }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    bool setBaud(qint32) override { return true; }
    qint32 baud() const override { return 9600; }
    bool setControlLines(bool) override { return true; }
    bool controlLines() const override { return false; }
    qint64 bytesWaiting() override { return 0; }
    QByteArray readWaiting() override { return {}; }
    qint64 write(const QByteArray& d) override { return d.size(); }
    hdd::PortError lastError() const override { return hdd::PortError::None; }
    int& opens_;
    bool open_ = false;
};

TEST(StartUp, OnlyTheChosenPortIsOpened) {
    struct Case {
        const char* given;  // on the command line
        const char* remembered;
    } cases[] = {{"sim", ""}, {"", "sim"}, {"", ""}};
    for (const Case& c : cases) {
        Harness h(false);
        h.systemPorts = {"ttyHDD0"};  // listed first; no such device, so an open would be an error
        int opens = 0;
        h.model->port().registerBackend("a0", [&opens] { return std::make_unique<CountingBackend>(opens); });
        h.model->preferredPort = c.remembered;
        h.model->startUp(c.given);
        EXPECT_EQ(opens, 0) << c.given << c.remembered;
        EXPECT_EQ(h.model->port().lastError(), hdd::PortError::None) << c.given << c.remembered;
        const bool chosen = *c.given || *c.remembered;
        EXPECT_EQ(h.form().text("ComboBox1"), chosen ? "sim" : "ttyHDD0");
        EXPECT_EQ(h.form().at("ComboBox2").items.size(), chosen ? 8 : 4);  // the probe ran on sim alone
    }
}

// Closing waits for the drive's answer to the last command, so nothing is left on the line.
TEST(Closing, TheLastBytesReachTheDriveBeforeThePortCloses) {
    Harness h;
    h.open();
    h.form().userSelectText("ComboBox2", "115200");
    h.form().userSelectText("ComboBox2", "9600");
    h.type("/2");
    qint64 inFlight = 0;
    h.model->port().setTap([&](hdd::SerialPort::TapEvent e, const QByteArray&) {
        if (e == hdd::SerialPort::TapEvent::Closed) inFlight = h.drive->nextEventUs(h.clock.nowUs());
    });
    h.open();                 // closes
    EXPECT_EQ(inFlight, -1);  // the final "\r" was read, and the prompt that answers it came back
    EXPECT_TRUE(h.wire().endsWith("/2\r"));
    EXPECT_EQ(h.drive->baud, 9600);
}

}  // namespace
