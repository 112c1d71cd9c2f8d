// The main window: the model's controls as widgets, the console, and the Qt message boxes and
// file choosers through which the model asks the user.
#pragma once

#include <QDialog>
#include <QHash>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QWidget>

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

private:
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

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    QWidget* boxFor(const Control& c);
    QWidget* pageFor(const QString& page);

    MainModel& model_;
    FormBinder binder_;
    ConsoleView* console_ = nullptr;
    QHash<QString, QWidget*> boxes_;
    QHash<QString, QWidget*> pagesByName_;
    QTabWidget* pages_ = nullptr;
};

}  // namespace hdd
