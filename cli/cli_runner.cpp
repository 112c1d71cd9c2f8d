#include "cli_runner.h"

#include <QRegularExpression>

#include "clock.h"
#include "main_model.h"
#include "text.h"

namespace hdd {

namespace {

const char* kUsage =
    "usage: hddterm-cli [OPTIONS] ports\n"
    "       hddterm-cli [OPTIONS] run ACTION...\n"
    "options: --port PORT  --baud RATE  --set NAME=VALUE  --file PATH  --yes | --no  --fast\n"
    "  --fast: fast waits (\"快速等待\"): each wait ends as soon as the drive's answer is in\n"
    "actions: KEY  SET:NAME=VALUE  CMD:TEXT  KEYS:HEX  ENTER:NAME  WAIT:MS  GET:NAME[.items|.enabled]\n"
    "NAME, KEY: a control of the main window (Edit1, Button78) or of a dialog (Form3.Edit1, Form3.Button2)\n";

class CliFrontend : public Frontend {
public:
    CliFrontend(QTextStream& err, QStringList files, bool yes)
        : err_(err), files_(std::move(files)), yes_(yes) {}

    void message(MessageKind kind, const QString& text, const QString&) override {
        if (beforeMessage) beforeMessage();
        err_ << (kind == MessageKind::Warning ? "warning: " : "message: ") << text << "\n";
        err_.flush();
        if (kind == MessageKind::Warning) sawWarning = true;
    }
    bool question(const QString& text, const QString&) override {
        if (beforeMessage) beforeMessage();
        err_ << "question: " << text << " -> " << (yes_ ? "yes" : "no") << "\n";
        err_.flush();
        return yes_;
    }
    QString openFileName(const FileRequest&) override { return nextFile(); }
    QString saveFileName(const FileRequest&) override { return nextFile(); }
    QString folderName(const QString&, const QString&) override { return nextFile(); }
    void showForm(FormModel&, int, int) override {}

    bool sawWarning = false;
    std::function<void()> beforeMessage;

private:
    QString nextFile() { return files_.isEmpty() ? QString() : files_.takeFirst(); }
    QTextStream& err_;
    QStringList files_;
    bool yes_;
};

// Prints console lines once the next one has begun (or at the end), and judges them.
class ConsolePrinter {
public:
    ConsolePrinter(Console& console, QTextStream& err) : console_(console), err_(err) {
        QObject::connect(&console_, &Console::tailChanged, [this](int) { flush(false); });
        QObject::connect(&console_, &Console::aboutToClear, [this] { flush(true); });
        QObject::connect(&console_, &Console::cleared, [this] { printed_ = 0; });
    }
    void flush(bool all) {
        const int complete = all ? console_.lineCount() : console_.lineCount() - 1;
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
               line == QStringLiteral("读取数据错误，请调低一档速率后再试!") ||
               line.startsWith(QStringLiteral("错误"));
    }
    bool judging = false;
    bool failed = false;

private:
    Console& console_;
    QTextStream& err_;
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

// Sets a control as the user would; an empty result is success, else why it cannot be done. Before
// the port opens (`prefill`) a control disabled only by its panel is still set: --set exists to fill
// such fields. Key filters and length limits apply in every case, and a read-only field is filled
// only through its picker.
QString setControl(const Target& t, const QString& value, bool prefill = false) {
    FormModel& f = *t.form;
    const Control& c = *t.control;
    if (!c.visible) return QStringLiteral("%1 is not shown").arg(t.name);
    if (c.readOnly) return QStringLiteral("%1 is read-only (use its picker and --file)").arg(t.name);
    if (!prefill && !f.isEffectivelyEnabled(t.name)) return QStringLiteral("%1 is disabled").arg(t.name);
    const bool direct = !f.isEffectivelyEnabled(t.name);
    switch (c.kind) {
        case ControlKind::Edit:
        case ControlKind::Memo: {
            const auto typed =
                c.kind == ControlKind::Memo ? std::optional<QString>(value) : f.typedText(t.name, value);
            if (!typed) return QStringLiteral("%1 does not take \"%2\"").arg(t.name, value);
            if (direct)
                f.setText(t.name, *typed);
            else
                f.userSetText(t.name, *typed);
            return {};
        }
        case ControlKind::Combo: {
            if (c.editable) {
                const auto typed = f.typedText(t.name, value);
                if (!typed) return QStringLiteral("%1 does not take \"%2\"").arg(t.name, value);
                if (direct) {
                    f.setCurrentIndex(t.name, static_cast<int>(c.items.indexOf(*typed)));
                    f.setText(t.name, *typed);
                } else {
                    f.userSetText(t.name, *typed);
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
            return QStringLiteral("%1 cannot be set").arg(t.name);
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

void idle(Clock& clock, int ms) {
    const qint64 end = clock.nowUs() + qint64{ms} * 1000;
    do {
        clock.sleepMs(10);
        clock.processEvents();
    } while (clock.nowUs() < end);
}

}  // namespace

int runCli(const QStringList& args, QTextStream& out, QTextStream& err, Clock& clock,
           const std::function<void(MainModel&)>& configure) {
    CliOptions opt;
    QStringList rest;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString& into) {
            if (i + 1 >= args.size()) return false;
            into = args[++i];
            return true;
        };
        QString v;
        if (a == "--port") {
            if (!value(opt.port)) return err << kUsage, 2;
        } else if (a == "--baud") {
            if (!value(opt.baud)) return err << kUsage, 2;
        } else if (a == "--set") {
            if (!value(v)) return err << kUsage, 2;
            opt.sets << v;
        } else if (a == "--file") {
            if (!value(v)) return err << kUsage, 2;
            opt.files << v;
        } else if (a == "--yes") {
            opt.yes = true;
        } else if (a == "--no") {
            opt.yes = false;
        } else if (a == "--fast") {
            opt.sets << QStringLiteral("CheckBoxFast=1");
        } else if (a.startsWith("--")) {
            err << "hddterm-cli: unknown option " << a << "\n" << kUsage;
            return 2;
        } else {
            rest = args.mid(i);
            break;
        }
    }
    if (rest.isEmpty() || (rest[0] != "ports" && rest[0] != "run") ||
        (rest[0] == "ports" && rest.size() > 1)) {
        err << kUsage;
        return 2;
    }

    CliFrontend frontend(err, opt.files, opt.yes);
    MainOptions mo;
    mo.pinCpu = false;
    MainModel model(clock, frontend, mo);
    if (configure) configure(model);

    if (rest[0] == "ports") {
        QStringList ports;
        model.port().EnumComPorts(ports);
        for (const QString& p : ports) out << p << "\n";
        out.flush();
        return 0;
    }

    ConsolePrinter printer(model.console(), err);
    frontend.beforeMessage = [&] { printer.flush(false); };
    model.startUp();
    model.choosePort(opt.port);
    if (!opt.baud.isEmpty() && !model.form().userSelectText("ComboBox2", opt.baud)) {
        printer.flush(true);
        err << "hddterm-cli: baud " << opt.baud << " is not offered for this port\n";
        return 2;
    }
    for (const QString& s : opt.sets) {
        const qsizetype eq = s.indexOf('=');
        const Target t = eq > 0 ? resolve(model, s.left(eq)) : Target{};
        const QString why =
            !t.control ? QStringLiteral("no such control") : setControl(t, s.mid(eq + 1), true);
        if (!why.isEmpty()) {
            printer.flush(true);
            err << "hddterm-cli: cannot set " << s << ": " << why << "\n";
            return 2;
        }
    }
    model.form().userClick("btnSwitch");
    if (!model.isOpen()) {
        printer.flush(true);
        return 2;
    }

    printer.judging = true;
    frontend.sawWarning = false;
    int status = 0;
    for (const QString& action : rest.mid(1)) {
        const qsizetype colon = action.indexOf(':');
        const QString verb = colon > 0 ? action.left(colon) : QString();
        const QString arg = colon > 0 ? action.mid(colon + 1) : QString();
        bool ok = true;
        QString why;
        if (verb == "SET") {
            const qsizetype eq = arg.indexOf('=');
            const Target t = eq > 0 ? resolve(model, arg.left(eq)) : Target{};
            why = !t.control ? QStringLiteral("no such control") : setControl(t, arg.mid(eq + 1));
            ok = why.isEmpty();
        } else if (verb == "CMD") {
            for (QChar c : arg) model.form().userKey("CMD", c);
            model.form().userEnter("CMD");
        } else if (verb == "KEYS") {
            const QByteArray codes = QByteArray::fromHex(arg.toLatin1());
            ok = !arg.isEmpty() && codes.size() * 2 == arg.size();
            for (char c : codes) model.form().userKey("CMD", QChar(static_cast<uchar>(c)));
        } else if (verb == "ENTER") {
            const Target t = resolve(model, arg);
            why = !t.control ? QStringLiteral("no such control") : cannotPress(t);
            ok = why.isEmpty() && t.form->userEnter(t.name);
        } else if (verb == "WAIT") {
            bool num = false;
            const int ms = arg.toInt(&num);
            ok = num && ms >= 0;
            if (ok) idle(clock, ms);
        } else if (verb == "GET") {
            QString name = arg, what;
            for (const char* suffix : {".items", ".enabled", ".visible"}) {
                if (arg.endsWith(QLatin1String(suffix))) {
                    name = arg.left(arg.size() - static_cast<qsizetype>(strlen(suffix)));
                    what = QString::fromLatin1(suffix + 1);
                }
            }
            const Target t = resolve(model, name);
            ok = t.control != nullptr;
            if (ok) {
                out << arg << "=" << readControl(t, what) << "\n";
                out.flush();
            }
        } else if (colon < 0) {
            const Target t = resolve(model, action);
            why = !t.control ? QStringLiteral("no such control") : cannotPress(t);
            ok = why.isEmpty() && t.form->userClick(t.name);
        } else {
            ok = false;
        }
        if (!ok) {
            printer.flush(true);
            err << "hddterm-cli: cannot perform " << action << (why.isEmpty() ? QString() : ": " + why)
                << "\n";
            status = 2;
            break;
        }
    }
    if (model.isOpen()) model.form().userClick("btnSwitch");
    printer.flush(true);
    if (status == 0 && (printer.failed || frontend.sawWarning)) status = 1;
    return status;
}

}  // namespace hdd
