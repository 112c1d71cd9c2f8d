// The terminal's fields: the command line (Enter, control keys, its history and paste), the
// send-byte field and the baud list. What goes to the drive is sent by src/dialogue/terminal.h;
// the window keeps the fields and the history.
#include <QRegularExpression>

#include "exchange.h"
#include "form4_controls.h"
#include "main_form_controls.h"
#include "main_model.h"
#include "monitor.h"
#include "script_line.h"
#include "terminal.h"

namespace hdd {

using namespace mainform;

bool MainModel::onCmdKey(QChar key) { return sendControlKey(dialogue_, key); }

void MainModel::onCmdEnter() {
    const QString line = form_.text("CMD").trimmed();
    sendCommandLine(dialogue_, line);
    history_.add(line);
    form_.setText("CMD", QString());
}

void MainModel::historyPrevious() {
    if (!form_.isUsable("CMD")) return;
    if (const auto line = history_.previous(form_.text("CMD"))) form_.setText("CMD", *line);
}

void MainModel::historyNext() {
    if (!form_.isUsable("CMD")) return;
    if (const auto line = history_.next()) form_.setText("CMD", *line);
}

QString MainModel::commandLinePaste(const QString& clip) { return hdd::commandLinePaste(clip); }

void MainModel::pasteIntoCommandLine(const QString& clip) {
    if (!form_.isUsable("CMD")) return;
    form_.setText("CMD", form_.text("CMD") + commandLinePaste(clip));
}

QStringList MainModel::pastedLines(const QString& clip) {
    QStringList lines;
    for (const QString& l : clip.split(QRegularExpression(QStringLiteral("\r\n|[\r\n]")))) {
        const QString line = commandLinePaste(l);
        if (!line.trimmed().isEmpty()) lines << line.trimmed();
    }
    return lines;
}

QString MainModel::scriptOfLines(const QStringList& lines) {
    // Lines that are script commands already stay; any other line becomes a command the script types.
    QStringList script;
    for (const QString& line : lines) {
        const ScriptOp op = ParseScriptLine(line).op;
        const bool command = op != ScriptOp::Skip && op != ScriptOp::Show && op != ScriptOp::Unknown;
        script << (command ? line : QStringLiteral("STR/") + line);
    }
    return script.join('\n');
}

bool MainModel::pasteSeveralLines(const QString& clip) {
    const QStringList lines = pastedLines(clip);
    if (lines.size() < 2 || !form_.isUsable("CMD")) return false;
    const QString text = QStringLiteral("剪贴板中有 %1 行命令，如何处理？\n\n%2")
                             .arg(lines.size())
                             .arg(QStringList(lines.mid(0, 8)).join('\n') + (lines.size() > 8 ? "\n…" : ""));
    const QStringList choices = {QStringLiteral("逐行发送（每行等待提示符）"),
                                 QStringLiteral("在命令脚本中打开")};
    switch (frontend_.choose(text, QStringLiteral("粘贴"), choices, QStringLiteral("只粘贴第一行"))) {
        case 0:
            for (const QString& line : lines) history_.add(line);
            runOperation([this, &lines] { return SendLinesAtPrompt(dialogue_, lines); });
            break;
        case 1:
            if (FormModel* script = formByName(form4::kName)) {
                script->setText(form4::kScriptMemo, scriptOfLines(lines));
                form_.userClick(QLatin1String(kScriptKey));
            }
            break;
        default:
            return false;  // the first line goes into the command line, as a paste of one line
    }
    return true;
}

void MainModel::onSendByte() {
    const Outcome o = sendByte(dialogue_, form_.text(kSendByteField), form_.checked(kHexOption));
    if (!o.isDone()) {
        information(o.reason);
        return;
    }
    form_.setText(kSendByteField, QString());
}

void MainModel::onBaudChanged() {
    if (!isOpen()) return;
    form_.setEnabled("btnSwitch", false);
    const QString speed = form_.text(kBaudList);
    runOperation([this, &speed] { return changeLinkSpeed(dialogue_, speed); });
    form_.setEnabled("btnSwitch", true);
}

bool MainModel::AdSpeed() { return AdMySpeed(dialogue_, form_.text(kTransferSpeedList)); }

}  // namespace hdd
