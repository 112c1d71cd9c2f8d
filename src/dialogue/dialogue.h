// The dialogue with the drive: where received text goes, what was recognised, and the waits.
//
// One Dialogue lives as long as the main window. The port's RxNotify runs the dispatcher
// (onRxNotify), which reads every waiting byte and routes the chunk: prompt detection while
// LastPrompt is empty, acknowledgements and handshakes by equality of the whole chunk, the
// capture buffer in the "syscmd"/"R_DATA" modes and the console in "usercmd". Operations are
// written as sends followed by waits: sending processes no events, so the chunk that answers
// a command is handled inside the wait that follows it. Waits pulse in 10 ms steps on the
// injected clock and clear their flag before they start.
#pragma once

#include <QByteArray>
#include <QObject>

#include "clock.h"
#include "console.h"
#include "host.h"
#include "serial_port.h"

namespace hdd {

inline const QByteArray kUserCmd = QByteArrayLiteral("usercmd");
inline const QByteArray kSysCmd = QByteArrayLiteral("syscmd");
inline const QByteArray kRData = QByteArrayLiteral("R_DATA");

class Dialogue : public QObject {
    Q_OBJECT
public:
    Dialogue(SerialPort& port, Clock& clock, Host& host, QObject* parent = nullptr);

    SerialPort& port() { return port_; }
    Clock& clock() { return clock_; }
    Host& host() { return host_; }
    Console& console() { return console_; }

    // Dialogue state.
    QByteArray ReceiveMode;
    QByteArray LastPrompt;
    QByteArray BlockAck;
    QByteArray Handshake;
    bool AbortRequested = false;
    QByteArray PromptBuffer;
    QByteArray CaptureBuffer;
    qint32 RxTotal = 0;
    qint32 TxTotal = 0;

    // The RxNotify handler: reads what is waiting and dispatches it.
    void onRxNotify();
    // Dispatches one chunk as if it had just been read (the handler's steps 2 to 6).
    void dispatch(const QByteArray& chunk);

    void SendString(const QByteArray& text);
    void Sendbuffer(const char* data, quint16 count);
    void PumpWait(int n);
    bool WaitHD(int n);
    bool WaitWB(int n);
    bool WaitWE(int n);

    void resetCounters();
    QList<QByteArray> captureLines() const;

    // Console shortcuts for operations.
    void addLine(const QString& text) { console_.addLine(text); }
    void appendResult(const QString& word) { console_.appendToLastLine(word); }

    // Shutting down: every wait returns at once and nothing more is sent, so an operation in
    // progress unwinds quickly when the window closes.
    void beginShutdown() { shutdown_ = true; }
    bool shuttingDown() const { return shutdown_; }

signals:
    void countersChanged();

private:
    // One pulse: sleep 10 ms, then process events.
    void pulse();
    bool waitFlag(QByteArray& flag, int n, bool clearPrompt);

    SerialPort& port_;
    Clock& clock_;
    Host& host_;
    Console console_;
    bool shutdown_ = false;
};

}  // namespace hdd
