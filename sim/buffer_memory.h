// The simulated drive's buffer memory and its block download.
//
// Buffer memory is a few MiB addressed in 512-byte blocks. It starts with recognisable content:
// every block begins with the tag "BUFB" and its block number, and the rest is a pattern of the
// byte's address. The monitor shows it as a hex dump at level 2 ("B<first>,<last>\r": an ADDR
// header, then per block sixteen lines of 32 bytes whose six-digit addresses are the byte
// addresses, block × 0x200 onwards), reports where its read and write buffers are ("?\r" at T
// level, "B0\r" at the others), and takes files into it by the block download ("d<block>\r").
//
// The download, drive side: after the command that opens it, each of the two opening bytes 0xCC
// and 0x33 is acknowledged with "w" 0x88; then every block comes as the announce 0xCC 0x33
// (acknowledged), its number, blockSize data bytes, 0xCC 0x33 again (acknowledged) and its
// checksum, which the drive checks and answers with 0x06 (accepted) or 0x15 (send it again).
// Block 0 comes last; the two bytes after it are the checksum over all blocks in order. Only then
// does the image reach its destination. Any unexpected byte where an announce belongs, or a pause
// of more than five seconds once the download began, ends the download and the byte is taken as
// typed text again.
//
// Other command families start a download of their own with startDownload (a serial ROM image,
// a loader module), giving the block size and what to do with the finished image.
#pragma once

#include <QByteArray>
#include <QSet>
#include <QtGlobal>
#include <functional>

namespace hddsim {

class Drive;

// Faults on request. Dumps, announces and checksum attempts are counted from 1 since the drive
// started (or since the counters were reset by the test).
struct BufferFaults {
    int loseLineInDump = 0;       // in this dump command, data line `lineIndex` never comes
    int garbleLineInDump = 0;     // in this dump command, data line `lineIndex` has a noisy byte field
    int lineIndex = 4;            // the line (0-based, counted over the whole answer) the two above hit
    int noHeaderInDump = 0;       // this dump command answers without its ADDR header
    int restartInDump = 0;        // this dump command's addresses restart at 000000
    QSet<int> nakAttempts;        // these checksum attempts are answered with 0x15
    int silentAnnounce = 0;       // this announce gets no acknowledgement; the download ends
    bool fallBackTo9600 = false;  // after each finished download the monitor talks at 9600
    int slowAfterDownloadMs = 0;  // after each finished download the monitor answers this much later
    int selectNoPrompt = 0;       // this select-track command gets no prompt
    int garblePairInRead = 0;     // in the dumps after this sector-read command, one byte pair is noise
};

struct BufferMemory {
    static constexpr qsizetype kBlockSize = 512;
    static constexpr qsizetype kSize = 4 * 1024 * 1024;

    QByteArray bytes;
    // Where sector reads land and where writes are taken from, in blocks, and their sizes in sectors.
    quint32 readBlock = 0x800;
    quint32 readSectors = 0x80;
    quint32 writeBlock = 0xA00;
    quint32 writeSectors = 0x80;

    BufferFaults faults;
    int dumps = 0;
    int announces = 0;
    int checksumAttempts = 0;
    int selects = 0;
    int reads = 0;
    int garbleReadUntilDump = 0;  // the dump of a noisy read chunk that gets the noisy pair

    BufferMemory() {
        bytes.resize(kSize);
        for (qsizetype a = 0; a < kSize; ++a) bytes[a] = seedByte(a);
    }

    static quint32 blocks() { return static_cast<quint32>(kSize / kBlockSize); }

    static char seedByte(qint64 address) {
        const qint64 off = address % kBlockSize;
        const qint64 block = address / kBlockSize;
        if (off < 4) return "BUFB"[off];
        if (off < 8) return static_cast<char>((block >> (8 * (off - 4))) & 0xFF);
        quint32 h = static_cast<quint32>(address) * 0x9E3779B1u;
        h ^= h >> 13;
        h *= 0x85EBCA77u;
        h ^= h >> 16;
        return static_cast<char>(h & 0xFF);
    }

    QByteArray block(quint32 n) const { return bytes.mid(qsizetype{n} * kBlockSize, kBlockSize); }
};

// Starts a download: bytes from the host go to the download until it ends. `done` gets the image
// (blocks 0 .. highest, in order) once the final checksum matched.
void startDownload(Drive& d, qsizetype blockSize, std::function<void(Drive&, const QByteArray& image)> done);
bool downloading(Drive& d);

// The hex dump of blocks first .. last of buffer memory, as the monitor prints it at level 2 (other
// levels that show buffer memory use it too), with its prompt. Faults of BufferFaults apply.
void dumpBlocks(Drive& d, quint32 first, quint32 last);

// The drive's side of the checksum: the same sum the host computes.
quint32 downloadSum(const QByteArray& bytes, quint32 start = 0);
quint16 blockSum(const QByteArray& block, int number);

}  // namespace hddsim
