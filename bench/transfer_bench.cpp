// Transfer speed against the simulated drive, in virtual time, in both wait modes.
//
// Each line is one operation at one speed in one mode ("pulse": the 10 ms pulses, "fast": waits
// that end as soon as their answer is in). "wire" is what the line itself needs: every byte that
// crossed it, both directions one after the other at 10 bits a byte, plus the pauses the dialogue
// prescribes (PumpWait), so the ratio elapsed / wire shows only what the waiting adds. A line may
// carry the latency of a modelled USB adapter (the drive's output reaches the host in bursts).
//
// The last line is the console's intake: drive text per second of the wall clock taken in by the
// receive path in "usercmd" mode (110-byte wrap, auto-clear on), against the byte rate of 921600
// baud.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

#include "buffer_memory.h"
#include "download.h"
#include "dump.h"
#include "harness.h"
#include "monitor.h"
#include "rom.h"
#include "track.h"

namespace {

struct Run {
    const char* mode;
    qint32 baud;
    int latencyMs = 0;
};

// A drive without the artificial gap before some prompts' ">", so only our side is measured. The
// serial ROM is worked at the F level.
void prepare(hddtest::Harness& h, const Run& r, bool fLevel = false) {
    h.drive->faults.splitPromptEvery = 0;
    h.open();
    if (fLevel) {
        hdd::ToF(h.dlg());
        hdd::DriveSpeed(h.dlg(), r.baud, true);
    } else {
        hdd::AdMySpeed(h.dlg(), QString::number(r.baud));
    }
    h.dlg().setFastWaits(QByteArray(r.mode) == "fast");
    h.drive->latencyUs = qint64{r.latencyMs} * 1000;
    h.clearWire();
    h.dlg().RxTotal = 0;
    h.dlg().resetWaitStats();
}

void measure(hddtest::Harness& h, const Run& r, const char* what, const std::function<bool()>& work) {
    const qint64 t0 = h.clock.nowUs();
    const bool ok = work();
    const qint64 elapsedUs = h.clock.nowUs() - t0;
    const qint64 bytes = h.wire().size() + h.dlg().RxTotal;
    const qint64 wireUs = bytes * 10'000'000LL / r.baud + h.dlg().waitStats().pumpUs;
    char latency[32] = "";
    if (r.latencyMs > 0) std::snprintf(latency, sizeof latency, "  latency %d ms", r.latencyMs);
    std::printf("%-5s  %-26s%7d baud%s %9.1f ms  wire %8.1f ms  ratio %.2f%s\n", r.mode, what, r.baud,
                latency, elapsedUs / 1e3, wireUs / 1e3, double(elapsedUs) / double(wireUs),
                ok ? "" : "  (failed)");
    std::fflush(stdout);
}

void bufferRead(const Run& r) {
    hddtest::Harness h;
    prepare(h, r);
    QTemporaryDir dir;
    measure(h, r, "buffer read 64 KiB",
            [&] { return hdd::ReadBuffer(h.dlg(), "800", "80", dir.filePath("b")); });
}

void trackRead(const Run& r) {
    hddtest::Harness h;
    prepare(h, r);
    QTemporaryDir dir;
    measure(h, r, "track read 0x280 sectors", [&] {
        return hdd::ReadTrack(h.dlg(), "1A", "0", "0", "280", "800", "80", dir.filePath("t"), true);
    });
}

void bufferWrite(const Run& r) {
    hddtest::Harness h;
    prepare(h, r);
    QTemporaryDir dir;
    const QString file = dir.filePath("w");
    QFile f(file);
    QByteArray image(64 * 1024, '\0');
    for (qsizetype i = 0; i < image.size(); ++i) image[i] = static_cast<char>(i * 7 + (i >> 9));
    if (!f.open(QIODevice::WriteOnly) || f.write(image) != image.size()) return;
    f.close();
    measure(h, r, "buffer write 64 KiB", [&] { return hdd::WriteBuffer(h.dlg(), "800", "80", file); });
}

void romCommandRead(const Run& r) {
    hddtest::Harness h;
    prepare(h, r, true);
    QTemporaryDir dir;
    measure(h, r, "ROM command read 64 KiB",
            [&] { return hdd::ReadROM1(h.dlg(), dir.filePath("rom")).isDone(); });
}

void romBufferRead(const Run& r) {
    hddtest::Harness h;
    prepare(h, r, true);
    QTemporaryDir dir;
    measure(h, r, "ROM buffer read", [&] { return hdd::ReadRom(h.dlg(), dir.filePath("rom")).isDone(); });
}

// Drive text as a busy monitor prints it: dump lines and long lines without a break, handed over
// in 92-byte chunks (what an adapter delivers per millisecond at 921600 baud).
void consoleIngest() {
    hddtest::Harness h;
    hdd::Dialogue& d = h.dlg();
    d.ReceiveMode = hdd::kUserCmd;
    QByteArray text;
    for (int i = 0; i < 64; ++i) {
        text += QByteArray::number(0x100000 + i * 0x20, 16).toUpper() + ":";
        for (int j = 0; j < 32; ++j)
            text += " " + QByteArray::number(0x10 + ((i * 32 + j) % 0xE0), 16).toUpper();
        text += "\r\n";
        if (i % 8 == 0) text += QByteArray(300 + i, 'x') + "\r\n";
    }
    const qsizetype chunk = 92;
    QList<QByteArray> chunks;
    for (qsizetype at = 0; at < text.size(); at += chunk) chunks << text.mid(at, chunk);
    qint64 bytes = 0;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 2000) {
        for (const QByteArray& c : chunks) d.dispatch(c);
        bytes += text.size();
    }
    const double rate = bytes / (t.nsecsElapsed() / 1e9);
    std::printf("%-5s  %-14s%10.0f bytes/s  ratio %.2f\n", "pulse", "console ingest", rate, rate / 92'160.0);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // The buffer write leaves its temporary file in the working folder.
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    for (const char* mode : {"pulse", "fast"}) {
        for (qint32 baud : {115200, 921600}) {
            const Run r{mode, baud};
            bufferRead(r);
            trackRead(r);
            bufferWrite(r);
            romCommandRead(r);
            romBufferRead(r);
        }
    }
    for (int latency : {1, 16}) {
        trackRead({"fast", 921600, latency});
        romCommandRead({"fast", 921600, latency});
    }
    consoleIngest();
    return 0;
}
