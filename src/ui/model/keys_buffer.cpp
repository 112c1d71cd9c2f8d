// The buffer keys of the main window: read a run of buffer blocks into a file ("读"), write a file
// into buffer memory ("写"), and send any file by the block download with a chosen block size
// ("..." picks it, "发送" sends it to a drive that is already waiting for a download).
#include <QFileInfo>

#include "dialogue.h"
#include "download.h"
#include "dump.h"
#include "keys.h"
#include "main_model.h"
#include "monitor.h"
#include "text.h"
#include "transfer.h"

namespace hdd {

namespace {

const QString kOps = QStringLiteral("Panel2");
const QString kBufferFilter = QStringLiteral("BIN文件|*.bin|所有文件|*.*");
constexpr qint64 kMaxSendFile = 1024 * 1024;

// The buffer read and write keys: the run of blocks in Edit19 and Edit20, a file, the transfer at
// the speed of ComboBox7, and back to 9600 (the read key at the drive's current level).
void bufferKey(MainModel& m, bool read) {
    Dialogue& d = m.dialogue();
    const QByteArray start = m.form().text("Edit19").trimmed().toLatin1();
    const QByteArray count = m.form().text("Edit20").trimmed().toLatin1();
    if (start.isEmpty() || count.isEmpty()) {
        m.information(read ? QStringLiteral("请指定要读取的缓冲区开始位置及长度！")
                           : QStringLiteral("请指定要写入的缓冲区开始位置及长度！"));
        return;
    }
    d.AbortRequested = false;
    m.setBusy(true);
    const FileRequest request{
        read ? QStringLiteral("保存文件（Buffer）") : QStringLiteral("打开文件（Buffer）"),
        QStringLiteral("Buffer.bin"), kBufferFilter, QStringLiteral("*.bin")};
    const QString file = read ? m.frontend().saveFileName(request) : m.frontend().openFileName(request);
    // A read into a folder that cannot take the file is refused before the drive is asked anything.
    if (!file.isEmpty() && (!read || checkCreatable(m, file))) {
        d.CaptureBuffer.clear();
        d.ReceiveMode.clear();
        d.LastPrompt.clear();
        m.AdSpeed();
        if (read)
            ReadBuffer(d, start, count, file);
        else
            WriteBuffer(d, start, count, file);
        d.CaptureBuffer.clear();
        if (read)
            SetSpeed9600(d);
        else
            Set9600(d);
        d.ReceiveMode = kUserCmd;
        d.SendString("\r");
    }
    m.setBusy(false);
    d.AbortRequested = false;
}

void readBufferKey(MainModel& m) { bufferKey(m, true); }
void writeBufferKey(MainModel& m) { bufferKey(m, false); }

void pickSendFileKey(MainModel& m) {
    const QString file = m.frontend().openFileName(
        {QStringLiteral("选择发送文件"), QString(), kBufferFilter, QStringLiteral("*.bin")});
    if (file.isEmpty()) return;
    m.form().setText("Edit18", file);
    if (QFileInfo(file).size() > kMaxSendFile) {
        m.form().setText("Edit18", QString());
        m.information(QStringLiteral("模块文件长度不能大于1MB！"));
    }
}

void sendFileKey(MainModel& m) {
    Dialogue& d = m.dialogue();
    const QString file = m.form().text("Edit18").trimmed();
    if (file.isEmpty()) {
        m.information(QStringLiteral("请指定文件！"));
        return;
    }
    if (!QFileInfo(file).isFile()) {
        m.information(QStringLiteral("指定的文件不存在！"));
        return;
    }
    const QString size = m.form().text("ComboBox6").trimmed();
    if (size.isEmpty()) {
        m.information(QStringLiteral("请指定数据块大小！"));
        return;
    }
    d.AbortRequested = false;
    m.setBusy(true);
    d.CaptureBuffer.clear();
    d.ReceiveMode.clear();
    d.addLine(QStringLiteral("正在发送文件......"));
    d.appendResult(SendFile(d, file, size.toLongLong()) ? QStringLiteral("完成！")
                                                        : QStringLiteral("失败！"));
    d.PumpWait(100);
    d.ReceiveMode = kUserCmd;
    d.SendString("\r");
    m.setBusy(false);
    d.AbortRequested = false;
}

}  // namespace

void installBufferKeys(MainModel& m) {
    FormModel& f = m.form();
    const QString buffer = QStringLiteral("缓冲区读写");
    for (const auto& [name, label] : {std::pair{"Edit19", "缓冲区:"}, std::pair{"Edit20", "长度:"}}) {
        Control& c = f.add(name, ControlKind::Edit, kOps);
        c.label = QString::fromUtf8(label);
        c.filter = KeyFilter::Hex;
        c.box = buffer;
    }
    addKey(m, "Button78", QStringLiteral("读"), buffer, readBufferKey);
    addKey(m, "Button79", QStringLiteral("写"), buffer, writeBufferKey);

    const QString send = QStringLiteral("发送文件");
    Control& file = f.add("Edit18", ControlKind::Edit, kOps);
    file.label = QStringLiteral("发送文件:");
    file.readOnly = true;
    file.box = send;
    addKey(m, "Button62", QStringLiteral("..."), send, pickSendFileKey);
    Control& size = f.add("ComboBox6", ControlKind::Combo, kOps);
    size.label = QStringLiteral("数据块大小:");
    size.items = {"512", "1024", "2048", "4096"};
    size.currentIndex = -1;
    size.box = send;
    addKey(m, "Button63", QStringLiteral("发送"), send, sendFileKey);
}

}  // namespace hdd
