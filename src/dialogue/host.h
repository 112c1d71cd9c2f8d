// How operations speak to the user.
//
// Operations never touch a widget. They add console lines through the dialogue's Console and
// use this interface for everything else the user sees or answers: message boxes, Yes/No
// questions, the progress bar, the busy state of the window's panels, and the window's view
// of the port speed. The main window, the headless CLI and the tests each implement it.
#pragma once

#include <QString>

namespace hdd {

class Host {
public:
    virtual ~Host() = default;
    virtual void information(const QString& text, const QString& title = QString()) = 0;
    virtual void warning(const QString& text, const QString& title = QString()) = 0;
    virtual bool question(const QString& text, const QString& title = QString()) = 0;
    virtual void setProgressMax(qint64 max) = 0;
    virtual void setProgress(qint64 position) = 0;
    virtual qint64 progress() const = 0;
    // The payload behind the progress units (the size of the file being read or written), declared
    // after setProgressMax by the operations that know it; a new maximum forgets it. The bar's
    // figures count value / maximum of it (progress.h).
    virtual void setProgressBytes(qint64 total) { (void)total; }
    virtual qint64 progressBytes() const { return 0; }
    // Disables (true) or enables (false) the three panels of the main window.
    virtual void setBusy(bool busy) = 0;
    // The port was switched to a new speed: select it in the window's baud list (this selection
    // triggers nothing) and refresh the status line.
    virtual void hostSpeedChanged(const QString& speedText) = 0;
};

// A host nobody watches: messages go nowhere, questions are answered No, and the progress is kept.
class SilentHost : public Host {
public:
    void information(const QString&, const QString&) override {}
    void warning(const QString&, const QString&) override {}
    bool question(const QString&, const QString&) override { return false; }
    void setProgressMax(qint64) override {}
    void setProgress(qint64 position) override { progress_ = position; }
    qint64 progress() const override { return progress_; }
    void setBusy(bool) override {}
    void hostSpeedChanged(const QString&) override {}

private:
    qint64 progress_ = 0;
};

}  // namespace hdd
