// Form7: the head serial-number picture dialog (not built yet: its key stays hidden).
#include "dialog_form.h"

namespace hdd {

std::unique_ptr<DialogForm> makeForm7(MainModel& m) {
    auto f = std::make_unique<DialogForm>(m, QStringLiteral("Form7"), QStringLiteral("磁头序列号表"));
    f->built = false;
    return f;
}

}  // namespace hdd
