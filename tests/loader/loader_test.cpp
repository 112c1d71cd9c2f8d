// The F-level boot against the simulated drive: each loader's exact bytes, the load key's order,
// speeds and module images, every stop of the chain, and the checks made before anything is sent.
#include <gtest/gtest.h>

#include "checksums.h"
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

    expect(hdd::LoadApp(d, app, p.buffer, p.appBlock, p.save).isDone(),
           "\x1aZ\rZ\r" + (buffer == "80" ? QByteArray("d80,1") : "d" + buffer + ",2") + "\r" +
               downloadOnWire(app, p.appBlock) + "j,,1\r" + "\x1a/\r/\r" + "\r" +
               (p.save ? "/\rR1\rR2\rw4,60\r" : ""));
    EXPECT_EQ(h.drive->level, "T");
    expect(hdd::LoadCert(d, cert, p.certBlock, p.save).isDone(),
           (p.certBlock == 4096 ? "d,3,1\r" : "d,2,1\r") + downloadOnWire(cert, p.certBlock) + "\r\rr\r\r" +
               (p.save ? "/\rR1\rR2\rw1,60\r" : ""));
    expect(hdd::LoadTable(d, table, " 2 ", p.save).isDone(),
           "/\rh2\r" + downloadOnWire(table, 512) + "\r" + (p.save ? "w,,22\r" : ""));
    expect(hdd::LoadATA0(d, ata0, 512, !p.ata1, p.save).isDone(),
           "/\rN4F,,22\r/\re0,0\r" + downloadOnWire(ata0, 512) + (p.ata1 ? "" : ataEnd));
    if (p.ata1)
        expect(hdd::LoadATA1(d, ata1, 512, true, p.save).isDone(),
               "/\re1,0\r" + downloadOnWire(ata1, 512) + ataEnd);

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

// Each stop of the chain, written short. Faults: "nak=1,2" (rejected checksum attempts), "silent=9"
// (an announce left unanswered), "stuck=T" (the level the drive stays at), "rm=CERT.BIN" (a file
// not in the folder), "big=APP.BIN:524288" (a file of that length), or a drive setting. Lines:
// "F" the switch to F level, a module name for its line, then "+" success or "-" failure;
// "T?" not at T level, "CERT?" the request to load CERT first.
struct ChainRow {
    const char* name;
    QStringList faults;
    QStringList lines;
    QList<QByteArray> opened;
    QByteArray wireStart = {};  // "-": nothing at all is sent
};

class LoadChain : public LoaderTest, public ::testing::WithParamInterface<ChainRow> {
protected:
    void fault(const QString& f, const QString& folder) {
        const QString key = f.section('=', 0, 0), value = f.section('=', 1);
        if (key == "nak") {
            for (const QString& n : value.split(',')) memory().faults.nakAttempts << n.toInt();
        } else if (key == "silent") {
            memory().faults.silentAnnounce = value.toInt();
        } else if (key == "stuck") {
            h.drive->faults.stuckLevel = value.toLatin1();
        } else if (key == "rm") {
            QFile::remove(folder + "/" + value);
        } else if (key == "big") {
            writeFile(folder + "/" + value.section(':', 0, 0), pattern(value.section(':', 1).toInt(), 1));
        } else {
            h.drive->settings[key] = value.toInt();
        }
    }
    static QString line(const QString& code) {
        static const QMap<QString, QString> lines = {
            {"F", kToF},
            {"APP", hdd::kLoadingApp},
            {"CERT", hdd::kLoadingCert},
            {"TABLE", hdd::kLoadingTable},
            {"ATA0", hdd::kLoadingAta0},
            {"T?", hdd::kNotAtTForLoad},
            {"CERT?", QStringLiteral("请先加载CERT模块！")},
        };
        if (lines.contains(code)) return lines[code];
        return lines[code.chopped(1)] + (code.endsWith('+') ? kOk : kFail);
    }
};

TEST_P(LoadChain, StopsWhereItShould) {
    const ChainRow& p = GetParam();
    const QString folder = moduleFolder();
    for (const QString& f : p.faults) fault(f, folder);
    chooseFolder(folder);
    form().userClick("CheckBox4");  // ATA0
    h.clearWire();
    form().userClick("Button6");
    QStringList lines;
    for (const QString& code : p.lines) lines << line(code);
    EXPECT_EQ(loaderLines(), lines);
    EXPECT_EQ(loaded().opened, p.opened);
    // Only a refused module has a message of its own.
    EXPECT_EQ(h.frontend.shown.join('|').contains("模块：文件"), p.wireStart == "-")
        << qPrintable(h.frontend.shown.join('|'));
    if (p.wireStart == "-") {
        EXPECT_EQ(h.wire(), "");
    } else {
        EXPECT_TRUE(h.wire().startsWith(p.wireStart));
        EXPECT_TRUE(h.wire().endsWith("\r"));
        EXPECT_EQ(h.dlg().ReceiveMode, "usercmd");
    }
    EXPECT_TRUE(form().formEnabled());
}

const QList<QByteArray> kFour{"d60,2", "d,3,1", "h2", "e0,0"};

// APP sends 3 blocks (8 announces: 2 opening, 2 a block), CERT 2 and TABLE 2: the 9th announce is
// CERT's first, and ATA0's first block has checksum attempt 8.
INSTANTIATE_TEST_SUITE_P(
    Loader, LoadChain,
    ::testing::Values(
        ChainRow{"AppDownloadNaked", {"nak=1,2,3"}, {"F+", "APP-"}, {"d60,2"}},
        ChainRow{"AppHangsAfterTheJump", {"loader.appNoT=1"}, {"F+", "APP-"}, {"d60,2"}},
        ChainRow{"AppFallsBackToF", {"loader.appNoT=2"}, {"F+", "APP-"}, {"d60,2"}},
        ChainRow{"NoFLevelAfterTheRestart", {"stuck=T"}, {"F-"}, {}},
        ChainRow{"CertDownloadBroken", {"silent=9"}, {"F+", "APP+", "CERT-"}, {"d60,2", "d,3,1"}},
        ChainRow{"CertShowsNoRevision", {"loader.certNoRev=1"}, {"F+", "APP+", "CERT-"}, {"d60,2", "d,3,1"}},
        ChainRow{"CertDropsTheLinkTo9600",
                 {"loader.certTo9600=1"},
                 {"F+", "APP+", "CERT+", "TABLE+", "ATA0+"},
                 kFour},
        ChainRow{
            "TableWithoutCertGoesOn", {"rm=CERT.BIN"}, {"F+", "APP+", "CERT?", "ATA0+"}, {"d60,2", "e0,0"}},
        ChainRow{"Ata0DownloadNaked", {"nak=8,9,10"}, {"F+", "APP+", "CERT+", "TABLE+", "ATA0-"}, kFour},
        ChainRow{"NotAtTBeforeCert", {"rm=APP.BIN", "stuck=1"}, {"T?"}, {}},
        // Without APP there is no restart: the link goes to 9600 first.
        ChainRow{"WithoutAppAtT",
                 {"rm=APP.BIN", "rm=Table.BIN"},
                 {"CERT+", "ATA0+"},
                 {"d,3,1", "e0,0"},
                 "\x1a/\r/\r\x1a/\rB0096\r"},
        ChainRow{"AppOfMoreThan255Blocks", {"big=APP.BIN:524288"}, {"APP-"}, {}, "-"},
        ChainRow{"CertNotWholeBlocks", {"big=CERT.BIN:4196"}, {"CERT-"}, {}, "-"}),
    [](const auto& info) { return std::string(info.param.name); });

// The load key's outcome: done, failed, refused by the drive (not at T, no CERT for TABLE) or by the
// input, aborted from the main window's abort key. Faults: "rm=FILE" (not in the folder), "big=FILE"
// (512 KiB), "stuck=LEVEL", "abort" (the abort key as APP's download begins), or a drive setting.
struct OutcomeRow {
    const char* name;
    QStringList faults;
    hdd::Outcome::Status status;
    hdd::Outcome::By by = hdd::Outcome::By::None;
};

class LoadOutcome : public LoaderTest, public ::testing::WithParamInterface<OutcomeRow> {};

TEST_P(LoadOutcome, IsTheLoadsOwn) {
    const QString folder = moduleFolder();
    for (const QString& f : GetParam().faults) {
        const QString key = f.section('=', 0, 0), value = f.section('=', 1);
        if (key == "rm")
            QFile::remove(folder + "/" + value);
        else if (key == "big")
            writeFile(folder + "/" + value, pattern(524288, 1));
        else if (key == "stuck")
            h.drive->faults.stuckLevel = value.toLatin1();
        else if (key == "abort")
            h.clock.addPoller([this] {
                if (memory().checksumAttempts == 1 && !h.dlg().AbortRequested) h.press("Button16");
            });
        else
            h.drive->settings[key] = value.toInt();
    }
    chooseFolder(folder);
    form().userClick("Button6");
    EXPECT_EQ(h.model->lastOutcome().status, GetParam().status) << qPrintable(h.model->lastOutcome().reason);
    EXPECT_EQ(h.model->lastOutcome().by, GetParam().by);
}

using S = hdd::Outcome::Status;
INSTANTIATE_TEST_SUITE_P(
    Loader, LoadOutcome,
    ::testing::Values(
        OutcomeRow{"Loaded", {}, S::Done},
        OutcomeRow{"CertShowsNoRevision", {"loader.certNoRev=1"}, S::Failed},
        OutcomeRow{"AppOfMoreThan255Blocks", {"big=APP.BIN"}, S::Failed},
        OutcomeRow{"NotAtTBeforeCert", {"rm=APP.BIN", "stuck=1"}, S::Refused, hdd::Outcome::By::Drive},
        OutcomeRow{"TableWithoutCert", {"rm=CERT.BIN"}, S::Refused, hdd::Outcome::By::Drive},
        OutcomeRow{
            "NoModule", {"rm=APP.BIN", "rm=CERT.BIN", "rm=Table.BIN"}, S::Refused, hdd::Outcome::By::Input},
        OutcomeRow{"Aborted", {"abort"}, S::Aborted}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoaderTest, NothingIsSentWhenTheSelectionIsIncomplete) {
    const QString folder = moduleFolder();
    // "Name" clicks a box, "Name=text" types into a field; "@x" is the folder's file x, "@" the
    // folder itself.
    const QList<std::pair<QStringList, const char*>> steps = {
        {{}, "请指定要加载的模块！"},
        {{"CheckBox1"}, "请指定APP模块文件！"},
        {{"ComboBox1="}, "指定缓冲区！"},
        {{"ComboBox1=60", "ComboBox3="}, "请指定数据块大小！"},
        {{"ComboBox3=2048", "Edit1=@none"}, "指定的APP模块文件不存在！"},
        {{"Edit1=@"}, "指定的APP模块文件不存在！"},
        {{"Edit1=@APP.BIN", "CheckBox2", "Edit2= "}, "请指定CERT模块文件！"},
        {{"Edit2=@none"}, "指定的CERT模块文件不存在！"},
        {{"Edit2=@CERT.BIN", "CheckBox3"}, "请指定TABLE模块文件！"},
        {{"Edit6=@none"}, "指定的TABLE模块文件不存在！"},
        {{"Edit6=@Table.BIN", "CheckBox6", "Edit5=@none"}, "请指定ATA0模块文件！"},  // ATA1 ticks ATA0
        {{"Edit4=@none"}, "指定的ATA0模块文件不存在！"},
        {{"Edit4=@ATA0.BIN"}, "指定的ATA1模块文件不存在！"},
        {{"Edit5="}, "请指定ATA1模块文件！"},
    };
    h.clearWire();
    for (const auto& [actions, message] : steps) {
        for (const QString& a : actions) {
            QString value = a.section('=', 1);
            if (value.startsWith('@')) value = value == "@" ? folder : folder + "/" + value.mid(1);
            a.contains('=') ? form().userSetText(a.section('=', 0, 0), value) : form().userClick(a);
        }
        h.frontend.shown.clear();
        form().userClick("Button6");
        EXPECT_EQ(h.frontend.shown, QStringList{"message: " + QString::fromUtf8(message)});
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

// A folder that holds SHA256SUMS boots only what it lists: an altered module, or one the list names
// but the folder lacks, is refused with the file named, and nothing is sent.
TEST_F(LoaderTest, AModuleThatDiffersFromTheFoldersSumsIsNotSent) {
    const QString folder = moduleFolder();
    QString sums;
    for (const auto& [name, bytes] : files) sums += hdd::sumsLine(folder + "/" + name, name);
    writeFile(folder + "/SHA256SUMS", sums.toLatin1());
    writeFile(folder + "/CERT.BIN", bytesOf("CERT.BIN") + QByteArray(512, 0));
    chooseFolder(folder);
    const std::pair<QString, QString> rows[] = {{hdd::kModuleAltered, "CERT.BIN"},
                                                {hdd::kModuleMissing, "ATA1.BIN"}};
    for (const auto& [message, name] : rows) {
        h.clearWire();
        h.frontend.shown.clear();
        form().userClick("Button6");
        EXPECT_EQ(h.frontend.shown, QStringList{"warning: " + message.arg(folder + "/" + name)});
        EXPECT_EQ(h.wire(), "");
        writeFile(folder + "/CERT.BIN", bytesOf("CERT.BIN"));
        QFile::remove(folder + "/ATA1.BIN");
    }
}

}  // namespace

namespace {

// A field the load would put into a command is checked before the drive is restarted: a warning
// naming it, and not a byte on the wire. Pasted text goes through the field's key filter.
TEST_F(LoaderTest, ABadFieldIsRefusedBeforeAnyByte) {
    const QString folder = moduleFolder();
    form().userClick("CheckBox1");
    form().userSetText("ComboBox1", "6x0zz");
    EXPECT_EQ(form().text("ComboBox1"), "60");
    const QList<std::pair<std::function<void(hdd::LoadRequest&)>, const char*>> rows = {
        {[](auto& r) { r.buffer = "6x0zz"; }, "缓冲区“6x0zz”无效：应为十六进制数！"},
        {[](auto& r) { r.appBlockSize = "20A0"; }, "APP数据块大小“20A0”无效：应为1至65535的十进制数！"},
        {[](auto& r) { r.certBlockSize = "70000"; }, "CERT数据块大小“70000”无效：应为1至65535的十进制数！"},
        {[](auto& r) { r.tableSectors = "1g"; }, "TABLE扇区数“1g”无效：应为十六进制数！"},
        {[](auto& r) { r.speed = "12345"; }, "加载速率“12345”无效：不是可用的速率！"},
    };
    for (const auto& [bad, message] : rows) {
        hdd::LoadRequest r{{true, folder + "/APP.BIN"},
                           {true, folder + "/CERT.BIN"},
                           {true, folder + "/Table.BIN"},
                           {},
                           {},
                           "60",
                           "2048",
                           "4096",
                           "2",
                           "921600"};
        bad(r);
        h.clearWire();
        h.frontend.shown.clear();
        const hdd::Outcome o = hdd::LoadModules(h.dlg(), r);
        EXPECT_EQ(o.by, hdd::Outcome::By::Check) << message;
        EXPECT_EQ(h.frontend.shown, QStringList{"warning: " + QString::fromUtf8(message)});
        EXPECT_EQ(h.wire(), "") << message;
    }
}

}  // namespace
