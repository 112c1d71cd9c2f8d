// Form5: the HDD ID edit dialog. Model and capacity keep what was typed between showings; the four
// boxes start over each time (model and capacity ticked). The write runs as the dialog's operation,
// so the dialog is off while it talks to the drive and comes back in every case.
#include "dialog_form.h"
#include "identity.h"
#include "main_model.h"

namespace hdd {

std::unique_ptr<DialogForm> makeForm5(MainModel& m) {
    auto f = std::make_unique<DialogForm>(m, QStringLiteral("Form5"), QStringLiteral("HDD ID 编辑"));
    DialogForm* form = f.get();
    // Everything sits on one framed panel.
    const QString panel = QStringLiteral("硬盘ID信息");
    Control& model = f->addEdit(QStringLiteral("Edit1"), QStringLiteral("型号："), KeyFilter::Upper, panel);
    model.maxLength = 14;
    model.text = QStringLiteral("ST380016A");
    Control& capacity =
        f->addEdit(QStringLiteral("Edit2"), QStringLiteral("容量："), KeyFilter::Decimal, panel);
    capacity.maxLength = 10;
    capacity.text = QStringLiteral("80");
    capacity.hint = QStringLiteral("10-2048：GB；19000000-4000000000：LBA");
    // The unit, under the field.
    Control& unit = f->add(QStringLiteral("Label3"), ControlKind::Label);
    unit.caption = QStringLiteral("GB/LBA");
    unit.label = QStringLiteral(" ");
    unit.box = panel;
    const struct {
        const char* name;
        const char* caption;
    } boxes[] = {{"CheckBox4", "初始化ID"},
                 {"CheckBox1", "写入型号"},
                 {"CheckBox2", "写入容量"},
                 {"CheckBox3", "写入1、3、6键标准值"}};
    for (const auto& b : boxes) {
        Control& c = f->add(QString::fromUtf8(b.name), ControlKind::Check);
        c.caption = QString::fromUtf8(b.caption);
        c.box = panel;
    }
    f->aboutToShow = [form] {
        form->setChecked("CheckBox4", false);
        form->setChecked("CheckBox1", true);
        form->setChecked("CheckBox2", true);
        form->setChecked("CheckBox3", false);
    };
    f->aboutToShow();
    f->addKey(
        QStringLiteral("Button7"), QStringLiteral("写入信息"),
        [form] {
            IdentityChoice choice;
            choice.initialise = form->checked("CheckBox4");
            choice.model = form->checked("CheckBox1");
            choice.capacity = form->checked("CheckBox2");
            choice.standard = form->checked("CheckBox3");
            QString model = form->text("Edit1");
            const Outcome outcome =
                WriteIdentity(form->main().dialogue(), choice, model, form->text("Edit2"));
            form->setText("Edit1", model);
            return outcome;
        },
        panel);
    return f;
}

}  // namespace hdd
