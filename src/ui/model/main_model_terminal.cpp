// The terminal's fields: the command line (Enter, control keys, its history and paste), the
// send-byte field and the baud list. What goes to the drive is sent by src/dialogue/terminal.h;
// the window keeps the fields and the history.
#include "main_form_controls.h"
#include "main_model.h"
#include "monitor.h"
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
