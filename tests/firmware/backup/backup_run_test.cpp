// The backup run against the simulated drive: the wire, the files byte for byte, the console, and
// the mends (a failed module leaves no file of its name, SHA256SUMS lists what this run wrote).
#include <gtest/gtest.h>
#include <QCryptographicHash>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>

#include "backup_support.h"
#include "buffer_memory.h"
#include "firmware_model.h"
#include "transfer.h"

using namespace hddtest;

namespace {

struct BackupRun : ::testing::Test, BackupFixture {};

// A small family at the simulated TONKA's places, so that a whole run stays short.
hdd::FamilyEntry smallEntry() {
    hdd::FamilyEntry e;
    e.name = "TONKA";
    e.app = "16 0 90 60";  // one whole chunk of 80 and a part of 10
    e.cert0 = "64 0 20";
    e.cert1 = "64 0 10";
    e.table = "66 DF 6";
    e.ata = "68 0 60";
    e.ven = "6C 0 8";
    return e;
}

QString sha(const QByteArray& b) {
    return QString::fromLatin1(QCryptographicHash::hash(b, QCryptographicHash::Sha256).toHex());
}

TEST_F(BackupRun, EveryModuleOfTheBuiltInTonkaByteForByte) {
    const hdd::BackupResult r = run(builtInEntry("TONKA"));
    EXPECT_TRUE(r.completed);
    EXPECT_EQ(runLines(), (QStringList{"正在获取缓冲区地址......完成！", "正在获取保留区地址......完成！",
                                       "正在备份APP.............完成！", "正在备份Cert............完成！",
                                       "正在备份Cert Table......完成！", "正在备份ATA.............完成！",
                                       "正在备份Vendor..........完成！", "备份完成!"}));
    EXPECT_EQ(bytes("APP.BIN"), sectors(0x2B6, 0, 0, 0x1A0));
    // The head-0 part, then head 1.
    EXPECT_EQ(bytes("CERT.BIN"), sectors(0x304, 0, 0, 0x2C9) + sectors(0x304, 1, 0, 0xDF));
    // The table with its first sector last.
    EXPECT_EQ(bytes("Table.BIN"), sectors(0x306, 0, 0xE0, 0x14) + sectors(0x306, 0, 0xDF, 1));
    const QByteArray ata = sectors(0x308, 0, 0, 0x7A);
    EXPECT_EQ(bytes("ATA.BIN"), ata);
    EXPECT_EQ(bytes("ATA0.BIN"), ata.left(0x30 * 512));             // up to the FF ending sector 2F
    EXPECT_EQ(bytes("ATA1.BIN"), ata.mid(0x38 * 512, 0x19 * 512));  // sectors 38 .. 50
    EXPECT_EQ(bytes("Vendor.BIN"), sectors(0x30C, 0, 0, 0x12));
    EXPECT_EQ(bytes("ID.BIN"), sectors(0x30C, 0, 4, 1));
    EXPECT_EQ(bytes("SN.TXT"), "5JV8XK2L\r\n5JV8XK2L\r\n");
    const QStringList written = {"APP.BIN",  "CERT.BIN",   "Table.BIN", "ATA.BIN", "ATA0.BIN",
                                 "ATA1.BIN", "Vendor.BIN", "ID.BIN",    "SN.TXT"};
    EXPECT_EQ(r.written, written);
    QString sums;
    for (const QString& n : written) sums += sha(bytes(n)) + "  " + n + "\n";
    EXPECT_EQ(bytes("SHA256SUMS"), sums.toLatin1());
    EXPECT_EQ(folderFiles(folder).size(), written.size() + 1);  // no parts left behind
    EXPECT_EQ(h.form().text("ComboBox2"), "9600");
    EXPECT_EQ(h.dlg().ReceiveMode, hdd::kUserCmd);
}

TEST_F(BackupRun, OnlyVendorAtNinetySixHundredOnTheWire) {
    hdd::BackupModules only;
    only.app = only.cert = only.table = only.ata = false;
    const hdd::BackupResult r = run(builtInEntry("TONKA"), only, "9600");
    EXPECT_TRUE(r.completed);
    const QByteArray isT = "\x1a/\r/\r", toSlow = isT + "\x1a/\rB0096\r\x1a/\r";
    QByteArray dumps;
    for (int b = 0x800; b < 0x812; ++b)
        dumps += "B" + QByteArray::number(b, 16).toUpper() + "," + QByteArray::number(b, 16).toUpper() + "\r";
    EXPECT_EQ(h.wire(), isT + "/\r?\r" + "%\r" + "\x1a/\r" + toSlow + "/2\rs30C,0,22\rr,0,12\r" + dumps +
                            "/\r" + "%" + toSlow + "\r");
    // The console shows no line for the modules left out.
    EXPECT_EQ(runLines(), (QStringList{"正在获取缓冲区地址......完成！", "正在获取保留区地址......完成！",
                                       "正在备份Vendor..........完成！", "备份完成!"}));
    EXPECT_EQ(folderFiles(folder), (QStringList{"ID.BIN", "SHA256SUMS", "SN.TXT", "Vendor.BIN"}));
    // At 9600 baud the "%" answer is slow, but SN.TXT still gets the whole serial number.
    EXPECT_EQ(bytes("SN.TXT"), "5JV8XK2L\r\n5JV8XK2L\r\n");
    EXPECT_EQ(r.readBuffer, "800");
    EXPECT_EQ(r.readSectors, "80");
    EXPECT_EQ(r.reserveStart, "2A0");

    // The checksums verify with the system's own tool.
    const QString tool = QStandardPaths::findExecutable("sha256sum");
    if (tool.isEmpty()) GTEST_SKIP() << "no sha256sum";
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(tool, {"-c", "--strict", "SHA256SUMS"});
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardOutput().toStdString();
}

// Every file name a backup may leave, each holding "old" as an earlier run of another drive left it.
const QStringList kAllNames = {"APP.BIN",  "CERT.BIN", "Table.BIN",  "ATA.BIN",
                               "ATA0.BIN", "ATA1.BIN", "Vendor.BIN", "ID.BIN"};

TEST_F(BackupRun, AFailedModuleLeavesNoFileOfItsNameAndStopsTheRun) {
    struct Row {
        int module;  // fw.failModule
        int read;    // fw.failRead
        const char* line;
        QStringList gone;     // files of the failed module
        QStringList written;  // before SN.TXT
    };
    const Row rows[] = {
        // The last, partial chunk fails: the track read keeps the whole chunk, the backup does not.
        {1, 2, "正在备份APP.............", {"APP.BIN"}, {}},
        {2, 1, "正在备份Cert............", {"CERT.BIN"}, {"APP.BIN"}},
        {3, 1, "正在备份Cert............", {"CERT.BIN"}, {"APP.BIN"}},
        {4, 1, "正在备份Cert Table......", {"Table.BIN"}, {"APP.BIN", "CERT.BIN"}},
        {5,
         1,
         "正在备份ATA.............",
         {"ATA.BIN", "ATA0.BIN", "ATA1.BIN"},
         {"APP.BIN", "CERT.BIN", "Table.BIN"}},
        {6,
         1,
         "正在备份Vendor..........",
         {"Vendor.BIN", "ID.BIN"},
         {"APP.BIN", "CERT.BIN", "Table.BIN", "ATA.BIN", "ATA0.BIN", "ATA1.BIN"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.module);
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        for (const QString& n : kAllNames) putFile(file(n), "old");
        h.drive->state<hddsim::FirmwareState>().failingReads = 0;
        h.drive->settings["fw.failModule"] = row.module;
        h.drive->settings["fw.failRead"] = row.read;
        const hdd::BackupResult r = run(smallEntry());
        EXPECT_FALSE(r.completed);
        const QStringList shown = runLines();
        ASSERT_GE(shown.size(), 2);
        EXPECT_EQ(shown[shown.size() - 3], QString::fromUtf8(row.line) + "失败！");  // later modules skipped
        EXPECT_EQ(shown[shown.size() - 2], "备份失败!");
        EXPECT_EQ(shown.last(), keptLine());
        for (const QString& n : row.gone) EXPECT_FALSE(QFile::exists(stagedFile(n))) << qPrintable(n);
        // The target folder is as it was; the staging folder holds what this run read.
        for (const QString& n : kAllNames) EXPECT_EQ(bytes(n), "old") << qPrintable(n);
        EXPECT_EQ(folderFiles(folder).size(), kAllNames.size());
        EXPECT_EQ(r.written, row.written + QStringList{"SN.TXT"});
        EXPECT_EQ(folderFiles(partial()).size(), r.written.size() + 1);
        const QList<QByteArray> sums = fileBytes(stagedFile("SHA256SUMS")).split('\n');
        EXPECT_EQ(sums.size(), r.written.size() + 1);
        EXPECT_EQ(h.form().text("ComboBox2"), "9600");
    }
    // Without this run's Vendor.BIN the serial number comes from the drive's answer only.
    EXPECT_EQ(fileBytes(stagedFile("SN.TXT")), "5JV8XK2L\r\n");
}

TEST_F(BackupRun, EmptyAndIncompleteValuesAreReportedAndTheRunGoesOn) {
    struct Row {
        const char* what;
        std::function<void(hdd::FamilyEntry&)> change;
        QStringList lines;  // between the query lines and the last line
    };
    const QString app = "正在备份APP.............", cert = "正在备份Cert............",
                  table = "正在备份Cert Table......", done = "完成！";
    const Row rows[] = {
        // An empty CERT0 is appended to whatever line is last: the APP result line.
        {"empty CERT0",
         [](hdd::FamilyEntry& e) { e.cert0.clear(); },
         {app + done + hdd::kValueWrong, table + done}},
        {"empty APP",
         [](hdd::FamilyEntry& e) { e.app.clear(); },
         {hdd::kValueWrong, cert + done, table + done}},
        {"incomplete APP",
         [](hdd::FamilyEntry& e) { e.app = "16 0"; },
         {app, hdd::kValueIncomplete, cert + done, table + done}},
        {"incomplete TABLE",
         [](hdd::FamilyEntry& e) { e.table = "66 DF"; },
         {app + done, cert + done, table + hdd::kValueIncomplete}},
        {"APP without its buffer",
         [](hdd::FamilyEntry& e) { e.app = "16 0 4"; },
         {app + done, cert + done, table + done}},
    };
    hdd::BackupModules modules;
    modules.ata = modules.vendor = false;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        hdd::FamilyEntry e = smallEntry();
        e.app = "16 0 4 60";
        row.change(e);
        const hdd::BackupResult r = run(e, modules);
        EXPECT_TRUE(r.completed);
        const QStringList shown = runLines();
        EXPECT_EQ(shown.mid(2, shown.size() - 3), row.lines);
        EXPECT_EQ(shown.last(), "备份完成!");
    }
}

TEST_F(BackupRun, AValueThatIsNoNumberEndsTheRunWithTheDataErrorLine) {
    for (const QByteArray& table : {QByteArray("66 DF 1G"), QByteArray("6X DF 6")}) {
        QDir(folder).removeRecursively();
        hdd::FamilyEntry e = smallEntry();
        e.table = table;
        hdd::BackupModules modules;
        modules.app = false;
        const hdd::BackupResult r = run(e, modules);
        EXPECT_FALSE(r.completed);
        EXPECT_EQ(runLines().mid(2), (QStringList{"正在备份Cert............完成！",
                                                  "正在备份Cert Table......", hdd::kDataError, keptLine()}));
        // Nothing was read for the table; no SN.TXT, and the closing steps all the same.
        EXPECT_FALSE(h.wire().contains("s306,0,22"));
        EXPECT_FALSE(QFileInfo::exists(folder));
        EXPECT_EQ(folderFiles(partial()), QStringList{"CERT.BIN"});
        EXPECT_TRUE(h.wire().endsWith("B0096\r\x1a/\r\r"));
        EXPECT_EQ(h.dlg().ReceiveMode, hdd::kUserCmd);
    }
}

TEST_F(BackupRun, TwoCertTriplesOnHeadZeroAndTheTableRotated) {
    h.drive->settings["fw.family"] = 3;  // CERT0 continued on a second cylinder, no CERT1
    hdd::FamilyEntry e = smallEntry();
    e.cert0 = "64 0 20 66 0 10";
    e.table = "66 10B 18";
    hdd::BackupModules modules;
    modules.app = modules.ata = modules.vendor = false;
    EXPECT_TRUE(run(e, modules).completed);
    EXPECT_EQ(bytes("CERT.BIN"), sectors(0x304, 0, 0, 0x20) + sectors(0x306, 0, 0, 0x10));
    EXPECT_FALSE(h.wire().contains(",1,22\r"));  // the entry's CERT1 is not read
    // 18 sectors: 1 .. 17 of the read, then 0.
    EXPECT_EQ(bytes("Table.BIN"), sectors(0x306, 0, 0x10C, 0x17) + sectors(0x306, 0, 0x10B, 1));
    EXPECT_EQ(bytes("Table.BIN").size(), 0x18 * 512);
}

TEST_F(BackupRun, AnAtaImageWithoutItsStartMarkerLeavesOnlyAtaBin) {
    QDir().mkpath(folder);
    putFile(file("ATA0.BIN"), "old");
    putFile(file("ATA1.BIN"), "old");
    h.drive->settings["fw.ataStart"] = 0;
    hdd::BackupModules modules;
    modules.app = modules.cert = modules.table = modules.vendor = false;
    const hdd::BackupResult r = run(smallEntry(), modules);
    EXPECT_TRUE(r.completed);
    EXPECT_EQ(bytes("ATA.BIN"), sectors(0x308, 0, 0, 0x60));
    // The parts of an older overlay are gone too.
    EXPECT_EQ(folderFiles(folder), (QStringList{"ATA.BIN", "SHA256SUMS", "SN.TXT"}));
    EXPECT_EQ(runLines().mid(2, 1), QStringList{"正在备份ATA.............完成！"});
}

TEST_F(BackupRun, SerialNumbersFromAnEarlierVendorImageAndWithoutAx) {
    QDir().mkpath(folder);
    QByteArray vendor(8 * 512, '\0');
    vendor.replace(2102, 6, "BADCFE");
    putFile(file("Vendor.BIN"), vendor);
    h.drive->settings["fw.noAx"] = 1;
    hdd::BackupModules modules;
    modules.cert = modules.table = modules.ata = modules.vendor = false;
    const hdd::BackupResult r = run(smallEntry(), modules);
    EXPECT_EQ(bytes("SN.TXT"), "ABCDEF\r\n\r\n");
    EXPECT_EQ(r.written, (QStringList{"APP.BIN", "SN.TXT"}));  // the older Vendor.BIN is not listed
}

TEST_F(BackupRun, ChecksRefuseBeforeAnythingIsSent) {
    QTemporaryDir other;
    const QString aFile = other.filePath("plain");
    putFile(aFile, "x");
    struct Row {
        const char* what;
        std::function<void(hdd::BackupRequest&)> change;
        QString message;
    };
    const Row rows[] = {
        {"no family", [](hdd::BackupRequest& r) { r.family.reset(); }, hdd::kChooseFamily},
        {"no folder", [](hdd::BackupRequest& r) { r.folder.clear(); }, hdd::kChooseFolder},
        {"a file where the folder goes", [&](hdd::BackupRequest& r) { r.folder = aFile + "/sub"; },
         hdd::kFolderError},
        {"blanks only", [](hdd::BackupRequest& r) { r.folder = "  "; }, hdd::kFolderError},
        // Not even root may create a file in /proc.
        {"a folder that takes no files", [](hdd::BackupRequest& r) { r.folder = "/proc"; },
         hdd::kFolderError + " /proc: " + hdd::cannotCreateReason("/proc/SN.TXT")},
        {"no module",
         [](hdd::BackupRequest& r) {
             r.modules = {false, false, false, false, false};
         },
         hdd::kChooseModules},
    };
    for (const Row& row : rows) {
        h.clearWire();
        h.frontend.shown.clear();
        hdd::BackupRequest r{smallEntry(), folder, "921600", {}};
        row.change(r);
        const hdd::BackupResult result = runBackup(h.dlg(), r);
        EXPECT_FALSE(result.started) << row.what;
        EXPECT_EQ(h.frontend.shown, QStringList{"warning: " + row.message}) << row.what;
        EXPECT_TRUE(h.wire().isEmpty()) << row.what;
    }
    // The folder is created with its missing parents, and written back trimmed.
    const QString deep = dir.filePath("a/b/c");
    const hdd::BackupResult r = runBackup(h.dlg(), {smallEntry(), "  " + deep + " ", "9600", {}});
    EXPECT_TRUE(r.started);
    EXPECT_EQ(r.folder, deep);
    EXPECT_TRUE(QFileInfo(deep).isDir());
}

TEST_F(BackupRun, QueriesWithoutAnAnswerEndTheRunWithoutASpeedChange) {
    // At F level the drive answers "B0" with its buffers but not "%", and "x" needs the T level.
    h.drive->level = "F";
    hdd::BackupResult r = run(smallEntry());
    EXPECT_EQ(runLines(), (QStringList{"正在获取缓冲区地址......完成！", "正在获取保留区地址......失败！"}));
    EXPECT_TRUE(h.wire().contains("B0\r"));
    EXPECT_FALSE(h.wire().contains("b0"));
    EXPECT_TRUE(h.wire().endsWith("\r"));
    EXPECT_EQ(r.readBuffer, "800");
    EXPECT_TRUE(r.reserveStart.isEmpty());

    h.drive->faults.silent = true;
    r = run(smallEntry());
    EXPECT_EQ(runLines(), QStringList{"正在获取缓冲区地址......失败！"});
    EXPECT_FALSE(h.wire().contains("%"));
    EXPECT_FALSE(QFile::exists(file("SN.TXT")));
}

TEST_F(BackupRun, GarbledDumpTextFailsTheModuleItHit) {
    hddsim::BufferMemory& m = h.drive->state<hddsim::BufferMemory>();
    m.faults.garbleLineInDump = m.dumps + 3;
    const hdd::BackupResult r = run(smallEntry());
    EXPECT_FALSE(r.completed);
    EXPECT_EQ(runLines().mid(2), (QStringList{"正在备份APP.............", hdd::kDataError, "备份APP失败！",
                                              "备份失败!", keptLine()}));
    EXPECT_EQ(folderFiles(partial()), (QStringList{"SHA256SUMS", "SN.TXT"}));
}

TEST_F(BackupRun, AnAbortDuringAReadFailsTheBackup) {
    abortOnceWhen(h, [this] { return h.wire().contains("B810,810\r"); });
    const hdd::BackupResult r = run(smallEntry());
    EXPECT_FALSE(r.completed);
    EXPECT_EQ(runLines().mid(2),
              (QStringList{"正在备份APP.............", "被用户中止！", "备份失败!", keptLine()}));
    EXPECT_FALSE(QFile::exists(stagedFile("APP.BIN")));
    EXPECT_FALSE(h.dlg().AbortRequested);
}

// The run's outcome, and the files it names: only those this run wrote and left, SHA256SUMS last.
TEST_F(BackupRun, TheOutcomeNamesWhatTheRunWrote) {
    using S = hdd::Outcome::Status;
    struct Row {
        const char* what;
        std::function<void()> arrange;
        S status;
        QStringList files;
    };
    const QStringList vendor = {"Vendor.BIN", "ID.BIN", "SN.TXT", "SHA256SUMS"},
                      serials = {"SN.TXT", "SHA256SUMS"};
    const Row rows[] = {
        {"done", [] {}, S::Done, vendor},
        {"a failed read", [this] { h.drive->settings["fw.failModule"] = 6; }, S::Failed, serials},
        {"aborted", [this] { abortOnceWhen(h, [this] { return h.wire().contains("B803,803\r"); }); },
         S::Aborted, serials},
        {"no answer to the buffer query", [this] { h.drive->faults.silent = true; }, S::Failed, {}},
    };
    hdd::BackupModules only;
    only.app = only.cert = only.table = only.ata = false;
    for (const Row& row : rows) {
        QDir(folder).removeRecursively();
        row.arrange();
        hdd::BackupRequest r{smallEntry(), folder, "921600", only};
        const hdd::Outcome o = hdd::RunBackup(h.dlg(), r);
        h.drive->settings["fw.failModule"] = 0;
        h.drive->faults.silent = false;
        EXPECT_EQ(o.status, row.status) << row.what;
        QStringList files;
        for (const hdd::WrittenFile& f : o.files) {
            files << QFileInfo(f.path).fileName();
            EXPECT_EQ(f.size, QFileInfo(f.path).size()) << qPrintable(f.path);
        }
        EXPECT_EQ(files, row.files) << row.what;
    }
    // Refused by its check: nothing asked, nothing written.
    only.vendor = false;
    const hdd::Outcome o = hdd::RunBackup(h.dlg(), {smallEntry(), folder, "921600", only});
    EXPECT_EQ(o.status, S::Refused);
    EXPECT_EQ(o.by, hdd::Outcome::By::Check);
}

// A complete backup is never lost: a later run failed or aborted at any module leaves it byte for
// byte, and a complete one moves what it replaces aside. A stale CERT part never joins CERT.BIN.
TEST_F(BackupRun, AGoodBackupSurvivesEveryRunThatDoesNotComplete) {
    ASSERT_TRUE(run(smallEntry()).completed);
    const auto snapshot = [](const QString& dir) {
        QMap<QString, QByteArray> files;
        for (const QString& n : folderFiles(dir)) files[n] = fileBytes(dir + "/" + n);
        return files;
    };
    const auto good = snapshot(folder);
    ASSERT_EQ(good.size(), 10);
    const char* seeks[] = {"s2B6,0,", "s304,0,", "s304,1,", "s306,0,", "s308,0,", "s30C,0,"};
    for (int module = 1; module <= 6; ++module) {
        for (const bool abort : {false, true}) {
            SCOPED_TRACE(module * 10 + abort);
            h.drive->state<hddsim::FirmwareState>().failingReads = 0;
            h.drive->settings["fw.failModule"] = abort ? 0 : module;
            h.drive->settings["fw.failRead"] = 1;
            const QByteArray seek = seeks[module - 1];
            if (abort)
                abortOnceWhen(
                    h, [this, seek] { return h.wire().indexOf("\rB8", h.wire().indexOf(seek) + 1) > 0; });
            EXPECT_FALSE(run(smallEntry()).completed);
            EXPECT_EQ(runLines().last(), keptLine());
            EXPECT_TRUE(snapshot(folder) == good);
        }
    }
    h.drive->settings["fw.failModule"] = 0;
    const hdd::BackupResult r = run(smallEntry());
    ASSERT_TRUE(r.completed);
    EXPECT_TRUE(snapshot(r.keptIn) == good);
    EXPECT_TRUE(snapshot(folder) == good);
    EXPECT_FALSE(QFileInfo::exists(partial()));

    hdd::FamilyEntry e = smallEntry();
    e.cert1.clear();
    putFile(file("CERT1.BIN"), QByteArray(512, 'x'));
    QDir().mkpath(partial());
    putFile(stagedFile("CERT1.BIN"), QByteArray(512, 'x'));
    ASSERT_TRUE(run(e, {false, true, false, false, false}).completed);
    EXPECT_EQ(bytes("CERT.BIN"), sectors(0x304, 0, 0, 0x20));
}

}  // namespace
