#include "transfer_ops.h"

#include <QFileInfo>
#include <initializer_list>

#include "dialogue.h"
#include "download.h"
#include "dump.h"
#include "host.h"
#include "monitor.h"
#include "operation.h"
#include "text.h"
#include "track.h"
#include "transfer.h"

namespace hdd {

namespace {

Outcome refuseInput(Host& host, const QString& message) {
    host.information(message);
    return Outcome::refused(Outcome::By::Input, message);
}

Outcome notAtT() { return Outcome::refused(Outcome::By::Drive, kNotAtT); }

QByteArray latin1(const QString& text) { return text.trimmed().toLatin1(); }

// Numbers that are given but not hexadecimal are refused before the link is raised for them.
Outcome checkHexFields(Host& host, std::initializer_list<QByteArray> fields) {
    for (const QByteArray& f : fields) {
        if (!trimmed(f).isEmpty() && !hexArg(f)) {
            host.information(kBadNumber);
            return Outcome::refused(Outcome::By::Check, kBadNumber);
        }
    }
    return Outcome::done();
}

// A buffer transfer starts from a quiet line at the speed chosen for it.
void startBufferTransfer(Dialogue& d, Operation& op, const QString& speedText) {
    d.CaptureBuffer.clear();
    d.ReceiveMode.clear();
    d.LastPrompt.clear();
    op.raiseSpeed(speedText);
}

}  // namespace

Outcome checkBufferRange(Host& host, const QByteArray& start, const QByteArray& count, bool read) {
    if (!trimmed(start).isEmpty() && !trimmed(count).isEmpty()) return checkHexFields(host, {start, count});
    return refuseInput(host, read ? QStringLiteral("请指定要读取的缓冲区开始位置及长度！")
                                  : QStringLiteral("请指定要写入的缓冲区开始位置及长度！"));
}

Outcome ReadBufferToFile(Dialogue& d, const QByteArray& start, const QByteArray& count, const QString& file,
                         const QString& speedText) {
    if (Outcome o = checkBufferRange(d.host(), start, count, true); !o.isDone()) return o;
    if (file.isEmpty()) return Outcome::refused(Outcome::By::Input, kNoFileChosen);
    // A folder that cannot take the file is refused before the drive is asked anything.
    if (Outcome o = checkSaveTarget(d.host(), file); !o.isDone()) return o;
    Operation op(d);
    startBufferTransfer(d, op, speedText);
    Outcome outcome = ReadBuffer(d, trimmed(start), trimmed(count), file);
    d.CaptureBuffer.clear();
    SetSpeed9600(d);  // at the level the drive is at
    return outcome;
}

Outcome WriteBufferFromFile(Dialogue& d, const QByteArray& start, const QByteArray& count,
                            const QString& file, const QString& speedText) {
    if (Outcome o = checkBufferRange(d.host(), start, count, false); !o.isDone()) return o;
    if (file.isEmpty()) return Outcome::refused(Outcome::By::Input, kNoFileChosen);
    Operation op(d);
    startBufferTransfer(d, op, speedText);
    Outcome outcome = WriteBuffer(d, trimmed(start), trimmed(count), file);
    d.CaptureBuffer.clear();
    Set9600(d);
    return outcome;
}

Outcome SendFileToDrive(Dialogue& d, const QString& file, const QString& blockSize) {
    Host& host = d.host();
    const QString path = file.trimmed();
    if (path.isEmpty()) return refuseInput(host, QStringLiteral("请指定文件！"));
    if (!QFileInfo(path).isFile()) return refuseInput(host, QStringLiteral("指定的文件不存在！"));
    const QString size = blockSize.trimmed();
    if (size.isEmpty()) return refuseInput(host, QStringLiteral("请指定数据块大小！"));
    Operation op(d);
    d.CaptureBuffer.clear();
    d.ReceiveMode.clear();
    d.addLine(QStringLiteral("正在发送文件......"));
    Outcome outcome = SendFile(d, path, size.toLongLong());
    d.appendResult(outcome.isDone() ? kDone : kFailed);
    d.PumpWait(100);
    // The console says "失败！" also for a file the download refused.
    if (outcome.status == Outcome::Status::Refused) outcome = Outcome::failed(outcome.reason);
    return outcome;
}

Outcome checkTrackSpan(Host& host, const TrackSpan& span, bool read) {
    const bool given = !trimmed(span.track).isEmpty() && !trimmed(span.start).isEmpty() &&
                       !trimmed(span.count).isEmpty() && (!read || !trimmed(span.head).isEmpty());
    // A write may name several tracks, separated by commas; each must be a number.
    if (given) {
        const QList<QByteArray> tracks =
            read ? QList<QByteArray>{span.track} : trimmed(span.track).split(',');
        for (const QByteArray& t : tracks)
            if (Outcome o = checkHexFields(host, {trimmed(t).isEmpty() ? QByteArray("?") : t}); !o.isDone())
                return o;
        return checkHexFields(host, {span.head, span.start, span.count});
    }
    return refuseInput(host,
                       read ? QStringLiteral("请指定要读取的磁道、磁头、起始扇区和扇区数(十六进制数据)！")
                            : QStringLiteral("请指定要写入的磁道、起始扇区和扇区数(十六进制数据)！"));
}

Outcome ReadTrackToFile(Dialogue& d, const TrackSpan& span, BufferFields& buffers, const QString& file,
                        const QString& speedText) {
    if (Outcome o = checkTrackSpan(d.host(), span, true); !o.isDone()) return o;
    Operation op(d);
    if (file.isEmpty()) return Outcome::refused(Outcome::By::Input, kNoFileChosen);
    if (Outcome o = checkSaveTarget(d.host(), file); !o.isDone()) return o;
    if (!guardT(d)) return notAtT();
    if (Outcome o = EnsureBufferAddresses(d, buffers); !o.isDone()) return o;
    d.CaptureBuffer.clear();
    d.ReceiveMode.clear();
    op.raiseSpeed(speedText);
    Outcome outcome = ReadTrack(d, trimmed(span.track), trimmed(span.head), trimmed(span.start),
                                trimmed(span.count), latin1(buffers.rd), latin1(buffers.rdSize), file, true);
    d.CaptureBuffer.clear();
    Set9600(d);
    return outcome;
}

Outcome WriteTrackFromFile(Dialogue& d, const TrackSpan& span, BufferFields& buffers, const QString& file,
                           const QString& speedText) {
    if (Outcome o = checkTrackSpan(d.host(), span, false); !o.isDone()) return o;
    if (file.isEmpty()) return Outcome::refused(Outcome::By::Input, kNoFileChosen);
    Operation op(d);
    if (!guardT(d)) return notAtT();
    if (Outcome o = EnsureBufferAddresses(d, buffers); !o.isDone()) return o;
    d.CaptureBuffer.clear();
    d.ReceiveMode.clear();
    op.raiseSpeed(speedText);
    Outcome outcome =
        WriteTrack(d, trimmed(span.track), trimmed(span.head), trimmed(span.start), trimmed(span.count),
                   latin1(buffers.wr), latin1(buffers.wrSize), file, speedText);
    d.CaptureBuffer.clear();
    Set9600(d);
    return outcome;
}

}  // namespace hdd
