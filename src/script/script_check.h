// Command scripts: the look at a whole script before it runs.
//
// A script is how a technician repeats a drive dialogue on many drives, so a typo must not pass in
// silence. The check lists every line that cannot run as written, with its number (1 for the first
// line, skipped lines counted) and why:
//   - a line with "/" whose keyword is not in the language (lines without "/" are only shown, and
//     are no finding);
//   - a line the parser refuses: a number that is not a number in its base, a missing field;
//   - a file that SEND_FILE, W_BUF or W_SECTORS reads and that does not exist or cannot be read
//     (unless an earlier line writes it);
//   - a folder that R_SECTORS, R_BUF or CREAT_FILE writes into and that does not exist.
// What the language maps on purpose is no finding: HEX and DEC keep the low 8 bits, an unlisted
// SPEED or BAUDRATE rate means 9600, LEVEL reads its first letter, CREAT_FILE skips a missing
// source and cuts a count at the file's end. A file's length and content are judged when its line
// runs.
//
// CheckScriptText is a pure function of the text; CheckScriptFiles looks at the file system (file
// names relative to the working folder, as the routines take them).
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace hdd {

struct ScriptFinding {
    int line = 0;    // 1-based
    QString text;    // the trimmed line
    QString reason;  // why it cannot run as written

    bool operator==(const ScriptFinding&) const = default;
};

// A file a line reads or writes.
struct ScriptFileUse {
    int line = 0;
    QString text;
    QString path;
    bool reads = false;  // read (SEND_FILE, W_BUF, W_SECTORS); else written
};

struct ScriptTextCheck {
    QList<ScriptFinding> findings;
    QList<ScriptFileUse> files;  // of the lines without a finding, in script order
};

ScriptTextCheck CheckScriptText(const QStringList& lines);
QList<ScriptFinding> CheckScriptFiles(const QList<ScriptFileUse>& files);
// Both, in line order.
QList<ScriptFinding> CheckScript(const QStringList& lines);

// Why `path` cannot be read ("无法打开文件！ PATH: the system's reason"); empty when it can.
QString scriptReadRefusal(const QString& path);

// The console line of a finding: "错误: 第3行 未知的命令“BOGUS”：BOGUS/1/2".
QString findingLine(const ScriptFinding& f);
// The console line of a line whose routine failed: "错误: 第3行 执行失败：W_BUF/800/4/x.bin".
QString failedLine(int line, const QString& text);

}  // namespace hdd
