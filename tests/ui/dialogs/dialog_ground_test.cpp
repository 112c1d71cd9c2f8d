// The ground the dialogs stand on: the seven forms, the keys that show them, the speed lists that
// follow the main window, and hddterm-cli's access to dialog controls; with the mends of the CLI's
// --set, of refused track writes and of the simulated drive's name.
#include <gtest/gtest.h>

#include "cli_run.h"
#include "cli_runner.h"
#include "dialog_form.h"
#include "harness.h"
#include "monitor.h"
#include "track.h"

using hddtest::Harness;

namespace {

CliRun runCli(const QStringList& args, const std::function<void(hdd::MainModel&)>& extra = {}) {
    return runCliInProcess(args, [&](hdd::MainModel& m, hdd::Clock&) {
        if (extra) extra(m);
    });
}

TEST(DialogGround, SevenDialogsWithTheKeysThatShowThemAtTheirOffsets) {
    Harness h;
    for (const hdd::DialogKey& k : hdd::dialogKeys()) {
        auto* form = dynamic_cast<hdd::DialogForm*>(h.model->formByName(k.form));
        ASSERT_NE(form, nullptr) << k.form;
        const hdd::Control& key = h.form().at(k.key);
        EXPECT_EQ(key.caption, QString::fromUtf8(k.caption));
        EXPECT_EQ(key.visible, form->built) << k.key;  // no dead keys
        EXPECT_EQ(key.panel.isEmpty(), k.onWindow) << k.key;
        h.frontend.shownForms.clear();
        // The keys on the window itself work while the port is closed; the others once it is open.
        if (!k.onWindow) h.model->isOpen() || (h.open(), true);
        h.press(k.key);
        const QString expected = QStringLiteral("%1@%2,%3").arg(k.form).arg(k.dx).arg(k.dy);
        EXPECT_EQ(h.frontend.shownForms, form->built ? QStringList{expected} : QStringList{}) << k.key;
    }
}

TEST(DialogGround, SpeedListsFollowThePortAndAnOperationDisablesTheDialog) {
    Harness h;
    hdd::DialogForm dialog(*h.model, "FormT", "test");
    dialog.add("ComboBox2", hdd::ControlKind::Combo);
    dialog.followSpeedList("ComboBox2");
    EXPECT_EQ(dialog.at("ComboBox2").items.size(), 8);
    EXPECT_EQ(dialog.text("ComboBox2"), "921600");

    h.model->choosePort("/dev/hddterm-no-such-port");  // a port that cannot be opened
    EXPECT_EQ(dialog.at("ComboBox2").items, hdd::baseSpeedTexts());
    EXPECT_EQ(dialog.text("ComboBox2"), "115200");

    bool inside = false;
    dialog.addKey("Button1", "go", [&] {
        inside = true;
        EXPECT_FALSE(dialog.formEnabled());
        EXPECT_TRUE(h.model->operationRunning());
    });
    dialog.userClick("Button1");
    EXPECT_TRUE(inside);
    EXPECT_TRUE(dialog.formEnabled());
}

TEST(DialogGround, CliReachesDialogControlsAndRefusesWhatTheWindowWouldNot) {
    // A dialog control read through its form's name.
    CliRun r = runCli({"--set", "Edit1=c0", "--set", "Edit6=2a,2B", "run", "GET:Edit1", "GET:Edit6",
                       "GET:Form3.ComboBox2.items"},
                      [](hdd::MainModel& m) {
                          auto* f = m.formByName("Form3");
                          if (!f->find("ComboBox2")) {  // until the ROM dialog is built
                              f->add("ComboBox2", hdd::ControlKind::Combo);
                              static_cast<hdd::DialogForm*>(f)->followSpeedList("ComboBox2");
                          }
                      });
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    // --set fills fields of panels that are off before the port opens, through the key filters.
    EXPECT_EQ(r.out,
              "Edit1=c0\nEdit6=2a,2B\n"
              "Form3.ComboBox2.items=9600,38400,57600,115200,230400,460800,625200,921600\n");

    struct Refused {
        QStringList args;
        const char* why;
    };
    const Refused refused[] = {
        {{"--set", "Edit1=C0G", "run"}, "does not take"},     // the hexadecimal filter
        {{"--set", "Edit21=1234", "run"}, "does not take"},   // three digits at most
        {{"--set", "Edit18=/tmp/x", "run"}, "read-only"},     // a file field: its picker only
        {{"run", "SET:Edit22=1"}, "disabled"},                // CERT1 waits for the analysis
        {{"run", "Button92"}, "disabled"},                    // and so does its key
        {{"run", "SET:Form5.Nothing=1"}, "no such control"},  // unknown names fail
    };
    for (const Refused& c : refused) {
        r = runCli(c.args);
        EXPECT_EQ(r.status, 2) << qPrintable(c.args.join(' '));
        EXPECT_TRUE(r.err.contains(c.why)) << qPrintable(r.err);
    }
}

TEST(DialogGround, RefusedTrackWritesReportFailure) {
    QTemporaryDir dir;
    const QString odd = dir.filePath("odd.bin");
    QFile f(odd);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(700, 'x'));
    f.close();
    const CliRun r = runCli(
        {"--file", odd, "run", "SET:Edit10=10", "SET:Edit14=0", "SET:Edit11=0", "SET:Edit12=2", "Button19"});
    EXPECT_EQ(r.status, 1) << qPrintable(r.err);
    EXPECT_TRUE(r.err.contains(hdd::kWritingData + "失败！")) << qPrintable(r.err);
    EXPECT_FALSE(r.err.contains("/2\r"));

    // The console's words are not judged: a typed line that reads like a failure is no failure.
    EXPECT_EQ(runCli({"run", "CMD:备份失败!", "WAIT:300"}).status, 0);
}

TEST(DialogGround, TheSimulatedDriveSaysSoInTheStatusLineAndCaption) {
    Harness h;
    const QString closedCaption = h.model->caption();
    h.open();
    EXPECT_EQ(h.form().text("edStatus"), " STATUS: 模拟硬盘 (sim) Opened 9600 None 8 1");
    EXPECT_TRUE(h.model->caption().endsWith("模拟硬盘 (sim)")) << qPrintable(h.model->caption());
    h.open();  // closes
    EXPECT_EQ(h.model->caption(), closedCaption);
    EXPECT_EQ(h.form().text("edStatus"), " STATUS: COM Port Closed");
}

}  // namespace
