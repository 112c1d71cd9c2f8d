#include "address.h"

#include "dialogue.h"
#include "monitor.h"
#include "text.h"

namespace hdd {

QByteArray partBefore(const QByteArray& text, char c) {
    const qsizetype i = text.indexOf(c);
    return i < 0 ? QByteArray() : text.left(i);
}

QByteArray partAfter(const QByteArray& text, char c) {
    const qsizetype i = text.indexOf(c);
    return i < 0 ? QByteArray() : text.mid(i + 1);
}

std::optional<QString> normaliseAddress(const QByteArray& text) {
    const auto n = normaliseHex(QString::fromLatin1(text));
    if (!n || !addressValue(*n)) return std::nullopt;
    return n;
}

std::optional<quint32> addressValue(const QString& text) {
    const auto v = parseHex(text.trimmed());
    if (!v || *v > 0x7FFFFFFFu) return std::nullopt;
    return static_cast<quint32>(*v);
}

namespace {

QString addressOrEmpty(const QByteArray& text) { return normaliseAddress(text).value_or(QString()); }

// Sectors per track: a count of 0 is no usable value.
QString countOrEmpty(const QString& text) { return text == QLatin1String("0") ? QString() : text; }

}  // namespace

namespace {

bool allKnown(std::initializer_list<const QString*> fields) {
    for (const QString* f : fields) {
        if (f->trimmed().isEmpty()) return false;
    }
    return true;
}

}  // namespace

bool ReserveFields::known() const { return allKnown({&first, &last, &spt}); }
bool ModuleFields::known() const { return allKnown({&app, &cert0, &ata, &ven}); }

ReserveFields parseReserveAnswer(const QList<QByteArray>& lines) {
    ReserveFields f;
    for (const QByteArray& line : lines) {
        if (line.startsWith("Reserve:")) {
            // "Reserve: 02A0-031F (0380)"
            const QByteArray t = trimmed(line.mid(8));
            const QByteArray rest = trimmed(partAfter(t, '-'));
            f.first = addressOrEmpty(partBefore(t, '-'));
            f.last = addressOrEmpty(trimmed(partBefore(rest, ' ')));
            QByteArray spt = trimmed(partBefore(trimmed(partAfter(rest, '(')), ')'));
            while (spt.startsWith('0')) spt.remove(0, 1);
            // Kept as the drive wrote it (without leading zeros), but only when it is a number and
            // nothing else (noise inside the brackets is no number).
            f.spt = parseHex(spt) && normaliseAddress(spt) ? QString::fromLatin1(spt) : QString();
        }
        if (line.startsWith("Sys=")) {
            // "Sys=02A0-031F 0380 Hds=2"
            const QByteArray t = trimmed(line.mid(4));
            const QByteArray rest = trimmed(partAfter(t, '-'));
            f.first = addressOrEmpty(partBefore(t, '-'));
            f.last = addressOrEmpty(trimmed(partBefore(rest, ' ')));
            f.spt = countOrEmpty(addressOrEmpty(partBefore(trimmed(partAfter(rest, ' ')), ' ')));
        }
    }
    return f;
}

ModuleFields parseModuleAnswer(const QList<QByteArray>& lines) {
    enum Target { App, Cert, Intf, Sys };
    struct Prefix {
        const char* text;
        int from;  // the value starts at this position, counted from 1
        Target target;
    };
    static const Prefix prefixes[] = {
        {"First App Code Cylinder", 25, App},    {"Second App Code Cylinder", 25, App},
        {"Third App Code Cylinder", 25, App},    {"Fourth App Code Cylinder", 25, App},
        {"1st App Code Cyl", 17, App},           {"2nd App Code Cyl", 17, App},
        {"3rd App Code Cyl", 17, App},           {"4th App Code Cyl", 17, App},
        {"First Cert Code Cylinder", 25, Cert},  {"1st CertCode Cyl", 17, Cert},
        {"First Intf Code Cylinder", 25, Intf},  {"1st IntfCode Cyl", 17, Intf},
        {"First Intf System Cylinder", 27, Sys}, {"1st Intf Sys Cyl", 17, Sys},
    };
    QString value[4];
    bool bad[4] = {false, false, false, false};
    for (const QByteArray& raw : lines) {
        const QByteArray line = trimmed(raw);
        for (const Prefix& p : prefixes) {
            if (!line.startsWith(p.text)) continue;
            const auto v = normaliseAddress(partBefore(trimmed(line.mid(p.from - 1)), ' '));
            // A cylinder that cannot be read spoils the field: a list of App copies missing one
            // would have the write key leave that copy behind.
            if (!v) {
                bad[p.target] = true;
            } else if (p.target == App) {
                value[App] += (value[App].isEmpty() ? QString() : QStringLiteral(",")) + *v;
            } else {
                value[p.target] = *v;
            }
        }
    }
    ModuleFields f;
    f.app = bad[App] ? QString() : value[App];
    f.cert0 = bad[Cert] ? QString() : value[Cert];
    f.ata = bad[Intf] ? QString() : value[Intf];
    f.ven = bad[Sys] ? QString() : value[Sys];
    return f;
}

QString parseReserveStartPercent(const QList<QByteArray>& lines) {
    QString result;
    for (const QByteArray& line : lines) {
        if (!line.startsWith(':')) continue;
        // ': "SysArea" 02A0-031F ...': the range stands after the quoted label.
        QByteArray t = trimmed(line);
        t = trimmed(partAfter(t, '"'));
        t = trimmed(partAfter(t, '"'));
        result = addressOrEmpty(partBefore(t, '-'));
    }
    return result;
}

QString parseReserveStartX(const QList<QByteArray>& lines) {
    QString result;
    for (const QByteArray& line : lines) {
        if (line.startsWith("Reserve:")) result = addressOrEmpty(partBefore(trimmed(line.mid(8)), '-'));
        if (line.startsWith("Sys=")) result = addressOrEmpty(partBefore(trimmed(line.mid(4)), '-'));
    }
    return result;
}

bool showsCertLoaded(const QList<QByteArray>& lines) {
    for (const QByteArray& line : lines) {
        if (line.contains("Disk Code Revision")) return true;
    }
    return false;
}

std::optional<QList<QByteArray>> AskReserveAnswer(Dialogue& d, int promptWait) {
    d.CaptureBuffer.clear();
    d.SendString("/2\r");
    d.WaitHD(promptWait);
    if (d.LastPrompt != "2>") return std::nullopt;
    d.SendString("x\r");
    d.WaitHD(1500);
    return d.captureLines();
}

QString GetSysB(Dialogue& d) {
    const QByteArray saved = d.ReceiveMode;
    d.ReceiveMode = kSysCmd;
    d.CaptureBuffer.clear();
    d.SendString("%\r");
    d.WaitHD(100);
    QString result = parseReserveStartPercent(d.captureLines());
    if (result.isEmpty() && isT(d)) {
        if (const auto answer = AskReserveAnswer(d, 100)) result = parseReserveStartX(*answer);
    }
    d.ReceiveMode = saved;
    return result;
}

bool IsCertLoaded(Dialogue& d) {
    d.CaptureBuffer.clear();
    d.ReceiveMode = kSysCmd;
    d.SendString("/\r");
    d.WaitHD(10);
    d.SendString("r\r");
    d.WaitHD(10);
    const bool loaded = showsCertLoaded(d.captureLines());
    d.CaptureBuffer.clear();
    return loaded;
}

}  // namespace hdd
