#include "transfer.h"

#include <QFile>
#include <QSaveFile>

#include "text.h"

namespace hdd {

QString lengthMessage(qint64 blockSize) { return QStringLiteral("文件长度必须是%1的倍数！").arg(blockSize); }

std::optional<quint64> hexArg(const QByteArray& text) { return parseHex(trimmed(text)); }

QByteArray hexText(quint64 value) { return QByteArray::number(value, 16).toUpper(); }

QString fileTooLarge(qint64 limit) {
    return QStringLiteral("文件太大（不能超过%1MB），不能使用！").arg(limit / (1024 * 1024));
}

QString transferFileRefusal(const QString& fileName, qint64 limit) {
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly)) return kCannotOpen;
    if (f.size() > limit) return fileTooLarge(limit);
    return QString();
}

std::optional<QByteArray> loadFile(const QString& fileName) {
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly) || f.size() > kMaxTransferFile) return std::nullopt;
    QByteArray bytes = f.read(kMaxTransferFile + 1);
    if (f.error() != QFileDevice::NoError || bytes.size() > kMaxTransferFile) return std::nullopt;
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
