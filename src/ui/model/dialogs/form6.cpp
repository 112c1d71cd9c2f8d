// Form6: the firmware backup dialog. The technician picks the family (or lets "A" pick it from the
// drive's identification, which also names the folder), the target folder, the link speed and the
// modules; "开始备份" runs the backup into the folder. The run itself lives with the firmware map
// (backup.h); this file only carries the dialog's fields to it and back.
#include "backup.h"
#include "dialog_form.h"
#include "family_table.h"
#include "main_model.h"

namespace hdd {

namespace {

const char* const kModuleBoxes[] = {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4", "CheckBox5"};

QString withSeparator(QString folder) {
    folder = folder.trimmed();
    if (!folder.isEmpty() && !folder.endsWith('/') && !folder.endsWith('\\')) folder += '/';
    return folder;
}

Outcome startBackup(DialogForm& f) {
    MainModel& m = f.main();
    BackupRequest r;
    const int p = f.at("ComboBox7").currentIndex;
    const FamilyTable& table = m.ext<FamilyTable>();
    if (p >= 0 && p < table.count) r.family = table.entry(p + 1);
    r.folder = f.text("Edit1");
    r.speed = f.text("ComboBox2");
    bool* boxes[] = {&r.modules.app, &r.modules.cert, &r.modules.table, &r.modules.ata, &r.modules.vendor};
    for (int i = 0; i < 5; ++i) *boxes[i] = f.checked(kModuleBoxes[i]);
    BackupResult result;
    const Outcome outcome = RunBackup(m.dialogue(), r, &result);
    if (!result.folder.isEmpty()) f.setText("Edit1", result.folder);
    if (result.started) {
        f.setText("Edit3", result.readBuffer);
        f.setText("Edit4", result.readSectors);
        f.setText("Edit2", result.reserveStart);
    }
    return outcome;
}

}  // namespace

std::unique_ptr<DialogForm> makeForm6(MainModel& m) {
    auto f = std::make_unique<DialogForm>(m, QStringLiteral("Form6"), QStringLiteral("备份固件"));
    f->built = true;
    DialogForm* form = f.get();

    f->addEdit("Edit1", QStringLiteral("保存位置："));
    f->addKey("Button51", QStringLiteral("..."), [form] {
         MainModel& mm = form->main();
         const QString chosen =
             withSeparator(mm.frontend().folderName(QStringLiteral("选择目标文件夹"), form->text("Edit1")));
         if (chosen.isEmpty()) return Outcome::done();
         mm.backupFolder = chosen;
         mm.firmwareFolder = chosen;
         form->setText("Edit1", chosen);
         return Outcome::done();
     }).hint = QStringLiteral("选择固件保存位置");

    f->add("ComboBox7", ControlKind::Combo).label = QStringLiteral("固件类型:");
    f->followFamilyList("ComboBox7");
    f->addKey("Button2", QStringLiteral("A"), [form] {
         BackupAnalysis a;
         const Outcome outcome = AnalyseBackup(form->main().dialogue(), form->text("Edit1"),
                                               form->main().backupFolder, form->at("ComboBox7").items, a);
         if (!outcome.isDone()) return outcome;
         form->setText("Edit1", a.folder);
         if (a.family) form->setCurrentIndex("ComboBox7", *a.family);
         return outcome;
     }).hint = QStringLiteral("分析固件版本");

    f->add("ComboBox2", ControlKind::Combo).label = QStringLiteral("备份速率:");
    f->followSpeedList("ComboBox2");

    const QString modules = QStringLiteral("需备份固件：");
    const QString captions[] = {QStringLiteral("App Code"), QStringLiteral("Cert"),
                                QStringLiteral("Cert Table"), QStringLiteral("ATA Ovl"),
                                QStringLiteral("Vendor")};
    for (int i = 0; i < 5; ++i) {
        Control& box = f->add(kModuleBoxes[i], ControlKind::Check);
        box.caption = captions[i];
        box.checked = true;
        box.box = modules;
    }
    f->addKey(
        "Button7", QStringLiteral("开始备份"), [form] { return startBackup(*form); }, modules);

    // The run's values: the read buffer and its size in sectors, the reserve area's first cylinder.
    for (const char* n : {"Edit3", "Edit4", "Edit2"})
        f->addEdit(n, QString(), KeyFilter::Hex).visible = false;

    m.onStartUp([form, &m] { form->setText("Edit1", m.backupFolder); });
    return f;
}

}  // namespace hdd
