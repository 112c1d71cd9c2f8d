// Form3 "串行ROM读写": reading the drive's serial ROM into a file and writing a file into it,
// through buffer memory or byte by byte.
//
// The four transfer keys share one frame: the drive goes to F level (where the ROM commands
// live), the key's file field must be filled, the link rises to the dialog's speed, the operation
// runs, and the link comes back to 9600 at F level. The file fields are read-only: their pickers
// fill them, and a file to write may not be longer than 512 KiB.
#include <QFileInfo>

#include "dialog_form.h"
#include "dialogue.h"
#include "main_model.h"
#include "monitor.h"
#include "rom.h"

namespace hdd {

namespace {

const QString kRomFilter = QStringLiteral("BIN文件|*.bin|所有文件|*.*");
const QString kRomName = QStringLiteral("ROM.BIN");
constexpr qint64 kMaxRomFile = 0x80000;

enum class RomKey { BufferRead, CommandRead, BufferWrite, CommandWrite };

void romKey(DialogForm& f, RomKey key) {
    MainModel& m = f.main();
    Dialogue& d = m.dialogue();
    d.AbortRequested = false;
    if (!ToF(d)) {
        // ToF has said so on the console; the console takes the drive's text again.
        d.ReceiveMode = kUserCmd;
        d.SendString("\r");
        return;
    }
    const bool read = key == RomKey::BufferRead || key == RomKey::CommandRead;
    const QString file = f.text(read ? "Edit1" : "Edit2").trimmed();
    if (file.isEmpty()) {
        d.ReceiveMode = kUserCmd;
        m.information(read ? QStringLiteral("请指定读取后保存的文件！")
                           : QStringLiteral("请选择要写入的ROM文件！"));
        return;
    }
    d.AbortRequested = false;
    d.ReceiveMode.clear();
    d.LastPrompt.clear();
    AdMySpeed(d, f.text("ComboBox2"));
    switch (key) {
        case RomKey::BufferRead:
            ReadRom(d, file);
            break;
        case RomKey::CommandRead:
            ReadROM1(d, file);
            break;
        case RomKey::BufferWrite:
            WriteBios(d, f.text("ComboBox3").trimmed().toLatin1(), file);
            break;
        case RomKey::CommandWrite:
            WriteBios1(d, file);
            break;
    }
    SetF9600(d);
    d.ReceiveMode = kUserCmd;
    d.SendString("\r");
    d.AbortRequested = false;
}

void pickReadFile(DialogForm& f) {
    const QString file =
        f.main().frontend().saveFileName({QString(), kRomName, kRomFilter, QStringLiteral("*.bin")});
    if (!file.isEmpty()) f.setText("Edit1", file.trimmed());
}

void pickWriteFile(DialogForm& f) {
    const QString file =
        f.main().frontend().openFileName({QString(), kRomName, kRomFilter, QStringLiteral("*.bin")});
    if (file.isEmpty()) return;
    f.setText("Edit2", file);
    if (QFileInfo(file).size() > kMaxRomFile) {
        f.setText("Edit2", QString());
        f.main().information(QStringLiteral("ROM模块文件长度不能大于512MB！"));
    }
}

}  // namespace

std::unique_ptr<DialogForm> makeForm3(MainModel& m) {
    auto f = std::make_unique<DialogForm>(m, QStringLiteral("Form3"), QStringLiteral("串行ROM读写"));
    DialogForm& form = *f;
    const QString files = QStringLiteral("文件");
    const QString keys = QStringLiteral("读写");

    form.addEdit("Edit1", QStringLiteral("读取:"), KeyFilter::Any, files).readOnly = true;
    Control& pickRead = form.add("Button51", ControlKind::Button);
    pickRead.caption = QStringLiteral("...");
    pickRead.box = files;
    pickRead.onClick = [&form] { pickReadFile(form); };
    form.addEdit("Edit2", QStringLiteral("写入:"), KeyFilter::Any, files).readOnly = true;
    Control& pickWrite = form.add("Button1", ControlKind::Button);
    pickWrite.caption = QStringLiteral("...");
    pickWrite.box = files;
    pickWrite.onClick = [&form] { pickWriteFile(form); };

    Control& speed = form.add("ComboBox2", ControlKind::Combo);
    speed.label = QStringLiteral("读写速率:");
    speed.box = keys;
    form.followSpeedList("ComboBox2");
    Control& entry = form.add("ComboBox3", ControlKind::Combo);
    entry.label = QStringLiteral("入口缓冲区:");
    entry.editable = true;
    entry.filter = KeyFilter::Hex;
    entry.items = {QStringLiteral("400"), QStringLiteral("800")};
    entry.currentIndex = 0;
    entry.text = QStringLiteral("400");
    entry.box = keys;

    const std::pair<const char*, RomKey> transfers[] = {
        {"Button2", RomKey::BufferRead},
        {"Button6", RomKey::BufferWrite},
        {"Button3", RomKey::CommandRead},
        {"Button4", RomKey::CommandWrite},
    };
    const QString captions[] = {QStringLiteral("缓冲区读取"), QStringLiteral("缓冲区写入"),
                                QStringLiteral("指令方式读取"), QStringLiteral("指令方式写入")};
    for (int i = 0; i < 4; ++i) {
        const RomKey key = transfers[i].second;
        form.addKey(
            transfers[i].first, captions[i], [&form, key] { romKey(form, key); }, keys);
    }

    // The main window's progress bar, repeated here: the dialog covers the window while it runs.
    Control& progress = form.add("ProgressBar1", ControlKind::Progress);
    progress.maximum = m.form().at("ProgressBar1").maximum;
    QObject::connect(&m.form(), &FormModel::changed, &form, [&m, &form](const QString& name) {
        if (name != QLatin1String("ProgressBar1")) return;
        const Control& main = m.form().at(name);
        form.setMaximum(name, main.maximum);
        form.setValue(name, main.value);
    });
    return f;
}

}  // namespace hdd
