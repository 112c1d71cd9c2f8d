// Form3 "串行ROM读写": reading the drive's serial ROM into a file and writing a file into it,
// through buffer memory or byte by byte.
//
// The four transfer keys hand their fields to TransferRom (rom.h), which runs the whole key: the
// drive to F level, the file field's check, the link speed, the transfer and the way back. The file
// fields are read-only: their pickers fill them, and a file to write may not be longer than 512 KiB.
#include <QFileInfo>

#include "dialog_form.h"
#include "form3_controls.h"
#include "main_form_controls.h"
#include "main_model.h"
#include "rom.h"

namespace hdd {

using namespace form3;

namespace {

const QString kRomFilter = QStringLiteral("BIN文件|*.bin|所有文件|*.*");
const QString kRomName = QStringLiteral("ROM.BIN");
constexpr qint64 kMaxRomFile = 0x80000;

// A transfer key: its file field and the dialog's speed and entry, handed to the ROM operation.
Outcome romKey(DialogForm& f, RomMethod method) {
    const bool read = method == RomMethod::BufferRead || method == RomMethod::CommandRead;
    return TransferRom(f.main().dialogue(), method, f.text(read ? kReadFileField : kWriteFileField),
                       f.text(kEntryList), f.text(kSpeedList));
}

void pickReadFile(DialogForm& f) {
    const QString file =
        f.main().frontend().saveFileName({QString(), kRomName, kRomFilter, QStringLiteral("*.bin")});
    if (!file.isEmpty()) f.setText(kReadFileField, file.trimmed());
}

void pickWriteFile(DialogForm& f) {
    const QString file =
        f.main().frontend().openFileName({QString(), kRomName, kRomFilter, QStringLiteral("*.bin")});
    if (file.isEmpty()) return;
    f.setText(kWriteFileField, file);
    if (QFileInfo(file).size() > kMaxRomFile) {
        f.setText(kWriteFileField, QString());
        f.main().information(QStringLiteral("ROM模块文件长度不能大于512MB！"));
    }
}

}  // namespace

std::unique_ptr<DialogForm> makeForm3(MainModel& m) {
    auto f = std::make_unique<DialogForm>(m, QLatin1String(kName), QStringLiteral("串行ROM读写"));
    DialogForm& form = *f;
    const QString files = QStringLiteral("文件");
    const QString keys = QStringLiteral("读写");

    form.addEdit(kReadFileField, QStringLiteral("读取:"), KeyFilter::Any, files).readOnly = true;
    Control& pickRead = form.add(kReadFilePicker, ControlKind::Button);
    pickRead.caption = QStringLiteral("...");
    pickRead.box = files;
    pickRead.onClick = [&form] { pickReadFile(form); };
    form.addEdit(kWriteFileField, QStringLiteral("写入:"), KeyFilter::Any, files).readOnly = true;
    Control& pickWrite = form.add(kWriteFilePicker, ControlKind::Button);
    pickWrite.caption = QStringLiteral("...");
    pickWrite.box = files;
    pickWrite.onClick = [&form] { pickWriteFile(form); };

    Control& speed = form.add(kSpeedList, ControlKind::Combo);
    speed.label = QStringLiteral("读写速率:");
    speed.box = keys;
    form.followSpeedList(kSpeedList);
    Control& entry = form.add(kEntryList, ControlKind::Combo);
    entry.label = QStringLiteral("入口缓冲区:");
    entry.editable = true;
    entry.filter = KeyFilter::Hex;
    entry.items = {QStringLiteral("400"), QStringLiteral("800")};
    entry.currentIndex = 0;
    entry.text = QStringLiteral("400");
    entry.box = keys;

    const std::pair<const char*, RomMethod> transfers[] = {
        {kBufferReadKey, RomMethod::BufferRead},
        {kBufferWriteKey, RomMethod::BufferWrite},
        {kCommandReadKey, RomMethod::CommandRead},
        {kCommandWriteKey, RomMethod::CommandWrite},
    };
    const QString captions[] = {QStringLiteral("缓冲区读取"), QStringLiteral("缓冲区写入"),
                                QStringLiteral("指令方式读取"), QStringLiteral("指令方式写入")};
    for (int i = 0; i < 4; ++i) {
        const RomMethod method = transfers[i].second;
        form.addKey(
            transfers[i].first, captions[i], [&form, method] { return romKey(form, method); }, keys);
    }

    // The main window's progress bar, repeated here: the dialog covers the window while it runs.
    Control& progress = form.add(kProgressBar, ControlKind::Progress);
    progress.maximum = m.form().at(mainform::kProgressBar).maximum;
    QObject::connect(&m.form(), &FormModel::changed, &form, [&m, &form](const QString& name) {
        if (name != QLatin1String(mainform::kProgressBar)) return;
        const Control& main = m.form().at(name);
        form.setMaximum(name, main.maximum);
        form.setValue(name, main.value);
        form.setText(name, main.text);
    });
    return f;
}

}  // namespace hdd
