// The buffer address key ("缓冲区地址") with the read and write buffer fields it fills, and the
// keys that read and write any system-area track the user names ("读指定磁道", "写指定磁道").
#include "discovery.h"
#include "keys.h"
#include "main_form_controls.h"
#include "main_model.h"
#include "transfer_ops.h"

namespace hdd {

using namespace mainform;

namespace {

const QString kOps = QLatin1String(kOperationsPanel);
const QString kTrackFilter = QStringLiteral("TRC文件|*.trc|BIN文件|*.bin|所有文件|*.*");

QByteArray field(MainModel& m, const QString& name) { return m.form().text(name).trimmed().toLatin1(); }

// Runs an operation over the window's buffer fields and writes back what it found.
Outcome withBuffers(MainModel& m, const std::function<Outcome(BufferFields&)>& work) {
    AddressSet a = addressFields(m);
    const Outcome outcome = work(a.buffers);
    setAddressFields(m, a);
    return outcome;
}

Outcome bufferAddressKey(MainModel& m) {
    return withBuffers(m, [&m](BufferFields& b) { return FindBufferAddresses(m.dialogue(), b); });
}

TrackSpan trackSpan(MainModel& m) {
    return {field(m, kTrackField), field(m, kTrackHeadField), field(m, kTrackStartField),
            field(m, kTrackCountField)};
}

FileRequest trackFile(MainModel& m, bool read) {
    const QString name =
        QStringLiteral("Track%1_%2_%3_%4.trc")
            .arg(m.form().text(kTrackField).trimmed(), m.form().text(kTrackHeadField).trimmed(),
                 m.form().text(kTrackStartField).trimmed(), m.form().text(kTrackCountField).trimmed());
    return {read ? QStringLiteral("保存文件（指定磁道）") : QStringLiteral("打开文件（指定磁道）"), name,
            kTrackFilter, QStringLiteral("*.trc")};
}

Outcome readTrackKey(MainModel& m) {
    const TrackSpan span = trackSpan(m);
    if (Outcome o = checkTrackSpan(m, span, true); !o.isDone()) return o;
    // A cancelled dialog goes on too: the read gives the drive its carriage return all the same.
    const QString file = m.frontend().saveFileName(trackFile(m, true));
    return withBuffers(m, [&](BufferFields& b) {
        return ReadTrackToFile(m.dialogue(), span, b, file, m.form().text(kTransferSpeedList));
    });
}

Outcome writeTrackKey(MainModel& m) {
    const TrackSpan span = trackSpan(m);
    if (Outcome o = checkTrackSpan(m, span, false); !o.isDone()) return o;
    const QString file = m.frontend().openFileName(trackFile(m, false));
    return withBuffers(m, [&](BufferFields& b) {
        return WriteTrackFromFile(m.dialogue(), span, b, file, m.form().text(kTransferSpeedList));
    });
}

}  // namespace

bool GetBufferAddress(MainModel& m) {
    return withBuffers(m, [&m](BufferFields& b) { return EnsureBufferAddresses(m.dialogue(), b); }).isDone();
}

void installTrackKeys(MainModel& m) {
    FormModel& f = m.form();
    const QString buffers = QStringLiteral("缓冲区地址");
    addField(f, kReadBufferField, QStringLiteral("RD:"), buffers);
    addField(f, kReadSectorsField, QStringLiteral("扇区数:"), buffers).sameRow = true;
    addField(f, kWriteBufferField, QStringLiteral("WR:"), buffers);
    addField(f, kWriteSectorsField, QStringLiteral("扇区数:"), buffers).sameRow = true;
    addKey(m, kBufferAddressKey, QStringLiteral("缓冲区地址"), buffers, bufferAddressKey).hint =
        QStringLiteral("向硬盘查询读写缓冲区地址");

    const QString track = QStringLiteral("指定磁道");
    addField(f, kTrackField, QStringLiteral("磁道:"), track);
    addField(f, kTrackHeadField, QStringLiteral("磁头:"), track);
    addField(f, kTrackStartField, QStringLiteral("起始扇区:"), track);
    addField(f, kTrackCountField, QStringLiteral("扇区数:"), track);
    addKey(m, kTrackReadKey, QStringLiteral("读指定磁道"), track, readTrackKey).hint =
        QStringLiteral("读取指定磁道的扇区并存为文件");
    addKey(m, kTrackWriteKey, QStringLiteral("写指定磁道"), track, writeTrackKey).hint =
        QStringLiteral("把文件写入指定磁道的扇区");
}

}  // namespace hdd
