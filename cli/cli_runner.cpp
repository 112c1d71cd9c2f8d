#include "cli_runner.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <algorithm>
#include <csignal>

#include "address.h"
#include "clock.h"
#include "dialog_form.h"
#include "form4.h"
#include "identity.h"
#include "interrupts.h"
#include "main_model.h"
#include "script_file.h"
#include "sim_port.h"
#include "text.h"
#include "transcript.h"
#include "transfer.h"
#include "zones.h"

#ifndef HDDTERM_VERSION
#define HDDTERM_VERSION "0"
#endif

namespace hdd {

namespace {

const char* kHelp =
    "usage: hddterm-cli [OPTIONS] ports\n"
    "       hddterm-cli [OPTIONS] keys [FORM]\n"
    "       hddterm-cli [OPTIONS] run ACTION...\n"
    "       hddterm-cli [OPTIONS] script FILE\n"
    "       hddterm-cli --help | --version\n"
    "\n"
    "hddterm's main window without widgets. `run` performs the window's start-up, opens the port as\n"
    "the key \"打开串口\" does, performs the actions in order, closes the port and exits.\n"
    "\n"
    "Verbs:\n"
    "  ports             list the serial ports: the system's, then sim (the simulated drive)\n"
    "  keys [FORM]       list the controls, one per line: name, caption, kind and form\n"
    "                    (FORM: FrmMain, the main window, or a dialog, Form1 .. Form7)\n"
    "  run ACTION...     open the port, perform the actions, close the port\n"
    "  script FILE       open the port, load the command script FILE into the script dialog\n"
    "                    (Form4.Memo1), run it (Form4.Button9), close the port\n"
    "\n"
    "Options:\n"
    "  --port PORT       the port to open (default: sim); a device path such as /dev/ttyUSB0\n"
    "  --baud RATE       the window's baud selection before the port opens (default: 9600)\n"
    "  --set NAME=VALUE  fill a field before the port opens (repeatable)\n"
    "  --file PATH       answer the next file or folder dialog (repeatable, in order)\n"
    "  --yes, --no       answer the Yes/No questions (default: --no)\n"
    "  --log FILE        write every byte sent and received, time-stamped, to the text file FILE\n"
    "  --json            GET prints one JSON object per line: {\"name\":\"edRx\",\"value\":\"Rx:6\"}\n"
    "  --keep-speed      leave drive and port at the speed SET:ComboBox2 chose; by default they go\n"
    "                    back to the speed the run started with before the port closes\n"
    "  --fast            fast waits (\"快速等待\"): each wait ends as soon as the drive's answer is in\n"
    "  --help            show this help and exit\n"
    "  --version         show the version and exit\n"
    "\n"
    "Actions:\n"
    "  KEY               press a key: Button78, Form3.Button2 (`keys` lists them)\n"
    "  SET:NAME=VALUE    set a field, list, box (0/1) or radio button as a user would\n"
    "  CMD:TEXT          type TEXT into the command line and press Enter\n"
    "  KEYS:HEX          type raw key codes into the command line (1a = Ctrl-Z)\n"
    "  ENTER:NAME        press Enter in a field (Edit21)\n"
    "  WAIT:MS           stay idle for MS milliseconds\n"
    "  GET:NAME[.items|.enabled|.visible]\n"
    "                    print what a control shows, as NAME=VALUE (or JSON with --json)\n"
    "\n"
    "Every action is checked before the port opens. The console goes to stderr, GET readouts to\n"
    "stdout; when stderr is a terminal, operations show a progress line. Ctrl-C (SIGINT) or\n"
    "SIGTERM acts as the abort key \"中止命令\": the operation ends through its closing steps and\n"
    "the port closes; a second signal ends the process at once.\n"
    "\n"
    "Exit status: 0 success; 1 a failure shown on the console (a line ending in \"失败！\" or\n"
    "starting with \"错误\"), a warning box, a file error, or a file dialog no --file answered;\n"
    "2 a usage error or a port that cannot be opened; 130 SIGINT; 143 SIGTERM.\n";

const QString kSelf = QStringLiteral("hddterm-cli: ");

// Clears and redraws one line of stderr with the progress of the running operation.
class ProgressLine {
public:
    ProgressLine(QTextStream& err, Clock& clock, Dialogue& d, bool enabled)
        : err_(err), clock_(clock), d_(d), enabled_(enabled) {}

    void update(qint64 value, qint64 maximum) {
        if (!enabled_) return;
        const qint64 now = clock_.nowUs();
        if (value <= 0 || maximum != maximum_) {
            maximum_ = maximum;
            startUs_ = now;
            startBytes_ = lineBytes();
            if (value <= 0) return;
        }
        if (maximum <= 0 || (value < maximum && drawn_ && now - drawnUs_ < 100000)) return;
        const double part = std::min(1.0, double(value) / double(maximum));
        const double seconds = double(now - startUs_) / 1e6;
        const qint64 bytes = lineBytes() - startBytes_;
        QString line = QStringLiteral("%1%  %2 bytes").arg(int(part * 100), 3).arg(bytes);
        if (seconds > 0.05) {
            line += QStringLiteral("  %1 KiB/s").arg(double(bytes) / 1024.0 / seconds, 0, 'f', 1);
            const qint64 left = qRound64(seconds * (1.0 - part) / part);
            line += QStringLiteral("  %1:%2 left").arg(left / 60).arg(left % 60, 2, 10, QChar('0'));
        }
        err_ << "\r\x1b[K" << line;
        err_.flush();
        drawn_ = true;
        drawnUs_ = now;
    }
    // Before any other line goes to stderr.
    void clear() {
        if (!drawn_) return;
        err_ << "\r\x1b[K";
        err_.flush();
        drawn_ = false;
    }

private:
    qint64 lineBytes() const { return qint64{d_.RxTotal} + d_.TxTotal; }

    QTextStream& err_;
    Clock& clock_;
    Dialogue& d_;
    bool enabled_;
    bool drawn_ = false;
    qint64 drawnUs_ = 0;
    qint64 startUs_ = 0;
    qint64 startBytes_ = 0;
    qint64 maximum_ = -1;
};

class CliFrontend : public Frontend {
public:
    CliFrontend(QTextStream& err, QStringList files, bool yes)
        : err_(err), files_(std::move(files)), yes_(yes) {}

    void message(MessageKind kind, const QString& text, const QString&) override {
        before();
        err_ << (kind == MessageKind::Warning ? "warning: " : "message: ") << text << "\n";
        err_.flush();
        if (kind == MessageKind::Warning) sawWarning = true;
    }
    bool question(const QString& text, const QString&) override {
        before();
        err_ << "question: " << text << " -> " << (yes_ ? "yes" : "no") << "\n";
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
        err_ << kSelf << "no --file answers the dialog \"" << title << "\"; it is cancelled\n";
        err_.flush();
        missedFile = true;
        return {};
    }
    QTextStream& err_;
    QStringList files_;
    bool yes_;
};

// Prints console lines once the next one has begun (or at the end), and judges them.
class ConsolePrinter {
public:
    ConsolePrinter(Console& console, QTextStream& err, ProgressLine& progress)
        : console_(console), err_(err), progress_(progress) {
        QObject::connect(&console_, &Console::tailChanged, [this](int) { flush(false); });
        QObject::connect(&console_, &Console::aboutToClear, [this] { flush(true); });
        QObject::connect(&console_, &Console::cleared, [this] { printed_ = 0; });
        // Without auto-clear the oldest lines go past the limit: what was printed moves down too.
        QObject::connect(&console_, &Console::headDropped,
                         [this](int count) { printed_ = std::max(0, printed_ - count); });
    }
    void flush(bool all) {
        const int complete = all ? console_.lineCount() : console_.lineCount() - 1;
        if (printed_ < complete) progress_.clear();
        for (; printed_ < complete; ++printed_) {
            const QString line = fromGbk(console_.line(printed_));
            err_ << line << "\n";
            if (judging && isFailure(line)) failed = true;
        }
        err_.flush();
    }
    static bool isFailure(const QString& line) {
        return line.endsWith(QStringLiteral("失败！")) || line.endsWith(QStringLiteral("失败!")) ||
               line.endsWith(QStringLiteral("失败，请尝试手动获取！")) ||
               line == QStringLiteral("读取数据错误，请调低一档速率后再试!") || line == kLoadCertFirst ||
               line == kCannotWriteDrive || line == kNotLoadedSave || line == kNotLoadedCut ||
               line.startsWith(QStringLiteral("错误")) || line.startsWith(QStringLiteral("读入ROM文件出错"));
    }
    bool judging = false;
    bool failed = false;

private:
    Console& console_;
    QTextStream& err_;
    ProgressLine& progress_;
    int printed_ = 0;
};

struct Target {
    FormModel* form = nullptr;
    Control* control = nullptr;
    QString name;
};

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

bool takesText(ControlKind k) {
    return k == ControlKind::Edit || k == ControlKind::Memo || k == ControlKind::Combo ||
           k == ControlKind::Check || k == ControlKind::Radio;
}

bool isKey(ControlKind k) {
    return k == ControlKind::Button || k == ControlKind::Check || k == ControlKind::Radio;
}

// Sets a control as the user would; an empty result is success, else why it cannot be done. Before
// the port opens (`prefill`) a control disabled only by its panel is still set: --set exists to fill
// such fields. Key filters and length limits apply in every case, and a read-only field is filled
// only through its picker. `note` gets a line when a filter changed the value on its way in.
QString setControl(const Target& t, const QString& value, QString& note, bool prefill = false) {
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

// WAIT: idle as the window would, until the time is up or a signal came.
void idle(Clock& clock, int ms, const int& interrupted) {
    const qint64 end = clock.nowUs() + qint64{ms} * 1000;
    do {
        clock.sleepMs(10);
        clock.processEvents();
    } while (clock.nowUs() < end && !interrupted);
}

const QStringList kFormNames = {"FrmMain", "Form1", "Form2", "Form3", "Form4", "Form5", "Form6", "Form7"};

// `keys [FORM]`: every control, one per line: name as actions take it, caption, kind, form.
int listKeys(MainModel& m, const QString& only, QTextStream& out, QTextStream& err) {
    if (!only.isEmpty() && !kFormNames.contains(only)) {
        err << kSelf << "no form " << only << " (forms: " << kFormNames.join(' ') << ")\n";
        return 2;
    }
    for (const QString& name : kFormNames) {
        if (!only.isEmpty() && name != only) continue;
        FormModel* f = m.formByName(name);
        if (!f) continue;
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

}  // namespace

QString cliHelp() { return QString::fromUtf8(kHelp); }

int runCli(const QStringList& args, QTextStream& out, QTextStream& err, Clock& clock,
           const std::function<void(MainModel&)>& configure, const CliEnv& env) {
    CliOptions opt;
    QStringList rest;
    auto usage = [&](const QString& why) {
        if (!why.isEmpty()) err << kSelf << why << "\n";
        err << "usage: hddterm-cli [OPTIONS] (ports | keys [FORM] | run ACTION... | script FILE); "
               "see hddterm-cli --help\n";
        err.flush();
        return 2;
    };
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString& into) {
            if (i + 1 >= args.size()) return false;
            into = args[++i];
            return true;
        };
        QString v;
        bool ok = true;
        if (a == "--help" || a == "-h") {
            out << kHelp;
            out.flush();
            return 0;
        } else if (a == "--version") {
            out << "hddterm-cli " << HDDTERM_VERSION << "\n";
            out.flush();
            return 0;
        } else if (a == "--port") {
            ok = value(opt.port);
        } else if (a == "--baud") {
            ok = value(opt.baud);
        } else if (a == "--set") {
            ok = value(v);
            opt.sets << v;
        } else if (a == "--file") {
            ok = value(v);
            opt.files << v;
        } else if (a == "--log") {
            ok = value(opt.log);
        } else if (a == "--yes") {
            opt.yes = true;
        } else if (a == "--no") {
            opt.yes = false;
        } else if (a == "--fast") {
            opt.sets << QStringLiteral("CheckBoxFast=1");
        } else if (a == "--json") {
            opt.json = true;
        } else if (a == "--keep-speed") {
            opt.keepSpeed = true;
        } else if (a.startsWith("--")) {
            return usage("unknown option " + a);
        } else {
            rest = args.mid(i);
            break;
        }
        if (!ok) return usage(a + " needs a value");
    }
    const QString verb = rest.value(0);
    if (verb.isEmpty()) return usage({});
    if (verb != "ports" && verb != "run" && verb != "keys" && verb != "script")
        return usage("unknown verb " + verb);
    if ((verb == "ports" && rest.size() > 1) || (verb == "keys" && rest.size() > 2) ||
        (verb == "script" && rest.size() != 2))
        return usage("wrong arguments for " + verb);

    CliFrontend frontend(err, opt.files, opt.yes);
    MainOptions mo;
    mo.pinCpu = false;
    mo.registerPorts = [](SerialPort& p, Clock& c) { hddsim::SimPort::add(p, c); };
    MainModel model(clock, frontend, mo);
    if (configure) configure(model);

    if (verb == "ports") {
        QStringList ports;
        model.port().EnumComPorts(ports);
        for (const QString& p : ports) out << p << "\n";
        out.flush();
        return 0;
    }
    if (verb == "keys") return listKeys(model, rest.value(1), out, err);

    // Every action is checked before anything is sent.
    QList<Action> actions;
    QString scriptBody;
    if (verb == "script") {
        auto* form4 = dynamic_cast<DialogForm*>(model.formByName(QStringLiteral("Form4")));
        const Control* key = model.form().find(QStringLiteral("Button77"));
        if (!form4 || !form4->built || !key || !key->visible || !form4->find("Memo1") ||
            !form4->find("Button9")) {
            err << kSelf << "script: the command-script dialog (Form4) is not part of this build\n";
            return 2;
        }
        // Loaded as the dialog's "打开脚本" loads it (GBK, or UTF-8 after a byte-order mark).
        QString why;
        const auto text = loadScriptFile(rest[1], why);
        if (!text) {
            err << kSelf << "script: " << rest[1] << ": " << why << "\n";
            return 2;
        }
        scriptBody = *text;
        actions = {Action{"Button77", Verb::Key, "Button77", {}, 0, {}},
                   Action{"SET:Form4.Memo1=" + rest[1], Verb::Set, "Form4.Memo1", scriptBody, 0, {}},
                   Action{"Form4.Button9", Verb::Key, "Form4.Button9", {}, 0, {}}};
    } else {
        for (const QString& text : rest.mid(1)) {
            Action a;
            const QString why = parseAction(model, text, a);
            if (!why.isEmpty()) {
                err << kSelf << "bad action \"" << text << "\": " << why << "\n";
                return 2;
            }
            actions << a;
        }
    }

    // The transcript starts before the window's start-up, so it holds every opening of the port.
    Transcript transcript(model.port());
    if (!opt.log.isEmpty()) {
        QString why = cannotCreateReason(opt.log);
        if (why.isEmpty() && !transcript.start(opt.log, &why)) why = why.isEmpty() ? "error" : why;
        if (!why.isEmpty()) {
            err << kSelf << "cannot write the log " << opt.log << ": " << why << "\n";
            return 2;
        }
    }

    Dialogue& d = model.dialogue();
    ProgressLine progress(err, clock, d, env.terminal);
    for (const QString& name : kFormNames) {
        FormModel* f = model.formByName(name);
        if (!f) continue;
        QObject::connect(f, &FormModel::changed, f, [f, &progress](const QString& control) {
            const Control* c = f->find(control);
            if (c && c->kind == ControlKind::Progress) progress.update(c->value, c->maximum);
        });
    }
    ConsolePrinter printer(model.console(), err, progress);
    frontend.beforeMessage = [&] {
        progress.clear();
        printer.flush(false);
    };

    // A signal acts as the abort key, and keeps acting until the run ends: an operation that clears
    // the flag as it starts its next step still sees it.
    int interrupted = 0;
    int poller = 0;
    if (env.interrupts) {
        QObject::connect(env.interrupts, &Interrupts::raised, &model, [&](int sig) {
            interrupted = sig;
            d.AbortRequested = true;
        });
        poller = clock.addPoller([&] {
            if (interrupted) d.AbortRequested = true;
        });
        interrupted = env.interrupts->signal();
        // A running script is stopped with its own stop key, as a user would.
        if (verb == "script") stopScriptWhen(model, [&interrupted] { return interrupted != 0; });
    }
    auto finish = [&](int status) {
        if (poller) clock.removePoller(poller);
        progress.clear();
        printer.flush(true);
        if (interrupted) {
            err << kSelf << "interrupted by " << signalName(interrupted) << "\n";
            status = 128 + interrupted;
        }
        for (const QString& f : frontend.unusedFiles()) err << kSelf << "--file " << f << " was not used\n";
        err.flush();
        return status;
    };

    model.startUp();
    model.choosePort(opt.port);
    // The probe of the chosen port already showed the window's message: add why, once.
    if (model.port().lastError() != PortError::None) {
        printer.flush(true);
        err << kSelf << "cannot open " << opt.port << ": "
            << portErrorReason(model.port().lastError(), opt.port) << "\n";
        return finish(2);
    }
    if (!opt.baud.isEmpty() && !model.form().userSelectText("ComboBox2", opt.baud)) {
        printer.flush(true);
        err << kSelf << "baud " << opt.baud << " is not offered for this port\n";
        return finish(2);
    }
    for (const QString& s : opt.sets) {
        const qsizetype eq = s.indexOf('=');
        const Target t = eq > 0 ? resolve(model, s.left(eq)) : Target{};
        QString note;
        const QString why =
            !t.control ? QStringLiteral("no such control") : setControl(t, s.mid(eq + 1), note, true);
        if (!why.isEmpty()) {
            printer.flush(true);
            err << kSelf << "cannot set " << s << ": " << why << "\n";
            return finish(2);
        }
        if (!note.isEmpty()) err << kSelf << note << "\n";
    }
    if (interrupted) return finish(0);
    model.form().userClick("btnSwitch");
    if (!model.isOpen()) {
        printer.flush(true);
        err << kSelf << "cannot open " << opt.port << ": "
            << portErrorReason(model.port().lastError(), opt.port) << "\n";
        return finish(2);
    }

    printer.judging = true;
    frontend.sawWarning = false;
    int status = 0;
    const QString startSpeed = model.form().text("ComboBox2");
    bool speedFromSet = false;  // the baud selection was last changed by a SET:ComboBox2 action
    QString speedAfterSet;
    for (const Action& a : actions) {
        // A port that vanished ends the run: its console line has said so, the rest would only fail.
        if (interrupted || d.portLost()) break;
        QString why;
        Target t = a.name.isEmpty() ? Target{} : resolve(model, a.name);
        switch (a.verb) {
            case Verb::Set: {
                QString note;
                why = setControl(t, a.value, note);
                if (!note.isEmpty()) {
                    printer.flush(false);
                    err << kSelf << note << "\n";
                }
                if (why.isEmpty() && t.form == &model.form() && t.name == "ComboBox2") {
                    speedFromSet = true;
                    speedAfterSet = model.form().text("ComboBox2");
                }
                break;
            }
            case Verb::Cmd:
                for (QChar c : a.value) model.form().userKey("CMD", c);
                model.form().userEnter("CMD");
                break;
            case Verb::Keys:
                for (char c : a.codes) model.form().userKey("CMD", QChar(static_cast<uchar>(c)));
                break;
            case Verb::Enter:
                why = cannotPress(t);
                if (why.isEmpty()) t.form->userEnter(t.name);
                break;
            case Verb::Wait:
                idle(clock, a.ms, interrupted);
                break;
            case Verb::Get: {
                const QString value = readControl(t, a.value);
                if (opt.json) {
                    const QJsonObject o{{"name", a.given.mid(4)}, {"value", value}};
                    out << QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)) << "\n";
                } else {
                    out << a.given.mid(4) << "=" << value << "\n";
                }
                out.flush();
                break;
            }
            case Verb::Key:
                why = cannotPress(t);
                if (why.isEmpty()) t.form->userClick(t.name);
                break;
        }
        if (!(a.verb == Verb::Set && t.name == "ComboBox2") && speedFromSet &&
            model.form().text("ComboBox2") != speedAfterSet)
            speedFromSet = false;  // an operation set the speed since: it is left as it ended it
        if (!why.isEmpty()) {
            printer.flush(true);
            err << kSelf << "cannot perform " << a.given << ": " << why << "\n";
            status = 2;
            break;
        }
    }
    // Drive and port go back to the speed the run started with, so the next run can talk to the drive.
    if (poller) {
        clock.removePoller(poller);
        poller = 0;
        d.AbortRequested = false;
    }
    if (!opt.keepSpeed && speedFromSet && model.isOpen() && model.form().text("ComboBox2") != startSpeed)
        model.form().userSelectText("ComboBox2", startSpeed);
    if (model.isOpen()) model.form().userClick("btnSwitch");
    printer.flush(true);
    if (status == 0 && (printer.failed || frontend.sawWarning || frontend.missedFile)) status = 1;
    return finish(status);
}

}  // namespace hdd
