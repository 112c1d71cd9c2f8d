// Form6: the firmware backup dialog. The technician picks the family (or lets "A" pick it from the
// drive's identification, which also names the folder), the target folder, the link speed and the
// modules; "开始备份" runs the backup into the folder. The run itself lives with the firmware map
// (backup.h); this file only carries the dialog's fields to it and back.
#include "backup.h"
#include "dialog_form.h"
#include "family_table.h"
#include "form6_controls.h"
#include "main_model.h"

namespace hdd {

using namespace form6;

namespace {

const char* const kModuleBoxes[] = {kAppCheck, kCertCheck, kTableCheck, kAtaCheck, kVendorCheck};

QString withSeparator(QString folder) {
    folder = folder.trimmed();
    if (!folder.isEmpty() && !folder.endsWith('/') && !folder.endsWith('\\')) folder += '/';
    return folder;
}

Outcome startBackup(DialogForm& f) {
    MainModel& m = f.main();
    BackupRequest r;
    const int p = f.at(kFamilyList).currentIndex;
    const FamilyTable& table = m.ext<FamilyTable>();
    if (p >= 0 && p < table.count) r.family = table.entry(p + 1);
    r.folder = f.text(kFolderField);
    r.speed = f.text(kSpeedList);
    bool* boxes[] = {&r.modules.app, &r.modules.cert, &r.modules.table, &r.modules.ata, &r.modules.vendor};
    for (int i = 0; i < 5; ++i) *boxes[i] = f.checked(kModuleBoxes[i]);
    BackupResult result;
    const Outcome outcome = RunBackup(m.dialogue(), r, &result);
    if (!result.folder.isEmpty()) f.setText(kFolderField, result.folder);
    if (result.started) {
        f.setText(kReadBufferField, result.readBuffer);
        f.setText(kReadSectorsField, result.readSectors);
        f.setText(kReserveStartField, result.reserveStart);
    }
    return outcome;
}

}  // namespace

std::unique_ptr<DialogForm> makeForm6(MainModel& m) {
    auto f = std::make_unique<DialogForm>(m, QLatin1String(kName), QStringLiteral("备份固件"));
    f->built = true;
    DialogForm* form = f.get();

    f->addEdit(kFolderField, QStringLiteral("保存位置："));
    f->addKey(kFolderPicker, QStringLiteral("..."), [form] {
         MainModel& mm = form->main();
         const QString chosen = withSeparator(
             mm.frontend().folderName(QStringLiteral("选择目标文件夹"), form->text(kFolderField)));
         if (chosen.isEmpty()) return Outcome::done();
         mm.backupFolder = chosen;
         mm.firmwareFolder = chosen;
         form->setText(kFolderField, chosen);
         return Outcome::done();
     }).hint = QStringLiteral("选择固件保存位置");

    f->add(kFamilyList, ControlKind::Combo).label = QStringLiteral("固件类型:");
    f->followFamilyList(kFamilyList);
    f->addKey(kIdentifyKey, QStringLiteral("A"), [form] {
         BackupAnalysis a;
         const Outcome outcome = AnalyseBackup(form->main().dialogue(), form->text(kFolderField),
                                               form->main().backupFolder, form->at(kFamilyList).items, a);
         if (!outcome.isDone()) return outcome;
         form->setText(kFolderField, a.folder);
         if (a.family) form->setCurrentIndex(kFamilyList, *a.family);
         return outcome;
     }).hint = QStringLiteral("分析固件版本");

    f->add(kSpeedList, ControlKind::Combo).label = QStringLiteral("备份速率:");
    f->followSpeedList(kSpeedList);

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
        kStartKey, QStringLiteral("开始备份"), [form] { return startBackup(*form); }, modules);

    // The run's values: the read buffer and its size in sectors, the reserve area's first cylinder.
    for (const char* n : {kReadBufferField, kReadSectorsField, kReserveStartField})
        f->addEdit(n, QString(), KeyFilter::Hex).visible = false;

    m.onStartUp([form, &m] { form->setText(kFolderField, m.backupFolder); });
    return f;
}

}  // namespace hdd
