// Form3: the serial ROM dialog (not built yet: its key stays hidden).
#include "dialog_form.h"

namespace hdd {

std::unique_ptr<DialogForm> makeForm3(MainModel& m) {
    auto f = std::make_unique<DialogForm>(m, QStringLiteral("Form3"), QStringLiteral("串行ROM读写"));
    f->built = false;
    return f;
}

}  // namespace hdd
