// Fast waits, the adapter latency model, the bounded console and the fast switch of the window
// and the CLI. The core of it: the same operations in both wait modes against the simulated drive
// must put the same bytes on the line and write the same files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTimer>

#include "cli_runner.h"
#include "qt_serial_backend.h"
#include "transfer_support.h"

using namespace hddtest;

namespace {

// A chunk that reaches the dialogue at a given virtual time, announced to the clock as the
// simulated drive announces its bytes.
void deliverAt(Harness& h, qint64 atUs, const QByteArray& chunk) {
    auto done = std::make_shared<bool>(false);
    h.clock.addArrivalSource([done, atUs] { return *done ? -1 : atUs; });
    h.clock.addPoller([&h, done, atUs, chunk] {
        if (*done || h.clock.nowUs() < atUs) return;
        *done = true;
        h.dlg().dispatch(chunk);
    });
}

// --- the waits ---

struct WaitCase {
    const char* name;
    QByteArray chunk;  // what arrives: a prompt, an acknowledgement or a handshake
    int n;
    qint64 arrivalUs;  // -1: nothing comes
    bool seen;
    qint64 pulseEndUs, fastEndUs;
};

class Waits : public ::testing::TestWithParam<WaitCase> {};

TEST_P(Waits, FastModeSeesWhatThePulseModeSeesAndEndsAtTheArrival) {
    const WaitCase& c = GetParam();
    for (bool fast : {false, true}) {
        Harness h;
        h.dlg().setFastWaits(fast);
        const qint64 t0 = h.clock.nowUs();
        if (c.arrivalUs >= 0) deliverAt(h, t0 + c.arrivalUs, c.chunk);
        const bool seen = c.chunk.endsWith('>')                          ? h.dlg().WaitHD(c.n)
                          : c.chunk.startsWith('w') || c.chunk == "\x88" ? h.dlg().WaitWB(c.n)
                                                                         : h.dlg().WaitWE(c.n);
        EXPECT_EQ(seen, c.seen) << (fast ? "fast" : "pulse");
        EXPECT_EQ(h.clock.nowUs() - t0, fast ? c.fastEndUs : c.pulseEndUs) << (fast ? "fast" : "pulse");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Speed, Waits,
    ::testing::Values(WaitCase{"PromptInTheFirstPulse", "\r\nT>", 1, 5'000, true, 10'000, 5'000},
                      WaitCase{"PromptAtTheLastCheck", "\r\nT>", 1, 10'000, true, 10'000, 10'000},
                      // After the last check: neither mode counts it, both give up after n+1 pulses.
                      WaitCase{"PromptAfterTheLastCheck", "\r\nT>", 1, 15'000, false, 20'000, 20'000},
                      WaitCase{"NothingComes", "\r\nT>", 0, -1, false, 10'000, 10'000},
                      WaitCase{"AlreadyWaiting", "\r\nT>", 0, 0, true, 0, 0},
                      WaitCase{"WholeAcknowledgement", "w\x88", 1500, 3'210'123, true, 3'220'000, 3'210'123},
                      // Its second half may follow: the fast wait takes it in until the pulse would end.
                      WaitCase{"HalfAnAcknowledgement", "w", 1500, 3'210'123, true, 3'220'000, 3'220'000},
                      WaitCase{"Handshake", "\x06", 200, 700, true, 10'000, 700},
                      WaitCase{"NoHandshake", "\x06", 5, -1, false, 60'000, 60'000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FastWaits, PumpWaitKeepsItsLength) {
    for (bool fast : {false, true}) {
        Harness h;
        h.dlg().setFastWaits(fast);
        const qint64 t0 = h.clock.nowUs();
        deliverAt(h, t0 + 5'000, "\r\nT>");
        h.dlg().PumpWait(3);
        EXPECT_EQ(h.clock.nowUs() - t0, 30'000);
        EXPECT_EQ(h.dlg().LastPrompt, "T>");
        EXPECT_EQ(h.dlg().waitStats().pumpUs, 30'000);
    }
}

TEST(FastWaits, ClosingTheWindowEndsAFastWaitAtOnce) {
    Harness h;
    h.open();
    h.dlg().setFastWaits(true);
    const qint64 closeAt = h.clock.nowUs() + 30'000;
    h.clock.addArrivalSource([&h, closeAt] { return h.dlg().shuttingDown() ? -1 : closeAt; });
    h.clock.addPoller([&h, closeAt] {
        if (h.clock.nowUs() >= closeAt && !h.dlg().shuttingDown()) h.dlg().beginShutdown();
    });
    h.drive->faults.silent = true;
    h.dlg().SendString("\x1a");
    EXPECT_FALSE(h.dlg().WaitHD(1500));
    EXPECT_EQ(h.clock.nowUs(), closeAt);
}

TEST(FastWaits, APromptWaitOnTheSimulatedDriveEndsWithTheChunkThatBringsThePrompt) {
    Harness h;
    h.open();
    hdd::AdMySpeed(h.dlg(), "115200");
    h.dlg().setFastWaits(true);
    for (int i = 0; i < 3; ++i) {  // one prompt in three comes with a gap before its ">"
        qint64 promptAt = -1;
        const qint32 rx = h.dlg().RxTotal;
        const auto c = QObject::connect(&h.dlg(), &hdd::Dialogue::countersChanged, [&] {
            if (promptAt < 0 && h.dlg().RxTotal != rx && !h.dlg().LastPrompt.isEmpty())
                promptAt = h.clock.nowUs();
        });
        const qint64 t0 = h.clock.nowUs();
        h.dlg().SendString("/\r");
        ASSERT_TRUE(h.dlg().WaitHD(50));
        QObject::disconnect(c);
        // Two byte times of quiet line after the prompt, and no pulse.
        EXPECT_GE(h.clock.nowUs(), promptAt);
        EXPECT_LE(h.clock.nowUs() - promptAt, 2 * hddsim::Drive::byteTimeUs(115200));
        EXPECT_LT(h.clock.nowUs() - t0, 20'000);
    }
}

// --- the adapter latency model ---

TEST(AdapterLatency, TheDrivesOutputReachesTheHostOnlyOnTheTimersTicks) {
    for (int latencyMs : {1, 16}) {
        Harness h;
        h.drive->latencyUs = latencyMs * 1000;
        h.open();
        hdd::AdMySpeed(h.dlg(), "921600");
        h.dlg().setFastWaits(true);
        QList<qint64> arrivals;
        qint32 rx = h.dlg().RxTotal;
        QObject::connect(&h.dlg(), &hdd::Dialogue::countersChanged, [&] {
            if (h.dlg().RxTotal != rx) arrivals << h.clock.nowUs();
            rx = h.dlg().RxTotal;
        });
        for (int i = 0; i < 5; ++i) {
            h.dlg().SendString("/\r");
            ASSERT_TRUE(h.dlg().WaitHD(50));
        }
        ASSERT_FALSE(arrivals.isEmpty());
        for (qint64 at : arrivals) {
            if (at % (latencyMs * 1000) != 0) ADD_FAILURE() << latencyMs << " ms: a chunk at " << at;
        }
    }
}

TEST(AdapterLatency, ByteTimesOnTheDriveAreRoundedUpToTheNextTick) {
    hddsim::Drive d;
    hddsim::installAllCommands(d);
    d.faults.splitPromptEvery = 0;
    d.latencyUs = 16'000;
    d.hostWrite("/\r", 0, 9600);
    d.advance(40'000);
    EXPECT_EQ(d.nextArrivalUs(), 16'000);
    EXPECT_EQ(d.hostWaiting(15'999), 0);
    EXPECT_EQ(d.hostRead(15'999, 9600), "");
    EXPECT_EQ(d.hostRead(16'000, 9600), "/\r\nT>");
    EXPECT_EQ(d.nextEventUs(16'000), -1);
}

// On a pseudo-terminal hddsim writes its output in bursts: a burst is due when its last byte is on
// the line, and ends early where the line falls quiet (here the ">" of a prompt that comes late).
TEST(PtyBursts, ABurstEndsAtItsSizeOrWhereTheLineFallsQuiet) {
    for (const int split : {0, 1}) {
        hddsim::Drive d;
        hddsim::installAllCommands(d);
        d.faults.splitPromptEvery = split;
        const qint64 byte = hddsim::Drive::byteTimeUs(9600);
        d.hostWrite("/\r", 0, 9600);
        EXPECT_EQ(d.inputDueUs(), byte + hddsim::Drive::kAnswerDelayUs / 2);
        d.advance(5'000);
        const qint64 first = d.nextArrivalUs();  // "/\r\nT>"
        EXPECT_EQ(d.burstDueUs(2), first + byte);
        EXPECT_EQ(d.burstDueUs(64), first + (split ? 3 : 4) * byte) << split;
    }
}

// --- the console ---

TEST(BoundedConsole, WithoutAutoClearTheOldestLinesGoPastTheLimit) {
    hdd::Console c;
    c.setAutoClear(false);
    QSignalSpy dropped(&c, &hdd::Console::headDropped);
    QSignalSpy tail(&c, &hdd::Console::tailChanged);
    QByteArray thousand;
    for (int i = 0; i < 1000; ++i) thousand += "line " + QByteArray::number(i) + "\r\n";
    for (int k = 0; k < 100; ++k) c.insertChunk(thousand);
    EXPECT_EQ(c.lineCount(), hdd::Console::kMaxLines);
    EXPECT_TRUE(dropped.isEmpty());
    c.insertChunk("tail without break");
    EXPECT_EQ(c.lineCount(), hdd::Console::kMaxLines);
    ASSERT_EQ(dropped.size(), 1);
    EXPECT_EQ(dropped.takeFirst().at(0).toInt(), 1);
    EXPECT_EQ(c.line(0), "line 1");
    EXPECT_EQ(c.lastLine(), "tail without break");
    EXPECT_EQ(tail.last().at(0).toInt(), hdd::Console::kMaxLines - 1);  // the index after the drop
    c.addLine(QStringLiteral("完成"));
    EXPECT_EQ(c.lineCount(), hdd::Console::kMaxLines);
    EXPECT_EQ(c.line(0), "line 2");
    // A 250-byte line still wraps into three, and the three oldest lines make room.
    c.insertChunk(QByteArray(250, 'x') + "\r\n");
    EXPECT_EQ(c.line(0), "line 5");
    EXPECT_EQ(c.line(hdd::Console::kMaxLines - 1), QByteArray(30, 'x'));
}

TEST(BoundedConsole, AutoClearStillEmptiesPast200Lines) {
    hdd::Console c;
    for (int i = 0; i < 201; ++i) c.insertChunk("x\r\n");
    c.insertChunk("new");
    EXPECT_EQ(c.lineCount(), 1);
    EXPECT_EQ(c.text(), "new");
}

// --- the same operations in both modes ---

struct Outcome {
    QByteArray wire;
    QMap<QString, QByteArray> files;
    QString console;
    QStringList shown;
    qint64 elapsedUs = 0;
};

struct Scenario {
    const char* name;
    std::function<void(Harness&, QTemporaryDir&)> run;
    qint64 latencyUs = 0;
};

Outcome play(const Scenario& s, bool fast) {
    Harness h;
    QTemporaryDir dir, work;
    const QString saved = QDir::currentPath();
    QDir::setCurrent(work.path());  // the buffer write's temporary file
    h.drive->settings["fw.spt"] = 0x20;
    h.drive->latencyUs = s.latencyUs;
    h.open();
    EXPECT_EQ(h.dlg().fastWaits(), false);
    h.form().userSetChecked("CheckBoxFast", fast);
    EXPECT_EQ(h.dlg().fastWaits(), fast);
    h.clearWire();
    Outcome o;
    const qint64 t0 = h.clock.nowUs();
    s.run(h, dir);
    o.elapsedUs = h.clock.nowUs() - t0;
    h.idle(500);
    o.wire = h.wire();
    o.console = h.consoleText();
    o.shown = h.frontend.shown;
    for (QDirIterator it(dir.path(), QDir::Files); it.hasNext();) {
        const QString path = it.next();
        o.files[QFileInfo(path).fileName()] = readAll(path);
    }
    QDir::setCurrent(saved);
    return o;
}

void fields(Harness& h, const QStringList& namesAndValues) {
    for (qsizetype i = 0; i + 1 < namesAndValues.size(); i += 2)
        h.form().setText(namesAndValues[i], namesAndValues[i + 1]);
}

// Small chunks keep the dumps short: the read buffer holds 8 sectors here.
void smallBuffers(Harness& h) { fields(h, {"Edit1", "800", "Edit15", "8", "Edit2", "A00", "Edit16", "8"}); }

const Scenario kScenarios[] = {
    {"BufferReadAndWriteAt921600",
     [](Harness& h, QTemporaryDir& dir) {
         fields(h, {"Edit19", "800", "Edit20", "6"});
         h.frontend.files << dir.filePath("read.bin");
         h.press("Button78");
         writeFile(dir.filePath("in.bin"), pattern(4 * 512, 3));
         fields(h, {"Edit19", "A00", "Edit20", "4"});
         h.frontend.files << dir.filePath("in.bin");
         h.press("Button79");
     }},
    {"TrackReadAndWriteInChunks",
     [](Harness& h, QTemporaryDir& dir) {
         smallBuffers(h);
         fields(h, {"Edit10", "1A", "Edit14", "0", "Edit11", "2", "Edit12", "14"});
         h.frontend.files << dir.filePath("track.trc");
         h.press("Button18");
         fields(h, {"Edit10", "1B"});
         h.frontend.files << dir.filePath("track.trc");
         h.press("Button19");
         fields(h, {"Edit10", "1B"});
         h.frontend.files << dir.filePath("back.trc");
         h.press("Button18");
     }},
    {"ModuleReadWithAddressDiscovery",
     [](Harness& h, QTemporaryDir& dir) {
         h.form().userKey("CMD", QChar(0x12));  // CERT loaded, as the technician does with ^R
         h.idle(300);
         h.frontend.files << dir.filePath("APP.trc");
         h.press("Button51");
     }},
    {"ModuleReadThroughA16msAdapter",
     [](Harness& h, QTemporaryDir& dir) {
         h.form().userKey("CMD", QChar(0x12));
         h.idle(300);
         h.frontend.files << dir.filePath("APP.trc");
         h.press("Button51");
     },
     16'000},
    {"ToFThenTheTLevelGuardRefuses",
     [](Harness& h, QTemporaryDir&) {
         h.press("Button24");
         h.press("Button10");
     }},
    {"DownloadWithNaksThenASilentAnnounce",
     [](Harness& h, QTemporaryDir& dir) {
         memory(h).faults.nakAttempts = {2, 3};
         writeFile(dir.filePath("in.bin"), pattern(3 * 512, 5));
         fields(h, {"Edit19", "A00", "Edit20", "3"});
         h.frontend.files << dir.filePath("in.bin");
         h.press("Button79");
         memory(h).faults.silentAnnounce = memory(h).announces + 2;
         h.frontend.files << dir.filePath("in.bin");
         h.press("Button79");
     }},
    {"GarbledDumpAndALostDumpLine",
     [](Harness& h, QTemporaryDir& dir) {
         memory(h).faults.garbleLineInDump = memory(h).dumps + 2;
         fields(h, {"Edit19", "800", "Edit20", "3"});
         h.frontend.files << dir.filePath("garbled.bin");
         h.press("Button78");
         memory(h).faults.loseLineInDump = memory(h).dumps + 1;
         h.frontend.files << dir.filePath("short.bin");
         h.press("Button78");
     }},
    {"AbortDuringATrackRead",
     [](Harness& h, QTemporaryDir& dir) {
         smallBuffers(h);
         fields(h, {"Edit10", "1A", "Edit14", "0", "Edit11", "0", "Edit12", "20"});
         abortWhen(h, [&h] { return memory(h).reads >= 2; });
         h.frontend.files << dir.filePath("aborted.trc");
         h.press("Button18");
     }},
    {"SerialRomThroughItsDialog",
     [](Harness& h, QTemporaryDir& dir) {
         hdd::FormModel& form3 = *h.model->formByName("Form3");
         h.drive->settings["rom.lostline"] = 2;  // the buffer read fails at its third page
         h.frontend.files << dir.filePath("ROM.BIN");
         form3.userClick("Button51");
         form3.userClick("Button2");
         writeFile(dir.filePath("new.bin"), pattern(4 * 512, 9));
         h.frontend.files << dir.filePath("new.bin");
         form3.userClick("Button1");
         form3.userClick("Button6");
     }},
    {"SilentDrive",
     [](Harness& h, QTemporaryDir& dir) {
         h.drive->faults.silent = true;
         fields(h, {"Edit10", "1A", "Edit14", "0", "Edit11", "0", "Edit12", "1"});
         h.frontend.files << dir.filePath("none.trc");
         h.press("Button18");
     }},
};

class ModeEquivalence : public ::testing::TestWithParam<Scenario> {};

TEST_P(ModeEquivalence, SameBytesOnTheLineSameFilesSameConsole) {
    const Outcome pulse = play(GetParam(), false);
    const Outcome fast = play(GetParam(), true);
    EXPECT_FALSE(pulse.wire.isEmpty());
    EXPECT_EQ(fast.wire, pulse.wire);
    EXPECT_EQ(fast.files, pulse.files);
    EXPECT_EQ(fast.console, pulse.console);
    EXPECT_EQ(fast.shown, pulse.shown);
    EXPECT_LE(fast.elapsedUs, pulse.elapsedUs);
}

INSTANTIATE_TEST_SUITE_P(Speed, ModeEquivalence, ::testing::ValuesIn(kScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

// The scenarios do what they say (so that equal outcomes mean something).
TEST(ModeEquivalence, TheScenariosReachTheirOutcomes) {
    const Outcome rw = play(kScenarios[0], true);
    EXPECT_EQ(rw.files.value("read.bin").size(), 6 * 512);
    EXPECT_TRUE(rw.console.contains(QStringLiteral("正在写入缓冲区......成功！"))) << qPrintable(rw.console);
    const Outcome track = play(kScenarios[1], true);
    EXPECT_EQ(track.files.value("back.trc"), track.files.value("track.trc"));
    EXPECT_EQ(track.files.value("track.trc").size(), 0x14 * 512);
    const Outcome module = play(kScenarios[3], true);
    EXPECT_TRUE(module.files.value("APP.trc").startsWith("APP sector 0"));
    const Outcome tof = play(kScenarios[4], true);
    EXPECT_TRUE(tof.console.contains(QStringLiteral("转换至F级...........成功！")))
        << qPrintable(tof.console);
    EXPECT_TRUE(tof.console.contains(hdd::kNotAtT));
    const Outcome naks = play(kScenarios[5], true);
    EXPECT_EQ(occurrences(naks.wire, "\xCC\x33\x02"), 3);  // block 2 went three times
    EXPECT_TRUE(
        naks.console.contains(QStringLiteral("正在写入缓冲区......成功！\n正在写入缓冲区......失败！")))
        << qPrintable(naks.console);
    const Outcome garbled = play(kScenarios[6], true);
    EXPECT_TRUE(garbled.console.contains(QStringLiteral("读取数据错误，请调低一档速率后再试!")));
    EXPECT_TRUE(garbled.console.contains(QStringLiteral("正在读取缓冲区......失败！")))
        << qPrintable(garbled.console);
    const Outcome aborted = play(kScenarios[7], true);
    EXPECT_TRUE(aborted.console.contains(QStringLiteral("被用户中止！")));
    const Outcome rom = play(kScenarios[8], true);
    EXPECT_TRUE(rom.console.contains(QStringLiteral("正在读取ROM.........失败！")))
        << qPrintable(rom.console);
    EXPECT_TRUE(rom.console.contains(QStringLiteral("正在写入ROM......成功！"))) << qPrintable(rom.console);
    EXPECT_FALSE(rom.files.contains("ROM.BIN"));
}

// --- the switch ---

TEST(FastSwitch, OffAtStartOnTheTopBarAndOutOfReachWhileAKeyWorks) {
    Harness h;
    const hdd::Control& c = h.form().at("CheckBoxFast");
    EXPECT_EQ(c.caption, QStringLiteral("快速等待"));
    EXPECT_EQ(c.panel, "Panel3");
    EXPECT_FALSE(c.checked);
    EXPECT_FALSE(h.dlg().fastWaits());
    h.form().userClick("CheckBoxFast");
    EXPECT_TRUE(h.dlg().fastWaits());
    h.open();
    h.model->setBusy(true);
    EXPECT_FALSE(h.form().isEffectivelyEnabled("CheckBoxFast"));
    h.model->setBusy(false);
    h.form().userClick("CheckBoxFast");
    EXPECT_FALSE(h.dlg().fastWaits());
}

int runCli(const QStringList& args, QString& out, QString& err, bool& sawFast) {
    hdd::VirtualClock clock;
    QTextStream o(&out), e(&err);
    const int status = hdd::runCli(args, o, e, clock, [&](hdd::MainModel& m) {
        m.port().setSystemPortLister([] { return QStringList(); });
        clock.addPoller([&m, &sawFast] { sawFast = sawFast || m.dialogue().fastWaits(); });
    });
    o.flush();
    e.flush();
    return status;
}

TEST(FastSwitch, CliFastTurnsItOnForTheRun) {
    for (bool fast : {false, true}) {
        QString out, err;
        bool sawFast = false;
        QStringList args = {"run", "CMD:/2", "WAIT:100", "GET:CheckBoxFast"};
        if (fast) args.prepend("--fast");
        EXPECT_EQ(runCli(args, out, err, sawFast), 0) << qPrintable(err);
        EXPECT_EQ(out, fast ? "CheckBoxFast=1\n" : "CheckBoxFast=0\n");
        EXPECT_EQ(sawFast, fast);
    }
    QString out, err;
    bool sawFast = false;
    EXPECT_EQ(runCli({"--help"}, out, err, sawFast), 0);
    EXPECT_TRUE(out.contains("--fast")) << qPrintable(out);
}

// --- real time, on a pseudo-terminal ---

struct PtySim {
    QProcess sim;
    QString device;
    explicit PtySim(const QStringList& args) {
        sim.start(QStringLiteral(HDDTERM_BIN_DIR "/hddsim"), QStringList{"--pty"} + args);
        if (sim.waitForReadyRead(5000)) device = QString::fromLatin1(sim.readLine()).trimmed();
    }
    ~PtySim() {
        sim.kill();
        sim.waitForFinished();
    }
};

struct RealLink {
    hdd::RealClock clock;
    hdd::SerialPort port;
    hdd::SilentHost host;
    hdd::Dialogue d{port, clock, host};
    // Milliseconds for `count` prompt round trips; every one must come back.
    qint64 roundTrips(int count, bool fast) {
        d.setFastWaits(fast);
        d.ReceiveMode = hdd::kSysCmd;
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < count; ++i) {
            d.SendString("/\r");
            if (!d.WaitHD(100)) ADD_FAILURE() << "round trip " << i << " got no prompt";
        }
        return t.elapsed();
    }
};

TEST(FastOverPty, APseudoTerminalRefusesLowLatencyAndFastWaitsStillWork) {
    PtySim sim({});
    ASSERT_TRUE(sim.device.startsWith("/dev/")) << qPrintable(sim.device);
    RealLink link;
    ASSERT_TRUE(link.port.OpenComPort(sim.device, 9600));
    auto* qt = qobject_cast<hdd::QtSerialBackend*>(link.port.backend());
    ASSERT_NE(qt, nullptr);
    EXPECT_FALSE(qt->lowLatency());
    link.d.setFastWaits(true);
    ASSERT_TRUE(hdd::AdMySpeed(link.d, "115200"));
    const qint64 pulse = link.roundTrips(20, false);
    const qint64 fast = link.roundTrips(20, true);
    EXPECT_GE(pulse, 20 * 10);  // every pulse wait sleeps at least once
    EXPECT_LT(fast, pulse);
}

TEST(FastOverPty, TheLatencyOptionHandsAnswersOverOnTheTimersTicks) {
    PtySim sim({"--latency", "30"});
    ASSERT_TRUE(sim.device.startsWith("/dev/")) << qPrintable(sim.device);
    RealLink link;
    ASSERT_TRUE(link.port.OpenComPort(sim.device, 9600));
    link.d.setFastWaits(true);
    link.roundTrips(1, true);
    EXPECT_GE(link.roundTrips(8, true), 8 * 20);  // about one tick of 30 ms each
}

TEST(FastOverPty, HddsimNamesTheLatencyOptionInItsUsage) {
    QProcess sim;
    sim.start(QStringLiteral(HDDTERM_BIN_DIR "/hddsim"), {"--pty", "--latency", "-1"});
    ASSERT_TRUE(sim.waitForFinished(5000));
    EXPECT_EQ(sim.exitCode(), 2);
    EXPECT_TRUE(sim.readAllStandardError().contains("--latency MS"));
}

// A drive printing without pause at 921600 baud while the window is idle, in 92-byte bursts every
// millisecond (a low-latency adapter): the dialogue takes it in once every 10 ms, all of it.
TEST(IdleConsoleOverPty, ArrivalsAreTakenInAtMostOnceAPulse) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    grantpt(master);
    unlockpt(master);
    termios t{};
    tcgetattr(master, &t);
    cfmakeraw(&t);
    tcsetattr(master, TCSANOW, &t);
    RealLink link;
    ASSERT_TRUE(link.port.OpenComPort(QString::fromLatin1(ptsname(master)), 921600));
    link.d.ReceiveMode = hdd::kUserCmd;
    link.d.console().setAutoClear(true);
    int dispatches = 0;
    QObject::connect(&link.d, &hdd::Dialogue::countersChanged, [&] { ++dispatches; });
    const QByteArray burst = QByteArray(90, 'x') + "\r\n";
    int written = 0;
    QTimer writer;
    writer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&writer, &QTimer::timeout,
                     [&] { written += static_cast<int>(::write(master, burst.constData(), 92)); });
    writer.start(1);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 500) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    writer.stop();
    while (clock.elapsed() < 600) QCoreApplication::processEvents();
    EXPECT_GT(written, 92 * 100);
    EXPECT_EQ(link.d.RxTotal, written);
    EXPECT_LE(dispatches, 600 / 10 + 5) << written / 92 << " bursts";
    link.port.CloseComPort();
    ::close(master);
}

}  // namespace
