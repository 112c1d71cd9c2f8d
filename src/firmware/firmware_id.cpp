#include "firmware_id.h"

#include "address.h"
#include "dialogue.h"
#include "text.h"

namespace hdd {

FirmwareId parseFirmwareId(const QList<QByteArray>& lines) {
    FirmwareId id;
    for (const QByteArray& raw : lines) {
        const QByteArray line = trimmed(raw);
        QByteArray subject = line;
        const qsizetype disk = line.indexOf("_Disk");
        if (disk >= 0) {
            id.family = trimmed(partBefore(line, ' '));
            subject = trimmed(line.mid(disk + 5));
            id.version = trimmed(partBefore(subject, ' '));
        }
        if (subject.contains("Mask Rom Rev")) id.maskRom = trimmed(partAfter(subject, '='));
    }
    return id;
}

FirmwareId ReadFirmwareId(Dialogue& d) {
    d.ReceiveMode = kSysCmd;
    d.CaptureBuffer.clear();
    d.SendString("\x01");
    d.WaitHD(5);
    d.SendString("\x0c");
    d.WaitHD(5);
    d.SendString("\r");
    d.WaitHD(100);
    const FirmwareId id = parseFirmwareId(d.captureLines());
    d.CaptureBuffer.clear();
    return id;
}

QStringList familyCandidates(const FirmwareId& id, bool allowXxx) {
    const QString fam = fromGbk(upperAscii(id.family));
    const QString rev = fromGbk(upperAscii(id.maskRom));
    const QString ver = fromGbk(upperAscii(id.version));
    QStringList out;
    if (fam.isEmpty()) return out;
    if (!rev.isEmpty() && !ver.isEmpty()) out << fam + "_" + rev + "_" + ver;
    if (!ver.isEmpty()) out << fam + "_" + ver;
    if (!rev.isEmpty()) out << fam + "_" + rev;
    const qsizetype dot = ver.indexOf('.');
    if (allowXxx && dot >= 0) out << fam + "_" + ver.left(dot + 1) + "XXX";
    out << fam;
    return out;
}

std::optional<int> MatchFamily(const QStringList& list, const FirmwareId& id, bool allowXxx) {
    for (const QString& candidate : familyCandidates(id, allowXxx)) {
        for (int p = 0; p < list.size(); ++p) {
            if (list[p].contains(candidate)) return p;
        }
    }
    return std::nullopt;
}

QList<QByteArray> valueNumbers(const QByteArray& value) {
    QList<QByteArray> out;
    for (const QByteArray& part : value.split(' ')) {
        if (!part.isEmpty()) out << part;
    }
    return out;
}

namespace {

// The value's first number: its text up to the first space. A value without a space gives none.
QByteArray firstNumber(const QByteArray& value) { return trimmed(partBefore(value, ' ')); }

}  // namespace

ModuleAddresses moduleAddresses(const FamilyEntry& e, quint32 base) {
    ModuleAddresses a;
    // Offset + base as an address; an unreadable number marks the whole result as wrong.
    auto cylinder = [&a, base](const QByteArray& number) -> QString {
        if (number.isEmpty()) return {};
        const auto off = parseHex(number);
        if (!off || *off > 0x7FFFFFFFu || *off + base > 0x7FFFFFFFu) {
            a.error = true;
            return {};
        }
        return toHexText(*off + base);
    };
    a.app = cylinder(firstNumber(e.app));
    a.cert0 = cylinder(firstNumber(e.cert0));
    const QList<QByteArray> cert0 = valueNumbers(e.cert0);
    if (!a.cert0.isEmpty() && cert0.size() >= 5) {
        // A continuation of the head-0 data on another cylinder.
        a.cert1 = cylinder(cert0[3]);
        if (!a.cert1.isEmpty()) a.cert1Head = QStringLiteral("0");
    }
    if (a.cert1.isEmpty()) {
        a.cert1 = cylinder(firstNumber(e.cert1));
        if (!a.cert1.isEmpty()) {
            a.cert1Head = QStringLiteral("1");
            a.cert1Keys = true;
        }
    }
    a.table = cylinder(firstNumber(e.table));
    a.tableKeys = !a.table.isEmpty();
    a.ata = cylinder(firstNumber(e.ata));
    a.ven = cylinder(firstNumber(e.ven));
    return a;
}

}  // namespace hdd
