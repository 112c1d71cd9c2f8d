// What the simulated drive's identity commands remember (see cmd_identity.cpp): the identify words
// the drive answers a host with, every word write it took, and the serial number.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>

namespace hddsim {

class Drive;

struct IdentityState {
    std::array<quint16, 256> words{};  // the identify words, as the drive answers a host
    QList<QByteArray> writes;          // every word write taken, as typed after "ASCI" ("534401")
    int initialisations = 0;           // "ASCIFE": the drive's own words put back
    QByteArray serial;                 // the serial number in use
    QByteArray savedSerial;            // the serial number on the disk ("W")
    int saves = 0;
    QList<QByteArray> serialEntries;  // every text typed at the serial number questions

    // The text of words 1B to 2E (two characters a word, high byte first), blanks kept.
    QByteArray model() const;
    // The sector count of a word pair (low word first): 3C, 64, 81 or 83.
    quint32 sectors(int firstWord) const;

    // The line discipline of the "->" prompt and the serial number questions.
    bool arrow = false;      // "F" answered "->": the next line is a word write
    bool arrowLine = false;  // the line being run was typed at "->"
    int serialStep = 0;      // 1: new serial number asked, 2: asked again
    QByteArray typing, firstEntry;
};

// The drive's identity, set up with its own words on first use.
IdentityState& identity(Drive& d);
// The words the drive starts with and "ASCIFE" puts back.
std::array<quint16, 256> factoryWords();

}  // namespace hddsim
