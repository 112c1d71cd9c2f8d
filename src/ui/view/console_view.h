// The console as the window shows it: the stored lines in a read-only text view that follows the
// console's changes, with its pop-up menu (copy, select all, find, clear, "保存为文本…", and
// "保存通信记录…", which records the line to a text file); and the pane that holds it with its
// hexadecimal view and search bar.
#pragma once

#include <QPlainTextEdit>
#include <QStackedWidget>
#include <functional>
#include <memory>

#include "console.h"
#include "serial_port.h"
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
    // Runs for the pop-up menu's "查找…".
    std::function<void()> onFind;

protected:
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    void onTailChanged(int first);
    void toggleTranscript();
    Console& console_;
    SerialPort* port_ = nullptr;
    std::unique_ptr<Transcript> transcript_;
};

class FormModel;
class HexTraffic;
class HexView;
class SearchBar;

// The console area of the window: the console, or its hexadecimal view while the box "十六进制" is
// ticked, with the search bar under them (Ctrl+F opens it on the view shown).
class ConsolePane : public QWidget {
    Q_OBJECT
public:
    ConsolePane(ConsoleView* console, HexTraffic& traffic, FormModel& form, QWidget* parent = nullptr);
    ConsoleView* console() const { return console_; }
    HexView* hexView() const { return hex_; }
    SearchBar* searchBar() const { return search_; }

private:
    void showView();
    ConsoleView* console_;
    HexView* hex_;
    SearchBar* search_;
    FormModel& form_;
    QStackedWidget* stack_;
};

}  // namespace hdd
