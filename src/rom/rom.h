// The drive's serial ROM: reading it into a file and writing a file into it, at the F level.
//
// The ROM holds a 64 KiB image; file byte n is ROM byte n. The monitor moves it two ways:
//
//   through buffer memory  "e5" switches the ROM on, "e4,200,1,0" copies it into buffer memory,
//                          "e6" switches it off, and the 128 pages are dumped as buffer blocks
//                          ("B0,0" .. "B7F,7F", the dump text of the buffer reader). Writing, the
//                          file goes into buffer memory by the block download after "d400,0" (or
//                          "d800,0", the chosen entry) and "e3,200,1,0" programs it, between
//                          "e5", "e9" (write enable) and "e6", each step confirmed with "/F".
//   by commands            "e2,<addr>,0" answers one byte as a line "=XX"; "e1,<addr>,<byte>,0"
//                          programs one byte after "e9". 65536 round trips each way: slow.
//
// The drive patches bytes 0x140-0x16F of its buffer copy while it runs, so a buffer read always
// reads that window again by command. A buffer-read image is only trusted when its validity marks
// hold (0xFFFC and 0xFFFD are 0xFF, 0xFFFE and 0xFFFF are not both 0xFF); when they do not, the
// user may hand the read over to the command read.
//
// A read leaves a file of exactly 65536 bytes or none: the file is opened (write-then-rename)
// before the ROM is asked for anything and committed only when the whole image came. The writes
// check their file before they tell the drive anything. Every loop polls the abort key.
//
// The operations report on the console and through the dialogue's host (message boxes, the Yes/No
// question, the progress bar), and return their outcome: done (with the file a read wrote), failed,
// or aborted. TransferRom is the dialog's key (Form3) around them: it moves the drive to F level,
// raises the link speed before and returns it after, in one operation frame.
#pragma once

#include <QByteArray>
#include <QString>

#include "outcome.h"

namespace hdd {

class Dialogue;

inline constexpr int kRomSize = 0x10000;
inline constexpr int kRomPages = kRomSize / 512;
// The window of the buffer copy the drive patches; read again by command after a buffer read.
inline constexpr int kFixupFirst = 0x140;
inline constexpr int kFixupEnd = 0x170;  // one past the last

inline const QString kReadingRom = QStringLiteral("正在读取ROM.........");
inline const QString kWritingRom = QStringLiteral("正在写入ROM......");
inline const QString kSlowRead = QStringLiteral("指令方式读取ROM需要较长时间，请耐心等待！");
inline const QString kSlowWrite = QStringLiteral("指令方式写入ROM需要较长时间，请耐心等待！");
inline const QString kAskCommandRead = QStringLiteral("读取ROM数据有误，是否使用指令方法读取?");
inline const QString kRomUnreadable = QStringLiteral("读入ROM文件出错，文个无法打开！");
inline const QString kRomTooSmall = QStringLiteral("读入ROM文件出错，文件太小！");
inline const QString kUserAborted = QStringLiteral("用户中止！");
inline const QString kNoRomReadFile = QStringLiteral("请指定读取后保存的文件！");
inline const QString kNoRomWriteFile = QStringLiteral("请选择要写入的ROM文件！");

// Whether a buffer-read image carries the ROM's validity marks (false for an image that is not
// 65536 bytes long).
bool romMarksValid(const QByteArray& image);

// The "=" answers of byte reads, a pure parser over the captured text: every line whose first
// character is "=" carries one byte as hexadecimal text after it (blanks around it allowed).
struct EqualsParse {
    QByteArray bytes;        // one byte per "=" line, in order
    bool dataError = false;  // an "=" line whose text is not one or two hexadecimal digits
};
EqualsParse ParseEqualsLines(const QByteArray& capture);

// Buffer read into fileName; may hand over to ReadROM1 when the image's marks fail and the user
// agrees. Done when the file was written (it is the outcome's file); failed on the console's "失败！"
// or "读取数据错误…"; aborted by the abort key.
Outcome ReadRom(Dialogue& d, const QString& fileName);
// Command read into fileName, one "e2" per byte; outcome as for ReadRom.
Outcome ReadROM1(Dialogue& d, const QString& fileName);
// Buffer write of fileName through the download entry bufferEntry (hexadecimal text, "400" or
// "800"). Done when every step was confirmed; a file the download refuses fails before anything is
// sent. Once "e5" went out the programming chain runs to its end whatever the abort key says; an
// abort pressed before or during it makes the outcome aborted ("被用户中止！" after the chain).
Outcome WriteBios(Dialogue& d, const QByteArray& bufferEntry, const QString& fileName);
// Command write of the first 65536 bytes of fileName, one "e1" per byte. Done when all were taken;
// failed on "读入ROM文件出错…" (nothing sent) or a byte without its prompt.
Outcome WriteBios1(Dialogue& d, const QString& fileName);

// The transfer keys of the serial ROM dialog, each a whole operation. Before the drive is touched
// the file is checked: present (its information box, refused as input), a read's folder able to
// take it (a warning naming the path, refused by the check), a write's file readable and of a length
// its method takes (the method's own refusal, failed). Then the drive to F level (a failed switch
// fails the key), the link raised to `speed` (a speed list text), the transfer, and the
// link back at F level. `file` is the file to read into or to write; `bufferEntry` the buffer
// write's entry ("400" or "800"), used by BufferWrite only.
enum class RomMethod { BufferRead, CommandRead, BufferWrite, CommandWrite };
Outcome TransferRom(Dialogue& d, RomMethod method, const QString& file, const QString& bufferEntry,
                    const QString& speed);

}  // namespace hdd
