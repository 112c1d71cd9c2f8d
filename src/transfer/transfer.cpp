#include "transfer.h"

#include <QFile>
#include <QSaveFile>

#include "text.h"

namespace hdd {

QString lengthMessage(qint64 blockSize) { return QStringLiteral("文件长度必须是%1的倍数！").arg(blockSize); }

std::optional<quint64> hexArg(const QByteArray& text) { return parseHex(trimmed(text)); }

QByteArray hexText(quint64 value) { return QByteArray::number(value, 16).toUpper(); }

std::optional<QByteArray> loadFile(const QString& fileName) {
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) return std::nullopt;
    return bytes;
}

bool saveFile(const QString& fileName, const QByteArray& bytes) {
    QSaveFile f(fileName);
    if (!f.open(QIODevice::WriteOnly)) return false;
    if (f.write(bytes) != bytes.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

}  // namespace hdd
