// Form6: the firmware backup dialog (not built yet: its key stays hidden).
#include "dialog_form.h"

namespace hdd {

std::unique_ptr<DialogForm> makeForm6(MainModel& m) {
    auto f = std::make_unique<DialogForm>(m, QStringLiteral("Form6"), QStringLiteral("备份固件"));
    f->built = false;
    return f;
}

}  // namespace hdd
