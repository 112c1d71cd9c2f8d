// The dialogue with the drive: where received text goes, what was recognised, and the waits.
//
// One Dialogue lives as long as the main window. The port's RxNotify runs the dispatcher
// (onRxNotify), which reads every waiting byte and routes the chunk: prompt detection while
// LastPrompt is empty, acknowledgements and handshakes by equality of the whole chunk, the
// capture buffer in the "syscmd"/"R_DATA" modes and the console in "usercmd". Operations are
// written as sends followed by waits: sending processes no events, so the chunk that answers
// a command is handled inside the wait that follows it. Waits pulse in 10 ms steps on the
// injected clock and clear their flag before they start.
//
// Fast waits (off by default) change only when a wait notices its answer: WaitHD, WaitWB and
// WaitWE (and so the prompt waits built on them) return as soon as the received data satisfies them and the
// line has gone quiet (two byte times), instead of at the end of the pulse in which it came. What counts is
// the same (a flag set by the time of the pulse mode's last check), a wait that runs out takes the same total
// time, and PumpWait keeps its length, so the commands, their order and their outcome do not depend on the
// mode.
#pragma once

#include <QByteArray>
#include <QObject>
#include <functional>

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
    // Operation frames open now (see operation.h): the outermost one owns the abort flag.
    int frames = 0;

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
    bool fastWaits() const { return fast_; }
    void setFastWaits(bool on) { fast_ = on; }

    // Where the time went, for measurements: pauses (PumpWait) and waits for an answer.
    struct WaitStats {
        qint64 pumpUs = 0;
        qint64 waitUs = 0;
        int waits = 0;
    };
    const WaitStats& waitStats() const { return stats_; }
    void resetWaitStats() { stats_ = {}; }

    void resetCounters();
    QList<QByteArray> captureLines() const;

    // Console shortcuts for operations.
    void addLine(const QString& text) { console_.addLine(text); }
    void appendResult(const QString& word) { console_.appendToLastLine(word); }

    // Shutting down: every wait returns at once and nothing more is sent, so an operation in
    // progress unwinds quickly when the window closes.
    void beginShutdown() {
        shutdown_ = true;
        clock_.wake();
    }
    bool shuttingDown() const { return shutdown_; }
    // The port vanished (true) or was opened again (false). While it is gone nothing can answer:
    // every wait and pause returns at once, so the operation that was running unwinds through its
    // closing steps without waiting for a drive that is no longer there.
    void setPortLost(bool lost) {
        portLost_ = lost;
        clock_.wake();
    }
    bool portLost() const { return portLost_; }

signals:
    void countersChanged();
    // Bytes handed to the port (the hexadecimal view shows them beside what came back).
    void sent(const QByteArray& bytes);

private:
    // One pulse: sleep 10 ms, then process events.
    void pulse();
    bool waitFlag(QByteArray& flag, int n, bool clearPrompt);
    bool fastWait(const std::function<bool()>& done, qint64 untilUs);
    Clock::DeviceWait deviceWait() {
        return [this](qint64 us) { return port_.waitForData(us); };
    }
    void deliverLater();
    void readAndDispatch();
    void settle(qint64 t0);

    SerialPort& port_;
    Clock& clock_;
    Host& host_;
    Console console_;
    bool shutdown_ = false;
    bool portLost_ = false;
    bool fast_ = false;
    qint64 lastRxUs_ = 0;   // when the last chunk came
    int waitDepth_ = 0;     // inside PumpWait or a wait
    bool rxLater_ = false;  // an arrival noticed while idle waits for its turn
    bool ackHalf_ = false;  // the last chunk was the first half of "w" 0x88
    WaitStats stats_;
};

}  // namespace hdd
