// The port chooser: the list of ports with the adapter behind each, the speeds a chosen port
// takes, and the list read again as adapters come and go (hot-plug).
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSerialPortInfo>

#include "main_model.h"
#include "monitor.h"
#include "terminal.h"

namespace hdd {

namespace {
const QString kSimDetails = QStringLiteral("模拟硬盘");

QHash<QString, QString> systemPortDetails() {
    QHash<QString, QString> out;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        QString details = info.description().trimmed();
        if (!info.serialNumber().trimmed().isEmpty())
            details += (details.isEmpty() ? "SN:" : " SN:") + info.serialNumber().trimmed();
        if (!details.isEmpty()) out.insert(info.portName(), details);
    }
    return out;
}
}  // namespace

QString MainModel::portTitle() const {
    const QString name = form_.text("ComboBox1");
    return name == kSimPort ? QStringLiteral("模拟硬盘 (%1)").arg(name) : name;
}

void MainModel::readPortDetails() {
    portDetails_ = options_.portDescriber ? options_.portDescriber() : systemPortDetails();
}

void MainModel::listPortsAtStartUp() {
    form_.setItems("ComboBox2", baseSpeedTexts(), 0);
    QStringList ports;
    port_.EnumComPorts(ports);
    readPortDetails();
    int selected = ports.isEmpty() ? -1 : 0;
    if (!preferredPort.isEmpty()) {
        if (ports.contains(preferredPort)) {
            selected = static_cast<int>(ports.indexOf(preferredPort));
        } else if (preferredPort.startsWith('/') && QFileInfo::exists(preferredPort)) {
            extraPorts_ << preferredPort;
            ports << preferredPort;
            selected = static_cast<int>(ports.size()) - 1;
        }
    }
    form_.setItems("ComboBox1", ports, selected, portLabels(ports));

    QStringList speeds = baseSpeedTexts();
    const QString first = form_.text("ComboBox1");
    if (!first.isEmpty()) speeds = probeSpeeds(first, false);
    form_.setItems("ComboBox2", speeds, 0);
    form_.setItems("ComboBox7", speeds, static_cast<int>(speeds.size()) - 1);
    emit speedListsChanged(speeds);
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
    const QString details = name == kSimPort ? kSimDetails : portDetails_.value(name);
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
    const QStringList labels = portLabels(names);
    const Control& c = form_.at("ComboBox1");
    if (names == c.items && labels == c.itemLabels) return;
    int index = static_cast<int>(names.indexOf(c.currentText()));
    const bool kept = index >= 0;
    if (!kept) index = names.isEmpty() ? -1 : 0;
    form_.setItems("ComboBox1", names, index, labels);
    if (!kept && index >= 0) probePortSpeeds(false);
}

QStringList MainModel::probeSpeeds(const QString& portName, bool report) {
    const std::optional<QStringList> speeds = probeLinkSpeeds(dialogue_, portName);
    if (!speeds && report) information(kPortMissing);
    return speeds.value_or(baseSpeedTexts());
}

void MainModel::choosePort(const QString& name) {
    Control& c = form_.at("ComboBox1");
    int i = static_cast<int>(c.items.indexOf(name));
    if (i < 0) {
        QStringList items = c.items;
        items << name;
        if (!extraPorts_.contains(name)) extraPorts_ << name;
        form_.setItems("ComboBox1", items, c.currentIndex, portLabels(items));
        i = static_cast<int>(items.size()) - 1;
    }
    if (c.currentIndex == i) {
        onPortChanged();  // the same port again still runs its probe, as a fresh choice would
    } else {
        form_.userSelect("ComboBox1", i);
    }
}

void MainModel::onPortChanged() { probePortSpeeds(true); }

void MainModel::probePortSpeeds(bool report) {
    form_.setItems("ComboBox2", baseSpeedTexts(), 0);
    const QStringList speeds = probeSpeeds(form_.text("ComboBox1"), report);
    form_.setItems("ComboBox2", speeds, 0);
    form_.setItems("ComboBox7", speeds, static_cast<int>(speeds.size()) - 1);
    emit speedListsChanged(speeds);
}

}  // namespace hdd
