#include "transfer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "host.h"
#include "text.h"

#include <cerrno>

#include "platform.h"

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

bool saveFile(const QString& fileName, const QByteArray& bytes, QString* error) {
    QSaveFile f(fileName);
    const bool ok = f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.commit();
    if (!ok) {
        if (error) *error = f.errorString();
        f.cancelWriting();
    }
    return ok;
}

QString cannotCreateReason(const QString& path) {
    if (path.isEmpty()) return qt_error_string(ENOENT);
    const QFileInfo info(path);
    if (info.isDir()) return qt_error_string(EISDIR);
    return platform::cannotCreateReason(info.absoluteFilePath(), info.exists());
}

QString cannotCreateMessage(const QString& path, const QString& reason) {
    return kCannotCreate + QStringLiteral(" %1: %2").arg(QDir::toNativeSeparators(path), reason);
}

QString cannotWriteMessage(const QString& path, const QString& reason) {
    return kCannotWrite + QStringLiteral(" %1: %2").arg(QDir::toNativeSeparators(path), reason);
}

Outcome checkSaveTarget(Host& host, const QString& path) {
    const QString reason = cannotCreateReason(path);
    if (reason.isEmpty()) return Outcome::done();
    const QString message = cannotCreateMessage(path, reason);
    host.warning(message);
    return Outcome::refused(Outcome::By::Check, message);
}

}  // namespace hdd
