#include "script_file.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include "text.h"

namespace hdd {

namespace {
const QByteArray kUtf8Mark = QByteArrayLiteral("\xEF\xBB\xBF");
}  // namespace

QString decodeScript(const QByteArray& bytes) {
    QString text =
        bytes.startsWith(kUtf8Mark) ? QString::fromUtf8(bytes.mid(kUtf8Mark.size())) : fromGbk(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace('\r', '\n');
    if (text.endsWith('\n')) text.chop(1);
    return text;
}

std::optional<QByteArray> encodeScript(const QString& text) {
    QString t = text;
    t.remove('\r');
    if (t.isEmpty()) return QByteArray();
    if (t.endsWith('\n')) t.chop(1);
    t.replace('\n', QStringLiteral("\r\n"));
    t += QStringLiteral("\r\n");
    QStringEncoder gbk("GBK");
    if (!gbk.isValid()) return t.toLocal8Bit();
    QByteArray out = gbk.encode(t);
    if (gbk.hasError()) return std::nullopt;
    return out;
}

std::optional<QString> loadScriptFile(const QString& path, QString& error) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("打开脚本文件失败：%1").arg(path);
        return std::nullopt;
    }
    if (f.size() > kMaxScriptBytes) {
        error = QStringLiteral("脚本文件太大（不能超过1MB）：%1").arg(path);
        return std::nullopt;
    }
    const QByteArray bytes = f.read(kMaxScriptBytes + 1);
    if (f.error() != QFileDevice::NoError || bytes.size() > kMaxScriptBytes) {
        error = QStringLiteral("读取脚本文件失败：%1").arg(path);
        return std::nullopt;
    }
    return decodeScript(bytes);
}

bool saveScriptFile(const QString& path, const QString& text, QString& error) {
    const auto bytes = encodeScript(text);
    if (!bytes) {
        error = QStringLiteral("脚本中有无法以GBK保存的字符，未保存：%1").arg(path);
        return false;
    }
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(*bytes) != bytes->size() || !f.commit()) {
        error = QStringLiteral("保存脚本文件失败：%1").arg(path);
        return false;
    }
    return true;
}

}  // namespace hdd
