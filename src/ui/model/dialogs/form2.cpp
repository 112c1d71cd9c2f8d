// Form2: the F-level boot dialog (not built yet: its key stays hidden).
#include "dialog_form.h"

namespace hdd {

std::unique_ptr<DialogForm> makeForm2(MainModel& m) {
    auto f = std::make_unique<DialogForm>(m, QStringLiteral("Form2"), QStringLiteral("F级引导"));
    f->built = false;
    return f;
}

}  // namespace hdd
