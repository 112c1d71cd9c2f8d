// Transfer speed against the simulated drive, in virtual time, compared with the wire-time bound
// of the bytes that crossed the line (10 bits a byte, both directions one after the other), and
// the dump parser's throughput on the wall clock.
//
// What a transfer may spend beyond the wire time: the pauses its dialogue prescribes, the 10 ms
// pulse in which each wait notices its answer, and the simulated monitor's own 0.3 ms before it
// answers a command. The "beyond" column shows what is left after those; it should stay near zero
// (a little above when an answer spills over into the next pulse).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

#include "buffer_memory.h"
#include "dump.h"
#include "harness.h"
#include "monitor.h"
#include "track.h"

namespace {

struct Figures {
    qint64 elapsedUs = 0;
    qint64 wireUs = 0;
    qint64 pausesUs = 0;
    int waits = 0;
};

void print(const char* what, qint32 baud, const Figures& f) {
    const double beyond = double(f.elapsedUs - f.wireUs - f.pausesUs - f.waits * (10'000LL + 300)) / 1e3;
    std::printf(
        "%-34s %7d baud  %9.1f ms  wire %9.1f ms  ratio %5.2f  pauses %7.1f ms  waits %4d  beyond %7.1f ms\n",
        what, baud, f.elapsedUs / 1e3, f.wireUs / 1e3, double(f.elapsedUs) / double(f.wireUs),
        f.pausesUs / 1e3, f.waits, beyond);
}

// A drive without the artificial gap before some prompts' ">", so only our side is measured.
void prepare(hddtest::Harness& h, const QString& speed) {
    h.drive->faults.splitPromptEvery = 0;
    h.open();
    hdd::AdMySpeed(h.dlg(), speed);
    h.clearWire();
    h.dlg().RxTotal = 0;
}

Figures measure(hddtest::Harness& h, qint32 baud, const std::function<void()>& work) {
    const qint64 t0 = h.clock.nowUs();
    work();
    Figures f;
    f.elapsedUs = h.clock.nowUs() - t0;
    const qint64 bytes = h.wire().size() + h.dlg().RxTotal;
    f.wireUs = bytes * 10'000'000LL / baud;
    return f;
}

void bufferRead(qint32 baud) {
    hddtest::Harness h;
    prepare(h, QString::number(baud));
    QTemporaryDir dir;
    const int blocks = 128;  // 64 KiB
    Figures f = measure(
        h, baud, [&] { hdd::ReadBuffer(h.dlg(), "800", QByteArray::number(blocks, 16), dir.filePath("b")); });
    f.pausesUs = 5'000'000;  // the pause before leaving level 2
    f.waits = blocks + 2;    // "/2", each dump, "/"
    print("buffer read 64 KiB", baud, f);
}

void trackRead(qint32 baud) {
    hddtest::Harness h;
    prepare(h, QString::number(baud));
    QTemporaryDir dir;
    const int sectors = 0x280, chunk = 0x80;
    Figures f = measure(h, baud, [&] {
        hdd::ReadTrack(h.dlg(), "1A", "0", "0", QByteArray::number(sectors, 16), "800",
                       QByteArray::number(chunk, 16), dir.filePath("t"), true);
    });
    f.pausesUs = 10'000;                            // the pulse after the progress line
    f.waits = 2 + (sectors / chunk) * (2 + chunk);  // "/2", per chunk select, read and dumps, "/"
    print("track read 0x280 sectors", baud, f);
}

void parser() {
    QByteArray capture = "B800,800\r\nADDR   00 01\r\n";
    for (int i = 0; i < 16; ++i) {
        capture += QByteArray::number(0x100000 + i * 0x20, 16).toUpper() + ":";
        for (int j = 0; j < 32; ++j)
            capture += " " + QByteArray::number(0x10 + ((i * 32 + j) % 0xE0), 16).toUpper();
        capture += "\r\n";
    }
    capture += "\r\n2>";
    const int rounds = 20000;
    qint64 out = 0;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < rounds; ++i) {
        QByteArray expected;
        out += hdd::ParseDump(capture, expected).bytes.size();
    }
    const double s = t.nsecsElapsed() / 1e9;
    std::printf("dump parser: %.1f MB/s of dump text, %.1f MB/s of bytes recovered (%lld bytes)\n",
                capture.size() * double(rounds) / s / 1e6, out / s / 1e6, static_cast<long long>(out));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bufferRead(115200);
    bufferRead(921600);
    trackRead(115200);
    trackRead(921600);
    parser();
    return 0;
}
