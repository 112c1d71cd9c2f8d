// The terminal's own sends against the simulated drive: the bytes on the wire and the outcome.
#include <gtest/gtest.h>

#include "harness.h"
#include "terminal.h"

using hddtest::Harness;
using Status = hdd::Outcome::Status;

namespace {

const QByteArray kForce = "\x1a/\r";

struct Row {
    const char* what;
    std::function<hdd::Outcome(Harness&)> act;
    QByteArray wire;
    Status status;
    QString reason;
};

hdd::Outcome sent(bool taken) { return taken ? hdd::Outcome::done() : hdd::Outcome::failed(); }

TEST(Terminal, WireBytesAndOutcomes) {
    // No prompt for "/": the F-level form, after a prompt forced in vain; none at the new speed either.
    const QByteArray silent = kForce.repeated(30);
    const QByteArray silentSpeed = silent + "/\r" + silent + "b0576\r" + silent + "\r";
    const Row rows[] = {
        {"Enter",
         [](Harness& h) {
             hdd::sendCommandLine(h.dlg(), QStringLiteral(" 读 /2 "));
             return sent(true);
         },
         "\xb6\xc1 /2\r",
         Status::Done,
         {}},
        {"Ctrl-Z",
         [](Harness& h) { return sent(hdd::sendControlKey(h.dlg(), QChar(0x1A))); },
         "\x1a",
         Status::Done,
         {}},
        {"a printable key waits",
         [](Harness& h) { return sent(hdd::sendControlKey(h.dlg(), QChar('a'))); },
         "",
         Status::Failed,
         {}},
        {"backspace edits",
         [](Harness& h) { return sent(hdd::sendControlKey(h.dlg(), QChar(0x08))); },
         "",
         Status::Failed,
         {}},
        {"DEC 300",
         [](Harness& h) { return hdd::sendByte(h.dlg(), "300", false); },
         "\x2c",
         Status::Done,
         {}},
        {"HEX FF", [](Harness& h) { return hdd::sendByte(h.dlg(), "FF", true); }, "\xff", Status::Done, {}},
        {"no number", [](Harness& h) { return hdd::sendByte(h.dlg(), "", true); }, "", Status::Refused,
         QStringLiteral("请输入有效的数字！")},
        {"speed, silent drive",
         [](Harness& h) {
             h.drive->faults.silent = true;
             return hdd::changeLinkSpeed(h.dlg(), "57600");
         },
         silentSpeed, Status::Failed, QStringLiteral("失败！")},
    };
    for (const Row& r : rows) {
        Harness h;
        h.open();
        const hdd::Outcome o = r.act(h);
        EXPECT_EQ(h.wire(), r.wire) << r.what;
        EXPECT_EQ(o.status, r.status) << r.what;
        EXPECT_EQ(o.reason, r.reason) << r.what;
        EXPECT_EQ(h.dlg().ReceiveMode, hdd::kUserCmd) << r.what;
    }
}

TEST(Terminal, ASpeedChangeTheDriveDoesNotAnswerEndsInTheFailedLineAndLeavesThePanelsOn) {
    Harness h;
    h.open();
    h.drive->faults.silent = true;
    ASSERT_TRUE(h.form().userSelectText("ComboBox2", "57600"));
    EXPECT_EQ(h.lastLine(), QStringLiteral("正在调整速率，请稍候........失败！"));
    EXPECT_EQ(h.model->lastOutcome().status, Status::Failed);
    EXPECT_TRUE(h.form().isEffectivelyEnabled("CMD"));
    EXPECT_TRUE(h.form().isEffectivelyEnabled("btnSwitch"));
}

}  // namespace
