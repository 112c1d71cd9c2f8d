// Helpers of the transfer tests: the simulated drive's buffer memory and system area, files in a
// temporary folder, and an abort pressed when the drive has received a given command.
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "buffer_memory.h"
#include "harness.h"
#include "monitor.h"
#include "system_area.h"

namespace hddtest {

inline hddsim::BufferMemory& memory(Harness& h) { return h.drive->state<hddsim::BufferMemory>(); }
inline hddsim::SystemArea& systemArea(Harness& h) { return h.drive->state<hddsim::SystemArea>(); }

// Buffer memory as the drive holds it, count blocks from block on.
inline QByteArray blocks(Harness& h, quint32 block, quint32 count) {
    return memory(h).bytes.mid(qint64{block} * 512, qint64{count} * 512);
}

// Sectors as the drive holds them.
inline QByteArray sectors(Harness& h, quint32 cylinder, quint32 head, quint32 first, quint32 count) {
    return systemArea(h).read(cylinder, head, first, count);
}

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
}

// A recognisable file content of n bytes.
inline QByteArray pattern(qsizetype n, int seed = 1) {
    QByteArray b(n, '\0');
    for (qsizetype i = 0; i < n; ++i) b[i] = static_cast<char>((i * 31 + seed * 7 + (i >> 9)) & 0xFF);
    return b;
}

inline int occurrences(const QByteArray& hay, const QByteArray& needle) {
    int n = 0;
    for (qsizetype i = hay.indexOf(needle); i >= 0; i = hay.indexOf(needle, i + 1)) ++n;
    return n;
}

// Presses the abort key once, from inside a wait, as soon as `when` holds.
inline void abortWhen(Harness& h, std::function<bool()> when) {
    auto done = std::make_shared<bool>(false);
    h.clock.addPoller([&h, when, done] {
        if (*done || !when()) return;
        *done = true;
        h.press("Button16");
    });
}

// Opens the port and brings drive and port to a speed, as a transfer key does before it works.
inline void openAt(Harness& h, const QString& speed) {
    h.open();
    hdd::AdMySpeed(h.dlg(), speed);
    h.clearWire();
}

}  // namespace hddtest
