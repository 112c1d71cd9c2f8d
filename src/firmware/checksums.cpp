#include "checksums.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace hdd {

namespace {
QByteArray fileHash(const QString& path, bool* readable) {
    QFile f(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    *readable = f.open(QIODevice::ReadOnly) && hash.addData(&f);
    return *readable ? hash.result().toHex() : QByteArray();
}
}  // namespace

QString sumsLine(const QString& path, const QString& name) {
    bool readable = false;
    const QByteArray hash = fileHash(path, &readable);
    if (!readable) return {};
    return QString::fromLatin1(hash) + "  " + name + "\n";
}

std::optional<QList<SumCheck>> checkSums(const QString& folder, QString* why) {
    QFile list(QDir(folder).filePath(kSumsFileName));
    if (!list.exists() || !list.open(QIODevice::ReadOnly)) {
        if (why) *why = list.exists() ? list.errorString() : QStringLiteral("no %1").arg(kSumsFileName);
        return std::nullopt;
    }
    // "<hash>  <name>", or "<hash> *<name>" for a list written in binary mode.
    static const QRegularExpression line(QStringLiteral("^([0-9a-fA-F]{64}) [ *](.+)$"));
    QList<SumCheck> out;
    for (QByteArray raw : list.readAll().split('\n')) {
        if (raw.endsWith('\r')) raw.chop(1);
        if (raw.trimmed().isEmpty()) continue;
        const QString text = QString::fromUtf8(raw);
        const auto m = line.match(text);
        if (!m.hasMatch()) {
            out << SumCheck{text, SumCheck::State::Failed};
            continue;
        }
        const QString name = m.captured(2);
        const QString path = QDir(folder).filePath(name);
        if (!QFileInfo(path).isFile()) {
            out << SumCheck{name, SumCheck::State::Missing};
            continue;
        }
        bool readable = false;
        const QByteArray hash = fileHash(path, &readable);
        const bool same = readable && hash == m.captured(1).toLatin1().toLower();
        out << SumCheck{name, same ? SumCheck::State::Ok : SumCheck::State::Failed};
    }
    return out;
}

QString sumCheckLine(const SumCheck& check) {
    switch (check.state) {
        case SumCheck::State::Ok:
            return check.name + QStringLiteral(": OK");
        case SumCheck::State::Failed:
            return check.name + QStringLiteral(": FAILED");
        case SumCheck::State::Missing:
            return check.name + QStringLiteral(": MISSING");
    }
    return {};
}

}  // namespace hdd
