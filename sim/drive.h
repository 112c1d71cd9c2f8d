// hddsim: a simulated drive monitor.
//
// The Drive models the far end of the serial line: a monitor that echoes what is typed, runs a
// command on carriage return, prints CR LF ended lines and a level prompt ("T>", "1>", "2>",
// "F>"), and talks at its own line speed. Time is passed in by the caller (virtual time in
// tests, the wall clock on a pseudo-terminal), so the drive works the same in both:
//
//   hostWrite(bytes, now, hostBaud)  the host puts bytes on the line; each takes its wire time
//   advance(now)                     the monitor handles every byte that has arrived by now
//   hostRead(now, hostBaud)          the bytes of the drive's answers that have arrived by now
//
// A byte sent at one speed and received at another arrives garbled, both ways.
//
// An adapter's latency timer can be modelled (latencyUs): a USB serial adapter holds what the
// drive sent and hands it to the host only when its timer expires, so the host sees the drive's
// output in bursts every latencyUs (0: each byte as soon as it is on the line).
//
// Commands are small handlers registered per family of commands (levels here, the service keys,
// the buffer, ...): each looks at a typed line or a control character and answers through
// print/printLine/prompt. Faults are switched on through Faults.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <typeindex>

namespace hddsim {

struct Faults {
    bool silent = false;       // the drive never answers
    QByteArray stuckLevel;     // "1": the drive stays at that level whatever it is told
    bool ignoreSpeed = false;  // speed commands are answered but the speed never changes
    int splitPromptEvery = 3;  // every n-th prompt leaves a short gap before its ">" (0: never)
};

class Drive : public std::enable_shared_from_this<Drive> {
public:
    using LineHandler = std::function<bool(Drive&, const QByteArray& line)>;
    using ControlHandler = std::function<bool(Drive&, char c)>;

    Drive();

    // --- the line, seen from the host ---
    void hostWrite(const QByteArray& data, qint64 nowUs, qint32 hostBaud);
    void advance(qint64 nowUs);
    QByteArray hostRead(qint64 nowUs, qint32 hostBaud);
    qint64 hostWaiting(qint64 nowUs) const;
    // When the next output byte arrives at the host (or -1 when none is queued).
    qint64 nextArrivalUs() const;
    // The next time after afterUs at which something happens on the line: a byte from the host
    // reaches the monitor, or a byte of output reaches the host (-1: nothing on its way).
    qint64 nextEventUs(qint64 afterUs) const;
    // For a host that takes the drive's output in bursts of up to maxBytes rather than byte by
    // byte: when the first queued byte's burst is complete (its maxBytes-th byte, or its last byte
    // before a gap on the line, has arrived), or -1 when nothing is queued. The end of an answer
    // thus reaches the host as soon as it is on the line.
    qint64 burstDueUs(int maxBytes) const;
    // When input must be taken in at the latest for the monitor's answer to start on time: its
    // last byte on its way, or earlier when that is later than the first byte's answer could begin
    // (-1: no input on its way).
    qint64 inputDueUs() const;
    // The adapter's latency timer, in microseconds (0: none).
    qint64 latencyUs = 0;
    // When a byte that is on the line at `at` reaches the host through the adapter.
    qint64 deliveredUs(qint64 at) const {
        return latencyUs > 0 ? (at + latencyUs - 1) / latencyUs * latencyUs : at;
    }
    // Every byte the host wrote, in order, as written (before any garbling).
    const QByteArray& received() const { return received_; }
    void clearReceived() { received_.clear(); }

    // --- the monitor's state ---
    QByteArray level = "T";
    qint32 baud = 9600;
    Faults faults;
    // Free-form settings for command families (a step count, a fault switch, ...).
    QHash<QString, int> settings;
    int setting(const QString& key, int fallback = 0) const { return settings.value(key, fallback); }
    // State of a command family, created on first use (buffer memory, system area, ...). Each family
    // defines its own struct in its own file.
    template <class T>
    T& state() {
        auto& p = states_[std::type_index(typeid(T))];
        if (!p) p = std::make_shared<T>();
        return *static_cast<T*>(p.get());
    }

    // --- for command handlers ---
    void print(const QByteArray& text);
    void printLine(const QByteArray& text) { print(text + "\r\n"); }
    // A fresh prompt line: CR LF, the level letter and ">".
    void prompt();
    // Output from now on starts no earlier than `us` microseconds later.
    void pause(qint64 us);
    // Switch the monitor to another line speed once what is queued has gone out.
    void switchBaud(qint32 newBaud);
    // Sets the level unless a fault holds the drive at one.
    void setLevel(const QByteArray& newLevel);
    qint64 nowUs() const { return now_; }
    std::mt19937& rng() { return rng_; }
    // The line typed so far (before the carriage return).
    const QByteArray& typed() const { return line_; }

    void addLineHandler(LineHandler h) { lineHandlers_.push_back(std::move(h)); }
    void addControlHandler(ControlHandler h) { controlHandlers_.push_back(std::move(h)); }
    // While set, every byte from the host goes here first (a block download in progress): true
    // when it took the byte, false to hand it on to the monitor's line handling. The handler
    // clears itself when the download ends.
    std::function<bool(Drive&, char c)> rawHandler;
    // Sees every byte from the host before the line discipline (after rawHandler): a drive busy
    // restarting, keys that act at once without a carriage return. True when it took the byte.
    using ByteHandler = std::function<bool(Drive&, char c)>;
    void addByteHandler(ByteHandler h) { byteHandlers_.push_back(std::move(h)); }

    static qint64 byteTimeUs(qint32 baud);
    // How long the monitor takes before it starts an answer.
    static constexpr qint64 kAnswerDelayUs = 300;
    static char garble(char c);

private:
    struct InByte {
        qint64 at;
        char c;
        qint32 baud;
    };
    struct OutByte {
        qint64 at;
        char c;
        qint32 baud;
    };
    void handleByte(char c);
    void runLine(const QByteArray& line);

    std::deque<InByte> in_;
    std::deque<OutByte> out_;
    qint64 inFreeUs_ = 0;
    qint64 outFreeUs_ = 0;
    qint64 now_ = 0;
    qint64 notBeforeUs_ = 0;
    QByteArray line_;
    QByteArray received_;
    int prompts_ = 0;
    bool atLineStart_ = true;
    std::mt19937 rng_{12345};
    std::vector<LineHandler> lineHandlers_;
    std::vector<ControlHandler> controlHandlers_;
    std::vector<ByteHandler> byteHandlers_;
    std::map<std::type_index, std::shared_ptr<void>> states_;
};

// Command families; each adds its handlers to a drive.
void installLevelCommands(Drive& d);     // levels and prompts
void installServiceCommands(Drive& d);   // restart, speed and service commands
void installBufferCommands(Drive& d);    // buffer memory, dump, download, system-area tracks
void installFirmwareCommands(Drive& d);  // reserve area, modules, identification
void installRomCommands(Drive& d);       // the serial ROM at F level
void installLoaderCommands(Drive& d);    // the F-level boot's module downloads
void installIdentityCommands(Drive& d);  // identity word writes
void installZoneCommands(Drive& d);      // zones and LBA conversion
// Everything the simulated drive knows.
void installAllCommands(Drive& d);

}  // namespace hddsim
