// Sector files: a new file made of a run of 512-byte sectors cut out of one file followed by a
// run cut out of a second.
//
// Module and track images are files of whole sectors. BuildSectorFile assembles a module image
// from the sectors of a track image, cuts a piece out of a larger image, or joins two images. The
// numbers are hexadecimal text; an empty source name leaves that source out, and so does a named
// source that does not exist. A source shorter than its range gives what it has in whole sectors:
// a final part-sector is never copied.
//
// The target is built in a temporary file beside it and renamed into place at the end, so a target
// that names one of its sources is read before it is replaced, and a build that fails leaves any
// earlier file of that name as it was.
#pragma once

#include <QString>
#include <optional>

#include "outcome.h"

namespace hdd {

inline constexpr qint64 kSectorBytes = 512;

// False only when the target cannot be written, a source that exists cannot be opened or read, or a
// number of a used source is not hexadecimal; true otherwise (missing or short sources included).
bool BuildSectorFile(const QString& source1, const QString& start1, const QString& count1,
                     const QString& source2, const QString& start2, const QString& count2,
                     const QString& target);

// A sector number or count: hexadecimal digits without prefix, blanks around them allowed. A number
// too large for 64 bits counts as the largest one (it is beyond every file anyway); nullopt when the
// text is empty or holds another character.
std::optional<quint64> sectorNumber(const QString& text);

// Whether a file of fileBytes bytes holds the whole range of count sectors from sector start.
bool rangeFits(qint64 fileBytes, quint64 start, quint64 count);

// The sector file builder's key. A source named (non-empty `file`) must have its range set, the
// target must be named, and each named source must exist and hold its range; the first check that
// fails refuses the build with its message ("请设置源文件1的截取范围！" ...) before the target is
// touched. Then BuildSectorFile: done with the target written, or failed with kSectorFileFailed.
struct SectorRange {
    QString file, start, count;
};
Outcome MakeSectorFile(const SectorRange& first, const SectorRange& second, const QString& target);

inline const QString kSectorFileDone = QStringLiteral("生成文件完成！");
inline const QString kSectorFileFailed = QStringLiteral("生成文件失败！");

}  // namespace hdd
