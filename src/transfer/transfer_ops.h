// The transfer operations as a key or a command-line verb runs them, each in its own frame
// (Operation): the buffer read and write, the file send, and the read and write of a track the user
// names.
//
// An operation takes plain data (hexadecimal texts as typed, the file already chosen, the speed
// text of the transfer speed selector) and tells its Outcome. Its frame keeps the window busy,
// clears the abort flag and raises the link to the transfer speed; the transfer returns to 9600
// baud, whatever speed the link had before (the window's own speed selection is not restored), and
// the frame ends with "usercmd" and a carriage return, so the drive shows a fresh prompt. The
// console texts are those of the transfers themselves (dump.h, download.h, track.h).
//
// Missing input is refused (Input) with the keys' own message box before anything is sent; a key
// checks it before its file dialog, with the same functions.
#pragma once

#include <QByteArray>
#include <QString>

#include "buffer_info.h"
#include "outcome.h"

namespace hdd {

class Dialogue;
class Host;

// --- the buffer ---

// Refuses (Input) with "请指定要读取的缓冲区开始位置及长度！" (or the write key's message) when the
// first block or the count is blank; refuses (Check) with "参数错误：请输入有效的十六进制数！" when one
// is not hexadecimal; done otherwise.
Outcome checkBufferRange(Host& host, const QByteArray& start, const QByteArray& count, bool read);

// Reads count buffer blocks from start into file at the speed speedText names, then back at the
// drive's level (ReadBuffer). A file that cannot be created is refused (Check) before anything is
// sent.
Outcome ReadBufferToFile(Dialogue& d, const QByteArray& start, const QByteArray& count, const QString& file,
                         const QString& speedText);
// Writes file into buffer memory from block start, at most count blocks of it, at the speed
// speedText names, then back with the T-level command (WriteBuffer).
Outcome WriteBufferFromFile(Dialogue& d, const QByteArray& start, const QByteArray& count,
                            const QString& file, const QString& speedText);

// Sends file by the block download in blocks of blockSize (decimal text) to a drive that already
// waits for it: "正在发送文件......" with "完成！" or "失败！". No level is asked and the speed is left
// alone. Refused (Input) with "请指定文件！", "指定的文件不存在！" or "请指定数据块大小！"; a file the
// download refuses fails, as the console says.
Outcome SendFileToDrive(Dialogue& d, const QString& file, const QString& blockSize);

// --- a track the user names ---

// Track, head, first sector and sector count, hexadecimal text as typed.
struct TrackSpan {
    QByteArray track;
    QByteArray head;
    QByteArray start;
    QByteArray count;
};

// Refuses (Input) with "请指定要读取的磁道、磁头、起始扇区和扇区数(十六进制数据)！" when a field is
// blank (the write's message for a write, whose head may be blank); refuses (Check) with
// "参数错误：请输入有效的十六进制数！" when a given field is not hexadecimal.
Outcome checkTrackSpan(Host& host, const TrackSpan& span, bool read);

// The track reads and writes need the T level and the buffers: `buffers` gives those known, the
// drive is asked for the others (EnsureBufferAddresses), and it comes back filled. Refused (Drive)
// with "错误: 请先切换至T级！" away from T level; failed when the buffers stay unknown.
//
// The read into file (ReadTrack). An empty file (a dialog that was cancelled) is refused (Input),
// but the drive still gets its carriage return, as the read key always gave it; a file that cannot
// be created is refused (Check).
Outcome ReadTrackToFile(Dialogue& d, const TrackSpan& span, BufferFields& buffers, const QString& file,
                        const QString& speedText);
// The write from file (WriteTrack); the track may be a comma-separated list.
Outcome WriteTrackFromFile(Dialogue& d, const TrackSpan& span, BufferFields& buffers, const QString& file,
                           const QString& speedText);

}  // namespace hdd
