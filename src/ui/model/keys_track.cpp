// The buffer address key ("缓冲区地址") with the read and write buffer fields it fills, and the
// keys that read and write any system-area track the user names ("读指定磁道", "写指定磁道").
#include "discovery.h"
#include "keys.h"
#include "main_model.h"
#include "transfer_ops.h"

namespace hdd {

namespace {

const QString kOps = QStringLiteral("Panel2");
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
    return {field(m, "Edit10"), field(m, "Edit14"), field(m, "Edit11"), field(m, "Edit12")};
}

FileRequest trackFile(MainModel& m, bool read) {
    const QString name = QStringLiteral("Track%1_%2_%3_%4.trc")
                             .arg(m.form().text("Edit10").trimmed(), m.form().text("Edit14").trimmed(),
                                  m.form().text("Edit11").trimmed(), m.form().text("Edit12").trimmed());
    return {read ? QStringLiteral("保存文件（指定磁道）") : QStringLiteral("打开文件（指定磁道）"), name,
            kTrackFilter, QStringLiteral("*.trc")};
}

Outcome readTrackKey(MainModel& m) {
    const TrackSpan span = trackSpan(m);
    if (Outcome o = checkTrackSpan(m, span, true); !o.isDone()) return o;
    // A cancelled dialog goes on too: the read gives the drive its carriage return all the same.
    const QString file = m.frontend().saveFileName(trackFile(m, true));
    return withBuffers(m, [&](BufferFields& b) {
        return ReadTrackToFile(m.dialogue(), span, b, file, m.form().text("ComboBox7"));
    });
}

Outcome writeTrackKey(MainModel& m) {
    const TrackSpan span = trackSpan(m);
    if (Outcome o = checkTrackSpan(m, span, false); !o.isDone()) return o;
    const QString file = m.frontend().openFileName(trackFile(m, false));
    return withBuffers(m, [&](BufferFields& b) {
        return WriteTrackFromFile(m.dialogue(), span, b, file, m.form().text("ComboBox7"));
    });
}

}  // namespace

bool GetBufferAddress(MainModel& m) {
    return withBuffers(m, [&m](BufferFields& b) { return EnsureBufferAddresses(m.dialogue(), b); }).isDone();
}

void installTrackKeys(MainModel& m) {
    FormModel& f = m.form();
    const QString buffers = QStringLiteral("缓冲区地址");
    addField(f, "Edit1", QStringLiteral("RD:"), buffers);
    addField(f, "Edit15", QStringLiteral("扇区数:"), buffers).sameRow = true;
    addField(f, "Edit2", QStringLiteral("WR:"), buffers);
    addField(f, "Edit16", QStringLiteral("扇区数:"), buffers).sameRow = true;
    addKey(m, "Button13", QStringLiteral("缓冲区地址"), buffers, bufferAddressKey).hint =
        QStringLiteral("向硬盘查询读写缓冲区地址");

    const QString track = QStringLiteral("指定磁道");
    addField(f, "Edit10", QStringLiteral("磁道:"), track);
    addField(f, "Edit14", QStringLiteral("磁头:"), track);
    addField(f, "Edit11", QStringLiteral("起始扇区:"), track);
    addField(f, "Edit12", QStringLiteral("扇区数:"), track);
    addKey(m, "Button18", QStringLiteral("读指定磁道"), track, readTrackKey).hint =
        QStringLiteral("读取指定磁道的扇区并存为文件");
    addKey(m, "Button19", QStringLiteral("写指定磁道"), track, writeTrackKey).hint =
        QStringLiteral("把文件写入指定磁道的扇区");
}

}  // namespace hdd
