// Interrupts of a command-line run: SIGINT and SIGTERM.
//
// The first signal does what the abort key "中止命令" does: the runner sets the dialogue's
// AbortRequested, the running operation ends through its own closing steps (its "被用户中止！",
// the link back to 9600), the port is closed and the process exits with 128 + the signal's number
// (130 for SIGINT, 143 for SIGTERM). The signal handler only writes to a pipe; a socket notifier
// on the other end reports the signal on the event loop, which every wait of an operation pumps.
// A second signal ends the process at once, from the handler, with the first one's status.
#pragma once

#include <QObject>
#include <memory>

class QSocketNotifier;

namespace hdd {

class Interrupts : public QObject {
    Q_OBJECT
public:
    // No handlers: signals are only what raise() reports (tests).
    Interrupts() = default;
    ~Interrupts() override;
    // Catches SIGINT and SIGTERM for the life of the returned object (one per process).
    static std::unique_ptr<Interrupts> catchSignals();

    // The first signal received, 0 while none.
    int signal() const { return signal_; }
    // The exit status an interrupted run ends with.
    int exitStatus() const { return signal_ ? 128 + signal_ : 0; }
    // Reports a signal as the handler would: the first one is kept and announced.
    void raise(int sig);

signals:
    void raised(int sig);

private:
    void onPipe();

    int signal_ = 0;
    QSocketNotifier* notifier_ = nullptr;
    bool owner_ = false;
};

// "SIGINT", "SIGTERM" or the number.
QString signalName(int sig);

}  // namespace hdd
