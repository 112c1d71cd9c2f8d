// The module read and write keys end to end: from the key through the file dialog, the level
// guard, the ensure operations and the speed change to the sectors on the simulated drive.
#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

#include "buffer_memory.h"
#include "cli_runner.h"
#include "firmware_model.h"
#include "harness.h"
#include "keys.h"
#include "system_area.h"

using hddtest::Harness;

namespace {

const QByteArray kIsT = "\x1a/\r/\r";
const QString kTrc = QStringLiteral("TRC文件|*.trc|BIN文件|*.bin|所有文件|*.*");
const QString kBin = QStringLiteral("BIN文件|*.bin|TRC文件|*.trc|所有文件|*.*");

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray pattern(int sectors, int seed) {
    QByteArray b(sectors * 512, '\0');
    for (int i = 0; i < b.size(); ++i) b[i] = static_cast<char>((i * 13 + seed * 101 + (i >> 9)) & 0xFF);
    return b;
}

class ModuleKeys : public ::testing::Test {
protected:
    Harness h;
    QTemporaryDir dir;
    hdd::FormModel& f = h.form();

    void SetUp() override {
        h.drive->settings["fw.spt"] = 0x20;  // short tracks keep the dumps short
        h.open();
        f.userKey("CMD", QChar(0x12));  // load CERT, as the technician does with ^R
        h.idle(300);
        h.clearWire();
    }
    hddsim::SystemArea& sa() { return h.drive->state<hddsim::SystemArea>(); }
    QByteArray sectors(quint32 cyl, quint32 head, quint32 first, quint32 count) {
        return sa().read(cyl, head, first, count);
    }
    QString file(const QString& name) { return dir.filePath(name); }
    bool hasLine(const QString& line) const { return h.consoleText().split('\n').contains(line); }
    // Every address field as the drive would give it, typed in by hand.
    void fillAll() {
        const hddsim::BufferMemory& m = h.drive->state<hddsim::BufferMemory>();
        f.setText("Edit1", QString::number(m.readBlock, 16).toUpper());
        f.setText("Edit15", QString::number(m.readSectors, 16).toUpper());
        f.setText("Edit2", QString::number(m.writeBlock, 16).toUpper());
        f.setText("Edit16", QString::number(m.writeSectors, 16).toUpper());
        f.setText("Edit3", "2A0");
        f.setText("Edit4", "31F");
        f.setText("Edit5", "20");
        f.setText("Edit6", "2B6,2B7");
        f.setText("Edit7", "308");
        f.setText("Edit8", "304");
        f.setText("Edit9", "30C");
    }
    void expectIdle() {
        EXPECT_TRUE(f.isEffectivelyEnabled("Button51"));
        EXPECT_EQ(h.dlg().ReceiveMode, hdd::kUserCmd);
        EXPECT_EQ(f.text("ComboBox2"), "9600");
        EXPECT_FALSE(h.dlg().AbortRequested);
    }
    void expectRequest(const QString& title, const QString& name, bool bin = false) {
        ASSERT_FALSE(h.frontend.requests.isEmpty());
        const hdd::FileRequest& r = h.frontend.requests.last();
        EXPECT_EQ(r.title, title);
        EXPECT_EQ(r.fileName, name);
        EXPECT_EQ(r.filter, bin ? kBin : kTrc);
        EXPECT_EQ(r.defaultExt, bin ? "*.bin" : "*.trc");
    }
};

// A typed module address that is no number is refused by name before anything goes to the drive.
TEST_F(ModuleKeys, ATypedAddressThatIsNoNumberSendsNothing) {
    h.form().setText("Edit6", "2B6,zz");
    h.frontend.files << file("APP.trc");
    h.clearWire();
    h.press("Button51");
    EXPECT_TRUE(h.wire().isEmpty()) << h.wire().toStdString();
    ASSERT_FALSE(h.frontend.shown.isEmpty());
    EXPECT_TRUE(h.frontend.shown.last().startsWith("warning: ")) << qPrintable(h.frontend.shown.last());
    EXPECT_TRUE(h.frontend.shown.last().endsWith("APP: 2B6,zz")) << qPrintable(h.frontend.shown.last());
    EXPECT_EQ(h.model->lastOutcome().by, hdd::Outcome::By::Check);
}

TEST_F(ModuleKeys, AppReadFromAnEmptyWindow) {
    h.frontend.files << file("APP.trc");
    h.press("Button51");
    expectRequest("保存文件（APP）", "APP.trc");
    // Buffers, reserve area and modules were asked for, in that order, before the speed went up.
    const QByteArray w = h.wire();
    const qsizetype buffers = w.indexOf("?\r"), reserve = w.indexOf("x\r"), modules = w.indexOf("y\r"),
                    fast = w.indexOf("B0921\r"), select = w.indexOf("s2B6,0,22\r"),
                    slow = w.lastIndexOf("B0096\r");
    EXPECT_TRUE(buffers > 0 && buffers < reserve && reserve < modules && modules < fast && fast < select &&
                select < slow)
        << buffers << " " << reserve << " " << modules << " " << fast << " " << select << " " << slow;
    EXPECT_TRUE(w.contains("r,0,20\r"));
    EXPECT_FALSE(w.contains("s2B7"));  // the first copy only
    EXPECT_TRUE(w.endsWith("\r"));
    const QByteArray image = readAll(file("APP.trc"));
    EXPECT_EQ(image.size(), 0x20 * 512);
    EXPECT_EQ(image, sectors(0x2B6, 0, 0, 0x20));
    EXPECT_TRUE(image.startsWith("APP sector 0"));
    EXPECT_EQ(f.text("Edit6"), "2B6,2B7");
    EXPECT_EQ(f.text("Edit5"), "20");
    EXPECT_TRUE(hasLine("正在读取数据.........完成！"));
    expectIdle();
}

TEST_F(ModuleKeys, AppWriteGoesToEveryCopyAndAsksNothingWhenTheAddressesAreKnown) {
    fillAll();
    const QByteArray image = pattern(0x20, 1);
    writeAll(file("APP.trc"), image);
    const QByteArray other = sectors(0x2B8, 0, 0, 0x20);
    h.frontend.files << file("APP.trc");
    h.press("Button52");
    expectRequest("打开文件（APP）", "APP.trc");
    const QByteArray w = h.wire();
    for (const char* asked : {"?\r", "x\r", "y\r"}) EXPECT_FALSE(w.contains(asked)) << asked;
    const qsizetype first = w.indexOf("s2B6,0,22\rw,0,20\r"), second = w.indexOf("s2B7,0,22\rw,0,20\r");
    EXPECT_TRUE(first > 0 && second > first);
    EXPECT_EQ(sectors(0x2B6, 0, 0, 0x20), image);
    EXPECT_EQ(sectors(0x2B7, 0, 0, 0x20), image);
    EXPECT_EQ(sectors(0x2B8, 0, 0, 0x20), other);
    EXPECT_TRUE(hasLine("正在写入数据......完成！"));
    expectIdle();
}

struct Row {
    const char* key;
    const char* title;
    const char* name;
    quint32 cylinder;
    const char* module;
};

TEST_F(ModuleKeys, EachReadKeyReadsItsModuleTrack) {
    fillAll();
    const Row rows[] = {
        {"Button15", "保存文件（ATA）", "ATA.trc", 0x308, "ATA"},
        {"Button1", "保存文件（Cert0）", "Cert_0.trc", 0x304, "CERT0"},
        {"Button3", "保存文件（Vendor）", "Vendor.trc", 0x30C, "VEN"},
    };
    for (const Row& r : rows) {
        h.frontend.files << file(r.name);
        h.press(r.key);
        expectRequest(r.title, r.name);
        const QByteArray image = readAll(file(r.name));
        EXPECT_EQ(image, sectors(r.cylinder, 0, 0, 0x20)) << r.key;
        EXPECT_TRUE(image.startsWith(QByteArray(r.module) + " sector 0")) << r.key;
    }
    expectIdle();
}

TEST_F(ModuleKeys, EachWriteKeyWritesItsModuleTrack) {
    fillAll();
    const Row rows[] = {
        {"Button20", "打开文件（ATA）", "ATA.trc", 0x308, ""},
        {"Button21", "打开文件（Cert0）", "Cert_0.trc", 0x304, ""},
        {"Button22", "打开文件（Vendor）", "Vendor.trc", 0x30C, ""},
    };
    int seed = 10;
    for (const Row& r : rows) {
        const QByteArray image = pattern(0x20, ++seed);
        writeAll(file(r.name), image);
        h.frontend.files << file(r.name);
        h.press(r.key);
        expectRequest(r.title, r.name);
        EXPECT_EQ(sectors(r.cylinder, 0, 0, 0x20), image) << r.key;
    }
    expectIdle();
}

TEST_F(ModuleKeys, Cert1AndTableKeysAfterTheAnalysis) {
    EXPECT_FALSE(f.isEffectivelyEnabled("Button92"));
    h.press("Button91");
    ASSERT_EQ(f.text("Edit23"), "1");
    ASSERT_TRUE(f.isEffectivelyEnabled("Button92"));
    h.frontend.files << file("Cert_1.trc");
    h.press("Button92");
    expectRequest("保存文件（Cert1）", "Cert_1.trc");
    EXPECT_TRUE(h.wire().contains("s304,1,22\r"));
    EXPECT_EQ(readAll(file("Cert_1.trc")), sectors(0x304, 1, 0, 0x20));
    EXPECT_TRUE(readAll(file("Cert_1.trc")).startsWith("CERT1 sector 0"));

    const QByteArray cert1 = pattern(0x20, 7);
    writeAll(file("c1.trc"), cert1);
    h.frontend.files << file("c1.trc");
    h.press("Button93");
    expectRequest("打开文件（Cert1）", "Cert_1.trc");
    EXPECT_EQ(sectors(0x304, 1, 0, 0x20), cert1);

    h.frontend.files << file("TABLE.trc");
    h.press("Button26");
    expectRequest("保存文件（Table）", "TABLE.trc");
    EXPECT_EQ(readAll(file("TABLE.trc")), sectors(0x306, 0, 0, 0x20));
    const QByteArray table = pattern(0x20, 8);
    writeAll(file("t.trc"), table);
    h.frontend.files << file("t.trc");
    h.press("Button27");
    expectRequest("打开文件（Table）", "TABLE.trc");
    EXPECT_EQ(sectors(0x306, 0, 0, 0x20), table);
    expectIdle();
}

TEST_F(ModuleKeys, IdentitySectorIsSectorFourOfTheVendorTrack) {
    fillAll();
    h.frontend.files << file("ID.BIN");
    h.press("Button82");
    expectRequest("保存文件（ID）", "ID.BIN", true);
    EXPECT_TRUE(h.wire().contains("s30C,0,22\rr,4,1\r"));
    const QByteArray id = readAll(file("ID.BIN"));
    EXPECT_EQ(id, sectors(0x30C, 0, 4, 1));
    EXPECT_EQ(id.mid(54, 8), "J58VKXL2");  // the serial number, as an ATA string

    const QByteArray before3 = sectors(0x30C, 0, 3, 1), before5 = sectors(0x30C, 0, 5, 1);
    const QByteArray fresh = pattern(1, 3);
    writeAll(file("new.bin"), fresh);
    h.frontend.files << file("new.bin");
    h.press("Button83");
    expectRequest("选择写入文件（HDD ID扇区）", "ID.BIN", true);
    EXPECT_EQ(sectors(0x30C, 0, 4, 1), fresh);
    EXPECT_EQ(sectors(0x30C, 0, 3, 1), before3);
    EXPECT_EQ(sectors(0x30C, 0, 5, 1), before5);
    expectIdle();
}

TEST_F(ModuleKeys, ReserveAreaReadAndWriteAskOnlyForBuffersAndReserve) {
    h.drive->settings["fw.reserveTracks"] = 2;
    h.drive->settings["fw.spt"] = 4;
    h.idle(50);
    h.frontend.files << file("Reserve.trc");
    h.press("Button57");
    expectRequest("保存文件（保留区）", "Reserve.trc");
    EXPECT_EQ(f.text("Edit3") + "-" + f.text("Edit4") + "/" + f.text("Edit5"), "2A0-2A1/4");
    EXPECT_FALSE(h.wire().contains("y\r"));
    EXPECT_EQ(readAll(file("Reserve.trc")), sectors(0x2A0, 0, 0, 4) + sectors(0x2A1, 0, 0, 4));

    const QByteArray image = pattern(8, 5);
    writeAll(file("r.trc"), image);
    h.frontend.files << file("r.trc");
    h.clearWire();
    h.press("Button58");
    expectRequest("打开文件（保留区）", "Reserve.trc");
    EXPECT_EQ(sectors(0x2A0, 0, 0, 4) + sectors(0x2A1, 0, 0, 4), image);
    for (const char* asked : {"?\r", "x\r", "y\r"}) EXPECT_FALSE(h.wire().contains(asked)) << asked;
    expectIdle();
}

TEST_F(ModuleKeys, ReadingAtFLevelOnlyReports) {
    fillAll();
    h.drive->level = "F";
    h.frontend.files << file("APP.trc");
    const int lines = h.model->console().lineCount();
    h.press("Button51");
    EXPECT_EQ(h.wire(), kIsT + "\r");  // no speed change, no transfer
    EXPECT_EQ(h.model->console().lineCount(), lines + 1);
    EXPECT_TRUE(hasLine("错误: 请先切换至T级！"));
    EXPECT_FALSE(QFile::exists(file("APP.trc")));
    expectIdle();
}

TEST_F(ModuleKeys, CertReadKeysGiveNoClosingReturnWithoutATransfer) {
    fillAll();
    h.drive->level = "F";
    h.frontend.files << file("Cert_0.trc");
    h.press("Button1");
    EXPECT_EQ(h.wire(), kIsT);
    EXPECT_TRUE(hasLine("错误: 请先切换至T级！"));
    expectIdle();
}

TEST_F(ModuleKeys, WritingAtLevelOneLeavesTheDriveAlone) {
    fillAll();
    const QByteArray before = sectors(0x2B6, 0, 0, 0x20);
    writeAll(file("APP.trc"), pattern(0x20, 2));
    h.drive->faults.stuckLevel = "1";
    h.frontend.files << file("APP.trc");
    h.press("Button52");
    EXPECT_EQ(h.wire(), kIsT + "\r");
    EXPECT_TRUE(hasLine("错误: 请先切换至T级！"));
    EXPECT_EQ(sectors(0x2B6, 0, 0, 0x20), before);
}

TEST_F(ModuleKeys, ACancelledDialogSendsNothing) {
    h.press("Button51");
    h.press("Button52");
    h.press("Button57");
    EXPECT_TRUE(h.wire().isEmpty());
    EXPECT_EQ(h.frontend.requests.size(), 3);
    expectIdle();
}

TEST_F(ModuleKeys, AFailedAddressCheckStopsBeforeTheSpeedChange) {
    h.drive->state<hddsim::FirmwareState>().certLoaded = false;
    h.frontend.files << file("ATA.trc");
    h.press("Button15");
    EXPECT_TRUE(hasLine("请先加载Cert模块！(按^R加载Cert)"));
    EXPECT_FALSE(h.wire().contains("B0921"));
    EXPECT_FALSE(QFile::exists(file("ATA.trc")));
    expectIdle();
}

TEST_F(ModuleKeys, EnsureOperationsPressOnlyTheKeysOfEmptyGroups) {
    fillAll();
    EXPECT_TRUE(hdd::GetFirwAddress(*h.model));
    EXPECT_TRUE(h.wire().isEmpty());

    f.setText("Edit5", " ");
    EXPECT_TRUE(hdd::GetSysAddress(*h.model));
    EXPECT_EQ(h.wire(), kIsT + "/2\rx\r/\r\r");
    EXPECT_EQ(f.text("Edit5"), "20");
    EXPECT_EQ(f.text("Edit6"), "2B6,2B7");

    h.clearWire();
    f.setText("Edit7", "");
    f.setText("Edit3", "2A1");  // typed by the user: kept
    EXPECT_TRUE(hdd::GetFirwAddress(*h.model));
    EXPECT_EQ(h.wire(), kIsT + "/\rr\ry\r/\r\r");
    EXPECT_EQ(f.text("Edit3"), "2A1");
    EXPECT_EQ(f.text("Edit7"), "308");
}

TEST_F(ModuleKeys, EnsureOperationsStopAtTheFirstGroupThatStaysEmpty) {
    h.drive->faults.silent = true;
    EXPECT_FALSE(hdd::GetFirwAddress(*h.model));
    EXPECT_FALSE(h.wire().contains("/2\r"));
    EXPECT_FALSE(h.wire().contains("y\r"));
    EXPECT_EQ(f.text("Edit3"), "");
}

TEST(ModuleKeysCli, AnalysisThenAppReadFromTheCommandLine) {
    QTemporaryDir dir;
    const QString target = dir.filePath("APP.trc");
    hdd::VirtualClock clock;
    QString out, err;
    QTextStream o(&out), e(&err);
    const int status =
        hdd::runCli({"--port", "sim", "--file", target, "run", "KEYS:12", "WAIT:300", "Button91", "Button51",
                     "GET:Edit6", "GET:Edit22", "GET:Button92.enabled"},
                    o, e, clock, [](hdd::MainModel& m) {
                        m.port().setSystemPortLister([] { return QStringList(); });
                        hddtest::simDrive(m).settings["fw.spt"] = 0x10;
                    });
    o.flush();
    e.flush();
    EXPECT_EQ(status, 0) << qPrintable(err);
    EXPECT_EQ(out, "Edit6=2B6\nEdit22=304\nButton92.enabled=1\n");
    EXPECT_TRUE(err.contains("正在份析，请稍候........完成！")) << qPrintable(err);
    EXPECT_TRUE(err.contains("正在读取数据.........完成！")) << qPrintable(err);
    const QByteArray image = readAll(target);
    EXPECT_EQ(image.size(), 0x10 * 512);
    EXPECT_TRUE(image.startsWith("APP sector 0"));
}

}  // namespace
