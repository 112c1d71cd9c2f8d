// Texts of the widgets in the chosen language (language.h), shown again when it changes.
//
// A widget whose text does not come from a control of the model (a label beside a field, a group's
// title, a page's tab, a window's title) is given its Chinese source through these calls; the
// source is kept on the widget, so retranslate() can show the whole window in the other language.
// The FormBinder does the same for the controls of the model.
#pragma once

#include <QString>

class QCoreApplication;
class QLabel;
class QTabWidget;
class QWidget;

namespace hdd {

// Qt's own texts in Chinese (file dialogs, box buttons): installs qtbase_zh_CN with the Chinese
// interface; false when no catalogue was found (Qt's texts then stay English).
bool installChineseTranslations(QCoreApplication& app);

// A label, key, box or group box showing `source`.
void showText(QWidget* w, const QString& source);
QLabel* sourceLabel(const QString& source, QWidget* parent);
void showToolTip(QWidget* w, const QString& source);
void showWindowTitle(QWidget* w, const QString& source);
// The tab's page keeps the source.
void showTabText(QTabWidget* tabs, int index, const QString& source);
// Shows every kept text of `root` and the widgets inside it again.
void retranslate(QWidget* root);

}  // namespace hdd
