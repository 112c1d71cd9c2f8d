// The answers hddterm-cli gives in place of the window's boxes and pickers: messages and questions
// go to stderr (questions answered by --yes/--no) in the language of the run, file and folder
// pickers take the --file paths in order, and a picker with no answer left is cancelled and named.
#pragma once

#include <QStringList>
#include <QTextStream>
#include <functional>

#include "frontend.h"
#include "language.h"

namespace hdd {

inline const QString kCliSelf = QStringLiteral("hddterm-cli: ");

class CliFrontend : public Frontend {
public:
    CliFrontend(QTextStream& err, QStringList files, bool yes)
        : err_(err), files_(std::move(files)), yes_(yes) {}

    void message(MessageKind kind, const QString& text, const QString&) override {
        if (kind == MessageKind::Warning) sawWarning = true;
        const QString line =
            (kind == MessageKind::Warning ? "warning: " : "message: ") + displayText(text) + '\n';
        if (holding_) {
            held_ += line;
            return;
        }
        before();
        err_ << line;
        err_.flush();
    }
    // While the port is being opened the window's messages wait, so that the precise reason of a
    // failure can be printed before the window's own words.
    void holdMessages() { holding_ = true; }
    void releaseMessages() {
        holding_ = false;
        if (held_.isEmpty()) return;
        before();
        err_ << held_;
        err_.flush();
        held_.clear();
    }
    bool question(const QString& text, const QString&) override {
        before();
        err_ << "question: " << displayText(text) << " -> " << (yes_ ? "yes" : "no") << "\n";
        err_.flush();
        return yes_;
    }
    QString openFileName(const FileRequest& r) override { return nextFile(r.title); }
    QString saveFileName(const FileRequest& r) override { return nextFile(r.title); }
    QString folderName(const QString& title, const QString&) override { return nextFile(title); }
    void showForm(FormModel&, int, int) override {}

    QStringList unusedFiles() const { return files_; }

    bool sawWarning = false;
    bool missedFile = false;
    std::function<void()> beforeMessage;

private:
    void before() {
        if (beforeMessage) beforeMessage();
    }
    // A dialog with no answer left is cancelled, and says so: the key then does nothing.
    QString nextFile(const QString& title) {
        if (!files_.isEmpty()) return files_.takeFirst();
        before();
        err_ << kCliSelf << "no --file answers the dialog \"" << displayText(title)
             << "\"; it is cancelled\n";
        err_.flush();
        missedFile = true;
        return {};
    }
    QTextStream& err_;
    QStringList files_;
    bool yes_;
    bool holding_ = false;
    QString held_;
};

}  // namespace hdd
