#include "dump.h"

#include <QFileInfo>
#include <QSaveFile>

#include "dialogue.h"
#include "host.h"
#include "text.h"
#include "transfer.h"

namespace hdd {

namespace {

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

int hexDigit(char c) {
    if (c <= '9') return c - '0';
    if (c <= 'F') return c - 'A' + 10;
    return c - 'a' + 10;
}

bool isBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

// The byte field of a data line (from its eighth character on): pairs of hexadecimal digits with
// any run of blanks or control characters between them. False when it is anything else or does
// not hold exactly one line's worth of bytes.
bool parseByteField(const char* p, const char* end, QByteArray& out) {
    int n = 0;
    while (true) {
        while (p < end && isBlank(*p)) ++p;
        if (p == end) break;
        if (end - p < 2 || !isHexDigit(p[0]) || !isHexDigit(p[1])) return false;
        if (++n > kDumpLineBytes) return false;
        out += static_cast<char>(hexDigit(p[0]) << 4 | hexDigit(p[1]));
        p += 2;
    }
    return n == kDumpLineBytes;
}

// The next line of text from pos on (lines end at CR LF, a lone CR or a lone LF).
bool nextLine(const QByteArray& text, qsizetype& pos, const char*& b, const char*& e) {
    const qsizetype n = text.size();
    if (pos >= n) return false;
    const char* data = text.constData();
    qsizetype i = pos;
    while (i < n && data[i] != '\r' && data[i] != '\n') ++i;
    b = data + pos;
    e = data + i;
    if (i < n && data[i] == '\r' && i + 1 < n && data[i + 1] == '\n') ++i;
    pos = i + 1;
    return true;
}

bool isHeader(const char* b, const char* e) {
    while (b < e && isBlank(*b)) ++b;
    if (e - b < 4) return false;
    for (int i = 0; i < 4; ++i) {
        if ((b[i] & ~0x20) != "ADDR"[i]) return false;
    }
    return true;
}

}  // namespace

DumpParse ParseDump(const QByteArray& capture, QByteArray& expected) {
    DumpParse r;
    qsizetype pos = 0;
    const char* b = nullptr;
    const char* e = nullptr;
    while (!r.header && nextLine(capture, pos, b, e)) r.header = isHeader(b, e);
    if (!r.header) return r;
    r.bytes.reserve(kBlockBytes);
    while (nextLine(capture, pos, b, e)) {
        const QByteArray address(b, std::min<qsizetype>(6, e - b));
        if (expected.isEmpty()) expected = address;
        if (address != expected || r.lines >= kDumpLines) continue;
        ++r.lines;
        if (e - b < 7 || !parseByteField(b + 7, e, r.bytes)) {
            r.dataError = true;
            return r;
        }
        const auto value = parseHex(expected);
        if (!value) {
            r.dataError = true;
            return r;
        }
        expected = QByteArray::number(*value + 0x20, 16).toUpper().rightJustified(6, '0');
    }
    return r;
}

DumpStatus ReadDumpBlock(Dialogue& d, const QByteArray& block, QByteArray& expected, QByteArray& image) {
    d.ReceiveMode = kRData;
    d.CaptureBuffer.clear();
    d.SendString("B" + block + "," + block + "\r");
    if (!d.WaitHD(1500)) {
        d.CaptureBuffer.clear();
        return DumpStatus::NoPrompt;
    }
    const DumpParse p = ParseDump(d.CaptureBuffer, expected);
    d.CaptureBuffer.clear();
    if (p.dataError) return DumpStatus::DataError;
    if (!p.complete()) return DumpStatus::Short;
    image += p.bytes;
    return DumpStatus::Complete;
}

TransferOutcome ReadBuffer(Dialogue& d, const QByteArray& startBlock, const QByteArray& blockCount,
                           const QString& fileName) {
    Host& host = d.host();
    const auto first = hexArg(startBlock);
    const auto count = hexArg(blockCount);
    if (!first || !count) {
        host.information(kBadNumber);
        return Outcome::refused(Outcome::By::Check, kBadNumber);
    }
    d.CaptureBuffer.clear();
    d.ReceiveMode.clear();
    d.LastPrompt.clear();
    d.addLine(kReadingBuffer);
    // A file that cannot be created costs no read: the drive is not asked anything.
    if (const Outcome target = checkSaveTarget(host, fileName); !target.isDone()) {
        d.appendResult(kFailed);
        d.addLine(QString());
        return Outcome::failed(target.reason);
    }
    host.setProgressMax(static_cast<qint64>(*count));
    host.setProgressBytes(static_cast<qint64>(*count) * kBlockBytes);
    host.setProgress(0);

    bool ok = true;
    bool dataError = false;
    bool written = false;
    QString fileError;
    QByteArray image;
    // Written only when the blocks were asked for. A complete read replaces the file; after a failure
    // or an abort the whole blocks read so far are kept, but never in place of a file already there.
    const bool existed = QFileInfo::exists(fileName);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        fileError = cannotCreateMessage(fileName, file.errorString());
        host.warning(fileError);
        ok = false;
    } else {
        d.SendString("/2\r");
        if (!d.WaitHD(1500)) {
            ok = false;
        } else if (!d.AbortRequested) {
            const quint64 end = *first + *count;
            for (quint64 b = *first; b < end; ++b) {
                if (d.AbortRequested) {
                    ok = false;
                    break;
                }
                QByteArray expected;
                const DumpStatus s = ReadDumpBlock(d, hexText(b), expected, image);
                if (s != DumpStatus::Complete) {
                    ok = false;
                    dataError = s == DumpStatus::DataError;
                    break;
                }
                host.setProgress(host.progress() + 1);
            }
            const bool whole = ok && !d.AbortRequested;
            if (!whole && existed) {
                file.cancelWriting();
            } else if (file.write(image) != image.size() || !file.commit()) {
                fileError = cannotWriteMessage(fileName, file.errorString());
                host.warning(fileError);
                ok = false;
            } else {
                written = true;
            }
        }
    }

    d.PumpWait(500);
    d.SendString("/\r");
    d.WaitHD(1500);
    d.ReceiveMode.clear();

    Outcome outcome;
    if (d.AbortRequested) {
        d.addLine(kAborted);
        outcome = Outcome::aborted();
    } else if (dataError) {
        d.addLine(kDataError);
        outcome = Outcome::failed(kDataError);
    } else {
        d.appendResult(ok ? kSuccess : kFailed);
        outcome = Outcome::doneIf(ok, fileError.isEmpty() ? kFailed : fileError);
    }
    d.addLine(QString());
    if (written) outcome.wrote(fileName);
    return outcome;
}

}  // namespace hdd
