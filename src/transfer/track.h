// Moving system-area sectors between the drive and module files.
//
// The host cannot address system-area tracks; the monitor copies their sectors to and from its
// buffer memory at level 2. A read goes chunk by chunk: select the track ("s<track>,<head>,22\r"),
// copy a chunk of sectors into the read buffer ("r,<first>,<count>\r"), then dump each of the
// chunk's buffer blocks (one sector each). The dump addresses of one chunk's blocks run on, so the
// expected address starts afresh only with each chunk. A write goes the other way: each chunk is
// downloaded into the write buffer ("d<address>\r" and the block download), the drive is brought
// back to a prompt (at 9600 baud when it fell back to it after the download, the link is then
// raised again), taken through levels 2, U and 2, and the chunk is written to every listed track
// ("w,<first>,<count>\r").
//
// A module file is the raw sectors in the order read: sector after sector, for the reserve area
// track after track from sector 0, with no header, trailer or padding. A complete file is a whole
// number of 512-byte sectors.
//
// All numbers are hexadecimal text without prefix; the chunk is the buffer's size in sectors.
// The caller has checked the T level, filled the buffer fields and raised the link speed; it
// brings the link back to 9600 and the receive mode to "usercmd" afterwards.
#pragma once

#include <QByteArray>
#include <QString>

#include "transfer.h"

namespace hdd {

class Dialogue;

// The outcomes of the reads: done when every sector was read and the file written; failed when a
// prompt or a block did not come, on garbled dump text (kDataError), or when the file could not be
// created or written (the message names it); aborted; refused (Check) for a number argument that is
// not hexadecimal. A file written, whole or in part, is in the outcome's files.

// Sectors of one track into fileName (created or replaced). No file is written unless every whole
// chunk was read.
TransferOutcome ReadTrack(Dialogue& d, const QByteArray& track, const QByteArray& head,
                          const QByteArray& startSector, const QByteArray& sectorCount,
                          const QByteArray& bufferBlock, const QByteArray& chunkSectors,
                          const QString& fileName, bool showProgress);

// Whole tracks firstTrack .. lastTrack of one head into one file, written as it is read: after a
// failure or an abort the file holds the sectors read so far.
TransferOutcome ReadReserve(Dialogue& d, const QByteArray& firstTrack, const QByteArray& lastTrack,
                            const QByteArray& head, const QByteArray& sectorsPerTrack,
                            const QByteArray& bufferBlock, const QByteArray& chunkSectors,
                            const QString& fileName, bool showProgress);

// The outcomes of the writes: done when every chunk was written; failed when a prompt, an
// acknowledgement or a block's acceptance did not come, or when the file was refused before
// anything was sent (its reason in a message box and "失败！" on the console); aborted.

// Sectors from fileName into each track of a comma-separated list, from startSector on: the first
// sectorCount sectors of a longer file, every sector of a shorter one. writeSpeed is the speed text
// the link is raised to again if the drive falls back to 9600 after a download.
TransferOutcome WriteTrack(Dialogue& d, const QByteArray& tracks, const QByteArray& head,
                           const QByteArray& startSector, const QByteArray& sectorCount,
                           const QByteArray& bufferAddress, const QByteArray& chunkSectors,
                           const QString& fileName, const QString& writeSpeed);

// Whole tracks firstTrack .. lastTrack from one file, each from sector 0, as ReadReserve wrote it;
// tracks beyond the end of the file are left alone.
TransferOutcome WriteReserve(Dialogue& d, const QByteArray& firstTrack, const QByteArray& lastTrack,
                             const QByteArray& head, const QByteArray& sectorsPerTrack,
                             const QByteArray& bufferAddress, const QByteArray& chunkSectors,
                             const QString& fileName, const QString& writeSpeed);

inline const QString kReadingData = QStringLiteral("正在读取数据.........");
inline const QString kWritingData = QStringLiteral("正在写入数据......");

}  // namespace hdd
