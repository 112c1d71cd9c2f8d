// Form5: the HDD ID edit dialog. Model and capacity keep what was typed between showings; the four
// boxes start over each time (model and capacity ticked). The write runs as the dialog's operation,
// so the dialog is off while it talks to the drive and comes back in every case.
#include "dialog_form.h"
#include "form5_controls.h"
#include "identity.h"
#include "main_model.h"

namespace hdd {

using namespace form5;

std::unique_ptr<DialogForm> makeForm5(MainModel& m) {
    auto f = std::make_unique<DialogForm>(m, QLatin1String(kName), QStringLiteral("HDD ID 编辑"));
    DialogForm* form = f.get();
    // Everything sits on one framed panel.
    const QString panel = QStringLiteral("硬盘ID信息");
    Control& model =
        f->addEdit(QLatin1String(kModelField), QStringLiteral("型号："), KeyFilter::Upper, panel);
    model.maxLength = 14;
    model.text = QStringLiteral("ST380016A");
    Control& capacity =
        f->addEdit(QLatin1String(kCapacityField), QStringLiteral("容量："), KeyFilter::Decimal, panel);
    capacity.maxLength = 10;
    capacity.text = QStringLiteral("80");
    capacity.hint = QStringLiteral("10-2048：GB；19000000-4000000000：LBA");
    // The unit, under the field.
    Control& unit = f->add(QLatin1String(kCapacityUnitLabel), ControlKind::Label);
    unit.caption = QStringLiteral("GB/LBA");
    unit.label = QStringLiteral(" ");
    unit.box = panel;
    const struct {
        const char* name;
        const char* caption;
    } boxes[] = {{kInitialiseIdCheck, "初始化ID"},
                 {kWriteModelCheck, "写入型号"},
                 {kWriteCapacityCheck, "写入容量"},
                 {kWriteStandardKeysCheck, "写入1、3、6键标准值"}};
    for (const auto& b : boxes) {
        Control& c = f->add(QString::fromUtf8(b.name), ControlKind::Check);
        c.caption = QString::fromUtf8(b.caption);
        c.box = panel;
    }
    f->aboutToShow = [form] {
        form->setChecked(kInitialiseIdCheck, false);
        form->setChecked(kWriteModelCheck, true);
        form->setChecked(kWriteCapacityCheck, true);
        form->setChecked(kWriteStandardKeysCheck, false);
    };
    f->aboutToShow();
    f->addKey(
        QLatin1String(kWriteKey), QStringLiteral("写入信息"),
        [form] {
            IdentityChoice choice;
            choice.initialise = form->checked(kInitialiseIdCheck);
            choice.model = form->checked(kWriteModelCheck);
            choice.capacity = form->checked(kWriteCapacityCheck);
            choice.standard = form->checked(kWriteStandardKeysCheck);
            QString model = form->text(kModelField);
            const Outcome outcome =
                WriteIdentity(form->main().dialogue(), choice, model, form->text(kCapacityField));
            form->setText(kModelField, model);
            return outcome;
        },
        panel);
    return f;
}

}  // namespace hdd
