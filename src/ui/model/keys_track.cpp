// The buffer address key ("缓冲区地址") with the read and write buffer fields it fills, and the
// keys that read and write any system-area track the user names ("读指定磁道", "写指定磁道").
#include "buffer_info.h"
#include "dialogue.h"
#include "keys.h"
#include "main_model.h"
#include "monitor.h"
#include "track.h"
#include "transfer.h"

namespace hdd {

namespace {

const QString kOps = QStringLiteral("Panel2");
const QString kTrackFilter = QStringLiteral("TRC文件|*.trc|BIN文件|*.bin|所有文件|*.*");
const QStringList kBufferFields = {"Edit1", "Edit15", "Edit2", "Edit16"};

QByteArray field(MainModel& m, const QString& name) { return m.form().text(name).trimmed().toLatin1(); }

// The buffer address key, with or without the busy state of its own (the ensure operation runs it
// from inside another key, which keeps the panels disabled itself).
void bufferAddress(MainModel& m, bool ownBusy) {
    Dialogue& d = m.dialogue();
    if (ownBusy) m.setBusy(true);
    d.addLine(QStringLiteral("正在获取缓冲区地址......"));
    d.PumpWait(1);
    for (const QString& n : kBufferFields) m.form().setText(n, QString());
    const BufferFields f = GetBuffAD(d);
    m.form().setText("Edit1", f.rd);
    m.form().setText("Edit15", f.rdSize);
    m.form().setText("Edit2", f.wr);
    m.form().setText("Edit16", f.wrSize);
    d.appendResult(f.complete() ? QStringLiteral("完成！") : QStringLiteral("失败！"));
    d.ReceiveMode = kUserCmd;
    d.SendString("\r");
    if (ownBusy) m.setBusy(false);
}

bool buffersFilled(MainModel& m) {
    for (const QString& n : kBufferFields) {
        if (field(m, n).isEmpty()) return false;
    }
    return true;
}

QString trackFileName(MainModel& m) {
    return QStringLiteral("Track%1_%2_%3_%4.trc")
        .arg(m.form().text("Edit10").trimmed(), m.form().text("Edit14").trimmed(),
             m.form().text("Edit11").trimmed(), m.form().text("Edit12").trimmed());
}

// The free-track keys share their frame: file dialog, T-level guard, buffer addresses, speed up,
// the transfer, 9600 again. `transfer` gets the chosen file.
void freeTrackKey(MainModel& m, bool read, const std::function<void(const QString&)>& transfer) {
    Dialogue& d = m.dialogue();
    d.AbortRequested = false;
    m.setBusy(true);
    const FileRequest request{
        read ? QStringLiteral("保存文件（指定磁道）") : QStringLiteral("打开文件（指定磁道）"),
        trackFileName(m), kTrackFilter, QStringLiteral("*.trc")};
    const QString file = read ? m.frontend().saveFileName(request) : m.frontend().openFileName(request);
    // A read into a folder that cannot take the file is refused before the drive is asked anything.
    if (!file.isEmpty() && (!read || checkCreatable(m, file))) {
        if (!isT(d)) {
            d.addLine(kNotAtT);
        } else if (GetBufferAddress(m)) {
            d.CaptureBuffer.clear();
            d.ReceiveMode.clear();
            m.AdSpeed();
            transfer(file);
            d.CaptureBuffer.clear();
            Set9600(d);
        }
    }
    // The read key gives the drive its carriage return also when the dialog was cancelled.
    if (!file.isEmpty() || read) {
        d.ReceiveMode = kUserCmd;
        d.SendString("\r");
    }
    m.setBusy(false);
    d.AbortRequested = false;
}

void readTrackKey(MainModel& m) {
    for (const char* n : {"Edit10", "Edit11", "Edit12", "Edit14"}) {
        if (field(m, n).isEmpty()) {
            m.information(QStringLiteral("请指定要读取的磁道、磁头、起始扇区和扇区数(十六进制数据)！"));
            return;
        }
    }
    freeTrackKey(m, true, [&m](const QString& file) {
        ReadTrack(m.dialogue(), field(m, "Edit10"), field(m, "Edit14"), field(m, "Edit11"),
                  field(m, "Edit12"), field(m, "Edit1"), field(m, "Edit15"), file, true);
    });
}

void writeTrackKey(MainModel& m) {
    for (const char* n : {"Edit10", "Edit11", "Edit12"}) {
        if (field(m, n).isEmpty()) {
            m.information(QStringLiteral("请指定要写入的磁道、起始扇区和扇区数(十六进制数据)！"));
            return;
        }
    }
    freeTrackKey(m, false, [&m](const QString& file) {
        WriteTrack(m.dialogue(), field(m, "Edit10"), field(m, "Edit14"), field(m, "Edit11"),
                   field(m, "Edit12"), field(m, "Edit2"), field(m, "Edit16"), file,
                   m.form().text("ComboBox7"));
    });
}

}  // namespace

bool GetBufferAddress(MainModel& m) {
    if (!buffersFilled(m)) bufferAddress(m, false);
    return buffersFilled(m);
}

void installTrackKeys(MainModel& m) {
    FormModel& f = m.form();
    const QString buffers = QStringLiteral("缓冲区地址");
    addField(f, "Edit1", QStringLiteral("RD:"), buffers);
    addField(f, "Edit15", QStringLiteral("扇区数:"), buffers).sameRow = true;
    addField(f, "Edit2", QStringLiteral("WR:"), buffers);
    addField(f, "Edit16", QStringLiteral("扇区数:"), buffers).sameRow = true;
    addKey(m, "Button13", QStringLiteral("缓冲区地址"), buffers,
           [](MainModel& mm) { bufferAddress(mm, true); });

    const QString track = QStringLiteral("指定磁道");
    addField(f, "Edit10", QStringLiteral("磁道:"), track);
    addField(f, "Edit14", QStringLiteral("磁头:"), track);
    addField(f, "Edit11", QStringLiteral("起始扇区:"), track);
    addField(f, "Edit12", QStringLiteral("扇区数:"), track);
    addKey(m, "Button18", QStringLiteral("读指定磁道"), track, readTrackKey);
    addKey(m, "Button19", QStringLiteral("写指定磁道"), track, writeTrackKey);
}

}  // namespace hdd
