#include "buffer_info.h"

#include <optional>

#include "dialogue.h"
#include "monitor.h"
#include "operation.h"
#include "text.h"
#include "transfer.h"

namespace hdd {

namespace {

// The part of text before the first c (all of it when there is none), and after it (nothing).
QByteArray before(const QByteArray& text, char c) {
    const qsizetype i = text.indexOf(c);
    return i < 0 ? text : text.left(i);
}
QByteArray after(const QByteArray& text, char c) {
    const qsizetype i = text.indexOf(c);
    return i < 0 ? QByteArray() : text.mid(i + 1);
}

// Hexadecimal text, exactly as it stands, as upper case without leading zeros; nothing for text
// that is no number of at most 31 bits.
QString normalised(const QByteArray& text) {
    const auto v = parseHex(text);
    if (!v || *v >= 0x80000000u) return QString();
    return toHexText(*v);
}

QString withoutLeadingZeros(const QByteArray& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == '0') ++i;
    return QString::fromLatin1(text.mid(i));
}

}  // namespace

bool BufferFields::known() const {
    for (const QString* f : {&rd, &rdSize, &wr, &wrSize}) {
        if (f->trimmed().isEmpty()) return false;
    }
    return true;
}

BufferFields parseBufferAnswerT(const QList<QByteArray>& lines) {
    BufferFields f;
    for (const QByteArray& line : lines) {
        const bool rd = line.startsWith("RD:");
        if (!rd && !line.startsWith("WR:")) continue;
        const QByteArray rest = line.mid(3);
        const QString address = normalised(before(rest, ':'));
        const QString size = withoutLeadingZeros(trimmed(after(rest, ':')));
        // A size that is not a number is no size.
        const QString checked = parseHex(size.toLatin1()) ? size : QString();
        (rd ? f.rd : f.wr) = address;
        (rd ? f.rdSize : f.wrSize) = checked;
    }
    return f;
}

BufferFields parseBufferAnswerB0(const QList<QByteArray>& lines) {
    BufferFields f;
    for (const QByteArray& line : lines) {
        const qsizetype rd = line.indexOf("RD:");
        const qsizetype wr = line.indexOf("WR:");
        if (rd < 0 || wr < 0) continue;
        auto take = [&line](qsizetype at, QString& address, QString& size) {
            const QByteArray text = line.mid(at + 3);
            address = normalised(before(text, ':'));
            // A size of 0 sectors is no usable size, as in the answer to "?".
            size = normalised(before(trimmed(after(text, ':')), ':'));
            if (size == QLatin1String("0")) size.clear();
        };
        take(rd, f.rd, f.rdSize);
        take(wr, f.wr, f.wrSize);
        break;
    }
    return f;
}

BufferFields GetBuffAD(Dialogue& d) {
    const QByteArray saved = d.ReceiveMode;
    d.ReceiveMode = kSysCmd;
    BufferFields f;
    if (isT(d)) {
        d.CaptureBuffer.clear();
        d.SendString("/\r");
        d.WaitHD(1500);
        d.SendString("?\r");
        d.WaitHD(1500);
        f = parseBufferAnswerT(d.captureLines());
        d.CaptureBuffer.clear();
    } else {
        d.CaptureBuffer.clear();
        d.SendString("B0\r");
        d.WaitHD(1500);
        f = parseBufferAnswerB0(d.captureLines());
    }
    d.ReceiveMode = saved;
    return f;
}

Outcome FindBufferAddresses(Dialogue& d, BufferFields& fields) {
    Operation op(d);
    d.addLine(QStringLiteral("正在获取缓冲区地址......"));
    d.PumpWait(1);
    fields = GetBuffAD(d);
    const bool found = fields.complete();
    d.appendResult(found ? kDone : kFailed);
    return Outcome::doneIf(found, kFailed);
}

Outcome EnsureBufferAddresses(Dialogue& d, BufferFields& fields) {
    if (fields.known()) return Outcome::done();
    const Outcome asked = FindBufferAddresses(d, fields);
    return fields.known() ? Outcome::done() : asked.isDone() ? Outcome::failed(kFailed) : asked;
}

}  // namespace hdd
