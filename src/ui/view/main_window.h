// The main window: the model's controls as widgets around the console (console_view.h); the
// model asks the user through the Qt boxes and choosers of gui_frontend.h.
//
// The window is resizable and opens at 898x633: the top bar, the console with the defect-list
// area beside it, and the operations panel below; the console takes whatever room is added.
// Keyboard comforts live here as thin glue over the model: Up and Down walk the command line's
// history, Shift+Insert and the command line's menu paste (several lines as the model asks),
// Ctrl+F finds in the console, F5/F8/F9 press the open/close, clear and abort keys, and opening
// the port list reads it again. The menu bar's language menu switches the interface between
// Chinese and English at once.
#pragma once

#include <QHash>
#include <QMenu>
#include <QTabWidget>
#include <QWidget>
#include <functional>

#include "console_view.h"
#include "form_binder.h"
#include "gui_frontend.h"
#include "language.h"
#include "main_model.h"

namespace hdd {

class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(MainModel& model, QWidget* parent = nullptr);

    FormBinder& binder() { return binder_; }
    ConsoleView* consoleView() const { return console_; }
    // Widgets for controls added after construction (keys of later subsystems) are placed here.
    void placeControls();

    // Pastes the clipboard: one line at the command line's cursor, several as the model asks.
    void pasteIntoCommandLine();

    // The language menu's choice: shown at once, then told (the program remembers it).
    void switchLanguage(Language language);
    std::function<void(Language)> onLanguageChosen;

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* boxFor(const Control& c);
    QWidget* pageFor(const QString& page);
    void commandLineMenu(const QPoint& pos);
    void installFunctionKeys();
    // Keys of a group share one width; a group or page with nothing to show is hidden.
    void polishGroups();
    void refreshGroup(const QString& name);
    // Every text of the window again, in the language now in force.
    void languageChanged();

    MainModel& model_;
    FormBinder binder_;
    ConsoleView* console_ = nullptr;
    QHash<QString, QWidget*> boxes_;
    QHash<QString, QString> boxOf_;  // control name -> its group's key in boxes_
    QHash<QString, QWidget*> pagesByName_;
    QTabWidget* pages_ = nullptr;
    QMenu* languageMenu_ = nullptr;
};

}  // namespace hdd
