// Qt's own texts in Chinese.
//
// File dialogs, folder browsers, message-box buttons and the standard edit menus come from Qt
// itself; their Chinese catalogue (qtbase_zh_CN, from the system's Qt translations) is loaded
// whatever the user's locale, so the whole tool speaks one language.
#pragma once

#include <QStringList>

class QCoreApplication;

namespace hdd {

// Where Qt's catalogues are looked for, in order.
QStringList qtTranslationFolders();
// Installs qtbase_zh_CN into the application; false when no catalogue was found (Qt's texts then
// stay English).
bool installChineseTranslations(QCoreApplication& app);

}  // namespace hdd
