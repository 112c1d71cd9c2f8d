// The window as the Host of every operation: message boxes and questions through the Frontend,
// the progress bar, the panels off while an operation runs, and the speed shown after a change.
#include "main_form_controls.h"
#include "main_model.h"
#include "progress.h"

namespace hdd {

using namespace mainform;

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
    form_.setMaximum(kProgressBar, max);
    progressBytes_ = 0;
    refreshProgressText();
}

void MainModel::setProgress(qint64 position) {
    form_.setValue(kProgressBar, position);
    refreshProgressText();
}

void MainModel::setProgressBytes(qint64 total) {
    progressBytes_ = qMax<qint64>(0, total);
    refreshProgressText();
}

void MainModel::refreshProgressText() {
    // The figures are told while an operation runs; the bar's text goes with its end.
    const Control& bar = form_.at(kProgressBar);
    const ProgressFigures f = progressMeter_.update(clock_.nowUs(), bar.value, bar.maximum, progressBytes_);
    form_.setText(kProgressBar, operationRunning() ? progressBarText(f) : QString());
}
qint64 MainModel::progress() const { return form_.find(kProgressBar)->value; }

void MainModel::setBusy(bool busy) {
    // Operations nest (a key calling another's work): the panels come back with the outermost end.
    busyDepth_ = qMax(0, busyDepth_ + (busy ? 1 : -1));
    const bool idle = busyDepth_ == 0;
    // A port lost during the operation leaves the operation panels off.
    form_.setEnabled(kTopBar, idle);
    form_.setEnabled(kOperationsPanel, idle && isOpen());
    form_.setEnabled(kRightPanel, idle && isOpen());
}

void MainModel::hostSpeedChanged(const QString& speedText) {
    form_.selectText(kBaudList, speedText);
    refreshStatus();
}

}  // namespace hdd
