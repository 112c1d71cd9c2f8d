// hddterm-cli: the contract in-process on the virtual clock, and end to end against
// "hddsim --pty" (real time, kept short).
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "cli_run.h"
#include "cli_runner.h"
#include "clock.h"
#include "drive.h"
#include "harness.h"
#include "main_model.h"
#include "text.h"

namespace {

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

CliRun runInProcess(const QStringList& args, const std::function<void(hdd::MainModel&)>& extra = {}) {
    return runCliInProcess(args, [&](hdd::MainModel& m, hdd::Clock&) {
        if (extra) extra(m);
    });
}

TEST(CliContract, PortsListsTheSimulatedDriveLast) {
    const CliRun r = runInProcess({"ports"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "sim\n");
}

TEST(CliContract, RunOpensActsGetsAndCloses) {
    const CliRun r =
        runInProcess({"run", "CMD:/1", "WAIT:300", "GET:edStatus", "GET:ComboBox2.items", "GET:btnSwitch",
                      "GET:CheckBox1", "GET:CMD.enabled", "GET:ComboBox1.enabled", "GET:edTx"});
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_EQ(r.out,
              "edStatus= STATUS: 模拟硬盘 (sim) Opened 9600 None 8 1\n"
              "ComboBox2.items=9600,38400,57600,115200,230400,460800,625200,921600\n"
              "btnSwitch=关闭串口\n"
              "CheckBox1=1\n"
              "CMD.enabled=1\n"
              "ComboBox1.enabled=0\n"
              "edTx=Tx:3\n");
    const QStringList lines = r.err.split('\n');
    EXPECT_EQ(lines.value(0), "cli_test");  // the banner starts with the program's name
    EXPECT_TRUE(lines.contains("/1")) << qPrintable(r.err);
    EXPECT_TRUE(lines.contains("1>")) << qPrintable(r.err);
}

TEST(CliContract, BaudAndSetApplyBeforeOpening) {
    const CliRun r =
        runInProcess({"--baud", "115200", "--set", "CheckBox1=0", "run", "GET:edStatus", "GET:CheckBox1"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "edStatus= STATUS: 模拟硬盘 (sim) Opened 115200 None 8 1\nCheckBox1=0\n");
}

TEST(CliContract, KeysTypesRawCodes) {
    std::shared_ptr<hddsim::Drive> drive;
    const CliRun r =
        runInProcess({"run", "KEYS:1a03", "SET:RadioButton2=1", "SET:Edit21=7f", "ENTER:Edit21"},
                     [&](hdd::MainModel& m) { drive = hddtest::simDrive(m).shared_from_this(); });
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_EQ(drive->received(), QByteArray("\x1a\x03\x7f"));
}

// The drive's own words are not judged: a typed command that the drive answers with an error line
// is the technician's dialogue, not an operation that failed.
TEST(CliContract, AnErrorLineOfTheDriveIsNotJudged) {
    const CliRun r = runInProcess({"run", "CMD:fail", "WAIT:200"}, [](hdd::MainModel& m) {
        hddtest::simDrive(m).addLineHandler([](hddsim::Drive& d, const QByteArray& line) {
            if (line != "fail") return false;
            d.printLine(hdd::toGbk(QStringLiteral("错误: 模拟故障")));
            d.prompt();
            return true;
        });
    });
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.err.contains("错误: 模拟故障"));
}

TEST(CliContract, UsageErrorsAndUnopenablePortsExitWithTwo) {
    EXPECT_EQ(runInProcess({}).status, 2);
    EXPECT_EQ(runInProcess({"frobnicate"}).status, 2);
    EXPECT_EQ(runInProcess({"--bogus", "run"}).status, 2);
    EXPECT_EQ(runInProcess({"run", "NoSuchKey"}).status, 2);
    EXPECT_EQ(runInProcess({"run", "WAIT:abc"}).status, 2);
    EXPECT_EQ(runInProcess({"--baud", "12345", "run"}).status, 2);
    const CliRun r = runInProcess({"--port", "/dev/hddterm-no-such-port", "run", "GET:edRx"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.contains("message: 选择的端口正在被使用或不存在！"));
}

// End to end: the simulated drive on a pseudo-terminal, the CLI as a separate process.
// verify: a good folder, one with a changed module, one that lost a module, one with no list.
TEST(CliContract, VerifyChecksAFolderAgainstItsSums) {
    struct Row {
        const char* name;
        std::function<void(const QString&)> spoil;
        int status;
        QString out;
    };
    const Row rows[] = {
        {"good", [](const QString&) {}, 0, "APP.BIN: OK\nSN.TXT: OK\n"},
        {"tampered", [](const QString& d) { writeBytes(d + "/APP.BIN", "APX"); }, 1,
         "APP.BIN: FAILED\nSN.TXT: OK\n"},
        {"incomplete", [](const QString& d) { QFile::remove(d + "/SN.TXT"); }, 1,
         "APP.BIN: OK\nSN.TXT: MISSING\n"},
        {"unlisted", [](const QString& d) { QFile::remove(d + "/SHA256SUMS"); }, 2, ""},
    };
    for (const Row& row : rows) {
        QTemporaryDir dir;
        writeBytes(dir.path() + "/APP.BIN", "APP");
        writeBytes(dir.path() + "/SN.TXT", "5JV8XK2L\r\n");
        writeBytes(dir.path() + "/SHA256SUMS",
                   QCryptographicHash::hash("APP", QCryptographicHash::Sha256).toHex() + "  APP.BIN\n" +
                       QCryptographicHash::hash("5JV8XK2L\r\n", QCryptographicHash::Sha256).toHex() +
                       "  SN.TXT\n");
        row.spoil(dir.path());
        const CliRun r = runInProcess({"verify", dir.path()});
        EXPECT_EQ(r.status, row.status) << row.name << qPrintable(r.err);
        EXPECT_EQ(r.out, row.out) << row.name;
    }
}

TEST(CliOverPty, TypedCommandsAndReadouts) {
    QProcess sim;
    sim.start(QStringLiteral(HDDTERM_BIN_DIR "/hddsim"), {"--pty"});
    ASSERT_TRUE(sim.waitForReadyRead(5000));
    const QString device = QString::fromLatin1(sim.readLine()).trimmed();
    ASSERT_TRUE(device.startsWith("/dev/")) << qPrintable(device);

    QProcess cli;
    cli.start(QStringLiteral(HDDTERM_BIN_DIR "/hddterm-cli"),
              {"--port", device, "run", "CMD:/2", "WAIT:300", "CMD:/", "WAIT:300", "GET:edStatus",
               "GET:ComboBox2.items"});
    ASSERT_TRUE(cli.waitForFinished(20000));
    const QString out = QString::fromUtf8(cli.readAllStandardOutput());
    const QString err = QString::fromUtf8(cli.readAllStandardError());
    sim.kill();
    sim.waitForFinished();
    EXPECT_EQ(cli.exitCode(), 0) << qPrintable(err);
    EXPECT_EQ(out, QStringLiteral("edStatus= STATUS: %1 Opened 9600 None 8 1\n"
                                  "ComboBox2.items=9600,38400,57600,115200,230400,460800,625200,921600\n")
                       .arg(device));
    const QStringList lines = err.split('\n');
    EXPECT_TRUE(lines.contains("2>/")) << qPrintable(err);  // the next command is echoed after the prompt
    EXPECT_TRUE(lines.contains("T>")) << qPrintable(err);
}

}  // namespace
