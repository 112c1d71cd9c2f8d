// Address discovery and the firmware analysis, key by key, against the simulated drive.
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

#include "address.h"
#include "family_table.h"
#include "firmware_id.h"
#include "firmware_model.h"
#include "harness.h"

using hddtest::Harness;

namespace {

const QByteArray kIsT = "\x1a/\r/\r";  // WaitPrompt's first attempt, then the level question

class FirmwareKeys : public ::testing::Test {
protected:
    Harness h;
    hdd::FormModel& f = h.form();

    void SetUp() override {
        h.open();
        h.clearWire();
    }
    void set(const char* key, int value) { h.drive->settings[key] = value; }
    bool hasLine(const QString& line) const { return h.consoleText().split('\n').contains(line); }
    QString text(const char* name) const { return h.model->form().text(name); }
    void fill(const QStringList& names, const QStringList& values) {
        for (int i = 0; i < names.size(); ++i) f.setText(names[i], values[i]);
    }
    void loadCert() {
        f.userKey("CMD", QChar(0x12));
        h.idle(300);
        h.clearWire();
    }
    bool enabled(const char* name) const { return h.model->form().find(name)->enabled; }
    void expectIdle() {
        EXPECT_TRUE(f.isEffectivelyEnabled("Button14"));
        EXPECT_TRUE(f.at("Panel3").enabled);
        EXPECT_EQ(h.dlg().ReceiveMode, hdd::kUserCmd);
    }
};

TEST_F(FirmwareKeys, ReserveAreaFromTheReserveLine) {
    h.press("Button14");
    EXPECT_EQ(h.wire(), kIsT + "/2\rx\r/\r\r");
    EXPECT_EQ(text("Edit3"), "2A0");
    EXPECT_EQ(text("Edit4"), "31F");
    EXPECT_EQ(text("Edit5"), "300");
    EXPECT_TRUE(hasLine("正在获取保留区地址......完成！"));
    EXPECT_EQ(h.drive->level, "T");
    expectIdle();
}

TEST_F(FirmwareKeys, ReserveAreaFromTheSysLine) {
    set("fw.xStyle", 1);
    set("fw.reserve", 0x100);
    set("fw.reserveTracks", 0x10);
    set("fw.spt", 0x138);
    h.press("Button14");
    EXPECT_EQ(text("Edit3"), "100");
    EXPECT_EQ(text("Edit4"), "10F");
    EXPECT_EQ(text("Edit5"), "138");
    EXPECT_TRUE(hasLine("正在获取保留区地址......完成！"));
}

TEST_F(FirmwareKeys, ReserveKeyAwayFromTLevelChangesNothing) {
    h.drive->faults.stuckLevel = "1";
    fill({"Edit3", "Edit4", "Edit5"}, {"1", "2", "3"});
    h.press("Button14");
    EXPECT_TRUE(hasLine("错误: 请先切换至T级！"));
    EXPECT_FALSE(h.wire().contains("/2\r"));
    EXPECT_TRUE(h.wire().endsWith("/\r\r"));
    EXPECT_EQ(text("Edit3") + text("Edit4") + text("Edit5"), "123");
    expectIdle();
}

TEST_F(FirmwareKeys, ReserveKeyWithoutLevelTwoKeepsTheFields) {
    h.drive->faults.stuckLevel = "T";
    fill({"Edit3", "Edit4", "Edit5"}, {"1", "2", "3"});
    h.press("Button14");
    EXPECT_TRUE(hasLine("正在获取保留区地址......失败！"));
    EXPECT_FALSE(h.wire().contains("x\r"));
    EXPECT_EQ(text("Edit3") + text("Edit4") + text("Edit5"), "123");
    expectIdle();
}

TEST_F(FirmwareKeys, ReserveStartFromThePercentAnswer) {
    h.dlg().ReceiveMode = "R_DATA";
    const int lines = h.model->console().lineCount();
    EXPECT_EQ(hdd::GetSysB(h.dlg()), "2A0");
    EXPECT_EQ(h.wire(), "%\r");
    EXPECT_EQ(h.dlg().ReceiveMode, "R_DATA");
    EXPECT_EQ(h.model->console().lineCount(), lines);
}

TEST_F(FirmwareKeys, ReserveStartFromLevelTwoWhenThePercentAnswerHasNone) {
    set("fw.noPercent", 1);
    set("fw.reserve", 0x3A0);
    EXPECT_EQ(hdd::GetSysB(h.dlg()), "3A0");
    EXPECT_EQ(h.wire(), "%\r" + kIsT + "/2\rx\r");
    EXPECT_EQ(h.drive->level, "2");  // left where the answer came from
    EXPECT_EQ(h.dlg().ReceiveMode, hdd::kUserCmd);
}

TEST_F(FirmwareKeys, ReserveStartNotFoundAwayFromTLevel) {
    set("fw.noPercent", 1);
    h.drive->faults.stuckLevel = "1";
    EXPECT_EQ(hdd::GetSysB(h.dlg()), "");
    EXPECT_FALSE(h.wire().contains("/2\r"));
}

TEST_F(FirmwareKeys, CertIsLoadedOnlyAfterCtrlR) {
    EXPECT_FALSE(hdd::IsCertLoaded(h.dlg()));
    EXPECT_EQ(h.wire(), "/\rr\r");
    EXPECT_EQ(h.dlg().ReceiveMode, hdd::kSysCmd);
    EXPECT_TRUE(h.dlg().CaptureBuffer.isEmpty());
    loadCert();
    EXPECT_TRUE(hdd::IsCertLoaded(h.dlg()));
}

TEST_F(FirmwareKeys, ModuleKeyAsksForCertFirst) {
    fill({"Edit6", "Edit7", "Edit8", "Edit9"}, {"1", "2", "3", "4"});
    h.press("Button17");
    EXPECT_EQ(h.wire(), kIsT + "/\rr\r/\r\r");
    EXPECT_TRUE(hasLine("请先加载Cert模块！(按^R加载Cert)"));
    EXPECT_EQ(text("Edit6") + text("Edit7") + text("Edit8") + text("Edit9"), "1234");
    expectIdle();
}

TEST_F(FirmwareKeys, ModuleKeyLongLinesWithTwoAppCopies) {
    loadCert();
    // The analysis' fields are emptied and its keys disabled again.
    fill({"Edit13", "Edit22", "Edit23"}, {"9", "9", "1"});
    for (const char* n : {"Edit13", "Edit22", "Button92", "Button27"}) f.setEnabled(n, true);
    h.press("Button17");
    EXPECT_EQ(h.wire(), kIsT + "/\rr\ry\r/\r\r");
    EXPECT_EQ(text("Edit6"), "2B6,2B7");
    EXPECT_EQ(text("Edit8"), "304");
    EXPECT_EQ(text("Edit7"), "308");
    EXPECT_EQ(text("Edit9"), "30C");
    EXPECT_EQ(text("Edit13") + text("Edit22") + text("Edit23"), "");
    for (const char* n : {"Edit13", "Edit22", "Edit23", "Button92", "Button93", "Button26", "Button27"})
        EXPECT_FALSE(enabled(n)) << n;
    EXPECT_TRUE(hasLine("正在获取模块地址........完成！"));
    expectIdle();
}

TEST_F(FirmwareKeys, ModuleKeyShortLines) {
    set("fw.yStyle", 1);
    set("fw.appCopies", 3);
    set("fw.family", 2);  // ALPINE
    loadCert();
    h.press("Button17");
    EXPECT_EQ(text("Edit6"), "2B5,2B6,2B7");
    EXPECT_EQ(text("Edit8"), "2C9");
    EXPECT_EQ(text("Edit7"), "2CA");
    EXPECT_EQ(text("Edit9"), "2CC");
    EXPECT_TRUE(hasLine("正在获取模块地址........完成！"));
}

TEST_F(FirmwareKeys, ModuleKeyWithoutIntfLinesFails) {
    set("fw.yNoIntf", 1);
    set("fw.appCopies", 1);
    loadCert();
    fill({"Edit7", "Edit9"}, {"1", "2"});
    h.press("Button17");
    EXPECT_EQ(text("Edit6"), "2B6");
    EXPECT_EQ(text("Edit8"), "304");
    EXPECT_EQ(text("Edit7") + text("Edit9"), "");
    EXPECT_TRUE(hasLine("正在获取模块地址........失败！"));
}

TEST_F(FirmwareKeys, ModuleKeyAwayFromTLevel) {
    h.drive->faults.stuckLevel = "2";
    h.press("Button17");
    EXPECT_TRUE(hasLine("错误: 请先切换至T级！"));
    EXPECT_EQ(h.wire(), kIsT + "\r");  // the guard's own questions, then the closing CR
}

TEST_F(FirmwareKeys, IdentificationIsReadFromCtrlAAndCtrlL) {
    set("fw.family", 1);
    const hdd::FirmwareId id = hdd::ReadFirmwareId(h.dlg());
    EXPECT_EQ(h.wire(), "\x01\x0c\r");
    EXPECT_EQ(id.family, "NHPLUS2HD");
    EXPECT_EQ(id.maskRom, "S-1N");
    EXPECT_EQ(id.version, "3.AAC");
    EXPECT_EQ(h.dlg().ReceiveMode, hdd::kSysCmd);
    EXPECT_TRUE(h.dlg().CaptureBuffer.isEmpty());
    set("fw.family", 3);
    const hdd::FirmwareId tonka40 = hdd::ReadFirmwareId(h.dlg());
    EXPECT_EQ(tonka40.family, "TONKA40");
    EXPECT_EQ(tonka40.maskRom, "T4-2");  // on the "_Disk" line
    EXPECT_EQ(tonka40.version, "4.AGC");
}

TEST_F(FirmwareKeys, AnalysisOfTonkaFromAnEmptyWindow) {
    h.press("Button91");
    // The reserve area first, then the identification.
    EXPECT_EQ(h.wire(), kIsT + "/2\rx\r/\r\r" + kIsT + "\x01\x0c\r\r");
    EXPECT_EQ(text("Edit3"), "2A0");
    EXPECT_EQ(text("Edit6"), "2B6");
    EXPECT_EQ(text("Edit8"), "304");
    EXPECT_EQ(text("Edit22"), "304");
    EXPECT_EQ(text("Edit23"), "1");
    EXPECT_EQ(text("Edit13"), "306");
    EXPECT_EQ(text("Edit7"), "308");
    EXPECT_EQ(text("Edit9"), "30C");
    for (const char* n : {"Edit13", "Edit22", "Edit23", "Button92", "Button93", "Button26", "Button27"})
        EXPECT_TRUE(enabled(n)) << n;
    EXPECT_TRUE(hasLine("正在份析，请稍候........完成！"));
    expectIdle();
}

TEST_F(FirmwareKeys, AnalysisWithTheReserveAreaKnownAsksOnlyForTheIdentification) {
    set("fw.family", 1);  // NHPLUS2HD S-1N 3.AAC: the revision form, NHPLUS2HD_S-1N
    fill({"Edit3", "Edit4", "Edit5"}, {"1000", "107F", "380"});
    h.press("Button91");
    EXPECT_EQ(h.wire(), kIsT + "\x01\x0c\r\r");
    EXPECT_EQ(text("Edit6") + " " + text("Edit8") + " " + text("Edit22") + "/" + text("Edit23") + " " +
                  text("Edit13") + " " + text("Edit7") + " " + text("Edit9"),
              "1016 1064 1064/1 1066 1068 106C");
    EXPECT_TRUE(hasLine("正在份析，请稍候........完成！"));
}

TEST_F(FirmwareKeys, AnalysisOfEachSimulatedFamily) {
    struct Case {
        int family;
        const char* fields;  // APP CERT0 CERT1/head TABLE ATA Ven
        bool cert1Keys;
    };
    const Case cases[] = {
        {2, "2B5 2C9 / 2C9 2CA 2CC", false},      // ALPINE 3.ABC: the .XXX form, no CERT1
        {3, "2B6 304 306/0 306 308 30C", false},  // TONKA40: CERT0 in two parts on head 0
        {4, "2B6 310 310/1 312 314 318", true},   // GALAXY: the bare family
    };
    for (const Case& c : cases) {
        set("fw.family", c.family);
        h.press("Button91");
        EXPECT_EQ(text("Edit6") + " " + text("Edit8") + " " + text("Edit22") + "/" + text("Edit23") + " " +
                      text("Edit13") + " " + text("Edit7") + " " + text("Edit9"),
                  c.fields)
            << c.family;
        for (const char* n : {"Edit22", "Edit23", "Button92", "Button93"})
            EXPECT_EQ(enabled(n), c.cert1Keys) << n;
        for (const char* n : {"Edit13", "Button26", "Button27"}) EXPECT_TRUE(enabled(n)) << n;
        EXPECT_EQ(h.lastLine(), "正在份析，请稍候........完成！");
    }
}

TEST_F(FirmwareKeys, AnalysisOfAFamilyNotInTheTable) {
    set("fw.family", 5);
    fill({"Edit6", "Edit13"}, {"5", "6"});
    h.press("Button91");
    for (const char* n : {"Edit6", "Edit7", "Edit8", "Edit9", "Edit13", "Edit22", "Edit23"})
        EXPECT_EQ(text(n), "") << n;
    EXPECT_TRUE(hasLine("正在份析，请稍候........失败，请尝试手动获取！"));
    expectIdle();
}

TEST_F(FirmwareKeys, AnalysisAwayFromTLevelChangesNoField) {
    fill({"Edit3", "Edit4", "Edit5", "Edit6"}, {"2A0", "31F", "300", "77"});
    h.drive->faults.stuckLevel = "1";
    h.press("Button91");
    EXPECT_TRUE(hasLine("错误: 请先切换至T级！"));
    EXPECT_EQ(text("Edit6"), "77");
    EXPECT_FALSE(h.wire().contains('\x01'));
    expectIdle();
}

TEST_F(FirmwareKeys, AnalysisStopsWhenTheReserveAreaStaysUnknown) {
    h.drive->faults.stuckLevel = "T";
    h.press("Button91");
    EXPECT_TRUE(hasLine("正在获取保留区地址......失败！"));
    EXPECT_FALSE(h.wire().contains('\x01'));
    EXPECT_FALSE(h.consoleText().contains("正在份析"));
    expectIdle();
}

TEST_F(FirmwareKeys, AnalysisWithAReserveStartThatIsNoAddressEndsInOrder) {
    fill({"Edit3", "Edit4", "Edit5"}, {"80000000", "31F", "300"});
    h.press("Button91");
    EXPECT_EQ(text("Edit6"), "");
    EXPECT_TRUE(hasLine("正在份析，请稍候........失败，请尝试手动获取！"));
    expectIdle();
}

// A window whose family table is the given file.
class CustomTable : public FirmwareKeys {
protected:
    void startWith(const QByteArray& table) {
        QFile file(QDir(h.programDir.path()).filePath("HDDINFO.TXT"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(table);
        file.close();
        hdd::MainOptions o;
        o.portLister = [] { return QStringList{}; };
        o.registerPorts = hddtest::simPort(h.drive);
        o.pinCpu = false;
        o.programPath = h.programPath;
        h.model = std::make_unique<hdd::MainModel>(h.clock, h.frontend, o);
        h.model->startUp();
        h.model->choosePort("sim");
        h.open();
        h.clearWire();
    }
    hdd::FormModel& form() { return h.form(); }
};

TEST_F(CustomTable, FullNameWinsOverTheOtherForms) {
    set("fw.family", 4);  // GALAXY G-2A 5.ABC
    startWith(
        "[GALAXY]\r\nAPP=1 0 1\r\nCERT0=2 0 1\r\nTABLE=3 0 1\r\nATA=4 0 1\r\nVEN=5 0 1\r\n"
        "[GALAXY_5.ABC]\r\nAPP=11 0 1\r\nCERT0=12 0 1\r\nTABLE=13 0 1\r\nATA=14 0 1\r\nVEN=15 0 1\r\n"
        "[GALAXY_G-2A_5.ABC]\r\nAPP=21 0 1\r\nCERT0=22 0 1\r\nTABLE=23 0 1\r\nATA=24 0 1\r\nVEN=25 0 1\r\n");
    form().setText("Edit3", "100");
    form().setText("Edit4", "17F");
    form().setText("Edit5", "300");
    h.press("Button91");
    EXPECT_EQ(form().text("Edit6"), "121");
    EXPECT_EQ(form().text("Edit9"), "125");
    EXPECT_EQ(form().text("Edit22"), "");
    EXPECT_FALSE(form().at("Button92").enabled);
}

TEST_F(CustomTable, AnEntryWithoutTableFails) {
    startWith("[TONKA]\r\nAPP=16 0 1A0\r\nCERT0=64 0 2C9\r\nATA=68 0 7A\r\nVEN=6C 0 12\r\n");
    h.press("Button91");
    EXPECT_EQ(form().text("Edit6"), "2B6");
    EXPECT_EQ(form().text("Edit13"), "");
    EXPECT_FALSE(form().at("Button26").enabled);
    EXPECT_TRUE(h.consoleText().contains("正在份析，请稍候........失败，请尝试手动获取！"));
}

TEST_F(CustomTable, AnEntryWithANumberThatIsNotHexadecimalFillsNothing) {
    startWith(
        "[TONKA]\r\nAPP=16 0 1A0\r\nCERT0=64 0 2C9\r\nTABLE=66 DF 15\r\nATA=6G 0 7A\r\nVEN=6C 0 12\r\n");
    h.press("Button91");
    for (const char* n : {"Edit6", "Edit7", "Edit8", "Edit9", "Edit13"}) EXPECT_EQ(form().text(n), "") << n;
    EXPECT_TRUE(h.consoleText().contains("正在份析，请稍候........失败，请尝试手动获取！"));
    EXPECT_EQ(h.dlg().ReceiveMode, hdd::kUserCmd);
}

TEST_F(CustomTable, AnEmptyTableFindsNothing) {
    startWith("");
    h.press("Button91");
    EXPECT_TRUE(h.consoleText().contains("正在份析，请稍候........失败，请尝试手动获取！"));
}

TEST_F(FirmwareKeys, ClearAddressesEmptiesEveryAddressField) {
    const QStringList all = {"Edit1", "Edit2", "Edit3",  "Edit4",  "Edit5",  "Edit6",  "Edit7",
                             "Edit8", "Edit9", "Edit13", "Edit15", "Edit16", "Edit22", "Edit23"};
    for (const QString& n : all) f.setText(n, "1");
    for (const char* n : {"Edit13", "Edit22", "Edit23", "Button92", "Button93", "Button26", "Button27"})
        f.setEnabled(n, true);
    f.setText("Edit10", "3A");
    h.press("Button4");
    for (const QString& n : all) EXPECT_EQ(f.text(n), "") << n.toStdString();
    EXPECT_EQ(f.text("Edit10"), "3A");
    for (const char* n : {"Edit13", "Edit22", "Edit23", "Button92", "Button93", "Button26", "Button27"})
        EXPECT_FALSE(enabled(n)) << n;
    EXPECT_TRUE(h.wire().isEmpty());
}

TEST_F(FirmwareKeys, SaveAppAndCertAtTLevel) {
    h.press("Button96");
    EXPECT_EQ(h.wire(), kIsT + "/\rw4\rw1\r");
    EXPECT_EQ(h.drive->state<hddsim::FirmwareState>().saved, (QList<QByteArray>{"APP", "CERT"}));
    expectIdle();
}

TEST_F(FirmwareKeys, SaveAppAndCertAtFLevelOnlyReports) {
    h.drive->level = "F";
    const int lines = h.model->console().lineCount();
    h.press("Button96");
    EXPECT_FALSE(h.wire().contains("w4"));
    EXPECT_TRUE(h.drive->state<hddsim::FirmwareState>().saved.isEmpty());
    EXPECT_EQ(h.model->console().lineCount(), lines + 1);
    EXPECT_EQ(h.lastLine(), "错误: 请先切换至T级！");
}

TEST_F(FirmwareKeys, AddressFieldsTakeHexadecimalKeysOnly) {
    for (QChar c : QString("1aG,z")) f.userKey("Edit8", c);
    EXPECT_EQ(f.text("Edit8"), "1a");
    for (QChar c : QString("1a,2B")) f.userKey("Edit6", c);
    EXPECT_EQ(f.text("Edit6"), "1a,2B");
}

}  // namespace
