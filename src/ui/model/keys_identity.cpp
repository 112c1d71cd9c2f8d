// The drive identity keys of the main window: the serial number (typed after "#", kept with "W"
// when "存盘" is ticked) and 48-bit addressing. They sit on the tools page beside the key of the
// identity dialog. Neither holds the window busy.
#include "identity.h"
#include "keys.h"
#include "main_form_controls.h"
#include "main_model.h"

namespace hdd {

using namespace mainform;

void installIdentityKeys(MainModel& m) {
    FormModel& f = m.form();
    f.setCurrentPage(QStringLiteral("工具"));
    const QString box = QStringLiteral("硬盘ID");
    // An ATA serial number holds at most 20 characters.
    addField(f, kSerialField, "SN:", box, KeyFilter::Serial).maxLength = 20;
    Control& save = f.add(kSaveSerialCheck, ControlKind::Check, QLatin1String(kOperationsPanel));
    save.caption = QStringLiteral("存盘");
    save.box = box;
    addKey(m, kWriteSerialKey, "写入SN", box, [](MainModel& mm) {
        QString serial = mm.form().text(kSerialField);
        const Outcome o = WriteSerialNumber(mm.dialogue(), serial, mm.form().checked(kSaveSerialCheck));
        mm.form().setText(kSerialField, serial);
        return o;
    });
    addKey(m, kLba48Key, "打开LBA48", box, [](MainModel& mm) { return OpenLba48(mm.dialogue()); }).hint =
        QStringLiteral("打开硬盘的48位寻址");
    f.at(kWriteSerialKey).hint = QStringLiteral("把SN栏的序列号写入硬盘");
}

}  // namespace hdd
