// The window as the Host of every operation: message boxes and questions through the Frontend,
// the progress bar, the panels off while an operation runs, and the speed shown after a change.
#include "main_model.h"

namespace hdd {

void MainModel::information(const QString& text, const QString& title) {
    frontend_.message(MessageKind::Information, text, title);
}

void MainModel::warning(const QString& text, const QString& title) {
    frontend_.message(MessageKind::Warning, text, title);
}

bool MainModel::question(const QString& text, const QString& title) {
    return frontend_.question(text, title);
}

void MainModel::setProgressMax(qint64 max) { form_.setMaximum("ProgressBar1", max); }
void MainModel::setProgress(qint64 position) { form_.setValue("ProgressBar1", position); }
qint64 MainModel::progress() const { return form_.find("ProgressBar1")->value; }

void MainModel::setBusy(bool busy) {
    // Operations nest (a key calling another's work): the panels come back with the outermost end.
    busyDepth_ = qMax(0, busyDepth_ + (busy ? 1 : -1));
    const bool idle = busyDepth_ == 0;
    // A port lost during the operation leaves the operation panels off.
    form_.setEnabled("Panel3", idle);
    form_.setEnabled("Panel2", idle && isOpen());
    form_.setEnabled("Panel6", idle && isOpen());
}

void MainModel::hostSpeedChanged(const QString& speedText) {
    form_.selectText("ComboBox2", speedText);
    refreshStatus();
}

}  // namespace hdd
