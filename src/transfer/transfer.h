// What the transfers between files and the drive share: their console words and messages, the
// reading of their number arguments, and whole-file loading and saving.
//
// Every number a transfer takes (blocks, tracks, heads, sectors, counts) is hexadecimal text
// without prefix, as the user typed it into a hexadecimal field. A transfer reads its numbers
// before it sends anything; text that is not a number is reported in a message box and nothing
// goes to the drive.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "outcome.h"

namespace hdd {

class Dialogue;
class Host;

// A buffer block, a sector and a download block of the buffer and track transfers.
inline constexpr int kBlockBytes = 512;

inline const QString kSuccess = QStringLiteral("成功！");
inline const QString kDone = QStringLiteral("完成！");
inline const QString kFailed = QStringLiteral("失败！");
inline const QString kAborted = QStringLiteral("被用户中止！");
inline const QString kDataError = QStringLiteral("读取数据错误，请调低一档速率后再试!");
inline const QString kBadNumber = QStringLiteral("参数错误：请输入有效的十六进制数！");
inline const QString kCannotCreate = QStringLiteral("创建文件失败！");
inline const QString kCannotWrite = QStringLiteral("写入文件失败！");
inline const QString kCannotOpen = QStringLiteral("无法打开文件！");
inline const QString kEmptyFile = QStringLiteral("文件为空，没有可发送的数据！");

// What a transfer came to. It also reads as yes or no (done or not) for the callers that only ask
// whether it worked.
struct TransferOutcome : Outcome {
    TransferOutcome(Outcome o) : Outcome(std::move(o)) {}
    operator bool() const { return isDone(); }
};

// The reason of a refusal for a file dialog that was cancelled.
inline const QString kNoFileChosen = QStringLiteral("no file chosen");

// "文件长度必须是512的倍数！" for a block size of 512.
QString lengthMessage(qint64 blockSize);

// A number argument: hexadecimal text, blanks around it allowed; nullopt otherwise.
std::optional<quint64> hexArg(const QByteArray& text);
// A value as the drive's commands carry it: upper-case hexadecimal without leading zeros.
QByteArray hexText(quint64 value);

// The largest file a transfer reads into memory (far more than any buffer, track, module or ROM
// image), and the largest one the reserve-area write streams from disk. A larger file is surely not
// the one meant: it is refused before anything is sent, and never read.
inline constexpr qint64 kMaxTransferFile = qint64{64} * 1024 * 1024;
inline constexpr qint64 kMaxStreamedFile = qint64{1024} * 1024 * 1024;
QString fileTooLarge(qint64 limit);

// Why a file cannot be used by a transfer (it cannot be opened, or it is larger than `limit`);
// empty when it can.
QString transferFileRefusal(const QString& fileName, qint64 limit = kMaxTransferFile);

// A whole file, or nullopt when it cannot be read or is larger than kMaxTransferFile (such a file
// is not read at all).
std::optional<QByteArray> loadFile(const QString& fileName);
// Writes a whole file by write-then-rename, so a failed write never replaces a good file; on
// failure `error` gets the system's reason.
bool saveFile(const QString& fileName, const QByteArray& bytes, QString* error = nullptr);

// Why no file can be created (or replaced) at path, in the system's words ("No such file or
// directory", "Permission denied", ...); empty when it can. It looks at the folder as a
// write-then-rename save needs it: the folder must exist and take a new file. Every save checks
// this before it asks the drive for anything, so a wrong folder costs no read and is never taken
// for garbled drive data.
QString cannotCreateReason(const QString& path);
// "创建文件失败！" with the path and the reason, on one line.
QString cannotCreateMessage(const QString& path, const QString& reason);
// The check with its report: done when the file can be created, else a warning box naming the path
// and the reason, and refused (Check) with that text.
Outcome checkSaveTarget(Host& host, const QString& path);
// "写入文件失败！" with the path and the reason, for a write that failed after the check.
QString cannotWriteMessage(const QString& path, const QString& reason);

}  // namespace hdd
