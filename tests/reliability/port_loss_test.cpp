// The tool against hddsim on a pseudo-terminal, as separate processes and in real time: the far end
// vanishing in the middle of an operation, hddterm-cli interrupted and terminated, and processes
// killed while they write files.
#include <gtest/gtest.h>
#include <signal.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <random>

#include "buffer_memory.h"
#include "reliability_support.h"

using namespace hddtest;

namespace {

const QString kBin = QStringLiteral(HDDTERM_BIN_DIR);
const QString kLost = QStringLiteral("错误: 串口连接已断开！");

// hddsim serving a pseudo-terminal for as long as the object lives (or until it is killed).
struct PtyDrive {
    PtyDrive() {
        sim.start(kBin + "/hddsim", {"--pty"});
        if (sim.waitForReadyRead(10000)) device = QString::fromLatin1(sim.readLine()).trimmed();
    }
    ~PtyDrive() {
        if (sim.state() != QProcess::NotRunning) {
            sim.kill();
            sim.waitForFinished();
        }
    }
    QProcess sim;
    QString device;
};

struct CliRun {
    void start(const QStringList& args) {
        cli.start(kBin + "/hddterm-cli", args);
        cli.waitForStarted();
        clock.start();
    }
    // Waits up to ms for the end; true when it came.
    bool finish(int ms) {
        const bool done = cli.waitForFinished(ms);
        err = QString::fromUtf8(cli.readAllStandardError());
        out = QString::fromUtf8(cli.readAllStandardOutput());
        return done;
    }
    QProcess cli;
    QElapsedTimer clock;
    QString err, out;
};

// The operations the far end vanishes from. Each ends with "GET:edRx", which a run that goes on
// after the loss would print.
QStringList operation(int kind, const QString& device, const QString& dir) {
    const QStringList port = {"--port", device};
    switch (kind) {
        case 0:  // buffer read
            return port + QStringList{"--set",          "Edit19=800", "--set",    "Edit20=200", "--file",
                                      dir + "/buf.bin", "run",        "Button78", "GET:edRx"};
        case 1:  // track write
            writeFile(dir + "/t.trc", pattern(0x300 * 512, 3));
            return port + QStringList{"--set",    "Edit10=3A", "--set",      "Edit14=0", "--set",
                                      "Edit11=0", "--set",     "Edit12=300", "--file",   dir + "/t.trc",
                                      "run",      "Button19",  "GET:edRx"};
        case 2:  // backup
            return port + QStringList{"--file", dir, "run", "Form6.Button51", "Form6.Button7", "GET:edRx"};
        default:  // script
            return port + QStringList{"run", "SET:Form4.Memo1=R_BUF/800/200/" + dir + "/s.bin",
                                      "Form4.Button9", "GET:edRx"};
    }
}

class PortLoss : public ::testing::TestWithParam<int> {};

// Five trials of one kind, the drive killed 0.5 to 2 s into the run.
TEST_P(PortLoss, TheToolReportsTheLossAtOnceAndTheCliStops) {
    std::mt19937 rng(static_cast<unsigned>(GetParam() + 1));
    qint64 slowest = 0;
    for (int trial = 0; trial < 5; ++trial) {
        QTemporaryDir dir;
        PtyDrive drive;
        ASSERT_FALSE(drive.device.isEmpty());
        CliRun run;
        run.start(operation(GetParam(), drive.device, dir.path()));
        const int delay = 500 + static_cast<int>(rng() % 1500);
        ASSERT_FALSE(run.cli.waitForFinished(delay))
            << "the operation ended before the drive vanished:\n"
            << qPrintable(QString::fromUtf8(run.cli.readAllStandardError()));
        drive.sim.kill();
        QElapsedTimer lost;
        lost.start();
        ASSERT_TRUE(run.finish(10000)) << "hddterm-cli hangs after the loss";
        const qint64 ms = lost.elapsed();
        slowest = std::max(slowest, ms);
        const std::string what = "kind " + std::to_string(GetParam()) + ", trial " + std::to_string(trial) +
                                 ", killed after " + std::to_string(delay) + " ms:\n" + run.err.toStdString();
        EXPECT_LT(ms, 2000) << what;
        EXPECT_EQ(run.cli.exitStatus(), QProcess::NormalExit) << what;
        EXPECT_EQ(run.cli.exitCode(), 1) << what;
        EXPECT_TRUE(run.err.split('\n').contains(kLost)) << what;
        EXPECT_FALSE(run.out.contains("edRx=")) << "the run went on after the loss: " << what;
        EXPECT_FALSE(run.err.contains("cannot perform")) << what;
        // A buffer read keeps whole blocks only.
        if (QFile::exists(dir.filePath("buf.bin"))) {
            EXPECT_EQ(QFileInfo(dir.filePath("buf.bin")).size() % 512, 0);
        }
    }
    std::printf("port loss, kind %d: 5 trials, the slowest ended %lld ms after the loss\n", GetParam(),
                static_cast<long long>(slowest));
}

INSTANTIATE_TEST_SUITE_P(BufferReadTrackWriteBackupScript, PortLoss, ::testing::Values(0, 1, 2, 3));

// SIGINT acts as the abort key, SIGTERM too; either way the port is closed through the operation's
// closing steps, the exit status says which signal came, and a file under its final name is whole:
// the earlier file, or blocks read in full.
TEST(Signals, InterruptAndTerminateLeaveWholeFilesAndANonZeroStatus) {
    const hddsim::BufferMemory memory;
    for (const int sig : {SIGINT, SIGTERM}) {
        QTemporaryDir dir;
        PtyDrive drive;
        ASSERT_FALSE(drive.device.isEmpty());
        const QString buf = dir.filePath("buf.bin"), track = dir.filePath("track.trc");
        writeFile(buf, "an earlier read");
        writeFile(track, "an earlier track");
        CliRun run;
        run.start({"--port", drive.device, "--set", "Edit19=800", "--set", "Edit20=200", "--set", "Edit10=3A",
                   "--set", "Edit14=0", "--set", "Edit11=0", "--set", "Edit12=300", "--file",
                   sig == SIGINT ? buf : track, "run", sig == SIGINT ? "Button78" : "Button18"});
        ASSERT_FALSE(run.cli.waitForFinished(1500));
        ::kill(static_cast<pid_t>(run.cli.processId()), sig);
        ASSERT_TRUE(run.finish(20000)) << "no end after the signal";
        EXPECT_EQ(run.cli.exitCode(), sig == SIGINT ? 130 : 143) << qPrintable(run.err);
        const QByteArray got = readAll(sig == SIGINT ? buf : track);
        if (sig == SIGINT && got != "an earlier read") {
            EXPECT_EQ(got.size() % 512, 0);
            EXPECT_TRUE(got == memory.bytes.mid(0x800 * 512, got.size()))
                << "blocks that are not the drive's";
        }
        // A track read keeps no file of a read that did not finish.
        if (sig == SIGTERM) {
            EXPECT_EQ(got, "an earlier track");
        }
    }
}

// A process killed while it saves leaves the earlier file, or the new one whole: never a part.
TEST(KilledSaves, AKilledSaveLeavesTheEarlierFileWhole) {
    QTemporaryDir dir;
    const QString file = dir.filePath("saved.bin");
    const qsizetype size = 8 * 1024 * 1024;
    std::mt19937 rng(3);
    for (int trial = 0; trial < 8; ++trial) {
        QProcess child;
        child.start(kBin + "/reliability_save_child", {file, "8"});
        ASSERT_TRUE(child.waitForReadyRead(20000));  // the file exists, whole, from here on
        QThread::msleep(static_cast<unsigned long>(rng() % 300));
        child.kill();
        child.waitForFinished();
        const QByteArray got = readAll(file);
        ASSERT_EQ(got.size(), size) << "trial " << trial;
        EXPECT_TRUE(got == QByteArray(size, got[0]) && (got[0] == 'A' || got[0] == 'B')) << "trial " << trial;
    }
}

// hddterm-cli killed outright during a buffer read: the file it was to replace is untouched.
TEST(KilledSaves, ACliKilledDuringAReadLeavesTheEarlierFile) {
    QTemporaryDir dir;
    PtyDrive drive;
    ASSERT_FALSE(drive.device.isEmpty());
    const QString buf = dir.filePath("buf.bin");
    writeFile(buf, "an earlier read");
    CliRun run;
    run.start({"--port", drive.device, "--set", "Edit19=800", "--set", "Edit20=200", "--file", buf, "run",
               "Button78"});
    ASSERT_FALSE(run.cli.waitForFinished(1500));
    run.cli.kill();
    run.finish(5000);
    EXPECT_EQ(readAll(buf), "an earlier read");
}

}  // namespace
