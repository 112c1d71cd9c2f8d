// Reading drive memory through the monitor's hex dump.
//
// At level 2 the monitor answers "B<n>,<n>\r" with one 512-byte buffer block as text: whatever
// precedes it (the echo of the command), a header line beginning "ADDR", sixteen lines of
// "AAAAAA?hh hh ... hh" (a six-digit address, one separator character, 32 two-digit bytes) whose
// addresses step by 0x20, and the prompt. ParseDump owns that format: it is a pure function over
// the captured bytes and the only place in the tool that knows it.
//
// A line is taken only when its first six characters equal the expected address; the first line
// after the header sets it when it is still empty. The caller keeps the expected address between
// blocks: the buffer reader starts it afresh for every block, the track readers once per chunk,
// so the blocks of one chunk must continue one another's addresses. A missing or garbled line
// thus ends the block short; a byte field that is not 32 two-digit pairs is a data error (noise
// on the line, typically from a link speed the adapter cannot hold).
//
// Only whole blocks count: ReadDumpBlock appends nothing unless all sixteen lines came, so a file
// made of dumped blocks never holds a block with lines missing or shifted.
#pragma once

#include <QByteArray>
#include <QString>

#include "transfer.h"

namespace hdd {

class Dialogue;

inline constexpr int kDumpLines = 16;
inline constexpr int kDumpLineBytes = 32;

struct DumpParse {
    QByteArray bytes;        // the bytes of the lines taken, in line order
    int lines = 0;           // lines taken, at most 16
    bool header = false;     // the ADDR header was seen
    bool dataError = false;  // a taken line's byte field was not 32 pairs of hexadecimal digits
    bool complete() const { return !dataError && lines == kDumpLines; }
};

// Parses one block's dump out of a capture. `expected` is the expected line address (six or more
// characters, empty to take the first line's); it is left at the address the next line would need.
DumpParse ParseDump(const QByteArray& capture, QByteArray& expected);

enum class DumpStatus {
    Complete,   // 512 bytes appended
    Short,      // the block came without all its sixteen lines (or without its header)
    NoPrompt,   // no prompt followed the dump command
    DataError,  // a byte field that is not hexadecimal
};

// Dumps one block (block number as hexadecimal text) and appends its 512 bytes to image when the
// dump was whole. Leaves ReceiveMode at "R_DATA" and the capture buffer empty.
DumpStatus ReadDumpBlock(Dialogue& d, const QByteArray& block, QByteArray& expected, QByteArray& image);

// Reads blockCount blocks from startBlock (hexadecimal text) into fileName and reports on the
// console. The file holds the whole blocks read before a failure or an abort; nothing is written
// when the drive never reached level 2 or the user aborted before the first block. Done when every
// block was read and the file written; failed on a missing prompt or block, garbled dump text
// (kDataError) or a file that cannot be created or written; aborted; refused (Check) for a number
// that is not hexadecimal. A file written, whole or in part, is in the outcome's files.
TransferOutcome ReadBuffer(Dialogue& d, const QByteArray& startBlock, const QByteArray& blockCount,
                           const QString& fileName);

inline const QString kReadingBuffer = QStringLiteral("正在读取缓冲区......");

}  // namespace hdd
