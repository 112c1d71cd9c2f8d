// What the backup makes of the modules it read, without the drive: bytes and files only.
//
//   CERT.BIN    the head-0 part (CERT0.BIN) followed by the second part (CERT1.BIN), both whole
//   Table.BIN   the table as read (Table0.BIN) rotated: sectors 1 .. n-1, then sector 0, the order
//               the F-level boot sends it in
//   ID.BIN      sector 4 of Vendor.BIN, the identity sector
//   ATA0.BIN    the ATA overlay up to its start marker, cut after the first end marker
//   ATA1.BIN    the overlay from its start marker, cut after the end marker that follows
//   SN.TXT      the serial number of the Vendor image and the text after " AX" in the drive's "%"
//               answer, one line each
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace hdd {

// --- the ATA overlay's two parts ---

// The offset of the first occurrence of `pattern` (upper-case hexadecimal text, two digits a byte)
// at or after `from`, or -1 when `from` is not inside the data or there is none.
qsizetype FindPattern(const QByteArray& data, qsizetype from, const QByteArray& pattern);

struct AtaParts {
    QByteArray part0;  // up to the start marker, cut after the first end marker from sector 30 on
    QByteArray part1;  // from the start marker, cut after the first end marker 10 sectors on
};
// The two parts of an ATA overlay, or nullopt when it has no sector-aligned start marker
// (00 00 16 00) at or after byte 25600. An end marker is FF followed by 16 zero bytes, the FF being
// the last byte of a sector.
std::optional<AtaParts> splitAtaImage(const QByteArray& ata);

enum class SplitResult { NoFile, NoMarker, Split, WriteFailed };
// Writes ATA0.BIN and ATA1.BIN into `folder` from the ATA file. Both or neither: when one cannot
// be written, neither is left.
SplitResult SplitAta(const QString& ataFile, const QString& folder);

// --- the joined modules (each built beside its target and renamed into place; false when a file
// cannot be read or written) ---

// `target`: all sectors of `cert0` followed by all sectors of `cert1` (an absent part is left out).
bool joinCertParts(const QString& cert0, const QString& cert1, const QString& target);
// `target`: sectors 1 .. count-1 of `table0`, then its sector 0 (`count` hexadecimal text).
bool rotateTable(const QString& table0, const QString& count, const QString& target);
// `target`: sector 4 of `vendor`; false unless it is one whole sector.
bool identitySector(const QString& vendor, const QString& target);

// --- the staged run ---

// The folder a run writes into before it has a complete backup: `<target>.partial`, beside it.
QString stagingFolder(const QString& target);

struct StagedCommit {
    bool ok = false;
    QString keptIn;  // the folder the replaced files were moved into; empty when none was replaced
    QString why;     // what failed
};
// Moves the files `names` from `staging` into `target` (created when missing). Every file of the
// target that one of them replaces, and every file of `superseded` there, is first moved into
// `<target>.yyyyMMdd-HHmmss` (stamped `now`), never deleted; the other files of the target stay.
// The staging folder goes when it is empty afterwards. A replaced file whose newcomer cannot be
// moved in is put back.
StagedCommit commitStaged(const QString& staging, const QString& target, const QStringList& names,
                          const QStringList& superseded, const QDateTime& now);

// --- SN.TXT ---

// The serial number line from a Vendor image: 30 bytes from byte 2102 (sector 4, byte 54) laid
// over 42 blanks, trimmed, and every byte pair swapped back.
QByteArray vendorSerialLine(const QByteArray& vendor);
// The text after " AX" and one more character in the first line of the "%" answer that has it, up
// to "' ", trimmed; empty when no line has it.
QByteArray percentAxLine(const QList<QByteArray>& lines);

}  // namespace hdd
