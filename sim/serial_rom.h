// The simulated drive's serial ROM: a 64 KiB image the F-level monitor reads and programs (the
// commands are listed in cmd_rom.cpp). Tests look at it to compare files byte for byte and to see
// what was programmed.
#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace hddsim {

class Drive;

struct SerialRom {
    static constexpr qsizetype kSize = 0x10000;
    // The window of the ROM's copy in buffer memory that the running drive patches.
    static constexpr qsizetype kPatchFirst = 0x140;
    static constexpr qsizetype kPatchEnd = 0x170;

    QByteArray bytes;       // the ROM as programmed
    bool on = false;        // "e5" switched the ROM on, "e6" off
    bool writable = false;  // "e9" enabled programming; "e6" and a restart end it
    QByteArray staged;      // the image of the last finished download for programming
    quint32 stagedEntry = 0;
    int restartsSeen = 0;
    int programRuns = 0;   // "e3" commands that programmed the ROM
    int bytesWritten = 0;  // "e1" commands that programmed a byte
};

// The ROM's content for a seed: recognisable bytes with the validity marks at the end (0xFFFC and
// 0xFFFD are 0xFF, 0xFFFE and 0xFFFF are not both 0xFF), or with all four 0xFF when badMarks is set.
QByteArray romImage(int seed, bool badMarks = false);

// The drive's ROM, made from the settings "rom.seed" and "rom.badmarks" when first used.
SerialRom& serialRom(Drive& d);

}  // namespace hddsim
