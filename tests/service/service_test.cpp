// The service keys of the main window against the simulated drive in virtual time: the bytes
// each key sends, and what happens when the drive is elsewhere, silent or says something else.
#include <gtest/gtest.h>

#include "harness.h"
#include "identity.h"
#include "monitor.h"
#include "service_commands.h"
#include "service_state.h"

using hddtest::Harness;

namespace {

const QByteArray kForce = "\x1a/\r";
const QByteArray kGuard = "\x1a/\r/\r";

class ServiceKeys : public ::testing::Test {
protected:
    void SetUp() override {
        h.open();
        h.idle(100);
        h.clearWire();
    }
    QByteArray pressed(const QString& key) {
        h.clearWire();
        h.press(key);
        return h.wire();
    }
    hddsim::ServiceState& sim() { return h.drive->state<hddsim::ServiceState>(); }
    qint64 nowMs() const { return h.clock.nowUs() / 1000; }

    Harness h;
    hdd::Dialogue& d = h.dlg();
};

TEST_F(ServiceKeys, PlainKeysSendTheirBytesInUserMode) {
    const QList<std::pair<QString, QByteArray>> keys = {
        {"Button12", "\x1a"},
        {"Button2", "\x12"},
        {"Button7", "\x14"},
        {"Button32", "\x15"},
        {"Button33", "\x04"},
        {"Button34", "\x05"},
        {"Button35", "\x0c"},
        {"Button36", "\x01"},
        {"Button37", "\x0f"},
        {"Button38", "\x03"},
        {"Button48", "\x1b"},
        {"Button29", "\x03"},
        {"Button9", "\x01\r"},
        {"Button28", "\x14\r"},
        {"Button25", "\r"},
        {"Button11", ";\r"},
        {"Button30", ".\r"},
        {"Button40", "?\r"},
        {"Button42", "`\r"},
        {"Button45", ":\r"},
        {"Button46", "^\r"},
        {"Button41", "."},
        {"Button43", "'"},
        {"Button44", ";"},
        {"Button47", "!"},
        {"Button39", "%\r"},
        {"Button8", "/\r"},
        {"Button49", "\x1a/1\r"},
        {"Button50", "\x1a/2\r"},
        {"Button31",
         "\x0c"
         "E4E\r"},
    };
    for (const auto& [key, bytes] : keys) {
        d.ReceiveMode.clear();
        EXPECT_EQ(pressed(key), bytes) << qPrintable(key);
        EXPECT_EQ(d.ReceiveMode, hdd::kUserCmd) << qPrintable(key);
        h.idle(1000);  // some of them restart the drive
    }
}

TEST_F(ServiceKeys, PercentWaitsBeforeItsCarriageReturnAndTheLevelKeysWaitAfter) {
    const qint64 start = nowMs();
    h.press("Button39");
    EXPECT_GE(nowMs() - start, 100);
    h.press("Button50");
    EXPECT_GE(nowMs() - start, 300);
    h.idle(100);
    EXPECT_EQ(h.drive->level, "2");
    EXPECT_TRUE(h.lastLine().endsWith("2>"));
}

TEST_F(ServiceKeys, DefectListViewsShowTheListsInTheConsole) {
    EXPECT_EQ(pressed("Button66"), "/\rV1\r");
    h.idle(300);
    EXPECT_TRUE(h.consoleText().contains("P-List: 4 entries"));
    EXPECT_EQ(pressed("Button69"), "/\rV4\r");
    h.idle(300);
    EXPECT_TRUE(h.consoleText().contains("G-List: 3 entries"));
    // The T list key is on the window but hidden; its work is still the list command.
    EXPECT_FALSE(h.form().at("Button67").visible);
    EXPECT_EQ(pressed("Button67"), "");
    h.form().at("Button67").onClick();
    EXPECT_EQ(h.wire(), "/\rV2\r");
    for (const char* key : {"Button64", "Button65", "Button66", "Button67", "Button69"}) {
        EXPECT_EQ(h.form().at(key).panel, "Panel6") << key;
    }
}

TEST_F(ServiceKeys, ClearingThePListAsksFirstAndNoSendsNothing) {
    h.frontend.answers = {false};
    EXPECT_EQ(pressed("Button64"), "");
    EXPECT_EQ(h.frontend.shown, QStringList{QStringLiteral("question: 确认清空P表吗? -> no")});
    EXPECT_EQ(sim().pList.size(), 4);
    h.frontend.answers = {true};
    EXPECT_EQ(pressed("Button64"), "/\ri1,1,22\r");
    h.idle(300);
    EXPECT_TRUE(sim().pList.isEmpty());
    EXPECT_EQ(sim().gList.size(), 3);
}

TEST_F(ServiceKeys, ClearingTheGListNeverAsks) {
    h.frontend.answers = {false};
    EXPECT_EQ(pressed("Button65"), "/\ri4,1,22\r");
    EXPECT_TRUE(h.frontend.shown.isEmpty());
    h.idle(300);
    EXPECT_TRUE(sim().gList.isEmpty());
    EXPECT_EQ(sim().pList.size(), 4);
}

TEST_F(ServiceKeys, ClearSmartGoesToLevelOneAndHasNoClosingCarriageReturn) {
    EXPECT_EQ(pressed("Button54"), kGuard + "/1\r" + "N1\r");
    h.idle(200);
    EXPECT_TRUE(sim().smartCleared);
    EXPECT_EQ(d.ReceiveMode, hdd::kUserCmd);
    EXPECT_TRUE(h.form().isEffectivelyEnabled("Button54"));
}

TEST_F(ServiceKeys, ClearSmartWithoutTheLevelOnePromptSendsNoN1) {
    h.drive->faults.stuckLevel = "T";
    EXPECT_EQ(pressed("Button54"), kGuard + "/1\r");
    EXPECT_EQ(h.lastLine(), hdd::kLevel1Failed);
    EXPECT_FALSE(sim().smartCleared);
    EXPECT_TRUE(h.form().isEffectivelyEnabled("Button54"));
}

TEST_F(ServiceKeys, ClearSmartAwayFromTStopsAtTheGuard) {
    h.drive->faults.stuckLevel = "2";
    d.ReceiveMode.clear();
    EXPECT_EQ(pressed("Button54"), kGuard);
    EXPECT_EQ(h.lastLine(), hdd::kNotAtT);
    EXPECT_EQ(d.ReceiveMode, hdd::kUserCmd);
}

TEST_F(ServiceKeys, HealthResetAndItsGuard) {
    EXPECT_EQ(pressed("Button68"), kGuard + "H,,22\r" + "\r");
    EXPECT_TRUE(sim().healthReset);
    EXPECT_EQ(d.ReceiveMode, hdd::kUserCmd);

    h.drive->faults.stuckLevel = "1";
    d.ReceiveMode = hdd::kRData;
    EXPECT_EQ(pressed("Button68"), kGuard);  // nothing more after a failed guard
    EXPECT_EQ(h.lastLine(), hdd::kNotAtT);
    EXPECT_EQ(d.ReceiveMode, hdd::kRData);
}

TEST_F(ServiceKeys, SelfRunsChooseTheirRunAndRestartTheDrive) {
    const QList<std::tuple<QString, QByteArray, QByteArray>> runs = {
        {"Button88", "N2,,22\r", "N2"},
        {"Button60", "N2,AA,22\r", "N2,AA"},
        {"Button80", "N4,,22\r", "N4"},
        {"Button73", "N3,,22\r", "N3"},
    };
    for (const auto& [key, command, run] : runs) {
        h.drive->level = "T";
        EXPECT_EQ(pressed(key), kGuard + "H,,22\r" + command + "\x14") << qPrintable(key);
        EXPECT_EQ(d.ReceiveMode, hdd::kUserCmd);
        h.idle(1000);
        EXPECT_EQ(sim().lastRun, run) << qPrintable(key);
        EXPECT_TRUE(h.consoleText().contains("Run " + run + " started")) << qPrintable(key);
    }
}

TEST_F(ServiceKeys, SelfRunAwayFromTSendsOnlyTheGuard) {
    h.drive->level = "F";
    EXPECT_EQ(pressed("Button88"), kGuard);
    EXPECT_EQ(h.lastLine(), hdd::kNotAtT);
    EXPECT_TRUE(sim().pendingRun.isEmpty());
}

TEST_F(ServiceKeys, StopSelfCalibrationNeedsNoGuard) {
    h.drive->level = "F";
    EXPECT_EQ(pressed("Button61"), "\x1aN50,,22\r");
    EXPECT_EQ(d.ReceiveMode, hdd::kUserCmd);
}

TEST_F(ServiceKeys, StopSelfCalibrationCancelsAChosenRun) {
    d.ReceiveMode.clear();
    d.SendString("N2,,22\r");
    h.idle(200);
    ASSERT_EQ(sim().pendingRun, "N2");
    h.press("Button61");
    h.idle(200);
    EXPECT_TRUE(sim().pendingRun.isEmpty());
}

TEST_F(ServiceKeys, CalibrationFlowShowsOnlyTheFlow) {
    EXPECT_EQ(pressed("Button59"), kGuard + "/c\r" + "D\r" + "/\r" + "\r");
    h.idle(300);
    EXPECT_TRUE(h.consoleText().contains("Calibration flow"));
    EXPECT_FALSE(h.consoleText().contains("/c"));  // the level change is not shown
    EXPECT_EQ(h.drive->level, "T");

    h.drive->faults.stuckLevel = "1";
    EXPECT_EQ(pressed("Button59"), kGuard + "\r");
    EXPECT_EQ(h.lastLine(), hdd::kNotAtT);
}

TEST_F(ServiceKeys, ForcedReadWriteAndItsGuard) {
    EXPECT_EQ(pressed("Button72"), kGuard + "/1\r" + "F\r" + "/\r" + "\r");
    EXPECT_TRUE(sim().forcedReadWrite);
    EXPECT_EQ(h.drive->level, "T");

    h.drive->faults.silent = true;
    EXPECT_EQ(pressed("Button72").right(3), "/\r\r");
    EXPECT_EQ(h.lastLine(), hdd::kNotAtT);
}

TEST_F(ServiceKeys, R1R2ChecksNoLevelAndKeepsTheReceiveMode) {
    h.drive->level = "2";
    d.ReceiveMode = hdd::kSysCmd;
    d.CaptureBuffer.clear();
    EXPECT_EQ(pressed("Button74"), "/\rR1\rR2\r");
    EXPECT_EQ(d.ReceiveMode, hdd::kSysCmd);
    EXPECT_TRUE(d.CaptureBuffer.contains("R1 done"));
}

TEST_F(ServiceKeys, MotorStopAtTGoesThroughLevelTwo) {
    const QByteArray spinDown = QByteArray("\x1a") + "Z\r";
    EXPECT_EQ(pressed("Button71"),
              kForce + kGuard + "/2\r" + "\r" + spinDown + "\r" + spinDown + "\r" + spinDown + "/\r" + "\r");
    EXPECT_FALSE(sim().spinning);
    EXPECT_EQ(h.drive->level, "T");
    EXPECT_EQ(d.ReceiveMode, hdd::kUserCmd);
}

TEST_F(ServiceKeys, MotorStopAwayFromTSendsTheThreeGroups) {
    h.drive->level = "F";
    const QByteArray group = QByteArray("\x1a") + "\r" + "Z\r";
    EXPECT_EQ(pressed("Button71"), kForce + kGuard + group + group + group + "/\r" + "\r");
    EXPECT_FALSE(sim().spinning);
}

TEST_F(ServiceKeys, MotorStartWaitsForTheSpindle) {
    sim().spinning = false;
    const qint64 start = nowMs();
    EXPECT_EQ(pressed("Button75"), kForce + kGuard + "/2\r" + "U\r" + "\r");
    EXPECT_GE(nowMs() - start, 2000);
    EXPECT_TRUE(sim().spinning);

    h.drive->level = "F";
    sim().spinning = false;
    EXPECT_EQ(pressed("Button75"), kForce + kGuard + "U\r" + "\r");
    EXPECT_TRUE(sim().spinning);
}

TEST_F(ServiceKeys, SteppingStopsAtThePattern) {
    h.drive->settings["ctrld.010"] = 4;
    bool busySeen = false;
    h.clock.addPoller([&] { busySeen = busySeen || !h.form().isEffectivelyEnabled("Button89"); });
    EXPECT_EQ(pressed("Button89"), QByteArray(4, '\x04') + "\r");
    EXPECT_TRUE(busySeen);
    EXPECT_TRUE(h.form().isEffectivelyEnabled("Button89"));
    EXPECT_TRUE(d.CaptureBuffer.isEmpty());
    EXPECT_EQ(d.ReceiveMode, hdd::kUserCmd);
    h.drive->settings["ctrld.000"] = 7;
    EXPECT_EQ(pressed("Button90"), QByteArray(3, '\x04') + "\r");
}

TEST_F(ServiceKeys, SteppingStopsAfterOneCtrlDWhenTheDriveDoesNotAnswer) {
    h.drive->settings["ctrld.silent"] = 1;
    EXPECT_EQ(pressed("Button89"), "\x04\r");
}

TEST_F(ServiceKeys, SteppingGivesUpAfterTwentyWhenThePatternNeverComes) {
    h.drive->settings["ctrld.010"] = 0;
    EXPECT_EQ(pressed("Button89"), QByteArray(20, '\x04') + "\r");
    h.drive->settings["ctrld.000"] = 0;
    EXPECT_EQ(pressed("Button90"), QByteArray(20, '\x04') + "\r");
}

TEST_F(ServiceKeys, GarbledAnswersNeverMatchThePattern) {
    hdd::Speed57600(d);  // the drive stays at 9600: both ways garbled
    h.clearWire();
    EXPECT_EQ(pressed("Button89"), QByteArray(20, '\x04') + "\r");
}

// What the keys tell the window: refused by the drive at the guard or at a word write, failed when
// level 1 or F is not reached, refused (input) for a question answered No or an empty field.
TEST_F(ServiceKeys, KeysTellTheirOutcome) {
    using S = hdd::Outcome::Status;
    using B = hdd::Outcome::By;
    const struct {
        const char* key;
        const char* stuck;  // the level the drive is held at ("" for none)
        const char* serial;
        bool noArrow;
        S status;
        B by;
        QString reason;
    } cases[] = {
        {"Button54", "2", "", false, S::Refused, B::Drive, hdd::kNotAtT},
        {"Button54", "T", "", false, S::Failed, B::None, hdd::kLevel1Failed},
        {"Button54", "", "", false, S::Done, B::None, ""},
        {"Button68", "1", "", false, S::Refused, B::Drive, hdd::kNotAtT},
        {"Button88", "1", "", false, S::Refused, B::Drive, hdd::kNotAtT},
        {"Button24", "T", "", false, S::Failed, B::None, QStringLiteral("转换至F级...........失败！")},
        {"Button64", "", "", false, S::Refused, B::Input, QStringLiteral("确认清空P表吗?")},
        {"Button55", "", " ", false, S::Refused, B::Input, QStringLiteral("请先输入SN！")},
        {"Button55", "1", "sn1", false, S::Refused, B::Drive, hdd::kNotAtT},
        {"Button55", "", "sn1", false, S::Done, B::None, ""},
        {"Button85", "", "", true, S::Refused, B::Drive, hdd::kCannotWriteDrive},
        {"Button85", "", "", false, S::Done, B::None, ""},
    };
    for (const auto& c : cases) {
        h.drive->level = "T";
        h.drive->faults.stuckLevel = c.stuck;
        h.drive->settings["id.noArrow"] = c.noArrow;
        h.form().userSetText("Edit17", c.serial);
        h.press(c.key);
        const hdd::Outcome& o = h.model->lastOutcome();
        EXPECT_EQ(o.status, c.status) << c.key << c.stuck;
        EXPECT_EQ(o.by, c.by) << c.key << c.stuck;
        EXPECT_EQ(o.reason, c.reason) << c.key << c.stuck;
        h.idle(1000);
    }
}

}  // namespace
