// How hddterm-cli and the remembered settings name a dialog's control: "Form3.Button2".
#pragma once

#include <QString>

namespace hdd {

inline QString controlOf(const char* form, const char* control) {
    return QLatin1String(form) + QLatin1Char('.') + QLatin1String(control);
}

}  // namespace hdd
