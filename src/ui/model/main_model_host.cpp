// The window as the Host of every operation: message boxes and questions through the Frontend,
// the progress bar, the panels off while an operation runs, and the speed shown after a change.
#include "main_model.h"
#include "progress.h"

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

void MainModel::setProgressMax(qint64 max) {
    form_.setMaximum("ProgressBar1", max);
    progressBytes_ = 0;
    refreshProgressText();
}

void MainModel::setProgress(qint64 position) {
    form_.setValue("ProgressBar1", position);
    refreshProgressText();
}

void MainModel::setProgressBytes(qint64 total) {
    progressBytes_ = qMax<qint64>(0, total);
    refreshProgressText();
}

void MainModel::refreshProgressText() {
    // The figures are told while an operation runs; the bar's text goes with its end.
    const Control& bar = form_.at("ProgressBar1");
    const ProgressFigures f = progressMeter_.update(clock_.nowUs(), bar.value, bar.maximum, progressBytes_);
    form_.setText("ProgressBar1", operationRunning() ? progressBarText(f) : QString());
}
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
