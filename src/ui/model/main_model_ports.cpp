// The port chooser: the list of ports with the adapter behind each, the speeds a chosen port
// takes, and the list read again as adapters come and go (hot-plug).
#include <QFileInfo>
#include <QFileSystemWatcher>

#include "main_form_controls.h"
#include "main_model.h"
#include "monitor.h"
#include "terminal.h"

namespace hdd {

using namespace mainform;

namespace {
const QString kSimDetails = QStringLiteral("模拟硬盘");
const QString kMissingDetails = QStringLiteral("未连接");
}  // namespace

QString MainModel::portTitle() const {
    const QString name = form_.text(kPortList);
    return name == kSimPort ? QStringLiteral("模拟硬盘 (%1)").arg(name) : name;
}

void MainModel::readPortDetails() {
    portDetails_ = options_.portDescriber ? options_.portDescriber() : systemPortDetails();
}

void MainModel::listPortsAtStartUp(const QString& chosen) {
    form_.setItems(kBaudList, baseSpeedTexts(), 0);
    QStringList ports;
    port_.EnumComPorts(ports);
    readPortDetails();
    // Only a port somebody chose is opened to learn its speeds (opening a port can reset what hangs
    // on it): the one named on the command line (probed as a choice, with its message), the one of
    // the last run (quietly), or a port that is no device (the simulated drive). Any other port is
    // only selected; its speeds are probed when the user picks it.
    const QString wanted = chosen.isEmpty() ? preferredPort : chosen;
    int selected = ports.isEmpty() ? -1 : 0;
    bool probe = false;
    if (!wanted.isEmpty()) {
        if (ports.contains(wanted)) {
            selected = static_cast<int>(ports.indexOf(wanted));
            probe = true;
        } else if (chosen.isEmpty() && wanted.startsWith('/') && QFileInfo::exists(wanted)) {
            extraPorts_ << wanted;
            ports << wanted;
            selected = static_cast<int>(ports.size()) - 1;
            probe = true;
        }
    }
    form_.setItems(kPortList, ports, selected, portLabels(ports));
    if (!chosen.isEmpty()) {
        choosePort(chosen);
        return;
    }
    if (probe) {
        probePortSpeeds(false);
    } else {
        listSpeedsOfUnchosenPort();
    }
}

void MainModel::watchPorts() {
    if (options_.portPollMs > 0) portPoll_.start(options_.portPollMs);
    QStringList watched;
    for (const QString& folder : options_.hotplugFolders) {
        if (QFileInfo(folder).isDir()) watched << folder;
    }
    if (!watched.isEmpty()) {
        auto* watcher = new QFileSystemWatcher(watched, this);
        connect(watcher, &QFileSystemWatcher::directoryChanged, this, [this] { hotplugDelay_.start(); });
    }
}

QStringList MainModel::portLabels(const QStringList& names) const {
    QStringList out;
    for (const QString& n : names) out << portLabel(n);
    return out;
}

QString MainModel::portLabel(const QString& name) const {
    const QString details = name == kSimPort               ? kSimDetails
                            : missingPorts_.contains(name) ? kMissingDetails
                                                           : portDetails_.value(name);
    return details.isEmpty() ? name : name + " - " + details;
}

void MainModel::refreshPorts() {
    // The list stays as it is while a port is open or an operation runs (ComboBox1 is off then).
    if (isOpen() || port_.isOpen() || operationRunning()) return;
    QStringList names;
    port_.EnumComPorts(names);
    readPortDetails();
    // Device paths the user chose stay in the list while they exist.
    extraPorts_.removeIf([](const QString& p) { return !QFileInfo::exists(p); });
    for (const QString& p : std::as_const(extraPorts_)) {
        if (!names.contains(p)) names << p;
    }
    // A port lost while open stays selected, marked missing, so that the open key opens that device
    // again once it is back and never another one.
    const Control& c = form_.at(kPortList);
    const QString current = c.currentText();
    const bool wasMissing = missingPorts_.contains(current);
    missingPorts_.clear();
    if (!current.isEmpty() && current == lostPort_ && !names.contains(current)) {
        missingPorts_ << current;
        names << current;
    }
    const QStringList labels = portLabels(names);
    if (names == c.items && labels == c.itemLabels) return;
    int index = static_cast<int>(names.indexOf(current));
    const bool kept = index >= 0;
    if (!kept) index = names.isEmpty() ? -1 : 0;
    form_.setItems(kPortList, names, index, labels);
    if (kept && wasMissing && missingPorts_.isEmpty()) {
        probePortSpeeds(false);  // the lost port is back: its speeds are learnt again
    } else if (!kept && index >= 0) {
        listSpeedsOfUnchosenPort();
    }
}

void MainModel::listSpeedsOfUnchosenPort() {
    // Opening a port can reset what hangs on it: a port nobody chose is only probed when it is no
    // device (the simulated drive); a device gets the base speeds until the user picks it.
    if (port_.isRegistered(form_.text(kPortList))) {
        probePortSpeeds(false);
        return;
    }
    const QStringList speeds = baseSpeedTexts();
    form_.setItems(kBaudList, speeds, 0);
    form_.setItems(kTransferSpeedList, speeds, static_cast<int>(speeds.size()) - 1);
    emit speedListsChanged(speeds);
}

QStringList MainModel::probeSpeeds(const QString& portName, bool report) {
    const std::optional<QStringList> speeds = probeLinkSpeeds(dialogue_, portName);
    if (!speeds && report) information(kPortMissing);
    return speeds.value_or(baseSpeedTexts());
}

void MainModel::choosePort(const QString& name) {
    Control& c = form_.at(kPortList);
    int i = static_cast<int>(c.items.indexOf(name));
    if (i < 0) {
        QStringList items = c.items;
        items << name;
        if (!extraPorts_.contains(name)) extraPorts_ << name;
        form_.setItems(kPortList, items, c.currentIndex, portLabels(items));
        i = static_cast<int>(items.size()) - 1;
    }
    if (c.currentIndex == i) {
        onPortChanged();  // the same port again still runs its probe, as a fresh choice would
    } else {
        form_.userSelect(kPortList, i);
    }
}

void MainModel::onPortChanged() {
    if (form_.text(kPortList) != lostPort_) lostPort_.clear();  // another port was chosen
    probePortSpeeds(true);
}

void MainModel::probePortSpeeds(bool report) {
    form_.setItems(kBaudList, baseSpeedTexts(), 0);
    const QStringList speeds = probeSpeeds(form_.text(kPortList), report);
    form_.setItems(kBaudList, speeds, 0);
    form_.setItems(kTransferSpeedList, speeds, static_cast<int>(speeds.size()) - 1);
    emit speedListsChanged(speeds);
}

}  // namespace hdd
