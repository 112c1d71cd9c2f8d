// hddsim: the simulated drive monitor on a pseudo-terminal or a real serial port.
//
//   hddsim --pty                 prints the slave device path, then serves it until killed
//   hddsim --port /dev/ttyUSB1   serves a real port (wire it to the port hddterm uses)
//
// --lang is taken as hddterm and hddterm-cli take it, and ignored: what the drive says is its own
// text, never translated.
//
// Fault options: --silent, --stuck-level L, --ignore-speed, --split-prompt N, --set KEY=VALUE
// (command settings).
// Adapter model: --latency MS holds the drive's output and hands it over in bursts every MS
// milliseconds, as a USB serial adapter's latency timer does (16 is the usual default, 1 the
// low-latency setting; 0, the default, hands over each byte as soon as it is on the line).
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSerialPort>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "buffer_memory.h"
#include "drive.h"
#include "pty_speed.h"

using hddsim::Drive;

namespace {

const char* kUsage =
    "usage: hddsim (--pty | --port DEVICE) [--silent] [--stuck-level L] [--ignore-speed]\n"
    "              [--split-prompt N] [--latency MS] [--set KEY=VALUE]... [--lang zh|en]\n"
    "       hddsim --help | --version\n";

const char* kHelp =
    "\n"
    "The simulated drive monitor: answers hddterm and hddterm-cli as a drive's diagnostic serial\n"
    "terminal would, on a pseudo-terminal or a real serial port, until it is killed.\n"
    "\n"
    "Options:\n"
    "  --pty              serve a new pseudo-terminal; its device path is printed on the first line\n"
    "  --port DEVICE      serve a real serial port (wire it to the port hddterm uses)\n"
    "  --silent           never answer (a dead drive)\n"
    "  --stuck-level L    stay at monitor level L whatever is asked\n"
    "  --ignore-speed     acknowledge speed commands but keep talking at the old speed\n"
    "  --split-prompt N   every N-th prompt sends its \">\" 12 ms after the rest, as a drive busy\n"
    "                     finishing a command does (3, the default; 0: never)\n"
    "  --latency MS       model a USB adapter's latency timer: the drive's output reaches the host\n"
    "                     in bursts every MS milliseconds (0, the default: at once)\n"
    "  --set KEY=VALUE    a command family's setting, decimal (restart.ms, fw.family, ...)\n"
    "  --lang zh|en       taken for symmetry with hddterm and ignored: the drive's text is its own\n"
    "  --help             show this help and exit\n"
    "  --version          show the version and exit\n";

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

int servePty(Drive& drive) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        std::perror("hddsim: pseudo-terminal");
        return 1;
    }
    termios t{};
    tcgetattr(master, &t);
    cfmakeraw(&t);
    cfsetispeed(&t, B9600);
    cfsetospeed(&t, B9600);
    tcsetattr(master, TCSANOW, &t);
    std::printf("%s\n", ptsname(master));
    std::fflush(stdout);

    // The drive's output goes to the terminal in bursts of up to kBurst bytes, each written once
    // its last byte is on the line, as a UART's receive FIFO hands them over: the host is woken for
    // every few dozen bytes rather than for each, and the end of an answer (a burst cut short by
    // the gap after it) still reaches the host the moment it has arrived.
    constexpr int kBurst = 64;
    // Wake when a burst is due, not up to the default 50 µs later: the last burst of every answer
    // would be that much late.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    QElapsedTimer clock;
    clock.start();
    char buf[4096];
    for (;;) {
        pollfd p{master, POLLIN, 0};
        // Sleep until the next burst is complete or input must be taken in for its answer to be on
        // time; with nothing on its way, until the host writes (looking again every 20 ms).
        const qint64 before = clock.nsecsElapsed() / 1000;
        qint64 due = drive.burstDueUs(kBurst);
        const qint64 input = drive.inputDueUs();
        if (input >= 0 && (due < 0 || input < due)) due = input;
        const qint64 sleepUs = due < 0 ? 20'000 : std::clamp<qint64>(due - before, 0, 20'000);
        const timespec ts{0, static_cast<long>(sleepUs * 1000)};
        const int r = ::ppoll(&p, 1, &ts, nullptr);
        const qint64 now = clock.nsecsElapsed() / 1000;
        const qint32 hostBaud = hddsim::ptyHostBaud(master);
        if (r > 0 && (p.revents & POLLIN)) {
            const ssize_t n = ::read(master, buf, sizeof buf);
            if (n > 0) drive.hostWrite(QByteArray(buf, static_cast<int>(n)), now, hostBaud);
        }
        if (r > 0 && (p.revents & POLLHUP) && !(p.revents & POLLIN)) {
            // Nobody has the terminal open: nothing to do but wait for the next host.
            QThread::msleep(5);
        }
        drive.advance(now);
        const qint64 burst = drive.burstDueUs(kBurst);
        if (burst < 0 || burst > now) continue;
        const QByteArray out = drive.hostRead(now, hostBaud);
        qsizetype off = 0;
        while (off < out.size()) {
            const ssize_t w = ::write(master, out.constData() + off, static_cast<size_t>(out.size() - off));
            if (w <= 0) break;  // no reader: the bytes are lost on the line
            off += w;
        }
    }
}

int servePort(Drive& drive, const QString& device) {
    QSerialPort port;
    port.setPortName(device);
    if (!port.open(QIODevice::ReadWrite)) {
        std::fprintf(stderr, "hddsim: cannot open %s: %s\n", qPrintable(device),
                     qPrintable(port.errorString()));
        return 1;
    }
    port.setBaudRate(drive.baud);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    QElapsedTimer clock;
    clock.start();
    qint32 current = drive.baud;
    for (;;) {
        port.waitForReadyRead(1);
        const qint64 now = clock.nsecsElapsed() / 1000;
        const QByteArray in = port.readAll();
        // On a real line the hardware garbles mismatched speeds; the drive takes what arrives.
        if (!in.isEmpty()) drive.hostWrite(in, now, 0);
        drive.advance(now);
        const QByteArray out = drive.hostRead(now, 0);
        if (!out.isEmpty()) {
            port.write(out);
            port.waitForBytesWritten(1000);
        }
        if (drive.baud != current && drive.nextArrivalUs() < 0) {
            current = drive.baud;
            port.setBaudRate(current);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Drive drive;
    hddsim::installAllCommands(drive);
    bool pty = false;
    QString device;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto next = [&]() -> QString { return i + 1 < args.size() ? args[++i] : QString(); };
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            std::fputs(kHelp, stdout);
            return 0;
        } else if (a == "--version") {
            std::printf("hddsim %s\n", HDDTERM_VERSION);
            return 0;
        } else if (a == "--pty")
            pty = true;
        else if (a == "--port")
            device = next();
        else if (a == "--silent")
            drive.faults.silent = true;
        else if (a == "--latency") {
            bool ok = false;
            const int ms = next().toInt(&ok);
            if (!ok || ms < 0) return usage();
            drive.latencyUs = qint64{ms} * 1000;
        } else if (a == "--ignore-speed")
            drive.faults.ignoreSpeed = true;
        else if (a == "--split-prompt") {
            bool ok = false;
            const int n = next().toInt(&ok);
            if (!ok || n < 0) return usage();
            drive.faults.splitPromptEvery = n;
        } else if (a == "--stuck-level")
            drive.faults.stuckLevel = next().toLatin1();
        else if (a == "--lang") {
            if (next().isEmpty()) return usage();
        } else if (a.startsWith("--lang=")) {
            continue;
        } else if (a == "--set") {
            const QString kv = next();
            const qsizetype eq = kv.indexOf('=');
            if (eq <= 0) return usage();
            drive.settings[kv.left(eq)] = kv.mid(eq + 1).toInt();
        } else
            return usage();
    }
    if (pty == !device.isEmpty()) return usage();
    // Buffer memory is made before the host speaks: made on first use it would hold up the answer
    // to that command long enough to run it into the next one (a download's first acknowledgement).
    drive.state<hddsim::BufferMemory>();
    return pty ? servePty(drive) : servePort(drive, device);
}
