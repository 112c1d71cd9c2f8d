// Form4: the command scripts dialog (not built yet: its key stays hidden).
#include "dialog_form.h"

namespace hdd {

std::unique_ptr<DialogForm> makeForm4(MainModel& m) {
    auto f = std::make_unique<DialogForm>(m, QStringLiteral("Form4"), QStringLiteral("命令脚本"));
    f->built = false;
    return f;
}

}  // namespace hdd
