// Command scripts: the line language.
//
// A script is plain text, one command per line. A line is first trimmed (every character at or
// below the space goes from both ends). An empty line and a line beginning with "/" (a comment; the
// built-in scripts write "//") are skipped. A line without "/" is only shown as the current
// command. Any other line is a command: its keyword is the text before the first "/" as it stands
// (case counts, and a blank before the "/" makes another keyword, which is ignored), its argument
// everything after that "/".
//
// Commands with several arguments split the argument at "/": each numeric field is the trimmed
// text before the next "/", and the file name is what remains, to the end of the line (so only
// the last field may hold a "/", an absolute path included). SEND_FILE, R_BUF and W_BUF take that
// rest as it stands; R_SECTORS, W_SECTORS and CREAT_FILE trim it.
//
// Numbers: SLEEP, DEC and SEND_FILE's block size are decimal; HEX and the numeric fields of the
// sector, buffer and file commands are hexadecimal without prefix (those fields travel on to the
// transfer routines as written). SPEED and BAUDRATE compare their argument as text. Every number is
// checked here, before anything runs: a line with a bad number, too few fields or no file name
// comes back as Invalid with the console line that says why, and the interpreter does not run it.
//
// ParseScriptLine is a pure function of the line's text: no dialogue, no console, no files.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace hdd {

enum class ScriptOp {
    Skip,     // empty or a comment: nothing happens, not even the pause
    Show,     // no "/": shown as the current command, nothing else
    Unknown,  // an unknown keyword: shown, then the pause
    Invalid,  // a known keyword whose arguments cannot be used: shown, reported, then the pause
    Echo,
    Level,
    Sleep,
    Speed,
    Baudrate,
    Str,
    Hex,
    Dec,
    SendFile,
    ReadSectors,
    WriteSectors,
    ReadBuf,
    WriteBuf,
    CreatFile,
};

struct ScriptStep {
    ScriptOp op = ScriptOp::Skip;
    QString line;        // the trimmed line, as Edit1 shows it
    QString keyword;     // the text before the first "/"
    QString text;        // ECHO and STR text, LEVEL letter, SPEED and BAUDRATE rate
    qint64 number = 0;   // SLEEP milliseconds, HEX and DEC byte (already cut to 8 bits), SEND_FILE block size
    QStringList fields;  // numeric fields (R_SECTORS, W_SECTORS, R_BUF, W_BUF) or CREAT_FILE's first six
    QString file;        // the last field: the file of SEND_FILE and the transfers, CREAT_FILE's target
    QString error;       // Invalid: the console line that reports it
    QString reason;      // Invalid: why, in a few words ("缺少参数")
};

ScriptStep ParseScriptLine(const QString& line);

// Every character at or below the space removed from both ends.
QString trimBlanks(const QString& text);

// The multi-field split: `count` fields before the rest. nullopt when the argument holds fewer
// than `count` "/" separators.
struct ScriptFields {
    QStringList fields;
    QString rest;
};
std::optional<ScriptFields> splitScriptFields(const QString& argument, int count, bool trimRest);

// A decimal number in the 32-bit range (an optional sign, digits, blanks around), else nullopt.
std::optional<qint64> scriptDecimal(const QString& text);
// Hexadecimal without prefix (blanks around allowed) that fits in 64 bits, else nullopt.
std::optional<quint64> scriptHex(const QString& text);

}  // namespace hdd
