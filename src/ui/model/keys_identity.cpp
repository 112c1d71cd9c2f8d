// The drive identity keys of the main window: the serial number (typed after "#", kept with "W"
// when "存盘" is ticked) and 48-bit addressing. They sit on the tools page beside the key of the
// identity dialog. Neither holds the window busy.
#include "identity.h"
#include "keys.h"
#include "main_model.h"

namespace hdd {

void installIdentityKeys(MainModel& m) {
    FormModel& f = m.form();
    f.setCurrentPage(QStringLiteral("工具"));
    const QString box = QStringLiteral("硬盘ID");
    // An ATA serial number holds at most 20 characters.
    addField(f, "Edit17", "SN:", box, KeyFilter::Serial).maxLength = 20;
    Control& save = f.add("CheckBox3", ControlKind::Check, QStringLiteral("Panel2"));
    save.caption = QStringLiteral("存盘");
    save.box = box;
    addKey(m, "Button55", "写入SN", box, [](MainModel& mm) {
        QString serial = mm.form().text("Edit17");
        const Outcome o = WriteSerialNumber(mm.dialogue(), serial, mm.form().checked("CheckBox3"));
        mm.form().setText("Edit17", serial);
        return o;
    });
    addKey(m, "Button85", "打开LBA48", box, [](MainModel& mm) { return OpenLba48(mm.dialogue()); }).hint =
        QStringLiteral("打开硬盘的48位寻址");
    f.at("Button55").hint = QStringLiteral("把SN栏的序列号写入硬盘");
}

}  // namespace hdd
