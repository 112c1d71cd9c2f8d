// What the window model asks of whoever shows it: message boxes, questions, file and folder
// choosers and modal dialogs. The Qt view shows real ones; the CLI answers from its options;
// tests answer from a script.
#pragma once

#include <QString>
#include <QStringList>

namespace hdd {

class FormModel;

enum class MessageKind { Information, Warning };

struct FileRequest {
    QString title;
    QString fileName;  // the name offered
    QString filter;    // "BIN文件|*.bin|所有文件|*.*"
    QString defaultExt;
};

class Frontend {
public:
    virtual ~Frontend() = default;
    virtual void message(MessageKind kind, const QString& text, const QString& title) = 0;
    virtual bool question(const QString& text, const QString& title) = 0;
    // A question with several answers: the index of the one chosen, or -1 when the user cancelled
    // (the cancelling key reads `cancel`). A front end that offers only Yes and No takes Yes for the
    // first answer and No for cancel.
    virtual int choose(const QString& text, const QString& title, const QStringList& choices,
                       const QString& cancel) {
        (void)cancel;
        (void)choices;
        return question(text, title) ? 0 : -1;
    }
    // An empty result means the user cancelled.
    virtual QString openFileName(const FileRequest& request) = 0;
    virtual QString saveFileName(const FileRequest& request) = 0;
    virtual QString folderName(const QString& title, const QString& start) = 0;
    // Shows a dialog modally; returns when it is closed.
    virtual void showForm(FormModel& form, int dx, int dy) = 0;
};

}  // namespace hdd
