#include "translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace hdd {

QStringList qtTranslationFolders() {
    QStringList out{QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    const QString debian = QStringLiteral("/usr/share/qt6/translations");
    if (!out.contains(debian)) out << debian;
    return out;
}

bool installChineseTranslations(QCoreApplication& app) {
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    for (const QString& folder : qtTranslationFolders()) {
        auto* qt = new QTranslator(&app);
        if (qt->load(QStringLiteral("qtbase_zh_CN"), folder)) {
            QCoreApplication::installTranslator(qt);
            return true;
        }
        delete qt;
    }
    return false;
}

}  // namespace hdd
