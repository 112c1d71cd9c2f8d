// The main window without widgets.
//
// MainModel holds the main form's controls (FormModel "FrmMain"), the serial port, the
// dialogue and the console, runs the window's start-up, and carries the handler of every key.
// It is the Host through which operations report. The Qt view (src/ui/view), the CLI and the
// tests drive it through the same calls, so every key runs the same code everywhere.
//
// Keys of each subsystem are added by an install function of their own (installServiceKeys,
// installBufferKeys, ...), called from the constructor. The model's own work is spread by
// responsibility: main_model.cpp (construction, start-up, opening and closing),
// main_model_controls.cpp (the window's controls), main_model_ports.cpp (the port list and its
// hot-plug), main_model_terminal.cpp (the command line, the send-byte field and the baud list,
// sending through src/dialogue/terminal.h), main_model_console.cpp (the console's hexadecimal view
// and saving) and main_model_host.cpp (the Host role).
//
// The window knows no simulated drive: whoever builds it offers the "sim" port (registerPorts).
#pragma once

#include <QHash>
#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <type_traits>
#include <typeindex>

#include "command_history.h"
#include "dialogue.h"
#include "form_model.h"
#include "frontend.h"
#include "hex_traffic.h"
#include "host.h"
#include "outcome.h"
#include "progress.h"
#include "serial_port.h"

namespace hdd {

// The contact lines of the start-up banner (the settings file's [banner] group); an empty one is
// left out, and the web address also follows the program's name in the window caption.
struct BannerContacts {
    QString chat;
    QString phone;
    QString web;
};

// The folder the pickers, the backup and the F-level boot start in: the program folder where it can
// be written (a program unpacked into a folder of its own), otherwise (an installed program)
// "hddterm" in the user's documents folder. Both with a trailing "/".
QString workFolderFor(const QString& programFolder, bool programFolderWritable, const QString& documents);

struct MainOptions {
    // How the system lists its serial ports (default: QtSerialPort's list).
    std::function<QStringList()> portLister;
    // The adapter behind each system port, as "description SN:serial" by port name (default:
    // QtSerialPort's port information).
    std::function<QHash<QString, QString>()> portDescriber;
    // While the port is closed the list is read again this often (0: only when asked) and whenever
    // one of the hot-plug folders changes (a device node appears or goes).
    int portPollMs = 0;
    QStringList hotplugFolders;
    // Where HDDINFO.TXT lives when the program folder cannot be written (default: the user's data
    // folder).
    QString userDataFolder;
    // Adds the ports that are no system device to the window's port (the program, hddterm-cli and
    // the tests add the simulated drive as "sim"); called once, before anything is listed.
    std::function<void(SerialPort&, Clock&)> registerPorts;
    // The executable's path (default: the application's).
    QString programPath;
    bool pinCpu = true;
    BannerContacts banner;
    // The user's documents folder (default: the system's), for workFolderFor().
    QString documentsFolder;
};

class MainModel : public QObject, public Host {
    Q_OBJECT
public:
    static inline const QString kSimPort = QStringLiteral("sim");

    MainModel(Clock& clock, Frontend& frontend, MainOptions options = {}, QObject* parent = nullptr);
    ~MainModel() override;

    // The window's start-up, in order: caption, banner, CPU, folders, lists, speed probe, panels.
    // A port named on the command line is selected as a choice of the user (and probed alone).
    void startUp(const QString& chosenPort = QString());

    FormModel& form() { return form_; }
    Dialogue& dialogue() { return dialogue_; }
    SerialPort& port() { return port_; }
    Console& console() { return dialogue_.console(); }
    // Every byte sent and received, for the console's hexadecimal view.
    HexTraffic& hexTraffic() { return hexTraffic_; }
    Clock& clock() { return clock_; }
    Frontend& frontend() { return frontend_; }
    const QString& caption() const { return caption_; }
    const QString& programFolder() const { return programFolder_; }
    // Where pickers and folders start (workFolderFor()); not made until something is put there.
    const QString& workFolder() const { return workFolder_; }
    QString firmwareFolder;
    // The folder the backup dialog's "A" names the drive's folder under: the work folder, then the
    // folder the technician picks.
    QString backupFolder;

    // State of a subsystem's keys (the family table, ...), created on first use; each subsystem
    // defines its own struct in its own file.
    template <class T>
    T& ext() {
        auto& p = ext_[std::type_index(typeid(T))];
        if (!p) p = std::make_shared<T>();
        return *static_cast<T*>(p.get());
    }

    // Work added to the end of the start-up by a subsystem (the family table's loading).
    void onStartUp(std::function<void()> step) { startUpSteps_.push_back(std::move(step)); }

    // Forms by name ("FrmMain", "Form6", ...), for the CLI and the view.
    FormModel* formByName(const QString& name);
    void addForm(FormModel* form);
    // A dialog created at start-up, owned by the window for the whole run.
    void addDialog(std::unique_ptr<FormModel> dialog);
    // The port as the status line and caption name it (the simulated drive says so).
    QString portTitle() const;

    // Selects a port as the user would; a name not in the list (a device path) is added first.
    void choosePort(const QString& name);
    // The port the start-up selects when it is listed (or is a device path that exists) instead of
    // the first one: the port of the last run.
    QString preferredPort;
    // Reads the port list again while the port is closed: the selection stays, marked missing while
    // its port is gone; no port is opened except the selected one when it comes back.
    void refreshPorts();
    // What the list shows for a port: its name and, when known, the adapter behind it.
    QString portLabel(const QString& name) const;

    // The folder HDDINFO.TXT is read from: the program folder, or (when that cannot be written and
    // holds no table) the user's data folder, which the console names once per run.
    QString familyTableFolder();

    // The command line's history: the last kHistoryMax lines sent, walked with Up and Down.
    static constexpr int kHistoryMax = CommandHistory::kMax;
    const QStringList& history() const { return history_.lines(); }
    void historyPrevious();
    void historyNext();
    // Clipboard text as the command line takes it: its first line, without control characters
    // (which would otherwise reach the drive as keys).
    static QString commandLinePaste(const QString& clip);
    void pasteIntoCommandLine(const QString& clip);
    // A paste of several lines (Shift+Insert, "粘贴"): asks whether to send them one per prompt or
    // to open them in the script dialog (where a line that is no script command is typed by STR/).
    // False, with nothing done, when the text holds fewer than two lines or the question was
    // cancelled ("只粘贴第一行"): the text is then pasted into the command line as one line.
    bool pasteSeveralLines(const QString& clip);
    // The non-blank lines of pasted text, without their outer blanks and control characters.
    static QStringList pastedLines(const QString& clip);
    static QString scriptOfLines(const QStringList& lines);

    // The console as a UTF-8 text file, written whole or not at all.
    bool saveConsoleText(const QString& path);
    // "保存为文本…": asks for the file and reports a failure.
    void saveConsoleAs();

    // Function keys of the window and the keys they press (shown in the keys' tool tips).
    struct FunctionKey {
        int number;  // F5 is 5
        const char* control;
    };
    static const QList<FunctionKey>& functionKeys();
    // The control that last asked for the keyboard focus (the command line once the port opens).
    const QString& focusedControl() const { return focused_; }

    static inline const QString kClosedStatus = QStringLiteral(" STATUS: COM Port Closed");
    static inline const QString kPortMissing = QStringLiteral("选择的端口正在被使用或不存在！");
    bool isOpen() const { return form_.text("btnSwitch") == kCloseCaption; }
    // Window closing: ends an operation in progress and closes the port.
    void closeWindow();
    bool operationRunning() const { return busyDepth_ > 0 || handlerDepth_ > 0; }

    // Runs a key's work as an operation of the window: counted so the window knows one is
    // running. The outcome of the outermost operation is kept and announced (operationEnded).
    Outcome runOperation(const std::function<Outcome()>& work);
    // Work that does not tell its outcome yet counts as done.
    template <class F>
    requires std::is_void_v<std::invoke_result_t<F>>
    void runOperation(F&& work) {
        runOperation(std::function<Outcome()>([&work] {
            work();
            return Outcome::done();
        }));
    }
    // The status line's note of what an operation saved: the file (the last of several) and its size.
    static QString savedFilesText(const QList<WrittenFile>& files);
    // The outcome of the last operation the window ran.
    const Outcome& lastOutcome() const { return lastOutcome_; }

    // Host
    void information(const QString& text, const QString& title = QString()) override;
    void warning(const QString& text, const QString& title = QString()) override;
    bool question(const QString& text, const QString& title = QString()) override;
    void setProgressMax(qint64 max) override;
    void setProgress(qint64 position) override;
    qint64 progress() const override;
    void setProgressBytes(qint64 total) override;
    qint64 progressBytes() const override { return progressBytes_; }
    void setBusy(bool busy) override;
    void hostSpeedChanged(const QString& speedText) override;

    // The transfer speed selector over ComboBox7; true when the drive answered at the new speed.
    bool AdSpeed();

    static inline const QString kOpenCaption = QStringLiteral("打开串口");
    static inline const QString kCloseCaption = QStringLiteral("关闭串口");

signals:
    // The family list was refreshed (dialogs copy it).
    void speedListsChanged(const QStringList& speeds);
    // The window caption changed (it names the simulated drive while that port is open).
    void captionChanged(const QString& caption);
    // A control should take the keyboard focus.
    void focusRequested(const QString& name);
    // An operation started from a key (of the window or a dialog) has ended.
    void operationEnded(const hdd::Outcome& outcome);

private:
    // main_model.cpp
    void onSwitch();
    void setOpenState(bool open);
    void onPortLost(PortError error);
    void requestFocus(const QString& name);
    void refreshStatus();
    void refreshCounters();
    void refreshProgressText();
    // main_model_controls.cpp
    void buildControls();
    // main_model_ports.cpp
    void listPortsAtStartUp(const QString& chosen);
    void watchPorts();
    void onPortChanged();
    void probePortSpeeds(bool report);
    void listSpeedsOfUnchosenPort();
    QStringList probeSpeeds(const QString& port, bool report);
    QStringList portLabels(const QStringList& names) const;
    void readPortDetails();
    // main_model_terminal.cpp
    void onCmdEnter();
    bool onCmdKey(QChar key);
    void onSendByte();
    void onBaudChanged();
    // main_model_console.cpp
    void onReceived(const QByteArray& chunk);

    Clock& clock_;
    Frontend& frontend_;
    MainOptions options_;
    SerialPort port_;
    Dialogue dialogue_;
    FormModel form_;
    QList<FormModel*> forms_;
    std::vector<std::unique_ptr<FormModel>> dialogs_;
    QString caption_;
    QString baseCaption_;
    QString programFolder_;
    QString workFolder_;
    std::map<std::type_index, std::shared_ptr<void>> ext_;
    std::vector<std::function<void()>> startUpSteps_;
    int busyDepth_ = 0;
    int handlerDepth_ = 0;
    Outcome lastOutcome_;
    qint64 progressBytes_ = 0;
    ProgressMeter progressMeter_;
    HexTraffic hexTraffic_;
    QStringList extraPorts_;    // device paths chosen by the user that the system does not list
    QString lostPort_;          // the port that vanished while open, until another one is chosen
    QStringList missingPorts_;  // the lost port while the system does not list it
    QHash<QString, QString> portDetails_;
    QTimer portPoll_;
    QTimer hotplugDelay_;
    CommandHistory history_;
    QString focused_;
    bool userFolderNoted_ = false;
};

}  // namespace hdd
