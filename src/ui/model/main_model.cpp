#include "main_model.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QRegularExpression>
#include <QSerialPortInfo>
#include <QStandardPaths>

#include "dialog_form.h"
#include "drive.h"
#include "family_table.h"
#include "keys.h"
#include "monitor.h"
#include "sim_backend.h"
#include "text.h"
#include "transfer.h"

namespace hdd {

namespace {
const QString kPortMissing = QStringLiteral("选择的端口正在被使用或不存在！");
const QString kWebAddress = QStringLiteral("www.hddterm.example");
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

// True when a file can be made in the folder (made first when missing).
bool folderWritable(const QString& folder) {
    return QDir().mkpath(folder) && cannotCreateReason(folder + kFamilyFileName).isEmpty();
}
}  // namespace

MainModel::MainModel(Clock& clock, Frontend& frontend, MainOptions options, QObject* parent)
    : QObject(parent),
      clock_(clock),
      frontend_(frontend),
      options_(std::move(options)),
      dialogue_(port_, clock_, *this),
      form_(QStringLiteral("FrmMain")) {
    simDrive_ = options_.simDrive;
    if (!simDrive_) {
        simDrive_ = std::make_shared<hddsim::Drive>();
        hddsim::installAllCommands(*simDrive_);
    }
    if (options_.portLister) port_.setSystemPortLister(options_.portLister);
    port_.registerBackend(kSimPort,
                          [this] { return std::make_unique<hddsim::SimBackend>(clock_, simDrive_); });
    connect(&port_, &SerialPort::portLost, this, &MainModel::onPortLost);
    connect(&port_, &SerialPort::received, this, &MainModel::onReceived);
    portPoll_.callOnTimeout(this, &MainModel::refreshPorts);
    hotplugDelay_.setSingleShot(true);
    hotplugDelay_.setInterval(300);  // the device node settles (and gets its rights) a moment later
    hotplugDelay_.callOnTimeout(this, &MainModel::refreshPorts);
    connect(&dialogue_, &Dialogue::countersChanged, this, &MainModel::refreshCounters);
    forms_ << &form_;
    buildControls();
    form_.setCurrentPage(QStringLiteral("监控与维修"));
    installServiceKeys(*this);
    form_.setCurrentPage(QStringLiteral("缓冲区与磁道"));
    installBufferKeys(*this);
    installTrackKeys(*this);
    form_.setCurrentPage(QStringLiteral("固件模块"));
    installFirmwareKeys(*this);
    installIdentityKeys(*this);
    installZoneKeys(*this);
    form_.setCurrentPage(QString());
    createDialogs(*this);
}

MainModel::~MainModel() { port_.CloseComPort(); }

FormModel* MainModel::formByName(const QString& name) {
    for (FormModel* f : forms_) {
        if (f->formName() == name) return f;
    }
    return nullptr;
}

void MainModel::addForm(FormModel* form) { forms_ << form; }

void MainModel::addDialog(std::unique_ptr<FormModel> dialog) {
    forms_ << dialog.get();
    dialogs_.push_back(std::move(dialog));
}

QString MainModel::portTitle() const {
    const QString name = form_.text("ComboBox1");
    return name == kSimPort ? QStringLiteral("模拟硬盘 (%1)").arg(name) : name;
}

void MainModel::buildControls() {
    FormModel& f = form_;
    const QString top = QStringLiteral("Panel3"), ops = QStringLiteral("Panel2"),
                  right = QStringLiteral("Panel6");
    f.add(top, ControlKind::Panel);
    f.add(ops, ControlKind::Panel);
    f.add(right, ControlKind::Panel);

    f.add("ComboBox1", ControlKind::Combo, top).label = "端口";
    f.at("ComboBox1").hint = "列表随串口的插拔自动刷新";
    f.at("ComboBox1").onChange = [this] { onPortChanged(); };
    f.add("ComboBox2", ControlKind::Combo, top).label = "波特率";
    f.at("ComboBox2").onChange = [this] { onBaudChanged(); };
    f.add("btnSwitch", ControlKind::Button, top).caption = kOpenCaption;
    f.at("btnSwitch").onClick = [this] { onSwitch(); };
    f.at("btnSwitch").hint = "打开或关闭串口 (F5)";
    f.add("ImageOn", ControlKind::Image, top).visible = false;
    f.add("ImageOff", ControlKind::Image, top);
    f.add("Button6", ControlKind::Button, top).caption = "清空接收区";
    f.at("Button6").onClick = [this] { console().clear(); };
    f.at("Button6").hint = "清空接收区 (F8)";
    Control& autoClear = f.add("CheckBox2", ControlKind::Check, top);
    autoClear.caption = "自动清空";
    autoClear.checked = true;
    autoClear.onClick = [this] { console().setAutoClear(form_.checked("CheckBox2")); };
    Control& fast = f.add("CheckBoxFast", ControlKind::Check, top);
    fast.caption = "快速等待";
    fast.hint = "等待硬盘应答时一收到应答就继续（命令与超时不变）";
    fast.onClick = [this] { dialogue_.setFastWaits(form_.checked("CheckBoxFast")); };
    Control& hexView = f.add("CheckBoxHex", ControlKind::Check, top);
    hexView.caption = "十六进制";
    hexView.hint = "以十六进制显示接收到的字节（用于不输出文本的硬盘）";
    hexView.onClick = [this] { console().setHexDisplay(form_.checked("CheckBoxHex")); };

    Control& cmd = f.add("CMD", ControlKind::Edit, ops);
    cmd.label = "命令行";
    cmd.onKey = [this](QChar k) { return onCmdKey(k); };
    cmd.onEnter = [this] { onCmdEnter(); };

    Control& sendByte = f.add("Edit21", ControlKind::Edit, ops);
    sendByte.label = "发送字节";
    sendByte.maxLength = 3;
    sendByte.filter = KeyFilter::DecByte;
    sendByte.onEnter = [this] { onSendByte(); };
    Control& dec = f.add("RadioButton1", ControlKind::Radio, ops);
    dec.caption = "DEC";
    dec.group = "sendbyte";
    dec.checked = true;
    dec.onClick = [this] {
        form_.setText("Edit21", QString());
        form_.at("Edit21").maxLength = 3;
        form_.at("Edit21").filter = KeyFilter::DecByte;
        form_.setChecked("RadioButton1", true);
    };
    Control& hex = f.add("RadioButton2", ControlKind::Radio, ops);
    hex.caption = "HEX";
    hex.group = "sendbyte";
    hex.onClick = [this] {
        form_.setText("Edit21", QString());
        form_.at("Edit21").maxLength = 2;
        form_.at("Edit21").filter = KeyFilter::HexByte;
        form_.setChecked("RadioButton2", true);
    };

    Control& speed = f.add("ComboBox7", ControlKind::Combo, ops);
    speed.label = "读写速率:";
    speed.hint = "设置读写磁道数据的速率";
    f.add("ProgressBar1", ControlKind::Progress, ops);
    Control& status = f.add("edStatus", ControlKind::Label, ops);
    status.text = kClosedStatus;  // the same text as after closing
    f.add("edRx", ControlKind::Label, ops).text = "Rx:0";
    f.add("edTx", ControlKind::Label, ops).text = "Tx:0";
    f.add("Button5", ControlKind::Button, ops).caption = "计数清零";
    f.at("Button5").onClick = [this] { dialogue_.resetCounters(); };

    f.add("Button16", ControlKind::Button).caption = "中止命令";
    f.at("Button16").onClick = [this] { dialogue_.AbortRequested = true; };
    f.at("Button16").hint = "中止正在执行的命令 (F9)";
    Control& power = f.add("CheckBox1", ControlKind::Check);
    power.caption = "小板供电";
    power.checked = true;
    power.onClick = [this] { port_.SetControlLines(form_.checked("CheckBox1")); };
}

void MainModel::startUp() {
    const QString path =
        options_.programPath.isEmpty() ? QCoreApplication::applicationFilePath() : options_.programPath;
    const QFileInfo exe(path);
    const QString base =
        exe.completeBaseName().isEmpty() ? QStringLiteral("hddterm") : exe.completeBaseName();
    baseCaption_ = base + " " + kWebAddress;
    caption_ = baseCaption_;

    Console& c = console();
    c.addLine(base);
    c.addLine(QStringLiteral("联系方式："));
    c.addLine(QStringLiteral("联系方式："));
    c.addLine(QStringLiteral("在线客服：hddterm-support"));
    c.addLine(QStringLiteral("工程师电话：400-000-0000"));
    c.addLine(QStringLiteral("网址：") + kWebAddress);
    c.addLine(QStringLiteral("发生硬件问题，请勿自己直接操作，请尽快联系我们的工程师！"));
    c.addLine(QString(65, '='));

    if (options_.pinCpu) pinToRandomCpu();

    programFolder_ = exe.absolutePath().trimmed();
    if (!programFolder_.endsWith('/')) programFolder_ += '/';
    firmwareFolder = programFolder_;

    dialogue_.ReceiveMode.clear();
    dialogue_.resetCounters();

    form_.setItems("ComboBox2", baseSpeedTexts(), 0);
    QStringList ports;
    port_.EnumComPorts(ports);
    portDetails_ = options_.portDescriber ? options_.portDescriber() : systemPortDetails();
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

    form_.setEnabled("Panel2", false);
    form_.setEnabled("Panel6", false);
    dialogue_.ReceiveMode = kUserCmd;
    for (const auto& step : startUpSteps_) step();

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
    portDetails_ = options_.portDescriber ? options_.portDescriber() : systemPortDetails();
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

QString MainModel::familyTableFolder() {
    if (QFileInfo::exists(programFolder_ + kFamilyFileName) || folderWritable(programFolder_))
        return programFolder_;
    QString user = options_.userDataFolder;
    if (user.isEmpty()) {
        user = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        if (user.isEmpty()) return programFolder_;
        user += QStringLiteral("/hddterm");
    }
    if (!user.endsWith('/')) user += '/';
    if (!userFolderNoted_) {
        userFolderNoted_ = true;
        console().addLine(QStringLiteral("程序文件夹不可写，机型表使用：%1").arg(user + kFamilyFileName));
    }
    return user;
}

QStringList MainModel::probeSpeeds(const QString& portName, bool report) {
    QStringList speeds = baseSpeedTexts();
    if (port_.OpenComPort(portName, 9600)) {
        if (port_.SetComBaud(921600)) speeds << highSpeedTexts();
    } else if (report) {
        information(kPortMissing);
    }
    port_.CloseComPort();
    return speeds;
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
    dialogue_.ReceiveMode.clear();
    form_.setItems("ComboBox2", baseSpeedTexts(), 0);
    const QStringList speeds = probeSpeeds(form_.text("ComboBox1"), report);
    form_.setItems("ComboBox2", speeds, 0);
    form_.setItems("ComboBox7", speeds, static_cast<int>(speeds.size()) - 1);
    emit speedListsChanged(speeds);
    dialogue_.ReceiveMode = kUserCmd;
}

void MainModel::onSwitch() {
    dialogue_.AbortRequested = false;
    if (!isOpen()) {
        bool ok = false;
        const int baud = form_.text("ComboBox2").toInt(&ok);
        if (!ok) {
            warning(QStringLiteral("波特率设定有误\r 请重新输入"), QStringLiteral("警告"));
            return;
        }
        const QString name = form_.text("ComboBox1");
        if (name.isEmpty() || !port_.OpenComPort(name, baud)) {
            // With no port to open the window stays closed rather than pretending to be open.
            information(kPortMissing);
            return;
        }
        port_.SetControlLines(form_.checked("CheckBox1"));
        dialogue_.setPortLost(false);
        setOpenState(true);
        requestFocus(QStringLiteral("CMD"));
    } else {
        port_.CloseComPort();
        setOpenState(false);
    }
}

void MainModel::setOpenState(bool open) {
    form_.setCaption("btnSwitch", open ? kCloseCaption : kOpenCaption);
    form_.setEnabled("ComboBox1", !open);
    form_.setEnabled("Panel2", open);
    form_.setEnabled("Panel6", open);
    form_.setVisible("ImageOff", !open);
    form_.setVisible("ImageOn", open);
    refreshStatus();
    // Nobody should mistake the simulated drive for a real one.
    const QString caption =
        open && form_.text("ComboBox1") == kSimPort ? baseCaption_ + " - " + portTitle() : baseCaption_;
    if (caption != caption_) {
        caption_ = caption;
        emit captionChanged(caption_);
    }
}

void MainModel::onPortLost(PortError) {
    dialogue_.AbortRequested = true;
    dialogue_.setPortLost(true);
    console().addSealedLine(QStringLiteral("错误: 串口连接已断开！"));
    setOpenState(false);
    if (options_.portPollMs > 0) hotplugDelay_.start();  // the pulled port leaves the list
}

void MainModel::onBaudChanged() {
    if (!isOpen()) return;
    form_.setEnabled("btnSwitch", false);
    dialogue_.ReceiveMode.clear();
    console().addLine(QStringLiteral("正在调整速率，请稍候........"));
    bool answered = false;
    runOperation([this, &answered] { answered = SetSpeed(); });
    // A drive that no longer answers at the new speed is not "done": say so.
    console().appendToLastLine(answered ? QStringLiteral("完成！") : QStringLiteral("失败！"));
    dialogue_.ReceiveMode = kUserCmd;
    dialogue_.SendString("\r");
    form_.setEnabled("btnSwitch", true);
}

bool MainModel::AdSpeed() { return AdMySpeed(dialogue_, form_.text("ComboBox7")); }
bool MainModel::SetSpeed() { return AdMySpeed(dialogue_, form_.text("ComboBox2")); }

bool MainModel::onCmdKey(QChar key) {
    dialogue_.ReceiveMode = kUserCmd;
    if (key.unicode() < 0x20 && key.unicode() != 0x08) {
        dialogue_.SendString(QByteArray(1, static_cast<char>(key.unicode())));
        return true;
    }
    return false;
}

void MainModel::onCmdEnter() {
    dialogue_.ReceiveMode = kUserCmd;
    const QString line = form_.text("CMD").trimmed();
    dialogue_.SendString(toGbk(line) + "\r");
    if (!line.isEmpty() && (history_.isEmpty() || history_.last() != line)) {
        history_ << line;
        if (history_.size() > kHistoryMax) history_.removeFirst();
    }
    historyPos_ = history_.size();
    historyDraft_.clear();
    form_.setText("CMD", QString());
}

void MainModel::historyPrevious() {
    if (!form_.isUsable("CMD") || historyPos_ <= 0) return;
    if (historyPos_ >= history_.size()) historyDraft_ = form_.text("CMD");  // the line being typed
    --historyPos_;
    form_.setText("CMD", history_[historyPos_]);
}

void MainModel::historyNext() {
    if (!form_.isUsable("CMD") || historyPos_ >= history_.size()) return;
    ++historyPos_;
    form_.setText("CMD", historyPos_ == history_.size() ? historyDraft_ : history_[historyPos_]);
}

QString MainModel::commandLinePaste(const QString& clip) {
    QString line;
    for (const QString& l : clip.split(QRegularExpression(QStringLiteral("[\r\n]")))) {
        if (!l.trimmed().isEmpty()) {
            line = l;
            break;
        }
    }
    line.removeIf([](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
    return line;
}

void MainModel::pasteIntoCommandLine(const QString& clip) {
    if (!form_.isUsable("CMD")) return;
    form_.setText("CMD", form_.text("CMD") + commandLinePaste(clip));
}

bool MainModel::saveConsoleText(const QString& path) {
    return saveFile(path, console().displayText().toUtf8());
}

void MainModel::saveConsoleAs() {
    const FileRequest request{
        QStringLiteral("保存为文本"),
        QDateTime::currentDateTime().toString(QStringLiteral("'console_'yyyyMMdd_HHmmss'.txt'")),
        QStringLiteral("文本文件|*.txt|所有文件|*.*"), QStringLiteral("*.txt")};
    const QString file = frontend_.saveFileName(request);
    if (file.isEmpty()) return;
    if (!saveConsoleText(file)) warning(QStringLiteral("保存文件失败！\n") + file);
}

const QList<MainModel::FunctionKey>& MainModel::functionKeys() {
    static const QList<FunctionKey> keys = {{5, "btnSwitch"}, {8, "Button6"}, {9, "Button16"}};
    return keys;
}

void MainModel::requestFocus(const QString& name) {
    focused_ = name;
    emit focusRequested(name);
}

void MainModel::onReceived(const QByteArray& chunk) {
    // The dispatcher shows text in the "usercmd" mode only; the hexadecimal view follows it.
    if (console().hexDisplay() && dialogue_.ReceiveMode == kUserCmd) console().insertHex(chunk);
}

void MainModel::onSendByte() {
    dialogue_.ReceiveMode = kUserCmd;
    const QString t = form_.text("Edit21").trimmed();
    bool ok = false;
    const uint v = t.toUInt(&ok, form_.checked("RadioButton2") ? 16 : 10);
    if (!ok) {
        information(QStringLiteral("请输入有效的数字！"));
        return;
    }
    dialogue_.SendString(QByteArray(1, static_cast<char>(v & 0xFF)));
    form_.setText("Edit21", QString());
}

void MainModel::refreshStatus() {
    if (!isOpen()) {
        form_.setText("edStatus", kClosedStatus);
    } else {
        form_.setText(
            "edStatus",
            QStringLiteral(" STATUS: %1 Opened %2 None 8 1").arg(portTitle(), form_.text("ComboBox2")));
    }
}

void MainModel::refreshCounters() {
    form_.setText("edRx", "Rx:" + QString::number(dialogue_.RxTotal));
    form_.setText("edTx", "Tx:" + QString::number(dialogue_.TxTotal));
}

void MainModel::closeWindow() {
    dialogue_.AbortRequested = true;
    if (operationRunning()) dialogue_.beginShutdown();
    if (port_.isOpen() || isOpen()) {
        port_.CloseComPort();
        setOpenState(false);
    }
}

Outcome MainModel::runOperation(const std::function<Outcome()>& work) {
    ++handlerDepth_;
    const Outcome outcome = work();
    --handlerDepth_;
    if (handlerDepth_ == 0) {
        lastOutcome_ = outcome;
        emit operationEnded(outcome);
    }
    return outcome;
}

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
