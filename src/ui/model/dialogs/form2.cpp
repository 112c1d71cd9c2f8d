// Form2: the F-level boot dialog. The technician ticks the modules to load and names their files
// (one by one, from a folder with "...", or from the drive's identification with "A"), picks the
// load speed, and "加载" loads them in their fixed order (src/loader).
#include <QFileInfo>
#include <QStandardPaths>

#include "dialog_form.h"
#include "family_table.h"
#include "form2_controls.h"
#include "loader.h"
#include "main_model.h"
#include "transfer.h"

namespace hdd {

using namespace form2;

namespace {

// Each module's controls: its box, its save box, its file field and picker, and what else its box
// enables.
struct ModuleControls {
    Module module;
    QString box, save, file, picker;
    QStringList more;
};

const QList<ModuleControls>& moduleControls() {
    static const QList<ModuleControls> c = {
        {Module::App, kAppCheck, kAppSaveCheck, kAppFileField, kAppPicker, {kAppBufferList, kAppBlockList}},
        {Module::Cert, kCertCheck, kCertSaveCheck, kCertFileField, kCertPicker, {kCertBlockList}},
        {Module::Table, kTableCheck, kTableSaveCheck, kTableFileField, kTablePicker, {}},
        {Module::Ata0, kAta0Check, kAtaSaveCheck, kAta0FileField, kAta0Picker, {}},
        {Module::Ata1, kAta1Check, QString(), kAta1FileField, kAta1Picker, {}},
    };
    return c;
}

const ModuleControls& controlsOf(Module m) { return moduleControls()[static_cast<int>(m)]; }

const QString kBinFilter = QStringLiteral("BIN文件|*.bin|所有文件|*.*");

class Form2 : public DialogForm {
public:
    explicit Form2(MainModel& m);

    // Every module cleared and its controls off, the file fields emptied, the firmware type
    // unselected; the transfer parameters and the speed keep their values.
    void Init1();
    // Selects the modules whose files the folder holds under their fixed names.
    void AutoSetFile(const QString& folder);

private:
    void addModuleBox(const QString& title, const QList<Module>& modules);
    // Ticks or clears a module's box and runs its rule, as a click would.
    void setModule(Module m, bool on);
    void moduleRule(Module m);
    void pick(Module m);
    void chooseFolder();
    Outcome identify();
    void firmwareTypeChanged();
    void bufferChanged();
    Outcome load();

    QString shownBuffer_;
};

Form2::Form2(MainModel& m) : DialogForm(m, QLatin1String(kName), QStringLiteral("F级引导")) {
    const QString fw = QStringLiteral("固件");
    Control& type = add(kFamilyList, ControlKind::Combo);
    type.label = QStringLiteral("固件类型:");
    type.box = fw;
    type.onChange = [this] { firmwareTypeChanged(); };
    followFamilyList(kFamilyList);
    addKey(
        kIdentifyKey, "A", [this] { return identify(); }, fw)
        .hint = QStringLiteral("分析固件版本");
    addEdit(kFolderField, QStringLiteral("固件所在位置:"), KeyFilter::Any, fw).readOnly = true;
    Control& folder = add(kFolderPicker, ControlKind::Button);
    folder.caption = "...";
    folder.box = fw;
    folder.hint = QStringLiteral("选择固件文件夹");
    folder.onClick = [this] { chooseFolder(); };

    addModuleBox("APP", {Module::App});
    addModuleBox("CERT", {Module::Cert});
    addModuleBox("TABLE", {Module::Table});
    addModuleBox("ATA", {Module::Ata0, Module::Ata1});

    const QString run = QStringLiteral("加载");
    Control& speed = add(kSpeedList, ControlKind::Combo);
    speed.label = QStringLiteral("加载速率:");
    speed.box = run;
    followSpeedList(kSpeedList);
    addKey(
        kLoadKey, QStringLiteral("加载"), [this] { return load(); }, run);

    // The pairing follows the buffer whether it is chosen from the list or typed.
    shownBuffer_ = text(kAppBufferList);
    connect(this, &FormModel::changed, this, [this](const QString& name) {
        if (name != QLatin1String(kAppBufferList) || text(name) == shownBuffer_) return;
        shownBuffer_ = text(name);
        bufferChanged();
    });
    Init1();
    // Once the window's start-up has filled the family list and the firmware folder.
    m.onStartUp([this] { Init1(); });
}

void Form2::addModuleBox(const QString& title, const QList<Module>& modules) {
    auto combo = [this, &title](const char* name, const QString& label, const QStringList& items,
                                int current) {
        Control& c = add(name, ControlKind::Combo);
        c.label = label;
        c.box = title;
        c.editable = true;
        c.filter = KeyFilter::Hex;
        setItems(name, items, current);
    };
    for (Module m : modules) {
        const ModuleControls& mc = controlsOf(m);
        Control& box = add(mc.box, ControlKind::Check);
        box.caption = moduleName(m);
        box.box = title;
        box.onClick = [this, m] { moduleRule(m); };
    }
    Control& save = add(controlsOf(modules.first()).save, ControlKind::Check);
    save.caption = QStringLiteral("存盘");
    save.box = title;
    switch (modules.first()) {
        case Module::App:
            combo(kAppBufferList, QStringLiteral("缓冲区:"), {"60", "80"}, 0);
            combo(kAppBlockList, QStringLiteral("数据块大小:"), {"1024", "2048", "4096"}, 1);
            break;
        case Module::Cert:
            combo(kCertBlockList, QStringLiteral("数据块大小:"), {"2048", "4096"}, 1);
            break;
        case Module::Table: {
            // The sector count announced for TABLE: set from the file, never typed.
            Control& count = addEdit(kTableSectorsField, QString(), KeyFilter::Hex, title);
            count.visible = false;
            count.text = QStringLiteral("18");
            break;
        }
        default:
            break;
    }
    for (Module m : modules) {
        const ModuleControls& mc = controlsOf(m);
        addEdit(mc.file, modules.size() > 1 ? moduleName(m) + ":" : QStringLiteral("文件:"), KeyFilter::Any,
                title);
        Control& picker = add(mc.picker, ControlKind::Button);
        picker.caption = "...";
        picker.box = title;
        picker.hint = QStringLiteral("选择%1模块文件").arg(moduleName(m));
        picker.onClick = [this, m] { pick(m); };
    }
}

void Form2::setModule(Module m, bool on) {
    setChecked(controlsOf(m).box, on);
    moduleRule(m);
}

void Form2::moduleRule(Module m) {
    const ModuleControls& mc = controlsOf(m);
    const bool on = checked(mc.box);
    QStringList controls = mc.more;
    controls << mc.file << mc.picker;
    if (!mc.save.isEmpty()) {
        controls << mc.save;
        if (!on) setChecked(mc.save, false);
    }
    for (const QString& c : controls) setEnabled(c, on);
    // ATA1 is loaded only after ATA0, and ATA0 then leaves the finishing to it.
    if (m == Module::Ata0 && !on) setModule(Module::Ata1, false);
    if (m == Module::Ata1 && on) setModule(Module::Ata0, true);
}

void Form2::Init1() {
    setCurrentIndex(kFamilyList, -1);
    for (const ModuleControls& mc : moduleControls()) {
        setChecked(mc.box, false);
        for (const QString& c : {mc.save, mc.file, mc.picker}) {
            if (c.isEmpty()) continue;
            if (c == mc.save) setChecked(c, false);
            setEnabled(c, false);
        }
        setText(mc.file, QString());
    }
    for (const char* c : {kAppBufferList, kAppBlockList, kCertBlockList}) setEnabled(c, false);
    setText(kFolderField, main().firmwareFolder);
}

void Form2::AutoSetFile(const QString& folder) {
    const FolderModules f = modulesInFolder(folder);
    auto take = [this](Module m, const QString& path) {
        if (path.isEmpty()) return;
        setModule(m, true);
        setText(controlsOf(m).file, path);
    };
    take(Module::App, f.app);
    take(Module::Cert, f.cert);
    take(Module::Table, f.table);
    // The count goes with the file, as the picker sets it.
    if (!f.table.isEmpty()) setText(kTableSectorsField, f.tableSectors);
    // The interface code is filled in but left for the technician to tick.
    if (!f.ata0.isEmpty()) {
        setModule(Module::Ata0, false);
        setModule(Module::Ata1, false);
        setText(kAta0FileField, f.ata0);
        setText(kAta1FileField, f.ata1);
        setChecked(kAtaSaveCheck, true);
    } else if (!f.ata.isEmpty()) {
        setModule(Module::Ata0, false);
        setText(kAta0FileField, f.ata);
        setChecked(kAtaSaveCheck, true);
    }
}

void Form2::pick(Module m) {
    const ModuleControls& mc = controlsOf(m);
    const QString file = main().frontend().openFileName(
        FileRequest{QStringLiteral("选择%1模块文件").arg(moduleName(m)), QString(), kBinFilter, "*.bin"});
    if (file.isEmpty()) return;
    const QFileInfo info(file);
    QString why = info.isFile() && info.isReadable() ? pickerRefusal(m, info.size()) : kCannotOpen;
    if (!why.isEmpty()) {
        setText(mc.file, QString());
        main().information(why);
        return;
    }
    setText(mc.file, file);
    if (m == Module::Table) setText(kTableSectorsField, tableSectorCount(info.size()));
}

void Form2::chooseFolder() {
    const QString chosen = main().frontend().folderName(
        QStringLiteral("选择固件文件夹"), QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    if (chosen.trimmed().isEmpty()) return;
    const QString path = withSeparator(chosen);
    setText(kFolderField, path);
    AutoSetFile(path);
    const QString parent = parentFolder(path);
    if (!parent.isEmpty() && QFileInfo(parent).isDir()) main().firmwareFolder = parent;
}

Outcome Form2::identify() {
    IdentifiedFirmware found;
    const Outcome outcome =
        IdentifyFirmware(main().dialogue(), main().firmwareFolder, at(kFamilyList).items, found);
    // The earlier choices go; the drive's own folder, where there is one, chooses again.
    Init1();
    if (QFileInfo(found.folder).isDir()) {
        setText(kFolderField, found.folder);
        AutoSetFile(found.folder);
    }
    if (found.family) setCurrentIndex(kFamilyList, *found.family);
    firmwareTypeChanged();
    return outcome;
}

void Form2::firmwareTypeChanged() {
    const int p = at(kFamilyList).currentIndex;
    const FamilyTable& table = main().ext<FamilyTable>();
    if (p < 0 || p >= table.count) return;
    if (const auto buffer = familyBuffer(table.entry(p + 1))) {
        selectText(kAppBufferList, *buffer);
        bufferChanged();
    }
}

void Form2::bufferChanged() {
    if (const auto sizes = pairedBlockSizes(text(kAppBufferList))) {
        selectText(kAppBlockList, sizes->app);
        selectText(kCertBlockList, sizes->cert);
    }
}

Outcome Form2::load() {
    LoadRequest r;
    auto choice = [this](Module m, const QString& save) {
        const ModuleControls& mc = controlsOf(m);
        return ModuleChoice{checked(mc.box), text(mc.file), checked(save)};
    };
    r.app = choice(Module::App, kAppSaveCheck);
    r.cert = choice(Module::Cert, kCertSaveCheck);
    r.table = choice(Module::Table, kTableSaveCheck);
    r.ata0 = choice(Module::Ata0, kAtaSaveCheck);
    r.ata1 = choice(Module::Ata1, kAtaSaveCheck);
    r.buffer = text(kAppBufferList);
    r.appBlockSize = text(kAppBlockList);
    r.certBlockSize = text(kCertBlockList);
    r.tableSectors = text(kTableSectorsField);
    r.speed = text(kSpeedList);
    QString announced;
    const Outcome outcome = LoadModules(main().dialogue(), r, &announced);
    if (!announced.isEmpty()) setText(kTableSectorsField, announced);
    return outcome;
}

}  // namespace

std::unique_ptr<DialogForm> makeForm2(MainModel& m) { return std::make_unique<Form2>(m); }

}  // namespace hdd
