#include "dialog_form.h"

#include "form1_controls.h"
#include "form2_controls.h"
#include "form3_controls.h"
#include "form4_controls.h"
#include "form5_controls.h"
#include "form6_controls.h"
#include "form7_controls.h"
#include "main_form_controls.h"
#include "main_model.h"
#include "terminal.h"

namespace hdd {

using namespace mainform;

DialogForm::DialogForm(MainModel& main, const QString& formName, const QString& title)
    : FormModel(formName), main_(main) {
    this->title = title;
}

void DialogForm::abort() { requestAbort(main_.dialogue()); }

bool DialogForm::requestClose() {
    if (!main_.operationRunning()) return true;
    abort();
    return false;
}

void DialogForm::followSpeedList(const QString& name) {
    auto copy = [this, name](const QStringList& speeds) {
        setItems(name, speeds, static_cast<int>(speeds.size()) - 1);
    };
    copy(main_.form().at(kTransferSpeedList).items);
    connect(&main_, &MainModel::speedListsChanged, this, copy);
}

void DialogForm::followFamilyList(const QString& name) {
    main_.onStartUp([this, name] {
        const Control& families = main_.form().at(kFamilyList);
        setItems(name, families.items, families.items.isEmpty() ? -1 : 0);
    });
}

Outcome DialogForm::runOperation(const std::function<Outcome()>& work) {
    setFormEnabled(false);
    // The main window's panels stay off from the first step to the last, not only inside each step.
    main_.setBusy(true);
    const Outcome outcome = main_.runOperation(work);
    main_.setBusy(false);
    setFormEnabled(true);
    return outcome;
}

Control& DialogForm::addKey(const QString& name, const QString& caption, std::function<Outcome()> work,
                            const QString& box) {
    Control& c = add(name, ControlKind::Button);
    c.caption = caption;
    c.box = box;
    c.onClick = [this, work = std::move(work)] { runOperation(work); };
    return c;
}

Control& DialogForm::addEdit(const QString& name, const QString& label, KeyFilter filter,
                             const QString& box) {
    Control& c = add(name, ControlKind::Edit);
    c.label = label;
    c.filter = filter;
    c.box = box;
    return c;
}

const QList<DialogKey>& dialogKeys() {
    static const QList<DialogKey> keys = {
        {form1::kName, kBuildFileKey, "创建文件", 180, 200, true},
        {form2::kName, kBootKey, "F级引导", 105, 300, false},
        {form3::kName, kRomKey, "读写串行ROM", 140, 300, false},
        {form4::kName, kScriptKey, "命令脚本", 120, 292, false},
        {form5::kName, kIdEditKey, "HDD ID 编辑", 350, 300, false},
        {form6::kName, kBackupKey, "备份固件", 120, 310, false},
        {form7::kName, kHeadSerialsKey, "磁头序列号表", -1, -1, true},
    };
    return keys;
}

void createDialogs(MainModel& m) {
    using Maker = std::unique_ptr<DialogForm> (*)(MainModel&);
    const Maker makers[] = {makeForm1, makeForm2, makeForm3, makeForm4, makeForm5, makeForm6, makeForm7};
    m.form().setCurrentPage(QStringLiteral("工具"));
    int i = 0;
    for (const DialogKey& k : dialogKeys()) {
        std::unique_ptr<DialogForm> form = makers[i++](m);
        DialogForm* dialog = form.get();
        Control& key = m.form().add(QString::fromUtf8(k.key), ControlKind::Button,
                                    k.onWindow ? QString() : QLatin1String(kOperationsPanel));
        key.caption = QString::fromUtf8(k.caption);
        key.hint = QStringLiteral("打开“%1”窗口").arg(key.caption);
        if (!k.onWindow) key.box = QStringLiteral("功能窗口");
        key.visible = dialog->built;
        const int dx = k.dx, dy = k.dy;
        key.onClick = [&m, dialog, dx, dy] {
            if (dialog->aboutToShow) dialog->aboutToShow();
            m.frontend().showForm(*dialog, dx, dy);
        };
        m.addDialog(std::move(form));
    }
    m.form().setCurrentPage(QString());
}

}  // namespace hdd
