// The drive's level (prompt probes, the T-level guard, the switch to F level) and the link speed
// negotiation, against the simulated drive in virtual time.
#include <gtest/gtest.h>

#include "harness.h"
#include "monitor.h"
#include "service_state.h"
#include "sim_backend.h"

using hddtest::Harness;

namespace {

const QByteArray kForce = "\x1a/\r";     // WaitPrompt on a drive that answers at once
const QByteArray kGuard = "\x1a/\r/\r";  // isT: WaitPrompt, then "/\r"
const QString kToFLine = QStringLiteral("转换至F级...........");

// Splits the wire after the restart command of ToF into the Esc run and what follows it.
struct AfterRestart {
    int escapes = 0;
    QByteArray rest;
};
AfterRestart afterRestart(const QByteArray& wire, const QByteArray& prefix) {
    AfterRestart a;
    if (!wire.startsWith(prefix)) return {-1, wire};
    qsizetype i = prefix.size();
    while (i < wire.size() && wire[i] == '\x1b') ++i, ++a.escapes;
    a.rest = wire.mid(i);
    return a;
}

class Monitor : public ::testing::Test {
protected:
    void SetUp() override {
        h.open();
        h.idle(100);
        h.clearWire();
    }
    qint64 nowMs() const { return h.clock.nowUs() / 1000; }

    Harness h;
    hdd::Dialogue& d = h.dlg();
};

// --- prompts and levels ---

TEST_F(Monitor, WaitPromptForcesAPromptSilentlyAndRestoresTheMode) {
    d.ReceiveMode = hdd::kRData;
    const int lines = h.model->console().lineCount();
    hdd::WaitPrompt(d);
    EXPECT_EQ(h.wire(), kForce);
    EXPECT_EQ(d.LastPrompt, "T>");
    EXPECT_EQ(d.ReceiveMode, hdd::kRData);
    EXPECT_EQ(h.model->console().lineCount(), lines);
}

TEST_F(Monitor, LevelProbesTellTFromFAndFromNumberedLevels) {
    EXPECT_TRUE(hdd::isT(d));
    EXPECT_FALSE(hdd::isF(d));
    h.drive->level = "F";
    EXPECT_FALSE(hdd::isT(d));
    EXPECT_TRUE(hdd::isF(d));
    h.drive->faults.stuckLevel = "1";
    EXPECT_FALSE(hdd::isT(d));
    EXPECT_EQ(d.LastPrompt, "1>");
}

TEST_F(Monitor, GuardAtLevelOnePrintsTheMessageAndKeyStillEndsWithCarriageReturn) {
    h.drive->faults.stuckLevel = "1";
    h.press("Button10");
    EXPECT_EQ(h.wire(), kGuard + "\r");
    EXPECT_EQ(h.lastLine(), hdd::kNotAtT);
    EXPECT_EQ(d.ReceiveMode, hdd::kUserCmd);
    EXPECT_TRUE(h.form().isEffectivelyEnabled("Button10"));
}

TEST_F(Monitor, GuardOnASilentDriveGivesUpAfterAboutThreeSecondsKeepingTheMode) {
    h.drive->faults.silent = true;
    d.ReceiveMode = hdd::kRData;
    const qint64 start = nowMs();
    EXPECT_FALSE(hdd::guardT(d));
    const qint64 took = nowMs() - start;
    EXPECT_GE(took, 2500);
    EXPECT_LE(took, 3500);
    QByteArray expected;
    for (int i = 0; i < 30; ++i) expected += kForce;
    EXPECT_EQ(h.wire(), expected + "/\r");
    EXPECT_EQ(d.ReceiveMode, hdd::kRData);
    EXPECT_EQ(h.lastLine(), hdd::kNotAtT);
}

TEST_F(Monitor, Switch50SendsTheSwitchAtT) {
    h.press("Button10");
    EXPECT_EQ(h.wire(), kGuard + "N50,,22\r" + "\r");
    EXPECT_TRUE(h.form().isEffectivelyEnabled("Button10"));
}

// --- ToF ---

TEST_F(Monitor, ToFFromTSendsTheSwitchAndCtrlTAndEndsAtFAndNineHundredSixty) {
    h.press("Button24");
    const QByteArray before = QByteArray("\x1a") + kGuard + "/\r" + "N50,,22\r" + "/\r" + "\x14";
    const AfterRestart a = afterRestart(h.wire(), before);
    ASSERT_GE(a.escapes, 1) << h.wire().toHex(' ').toStdString();
    EXPECT_EQ(a.rest, "/\r\x1aZZ\r");
    EXPECT_EQ(h.lastLine(), kToFLine + QStringLiteral("成功！"));
    EXPECT_EQ(h.drive->level, "F");
    EXPECT_EQ(h.model->port().baud(), 9600);
    EXPECT_FALSE(d.AbortRequested);
    EXPECT_TRUE(h.form().isEffectivelyEnabled("Button24"));
    h.idle(300);
    // The drive's output during the switch stayed off the console.
    EXPECT_FALSE(h.consoleText().contains("Monitor restart"));
    EXPECT_FALSE(h.consoleText().contains("Spin down"));
}

TEST_F(Monitor, ToFFromFRestartsWithCtrlCOnly) {
    h.drive->level = "F";
    h.press("Button24");
    const QByteArray before = QByteArray("\x1a") + kGuard + "/\r" + "\x03";
    const AfterRestart a = afterRestart(h.wire(), before);
    ASSERT_GE(a.escapes, 1) << h.wire().toHex(' ').toStdString();
    EXPECT_EQ(a.rest, "/\r\x1aZZ\r");
    EXPECT_FALSE(h.wire().contains("N50"));
    EXPECT_FALSE(h.wire().contains('\x14'));
    EXPECT_EQ(h.lastLine(), kToFLine + QStringLiteral("成功！"));
    EXPECT_EQ(h.drive->state<hddsim::ServiceState>().restarts, 1);
}

TEST_F(Monitor, ToFFromAHigherSpeedFollowsTheDriveBackToNineHundredSixty) {
    ASSERT_TRUE(h.form().userSelectText("ComboBox2", "115200"));
    ASSERT_EQ(h.drive->baud, 115200);
    h.press("Button24");
    EXPECT_EQ(h.lastLine(), kToFLine + QStringLiteral("成功！"));
    EXPECT_EQ(h.model->port().baud(), 9600);
    EXPECT_EQ(h.form().text("ComboBox2"), "9600");
    EXPECT_EQ(h.drive->baud, 9600);
}

TEST_F(Monitor, ToFOnADriveThatRestartsIntoTheWrongLevelFails) {
    h.drive->faults.stuckLevel = "1";
    EXPECT_FALSE(hdd::ToF(d));
    EXPECT_EQ(h.lastLine(), kToFLine + QStringLiteral("失败！"));
    EXPECT_FALSE(h.wire().endsWith("ZZ"));
    EXPECT_EQ(d.ReceiveMode, hdd::kSysCmd);
}

TEST_F(Monitor, ToFOnASilentDriveFailsAfterBothWaits) {
    h.drive->faults.silent = true;
    h.press("Button24");
    EXPECT_EQ(h.lastLine(), kToFLine + QStringLiteral("失败！"));
    EXPECT_EQ(h.wire().count('\x1b'), 501);
    EXPECT_FALSE(h.wire().contains('Z'));
    EXPECT_EQ(h.model->port().baud(), 9600);
}

TEST_F(Monitor, AbortDuringTheRestartWaitEndsItAtOnceAndFails) {
    h.drive->settings["restart.ms"] = 8000;
    qint64 ctrlTAt = -1, abortAt = -1;
    bool busyWhenAborted = false;
    h.clock.addPoller([&] {
        if (ctrlTAt < 0 && h.wire().contains('\x14')) ctrlTAt = nowMs();
        if (ctrlTAt >= 0 && abortAt < 0 && nowMs() >= ctrlTAt + 500) {
            abortAt = nowMs();
            busyWhenAborted = !h.form().isEffectivelyEnabled("Button24");
            h.press("Button16");  // on the window itself: usable while the panels are off
        }
    });
    h.press("Button24");
    ASSERT_GE(abortAt, 0);
    EXPECT_TRUE(busyWhenAborted);
    EXPECT_LT(nowMs() - abortAt, 400);  // only the closing prompt wait remains
    EXPECT_TRUE(h.wire().endsWith(QByteArray("\x14/\r\r")));
    EXPECT_FALSE(h.wire().contains('\x1b'));
    EXPECT_EQ(h.lastLine(), kToFLine + QStringLiteral("失败！"));
    EXPECT_FALSE(d.AbortRequested);
}

// --- link speed ---

TEST_F(Monitor, SpeedChangeTellsTheDriveFirstThenSwitchesThePortThenForcesAPrompt) {
    qsizetype wireAtSwitch = -1;
    qint64 sentAt = -1, switchedAt = -1;
    h.clock.addPoller([&] {
        if (sentAt < 0 && h.wire().contains("B0115\r")) sentAt = nowMs();
        if (switchedAt < 0 && h.model->port().baud() == 115200) {
            switchedAt = nowMs();
            wireAtSwitch = h.wire().size();
        }
    });
    ASSERT_TRUE(h.form().userSelectText("ComboBox2", "115200"));
    const QByteArray command = kGuard + kForce + "B0115\r";
    EXPECT_EQ(h.wire(), command + kForce + "\r");
    EXPECT_EQ(wireAtSwitch, command.size());
    EXPECT_GE(switchedAt - sentAt, 90);
    EXPECT_EQ(h.drive->baud, 115200);
    EXPECT_EQ(h.lastLine(), QStringLiteral("正在调整速率，请稍候........完成！"));
    EXPECT_EQ(h.form().text("edStatus"), QStringLiteral(" STATUS: 模拟硬盘 (sim) Opened 115200 None 8 1"));
    EXPECT_TRUE(hdd::isT(d));
}

TEST_F(Monitor, TransferSpeedAndBackUseTheUpperCaseFormAtT) {
    EXPECT_TRUE(h.model->AdSpeed());  // ComboBox7: the fastest
    EXPECT_TRUE(hdd::Set9600(d));
    EXPECT_EQ(h.wire(), kGuard + kForce + "B0921\r" + kForce + kForce + "B0096\r" + kForce);
    EXPECT_EQ(h.model->port().baud(), 9600);
    EXPECT_EQ(h.drive->baud, 9600);
}

TEST_F(Monitor, AtFTheSelectorsSendTheLowerCaseForm) {
    h.drive->level = "F";
    EXPECT_TRUE(h.model->AdSpeed());
    EXPECT_EQ(h.wire(), kGuard + kForce + "b0921\r" + kForce);
    EXPECT_EQ(h.drive->baud, 921600);
    h.clearWire();
    EXPECT_TRUE(hdd::SetSpeed9600(d));
    EXPECT_EQ(h.wire(), kGuard + kForce + "b0096\r" + kForce);
    EXPECT_EQ(h.model->port().baud(), 9600);
}

TEST_F(Monitor, SelectorTextsOtherThanTheKnownHigherSpeedsMeanNineHundredSixty) {
    for (const QString& text :
         {QString(), QStringLiteral("9600"), QStringLiteral("38400 "), QStringLiteral("abc")}) {
        h.clearWire();
        EXPECT_TRUE(hdd::AdMySpeed(d, text));
        EXPECT_EQ(h.wire(), kGuard + kForce + "B0096\r" + kForce) << qPrintable(text);
    }
    h.clearWire();
    EXPECT_TRUE(hdd::AdMySpeed(d, "625200"));
    EXPECT_EQ(h.wire(), kGuard + kForce + "B0625\r" + kForce);
    EXPECT_EQ(h.model->port().baud(), 625200);
}

TEST_F(Monitor, ProgrammaticSelectionAndHostSideChangesSendNothing) {
    h.form().setCurrentIndex("ComboBox2", 2);
    h.idle(200);
    hdd::Speed57600(d);
    h.idle(200);
    EXPECT_TRUE(h.wire().isEmpty());
    EXPECT_EQ(h.model->port().baud(), 57600);
    EXPECT_EQ(h.form().text("ComboBox2"), "57600");
}

TEST_F(Monitor, DriveIgnoringTheSpeedCommandIsReportedAsAFailedChange) {
    h.drive->faults.ignoreSpeed = true;
    ASSERT_TRUE(h.form().userSelectText("ComboBox2", "57600"));
    EXPECT_EQ(h.lastLine(), QStringLiteral("正在调整速率，请稍候........失败！"));
    EXPECT_EQ(h.drive->baud, 9600);
    EXPECT_EQ(h.model->port().baud(), 57600);
    // Both ways garbled: the next guard fails...
    h.clearWire();
    h.press("Button10");
    EXPECT_EQ(h.lastLine(), hdd::kNotAtT);
    EXPECT_FALSE(h.wire().contains("N50"));
    // ...and choosing the old speed again brings the drive back.
    ASSERT_TRUE(h.form().userSelectText("ComboBox2", "9600"));
    EXPECT_EQ(h.lastLine(), QStringLiteral("正在调整速率，请稍候........完成！"));
    EXPECT_TRUE(hdd::isT(d));
}

TEST_F(Monitor, SpeedMissingFromTheListLeavesNoSelectionAndAnEmptySpeed) {
    h.form().setItems("ComboBox2", hdd::baseSpeedTexts(), 0);
    hdd::Speed921600(d);
    EXPECT_EQ(h.form().at("ComboBox2").currentIndex, -1);
    EXPECT_EQ(h.form().text("edStatus"), QStringLiteral(" STATUS: 模拟硬盘 (sim) Opened  None 8 1"));
    EXPECT_EQ(h.model->port().baud(), 921600);
}

// A port that takes nothing above 115200.
class SlowPort : public hddsim::SimBackend {
public:
    using SimBackend::SimBackend;
    bool setBaud(qint32 baud) override { return baud <= 115200 && SimBackend::setBaud(baud); }
};

TEST(MonitorSlowPort, RefusedRateKeepsTheOldOneAndTheWindowShowsIt) {
    Harness h;
    h.model->port().registerBackend("slow", [&] { return std::make_unique<SlowPort>(h.clock, h.drive); });
    h.model->choosePort("slow");
    EXPECT_EQ(h.form().at("ComboBox2").items, hdd::baseSpeedTexts());
    h.open();
    hdd::Speed921600(h.dlg());
    EXPECT_EQ(h.model->port().baud(), 9600);
    EXPECT_EQ(h.form().text("ComboBox2"), "9600");
    EXPECT_EQ(h.form().text("edStatus"), QStringLiteral(" STATUS: slow Opened 9600 None 8 1"));
}

}  // namespace
