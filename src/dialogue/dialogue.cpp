#include "dialogue.h"

#include <QTimer>

#include "text.h"

namespace hdd {

namespace {
constexpr qint64 kPulseUs = 10'000;
constexpr qint64 kIdleRxUs = 10'000;
}  // namespace

Dialogue::Dialogue(SerialPort& port, Clock& clock, Host& host, QObject* parent)
    : QObject(parent), port_(port), clock_(clock), host_(host) {
    connect(&port_, &SerialPort::RxNotify, this, &Dialogue::onRxNotify);
}

void Dialogue::onRxNotify() {
    if (waitDepth_ == 0 && !clock_.isVirtual() && clock_.nowUs() - lastRxUs_ < kIdleRxUs) {
        deliverLater();
        return;
    }
    readAndDispatch();
}

void Dialogue::readAndDispatch() {
    rxLater_ = false;
    const QByteArray chunk = port_.ComReadAll();
    if (chunk.isEmpty()) return;
    dispatch(chunk);
}

void Dialogue::deliverLater() {
    if (rxLater_) return;
    rxLater_ = true;
    const qint64 leftUs = kIdleRxUs - (clock_.nowUs() - lastRxUs_);
    QTimer::singleShot(static_cast<int>(qMax<qint64>(1, (leftUs + 999) / 1000)), this, [this] {
        if (rxLater_) readAndDispatch();
    });
}

namespace {

bool isAck(const QByteArray& chunk) {
    return chunk == QByteArrayLiteral("w\x88") || chunk == QByteArrayLiteral("w") ||
           chunk == QByteArrayLiteral("\x88");
}

}  // namespace

void Dialogue::dispatch(const QByteArray& chunk) {
    const QByteArray text = cutAtNul(chunk);

    if (LastPrompt.isEmpty()) {
        PromptBuffer += text;
        const QList<QByteArray> lines = splitLines(PromptBuffer);
        for (qsizetype i = lines.size() - 1; i >= 0; --i) {
            const QByteArray t = trimmed(lines[i]);
            if (t.isEmpty()) continue;
            if (t.endsWith('>')) {
                LastPrompt = t.size() >= 2 ? t.right(2) : t;
                PromptBuffer.clear();
            }
            break;
        }
        if (!PromptBuffer.isEmpty() && lines.size() > 1) PromptBuffer = lines.last();
    }

    if (isAck(chunk)) BlockAck = "OK";
    if (chunk.size() == 1 && chunk[0] == '\x06') Handshake = "OK";
    if (chunk.size() == 1 && chunk[0] == '\x15') Handshake = "ER";

    if (ReceiveMode == kSysCmd || ReceiveMode == kRData) CaptureBuffer += text;
    if (ReceiveMode == kUserCmd) console_.insertChunk(text);

    RxTotal += static_cast<qint32>(chunk.size());
    lastRxUs_ = clock_.nowUs();
    ackHalf_ = chunk == QByteArrayLiteral("w");
    emit countersChanged();
    clock_.wake();  // a fast wait looks at what came
}

void Dialogue::SendString(const QByteArray& text) {
    if (!shutdown_) {
        port_.ComWriteBytes(text);
        emit sent(text);
    }
    TxTotal += static_cast<qint32>(text.size());
    emit countersChanged();
}

void Dialogue::Sendbuffer(const char* data, quint16 count) {
    if (!shutdown_) {
        port_.ComWriteBuffer(data, count);
        emit sent(QByteArray(data, count));
    }
    TxTotal += count;
    emit countersChanged();
}

void Dialogue::pulse() {
    clock_.sleepMs(10);
    clock_.processEvents();
}

void Dialogue::PumpWait(int n) {
    const qint64 t0 = clock_.nowUs();
    ++waitDepth_;
    for (int i = 0; i < n && !shutdown_ && !portLost_; ++i) pulse();
    --waitDepth_;
    stats_.pumpUs += clock_.nowUs() - t0;
}

bool Dialogue::fastWait(const std::function<bool()>& done, qint64 untilUs) {
    for (;;) {
        if (done()) return true;
        if (shutdown_ || portLost_ || clock_.nowUs() >= untilUs) return false;
        clock_.waitForArrival(untilUs, deviceWait());
    }
}

void Dialogue::settle(qint64 t0) {
    // The pulse mode would go on taking in what arrives until the end of the current pulse. Of that,
    // a fast wait keeps what belongs to the answer it saw: bytes that follow without a pause (an
    // answer still coming in, or one that was already on its way when the wait began), and the
    // second half of an acknowledgement "w" 0x88 that came in two pieces. Otherwise the next wait
    // would take them for its own answer.
    const qint64 now = clock_.nowUs();
    const qint64 boundary = t0 + (now - t0 + kPulseUs - 1) / kPulseUs * kPulseUs;
    const qint32 baud = port_.baud();
    const qint64 quietUs = baud > 0 ? 20'000'000LL / baud : 0;  // two bytes on the line
    while (!shutdown_ && !portLost_) {
        const qint64 until = ackHalf_ ? boundary : qMin(boundary, lastRxUs_ + quietUs);
        if (clock_.nowUs() >= until) break;
        clock_.waitForArrival(until, deviceWait());
    }
}

bool Dialogue::waitFlag(QByteArray& flag, int n, bool clearPrompt) {
    const qint64 t0 = clock_.nowUs();
    ++stats_.waits;
    ++waitDepth_;
    flag.clear();
    if (clearPrompt) PromptBuffer.clear();
    clock_.processEvents();
    bool seen = false;
    if (!fast_) {
        // n+1 checks, one pulse apart; the last pulse is slept but not looked at.
        for (int i = 0; i <= n && !seen; ++i) {
            seen = !flag.isEmpty();
            if (seen || shutdown_ || portLost_) break;
            pulse();
        }
    } else if (n >= 0) {
        // What the pulse mode's last check (n pulses in) would see counts; running out costs the
        // same final pulse.
        seen = fastWait([&flag] { return !flag.isEmpty(); }, t0 + n * kPulseUs);
        if (seen)
            settle(t0);
        else if (!shutdown_ && !portLost_)
            pulse();
    }
    stats_.waitUs += clock_.nowUs() - t0;
    --waitDepth_;
    return seen;
}

bool Dialogue::WaitHD(int n) { return waitFlag(LastPrompt, n, true); }
bool Dialogue::WaitWB(int n) { return waitFlag(BlockAck, n, false); }
bool Dialogue::WaitWE(int n) { return waitFlag(Handshake, n, false); }

void Dialogue::resetCounters() {
    RxTotal = 0;
    TxTotal = 0;
    emit countersChanged();
}

QList<QByteArray> Dialogue::captureLines() const { return splitLines(CaptureBuffer); }

}  // namespace hdd
