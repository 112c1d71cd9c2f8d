// Form5: the HDD ID edit dialog (not built yet: its key stays hidden).
#include "dialog_form.h"

namespace hdd {

std::unique_ptr<DialogForm> makeForm5(MainModel& m) {
    auto f = std::make_unique<DialogForm>(m, QStringLiteral("Form5"), QStringLiteral("HDD ID 编辑"));
    f->built = false;
    return f;
}

}  // namespace hdd
