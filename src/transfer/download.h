// Putting bytes into the drive by the block download.
//
// Once the drive has been told to receive (a "d" command for buffer memory, the loader's and the
// serial ROM's own commands), the download runs: the opening bytes 0xCC and 0x33, each answered
// with the acknowledgement "w" 0x88; then every block as the announce 0xCC 0x33 (acknowledged),
// its number byte, its data in one write, 0xCC 0x33 again (acknowledged) and its checksum, two
// bytes, which the drive answers with 0x06 (accepted) or 0x15 (send the block again, three
// attempts in all). Blocks go 1, 2, ... and block 0 last, which tells the drive the image is
// complete; the checksum over the whole image follows it.
//
// The checksum of a run of bytes is DownloadSum: a 32-bit accumulator a, for each byte b,
// a := a + (b XOR (a AND 0xAA)). A block's checksum takes one more step with its number in place
// of a byte; only the low 16 bits travel, high byte first.
//
// A download refuses, before anything is sent, an image that is empty, not a whole number of
// blocks, or longer than the 255 blocks a download can carry.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include "transfer.h"

namespace hdd {

class Dialogue;

inline constexpr int kMaxDownloadBlocks = 255;

quint32 DownloadSum(QByteArrayView bytes, quint32 start = 0);
// The block's checksum as four upper-case hexadecimal digits.
QByteArray BlockChecksum(QByteArrayView block, int number);
// A total checksum as it travels: the low 16 bits, high byte first.
QByteArray checksumBytes(quint32 sum);
// Hexadecimal text to bytes, most significant pair first; characters that are no digits are
// skipped, a digit standing alone makes a byte of its own.
QByteArray HexToBytes(const QByteArray& text);

// One block: announce, number, data, announce, checksum; sent again on a rejected or unanswered
// checksum, three attempts in all. False at once when an announce is not acknowledged.
bool SendBlock(Dialogue& d, QByteArrayView data, int number);

// Why an image cannot be downloaded (a message for the user), or empty when it can.
QString downloadRefusal(qint64 length, qint64 blockSize);

// A whole image in blocks of blockSize after the drive was told to receive: the opening bytes,
// blocks 1 .. n-1, block 0, the total checksum. Moves ProgressBar1 and tests the abort key after
// every block but the last. Done when every block was accepted and the checksum sent; failed when
// an acknowledgement or a block's acceptance did not come; aborted; refused, in an information
// box before anything is sent, for an image the download cannot carry (Input for the length rule,
// Check for the others).
TransferOutcome SendImage(Dialogue& d, const QByteArray& image, qint64 blockSize);
// The same from a file; a file that cannot be read or is too large is refused (Check).
TransferOutcome SendFile(Dialogue& d, const QString& fileName, qint64 blockSize);

// Writes a file into buffer memory from startBlock (at most blockCount blocks of it; hexadecimal
// text) through the temporary file "~tmp.~tmp", and reports on the console. Refused as SendFile
// (and Check for a number that is not hexadecimal) before anything is sent; failed when the
// download or the prompt after it failed ("失败！") or the temporary file could not be written;
// aborted.
TransferOutcome WriteBuffer(Dialogue& d, const QByteArray& startBlock, const QByteArray& blockCount,
                            const QString& fileName);

inline const QString kWritingBuffer = QStringLiteral("正在写入缓冲区......");
inline const QString kTempFile = QStringLiteral("~tmp.~tmp");

}  // namespace hdd
