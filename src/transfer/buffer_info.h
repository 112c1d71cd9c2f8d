// Where the drive keeps its read and write buffers.
//
// Sector reads land in the read buffer and downloads for sector writes go to the write buffer;
// both are given as a buffer block and a size in sectors (the chunk of a track transfer). At T
// level the drive names them in its answer to "?\r", one line each:
//
//   RD:00800:0080
//   WR:00A00:0080
//
// At the other levels the answer to "B0\r" holds both on one line, each value closed by ":":
//
//   RD:0800:0080:  WR:0A00:0080:
//
// The parsers are pure functions over the answer's lines. A value that is not a hexadecimal
// number below 80000000 is not taken: its field stays empty, so the key reports failure and no
// transfer runs on a made-up address.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "outcome.h"

namespace hdd {

class Dialogue;

struct BufferFields {
    QString rd;      // read buffer block
    QString rdSize;  // read buffer size in sectors
    QString wr;      // write buffer block
    QString wrSize;  // write buffer size in sectors
    bool complete() const { return !rd.isEmpty() && !rdSize.isEmpty() && !wr.isEmpty() && !wrSize.isEmpty(); }
    // Every field holds more than blanks (fields typed by the user may carry them).
    bool known() const;
};

// The answer to "?\r" at T level: every line beginning "RD:" or "WR:" (a later one wins).
BufferFields parseBufferAnswerT(const QList<QByteArray>& lines);
// The answer to "B0\r": the first line holding both "RD:" and "WR:".
BufferFields parseBufferAnswerB0(const QList<QByteArray>& lines);

// Asks the drive ("?\r" at T level, "B0\r" at another) and parses its answer. The receive mode is
// restored.
BufferFields GetBuffAD(Dialogue& d);

// The buffer address key's operation: "正在获取缓冲区地址......" on the console, GetBuffAD at any
// level, "完成！" or "失败！", and the ending. `fields` gets the answer (all four, empty where
// nothing could be read). Done when all four were found, else failed.
Outcome FindBufferAddresses(Dialogue& d, BufferFields& fields);
// Asks the drive as FindBufferAddresses does only when a field is not known; values already known
// (typed by the user) are kept. Done when all four are known.
Outcome EnsureBufferAddresses(Dialogue& d, BufferFields& fields);

}  // namespace hdd
