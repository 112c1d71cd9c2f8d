// hddterm-cli's run: the window's start-up, the port, the actions in order, the way back to the
// starting speed, the port closed, and the exit status from the operations' outcomes.
#include <QJsonDocument>
#include <QJsonObject>

#include "actions.h"
#include "cli_frontend.h"
#include "cli_runner.h"
#include "clock.h"
#include "console_printer.h"
#include "control_path.h"
#include "dialog_form.h"
#include "exchange.h"
#include "form4.h"
#include "form4_controls.h"
#include "interrupts.h"
#include "main_form_controls.h"
#include "main_model.h"
#include "progress_line.h"
#include "script_file.h"
#include "script_verb.h"
#include "settings.h"
#include "sim_port.h"
#include "text.h"
#include "transcript.h"
#include "transfer.h"
#include "verbs.h"
#include "verdict.h"

namespace hdd {

namespace {

// WAIT: idle as the window would, until the time is up or a signal came.
void idle(Clock& clock, int ms, const int& interrupted) {
    const qint64 end = clock.nowUs() + qint64{ms} * 1000;
    do {
        clock.sleepMs(10);
        clock.processEvents();
    } while (clock.nowUs() < end && !interrupted);
}

}  // namespace

int runCli(const QStringList& args, QTextStream& out, QTextStream& err, Clock& clock,
           const std::function<void(MainModel&)>& configure, const CliEnv& env) {
    CliOptions opt;
    QStringList rest;
    if (const int status = parseCliOptions(args, opt, rest, out, err); status >= 0) return status;
    auto usage = [&](const QString& why) { return cliUsage(err, why); };
    const QString verb = rest.value(0);
    if (verb.isEmpty()) return usage({});
    VerbPlan plan;
    if (isPlanVerb(verb)) {
        const QString why = planVerb(rest, plan);
        if (!why.isEmpty()) return usage(why);
        opt.sets += plan.sets;
        opt.files = plan.files + opt.files;
    } else if (verb != "ports" && verb != "run" && verb != "keys" && verb != "script" && verb != "verify") {
        return usage("unknown verb " + verb);
    }
    if ((verb == "ports" && rest.size() > 1) || (verb == "keys" && rest.size() > 2) ||
        ((verb == "script" || verb == "verify") && rest.size() != 2))
        return usage("wrong arguments for " + verb);
    if (verb == "verify") return runVerify(rest[1], out, err);

    // The language of the message boxes, for this run only (an in-process run puts the old one back).
    const Language language = chooseLanguage(opt.lang, qEnvironmentVariable("HDDTERM_LANG"), QString());
    struct LanguageForRun {
        Language before = currentLanguage();
        explicit LanguageForRun(Language l) {
            if (l != before) setLanguage(l);
        }
        ~LanguageForRun() {
            if (currentLanguage() != before) setLanguage(before);
        }
    } languageForRun(language);
    CliFrontend frontend(err, opt.files, opt.yes);
    MainOptions mo;
    mo.banner = loadBanner(defaultSettingsPath());
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
    ScriptVerb script(opt, out, err);
    if (verb == "script") {
        auto* scripts = dynamic_cast<DialogForm*>(model.formByName(form4::kName));
        const Control* key = model.form().find(mainform::kScriptKey);
        if (!scripts || !scripts->built || !key || !key->visible || !scripts->find(form4::kScriptMemo) ||
            !scripts->find(form4::kRunKey)) {
            err << kCliSelf << "script: the command-script dialog (Form4) is not part of this build\n";
            return 2;
        }
        // Loaded as the dialog's "打开脚本" loads it (GBK, or UTF-8 after a byte-order mark).
        QString why;
        const auto text = loadScriptFile(rest[1], why);
        if (!text) {
            err << kCliSelf << "script: " << rest[1] << ": " << why << "\n";
            return 2;
        }
        scriptBody = *text;
        if (const int status = script.check(rest[1], scriptBody); status >= 0) return status;
        script.listen(model);
        const QString memo = controlOf(form4::kName, form4::kScriptMemo);
        const QString run = controlOf(form4::kName, form4::kRunKey);
        actions = {Action{mainform::kScriptKey, Verb::Key, mainform::kScriptKey, {}, 0, {}},
                   Action{"SET:" + memo + "=" + rest[1], Verb::Set, memo, scriptBody, 0, {}},
                   Action{run, Verb::Key, run, {}, 0, {}}};
    } else {
        for (const QString& text : plan.verb.isEmpty() ? rest.mid(1) : plan.actions) {
            Action a;
            const QString why = parseAction(model, text, a);
            if (!why.isEmpty()) {
                err << kCliSelf << "bad action \"" << text << "\": " << why << "\n";
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
            err << kCliSelf << "cannot write the log " << opt.log << ": " << why << "\n";
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
            err << kCliSelf << "interrupted by " << signalName(interrupted) << "\n";
            status = 128 + interrupted;
        }
        for (const QString& f : frontend.unusedFiles())
            err << kCliSelf << "--file " << f << " was not used\n";
        err.flush();
        return status;
    };

    // A port that cannot be opened is told by its precise reason first, then by the window's message.
    const auto portFailed = [&] {
        printer.flush(true);
        err << kCliSelf << "cannot open " << opt.port << ": "
            << portErrorReason(model.port().lastError(), opt.port) << "\n";
        err.flush();
        frontend.releaseMessages();
        return finish(2);
    };
    frontend.holdMessages();
    model.startUp(opt.port);
    if (model.port().lastError() != PortError::None) return portFailed();
    frontend.releaseMessages();
    if (!opt.baud.isEmpty() && !model.form().userSelectText(mainform::kBaudList, opt.baud)) {
        printer.flush(true);
        err << kCliSelf << "baud " << opt.baud << " is not offered for this port\n";
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
            err << kCliSelf << "cannot set " << s << ": " << why << "\n";
            return finish(2);
        }
        if (!note.isEmpty()) err << kCliSelf << note << "\n";
    }
    if (interrupted) return finish(0);
    frontend.holdMessages();
    model.form().userClick("btnSwitch");
    if (!model.isOpen()) return portFailed();
    frontend.releaseMessages();

    frontend.sawWarning = false;
    // The run is judged by the outcomes of the operations it starts from here on.
    Verdict verdict;
    QObject::connect(&model, &MainModel::operationEnded, &model, [&](const Outcome& o) {
        verdict.operationEnded(o);
        // A check of the tool refused the input before anything was sent: say which field or path.
        if (o.status == Outcome::Status::Refused && o.by == Outcome::By::Check && !o.reason.isEmpty()) {
            progress.clear();
            printer.flush(false);
            err << kCliSelf << "refused: " << QString(o.reason).replace('\n', ' ') << "\n";
            err.flush();
        }
    });
    int status = 0;
    const qint64 startUs = clock.nowUs();
    const QString startSpeed = model.form().text(mainform::kBaudList);
    bool speedFromSet = false;  // the baud selection was last changed by a SET:ComboBox2 action
    QString speedAfterSet;
    // `send`: each line as the command line sends it, the drive's answer (the console lines it
    // brought) on stdout.
    for (const QString& line : plan.sendLines) {
        if (interrupted || d.portLost()) break;
        printer.flush(true);
        const int before = model.console().lineCount();
        const Outcome o = SendAndAwaitPrompt(d, line);
        verdict.operationEnded(o);
        for (int i = before; i < model.console().lineCount(); ++i)
            out << fromGbk(model.console().line(i)) << "\n";
        out.flush();
    }
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
                    err << kCliSelf << note << "\n";
                }
                if (why.isEmpty() && t.form == &model.form() && t.name == mainform::kBaudList) {
                    speedFromSet = true;
                    speedAfterSet = model.form().text(mainform::kBaudList);
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
        if (!(a.verb == Verb::Set && t.name == mainform::kBaudList) && speedFromSet &&
            model.form().text(mainform::kBaudList) != speedAfterSet)
            speedFromSet = false;  // an operation set the speed since: it is left as it ended it
        if (!why.isEmpty()) {
            printer.flush(true);
            err << kCliSelf << "cannot perform " << a.given << ": " << why << "\n";
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
    if (!opt.keepSpeed && speedFromSet && model.isOpen() &&
        model.form().text(mainform::kBaudList) != startSpeed)
        model.form().userSelectText(mainform::kBaudList, startSpeed);
    if (model.isOpen()) model.form().userClick("btnSwitch");
    printer.flush(true);
    if (frontend.sawWarning) verdict.warningShown();
    if (frontend.missedFile) verdict.fileUnanswered();
    if (status == 0) status = verdict.status();
    status = script.finish(verdict.merged(), status);
    if (!plan.verb.isEmpty() && status != 2) {
        if (opt.json) {
            out << verbJson(plan.verb, verdict.merged(), double(clock.nowUs() - startUs) / 1e6) << "\n";
        } else if (!plan.resultField.isEmpty() && status == 0) {
            out << readControl(resolve(model, plan.resultField), QString()) << "\n";
        }
        out.flush();
    }
    return finish(status);
}

}  // namespace hdd
