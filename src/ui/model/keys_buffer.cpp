// The buffer keys of the main window: read a run of buffer blocks into a file ("读"), write a file
// into buffer memory ("写"), and send any file by the block download with a chosen block size
// ("..." picks it, "发送" sends it to a drive that is already waiting for a download).
#include <QFileInfo>

#include "keys.h"
#include "main_form_controls.h"
#include "main_model.h"
#include "transfer.h"
#include "transfer_ops.h"

namespace hdd {

using namespace mainform;

namespace {

const QString kOps = QLatin1String(kOperationsPanel);
const QString kBufferFilter = QStringLiteral("BIN文件|*.bin|所有文件|*.*");
constexpr qint64 kMaxSendFile = 1024 * 1024;

QByteArray field(MainModel& m, const QString& name) { return m.form().text(name).trimmed().toLatin1(); }

// The buffer read and write keys: the run of blocks in Edit19 and Edit20, a file, and the transfer
// at the speed of ComboBox7.
Outcome bufferKey(MainModel& m, bool read) {
    const QByteArray start = field(m, kBufferEntryField);
    const QByteArray count = field(m, kBufferLengthField);
    if (Outcome o = checkBufferRange(m, start, count, read); !o.isDone()) return o;
    const FileRequest request{
        read ? QStringLiteral("保存文件（Buffer）") : QStringLiteral("打开文件（Buffer）"),
        QStringLiteral("Buffer.bin"), kBufferFilter, QStringLiteral("*.bin")};
    const QString file = read ? m.frontend().saveFileName(request) : m.frontend().openFileName(request);
    const QString speed = m.form().text(kTransferSpeedList);
    return read ? ReadBufferToFile(m.dialogue(), start, count, file, speed)
                : WriteBufferFromFile(m.dialogue(), start, count, file, speed);
}

Outcome readBufferKey(MainModel& m) { return bufferKey(m, true); }
Outcome writeBufferKey(MainModel& m) { return bufferKey(m, false); }

Outcome pickSendFileKey(MainModel& m) {
    const QString file = m.frontend().openFileName(
        {QStringLiteral("选择发送文件"), QString(), kBufferFilter, QStringLiteral("*.bin")});
    if (file.isEmpty()) return Outcome::refused(Outcome::By::Input, kNoFileChosen);
    m.form().setText(kSendFileField, file);
    if (QFileInfo(file).size() > kMaxSendFile) {
        m.form().setText(kSendFileField, QString());
        const QString tooLarge = QStringLiteral("模块文件长度不能大于1MB！");
        m.information(tooLarge);
        return Outcome::refused(Outcome::By::Input, tooLarge);
    }
    return Outcome::done();
}

Outcome sendFileKey(MainModel& m) {
    return SendFileToDrive(m.dialogue(), m.form().text(kSendFileField), m.form().text(kSendBlockSizeList));
}

}  // namespace

void installBufferKeys(MainModel& m) {
    FormModel& f = m.form();
    const QString buffer = QStringLiteral("缓冲区读写");
    for (const auto& [name, label] :
         {std::pair{kBufferEntryField, "缓冲区:"}, std::pair{kBufferLengthField, "长度:"}}) {
        Control& c = f.add(name, ControlKind::Edit, kOps);
        c.label = QString::fromUtf8(label);
        c.filter = KeyFilter::Hex;
        c.box = buffer;
    }
    addKey(m, kBufferReadKey, QStringLiteral("读"), buffer, readBufferKey).hint =
        QStringLiteral("读出缓冲区并存为文件");
    addKey(m, kBufferWriteKey, QStringLiteral("写"), buffer, writeBufferKey).hint =
        QStringLiteral("把文件写入缓冲区");

    const QString send = QStringLiteral("发送文件");
    Control& file = f.add(kSendFileField, ControlKind::Edit, kOps);
    file.label = QStringLiteral("发送文件:");
    file.readOnly = true;
    file.box = send;
    addKey(m, kSendFilePicker, QStringLiteral("..."), send, pickSendFileKey).hint =
        QStringLiteral("选择要发送的文件");
    Control& size = f.add(kSendBlockSizeList, ControlKind::Combo, kOps);
    size.label = QStringLiteral("数据块大小:");
    size.items = {"512", "1024", "2048", "4096"};
    size.currentIndex = -1;
    size.box = send;
    addKey(m, kSendFileKey, QStringLiteral("发送"), send, sendFileKey).hint =
        QStringLiteral("以块下载把文件发送给硬盘");
}

}  // namespace hdd
