#include "transfer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "host.h"
#include "text.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#endif

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
#ifdef Q_OS_UNIX
    // An existing file the user may not replace is refused rather than renamed over.
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    if (info.exists() && ::access(target.constData(), W_OK) != 0) return qt_error_string(errno);
    // The save writes a new file beside the target and renames it into place: try exactly that.
    const QByteArray probe =
        QFile::encodeName(info.absolutePath() + QStringLiteral("/.hddterm-check-%1").arg(::getpid()));
    const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno == EEXIST) return {};  // a stale probe: the folder takes files
        return qt_error_string(errno);
    }
    ::close(fd);
    ::unlink(probe.constData());
    return {};
#else
    const QDir dir = info.absoluteDir();
    if (!dir.exists()) return qt_error_string(ENOENT);
    return {};
#endif
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
