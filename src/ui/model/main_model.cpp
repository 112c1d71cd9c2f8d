// The window's core: construction, start-up, opening and closing the port, the operations' count.
#include "main_model.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "dialog_form.h"
#include "family_table.h"
#include "keys.h"
#include "main_form_controls.h"
#include "terminal.h"
#include "transfer.h"

namespace hdd {

using namespace mainform;

namespace {

// True when a file can be made in the folder (made first when missing).
bool folderWritable(const QString& folder) {
    return QDir().mkpath(folder) && cannotCreateReason(folder + kFamilyFileName).isEmpty();
}
}  // namespace

QString workFolderFor(const QString& programFolder, bool programFolderWritable, const QString& documents) {
    QString folder =
        programFolderWritable || documents.isEmpty() ? programFolder : documents + QStringLiteral("/hddterm");
    if (!folder.endsWith('/')) folder += '/';
    return folder;
}

MainModel::MainModel(Clock& clock, Frontend& frontend, MainOptions options, QObject* parent)
    : QObject(parent),
      clock_(clock),
      frontend_(frontend),
      options_(std::move(options)),
      dialogue_(port_, clock_, *this),
      form_(QStringLiteral("FrmMain")) {
    if (options_.portLister) port_.setSystemPortLister(options_.portLister);
    if (options_.registerPorts) options_.registerPorts(port_, clock_);
    connect(&port_, &SerialPort::portLost, this, &MainModel::onPortLost);
    connect(&port_, &SerialPort::received, this, &MainModel::onReceived);
    connect(&dialogue_, &Dialogue::sent, this,
            [this](const QByteArray& bytes) { hexTraffic_.add(HexTraffic::Direction::Sent, bytes); });
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

void MainModel::startUp(const QString& chosenPort) {
    const QString path =
        options_.programPath.isEmpty() ? QCoreApplication::applicationFilePath() : options_.programPath;
    const QFileInfo exe(path);
    const QString base =
        exe.completeBaseName().isEmpty() ? QStringLiteral("hddterm") : exe.completeBaseName();
    const BannerContacts& contacts = options_.banner;
    baseCaption_ = contacts.web.isEmpty() ? base : base + " " + contacts.web;
    caption_ = baseCaption_;

    Console& c = console();
    c.addLine(base);
    c.addLine(QStringLiteral("联系方式："));
    c.addLine(QStringLiteral("联系方式："));
    // A contact the workstation was given no value for is left out rather than shown empty.
    if (!contacts.chat.isEmpty()) c.addLine(QStringLiteral("在线客服：") + contacts.chat);
    if (!contacts.phone.isEmpty()) c.addLine(QStringLiteral("工程师电话：") + contacts.phone);
    if (!contacts.web.isEmpty()) c.addLine(QStringLiteral("网址：") + contacts.web);
    c.addLine(QStringLiteral("发生硬件问题，请勿自己直接操作，请尽快联系我们的工程师！"));
    c.addLine(QString(65, '='));

    if (options_.pinCpu) pinToRandomCpu();

    programFolder_ = exe.absolutePath().trimmed();
    if (!programFolder_.endsWith('/')) programFolder_ += '/';
    const QString documents = options_.documentsFolder.isEmpty()
                                  ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                                  : options_.documentsFolder;
    workFolder_ = workFolderFor(programFolder_, folderWritable(programFolder_), documents);
    firmwareFolder = workFolder_;
    backupFolder = workFolder_;

    dialogue_.resetCounters();
    listPortsAtStartUp(chosenPort);
    form_.setEnabled(kOperationsPanel, false);
    form_.setEnabled(kRightPanel, false);
    startTerminal(dialogue_);
    for (const auto& step : startUpSteps_) step();
    watchPorts();
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

void MainModel::onSwitch() {
    switchPressed(dialogue_);
    if (!isOpen()) {
        bool ok = false;
        const int baud = form_.text(kBaudList).toInt(&ok);
        if (!ok) {
            warning(QStringLiteral("波特率设定有误\r 请重新输入"), QStringLiteral("警告"));
            return;
        }
        const QString name = form_.text(kPortList);
        if (name.isEmpty() || !port_.OpenComPort(name, baud)) {
            // With no port to open the window stays closed rather than pretending to be open.
            information(kPortMissing);
            return;
        }
        port_.SetControlLines(form_.checked(kBoardPowerCheck));
        portOpened(dialogue_);
        setOpenState(true);
        requestFocus(QStringLiteral("CMD"));
    } else {
        closePort(dialogue_);
        setOpenState(false);
    }
}

void MainModel::setOpenState(bool open) {
    form_.setCaption("btnSwitch", open ? kCloseCaption : kOpenCaption);
    form_.setEnabled(kPortList, !open);
    form_.setEnabled(kOperationsPanel, open);
    form_.setEnabled(kRightPanel, open);
    form_.setVisible("ImageOff", !open);
    form_.setVisible("ImageOn", open);
    refreshStatus();
    // Nobody should mistake the simulated drive for a real one.
    const QString caption =
        open && form_.text(kPortList) == kSimPort ? baseCaption_ + " - " + portTitle() : baseCaption_;
    if (caption != caption_) {
        caption_ = caption;
        emit captionChanged(caption_);
    }
}

void MainModel::onPortLost(PortError) {
    lostPort_ = form_.text(kPortList);
    portLost(dialogue_);
    setOpenState(false);
    if (options_.portPollMs > 0) hotplugDelay_.start();  // the pulled port leaves the list
}

void MainModel::closeWindow() {
    closeTerminal(dialogue_, operationRunning());
    if (port_.isOpen() || isOpen()) {
        closePort(dialogue_);
        setOpenState(false);
    }
}

QString MainModel::savedFilesText(const QList<WrittenFile>& files) {
    if (files.isEmpty()) return QString();
    const WrittenFile& last = files.last();
    const QString name = QDir::toNativeSeparators(last.path);
    if (files.size() == 1) return QStringLiteral("已保存 %1（%2 字节）").arg(name).arg(last.size);
    qint64 total = 0;
    for (const WrittenFile& f : files) total += f.size;
    return QStringLiteral("已保存 %1 个文件（共 %2 字节），最后一个：%3")
        .arg(files.size())
        .arg(total)
        .arg(name);
}

const QList<MainModel::FunctionKey>& MainModel::functionKeys() {
    static const QList<FunctionKey> keys = {{5, "btnSwitch"}, {8, kClearConsoleKey}, {9, kAbortKey}};
    return keys;
}

void MainModel::requestFocus(const QString& name) {
    focused_ = name;
    emit focusRequested(name);
}

void MainModel::refreshStatus() {
    if (!isOpen()) {
        form_.setText("edStatus", kClosedStatus);
    } else {
        form_.setText(
            "edStatus",
            QStringLiteral(" STATUS: %1 Opened %2 None 8 1").arg(portTitle(), form_.text(kBaudList)));
    }
}

void MainModel::refreshCounters() {
    form_.setText("edRx", "Rx:" + QString::number(dialogue_.RxTotal));
    form_.setText("edTx", "Tx:" + QString::number(dialogue_.TxTotal));
}

Outcome MainModel::runOperation(const std::function<Outcome()>& work) {
    ++handlerDepth_;
    Outcome outcome = work();
    --handlerDepth_;
    // A port that went away under an operation failed it, whatever the operation made of the silence
    // (an abort, or a step that still counted as done).
    if (dialogue_.portLost() && outcome.status != Outcome::Status::Failed)
        outcome = Outcome::failed(QStringLiteral("串口连接已断开！")).merge(outcome);
    if (handlerDepth_ == 0) {
        form_.setText(kProgressBar, QString());
        if (!outcome.files.isEmpty()) form_.setText("edFile", savedFilesText(outcome.files));
        lastOutcome_ = outcome;
        emit operationEnded(outcome);
    }
    return outcome;
}

}  // namespace hdd
