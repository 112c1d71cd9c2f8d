// hddterm-cli's additions and mends, in-process on the virtual clock: actions checked before the
// port opens, file errors, missing --file answers, filter notes, --json, keys, speed restore,
// interrupts, the progress line, --log, and the help that the man page and the README follow.
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>

#include "buffer_memory.h"
#include "cli_run.h"
#include "cli_runner.h"
#include "clock.h"
#include "drive.h"
#include "harness.h"
#include "interrupts.h"
#include "main_model.h"
#include "transcript.h"

namespace {

using CliOutcome = CliRun;

// One run against the simulated drive; `during` is polled on every pulse of the run.
CliOutcome cli(const QStringList& args, const hdd::CliEnv& env = {},
               const std::function<void(hddsim::Drive&)>& during = {}) {
    return runCliInProcess(
        args,
        [&](hdd::MainModel& m, hdd::Clock& clock) {
            if (!during) return;
            auto drive = hddtest::simDrive(m).shared_from_this();
            clock.addPoller([drive, during] { during(*drive); });
        },
        env);
}

TEST(CliActions, EveryActionIsCheckedBeforeThePortOpens) {
    const struct {
        const char* action;
        const char* why;
    } rows[] = {
        {"Frobnicate", "no such key"},
        {"CMD", "CMD needs a colon"},
        {"Edit10", "Edit10 is a edit, not a key"},
        {"SET:Button78=1", "Button78 is a button and takes no value"},
        {"SET:edRx=5", "edRx is a label and takes no value"},
        {"SET:Edit10", "SET needs NAME=VALUE"},
        {"WAIT:soon", "WAIT takes milliseconds"},
        {"WAIT:-5", "WAIT takes milliseconds"},
        {"KEYS:1a0", "KEYS takes pairs"},
        {"ENTER:Button78", "Button78 does nothing on Enter"},
        {"GET:NoSuchField", "no such control"},
        {"POKE:Edit10", "unknown action POKE"},
    };
    for (const auto& row : rows) {
        const CliOutcome r = cli({"run", "CMD:/1", row.action});
        EXPECT_EQ(r.status, 2) << row.action;
        EXPECT_TRUE(r.err.contains(QStringLiteral("bad action \"%1\": %2").arg(row.action, row.why)))
            << qPrintable(r.err);
        EXPECT_TRUE(r.drive->received().isEmpty()) << row.action;  // not even the first, good action
        EXPECT_FALSE(r.err.contains("STATUS")) << row.action;
    }
}

TEST(CliActions, AFilterThatChangesAValueSaysSoAndOneThatDropsItFails) {
    CliOutcome r = cli({"run", "SET:RadioButton2=1", "SET:Edit21=7f", "ENTER:Edit21"});
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_TRUE(r.err.contains("hddterm-cli: Edit21 took \"7f\" as \"7F\"")) << qPrintable(r.err);
    EXPECT_EQ(r.drive->received(), QByteArray("\x7f"));
    r = cli({"run", "SET:Edit10=zz", "CMD:/1"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("cannot perform SET:Edit10=zz: Edit10 does not take \"zz\""))
        << qPrintable(r.err);
    EXPECT_FALSE(r.drive->received().contains("/1"));
}

TEST(CliActions, ADialogNoFileAnswersIsNamedAndFailsTheRun) {
    const CliOutcome r = cli({"run", "SET:Edit19=800", "SET:Edit20=1", "Button78"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(
        r.err.contains("hddterm-cli: no --file answers the dialog \"保存文件（Buffer）\"; it is cancelled"))
        << qPrintable(r.err);
    const CliOutcome unused = cli({"--file", "/tmp/a.bin", "--file", "/tmp/b.bin", "run", "CMD:/1"});
    EXPECT_EQ(unused.status, 0);
    EXPECT_TRUE(unused.err.contains("hddterm-cli: --file /tmp/a.bin was not used")) << qPrintable(unused.err);
}

// Every save key finds a folder that cannot take its file before it asks the drive anything.
TEST(CliFiles, ASaveIntoAMissingFolderIsAFileErrorWithPathAndReason) {
    QTemporaryDir dir;
    const QString file = dir.filePath("no/such/folder/out.bin");
    const QStringList keys[] = {
        {"SET:Edit19=800", "SET:Edit20=2", "Button78"},                                 // buffer
        {"SET:Edit10=1A", "SET:Edit11=0", "SET:Edit12=1", "SET:Edit14=0", "Button18"},  // track
        {"Button51"},                                                                   // APP module
        {"Button57"},                                                                   // reserve
    };
    for (const QStringList& actions : keys) {
        const CliOutcome r = cli(QStringList{"--file", file, "run"} + actions);
        EXPECT_EQ(r.status, 1) << qPrintable(actions.last());
        EXPECT_TRUE(r.err.contains("warning: 创建文件失败！ " + file + ": No such file or directory"))
            << qPrintable(r.err);
        EXPECT_FALSE(r.err.contains("读取数据错误"));
        EXPECT_FALSE(r.drive->received().contains('/')) << r.drive->received().toStdString();
        EXPECT_FALSE(QFile::exists(file));
    }
}

// A module key the drive cannot serve yet (CERT not loaded) did nothing: the run says so.
TEST(CliActions, AModuleKeyRefusedForWantOfCertFailsTheRun) {
    QTemporaryDir dir;
    const CliOutcome r = cli({"--file", dir.filePath("APP.trc"), "run", "Button51"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("请先加载Cert模块！(按^R加载Cert)")) << qPrintable(r.err);
    EXPECT_FALSE(QFile::exists(dir.filePath("APP.trc")));
}

TEST(CliOutput, JsonMakesOneObjectPerGet) {
    const CliOutcome r =
        cli({"--json", "run", "CMD:/1", "WAIT:300", "GET:edTx", "GET:ComboBox2.items", "GET:btnSwitch"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(
        r.out,
        "{\"name\":\"edTx\",\"value\":\"Tx:3\"}\n"
        "{\"name\":\"ComboBox2.items\",\"value\":\"9600,38400,57600,115200,230400,460800,625200,921600\"}\n"
        "{\"name\":\"btnSwitch\",\"value\":\"关闭串口\"}\n");
}

// Without auto-clear the console keeps its newest lines only; every line still reaches stderr once.
TEST(CliOutput, EveryConsoleLineIsPrintedOnceWhenTheOldestGoPastTheLimit) {
    hdd::VirtualClock clock;
    QString out, err;
    QTextStream o(&out), e(&err);
    const int total = hdd::Console::kMaxLines + 50;
    bool done = false;
    const int status = hdd::runCli({"run", "WAIT:20"}, o, e, clock, [&](hdd::MainModel& m) {
        m.port().setSystemPortLister([] { return QStringList(); });
        m.console().setAutoClear(false);
        clock.addPoller([&m, &done, total] {
            if (done || !m.port().isOpen()) return;
            done = true;
            for (int i = 0; i < total; ++i) m.console().addLine(QStringLiteral("L%1").arg(i));
        });
    });
    e.flush();
    EXPECT_EQ(status, 0);
    const QStringList lines = err.split('\n');
    const qsizetype first = lines.indexOf(QStringLiteral("L0"));
    ASSERT_GE(first, 0);
    ASSERT_GE(lines.size(), first + total);
    for (int i = 0; i < total; i += 997) EXPECT_EQ(lines[first + i], QStringLiteral("L%1").arg(i));
    EXPECT_EQ(lines[first + total - 1], QStringLiteral("L%1").arg(total - 1));
    EXPECT_EQ(lines.count(QStringLiteral("L%1").arg(total - 1)), 1);
}

TEST(CliOutput, KeysListsEveryControlWithCaptionKindAndForm) {
    CliOutcome r = cli({"keys"});
    EXPECT_EQ(r.status, 0);
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    EXPECT_TRUE(lines.contains("Button18\t读指定磁道\tbutton\tFrmMain"));
    EXPECT_TRUE(lines.contains("Edit10\t磁道:\tedit\tFrmMain"));
    EXPECT_TRUE(lines.contains("ComboBox3\t\tcombo,hidden\tFrmMain"));
    EXPECT_TRUE(lines.contains("Form4.Button9\t运行脚本\tbutton\tForm4"));
    for (const QString& l : lines) EXPECT_EQ(l.count('\t'), 3) << qPrintable(l);
    EXPECT_TRUE(r.drive->received().isEmpty());
    r = cli({"keys", "FrmMain"});
    const QStringList main = r.out.split('\n', Qt::SkipEmptyParts);
    EXPECT_TRUE(main.contains("Button18\t读指定磁道\tbutton\tFrmMain"));
    for (const QString& l : main) EXPECT_TRUE(l.endsWith("\tFrmMain")) << qPrintable(l);
    EXPECT_EQ(cli({"keys", "Form9"}).status, 2);
}

TEST(CliOutput, HelpAndVersion) {
    CliOutcome r = cli({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "hddterm-cli " HDDTERM_VERSION "\n");
    r = cli({"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* word : {"--port", "--baud", "--set", "--file", "--yes", "--no", "--log", "--json",
                             "--keep-speed", "ports", "keys [FORM]", "run ACTION", "script FILE"})
        EXPECT_TRUE(r.out.contains(QLatin1String(word))) << word;
    EXPECT_TRUE(r.drive == nullptr);  // nothing was started
}

// The man page and the README's command-line section name every option and verb --help names.
TEST(CliOutput, ManPageAndReadmeFollowTheHelp) {
    QFile man(HDDTERM_SOURCE_DIR "/man/hddterm-cli.1"), readme(HDDTERM_SOURCE_DIR "/README.md");
    ASSERT_TRUE(man.open(QIODevice::ReadOnly) && readme.open(QIODevice::ReadOnly));
    const QString page =
        QString::fromUtf8(man.readAll()).remove("\\fB").remove("\\fR").remove("\\fI").replace("\\-", "-");
    const QString text = QString::fromUtf8(readme.readAll());
    const QString section = text.mid(text.indexOf("## Command line"));
    static const QRegularExpression option("(--[a-z-]+)");
    auto it = option.globalMatch(hdd::cliHelp());
    int count = 0;
    while (it.hasNext()) {
        const QString o = it.next().captured(1);
        ++count;
        EXPECT_TRUE(page.contains(o)) << "man page lacks " << qPrintable(o);
        EXPECT_TRUE(section.contains(o)) << "README lacks " << qPrintable(o);
    }
    EXPECT_GE(count, 10);
    for (const char* verb :
         {"ports", "keys", "run", "script", "SET:", "CMD:", "KEYS:", "ENTER:", "WAIT:", "GET:"}) {
        EXPECT_TRUE(page.contains(QLatin1String(verb))) << verb;
        EXPECT_TRUE(section.contains(QLatin1String(verb))) << verb;
    }
}

TEST(CliSpeed, ABaudSelectionChangedByTheRunIsReturnedUnlessKept) {
    CliOutcome r = cli({"run", "SET:ComboBox2=115200", "CMD:/1", "WAIT:200", "GET:edStatus"});
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_EQ(r.out, "edStatus= STATUS: 模拟硬盘 (sim) Opened 115200 None 8 1\n");
    EXPECT_EQ(r.drive->baud, 9600);
    EXPECT_EQ(r.err.count("正在调整速率，请稍候........完成！"), 2);
    r = cli({"--keep-speed", "run", "SET:ComboBox2=115200"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.drive->baud, 115200);
    EXPECT_EQ(r.err.count("正在调整速率"), 1);
    // A speed an operation set afterwards is left as the operation ended it.
    QTemporaryDir dir;
    r = cli({"--file", dir.filePath("b.bin"), "run", "SET:ComboBox2=115200", "SET:ComboBox7=38400",
             "SET:Edit19=800", "SET:Edit20=1", "Button78"});
    EXPECT_EQ(r.err.count("正在调整速率"), 1) << qPrintable(r.err);
    EXPECT_EQ(r.drive->baud, 9600);
}

TEST(CliInterrupts, ASignalAbortsTheOperationWhichClosesAsUsual) {
    QTemporaryDir dir;
    for (int sig : {SIGINT, SIGTERM}) {
        hdd::Interrupts interrupts;
        hdd::CliEnv env;
        env.interrupts = &interrupts;
        const QString file = dir.filePath(QStringLiteral("b%1.bin").arg(sig));
        const CliOutcome r =
            cli({"--file", file, "run", "SET:Edit19=800", "SET:Edit20=40", "Button78", "CMD:/1"}, env,
                [&](hddsim::Drive& d) {
                    if (d.state<hddsim::BufferMemory>().dumps >= 3) interrupts.raise(sig);
                });
        EXPECT_EQ(r.status, 128 + sig);
        EXPECT_TRUE(r.err.contains("正在读取缓冲区......\n被用户中止！")) << qPrintable(r.err);
        EXPECT_TRUE(r.err.contains("hddterm-cli: interrupted by " + hdd::signalName(sig)));
        EXPECT_LE(r.drive->state<hddsim::BufferMemory>().dumps, 4);
        EXPECT_FALSE(r.drive->received().contains("/1\r"));  // the actions after it are not run
        EXPECT_EQ(r.drive->baud, 9600);
        EXPECT_EQ(r.drive->level, "T");
    }
}

TEST(CliProgress, ATerminalGetsOneLineRewrittenInPlace) {
    QTemporaryDir dir;
    const QStringList args = {"--file",         dir.filePath("b.bin"), "run",
                              "SET:Edit19=800", "SET:Edit20=8",        "Button78"};
    hdd::CliEnv tty;
    tty.terminal = true;
    CliOutcome r = cli(args, tty);
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    static const QRegularExpression line("\\r\\x1b\\[K +\\d+%  \\d+ bytes  [\\d.]+ KiB/s  \\d+:\\d\\d left");
    EXPECT_TRUE(line.match(r.err).hasMatch()) << qPrintable(r.err);
    EXPECT_TRUE(r.err.contains("100%"));
    EXPECT_TRUE(r.err.contains("\r\x1b[K正在读取缓冲区......成功！\n"));  // cleared before the next line
    r = cli(args);
    EXPECT_FALSE(r.err.contains('\r'));
    EXPECT_FALSE(r.err.contains("\x1b"));
}

TEST(CliProgress, ARomReadCountsTheBytesOfItsFile) {
    QTemporaryDir dir;
    hdd::CliEnv tty;
    tty.terminal = true;
    const CliOutcome r = cli({"rom", "read", dir.filePath("rom.bin")}, tty);
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_TRUE(r.err.contains("100%  65536 bytes  ")) << qPrintable(r.err);
}

TEST(CliLog, EveryByteSentAndReceivedWithTimeAndDirection) {
    QTemporaryDir dir;
    const QString log = dir.filePath("line.txt");
    const CliOutcome r = cli({"--log", log, "run", "CMD:/1", "WAIT:300"});
    EXPECT_EQ(r.status, 0);
    QFile f(log);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 5);
    EXPECT_TRUE(lines[0].startsWith("# hddterm transcript, started "));
    QString sent, received;
    static const QRegularExpression form("^\\d\\d:\\d\\d:\\d\\d\\.\\d{3} ([<>*]) (.*)$");
    for (const QString& l : lines.mid(1)) {
        const auto m = form.match(l);
        ASSERT_TRUE(m.hasMatch()) << qPrintable(l);
        if (m.captured(1) == ">") sent += m.captured(2);
        if (m.captured(1) == "<") received += m.captured(2);
    }
    EXPECT_GE(lines.indexOf(QRegularExpression(".* \\* opened sim 9600")), 0);
    EXPECT_GE(lines.indexOf(QRegularExpression(".* > /1\\\\x0D")), 0);
    EXPECT_EQ(sent, hdd::Transcript::escape(r.drive->received()));
    EXPECT_TRUE(received.contains("1>")) << qPrintable(received);
    EXPECT_EQ(hdd::Transcript::escape("a\\b\r\n\xff~ "), "a\\x5Cb\\x0D\\x0A\\xFF~ ");

    const CliOutcome bad = cli({"--log", dir.filePath("none/line.txt"), "run", "CMD:/1"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_TRUE(bad.err.contains("cannot write the log " + dir.filePath("none/line.txt") +
                                 ": No such file or directory"));
    EXPECT_TRUE(bad.drive->received().isEmpty());
}

// `script FILE` shows the script dialog, loads the file into its editor and runs it.
TEST(CliScript, AScriptFileRunsThroughTheScriptDialog) {
    QTemporaryDir dir;
    auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return f.fileName();
    };
    CliOutcome r = cli({"script", write("ok.cmd", "ECHO/hello\r\nSTR/e6\r\n")});
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_TRUE(r.err.split('\n').contains("hello")) << qPrintable(r.err);
    EXPECT_EQ(r.drive->received(), "e6\r\r");

    r = cli({"--keep-going", "script", write("bad.cmd", "HEX/ZZ\r\n")});  // run despite the check
    EXPECT_EQ(r.status, 1);  // a refused line is an error on the console

    r = cli({"script", dir.filePath("missing.cmd")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.startsWith("hddterm-cli: script: " + dir.filePath("missing.cmd") + ": "))
        << qPrintable(r.err);
    EXPECT_TRUE(r.drive->received().isEmpty());

    hdd::Interrupts interrupts;
    hdd::CliEnv env;
    env.interrupts = &interrupts;
    qint64 pulses = 0;
    r = cli({"script", write("long.cmd", "SLEEP/5000\r\nECHO/not reached\r\n")}, env, [&](hddsim::Drive&) {
        if (++pulses == 100) interrupts.raise(SIGINT);
    });
    EXPECT_EQ(r.status, 130);
    EXPECT_TRUE(r.err.contains("被用户中止！")) << qPrintable(r.err);
    EXPECT_FALSE(r.err.contains("not reached"));
}

TEST(CliPort, AMissingPortIsReportedOnceWithItsReason) {
    const CliOutcome r = cli({"--port", "/dev/hddterm-no-such-port", "run", "GET:edRx"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.count("选择的端口正在被使用或不存在！"), 1) << qPrintable(r.err);
    // The precise reason first, then the window's own message.
    const QString reason = "hddterm-cli: cannot open /dev/hddterm-no-such-port: does not exist\n";
    EXPECT_EQ(r.err.count(reason), 1) << qPrintable(r.err);
    EXPECT_LT(r.err.indexOf(reason), r.err.indexOf("选择的端口正在被使用或不存在！")) << qPrintable(r.err);
}

}  // namespace
