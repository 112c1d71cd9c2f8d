// The main window: the model's controls as widgets, the console, and the Qt message boxes and
// file choosers through which the model asks the user.
//
// The window is resizable and opens at 898x633: the top bar, the console with the defect-list
// area beside it, and the operations panel below; the console takes whatever room is added.
// Keyboard comforts live here as thin glue over the model: Up and Down walk the command line's
// history, Shift+Insert and the command line's menu paste, F5/F8/F9 press the open/close, clear
// and abort keys, and opening the port list reads it again.
#pragma once

#include <QDialog>
#include <QHash>
#include <QMap>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QWidget>
#include <functional>

#include "form_binder.h"
#include "frontend.h"
#include "main_model.h"
#include "transcript.h"

namespace hdd {

class ConsoleView : public QPlainTextEdit {
    Q_OBJECT
public:
    ConsoleView(Console& console, QWidget* parent = nullptr);
    // The port whose bytes the pop-up item "保存通信记录…" records.
    void setPort(SerialPort* port) { port_ = port; }
    Transcript* transcript() const { return transcript_.get(); }
    // Starts recording the line into path (what the item does once a file is picked); false, with
    // the path and the reason in `why`, when the file cannot be created.
    bool startTranscript(const QString& path, QString* why = nullptr);
    // Runs for the pop-up menu's "保存为文本…".
    std::function<void()> onSaveAsText;

protected:
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    void onTailChanged(int first);
    void toggleTranscript();
    Console& console_;
    SerialPort* port_ = nullptr;
    std::unique_ptr<Transcript> transcript_;
};

class GuiFrontend : public Frontend {
public:
    void setParent(QWidget* w) { parent_ = w; }
    void message(MessageKind kind, const QString& text, const QString& title) override;
    bool question(const QString& text, const QString& title) override;
    QString openFileName(const FileRequest& r) override;
    QString saveFileName(const FileRequest& r) override;
    QString folderName(const QString& title, const QString& start) override;
    void showForm(FormModel& form, int dx, int dy) override;

    // The folder each picker was last left in, by its title (remembered between runs).
    QMap<QString, QString> pickerFolders;

private:
    QString startPath(const QString& title, const QString& fileName) const;
    void remember(const QString& title, const QString& file, bool isFolder);

    QWidget* parent_ = nullptr;
    QHash<FormModel*, QDialog*> dialogs_;
};

class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(MainModel& model, QWidget* parent = nullptr);

    FormBinder& binder() { return binder_; }
    ConsoleView* consoleView() const { return console_; }
    // Widgets for controls added after construction (keys of later subsystems) are placed here.
    void placeControls();

    // Pastes the clipboard's first line at the command line's cursor.
    void pasteIntoCommandLine();

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

    MainModel& model_;
    FormBinder binder_;
    ConsoleView* console_ = nullptr;
    QHash<QString, QWidget*> boxes_;
    QHash<QString, QString> boxOf_;  // control name -> its group's key in boxes_
    QHash<QString, QWidget*> pagesByName_;
    QTabWidget* pages_ = nullptr;
};

}  // namespace hdd
