// The main window without widgets.
//
// MainModel holds the main form's controls (FormModel "FrmMain"), the serial port, the
// dialogue and the console, runs the window's start-up, and carries the handler of every key.
// It is the Host through which operations report. The Qt view (src/ui/view), the CLI and the
// tests drive it through the same calls, so every key runs the same code everywhere.
//
// Keys of each subsystem are added by an install function of their own (installServiceKeys,
// installBufferKeys, ...), called from the constructor.
#pragma once

#include <QObject>
#include <functional>
#include <map>
#include <memory>
#include <typeindex>

#include "dialogue.h"
#include "form_model.h"
#include "frontend.h"
#include "host.h"
#include "serial_port.h"

namespace hddsim {
class Drive;
}

namespace hdd {

struct MainOptions {
    // How the system lists its serial ports (default: QtSerialPort's list).
    std::function<QStringList()> portLister;
    // The simulated drive behind the "sim" port (default: a fresh one with every command).
    std::shared_ptr<hddsim::Drive> simDrive;
    // The executable's path (default: the application's).
    QString programPath;
    bool pinCpu = true;
};

class MainModel : public QObject, public Host {
    Q_OBJECT
public:
    static inline const QString kSimPort = QStringLiteral("sim");

    MainModel(Clock& clock, Frontend& frontend, MainOptions options = {}, QObject* parent = nullptr);
    ~MainModel() override;

    // The window's start-up, in order: caption, banner, CPU, folders, lists, speed probe, panels.
    void startUp();

    FormModel& form() { return form_; }
    Dialogue& dialogue() { return dialogue_; }
    SerialPort& port() { return port_; }
    Console& console() { return dialogue_.console(); }
    Clock& clock() { return clock_; }
    Frontend& frontend() { return frontend_; }
    hddsim::Drive& simDrive() { return *simDrive_; }
    const QString& caption() const { return caption_; }
    const QString& programFolder() const { return programFolder_; }
    QString firmwareFolder;

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
    bool isOpen() const { return form_.text("btnSwitch") == kCloseCaption; }
    // Window closing: ends an operation in progress and closes the port.
    void closeWindow();
    bool operationRunning() const { return busyDepth_ > 0 || handlerDepth_ > 0; }

    // Runs a key's work as an operation of the window: counted so the window knows one is
    // running, and guarded against a second start while the first waits.
    void runOperation(const std::function<void()>& work);

    // Host
    void information(const QString& text, const QString& title = QString()) override;
    void warning(const QString& text, const QString& title = QString()) override;
    bool question(const QString& text, const QString& title = QString()) override;
    void setProgressMax(qint64 max) override;
    void setProgress(qint64 position) override;
    qint64 progress() const override;
    void setBusy(bool busy) override;
    void hostSpeedChanged(const QString& speedText) override;

    // The transfer speed selector over ComboBox7, and the window's own over ComboBox2; true when
    // the drive answered at the new speed.
    bool AdSpeed();
    bool SetSpeed();

    static inline const QString kOpenCaption = QStringLiteral("打开串口");
    static inline const QString kCloseCaption = QStringLiteral("关闭串口");

signals:
    // The family list was refreshed (dialogs copy it).
    void speedListsChanged(const QStringList& speeds);
    // The window caption changed (it names the simulated drive while that port is open).
    void captionChanged(const QString& caption);

private:
    void buildControls();
    void onSwitch();
    void onPortChanged();
    void onBaudChanged();
    void onPortLost(PortError error);
    void onCmdEnter();
    bool onCmdKey(QChar key);
    void onSendByte();
    void refreshStatus();
    void refreshCounters();
    void setOpenState(bool open);
    QStringList probeSpeeds(const QString& port, bool report);

    Clock& clock_;
    Frontend& frontend_;
    MainOptions options_;
    std::shared_ptr<hddsim::Drive> simDrive_;
    SerialPort port_;
    Dialogue dialogue_;
    FormModel form_;
    QList<FormModel*> forms_;
    std::vector<std::unique_ptr<FormModel>> dialogs_;
    QString caption_;
    QString baseCaption_;
    QString programFolder_;
    std::map<std::type_index, std::shared_ptr<void>> ext_;
    std::vector<std::function<void()>> startUpSteps_;
    int busyDepth_ = 0;
    int handlerDepth_ = 0;
};

}  // namespace hdd
