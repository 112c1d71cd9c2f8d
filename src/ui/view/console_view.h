// The console as the window shows it: the stored lines in a read-only text view that follows the
// console's changes, with its pop-up menu (copy, select all, clear, "保存为文本…", and
// "保存通信记录…", which records the line to a text file).
#pragma once

#include <QPlainTextEdit>
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

protected:
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    void onTailChanged(int first);
    void toggleTranscript();
    Console& console_;
    SerialPort* port_ = nullptr;
    std::unique_ptr<Transcript> transcript_;
};

}  // namespace hdd
