// The frame of the fault soak: one simulated drive per kind of transfer, random faults before
// every run, the run's verdict read from the console, and the drive and link put back in order
// between runs (a drive that fell silent, or stayed at another speed, must not spoil the next run).
#pragma once

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <functional>
#include <memory>
#include <random>

#include "reliability_support.h"
#include "transfer.h"

namespace hddtest {

enum FaultKinds : unsigned {
    kDumpFaults = 1,      // lost, garbled and restarted dump lines, a dump without header
    kDownloadFaults = 2,  // NAKs, an unacknowledged announce, fall back to 9600, a late answer
    kSelectFaults = 4,    // a track select that gets no prompt, noise in a chunk's dump
};

struct SoakRun {
    int index = 0;
    std::mt19937 rng;
    QString faults;  // what was done to this run, for the failure message
    QString folder;
    bool succeeded = false;
    bool failed = false;
    QStringList console;
    QStringList messages;
    Harness* h = nullptr;
    qsizetype shownBefore = 0;

    std::string describe() const {
        return QStringLiteral("run %1 [%2]\n  %3\n  %4")
            .arg(index)
            .arg(faults, console.join(QStringLiteral("\n  ")), messages.join(QStringLiteral("\n  ")))
            .toStdString();
    }
    // A new file in the run's folder (removed first; written when content is given).
    QString file(const QString& name, const QByteArray& content = QByteArray()) {
        const QString path = folder + "/" + name;
        QFile::remove(path);
        if (!content.isNull()) writeFile(path, content);
        return path;
    }
    QByteArray bytes(qsizetype n) {
        QByteArray b(n, '\0');
        for (char& c : b) c = static_cast<char>(rng());
        return b;
    }
    // The run succeeded when the console shows `successLine`; it failed when a line reports a
    // failure, a data error, an abort or an error, or a message box was shown. Exactly one of them.
    void judge(const QString& successLine) {
        for (int i = 0; i < h->model->console().lineCount(); ++i)
            console << hdd::fromGbk(h->model->console().line(i));
        messages = h->frontend.shown.mid(shownBefore);
        for (const QString& l : console) {
            if (l == successLine) succeeded = true;
            if (l.endsWith(QStringLiteral("失败！")) || l.endsWith(QStringLiteral("失败!")) ||
                l.contains(QStringLiteral("失败，")) || l == hdd::kDataError || l == hdd::kAborted ||
                l.startsWith(QStringLiteral("错误")) || l.startsWith(QStringLiteral("请先")))
                failed = true;
        }
        failed = failed || !messages.isEmpty();
        EXPECT_NE(succeeded, failed) << (succeeded ? "success and failure reported: " : "no outcome: ")
                                     << describe();
    }
    // A read: on success the file is exactly `want`; on failure there is no file, or one that holds
    // only a whole number of `unit`-byte pieces, exactly as read before the failure (all of them when
    // the abort key came after the last).
    void checkRead(const QString& path, const QByteArray& want, qsizetype unit, qsizetype minPartial = 0) {
        const bool exists = QFile::exists(path);
        const QByteArray got = readAll(path);
        if (succeeded) {
            EXPECT_TRUE(got == want) << "the file is not what the drive holds: " << describe();
            return;
        }
        if (!exists) return;
        EXPECT_LE(got.size(), want.size()) << describe();
        EXPECT_EQ(got.size() % unit, 0) << describe();
        EXPECT_GE(got.size(), minPartial) << describe();
        EXPECT_TRUE(got == want.left(got.size())) << "a failed read left wrong bytes: " << describe();
    }
};

class Soak {
public:
    Soak() {
        h.open();
        folder.setAutoRemove(true);
    }

    // n runs of `body`, each after random faults of the given kinds. Prints the tally.
    // A run takes about spanMs of drive time without faults: the drive falls silent, or the abort key
    // is pressed, somewhere inside that span.
    void soak(int n, unsigned kinds, int spanMs, const std::function<void(SoakRun&)>& body) {
        soak(n, kinds, spanMs, 3, body);
    }
    // The same where a run dumps about `dumps` blocks: the dump faults fall among them.
    void soak(int n, unsigned kinds, int spanMs, int dumps, const std::function<void(SoakRun&)>& body) {
        int ok = 0, failed = 0, runs = 0;
        QElapsedTimer wall;
        wall.start();
        const qint64 virtualStart = h.clock.nowUs();
        for (int i = 0; i < n; ++i) {
            SoakRun r;
            r.index = i;
            r.rng.seed(static_cast<unsigned>(i * 7919 + 17));
            r.folder = folder.path();
            prepare(r, kinds, spanMs, dumps);
            r.h = &h;
            r.shownBefore = h.frontend.shown.size();
            const qint64 startUs = h.clock.nowUs();
            body(r);
            // Every wait is bounded: a run that takes an hour of drive time has hung.
            EXPECT_LT(h.clock.nowUs() - startUs, qint64{3600} * 1'000'000) << r.describe();
            (r.succeeded ? ok : failed) += 1;
            restore();
            ++runs;
            if (::testing::Test::HasFailure()) break;
        }
        std::printf("soak: %d runs, %d succeeded, %d failed as reported, %.1f s, %.0f s of drive time\n",
                    runs, ok, failed, wall.elapsed() / 1000.0, (h.clock.nowUs() - virtualStart) / 1e6);
        EXPECT_GT(ok, n / 5) << "too few runs got through to check their files";
        EXPECT_GT(failed, n / 5) << "too few faults took effect";
    }

    Harness h;
    QTemporaryDir folder;

private:
    // Random faults for the next run: none in about a quarter of the runs, else one or two.
    void prepare(SoakRun& r, unsigned kinds, int spanMs, int dumps) {
        hddsim::BufferMemory& m = memory(h);
        m.faults = {};
        h.model->console().clear();
        QStringList done;
        const int count = r.rng() % 4 == 0 ? 0 : 1 + static_cast<int>(r.rng() % 2);
        for (int k = 0; k < count; ++k) {
            const int soon = 1 + static_cast<int>(r.rng() % 3);
            const int dump = m.dumps + 1 + static_cast<int>(r.rng() % static_cast<unsigned>(dumps));
            switch (r.rng() % 12) {
                case 0:
                    if (!(kinds & kDumpFaults)) break;
                    m.faults.loseLineInDump = dump;
                    m.faults.lineIndex = static_cast<int>(r.rng() % 16);
                    done << QStringLiteral("line %1 lost in dump %2").arg(m.faults.lineIndex).arg(dump);
                    break;
                case 1:
                    if (!(kinds & kDumpFaults)) break;
                    m.faults.garbleLineInDump = dump;
                    m.faults.lineIndex = static_cast<int>(r.rng() % 16);
                    done << QStringLiteral("line %1 garbled in dump %2").arg(m.faults.lineIndex).arg(dump);
                    break;
                case 2:
                    if (!(kinds & kDumpFaults)) break;
                    m.faults.noHeaderInDump = dump;
                    done << QStringLiteral("no header in dump %1").arg(dump);
                    break;
                case 3:
                    if (!(kinds & kDumpFaults)) break;
                    m.faults.restartInDump = dump;
                    done << QStringLiteral("addresses restart in dump %1").arg(dump);
                    break;
                case 4:
                    if (!(kinds & kDownloadFaults)) break;
                    for (int a = 0, naks = 1 + static_cast<int>(r.rng() % 3); a < naks; ++a)
                        m.faults.nakAttempts << m.checksumAttempts + soon + a;
                    done << QStringLiteral("%1 NAKs from attempt +%2")
                                .arg(m.faults.nakAttempts.size())
                                .arg(soon);
                    break;
                case 5:
                    if (!(kinds & kDownloadFaults)) break;
                    m.faults.silentAnnounce = m.announces + soon;
                    done << QStringLiteral("announce +%1 unanswered").arg(soon);
                    break;
                case 6:
                    if (!(kinds & kDownloadFaults)) break;
                    m.faults.fallBackTo9600 = true;
                    done << QStringLiteral("falls back to 9600");
                    break;
                case 7:
                    if (!(kinds & kDownloadFaults)) break;
                    m.faults.slowAfterDownloadMs = 20 + static_cast<int>(r.rng() % 200);
                    done << QStringLiteral("answers %1 ms late").arg(m.faults.slowAfterDownloadMs);
                    break;
                case 8:
                    if (!(kinds & kSelectFaults)) break;
                    m.faults.selectNoPrompt = m.selects + soon;
                    done << QStringLiteral("select +%1 hangs").arg(soon);
                    break;
                case 9:
                    if (!(kinds & kSelectFaults)) break;
                    m.faults.garblePairInRead = m.reads + soon;
                    done << QStringLiteral("noise after read +%1").arg(soon);
                    break;
                case 10: {
                    const int after = static_cast<int>(r.rng() % static_cast<unsigned>(spanMs));
                    done << QStringLiteral("silent after %1 ms").arg(after);
                    silenceAfter(after);
                    break;
                }
                default: {
                    const int after = static_cast<int>(r.rng() % static_cast<unsigned>(spanMs));
                    done << QStringLiteral("abort after %1 ms").arg(after);
                    abortAfter(after);
                    break;
                }
            }
        }
        r.faults = done.join(QStringLiteral(", "));
        h.clearWire();
    }

    // Only one of the two per run: the second replaces the first.
    void silenceAfter(int ms) {
        if (poller_) h.clock.removePoller(poller_);
        const qint64 at = h.clock.nowUs() + qint64{ms} * 1000;
        poller_ = h.clock.addPoller([this, at] {
            if (h.clock.nowUs() >= at) h.drive->faults.silent = true;
        });
    }
    void abortAfter(int ms) {
        if (poller_) h.clock.removePoller(poller_);
        const qint64 at = h.clock.nowUs() + qint64{ms} * 1000;
        auto pressed = std::make_shared<bool>(false);
        poller_ = h.clock.addPoller([this, at, pressed] {
            if (*pressed || h.clock.nowUs() < at) return;
            *pressed = true;
            h.press("Button16");
        });
    }

public:
    // Drive and link as at the start: talking, at T level, both at 9600, nothing pending; the port
    // open again when it was lost.
    void restore() {
        if (poller_) h.clock.removePoller(poller_);
        poller_ = 0;
        memory(h).faults = {};
        h.drive->faults.silent = false;
        h.drive->rawHandler = nullptr;
        h.drive->baud = 9600;
        h.drive->level = "T";
        if (!h.model->isOpen()) h.open();
        hdd::Speed9600(h.dlg());
        h.idle(500);
        h.dlg().SendString("\x1a");
        h.idle(200);
        h.dlg().AbortRequested = false;
    }

    int poller_ = 0;
};

}  // namespace hddtest
