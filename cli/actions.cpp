#include "actions.h"

#include <QRegularExpression>
#include <optional>

#include "form1_controls.h"
#include "form2_controls.h"
#include "form3_controls.h"
#include "form4_controls.h"
#include "form5_controls.h"
#include "form6_controls.h"
#include "form7_controls.h"
#include "main_form_controls.h"
#include "main_model.h"

namespace hdd {

namespace {

bool takesText(ControlKind k) {
    return k == ControlKind::Edit || k == ControlKind::Memo || k == ControlKind::Combo ||
           k == ControlKind::Check || k == ControlKind::Radio;
}

bool isKey(ControlKind k) {
    return k == ControlKind::Button || k == ControlKind::Check || k == ControlKind::Radio;
}

QString kindName(ControlKind k) {
    switch (k) {
        case ControlKind::Panel:
            return "panel";
        case ControlKind::Button:
            return "button";
        case ControlKind::Edit:
            return "edit";
        case ControlKind::Memo:
            return "memo";
        case ControlKind::Label:
            return "label";
        case ControlKind::Combo:
            return "combo";
        case ControlKind::Check:
            return "check";
        case ControlKind::Radio:
            return "radio";
        case ControlKind::Progress:
            return "progress";
        case ControlKind::Image:
            return "image";
    }
    return {};
}

const QString kSelf = QStringLiteral("hddterm-cli: ");

}  // namespace

Target resolve(MainModel& m, const QString& dotted) {
    Target t;
    const qsizetype dot = dotted.indexOf('.');
    if (dot > 0 && dotted.startsWith(QStringLiteral("Form"))) {
        t.form = m.formByName(dotted.left(dot));
        t.name = dotted.mid(dot + 1);
    } else {
        t.form = &m.form();
        t.name = dotted;
    }
    if (t.form) t.control = t.form->find(t.name);
    return t;
}

QString setControl(const Target& t, const QString& value, QString& note, bool prefill) {
    FormModel& f = *t.form;
    const Control& c = *t.control;
    if (!c.visible) return QStringLiteral("%1 is not shown").arg(t.name);
    if (c.readOnly) return QStringLiteral("%1 is read-only (use its picker and --file)").arg(t.name);
    if (!prefill && !f.isEffectivelyEnabled(t.name)) return QStringLiteral("%1 is disabled").arg(t.name);
    const bool direct = !f.isEffectivelyEnabled(t.name);
    auto typed = [&]() -> std::optional<QString> {
        const auto text = f.typedText(t.name, value);
        if (text && *text != value)
            note = QStringLiteral("%1 took \"%2\" as \"%3\"").arg(t.name, value, *text);
        return text;
    };
    switch (c.kind) {
        case ControlKind::Edit:
        case ControlKind::Memo: {
            const auto text = c.kind == ControlKind::Memo ? std::optional<QString>(value) : typed();
            if (!text)
                return QStringLiteral("%1 does not take \"%2\" (its key filter drops it)").arg(t.name, value);
            if (direct)
                f.setText(t.name, *text);
            else
                f.userSetText(t.name, *text);
            return {};
        }
        case ControlKind::Combo: {
            if (c.editable) {
                const auto text = typed();
                if (!text)
                    return QStringLiteral("%1 does not take \"%2\" (its key filter drops it)")
                        .arg(t.name, value);
                if (direct) {
                    f.setCurrentIndex(t.name, static_cast<int>(c.items.indexOf(*text)));
                    f.setText(t.name, *text);
                } else {
                    f.userSetText(t.name, *text);
                }
                return {};
            }
            const int i = static_cast<int>(c.items.indexOf(value));
            if (i < 0)
                return QStringLiteral("%1 offers no \"%2\" (it offers %3)")
                    .arg(t.name, value, c.items.join(','));
            if (direct)
                f.setCurrentIndex(t.name, i);
            else
                f.userSelect(t.name, i);
            return {};
        }
        case ControlKind::Check:
        case ControlKind::Radio:
            if (value != "0" && value != "1") return QStringLiteral("%1 takes 0 or 1").arg(t.name);
            if (direct) {
                if (c.checked != (value == "1")) {
                    f.setChecked(t.name, value == "1");
                    if (c.onClick) {
                        auto fn = c.onClick;
                        fn();
                    }
                }
            } else {
                f.userSetChecked(t.name, value == "1");
            }
            return {};
        default:
            return QStringLiteral("%1 takes no text").arg(t.name);
    }
}

// Why a key cannot be pressed now, or empty.
QString cannotPress(const Target& t) {
    if (!t.control->visible) return QStringLiteral("%1 is not shown").arg(t.name);
    if (!t.form->isEffectivelyEnabled(t.name)) return QStringLiteral("%1 is disabled").arg(t.name);
    return {};
}

QString readControl(const Target& t, const QString& what) {
    const Control& c = *t.control;
    if (what == "items") return c.items.join(',');
    if (what == "enabled") return t.form->isEffectivelyEnabled(t.name) ? "1" : "0";
    if (what == "visible") return c.visible ? "1" : "0";
    switch (c.kind) {
        case ControlKind::Check:
        case ControlKind::Radio:
            return c.checked ? "1" : "0";
        case ControlKind::Combo:
            return c.currentText();
        case ControlKind::Button:
            return c.caption;
        case ControlKind::Progress:
            return QString::number(c.value);
        default:
            return c.text;
    }
}

// Parses and checks one action against the forms; empty when it is good, else why not.
QString parseAction(MainModel& m, const QString& text, Action& a) {
    a.given = text;
    const qsizetype colon = text.indexOf(':');
    const QString verb = colon > 0 ? text.left(colon) : QString();
    const QString arg = colon > 0 ? text.mid(colon + 1) : QString();
    auto control = [&](const QString& name, Target& t) {
        t = resolve(m, name);
        return t.control != nullptr;
    };
    Target t;
    if (colon < 0) {
        for (const char* v : {"SET", "CMD", "KEYS", "ENTER", "WAIT", "GET"}) {
            if (text == QLatin1String(v)) return QStringLiteral("%1 needs a colon (%1:...)").arg(text);
        }
        if (!control(text, t)) return QStringLiteral("no such key");
        if (!isKey(t.control->kind))
            return QStringLiteral("%1 is a %2, not a key").arg(text, kindName(t.control->kind));
        a.verb = Verb::Key;
        a.name = text;
        return {};
    }
    if (verb == "SET") {
        const qsizetype eq = arg.indexOf('=');
        if (eq <= 0) return QStringLiteral("SET needs NAME=VALUE");
        a.verb = Verb::Set;
        a.name = arg.left(eq);
        a.value = arg.mid(eq + 1);
        if (!control(a.name, t)) return QStringLiteral("no such control");
        if (!takesText(t.control->kind))
            return QStringLiteral("%1 is a %2 and takes no value").arg(a.name, kindName(t.control->kind));
        return {};
    }
    if (verb == "CMD") {
        a.verb = Verb::Cmd;
        a.value = arg;
        return {};
    }
    if (verb == "KEYS") {
        a.verb = Verb::Keys;
        a.codes = QByteArray::fromHex(arg.toLatin1());
        static const QRegularExpression hex(QStringLiteral("^([0-9A-Fa-f]{2})+$"));
        if (!hex.match(arg).hasMatch()) return QStringLiteral("KEYS takes pairs of hexadecimal digits");
        return {};
    }
    if (verb == "ENTER") {
        a.verb = Verb::Enter;
        a.name = arg;
        if (!control(arg, t)) return QStringLiteral("no such field");
        if (t.control->kind != ControlKind::Edit || !t.control->onEnter)
            return QStringLiteral("%1 does nothing on Enter").arg(arg);
        return {};
    }
    if (verb == "WAIT") {
        a.verb = Verb::Wait;
        bool ok = false;
        a.ms = arg.toInt(&ok);
        if (!ok || a.ms < 0) return QStringLiteral("WAIT takes milliseconds (WAIT:500)");
        return {};
    }
    if (verb == "GET") {
        a.verb = Verb::Get;
        a.name = arg;
        for (const char* suffix : {".items", ".enabled", ".visible"}) {
            if (arg.endsWith(QLatin1String(suffix))) {
                a.name = arg.left(arg.size() - static_cast<qsizetype>(strlen(suffix)));
                a.value = QString::fromLatin1(suffix + 1);
            }
        }
        if (!control(a.name, t)) return QStringLiteral("no such control");
        return {};
    }
    return QStringLiteral("unknown action %1 (actions: KEY SET: CMD: KEYS: ENTER: WAIT: GET:)").arg(verb);
}

const QStringList kFormNames = {mainform::kName, form1::kName, form2::kName, form3::kName,
                                form4::kName,    form5::kName, form6::kName, form7::kName};

// `keys [FORM]`: every control, one per line: name as actions take it, caption, kind, form.
int listKeys(MainModel& m, const QString& only, QTextStream& out, QTextStream& err) {
    // A dialog may be named by its title too ("备份固件" for Form6).
    QString form = only;
    for (const QString& name : kFormNames) {
        const FormModel* f = m.formByName(name);
        if (f && name != "FrmMain" && !only.isEmpty() && f->title == only) form = name;
    }
    if (!form.isEmpty() && !kFormNames.contains(form)) {
        err << kSelf << "no form " << only << " (forms: " << kFormNames.join(' ') << ")\n";
        return 2;
    }
    for (const QString& name : kFormNames) {
        if (!form.isEmpty() && name != form) continue;
        FormModel* f = m.formByName(name);
        if (!f) continue;
        // The dialog itself, with its title, before its controls.
        if (name != "FrmMain") out << name << '\t' << f->title << "\tform\t" << name << '\n';
        for (const auto& c : f->controls()) {
            QString caption = c->caption.isEmpty() ? c->label : c->caption;
            caption.replace('\t', ' ').replace('\n', ' ');
            QString kind = kindName(c->kind);
            if (!c->visible) kind += QStringLiteral(",hidden");
            const QString full = name == "FrmMain" ? c->name : name + '.' + c->name;
            out << full << '\t' << caption << '\t' << kind << '\t' << name << '\n';
        }
    }
    out.flush();
    return 0;
}

}  // namespace hdd
