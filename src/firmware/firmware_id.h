// Firmware identification and family matching.
//
// The drive names its family, firmware version and mask ROM revision in its answers to Ctrl-A
// and Ctrl-L ("NHPLUS2HD SATA_Disk 3.AAC ...", "Mask Rom Rev = S-1N"). MatchFamily turns them into
// a position of a family list, trying the most specific name first; moduleAddresses turns the
// matching table entry's SA offsets into module cylinders.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "family_table.h"

namespace hdd {

class Dialogue;

struct FirmwareId {
    QByteArray family;   // NHPLUS2HD
    QByteArray maskRom;  // S-1N
    QByteArray version;  // 3.AAC
};

// The identification in the drive's answer lines (a later line overwrites an earlier value).
FirmwareId parseFirmwareId(const QList<QByteArray>& lines);

// Sends Ctrl-A, Ctrl-L and CR and parses the answer. Leaves the receive mode at "syscmd" and the
// capture buffer empty.
FirmwareId ReadFirmwareId(Dialogue& d);

// The candidate names, most specific first: FAMILY_REV_VERSION, FAMILY_VERSION, FAMILY_REV,
// FAMILY_3.XXX (only with allowXxx) and FAMILY, each only when its parts are known.
QStringList familyCandidates(const FirmwareId& id, bool allowXxx);

// The first list position whose name contains the first candidate that any name contains.
std::optional<int> MatchFamily(const QStringList& list, const FirmwareId& id, bool allowXxx);

// The numbers of a table value, separated by spaces.
QList<QByteArray> valueNumbers(const QByteArray& value);

// Module cylinders from a family entry and the reserve area's first cylinder.
struct ModuleAddresses {
    QString app, cert0, ata, ven, table;
    QString cert1, cert1Head;  // the second CERT part: head 1, or the head-0 continuation
    bool cert1Keys = false;    // CERT1 came from the entry's CERT1 value
    bool tableKeys = false;    // TABLE came from the entry
    bool error = false;        // a number of the entry is not hexadecimal or out of range
};
ModuleAddresses moduleAddresses(const FamilyEntry& entry, quint32 base);

}  // namespace hdd
