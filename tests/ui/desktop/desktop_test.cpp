// The desktop comforts of the window model: the port list following adapters that come and go,
// a port pulled while open, the command line's history and paste, the keyboard focus, the hex
// view, saving the console, the family table's folder and the remembered settings.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

#include "harness.h"
#include "pty_master.h"
#include "settings.h"

using hddtest::Harness;

namespace {

using hddtest::Pty;

// Processes events in real time until the condition holds; returns the milliseconds it took, or -1.
template <class F>
qint64 pumpUntil(F cond, int ms) {
    QElapsedTimer t;
    t.start();
    while (!cond()) {
        if (t.elapsed() > ms) return -1;
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    return t.elapsed();
}

// A model whose system ports are the pseudo-terminals that exist, read again every 50 ms.
struct PtyModel {
    explicit PtyModel(QStringList* candidates) {
        hdd::MainOptions o;
        o.portLister = [candidates] {
            QStringList out;
            for (const QString& p : *candidates) {
                if (QFileInfo::exists(p)) out << p;
            }
            return out;
        };
        o.portDescriber = [candidates] {
            QHash<QString, QString> out;
            for (const QString& p : *candidates) out.insert(p, QStringLiteral("USB Serial SN:A5069RR4"));
            return out;
        };
        o.registerPorts = hddtest::simPort({});
        o.portPollMs = 50;
        o.pinCpu = false;
        o.programPath = dir.filePath("hddterm");
        model = std::make_unique<hdd::MainModel>(clock, frontend, o);
        model->startUp();
    }
    hdd::FormModel& form() { return model->form(); }
    QTemporaryDir dir;
    hdd::VirtualClock clock;
    hddtest::TestFrontend frontend;
    std::unique_ptr<hdd::MainModel> model;
};

TEST(PortList, FollowsAPseudoTerminalAppearingAndDisappearing) {
    QStringList candidates;
    PtyModel m(&candidates);
    EXPECT_EQ(m.form().at("ComboBox1").items, QStringList{"sim"});

    auto pty = std::make_unique<Pty>();
    candidates << pty->slave;
    // It shows up by itself (the poll), with its adapter beside its name; "sim" stays selected.
    ASSERT_GE(pumpUntil([&] { return m.form().at("ComboBox1").items.size() == 2; }, 2000), 0);
    EXPECT_EQ(m.form().at("ComboBox1").items, (QStringList{pty->slave, "sim"}));
    EXPECT_EQ(m.form().at("ComboBox1").itemLabels.first(), pty->slave + " - USB Serial SN:A5069RR4");
    EXPECT_EQ(m.form().text("ComboBox1"), "sim");

    m.form().userSelectText("ComboBox1", pty->slave);
    EXPECT_EQ(m.form().text("ComboBox1"), pty->slave);
    EXPECT_TRUE(m.frontend.shown.isEmpty());  // the pty takes 921600: no message
    m.form().setCurrentIndex("ComboBox2", 3);

    // Pulled: it leaves the list, the first port is taken and its speeds probed, without a message.
    pty.reset();
    ASSERT_GE(pumpUntil([&] { return m.form().at("ComboBox1").items.size() == 1; }, 2000), 0);
    EXPECT_EQ(m.form().text("ComboBox1"), "sim");
    EXPECT_EQ(m.form().text("ComboBox2"), "9600");
    EXPECT_EQ(m.form().at("ComboBox7").items.size(), 8);
    EXPECT_TRUE(m.frontend.shown.isEmpty());
}

TEST(PortList, RefreshKeepsTheSelectionAndStaysStillWhileOpen) {
    Harness h;
    h.systemPorts = {"ttyHDD0"};
    h.model->refreshPorts();
    EXPECT_EQ(h.form().at("ComboBox1").items, (QStringList{"ttyHDD0", "sim"}));
    EXPECT_EQ(h.form().text("ComboBox1"), "sim");
    EXPECT_EQ(h.form().at("ComboBox1").itemLabels.last(), "sim - 模拟硬盘");
    h.open();
    h.systemPorts = {"ttyHDD0", "ttyHDD1"};
    h.model->refreshPorts();
    EXPECT_EQ(h.form().at("ComboBox1").items.size(), 2);  // open: the list waits
    h.open();
    h.model->refreshPorts();
    EXPECT_EQ(h.form().at("ComboBox1").items, (QStringList{"ttyHDD0", "ttyHDD1", "sim"}));
    EXPECT_TRUE(h.wire().isEmpty());  // reading the list never talks to a drive
}

TEST(PortLost, APulledPseudoTerminalIsNoticedWithinASecondWithoutTyping) {
    QStringList candidates;
    PtyModel m(&candidates);
    Pty pty;
    m.model->choosePort(pty.slave);
    m.form().userClick("btnSwitch");
    ASSERT_TRUE(m.model->isOpen());
    pty.closeMaster();
    const qint64 ms = pumpUntil([&] { return !m.model->isOpen(); }, 1000);
    EXPECT_GE(ms, 0) << "the pulled port was not noticed within a second";
    EXPECT_EQ(hdd::fromGbk(m.model->console().lastLine()), "错误: 串口连接已断开！");
    EXPECT_EQ(m.form().text("edStatus"), hdd::MainModel::kClosedStatus);
}

TEST(PortLost, TheLostPortStaysSelectedMarkedMissingAndNoOtherPortIsOpened) {
    QStringList candidates;
    PtyModel m(&candidates);
    auto pty = std::make_unique<Pty>();
    const QString slave = pty->slave;
    candidates << slave;
    m.model->choosePort(slave);
    m.form().userClick("btnSwitch");
    ASSERT_TRUE(m.model->isOpen());
    pty.reset();
    ASSERT_GE(
        pumpUntil([&] { return m.form().at("ComboBox1").itemLabels.contains(slave + " - 未连接"); }, 2000),
        0);
    EXPECT_EQ(m.form().text("ComboBox1"), slave);
    m.frontend.shown.clear();
    m.form().userClick("btnSwitch");  // F5 tries that device again, never "sim"
    EXPECT_FALSE(m.model->port().isOpen());
    EXPECT_EQ(m.frontend.shown, QStringList{"message: 选择的端口正在被使用或不存在！"});
}

TEST(Keyboard, FocusGoesToTheCommandLineOnceThePortOpens) {
    Harness h;
    QSignalSpy spy(h.model.get(), &hdd::MainModel::focusRequested);
    h.model->choosePort("/dev/hddterm-no-such-port");
    h.open();  // fails: the focus stays
    EXPECT_EQ(spy.count(), 0);
    h.model->choosePort("sim");
    h.open();
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.first().first().toString(), "CMD");
}

TEST(Keyboard, FunctionKeysPressKeysThatNameThemInTheirHints) {
    Harness h;
    QStringList seen;
    for (const auto& k : hdd::MainModel::functionKeys()) {
        const hdd::Control* c = h.form().find(k.control);
        ASSERT_NE(c, nullptr) << k.control;
        EXPECT_TRUE(c->hint.endsWith(QStringLiteral("(F%1)").arg(k.number))) << k.control;
        seen << k.control;
    }
    EXPECT_EQ(seen, (QStringList{"btnSwitch", "Button6", "Button16"}));
}

TEST(History, UpAndDownWalkTheLinesSentAndKeepTheLineBeingTyped) {
    Harness h;
    h.model->historyPrevious();  // closed: the command line is off
    EXPECT_EQ(h.form().text("CMD"), "");
    h.open();
    for (const char* c : {"/2", "/1", "/1", "", "  S  "}) h.type(QString::fromLatin1(c));
    EXPECT_EQ(h.model->history(), (QStringList{"/2", "/1", "S"}));  // repeats and empty lines are not kept

    h.form().userKey("CMD", 'x');
    h.model->historyPrevious();
    EXPECT_EQ(h.form().text("CMD"), "S");
    h.model->historyPrevious();
    h.model->historyPrevious();
    h.model->historyPrevious();  // the oldest stays
    EXPECT_EQ(h.form().text("CMD"), "/2");
    h.model->historyNext();
    EXPECT_EQ(h.form().text("CMD"), "/1");
    h.model->historyNext();
    h.model->historyNext();
    EXPECT_EQ(h.form().text("CMD"), "x");  // back to what was being typed

    h.model->historyPrevious();
    h.clearWire();
    h.form().userEnter("CMD");
    EXPECT_EQ(h.wire(), "S\r");  // a recalled line is sent as typed
}

TEST(History, KeepsTheLastHundred) {
    Harness h;
    h.open();
    for (int i = 0; i < 130; ++i) h.type(QString::number(i));
    ASSERT_EQ(h.model->history().size(), hdd::MainModel::kHistoryMax);
    EXPECT_EQ(h.model->history().first(), "30");
    EXPECT_EQ(h.model->history().last(), "129");
}

TEST(Paste, TakesTheFirstLineWithoutControlCharacters) {
    struct Case {
        const char* clip;
        const char* line;
    } cases[] = {
        {"/2", "/2"},
        {"F3 T>/2\r\nR\r\n", "F3 T>/2"},
        {"\n\n  S\tx\x1a", "  Sx"},
        {"\r\n", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(hdd::MainModel::commandLinePaste(QString::fromUtf8(c.clip)), QString::fromUtf8(c.line))
            << c.clip;

    Harness h;
    h.open();
    h.form().userKey("CMD", 'a');
    h.model->pasteIntoCommandLine("b\nc");
    EXPECT_EQ(h.form().text("CMD"), "ab");
    EXPECT_TRUE(h.wire().isEmpty());       // nothing goes out before Enter
    h.form().userKey("CMD", QChar(0x16));  // Ctrl-V stays a key for the drive
    EXPECT_EQ(h.wire(), "\x16");
}

TEST(HexView, ShowsTheBytesAsReadNulIncluded) {
    Harness h;
    h.open();
    h.idle(50);
    h.press("CheckBoxHex");
    const int before = h.model->console().lineCount();
    h.drive->print(QByteArray("AT\0\xff", 4) + QByteArray(14, 'x'));
    h.idle(100);
    ASSERT_EQ(h.model->console().lineCount(), before + 2);
    EXPECT_EQ(h.model->console().line(before), "41 54 00 FF 78 78 78 78 78 78 78 78 78 78 78 78 ");
    EXPECT_EQ(h.model->console().line(before + 1), "78 78 ");
    h.press("CheckBoxHex");  // text again, on a line of its own
    h.type("/1");
    h.idle(200);
    EXPECT_TRUE(h.consoleText().endsWith("78 78 \n/1\n1>")) << qPrintable(h.consoleText());
}

TEST(SaveConsole, WritesTheTextWholeAndReportsAFailure) {
    Harness h;
    QTemporaryDir dir;
    const QString file = dir.filePath("console.txt");
    h.frontend.files = {file, "/proc/hddterm-no-such-dir/console.txt"};
    h.model->saveConsoleAs();
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()), h.model->console().displayText());
    EXPECT_EQ(h.frontend.requests.first().title, "保存为文本");
    h.model->saveConsoleAs();
    ASSERT_EQ(h.frontend.shown.size(), 1);
    EXPECT_TRUE(h.frontend.shown.first().startsWith("warning: 保存文件失败！"));
}

TEST(FamilyTable, AReadOnlyProgramFolderUsesTheUserFolderAndSaysSoOnce) {
    QTemporaryDir userDir;
    hdd::VirtualClock clock;
    hddtest::TestFrontend frontend;
    hdd::MainOptions o;
    o.portLister = [] { return QStringList(); };
    o.registerPorts = hddtest::simPort({});
    o.pinCpu = false;
    o.programPath = QStringLiteral("/proc/hddterm-read-only/hddterm");  // no one can write there
    o.userDataFolder = userDir.path();
    hdd::MainModel m(clock, frontend, o);
    m.startUp();
    EXPECT_TRUE(QFileInfo::exists(userDir.filePath("HDDINFO.TXT")));
    EXPECT_GT(m.form().at("ComboBox3").items.size(), 0);
    EXPECT_TRUE(frontend.shown.isEmpty());
    const QString note = QStringLiteral("程序文件夹不可写，机型表使用：%1/HDDINFO.TXT").arg(userDir.path());
    EXPECT_EQ(m.console().displayText().count(note), 1);
    m.familyTableFolder();
    EXPECT_EQ(m.console().displayText().count(note), 1);  // once per run
}

TEST(Settings, RoundTripThroughTheFileAndIntoAFreshWindow) {
    QTemporaryDir dir;
    const QString path = dir.filePath("cfg/hddterm.ini");
    Harness a;
    a.form().userSelectText("ComboBox2", "115200");
    a.form().setCurrentIndex("ComboBox7", 5);
    a.model->firmwareFolder = dir.path() + "/";
    hdd::FormModel* backup = a.model->formByName("Form6");
    ASSERT_NE(backup, nullptr);
    if (!backup->find("Edit1")) backup->add("Edit1", hdd::ControlKind::Edit);
    backup->setText("Edit1", dir.path());
    hdd::RememberedSettings base;
    base.windowSize = QSize(1024, 700);
    base.pickerFolders = {{"保存为文本", "/tmp"}, {"选择目标文件夹", dir.path()}};
    const hdd::RememberedSettings saved = hdd::captureSettings(*a.model, base);
    ASSERT_TRUE(hdd::saveSettings(path, saved));

    const hdd::RememberedSettings read = hdd::loadSettings(path);
    EXPECT_EQ(read.port, "sim");
    EXPECT_EQ(read.baud, "115200");
    EXPECT_EQ(read.transferBaud, "460800");
    EXPECT_EQ(read.firmwareFolder, dir.path() + "/");
    EXPECT_EQ(read.backupFolder, dir.path());
    EXPECT_EQ(read.windowSize, QSize(1024, 700));
    EXPECT_EQ(read.pickerFolders, base.pickerFolders);

    Harness b(false);
    b.systemPorts = {"ttyHDD0"};
    hdd::FormModel* backupB = b.model->formByName("Form6");
    if (!backupB->find("Edit1")) backupB->add("Edit1", hdd::ControlKind::Edit);
    hdd::applyBeforeStartUp(*b.model, read);
    b.model->startUp();
    hdd::applyAfterStartUp(*b.model, read);
    EXPECT_EQ(b.form().text("ComboBox1"), "sim");  // not the first port: the last one used
    EXPECT_EQ(b.form().text("ComboBox2"), "115200");
    EXPECT_EQ(b.form().text("ComboBox7"), "460800");
    EXPECT_EQ(b.model->firmwareFolder, dir.path() + "/");
    EXPECT_EQ(backupB->text("Edit1"), dir.path());
    EXPECT_TRUE(b.wire().isEmpty());
    b.open();
    EXPECT_EQ(b.model->port().baud(), 115200);
}

TEST(Settings, MissingCorruptOrStaleValuesLeaveTheDefaultsSilently) {
    QTemporaryDir dir;
    const QString corrupt = dir.filePath("corrupt.ini");
    QFile f(corrupt);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\xff\xfe[port\nname=\x01\x02=\n[window]\nwidth=-5\nheight=abc\n[pickers]\nsize=99999\n");
    f.close();
    const QString stale = dir.filePath("stale.ini");
    hdd::RememberedSettings old;
    old.port = "/dev/hddterm-gone";
    old.baud = "300";
    old.transferBaud = "fast";
    old.firmwareFolder = "/hddterm-no-such-folder/";
    ASSERT_TRUE(hdd::saveSettings(stale, old));

    for (const QString& path : {dir.filePath("missing.ini"), corrupt, stale}) {
        Harness h(false);
        h.systemPorts = {"ttyHDD0"};
        const hdd::RememberedSettings s = hdd::loadSettings(path);
        EXPECT_FALSE(s.windowSize.isValid()) << qPrintable(path);
        EXPECT_LE(s.pickerFolders.size(), 64);
        hdd::applyBeforeStartUp(*h.model, s);
        h.model->startUp();
        hdd::applyAfterStartUp(*h.model, s);
        EXPECT_EQ(h.form().text("ComboBox1"), "ttyHDD0") << qPrintable(path);
        EXPECT_EQ(h.form().text("ComboBox2"), "9600");
        EXPECT_EQ(h.form().text("ComboBox7"), "115200");  // ttyHDD0 cannot be probed here
        EXPECT_EQ(h.model->firmwareFolder, h.model->programFolder());
        EXPECT_TRUE(h.frontend.shown.isEmpty());
    }
}

}  // namespace
