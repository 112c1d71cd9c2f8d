#include "script_line.h"

#include <limits>

#include "text.h"

namespace hdd {

namespace {

struct Keyword {
    const char* name;
    ScriptOp op;
};

constexpr Keyword kKeywords[] = {
    {"ECHO", ScriptOp::Echo},
    {"LEVEL", ScriptOp::Level},
    {"SLEEP", ScriptOp::Sleep},
    {"SPEED", ScriptOp::Speed},
    {"BAUDRATE", ScriptOp::Baudrate},
    {"STR", ScriptOp::Str},
    {"HEX", ScriptOp::Hex},
    {"DEC", ScriptOp::Dec},
    {"SEND_FILE", ScriptOp::SendFile},
    {"R_SECTORS", ScriptOp::ReadSectors},
    {"W_SECTORS", ScriptOp::WriteSectors},
    {"R_BUF", ScriptOp::ReadBuf},
    {"W_BUF", ScriptOp::WriteBuf},
    {"CREAT_FILE", ScriptOp::CreatFile},
};

const QString kMissing = QStringLiteral("缺少参数");

// Marks the step Invalid with its reason and console line; returns false so callers can
// `return fail(...)`.
bool fail(ScriptStep& s, const QString& reason) {
    s.op = ScriptOp::Invalid;
    s.reason = reason;
    s.error = QStringLiteral("错误: %1，此行未执行：%2").arg(reason, s.line);
    return false;
}

bool needHex(ScriptStep& s, const QString& field) {
    if (trimBlanks(field).isEmpty()) return fail(s, kMissing);
    if (!scriptHex(field)) return fail(s, QStringLiteral("参数“%1”不是十六进制数").arg(field));
    return true;
}

std::optional<qint64> needDecimal(ScriptStep& s, const QString& field) {
    if (trimBlanks(field).isEmpty()) {
        fail(s, kMissing);
        return std::nullopt;
    }
    const auto v = scriptDecimal(field);
    if (!v) fail(s, QStringLiteral("参数“%1”不是十进制数").arg(field));
    return v;
}

// The numeric fields and the file of the multi-field commands.
bool splitInto(ScriptStep& s, const QString& argument, int count, bool trimRest) {
    const auto split = splitScriptFields(argument, count, trimRest);
    if (!split || trimBlanks(split->rest).isEmpty()) return fail(s, kMissing);
    s.fields = split->fields;
    s.file = split->rest;
    return true;
}

void parseArguments(ScriptStep& s, const QString& argument) {
    switch (s.op) {
        case ScriptOp::Echo:
        case ScriptOp::Level:
        case ScriptOp::Speed:
        case ScriptOp::Baudrate:
        case ScriptOp::Str:
            s.text = argument;
            return;
        case ScriptOp::Sleep:
            if (const auto v = needDecimal(s, argument)) s.number = *v;
            return;
        case ScriptOp::Dec:
            if (const auto v = needDecimal(s, argument)) s.number = *v & 0xFF;
            return;
        case ScriptOp::Hex:
            if (needHex(s, argument)) s.number = static_cast<qint64>(*scriptHex(argument) & 0xFF);
            return;
        case ScriptOp::SendFile: {
            if (!splitInto(s, argument, 1, false)) return;
            const auto v = needDecimal(s, s.fields[0]);
            if (!v) return;
            if (*v <= 0) {
                fail(s, QStringLiteral("数据块大小“%1”无效").arg(s.fields[0]));
                return;
            }
            s.number = *v;
            return;
        }
        case ScriptOp::ReadBuf:
        case ScriptOp::WriteBuf:
            if (!splitInto(s, argument, 2, false)) return;
            for (const QString& f : s.fields) {
                if (!needHex(s, f)) return;
            }
            return;
        case ScriptOp::ReadSectors:
        case ScriptOp::WriteSectors:
            if (!splitInto(s, argument, 6, true)) return;
            for (int i = 0; i < s.fields.size(); ++i) {
                // A sector write goes to every track of a comma-separated list.
                const QStringList parts = i == 0 && s.op == ScriptOp::WriteSectors ? s.fields[i].split(',')
                                                                                   : QStringList{s.fields[i]};
                for (const QString& p : parts) {
                    if (!needHex(s, p)) return;
                }
            }
            return;
        case ScriptOp::CreatFile:
            if (!splitInto(s, argument, 6, true)) return;
            // A source left empty is not used; its range is not looked at.
            for (int src : {0, 3}) {
                if (s.fields[src].isEmpty()) continue;
                if (!needHex(s, s.fields[src + 1]) || !needHex(s, s.fields[src + 2])) return;
            }
            return;
        default:
            return;
    }
}

}  // namespace

QString trimBlanks(const QString& text) {
    qsizetype b = 0, e = text.size();
    while (b < e && text[b].unicode() <= 0x20) ++b;
    while (e > b && text[e - 1].unicode() <= 0x20) --e;
    return text.mid(b, e - b);
}

std::optional<ScriptFields> splitScriptFields(const QString& argument, int count, bool trimRest) {
    ScriptFields out;
    QString rest = argument;
    for (int i = 0; i < count; ++i) {
        const qsizetype p = rest.indexOf('/');
        if (p < 0) return std::nullopt;
        out.fields << trimBlanks(rest.left(p));
        rest = rest.mid(p + 1);
        if (i + 1 < count) rest = trimBlanks(rest);
    }
    out.rest = trimRest ? trimBlanks(rest) : rest;
    return out;
}

std::optional<qint64> scriptDecimal(const QString& text) {
    const QString t = trimBlanks(text);
    if (t.isEmpty()) return std::nullopt;
    qsizetype i = (t[0] == '-' || t[0] == '+') ? 1 : 0;
    if (i == t.size()) return std::nullopt;
    qint64 v = 0;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c.unicode() - '0');
        if (v > qint64{std::numeric_limits<qint32>::max()} + 1) return std::nullopt;
    }
    if (t[0] == '-') v = -v;
    if (v > std::numeric_limits<qint32>::max()) return std::nullopt;
    return v;
}

std::optional<quint64> scriptHex(const QString& text) {
    const QString t = trimBlanks(text);
    for (QChar c : t) {
        if (c.unicode() > 0x7F) return std::nullopt;
    }
    return parseHex(t.toLatin1());
}

ScriptStep ParseScriptLine(const QString& line) {
    ScriptStep s;
    s.line = trimBlanks(line);
    if (s.line.isEmpty() || s.line.startsWith('/')) return s;
    const qsizetype slash = s.line.indexOf('/');
    if (slash < 0) {
        s.op = ScriptOp::Show;
        return s;
    }
    s.keyword = s.line.left(slash);
    s.op = ScriptOp::Unknown;
    for (const Keyword& k : kKeywords) {
        if (s.keyword == QLatin1String(k.name)) s.op = k.op;
    }
    parseArguments(s, s.line.mid(slash + 1));
    return s;
}

}  // namespace hdd
