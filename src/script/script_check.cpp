#include "script_check.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <cerrno>

#include "script_line.h"
#include "transfer.h"

namespace hdd {

namespace {

// The system's reason a file cannot be opened for reading; empty when it can.
QString readReason(const QString& path) {
    if (QFileInfo(path).isDir()) return qt_error_string(EISDIR);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return f.errorString();
    return {};
}

QString absolute(const QString& path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

}  // namespace

ScriptTextCheck CheckScriptText(const QStringList& lines) {
    ScriptTextCheck out;
    for (int i = 0; i < lines.size(); ++i) {
        const ScriptStep s = ParseScriptLine(lines[i]);
        const int number = i + 1;
        switch (s.op) {
            case ScriptOp::Unknown:
                out.findings << ScriptFinding{number, s.line,
                                              QStringLiteral("未知的命令“%1”").arg(s.keyword)};
                break;
            case ScriptOp::Invalid:
                out.findings << ScriptFinding{number, s.line, s.reason};
                break;
            case ScriptOp::SendFile:
            case ScriptOp::WriteBuf:
            case ScriptOp::WriteSectors:
                out.files << ScriptFileUse{number, s.line, s.file, true};
                break;
            case ScriptOp::ReadSectors:
            case ScriptOp::ReadBuf:
            case ScriptOp::CreatFile:
                out.files << ScriptFileUse{number, s.line, s.file, false};
                break;
            default:
                break;
        }
    }
    return out;
}

QList<ScriptFinding> CheckScriptFiles(const QList<ScriptFileUse>& files) {
    QList<ScriptFinding> out;
    QSet<QString> written;  // by earlier lines: a later line may read them
    for (const ScriptFileUse& u : files) {
        if (!u.reads) {
            const QString folder = QFileInfo(u.path).absolutePath();
            if (!QFileInfo(folder).isDir()) {
                out << ScriptFinding{
                    u.line, u.text, QStringLiteral("文件夹“%1”不存在").arg(QDir::toNativeSeparators(folder))};
            } else {
                written.insert(absolute(u.path));
            }
        } else if (!written.contains(absolute(u.path))) {
            if (const QString why = readReason(u.path); !why.isEmpty())
                out << ScriptFinding{
                    u.line, u.text,
                    QStringLiteral("无法读取文件“%1”（%2）").arg(QDir::toNativeSeparators(u.path), why)};
        }
    }
    return out;
}

QList<ScriptFinding> CheckScript(const QStringList& lines) {
    const ScriptTextCheck text = CheckScriptText(lines);
    QList<ScriptFinding> out = text.findings + CheckScriptFiles(text.files);
    std::stable_sort(out.begin(), out.end(),
                     [](const ScriptFinding& a, const ScriptFinding& b) { return a.line < b.line; });
    return out;
}

QString scriptReadRefusal(const QString& path) {
    const QString why = readReason(path);
    if (why.isEmpty()) return {};
    return kCannotOpen + QStringLiteral(" %1: %2").arg(QDir::toNativeSeparators(path), why);
}

QString findingLine(const ScriptFinding& f) {
    return QStringLiteral("错误: 第%1行 %2：%3").arg(QString::number(f.line), f.text, f.reason);
}

QString failedLine(int line, const QString& text) {
    return QStringLiteral("错误: 第%1行 %2：执行失败").arg(QString::number(line), text);
}

}  // namespace hdd
