// Form1: the sector file builder dialog (not built yet: its key stays hidden).
#include "dialog_form.h"

namespace hdd {

std::unique_ptr<DialogForm> makeForm1(MainModel& m) {
    auto f = std::make_unique<DialogForm>(m, QStringLiteral("Form1"), QStringLiteral("创建文件"));
    f->built = false;
    return f;
}

}  // namespace hdd
