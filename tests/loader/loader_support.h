// Helpers of the F-level boot tests: the dialog on the simulated drive, module files in a folder,
// the bytes a download puts on the wire, and the console lines the loaders write.
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "buffer_memory.h"
#include "harness.h"
#include "loader_state.h"

namespace hddtest {

inline QByteArray pattern(qsizetype n, int seed) {
    QByteArray b(n, '\0');
    for (qsizetype i = 0; i < n; ++i) b[i] = static_cast<char>((i * 13 + seed * 101 + (i >> 8)) & 0xFF);
    return b;
}

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline QString writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
    return path;
}

// A download of `image` in blocks as it must go on the wire: the opening bytes, blocks 1 .. n-1,
// block 0, the total checksum.
inline QByteArray downloadOnWire(const QByteArray& image, qsizetype blockSize) {
    auto block = [&](qsizetype k) {
        const QByteArray data = image.mid(k * blockSize, blockSize);
        const quint16 sum = hddsim::blockSum(data, static_cast<int>(k));
        return QByteArray("\xCC\x33") + char(k) + data + "\xCC\x33" + char(sum >> 8) + char(sum & 0xFF);
    };
    QByteArray w("\xCC\x33");
    for (qsizetype k = 1; k < image.size() / blockSize; ++k) w += block(k);
    const quint32 total = hddsim::downloadSum(image) & 0xFFFF;
    return w + block(0) + char(total >> 8) + char(total & 0xFF);
}

// The dialog with a folder of module files; the harness's drive at T level, port open at 9600.
struct LoaderTest : ::testing::Test {
    LoaderTest() { h.open(); }

    hdd::FormModel& form() { return *h.model->formByName("Form2"); }
    hddsim::LoaderState& loaded() { return h.drive->state<hddsim::LoaderState>(); }
    hddsim::BufferMemory& memory() { return h.drive->state<hddsim::BufferMemory>(); }

    // The five module files of a firmware folder (TABLE of two sectors).
    QString moduleFolder(const QString& name = QStringLiteral("fw")) {
        const QString f = dir.filePath(name);
        QDir().mkpath(f);
        for (const auto& [file, bytes] : files) writeFile(f + "/" + file, bytes);
        return f;
    }
    // The dialog's folder key answered with a folder.
    void chooseFolder(const QString& folder) {
        h.frontend.files << folder;
        form().userClick("Button7");
    }
    // Lines the loaders wrote (their progress lines and messages), in order.
    QStringList loaderLines() const {
        QStringList out;
        for (const QString& l : h.consoleText().split('\n')) {
            if (l.startsWith("正在加载") || l.startsWith("转换至F级") || l.startsWith("错误") ||
                l == QStringLiteral("请先加载CERT模块！"))
                out << l;
        }
        return out;
    }

    Harness h;
    QTemporaryDir dir;
    const QList<std::pair<QString, QByteArray>> files = {
        {"APP.BIN", pattern(3 * 2048, 1)},  {"CERT.BIN", pattern(2 * 4096, 2)},
        {"Table.BIN", pattern(2 * 512, 3)}, {"ATA0.BIN", pattern(3 * 512, 4)},
        {"ATA1.BIN", pattern(2 * 512, 5)},
    };
    QByteArray bytesOf(const QString& file) const {
        for (const auto& [name, bytes] : files)
            if (name == file) return bytes;
        return {};
    }
};

}  // namespace hddtest
