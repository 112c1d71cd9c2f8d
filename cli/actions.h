// The grammar of `run`: the actions (KEY, SET:, CMD:, KEYS:, ENTER:, WAIT:, GET:), how each is
// checked against the forms before the port opens, and how a control is set, pressed and read as a
// user would. `keys` lists the controls by the same names.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include "form_model.h"

namespace hdd {

class MainModel;

struct Target {
    FormModel* form = nullptr;
    Control* control = nullptr;
    QString name;
};

// "Button14" on the main window, "Form3.Button2" on a dialog.
Target resolve(MainModel& m, const QString& dotted);

// Sets a control as the user would; an empty result is success, else why it cannot be done. Before
// the port opens (`prefill`) a control disabled only by its panel is still set: --set exists to fill
// such fields. Key filters and length limits apply in every case, and a read-only field is filled
// only through its picker. `note` gets a line when a filter changed the value on its way in.
QString setControl(const Target& t, const QString& value, QString& note, bool prefill = false);
// Why a key cannot be pressed now, or empty.
QString cannotPress(const Target& t);
// What a control shows: its text, selection, tick or caption; or its .items, .enabled, .visible.
QString readControl(const Target& t, const QString& what);

enum class Verb { Key, Set, Cmd, Keys, Enter, Wait, Get };

// One action of `run`, checked before the port opens.
struct Action {
    QString given;  // as the user wrote it
    Verb verb = Verb::Key;
    QString name;   // the control (KEY, SET, ENTER, GET)
    QString value;  // SET's value, CMD's text, GET's suffix
    int ms = 0;
    QByteArray codes;
};

// Parses and checks one action against the forms; empty when it is good, else why not.
QString parseAction(MainModel& m, const QString& text, Action& a);

// The forms as `keys` and the actions name them.
extern const QStringList kFormNames;
// `keys [FORM]`: every control, one per line: name as actions take it, caption, kind, form.
int listKeys(MainModel& m, const QString& only, QTextStream& out, QTextStream& err);

}  // namespace hdd
