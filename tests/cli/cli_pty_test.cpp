// hddterm-cli as a process against "hddsim --pty" on the wall clock (kept short): signals, port
// errors, and the help of the three programs.
#include <gtest/gtest.h>
#include <unistd.h>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>

namespace {

const QString kBin = QStringLiteral(HDDTERM_BIN_DIR);

class PtyDrive {
public:
    explicit PtyDrive(const QStringList& options = {}) {
        sim_.start(kBin + "/hddsim", QStringList{"--pty"} + options);
        if (sim_.waitForReadyRead(5000)) device = QString::fromLatin1(sim_.readLine()).trimmed();
    }
    ~PtyDrive() {
        sim_.kill();
        sim_.waitForFinished();
    }
    QString device;

private:
    QProcess sim_;
};

// A CLI process.
class Cli {
public:
    explicit Cli(const QStringList& args, const QString& program = kBin + "/hddterm-cli") {
        p.start(program, args);
        p.waitForStarted();
    }
    ~Cli() {
        if (p.state() != QProcess::NotRunning) {
            p.kill();
            p.waitForFinished();
        }
    }
    // Waits until a file (the run's --log) holds a text.
    bool logged(const QString& log, const QString& text, int ms = 10000) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms && p.state() == QProcess::Running) {
            QFile f(log);
            if (f.open(QIODevice::ReadOnly) && QString::fromUtf8(f.readAll()).contains(text)) return true;
            QThread::msleep(20);
        }
        return false;
    }
    void signal(int sig) { ::kill(static_cast<pid_t>(p.processId()), sig); }
    int finish(int ms = 20000) {
        if (!p.waitForFinished(ms)) return -1;
        err += QString::fromUtf8(p.readAllStandardError());
        out += QString::fromUtf8(p.readAllStandardOutput());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    }
    QProcess p;
    QString err, out;
};

TEST(CliSignals, SigintAbortsAReadAndLeavesTheDriveUsable) {
    PtyDrive drive;
    ASSERT_TRUE(drive.device.startsWith("/dev/"));
    QTemporaryDir dir;
    const QString log = dir.filePath("line.txt");
    Cli cli({"--port", drive.device, "--log", log, "--file", dir.filePath("b.bin"), "run",
             "SET:ComboBox7=115200", "SET:Edit19=100", "SET:Edit20=200", "Button78", "CMD:/1"});
    ASSERT_TRUE(cli.logged(log, "> B103,103"));
    cli.signal(SIGINT);
    EXPECT_EQ(cli.finish(), 130) << qPrintable(cli.err);
    EXPECT_TRUE(cli.err.contains("被用户中止！")) << qPrintable(cli.err);
    EXPECT_TRUE(cli.err.contains("hddterm-cli: interrupted by SIGINT"));
    EXPECT_FALSE(cli.err.contains("\n1>"));  // the actions after the interrupted one are not run
    // The link went back to 9600: the next run talks to the drive at once.
    Cli next({"--port", drive.device, "run", "CMD:/", "WAIT:300"});
    EXPECT_EQ(next.finish(), 0) << qPrintable(next.err);
    EXPECT_TRUE(next.err.split('\n').contains("T>")) << qPrintable(next.err);
}

TEST(CliSignals, SigtermEndsAWaitWith143) {
    PtyDrive drive;
    QTemporaryDir dir;
    const QString log = dir.filePath("line.txt");
    Cli cli({"--port", drive.device, "--log", log, "run", "WAIT:20000"});
    ASSERT_TRUE(cli.logged(log, "* opened " + drive.device));
    QThread::msleep(200);
    QElapsedTimer t;
    t.start();
    cli.signal(SIGTERM);
    EXPECT_EQ(cli.finish(), 143);
    EXPECT_LT(t.elapsed(), 3000);
}

// On a silent drive the closing steps after an abort wait long; a second signal does not wait.
TEST(CliSignals, ASecondSignalEndsTheProcessAtOnce) {
    PtyDrive drive({"--silent"});
    QTemporaryDir dir;
    const QString log = dir.filePath("line.txt");
    Cli cli({"--port", drive.device, "--log", log, "--file", dir.filePath("b.bin"), "run", "SET:Edit19=100",
             "SET:Edit20=2", "Button78"});
    ASSERT_TRUE(cli.logged(log, "> \\x1A"));  // the key is forcing a prompt from the silent drive
    cli.signal(SIGINT);
    EXPECT_FALSE(cli.p.waitForFinished(500));  // still closing
    QElapsedTimer t;
    t.start();
    cli.signal(SIGINT);
    EXPECT_EQ(cli.finish(5000), 130);
    EXPECT_LT(t.elapsed(), 1500);
}

TEST(CliPortErrors, APortHeldByAnotherProgramIsInUse) {
    PtyDrive drive;
    QSerialPort holder;
    holder.setPortName(drive.device);
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
    Cli cli({"--port", drive.device, "run", "GET:edRx"});
    EXPECT_EQ(cli.finish(), 2);
    EXPECT_EQ(cli.err.count("选择的端口正在被使用或不存在！"), 1) << qPrintable(cli.err);
    EXPECT_TRUE(cli.err.contains("hddterm-cli: cannot open " + drive.device + ": in use by another program"))
        << qPrintable(cli.err);
    EXPECT_TRUE(cli.out.isEmpty());
}

// A pseudo-terminal belongs to its owner and the tty group: another user may not open it.
TEST(CliPortErrors, APortTheUserMayNotOpenNamesTheGroupToJoin) {
    if (::geteuid() != 0 || !QFile::exists("/usr/bin/setpriv")) GTEST_SKIP() << "needs root and setpriv";
    PtyDrive drive;
    Cli cli({"--reuid=65534", "--regid=65534", "--clear-groups", kBin + "/hddterm-cli", "--port",
             drive.device, "run", "GET:edRx"},
            "/usr/bin/setpriv");
    EXPECT_EQ(cli.finish(), 2) << qPrintable(cli.err);
    EXPECT_EQ(cli.err.count("选择的端口正在被使用或不存在！"), 1) << qPrintable(cli.err);
    EXPECT_TRUE(cli.err.contains("hddterm-cli: cannot open " + drive.device +
                                 ": permission denied (join the group that owns the device, "))
        << qPrintable(cli.err);
}

// --help and --version of the three programs, the GUI's without a display; each option of a
// program's help is in its manual page.
TEST(ProgramHelp, HelpVersionAndManPages) {
    for (const QString program : {"hddterm", "hddterm-cli", "hddsim"}) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("QT_QPA_PLATFORM");
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        p.setProcessEnvironment(env);
        p.start(kBin + "/" + program, {"--version"});
        ASSERT_TRUE(p.waitForFinished(10000));
        EXPECT_EQ(p.exitCode(), 0) << qPrintable(program);
        EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()), program + " " HDDTERM_VERSION "\n");
        p.start(kBin + "/" + program, {"--help"});
        ASSERT_TRUE(p.waitForFinished(10000));
        EXPECT_EQ(p.exitCode(), 0) << qPrintable(program);
        const QString help = QString::fromUtf8(p.readAllStandardOutput());
        EXPECT_TRUE(help.startsWith("usage: " + program)) << qPrintable(help);
        QFile man(QStringLiteral(HDDTERM_SOURCE_DIR "/man/%1.1").arg(program));
        ASSERT_TRUE(man.open(QIODevice::ReadOnly)) << qPrintable(man.fileName());
        const QString page = QString::fromUtf8(man.readAll()).replace("\\-", "-");
        static const QRegularExpression option("(--[a-z-]+)");
        for (auto it = option.globalMatch(help); it.hasNext();) {
            const QString o = it.next().captured(1);
            EXPECT_TRUE(page.contains(o)) << qPrintable(program) << " man page lacks " << qPrintable(o);
        }
    }
}

}  // namespace
