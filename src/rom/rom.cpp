#include "rom.h"

#include <QSaveFile>
#include <initializer_list>
#include <memory>

#include "dialogue.h"
#include "download.h"
#include "dump.h"
#include "host.h"
#include "monitor.h"
#include "operation.h"
#include "text.h"
#include "transfer.h"

namespace hdd {

namespace {

const QString kPromptTitle = QStringLiteral("提示");
const QString kPortGone = QStringLiteral("错误: 串口连接已断开！");

QByteArray readByteCommand(int address) { return "e2," + hexText(static_cast<quint64>(address)) + ",0\r"; }

bool commitRomFile(Dialogue& d, QSaveFile& file, const QByteArray& image) {
    if (image.size() == kRomSize && file.write(image) == image.size() && file.commit()) return true;
    file.cancelWriting();
    d.host().information(kCannotWrite);
    return false;
}

// A read's file, opened before the ROM is read so that a file that cannot be created costs no read
// (said, with the path and the system's reason, before the drive is asked anything: `why` gets the
// message); the image replaces it only when it is whole. On success the dialogue starts from a
// clean capture.
std::unique_ptr<QSaveFile> openRomFile(Dialogue& d, const QString& fileName, QString& why) {
    QString reason = cannotCreateReason(fileName);
    std::unique_ptr<QSaveFile> file;
    if (reason.isEmpty()) {
        file = std::make_unique<QSaveFile>(fileName);
        if (!file->open(QIODevice::WriteOnly)) {
            reason = file->errorString();
            file.reset();
        }
    }
    if (!file) {
        why = cannotCreateMessage(fileName, reason);
        d.host().warning(why);
        d.addLine(kReadingRom);
        d.appendResult(kFailed);
        d.addLine(QString());
        return nullptr;
    }
    d.CaptureBuffer.clear();
    d.ReceiveMode.clear();
    d.LastPrompt.clear();
    return file;
}

// Drive text that does not parse ends a read at once with its own console line.
Outcome dataError(Dialogue& d) {
    d.CaptureBuffer.clear();
    d.ReceiveMode.clear();
    d.addLine(kDataError);
    return Outcome::failed(kDataError);
}

// A transfer's end as its console line told it. The abort a lost port raises is no choice of the
// technician's: the transfer failed.
Outcome ended(Dialogue& d, bool aborted, bool ok, const QString& line) {
    if (aborted) return d.portLost() ? Outcome::failed(kPortGone) : Outcome::aborted();
    return Outcome::doneIf(ok, line + kFailed);
}

}  // namespace

bool romMarksValid(const QByteArray& image) {
    if (image.size() != kRomSize) return false;
    const auto at = [&](int i) { return static_cast<unsigned char>(image[i]); };
    return at(0xFFFC) == 0xFF && at(0xFFFD) == 0xFF && !(at(0xFFFE) == 0xFF && at(0xFFFF) == 0xFF);
}

EqualsParse ParseEqualsLines(const QByteArray& capture) {
    EqualsParse r;
    // Lines end at CR LF, a lone CR or a lone LF; only those that begin with "=" are looked at.
    const qsizetype n = capture.size();
    for (qsizetype start = 0; start < n;) {
        qsizetype end = start;
        while (end < n && capture[end] != '\r' && capture[end] != '\n') ++end;
        if (capture[start] == '=') {
            const QByteArray text = trimmed(capture.sliced(start + 1, end - start - 1));
            const auto value = text.size() <= 2 ? parseHex(text) : std::nullopt;
            if (!value) {
                r.dataError = true;
                return r;
            }
            r.bytes += static_cast<char>(*value);
        }
        start = end + (end + 1 < n && capture[end] == '\r' && capture[end + 1] == '\n' ? 2 : 1);
    }
    return r;
}

Outcome ReadRom(Dialogue& d, const QString& fileName) {
    Host& host = d.host();
    QString why;
    auto file = openRomFile(d, fileName, why);
    if (!file) return Outcome::failed(why);

    bool ok = true;
    d.PumpWait(10);
    d.SendString("Z\r");
    d.PumpWait(50);
    d.SendString("Z\r");
    d.PumpWait(50);
    d.SendString("e5\r");
    if (!d.WaitHD(1500)) ok = false;

    // The ROM into buffer memory: "e4" copies (its prompt may come late), a bare CR confirms the
    // monitor is back, "e6" switches the ROM off again.
    if (ok && !d.AbortRequested) {
        d.PumpWait(50);
        d.SendString("e4,200,1,0\r");
        d.WaitHD(500);
        d.SendString("\r");
        if (!d.WaitHD(10)) ok = false;
        if (ok) {
            d.SendString("e6\r");
            if (!d.WaitHD(1500)) ok = false;
        }
    }

    // The 128 pages, one dump each. A page without all its lines ends the read: the image could no
    // longer be whole.
    QByteArray image;
    if (ok && !d.AbortRequested) {
        d.addLine(kReadingRom);
        host.setProgressMax(kRomPages);
        host.setProgressBytes(kRomSize);
        host.setProgress(0);
        image.reserve(kRomSize);
        for (int page = 0; page < kRomPages; ++page) {
            if (d.AbortRequested) {
                ok = false;
                break;
            }
            QByteArray expected;
            const DumpStatus s = ReadDumpBlock(d, hexText(static_cast<quint64>(page)), expected, image);
            if (s == DumpStatus::DataError) return dataError(d);
            if (s != DumpStatus::Complete) {
                ok = false;
                break;
            }
            host.setProgress(page + 1);
        }
        d.CaptureBuffer.clear();
    }

    if (ok && image.size() != kRomSize) ok = false;
    if (ok && !romMarksValid(image)) {
        if (host.question(kAskCommandRead, kPromptTitle)) {
            file.reset();  // the command read writes the file itself
            return ReadROM1(d, fileName);
        }
        ok = false;
    }

    // The window the drive patches in its copy, read again byte by byte.
    if (ok && !d.AbortRequested) {
        d.SendString("e5\r");
        if (!d.WaitHD(1500)) ok = false;
        if (ok) {
            d.ReceiveMode = kRData;
            d.CaptureBuffer.clear();
            for (int a = kFixupFirst; a < kFixupEnd; ++a) {
                d.SendString(readByteCommand(a));
                if (!d.WaitHD(1500) || d.AbortRequested) {
                    ok = false;
                    break;
                }
            }
        }
    }
    if (ok) {
        const EqualsParse p = ParseEqualsLines(d.CaptureBuffer);
        d.CaptureBuffer.clear();
        if (p.dataError) return dataError(d);
        if (p.bytes.size() == kFixupEnd - kFixupFirst) {
            image.replace(kFixupFirst, p.bytes.size(), p.bytes);
            ok = commitRomFile(d, *file, image);
        } else {
            ok = false;
        }
        host.setProgress(kRomPages);
    }
    d.ReceiveMode.clear();

    const bool aborted = d.AbortRequested;
    if (aborted)
        d.addLine(kAborted);
    else
        d.appendResult(ok ? kSuccess : kFailed);
    d.addLine(QString());
    Outcome outcome = ended(d, aborted, ok, kReadingRom);
    if (outcome.isDone()) outcome.wrote(fileName);
    return outcome;
}

Outcome ReadROM1(Dialogue& d, const QString& fileName) {
    Host& host = d.host();
    QString why;
    auto file = openRomFile(d, fileName, why);
    if (!file) return Outcome::failed(why);
    d.PumpWait(10);
    d.addLine(kSlowRead);
    d.SendString("e5\r");
    bool ok = d.WaitHD(1500);

    QByteArray image;
    if (ok && !d.AbortRequested) {
        d.addLine(kReadingRom);
        host.setProgressMax(kRomSize);
        host.setProgressBytes(kRomSize);
        host.setProgress(0);
        d.ReceiveMode = kRData;
        d.CaptureBuffer.clear();
        image.reserve(kRomSize);
        for (int a = 0; a < kRomSize; ++a) {
            d.SendString(readByteCommand(a));
            ok = false;
            if (!d.WaitHD(1500) || d.AbortRequested) break;
            const EqualsParse p = ParseEqualsLines(d.CaptureBuffer);
            d.CaptureBuffer.clear();
            if (p.dataError) return dataError(d);
            // One answer, one byte: an answer without its "=" line (or with two) stops the read
            // here, as the image could no longer line up with the ROM.
            if (p.bytes.size() != 1) break;
            image += p.bytes;
            ok = true;
            host.setProgress(a + 1);
        }
    }
    if (ok) {
        ok = commitRomFile(d, *file, image);
        host.setProgress(kRomSize);
    }
    d.CaptureBuffer.clear();
    d.ReceiveMode.clear();

    const bool aborted = d.AbortRequested;
    if (aborted)
        d.appendResult(kUserAborted);
    else
        d.appendResult(ok ? kDone : kFailed);
    d.addLine(QString());
    Outcome outcome = ended(d, aborted, ok, kReadingRom);
    if (outcome.isDone()) outcome.wrote(fileName);
    return outcome;
}

namespace {

// Why a buffer write of fileName through bufferEntry cannot start (the box's text), or empty; the
// image it would download goes to `image`.
QString bufferWriteRefusal(const QByteArray& bufferEntry, const QString& fileName, QByteArray* image) {
    if (!hexArg(bufferEntry)) return kBadNumber;
    const auto bytes = loadFile(fileName);
    if (!bytes) return kCannotOpen;
    if (image) *image = *bytes;
    return downloadRefusal(bytes->size(), kBlockBytes);
}

Outcome refuseBufferWrite(Dialogue& d, const QString& refusal) {
    d.addLine(kWritingRom);
    d.host().information(refusal);
    d.appendResult(kFailed);
    return Outcome::failed(refusal);
}

// Why a command write of fileName cannot start (its console line), or empty.
QString commandWriteRefusal(const QString& fileName, QByteArray* image) {
    const auto bytes = loadFile(fileName);
    if (!bytes) return kRomUnreadable;
    if (bytes->size() < kRomSize) return kRomTooSmall;
    if (image) *image = *bytes;
    return {};
}

Outcome refuseCommandWrite(Dialogue& d, const QString& refusal) {
    d.addLine(refusal);
    return Outcome::failed(refusal);
}

}  // namespace

Outcome WriteBios(Dialogue& d, const QByteArray& bufferEntry, const QString& fileName) {
    d.CaptureBuffer.clear();
    d.ReceiveMode.clear();
    d.LastPrompt.clear();

    // Everything is checked before the drive is told anything, so a refused file leaves it as it was.
    QByteArray image;
    if (const QString refusal = bufferWriteRefusal(bufferEntry, fileName, &image); !refusal.isEmpty())
        return refuseBufferWrite(d, refusal);

    bool ok = true;
    // Once "e5" went out the chain runs to its end whatever the abort key says: cut in half it
    // would leave the ROM switched on or write-enabled. An abort pressed meanwhile is reported
    // after it.
    bool chain = false;
    if (!d.AbortRequested) {
        d.addLine(kWritingRom);
        FreshFCommandLine(d);
        d.SendString("d" + hexText(*hexArg(bufferEntry)) + ",0\r");
        d.PumpWait(50);
        ok = SendImage(d, image, kBlockBytes);
        if (ok && !d.AbortRequested) {
            d.SendString("/\r");
            ok = d.WaitHD(1500);
            for (const char* step :
                 {"e5\r", "/F\r", "e9\r", "/F\r", "e3,200,1,0\r", "/F\r", "e6\r", "/F\r"}) {
                if (!ok || (d.AbortRequested && !chain)) break;
                chain = true;
                d.SendString(step);
                ok = d.WaitHD(1500);
            }
        }
    }
    d.PumpWait(100);

    const bool aborted = d.AbortRequested;
    if (aborted)
        d.addLine(kAborted);
    else
        d.appendResult(ok ? kSuccess : kFailed);
    return ended(d, aborted, ok, kWritingRom);
}

Outcome WriteBios1(Dialogue& d, const QString& fileName) {
    Host& host = d.host();
    d.CaptureBuffer.clear();
    d.ReceiveMode.clear();
    d.LastPrompt.clear();

    QByteArray image;
    if (const QString refusal = commandWriteRefusal(fileName, &image); !refusal.isEmpty())
        return refuseCommandWrite(d, refusal);
    // Only the ROM's 65536 bytes are written; a longer file's tail is not.
    host.setProgressMax(kRomSize);
    host.setProgressBytes(kRomSize);
    host.setProgress(0);

    bool ok = true;
    d.addLine(kSlowWrite);
    d.addLine(kWritingRom);
    d.SendString("Z\r");
    d.WaitHD(50);
    d.SendString("Z\r");
    d.PumpWait(100);
    d.SendString("e9\r");
    d.PumpWait(50);
    for (int a = 0; a < kRomSize; ++a) {
        const auto byte = static_cast<unsigned char>(image.at(a));
        d.SendString("e1," + hexText(static_cast<quint64>(a)) + "," + hexText(byte) + ",0\r");
        if (!d.WaitHD(1500) || d.AbortRequested) {
            ok = false;
            break;
        }
        d.PumpWait(1);
        host.setProgress(a + 1);
    }
    d.PumpWait(20);
    d.SendString("/\r");
    d.PumpWait(20);

    const bool aborted = d.AbortRequested;
    if (aborted)
        d.addLine(kAborted);
    else
        d.appendResult(ok ? kSuccess : kFailed);
    return ended(d, aborted, ok, kWritingRom);
}

Outcome TransferRom(Dialogue& d, RomMethod method, const QString& file, const QString& bufferEntry,
                    const QString& speed) {
    // The fields are checked before the drive is restarted for a transfer that cannot run.
    const bool read = method == RomMethod::BufferRead || method == RomMethod::CommandRead;
    const QString path = file.trimmed();
    if (path.isEmpty()) {
        const QString why = read ? kNoRomReadFile : kNoRomWriteFile;
        d.host().information(why);
        return Outcome::refused(Outcome::By::Input, why);
    }
    if (read) {
        if (const QString reason = cannotCreateReason(path); !reason.isEmpty()) {
            const QString why = cannotCreateMessage(path, reason);
            d.host().warning(why);
            return Outcome::refused(Outcome::By::Check, why);
        }
    } else if (method == RomMethod::BufferWrite) {
        const QString why = bufferWriteRefusal(bufferEntry.trimmed().toLatin1(), path, nullptr);
        if (!why.isEmpty()) return refuseBufferWrite(d, why);
    } else if (const QString why = commandWriteRefusal(path, nullptr); !why.isEmpty()) {
        return refuseCommandWrite(d, why);
    }
    Operation op(d);
    // The ROM commands live at F level; the switch says on the console how it went.
    if (!ToF(d)) return Outcome::failed(QStringLiteral("转换至F级失败！"));
    d.ReceiveMode.clear();
    d.LastPrompt.clear();
    op.raiseSpeed(speed);
    Outcome outcome;
    switch (method) {
        case RomMethod::BufferRead:
            outcome = ReadRom(d, path);
            break;
        case RomMethod::CommandRead:
            outcome = ReadROM1(d, path);
            break;
        case RomMethod::BufferWrite:
            outcome = WriteBios(d, bufferEntry.trimmed().toLatin1(), path);
            break;
        case RomMethod::CommandWrite:
            outcome = WriteBios1(d, path);
            break;
    }
    op.returnSpeed(Operation::Level::F);
    return outcome;
}

}  // namespace hdd
