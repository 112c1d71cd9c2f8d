// Transfer speed in real time through a pseudo-terminal: hddterm-cli against hddsim --pty.
//
// Each operation is first run in-process on the virtual clock against the simulated drive, which
// gives its figure in virtual time and its "wire" time: every byte that crossed the line at the
// speed it crossed it, both directions one after the other at 10 bits a byte, plus the pauses the
// dialogue prescribes (PumpWait). Then hddterm-cli runs it for real against a fresh hddsim --pty,
// in both wait modes ("pulse": the 10 ms pulses, "fast": --fast), timed from start to exit, with
// the CPU time the process used.
//
// The "raw" line replays the same bytes without hddterm: a plain client sends each command as
// soon as the drive has said as much as the tool had read when it sent it (and the tool's pauses
// after that much had come are over), so its time is the drive's own pacing on the
// pseudo-terminal; what the tool takes beyond it is the tool's. Its "virtual" figure is the fast
// mode's, the least the drive's own answer delays allow.
//
// The simulated drive sends every prompt whole here (hddsim --split-prompt 0), as transfer_bench
// does, so that only the host side is measured.
//
//   pty_bench [--only LIST] [--raw LIST|all|none] [--repeat N]
//
// LIST is a comma-separated choice of start-up, track, buffer-read, buffer-write, rom, backup.
// hddsim and hddterm-cli are taken from HDDTERM_BIN_DIR, or else from this program's folder.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <cstdio>
#include <vector>

#include "cli_runner.h"
#include "clock.h"
#include "drive.h"
#include "main_model.h"
#include "pty_speed.h"
#include "sim_port.h"

extern char** environ;

namespace {

constexpr qint32 kBaud = 921600;

struct Op {
    QString key;       // for --only and --raw
    QString title;     // as printed
    QStringList args;  // the verb and its arguments, after the global options
};

// What the tool did on the line, in order: a write, or a change of the port's speed, each with
// the count of bytes it had received by then and the pauses it took after the last of them (or
// after its previous write, when nothing came since).
struct Step {
    bool send = false;
    QByteArray data;
    qint32 baud = 0;
    qint64 rxBefore = 0;
    qint64 pauseUs = 0;
};

struct VirtualRun {
    int status = -1;
    qint64 elapsedUs = 0;
    qint64 wireUs = 0;
    qint64 rxTotal = 0;
    std::vector<Step> steps;
};

VirtualRun runVirtual(const QStringList& args) {
    hdd::VirtualClock clock;
    QString out, err;
    QTextStream o(&out), e(&err);
    VirtualRun v;
    hdd::MainModel* model = nullptr;
    qint32 baud = 9600;
    double bytesUs = 0;
    qint64 pumpSeen = 0, pumpUs = 0;  // pauses: up to the last write or arrival, and in all
    auto pumped = [&] { return model ? model->dialogue().waitStats().pumpUs : 0; };
    v.status = hdd::runCli(args, o, e, clock, [&](hdd::MainModel& m) {
        model = &m;
        m.port().setSystemPortLister([] { return QStringList(); });
        hddsim::SimPort::of(m.port())->drive().faults.splitPromptEvery = 0;
        m.port().setTap([&](hdd::SerialPort::TapEvent ev, const QByteArray& b) {
            using E = hdd::SerialPort::TapEvent;
            if (ev == E::Opened || ev == E::Baud) {
                baud = b.mid(b.lastIndexOf(' ') + 1).toInt();
                v.steps.push_back({false, {}, baud, v.rxTotal, 0});
            } else if (ev == E::Sent) {
                bytesUs += b.size() * 1e7 / baud;
                const qint64 p = pumped();
                v.steps.push_back({true, b, baud, v.rxTotal, p - pumpSeen});
                pumpSeen = p;
            } else if (ev == E::Received) {
                bytesUs += b.size() * 1e7 / baud;
                v.rxTotal += b.size();
                pumpSeen = pumped();
            } else {
                pumpUs = pumped();
            }
        });
    });
    v.elapsedUs = clock.nowUs();
    v.wireUs = static_cast<qint64>(bytesUs) + pumpUs;
    return v;
}

// The virtual runs are made by a child process at the lowest priority, while this one measures in
// real time: they take CPU time the real runs hardly need, and would otherwise add a minute.
QByteArray encode(const VirtualRun& v) {
    QByteArray blob;
    QDataStream s(&blob, QIODevice::WriteOnly);
    s << v.status << v.elapsedUs << v.wireUs << v.rxTotal << qint64(v.steps.size());
    for (const Step& st : v.steps) s << st.send << st.data << st.baud << st.rxBefore << st.pauseUs;
    return blob;
}

VirtualRun decode(const QByteArray& blob) {
    VirtualRun v;
    QDataStream s(blob);
    qint64 n = 0;
    s >> v.status >> v.elapsedUs >> v.wireUs >> v.rxTotal >> n;
    for (qint64 i = 0; i < n && s.status() == QDataStream::Ok; ++i) {
        Step st;
        s >> st.send >> st.data >> st.baud >> st.rxBefore >> st.pauseUs;
        v.steps.push_back(st);
    }
    return v;
}

bool readExactly(int fd, char* to, qint64 size) {
    for (qint64 got = 0; got < size;) {
        const ssize_t n = ::read(fd, to + got, static_cast<size_t>(size - got));
        if (n <= 0) return false;
        got += n;
    }
    return true;
}

// The next virtual run from the child (status -1 when it is gone).
VirtualRun nextVirtual(int fd) {
    qint64 size = 0;
    QByteArray blob;
    if (!readExactly(fd, reinterpret_cast<char*>(&size), sizeof size)) return {};
    blob.resize(size);
    if (!readExactly(fd, blob.data(), size)) return {};
    return decode(blob);
}

void sendVirtual(const VirtualRun& v) {
    const QByteArray blob = encode(v);
    const qint64 size = blob.size();
    std::fwrite(&size, sizeof size, 1, stdout);
    std::fwrite(blob.constData(), 1, static_cast<size_t>(size), stdout);
    std::fflush(stdout);
}

pid_t spawn(const QString& program, const QStringList& args, int outFd) {
    std::vector<QByteArray> store{program.toLocal8Bit()};
    for (const QString& a : args) store.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& s : store) argv.push_back(s.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (outFd >= 0)
        posix_spawn_file_actions_adddup2(&fa, outFd, STDOUT_FILENO);
    else
        posix_spawn_file_actions_addopen(&fa, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&fa, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&fa);
    return pid;
}

// A fresh simulated drive on a pseudo-terminal, stopped when this goes out of scope.
class Sim {
public:
    explicit Sim(const QString& binDir) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) return;
        pid_ = spawn(binDir + "/hddsim", {"--pty", "--split-prompt", "0"}, fds[1]);
        ::close(fds[1]);
        out_ = fds[0];
        QByteArray line;
        char c;
        pollfd p{out_, POLLIN, 0};
        while (pid_ > 0 && ::poll(&p, 1, 5000) > 0 && ::read(out_, &c, 1) == 1 && c != '\n') line += c;
        path_ = QString::fromLocal8Bit(line);
    }
    ~Sim() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) ::close(out_);
    }
    const QString& path() const { return path_; }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    QString path_;
};

struct RealRun {
    bool ok = false;
    qint64 elapsedUs = 0;
    qint64 cpuUs = 0;
};

qint64 usOf(const timeval& t) { return qint64{t.tv_sec} * 1'000'000 + t.tv_usec; }

RealRun runReal(const QString& binDir, const QStringList& args) {
    RealRun r;
    Sim sim(binDir);
    if (sim.path().isEmpty()) return r;
    QElapsedTimer t;
    t.start();
    const pid_t pid = spawn(binDir + "/hddterm-cli", QStringList{"--port", sim.path()} + args, -1);
    if (pid <= 0) return r;
    int status = 0;
    rusage ru{};
    ::wait4(pid, &status, 0, &ru);
    r.elapsedUs = t.nsecsElapsed() / 1000;
    r.cpuUs = usOf(ru.ru_utime) + usOf(ru.ru_stime);
    r.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return r;
}

// The plain client: the tool's writes and speed changes, replayed on the pseudo-terminal.
RealRun runRaw(const QString& binDir, const VirtualRun& v) {
    RealRun r;
    Sim sim(binDir);
    const int fd = ::open(sim.path().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (sim.path().isEmpty() || fd < 0) return r;
    termios tio{};
    ::tcgetattr(fd, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(fd, TCSANOW, &tio);
    qint64 rx = 0;
    char buf[65536];
    // Reads until `want` bytes have come in all; false when the drive goes quiet for 5 s short of it.
    auto readUntil = [&](qint64 want) {
        QElapsedTimer quiet;
        quiet.start();
        while (rx < want) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 100) > 0) {
                const ssize_t n = ::read(fd, buf, sizeof buf);
                if (n > 0) {
                    rx += n;
                    quiet.restart();
                }
            }
            if (quiet.elapsed() > 5000) return false;
        }
        return true;
    };
    QElapsedTimer t;
    t.start();
    bool ok = true;
    for (const Step& s : v.steps) {
        if (!(ok = readUntil(s.rxBefore))) break;
        if (!s.send) {
            hddsim::setTerminalBaud(fd, s.baud);
            continue;
        }
        if (s.pauseUs > 0) QThread::usleep(static_cast<unsigned long>(s.pauseUs));
        for (qsizetype off = 0; off < s.data.size();) {
            const ssize_t n = ::write(fd, s.data.constData() + off, static_cast<size_t>(s.data.size() - off));
            if (n > 0) {
                off += n;
            } else {
                pollfd p{fd, POLLOUT, 0};
                ::poll(&p, 1, 100);
            }
        }
    }
    ok = ok && readUntil(v.rxTotal);
    r.elapsedUs = t.nsecsElapsed() / 1000;
    r.ok = ok;
    ::close(fd);
    return r;
}

void print(const char* mode, const Op& op, const RealRun& r, const VirtualRun& v) {
    std::printf("real  %-5s  %-26s%7d baud  %9.1f ms  wire %8.1f ms  ratio %.2f  (virtual %.1f ms)", mode,
                qPrintable(op.title), kBaud, r.elapsedUs / 1e3, v.wireUs / 1e3,
                double(r.elapsedUs) / double(v.wireUs), v.elapsedUs / 1e3);
    if (r.cpuUs > 0) std::printf("  cpu %.0f ms", r.cpuUs / 1e3);
    std::printf("%s\n", r.ok && v.status == 0 ? "" : "  (failed)");
    std::fflush(stdout);
}

QStringList choice(const QString& text, const QStringList& all) {
    if (text == "all") return all;
    if (text == "none") return {};
    return text.split(',', Qt::SkipEmptyParts);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QString binDir = qEnvironmentVariable("HDDTERM_BIN_DIR");
    if (binDir.isEmpty()) binDir = QCoreApplication::applicationDirPath();
    // The buffer write leaves its temporary file in the working folder.
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    const QString speed = QString::number(kBaud);
    const QString image = work.filePath("image.bin");
    QByteArray bytes(64 * 1024, '\0');
    for (qsizetype i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + (i >> 9));
    QFile f(image);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return 1;
    f.close();
    const QList<Op> ops = {
        {"start-up", "run CMD:/2 WAIT:100", {"run", "CMD:/2", "WAIT:100"}},
        {"track",
         "track read 0x280 sectors",
         {"track", "read", work.filePath("t"), "--track", "1A", "--head", "0", "--buffer", "800",
          "--buffer-length", "80", "--start", "0", "--count", "280", "--speed", speed}},
        {"buffer-read",
         "buffer read 64 KiB",
         {"buffer", "read", work.filePath("b"), "--entry", "800", "--sectors", "80", "--speed", speed}},
        {"buffer-write",
         "buffer write 64 KiB",
         {"buffer", "write", image, "--entry", "800", "--sectors", "80", "--speed", speed}},
        {"rom", "ROM buffer read", {"rom", "read", work.filePath("rom"), "--by", "buffer", "--speed", speed}},
        {"backup", "backup 5 modules", {"backup", work.filePath("backup"), "--speed", speed}},
    };
    QStringList keys;
    for (const Op& op : ops) keys << op.key;
    QStringList only = keys, raw = {"track"};
    int repeat = 1;
    bool virtualChild = false;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString value = i + 1 < args.size() ? args[i + 1] : QString();
        if (args[i] == "--virtual-runs") {
            virtualChild = true;
            continue;
        } else if (args[i] == "--only")
            only = choice(value, keys);
        else if (args[i] == "--raw")
            raw = choice(value, keys);
        else if (args[i] == "--repeat")
            repeat = qMax(1, value.toInt());
        else {
            std::fprintf(stderr,
                         "usage: pty_bench [--only LIST] [--raw LIST|all|none] [--repeat N]\n"
                         "  LIST: %s\n",
                         qPrintable(keys.join(',')));
            return 2;
        }
        ++i;
    }
    auto modeArgs = [](const Op& op, bool fast) { return fast ? QStringList{"--fast"} + op.args : op.args; };
    if (virtualChild) {
        ::setpriority(PRIO_PROCESS, 0, 19);
        for (const Op& op : ops)
            for (bool fast : {false, true})
                if (only.contains(op.key))
                    sendVirtual(runVirtual(QStringList{"--port", "sim"} + modeArgs(op, fast)));
        return 0;
    }
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return 1;
    const pid_t child =
        spawn(QCoreApplication::applicationFilePath(), {"--virtual-runs", "--only", only.join(',')}, fds[1]);
    ::close(fds[1]);
    for (const Op& op : ops) {
        if (!only.contains(op.key)) continue;
        for (bool fast : {false, true}) {
            const char* mode = fast ? "fast" : "pulse";
            QList<RealRun> runs;
            for (int n = 0; n < repeat; ++n) runs << runReal(binDir, modeArgs(op, fast));
            const VirtualRun v = nextVirtual(fds[0]);
            for (const RealRun& r : runs) print(mode, op, r, v);
            if (fast && raw.contains(op.key))
                for (int n = 0; n < repeat; ++n) print("raw", op, runRaw(binDir, v), v);
        }
    }
    ::close(fds[0]);
    if (child > 0) ::waitpid(child, nullptr, 0);
    return 0;
}
