// The verbs of hddterm-cli: a technician's words for the window's keys.
//
// Each verb runs the same operation as its key, with the same checks, the same bytes on the wire and
// the same files: the verb fills the key's fields from its options (in the bases the fields take),
// answers the key's file or folder picker with its FILE or FOLDER, and presses the key, as `run`
// would. One table maps every verb to its key, so the help, the man page and the behaviour cannot
// drift apart.
#pragma once

#include <QString>
#include <QStringList>

#include "outcome.h"

namespace hdd {

struct VerbPlan {
    QString verb;           // "buffer read", "backup", ...
    QStringList sets;       // fields filled before the port opens (NAME=VALUE)
    QStringList files;      // answers to the pickers, in order
    QStringList actions;    // the run's actions
    QString resultField;    // a field whose text the verb prints on stdout at the end (the backup folder)
    QStringList sendLines;  // `send`: the command lines
};

// True when `word` starts a verb of the table (or `send`).
bool isPlanVerb(const QString& word);
// Reads a verb with its words into a plan; empty when it is good, else why not (a usage error that
// names the option).
QString planVerb(const QStringList& words, VerbPlan& plan);
// The --json object of a verb:
// {"verb":…,"outcome":…,"reason":…,"files":[{"path","bytes","sha256"}],"seconds":…}.
QString verbJson(const QString& verb, const Outcome& outcome, double seconds);
// The verbs with their options, for --help.
QString verbsHelp();

}  // namespace hdd
