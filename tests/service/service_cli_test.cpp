// The service keys end to end: hddsim on a pseudo-terminal, hddterm-cli as a separate process
// (real time, kept short).
#include <gtest/gtest.h>
#include <QProcess>

namespace {

struct CliRun {
    int status = -1;
    QString out;
    QString err;
};

CliRun runAgainstSim(const QStringList& simArgs, const QStringList& cliArgs) {
    QProcess sim;
    sim.start(QStringLiteral(HDDTERM_BIN_DIR "/hddsim"), QStringList{"--pty"} + simArgs);
    CliRun r;
    if (!sim.waitForReadyRead(5000)) return r;
    const QString device = QString::fromLatin1(sim.readLine()).trimmed();
    QProcess cli;
    cli.start(QStringLiteral(HDDTERM_BIN_DIR "/hddterm-cli"), QStringList{"--port", device, "run"} + cliArgs);
    const bool finished = cli.waitForFinished(30000);
    sim.kill();
    sim.waitForFinished();
    if (!finished) return r;
    r.status = cli.exitCode();
    r.out = QString::fromUtf8(cli.readAllStandardOutput());
    r.err = QString::fromUtf8(cli.readAllStandardError());
    return r;
}

TEST(ServiceOverPty, ListViewSwitch50AndTheSwitchToF) {
    const CliRun r =
        runAgainstSim({"--set", "restart.ms=100"},
                      {"Button66", "WAIT:1000", "Button10", "Button24", "GET:ComboBox2", "GET:edStatus"});
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    const QStringList lines = r.err.split('\n');
    EXPECT_TRUE(r.err.contains("P-List: 4 entries")) << qPrintable(r.err);
    EXPECT_TRUE(r.err.contains("N50,,22")) << qPrintable(r.err);  // echoed by the drive
    EXPECT_TRUE(lines.contains(QStringLiteral("转换至F级...........成功！"))) << qPrintable(r.err);
    EXPECT_TRUE(r.out.startsWith("ComboBox2=9600\n")) << qPrintable(r.out);
}

TEST(ServiceOverPty, GuardOnADriveHeldAtLevelOneFailsTheRun) {
    const CliRun r = runAgainstSim({"--stuck-level", "1"}, {"Button54"});
    EXPECT_EQ(r.status, 1) << qPrintable(r.err);
    EXPECT_TRUE(r.err.split('\n').contains(QStringLiteral("错误: 请先切换至T级！"))) << qPrintable(r.err);
    EXPECT_FALSE(r.err.contains("SMART cleared"));
}

}  // namespace
