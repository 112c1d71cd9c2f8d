#include "script_verb.h"

#include <QJsonArray>
#include <QJsonDocument>

#include "cli_frontend.h"
#include "cli_runner.h"
#include "form4.h"
#include "script.h"
#include "script_check.h"

namespace hdd {

namespace {

// A JSON string, quoted.
QString quoted(const QString& v) {
    return QString::fromUtf8(QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact)).mid(1).chopped(1);
}

}  // namespace

ScriptVerb::ScriptVerb(const CliOptions& opt, QTextStream& out, QTextStream& err)
    : keepGoing_(opt.keepGoing), json_(opt.json), out_(out), err_(err) {}

int ScriptVerb::check(const QString& file, const QString& text) {
    file_ = file;
    const QList<ScriptFinding> findings = CheckScript(text.split('\n'));
    findings_ = static_cast<int>(findings.size());
    if (findings.isEmpty() || keepGoing_) return -1;
    for (const ScriptFinding& f : findings)
        err_ << kCliSelf << file << ":" << f.line << ": " << f.reason << ": " << f.text << "\n";
    err_ << kCliSelf << "script: " << file << ": " << findings_
         << (findings_ == 1 ? " line cannot" : " lines cannot")
         << " run as written; nothing was sent (--keep-going runs it anyway)\n";
    err_.flush();
    if (json_) {
        out_ << QStringLiteral("{\"script\":%1,\"outcome\":\"refused\",\"reason\":%2,\"lines\":0}")
                    .arg(quoted(file), quoted(findingLine(findings.first())))
             << "\n";
        out_.flush();
    }
    return 2;
}

void ScriptVerb::listen(MainModel& m) {
    listening_ = onScriptLine(m, [this](const ScriptLineResult& r) {
        ++lines_;
        if (!json_) return;
        out_ << QStringLiteral("{\"line\":%1,\"text\":%2,\"outcome\":%3,\"reason\":%4}")
                    .arg(QString::number(r.number), quoted(r.text), quoted(statusName(r.outcome.status)),
                         quoted(r.outcome.reason))
             << "\n";
        out_.flush();
    });
}

int ScriptVerb::finish(const Outcome& run, int status) {
    if (!listening_) return status;
    if (status == 0 && findings_ > 0) status = 1;  // --keep-going: the script did not run as written
    if (json_ && status != 2) {
        out_ << QStringLiteral("{\"script\":%1,\"outcome\":%2,\"reason\":%3,\"lines\":%4}")
                    .arg(quoted(file_), quoted(statusName(run.status)), quoted(run.reason),
                         QString::number(lines_))
             << "\n";
        out_.flush();
    }
    return status;
}

}  // namespace hdd
