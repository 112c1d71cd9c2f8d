// The drive family table: where each firmware family keeps its modules in the system area.
//
// HDDINFO.TXT, beside the executable, holds one section per family:
//
//   [TONKA]
//   APP=16 0 1A0 60          SA offset, start sector, sector count, buffer (optional)
//   CERT0=64 0 2C9           head 0 (may carry a second triple: a continuation on another cylinder)
//   CERT1=64 0 DF            head 1
//   TABLE=66 DF 15
//   ATA=68 0 7A
//   VEN=6C 0 12
//
// Offsets count from the first cylinder of the reserve area; every number is hexadecimal. Lines
// are trimmed and upper-cased before they are read, so keys are case-insensitive; a line that is
// not one of the six keys, or stands before the first section, is ignored. Technicians add
// families by editing the file; when it is missing the built-in copy is written first.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>

namespace hdd {

struct FamilyEntry {
    QByteArray name;
    QByteArray app;
    QByteArray cert0;
    QByteArray cert1;
    QByteArray table;
    QByteArray ata;
    QByteArray ven;
};

struct FamilyTable {
    static constexpr int kSlots = 200;

    std::array<FamilyEntry, kSlots> entries;
    int count = 0;
    // Sections that did not fit into the slots (they are not loaded).
    int dropped = 0;

    // Entry n, numbered from 1 as in the file.
    const FamilyEntry& entry(int n) const { return entries.at(static_cast<size_t>(n - 1)); }
    // The names of entries 1 .. count, as the family list shows them.
    QStringList names() const;
};

inline const QString kFamilyFileName = QStringLiteral("HDDINFO.TXT");

// The built-in copy, byte for byte (GBK, CR LF).
QByteArray builtInFamilyTable();

// Upper-cases the ASCII letters of a GBK text; the second byte of a double-byte character is
// left alone, so names written in Chinese keep their characters.
QByteArray upperAscii(const QByteArray& text);

// The family table in a file's bytes.
FamilyTable parseFamilyTable(const QByteArray& text);

// The largest HDDINFO.TXT that is read (the built-in copy is about 3 KB).
inline constexpr qint64 kMaxFamilyFile = 256 * 1024;

// Reads the table from `folder` + HDDINFO.TXT, writing the built-in copy there first when no file
// exists. On failure the table is empty and `error` says what went wrong: the file cannot be read,
// is larger than kMaxFamilyFile or is no text (it holds NUL bytes).
FamilyTable loadFamilyTableFile(const QString& folder, QString* error);

}  // namespace hdd
