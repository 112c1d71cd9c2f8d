// Form4 "命令脚本": the script editor, its run and stop keys, the script files and the eight
// built-in scripts.
//
// While a script runs every control of the dialog is off except the stop key, which stays live
// (the run's waits pump events, so a press lands between two pulses and the run ends after the
// current line). The dialog therefore manages its controls' enabled states itself instead of
// disabling the whole form as other dialogs' operations do. The run still counts as an operation
// of the main window.
#include "form4.h"

#include <QHash>

#include "builtin_scripts.h"
#include "dialog_form.h"
#include "form4_controls.h"
#include "main_form_controls.h"
#include "main_model.h"
#include "script.h"
#include "script_check.h"
#include "script_file.h"

namespace hdd {

using namespace form4;

namespace {

const QString kFormName = QLatin1String(kName);
const QString kFilter = QStringLiteral("CMD|*.CMD|所有文件|*.*");
const QString kExtension = QStringLiteral("*.cmd");

// The headless front end's ear on the lines of a run (see onScriptLine).
struct LineListener : QObject {
    std::function<void(const ScriptLineResult&)> heard;
};
const QString kListener = QStringLiteral("scriptLineListener");

// "运行脚本": the editor's script as one operation of the main window, with the run's outcome.
// Every line that cannot run as written is listed on the console first; then the script runs as
// it always has, those lines included (ignored or refused as they come).
Outcome runKey(DialogForm& f) {
    MainModel& m = f.main();
    const QString script = f.text(kScriptMemo);
    if (trimBlanks(script).isEmpty()) {
        const QString message = QStringLiteral("请输入要执行的命令脚本！");
        m.information(message);
        return Outcome::refused(Outcome::By::Input, message);
    }
    QHash<QString, bool> enabled;
    for (const auto& c : f.controls()) {
        if (c->name == kStopKey) continue;
        enabled.insert(c->name, c->enabled);
        f.setEnabled(c->name, false);
    }
    f.setEnabled(kStopKey, true);
    const QStringList lines = script.split('\n');
    for (const ScriptFinding& finding : CheckScript(lines)) m.console().addLine(findingLine(finding));
    ScriptHooks hooks;
    hooks.showLine = [&f](const QString& line) { f.setText(kRunningLineField, line); };
    hooks.portSpeed = [&m] { return m.form().text(mainform::kBaudList); };
    if (auto* l = f.findChild<LineListener*>(kListener, Qt::FindDirectChildrenOnly))
        hooks.lineEnded = l->heard;
    const Outcome outcome = RunScript(m.dialogue(), lines, hooks);
    for (auto it = enabled.cbegin(); it != enabled.cend(); ++it) f.setEnabled(it.key(), it.value());
    f.setEnabled(kStopKey, false);
    return outcome;
}

bool loadInto(DialogForm& f, const QString& file) {
    QString error;
    const auto text = loadScriptFile(file, error);
    if (!text) {
        f.main().warning(error);
        return false;
    }
    f.setText(kScriptMemo, *text);
    return true;
}

void openKey(DialogForm& f) {
    const QString file =
        f.main().frontend().openFileName({QStringLiteral("打开脚本"), QString(), kFilter, kExtension});
    if (!file.isEmpty()) loadInto(f, file);
}

void saveKey(DialogForm& f) {
    const QString file =
        f.main().frontend().saveFileName({QStringLiteral("保存脚本"), QString(), kFilter, kExtension});
    if (file.isEmpty()) return;
    QString error;
    if (!saveScriptFile(file, f.text(kScriptMemo), error)) f.main().warning(error);
}

Control& key(DialogForm& f, const QString& name, const QString& caption, std::function<void()> click,
             const QString& box = QString()) {
    Control& c = f.add(name, ControlKind::Button);
    c.caption = caption;
    c.box = box;
    c.onClick = std::move(click);
    return c;
}

DialogForm* scriptForm(MainModel& m) { return dynamic_cast<DialogForm*>(m.formByName(kFormName)); }

}  // namespace

std::unique_ptr<DialogForm> makeForm4(MainModel& m) {
    auto form = std::make_unique<DialogForm>(m, kFormName, QStringLiteral("命令脚本"));
    DialogForm& f = *form;
    Control& editor = f.add(kScriptMemo, ControlKind::Memo);
    editor.label = QStringLiteral("当前命令脚本：");
    f.addEdit(kRunningLineField, QStringLiteral("正在执行命令：")).readOnly = true;

    key(f, kRunKey, QStringLiteral("运行脚本"), [&f] { f.main().runOperation([&f] { return runKey(f); }); });
    key(f, kStopKey, QStringLiteral("停止运行"), [&f] { f.abort(); }).enabled = false;
    key(f, QLatin1String(kOpenKey), QStringLiteral("打开脚本"), [&f] { openKey(f); });
    key(f, QLatin1String(kSaveKey), QStringLiteral("保存脚本"), [&f] { saveKey(f); });
    key(f, QLatin1String(kClearKey), QStringLiteral("清空脚本"), [&f] { f.setText(kScriptMemo, QString()); });

    for (const BuiltinScript& s : builtinScripts()) {
        auto fill = [&f, text = s.lines.join('\n')] { f.setText(kScriptMemo, text); };
        key(f, s.key, s.caption, fill, QStringLiteral("内置脚本"));
    }
    return form;
}

bool runScriptFile(MainModel& m, const QString& file) {
    DialogForm* f = scriptForm(m);
    const QString show = mainform::kScriptKey;
    if (!f || !m.form().isUsable(show)) return false;
    m.form().userClick(show);
    if (!loadInto(*f, file)) return false;
    f->userClick(kRunKey);
    return true;
}

bool onScriptLine(MainModel& m, std::function<void(const ScriptLineResult&)> heard) {
    DialogForm* f = scriptForm(m);
    if (!f) return false;
    auto* l = f->findChild<LineListener*>(kListener, Qt::FindDirectChildrenOnly);
    if (!l) {
        l = new LineListener;
        l->setObjectName(kListener);
        l->setParent(f);
    }
    l->heard = std::move(heard);
    return true;
}

int stopScriptWhen(MainModel& m, std::function<bool()> when) {
    Clock& clock = m.clock();
    auto id = std::make_shared<int>(0);
    *id = clock.addPoller([&m, &clock, when = std::move(when), id] {
        DialogForm* f = scriptForm(m);
        if (!f || !f->isUsable(kStopKey) || !when()) return;
        clock.removePoller(*id);
        f->userClick(kStopKey);
    });
    // The clock may outlive the window.
    QObject::connect(&m, &QObject::destroyed, [&clock, id] { clock.removePoller(*id); });
    return *id;
}

}  // namespace hdd
