// What an operation came to, told beside its console texts.
//
// Every operation returns an Outcome: done, failed, refused or aborted, with the reason and the
// files it wrote. The console lines stay what the technician reads ("成功！", "失败！", ...); the
// window, hddterm-cli and the tests judge the run by this value and never by those lines.
//
// A refusal says who refused:
//   Input  the operation's own input message (a missing field, a cancelled choice): the
//          information box the technician answers by filling the field; nothing was sent.
//   Check  a check the tool makes beyond those messages (a folder that takes no file, a number out
//          of range, a file that cannot be read): a warning box; nothing was sent.
//   Drive  the drive is not where the operation needs it (not at T level, no CERT loaded, ...).
#pragma once

#include <QList>
#include <QString>

namespace hdd {

struct WrittenFile {
    QString path;
    qint64 size = 0;
};

struct Outcome {
    enum class Status { Done, Failed, Refused, Aborted };
    enum class By { None, Input, Check, Drive };

    Status status = Status::Done;
    By by = By::None;
    QString reason;
    QList<WrittenFile> files;

    static Outcome done() { return {}; }
    static Outcome failed(const QString& reason = {}) { return {Status::Failed, By::None, reason, {}}; }
    static Outcome refused(By by, const QString& reason) { return {Status::Refused, by, reason, {}}; }
    static Outcome aborted() { return {Status::Aborted, By::None, QStringLiteral("aborted"), {}}; }
    // Done when `ok`, else failed with the reason.
    static Outcome doneIf(bool ok, const QString& reason = {}) { return ok ? done() : failed(reason); }

    bool isDone() const { return status == Status::Done; }
    // What a run counts as failed: failed, or refused by the drive or by a check (an abort is the
    // technician's own choice, and the operation's own input messages are answered by filling in).
    bool isFailure() const;
    // Records a file the operation wrote (its size as it is on disk now).
    Outcome& wrote(const QString& path);
    // Folds another step's outcome into this one: the worse status wins, files add up.
    Outcome& merge(const Outcome& other);
};

// "done", "failed", "refused", "aborted".
QString statusName(Outcome::Status status);
// "input", "check", "drive" or empty.
QString refuserName(Outcome::By by);

}  // namespace hdd
