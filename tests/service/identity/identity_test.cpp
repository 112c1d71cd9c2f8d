// Drive identity against the simulated drive: every word write of the identity dialog, the serial
// number and 48-bit addressing keys, their refusals, a drive that takes no word writes, and a run
// through hddterm-cli.
#include <gtest/gtest.h>

#include "cli_runner.h"
#include "harness.h"
#include "identity.h"
#include "identity_state.h"

using hddtest::Harness;

namespace {

const QByteArray kGuard = "\x1a/\r/\r";    // the T-level guard on a drive that answers at once
const QByteArray kOpening = "/\rF\r\r\r";  // "F" answered "->", left with two carriage returns
const QByteArray kFixed = "F\rASCI52346B\rF\rASCI544003\r";

class Identity : public ::testing::Test {
protected:
    void SetUp() override {
        h.open();
        h.idle(100);
        h.clearWire();
    }
    hdd::FormModel& form5() { return *h.model->formByName("Form5"); }
    hddsim::IdentityState& sim() { return hddsim::identity(*h.drive); }
    bool hasLine(const QString& line) const { return h.consoleText().split('\n').contains(line); }

    // Shows the dialog, fills it as pasted text, sets the boxes and presses "写入信息".
    QByteArray write(const QString& model, const QString& capacity,
                     const QList<std::pair<const char*, bool>>& boxes = {}) {
        h.press("Button84");
        form5().userSetText("Edit1", model);
        form5().userSetText("Edit2", capacity);
        for (const auto& [box, on] : boxes) form5().userSetChecked(box, on);
        h.clearWire();
        h.frontend.shown.clear();
        form5().userClick("Button7");
        return h.wire();
    }
    void expectIdle() {
        EXPECT_TRUE(form5().formEnabled());
        EXPECT_FALSE(h.model->operationRunning());
        EXPECT_EQ(h.dlg().ReceiveMode, hdd::kUserCmd);
    }

    Harness h;
};

TEST_F(Identity, CapacityAloneWritesTheFixedWordsThenTheFourPairs) {
    const QByteArray wire = write("ST380016A", "80", {{"CheckBox1", false}});
    EXPECT_EQ(wire, kGuard + kOpening + kFixed +
                        "F\rASCI3C2800\rF\rASCI3D0950\rF\rASCI642800\rF\rASCI650950\r"
                        "F\rASCI812800\rF\rASCI820950\rF\rASCI832800\rF\rASCI840950\r\r");
    for (int pair : {0x3C, 0x64, 0x81, 0x83}) EXPECT_EQ(sim().sectors(pair), 156248064u) << pair;
    EXPECT_EQ(sim().words[0x52], 0x346B);
    EXPECT_EQ(sim().words[0x54], 0x4003);
    EXPECT_EQ(sim().model(), "HDDSIM80A" + QByteArray(31, ' '));  // the model was not asked for
    EXPECT_TRUE(hasLine("正在写入信息，请稍候……"));
    EXPECT_EQ(h.lastLine(), "写入完成！");
    expectIdle();
}

TEST_F(Identity, CapacityInGigabytesIsCutToWholeMebibytesAndSectorCountsGoUnchanged) {
    const struct {
        const char* text;
        quint32 sectors;
        quint16 high, low;
    } cases[] = {{"2048", 4000000000u, 0xEE6B, 0x2800},
                 {"4000000000", 4000000000u, 0xEE6B, 0x2800},
                 {"10", 19529728u, 0x012A, 0x0000},
                 {"19000000", 19000000u, 0x0121, 0xEAC0}};
    for (const auto& c : cases) {
        write("X", c.text, {{"CheckBox1", false}});
        for (int pair : {0x3C, 0x64, 0x81, 0x83}) EXPECT_EQ(sim().sectors(pair), c.sectors) << c.text;
        EXPECT_EQ(sim().words[0x3D], c.high) << c.text;
        EXPECT_EQ(sim().words[0x3C], c.low) << c.text;
    }
}

TEST_F(Identity, EveryBoxWritesInOrderAndTheModelFillsTwentyWords) {
    write(" st380016a ", "80",
          {{"CheckBox4", true}, {"CheckBox1", true}, {"CheckBox2", true}, {"CheckBox3", true}});
    EXPECT_EQ(form5().text("Edit1"), "ST380016A");  // trimmed and upper-cased in place
    EXPECT_EQ(sim().initialisations, 1);
    EXPECT_TRUE(h.wire().startsWith(kGuard + kOpening + "F\rASCIFE\rF\rASCI013FFF\r"));
    QList<QByteArray> expected = {"013FFF", "030010", "06003F", "52346B", "544003",
                                  "1B5354", "1C3338", "1D3030", "1E3136", "1F4120"};
    for (int w = 0x20; w <= 0x2E; ++w) expected << QByteArray::number(w, 16).toUpper() + "2020";
    expected << "3C2800"
             << "3D0950"
             << "642800"
             << "650950"
             << "812800"
             << "820950"
             << "832800"
             << "840950";
    EXPECT_EQ(sim().writes, expected);
    EXPECT_EQ(sim().model(), "ST380016A" + QByteArray(31, ' '));

    // A model of the full 14 characters is followed by 26 blanks and still ends at word 2E.
    sim().writes.clear();
    write("ABCDEFGHIJKLMN", "80", {{"CheckBox2", false}});
    EXPECT_EQ(sim().model(), "ABCDEFGHIJKLMN" + QByteArray(26, ' '));
    EXPECT_EQ(sim().writes.size(), 2 + 20);
    EXPECT_EQ(sim().writes.last(), "2E2020");
    expectIdle();
}

TEST_F(Identity, RefusedInputSendsNothing) {
    const struct {
        const char* model;
        const char* capacity;
        QList<std::pair<const char*, bool>> boxes;
        const char* message;
    } cases[] = {
        {"ST380016A", "80", {{"CheckBox1", false}, {"CheckBox2", false}}, "请选择需要写入的信息！"},
        {"  ", "80", {}, "请输入硬盘型号！"},
        {"ST380016A", " ", {}, "请输入硬盘容量！"},
        {"ST380016A", "9", {}, "硬盘容量不能大于2048G或小于10G！"},
        {"ST380016A", "2049", {}, "硬盘容量不能大于2048G或小于10G！"},
        {"ST380016A", "18999999", {}, "硬盘容量不能大于2048G或小于10G！"},
        {"ST380016A", "4000000001", {}, "硬盘容量不能大于2048G或小于10G！"},
        {"ST380016A", "8O", {}, "硬盘容量不能大于2048G或小于10G！"},  // pasted, not a number
        // A number out of range is refused even when the capacity is not to be written.
        {"ST380016A", "5", {{"CheckBox2", false}}, "硬盘容量不能大于2048G或小于10G！"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(write(c.model, c.capacity, c.boxes), "") << c.message;
        EXPECT_EQ(h.frontend.shown, QStringList{QStringLiteral("message: ") + QString::fromUtf8(c.message)});
        expectIdle();
    }
}

TEST_F(Identity, AnEmptyOrUnreadableCapacityThatIsNotToBeWrittenIsLeftAlone) {
    for (const char* capacity : {"", "8 0"}) {
        const QByteArray wire = write("ST380016A", capacity, {{"CheckBox2", false}});
        EXPECT_TRUE(h.frontend.shown.isEmpty()) << capacity;
        EXPECT_TRUE(wire.contains("F\rASCI1B5354\r")) << capacity;
        EXPECT_FALSE(wire.contains("ASCI3C")) << capacity;
    }
}

TEST_F(Identity, ADriveThatGivesNoArrowGetsNoWordAndTheDialogComesBack) {
    h.drive->settings["id.noArrow"] = 1;
    EXPECT_EQ(write("ST380016A", "80"), kGuard + "/\rF\r\r");
    EXPECT_TRUE(hasLine(QStringLiteral("无法写入！")));
    EXPECT_FALSE(hasLine("写入完成！"));
    EXPECT_TRUE(sim().writes.isEmpty());
    expectIdle();

    // Away from T level the guard stops it before anything else is sent.
    h.drive->faults.stuckLevel = "1";
    const QByteArray wire = write("ST380016A", "80");
    EXPECT_TRUE(wire.endsWith("/\r/\r")) << qPrintable(wire.toPercentEncoding());
    EXPECT_FALSE(wire.contains("F\r"));
    EXPECT_EQ(h.lastLine(), "错误: 请先切换至T级！");
    expectIdle();
}

TEST_F(Identity, ShowingTheDialogResetsTheBoxesAndKeepsTheFields) {
    h.press("Button84");
    for (const char* box : {"CheckBox4", "CheckBox1", "CheckBox2", "CheckBox3"}) form5().userClick(box);
    form5().userSetText("Edit1", "MODEL2");
    form5().userSetText("Edit2", "500");
    h.press("Button84");
    EXPECT_FALSE(form5().checked("CheckBox4"));
    EXPECT_TRUE(form5().checked("CheckBox1"));
    EXPECT_TRUE(form5().checked("CheckBox2"));
    EXPECT_FALSE(form5().checked("CheckBox3"));
    EXPECT_EQ(form5().text("Edit1"), "MODEL2");
    EXPECT_EQ(form5().text("Edit2"), "500");
    // The fields' keys: capitals in the model, digits in the capacity.
    EXPECT_EQ(form5().typedText("Edit1", "st3-a.b"), "ST3-A.B");
    EXPECT_FALSE(form5().typedText("Edit1", "ST380016A123456"));  // 14 characters at most
    EXPECT_FALSE(form5().typedText("Edit2", "80G"));
}

TEST_F(Identity, SerialNumberIsTypedTwiceAndKeptOnlyWhenAsked) {
    EXPECT_FALSE(h.form().typedText("Edit17", "5jv.8"));  // "." is refused
    h.form().userSetText("Edit17", " 9xk2abcd ");
    h.press("Button55");
    EXPECT_EQ(h.form().text("Edit17"), "9XK2ABCD");
    EXPECT_EQ(h.wire(), kGuard + "#\r9XK2ABCD\r9XK2ABCD\r/\r");
    EXPECT_EQ(sim().serialEntries, (QList<QByteArray>{"9XK2ABCD", "9XK2ABCD"}));
    EXPECT_EQ(sim().serial, "9XK2ABCD");
    EXPECT_EQ(sim().saves, 0);
    EXPECT_EQ(h.lastLine(), "正在写入SN......完成！");

    h.form().userClick("CheckBox3");
    h.clearWire();
    h.press("Button55");
    EXPECT_EQ(h.wire(), kGuard + "#\r9XK2ABCD\r9XK2ABCD\rW\r/\r");
    EXPECT_EQ(sim().savedSerial, "9XK2ABCD");
    EXPECT_EQ(sim().saves, 1);

    h.form().userSetText("Edit17", "  ");
    h.clearWire();
    h.press("Button55");
    EXPECT_EQ(h.wire(), "");
    EXPECT_EQ(h.frontend.shown.last(), "message: 请先输入SN！");
}

TEST_F(Identity, Lba48IsTurnedOnOnlyWhereTheDriveShowsItsArrow) {
    h.press("Button85");
    EXPECT_EQ(h.wire(), kGuard + "F\r/\rF\rASCI534401\r\r");
    EXPECT_EQ(sim().words[0x53], 0x4401);
    EXPECT_EQ(h.dlg().ReceiveMode, hdd::kUserCmd);

    hddsim::identity(*h.drive).words[0x53] = 0x4001;
    h.drive->settings["id.noArrow"] = 1;
    h.clearWire();
    h.press("Button85");
    EXPECT_EQ(h.wire(), kGuard + "F\r\r");
    EXPECT_EQ(sim().words[0x53], 0x4001);
    EXPECT_EQ(h.lastLine(), QStringLiteral("无法写入！"));
}

// "写入信息" ends done, refused as input, or refused by a drive off T level or taking no word writes.
TEST_F(Identity, TheWritesOutcome) {
    using S = hdd::Outcome::Status;
    using By = hdd::Outcome::By;
    const struct {
        const char* capacity;
        const char* level;
        int noArrow;
        S status;
        By by;
    } rows[] = {{"80", "T", 0, S::Done, By::None},
                {"", "T", 0, S::Refused, By::Input},
                {"80", "F", 0, S::Refused, By::Drive},
                {"80", "T", 1, S::Refused, By::Drive}};
    for (const auto& r : rows) {
        h.drive->level = r.level;
        h.drive->settings["id.noArrow"] = r.noArrow;
        write("ST380016A", r.capacity);
        EXPECT_EQ(h.model->lastOutcome().status, r.status) << r.capacity << r.level << r.noArrow;
        EXPECT_EQ(h.model->lastOutcome().by, r.by);
    }
}

TEST(IdentityCli, TheDialogAndTheMainWindowKeysThroughTheCli) {
    hdd::VirtualClock clock;
    QString out, err;
    QTextStream o(&out), e(&err);
    std::shared_ptr<hddsim::Drive> drive;
    const int status =
        hdd::runCli({"--port", "sim", "run", "Button84", "SET:Form5.Edit1=cli-model", "SET:Form5.Edit2=500",
                     "Form5.Button7", "SET:Edit17=sn-cli", "SET:CheckBox3=1", "Button55", "Button85",
                     "GET:Form5.Edit1", "GET:Edit17"},
                    o, e, clock, [&](hdd::MainModel& m) {
                        m.port().setSystemPortLister([] { return QStringList(); });
                        drive = hddtest::simDrive(m).shared_from_this();
                    });
    o.flush();
    e.flush();
    EXPECT_EQ(status, 0) << qPrintable(err);
    EXPECT_EQ(out, "Form5.Edit1=CLI-MODEL\nEdit17=SN-CLI\n");
    EXPECT_TRUE(err.contains("写入完成！")) << qPrintable(err);
    hddsim::IdentityState& s = hddsim::identity(*drive);
    EXPECT_EQ(s.model(), "CLI-MODEL" + QByteArray(31, ' '));
    EXPECT_EQ(s.sectors(0x3C), 976562176u);  // 500 GB in whole MiB
    EXPECT_EQ(s.savedSerial, "SN-CLI");
    EXPECT_EQ(s.words[0x53], 0x4401);

    // A drive that shows no arrow cannot be written: "无法写入！" fails the run.
    QString out2, err2;
    QTextStream o2(&out2), e2(&err2);
    EXPECT_EQ(hdd::runCli({"--port", "sim", "run", "Button85"}, o2, e2, clock,
                          [&](hdd::MainModel& m) {
                              m.port().setSystemPortLister([] { return QStringList(); });
                              hddtest::simDrive(m).settings["id.noArrow"] = 1;
                          }),
              1);
}

}  // namespace
