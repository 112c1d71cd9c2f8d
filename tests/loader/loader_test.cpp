// The F-level boot against the simulated drive: each loader's exact bytes, the load key's order,
// speeds and module images, every stop of the chain, and the checks made before anything is sent.
#include <gtest/gtest.h>

#include "loader.h"
#include "loader_support.h"
#include "monitor.h"

using namespace hddtest;

namespace {

const QString kOk = QStringLiteral("成功！");
const QString kFail = QStringLiteral("失败！");
const QString kToF = QStringLiteral("转换至F级...........");

// --- each loader's dialogue, byte for byte ---

struct WireRow {
    const char* buffer;
    int appBlock;  // what the buffer's command announces
    int certBlock;
    bool save;
    bool ata1;  // ATA1 follows ATA0 (ATA0 then leaves the finishing to it)
};

class LoaderWire : public LoaderTest, public ::testing::WithParamInterface<WireRow> {};

TEST_P(LoaderWire, EachLoaderSendsItsSequenceAndTheDriveHoldsTheModule) {
    const WireRow& p = GetParam();
    hdd::Dialogue& d = h.dlg();
    const QByteArray app = pattern(3 * p.appBlock, 1), cert = pattern(2 * p.certBlock, 2);
    const QByteArray table = pattern(1024, 3), ata0 = pattern(1536, 4), ata1 = pattern(1024, 5);
    const QByteArray buffer(p.buffer);
    const QByteArray ataEnd = QByteArray("b,,22\r") + (p.save ? "/2\rU\r/\rc\r" : "") + "N50,,22\r";
    auto expect = [&](bool ok, const QByteArray& wire) {
        EXPECT_TRUE(ok);
        EXPECT_EQ(h.wire(), wire);
        EXPECT_TRUE(h.lastLine().endsWith(kOk)) << qPrintable(h.lastLine());
        h.clearWire();
    };
    h.drive->setLevel("F");  // a drive whose firmware did not come up
    h.clearWire();

    expect(hdd::LoadApp(d, app, p.buffer, p.appBlock, p.save),
           "\x1aZ\rZ\r" + (buffer == "80" ? QByteArray("d80,1") : "d" + buffer + ",2") + "\r" +
               downloadOnWire(app, p.appBlock) + "j,,1\r" + "\x1a/\r/\r" + "\r" +
               (p.save ? "/\rR1\rR2\rw4,60\r" : ""));
    EXPECT_EQ(h.drive->level, "T");
    expect(hdd::LoadCert(d, cert, p.certBlock, p.save), (p.certBlock == 4096 ? "d,3,1\r" : "d,2,1\r") +
                                                            downloadOnWire(cert, p.certBlock) + "\r\rr\r\r" +
                                                            (p.save ? "/\rR1\rR2\rw1,60\r" : ""));
    expect(hdd::LoadTable(d, table, " 2 ", p.save),
           "/\rh2\r" + downloadOnWire(table, 512) + "\r" + (p.save ? "w,,22\r" : ""));
    expect(hdd::LoadATA0(d, ata0, 512, !p.ata1, p.save),
           "/\rN4F,,22\r/\re0,0\r" + downloadOnWire(ata0, 512) + (p.ata1 ? "" : ataEnd));
    if (p.ata1)
        expect(hdd::LoadATA1(d, ata1, 512, true, p.save), "/\re1,0\r" + downloadOnWire(ata1, 512) + ataEnd);

    const hddsim::LoaderState& s = loaded();
    EXPECT_EQ(s.app, app);
    EXPECT_EQ(s.appBuffer, buffer);
    EXPECT_EQ(s.cert, cert);
    EXPECT_EQ(s.table, table);
    EXPECT_EQ(s.ata0, ata0);
    EXPECT_EQ(s.ata1, p.ata1 ? ata1 : QByteArray());
    const QList<QByteArray> saved = {"APP", "CERT", "TABLE", "ATA"};
    EXPECT_EQ(s.saved, p.save ? saved : QList<QByteArray>());
    EXPECT_FALSE(s.ataMode);  // "N50,,22" closed the interface code download
}

INSTANTIATE_TEST_SUITE_P(Loaders, LoaderWire,
                         ::testing::Values(WireRow{"60", 2048, 4096, true, true},
                                           WireRow{"80", 1024, 2048, false, false},
                                           WireRow{"7F", 2048, 4096, false, true}));

TEST_F(LoaderTest, ARefusedImageFailsItsModuleBeforeItsFirstCommand) {
    h.drive->setLevel("F");
    h.clearWire();
    // 256 blocks: one more than a download can number.
    EXPECT_FALSE(hdd::LoadApp(h.dlg(), pattern(256 * 1024, 1), "80", 1024, false));
    EXPECT_EQ(h.wire(), "");
    EXPECT_EQ(h.lastLine(), hdd::kLoadingApp + kFail);
    ASSERT_EQ(h.frontend.shown.size(), 1);
    EXPECT_TRUE(h.frontend.shown[0].startsWith("message: APP模块：文件太大"))
        << qPrintable(h.frontend.shown[0]);
    // ATA1 still ends the download mode ATA0 left the drive in.
    h.drive->setLevel("T");
    EXPECT_FALSE(hdd::LoadATA1(h.dlg(), pattern(700, 5), 512, true, true));
    EXPECT_EQ(h.wire(), "N50,,22\r");
    EXPECT_EQ(h.lastLine(), hdd::kLoadingAta1 + kFail);
}

// --- the load key ---

TEST_F(LoaderTest, AFolderBootsTheDriveAtTheDialogsSpeed) {
    const QString folder = moduleFolder();
    chooseFolder(folder);
    form().userClick("CheckBox6");  // ATA1, which ticks ATA0
    form().userClick("CheckBox10");
    form().userSelectText("ComboBox2", "115200");
    ASSERT_EQ(h.form().text("ComboBox7"), "921600");  // the window's transfer speed is not the one used
    h.dlg().AbortRequested = true;                    // a stale abort is not meant for this run
    h.clearWire();
    form().userClick("Button6");

    EXPECT_EQ(loaderLines(),
              QStringList({kToF + kOk, hdd::kLoadingApp + kOk, hdd::kLoadingCert + kOk,
                           hdd::kLoadingTable + kOk, hdd::kLoadingAta0 + kOk, hdd::kLoadingAta1 + kOk}));
    const hddsim::LoaderState& s = loaded();
    EXPECT_EQ(s.opened, QList<QByteArray>({"d60,2", "d,3,1", "h2", "e0,0", "e1,0"}));
    EXPECT_EQ(s.app, bytesOf("APP.BIN"));
    EXPECT_EQ(s.cert, bytesOf("CERT.BIN"));
    EXPECT_EQ(s.table, bytesOf("Table.BIN"));
    EXPECT_EQ(s.ata0, bytesOf("ATA0.BIN"));
    EXPECT_EQ(s.ata1, bytesOf("ATA1.BIN"));
    EXPECT_EQ(s.saved, QList<QByteArray>({"APP", "ATA"}));  // APP's box and the shared ATA box
    for (const auto& [name, bytes] : files)
        EXPECT_EQ(readAll(folder + "/" + name), bytes) << qPrintable(name);

    const QByteArray w = h.wire();
    EXPECT_TRUE(w.contains("b0115\r"));  // F level, for APP
    EXPECT_TRUE(w.contains("B0115\r"));  // T level, for the others
    EXPECT_FALSE(w.contains("0921"));
    // Back at 9600 at the end, with a fresh prompt asked for in the console's mode.
    EXPECT_TRUE(w.endsWith("B0096\r\x1a/\r\r")) << qPrintable(w.right(20).toPercentEncoding());
    EXPECT_EQ(h.drive->baud, 9600);
    EXPECT_EQ(h.dlg().ReceiveMode, "usercmd");
    EXPECT_TRUE(form().formEnabled());
    EXPECT_EQ(h.frontend.shown, QStringList());
}

// Each stop of the chain: the loaders' lines, the downloads the drive saw, and what was sent.
struct ChainRow {
    const char* name;
    std::function<void(LoaderTest&, const QString& folder)> setup;
    QStringList lines;
    QList<QByteArray> opened;
    bool silent = false;  // nothing at all reaches the drive
};

class LoadChain : public LoaderTest, public ::testing::WithParamInterface<ChainRow> {};

TEST_P(LoadChain, StopsWhereItShould) {
    const ChainRow& p = GetParam();
    const QString folder = moduleFolder();
    p.setup(*this, folder);
    chooseFolder(folder);
    form().userClick("CheckBox4");  // ATA0 (rows that want ATA1 tick it)
    h.clearWire();
    form().userClick("Button6");
    EXPECT_EQ(loaderLines(), p.lines);
    EXPECT_EQ(loaded().opened, p.opened);
    if (p.silent) {
        EXPECT_EQ(h.wire(), "");
    } else {
        EXPECT_TRUE(h.wire().endsWith("\r"));
        EXPECT_EQ(h.dlg().ReceiveMode, "usercmd");
    }
    EXPECT_TRUE(form().formEnabled());
}

const QString app = hdd::kLoadingApp, cert = hdd::kLoadingCert, table = hdd::kLoadingTable,
              ata0 = hdd::kLoadingAta0, ata1 = hdd::kLoadingAta1;
const QList<QByteArray> kThrough{"d60,2", "d,3,1", "h2", "e0,0"};

INSTANTIATE_TEST_SUITE_P(
    Loader, LoadChain,
    ::testing::Values(
        ChainRow{"AppDownloadNaked",
                 [](LoaderTest& t, auto) {
                     t.memory().faults.nakAttempts = {1, 2, 3};
                 },
                 {kToF + kOk, app + kFail},
                 {"d60,2"}},
        ChainRow{"AppHangsAfterTheJump",
                 [](LoaderTest& t, auto) { t.h.drive->settings["loader.appNoT"] = 1; },
                 {kToF + kOk, app + kFail},
                 {"d60,2"}},
        ChainRow{"AppFallsBackToF",
                 [](LoaderTest& t, auto) { t.h.drive->settings["loader.appNoT"] = 2; },
                 {kToF + kOk, app + kFail},
                 {"d60,2"}},
        ChainRow{"NoFLevelAfterTheRestart",
                 [](LoaderTest& t, auto) { t.h.drive->faults.stuckLevel = "T"; },
                 {kToF + kFail},
                 {}},
        // APP takes 8 announces (2 opening, 2 for each of its 3 blocks); CERT's opening one gets no answer.
        ChainRow{"CertDownloadBroken",
                 [](LoaderTest& t, auto) { t.memory().faults.silentAnnounce = 9; },
                 {kToF + kOk, app + kOk, cert + kFail},
                 {"d60,2", "d,3,1"}},
        ChainRow{"CertShowsNoRevision",
                 [](LoaderTest& t, auto) { t.h.drive->settings["loader.certNoRev"] = 1; },
                 {kToF + kOk, app + kOk, cert + kFail},
                 {"d60,2", "d,3,1"}},
        ChainRow{"CertDropsTheLinkTo9600",
                 [](LoaderTest& t, auto) { t.h.drive->settings["loader.certTo9600"] = 1; },
                 {kToF + kOk, app + kOk, cert + kOk, table + kOk, ata0 + kOk},
                 kThrough},
        ChainRow{"TableWithoutCertGoesOn",
                 [](LoaderTest&, const QString& f) { QFile::remove(f + "/CERT.BIN"); },
                 {kToF + kOk, app + kOk, "请先加载CERT模块！", ata0 + kOk},
                 {"d60,2", "e0,0"}},
        // APP 3, CERT 2 and TABLE 2 checksums accepted; ATA0's first block is rejected three times.
        ChainRow{"Ata0DownloadNakedEndsTheChain",
                 [](LoaderTest& t, auto) {
                     t.memory().faults.nakAttempts = {8, 9, 10};
                 },
                 {kToF + kOk, app + kOk, cert + kOk, table + kOk, ata0 + kFail},
                 kThrough},
        ChainRow{"NotAtTBeforeCert",
                 [](LoaderTest& t, const QString& f) {
                     QFile::remove(f + "/APP.BIN");
                     t.h.drive->faults.stuckLevel = "1";
                 },
                 {"错误: 请先转至T级！"},
                 {}},
        ChainRow{"CertOnlyAtTStartsWithoutTheRestart",
                 [](LoaderTest& t, const QString& f) {
                     QFile::remove(f + "/APP.BIN");
                     QFile::remove(f + "/Table.BIN");
                     t.h.drive->settings["restart.ms"] = 100000;  // a restart would hang the test's drive
                 },
                 {cert + kOk, ata0 + kOk},
                 {"d,3,1", "e0,0"}},
        ChainRow{"AppOfMoreThan255BlocksIsRefused",
                 [](LoaderTest&, const QString& f) { writeFile(f + "/APP.BIN", pattern(256 * 2048, 1)); },
                 {app + kFail},
                 {},
                 true},
        ChainRow{"CertNotWholeBlocksIsRefused",
                 [](LoaderTest&, const QString& f) { writeFile(f + "/CERT.BIN", pattern(4096 + 100, 2)); },
                 {cert + kFail},
                 {},
                 true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoaderTest, NothingIsSentWhenTheSelectionIsIncomplete) {
    const QString folder = moduleFolder();
    struct Case {
        std::function<void()> set;
        const char* message;
    };
    auto tick = [this](const char* box, const char* field, const QString& file) {
        if (!form().checked(box)) form().userClick(box);
        form().userSetText(field, file);
    };
    const QString missing = dir.filePath("nowhere.bin");
    const QList<Case> cases = {
        {[] {}, "请指定要加载的模块！"},
        {[&] { tick("CheckBox1", "Edit1", ""); }, "请指定APP模块文件！"},
        {[&] { form().userSetText("ComboBox1", ""); }, "指定缓冲区！"},
        {[&] {
             form().userSetText("ComboBox1", "60");
             form().userSetText("ComboBox3", "");
         },
         "请指定数据块大小！"},
        {[&] {
             form().userSetText("ComboBox3", "2048");
             form().userSetText("Edit1", missing);
         },
         "指定的APP模块文件不存在！"},
        {[&] {
             form().userSetText("Edit1", folder);  // a folder is no module file
         },
         "指定的APP模块文件不存在！"},
        {[&] {
             form().userSetText("Edit1", folder + "/APP.BIN");
             tick("CheckBox2", "Edit2", " ");
         },
         "请指定CERT模块文件！"},
        {[&] { form().userSetText("Edit2", missing); }, "指定的CERT模块文件不存在！"},
        {[&] {
             form().userSetText("Edit2", folder + "/CERT.BIN");
             tick("CheckBox3", "Edit6", "");
         },
         "请指定TABLE模块文件！"},
        {[&] { form().userSetText("Edit6", missing); }, "指定的TABLE模块文件不存在！"},
        {[&] {
             form().userSetText("Edit6", folder + "/Table.BIN");
             tick("CheckBox6", "Edit5", missing);  // ATA1 ticks ATA0, which is checked first
         },
         "请指定ATA0模块文件！"},
        {[&] { form().userSetText("Edit4", missing); }, "指定的ATA0模块文件不存在！"},
        {[&] { form().userSetText("Edit4", folder + "/ATA0.BIN"); }, "指定的ATA1模块文件不存在！"},
        {[&] { form().userSetText("Edit5", ""); }, "请指定ATA1模块文件！"},
    };
    h.clearWire();
    for (const Case& c : cases) {
        c.set();
        h.frontend.shown.clear();
        form().userClick("Button6");
        EXPECT_EQ(h.frontend.shown, QStringList{"message: " + QString::fromUtf8(c.message)});
    }
    EXPECT_EQ(h.wire(), "");
}

TEST_F(LoaderTest, TheTableCountAnnouncedIsItsFilesHoweverTheFileWasNamed) {
    h.drive->settings["fw.certLoaded"] = 1;
    const QString folder = moduleFolder();
    chooseFolder(folder);
    EXPECT_EQ(form().text("Edit3"), "2");  // from the folder's Table.BIN, not the stale "18"
    // A path typed by hand leaves the field as it was; the run announces the file's count.
    form().userClick("CheckBox1");
    form().userClick("CheckBox2");
    const QString other = writeFile(dir.filePath("t5.bin"), pattern(5 * 512, 9));
    form().userSetText("Edit6", other);
    form().userClick("Button6");
    EXPECT_EQ(loaded().opened, QList<QByteArray>{"h5"});
    EXPECT_EQ(loaded().table, pattern(5 * 512, 9));
    EXPECT_EQ(form().text("Edit3"), "5");
}

}  // namespace
