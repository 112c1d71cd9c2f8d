#include "drive.h"

#include <algorithm>

namespace hddsim {

Drive::Drive() = default;

qint64 Drive::byteTimeUs(qint32 b) {
    // 10 bits a byte on an 8N1 line.
    return b > 0 ? (10'000'000LL + b - 1) / b : 1000;
}

char Drive::garble(char c) {
    // A byte read at the wrong speed: something else, in the upper half, never CR, LF or ">".
    return static_cast<char>(0x80 | ((static_cast<unsigned char>(c) * 37 + 11) & 0x7F));
}

void Drive::hostWrite(const QByteArray& data, qint64 nowUs, qint32 hostBaud) {
    received_ += data;
    const qint64 t = byteTimeUs(hostBaud);
    qint64 at = std::max(inFreeUs_, nowUs);
    for (char c : data) {
        at += t;
        in_.push_back({at, c, hostBaud});
    }
    inFreeUs_ = at;
}

void Drive::advance(qint64 nowUs) {
    while (!in_.empty() && in_.front().at <= nowUs) {
        const InByte b = in_.front();
        in_.pop_front();
        now_ = std::max(now_, b.at);
        handleByte((b.baud <= 0 || b.baud == baud) ? b.c : garble(b.c));
    }
    now_ = std::max(now_, nowUs);
}

QByteArray Drive::hostRead(qint64 nowUs, qint32 hostBaud) {
    QByteArray out;
    while (!out_.empty() && deliveredUs(out_.front().at) <= nowUs) {
        const OutByte& b = out_.front();
        out += (hostBaud <= 0 || b.baud == hostBaud) ? b.c : garble(b.c);
        out_.pop_front();
    }
    return out;
}

qint64 Drive::hostWaiting(qint64 nowUs) const {
    qint64 n = 0;
    for (const OutByte& b : out_) {
        if (deliveredUs(b.at) > nowUs) break;
        ++n;
    }
    return n;
}

qint64 Drive::nextArrivalUs() const { return out_.empty() ? -1 : deliveredUs(out_.front().at); }

qint64 Drive::nextEventUs(qint64 afterUs) const {
    qint64 next = -1;
    for (const OutByte& b : out_) {
        const qint64 t = deliveredUs(b.at);
        if (t > afterUs) {
            next = t;
            break;
        }
    }
    for (const InByte& b : in_) {
        if (b.at > afterUs) {
            if (next < 0 || b.at < next) next = b.at;
            break;
        }
    }
    return next;
}

qint64 Drive::burstDueUs(int maxBytes) const {
    if (out_.empty()) return -1;
    qint64 last = deliveredUs(out_.front().at);
    int n = 1;
    for (auto it = out_.begin() + 1; it != out_.end() && n < maxBytes; ++it, ++n) {
        const qint64 t = deliveredUs(it->at);
        if (t - last > byteTimeUs(it->baud)) break;  // a gap: the burst ends with the byte before
        last = t;
    }
    return last;
}

qint64 Drive::inputDueUs() const {
    if (in_.empty()) return -1;
    return std::min(in_.back().at, in_.front().at + kAnswerDelayUs / 2);
}

void Drive::print(const QByteArray& text) {
    if (faults.silent) return;
    const qint64 t = byteTimeUs(baud);
    // A monitor takes a moment before it answers.
    qint64 at = std::max({outFreeUs_, now_ + kAnswerDelayUs, notBeforeUs_});
    for (char c : text) {
        at += t;
        out_.push_back({at, c, baud});
    }
    outFreeUs_ = at;
    if (!text.isEmpty()) atLineStart_ = text.endsWith('\n');
}

void Drive::prompt() {
    const QByteArray p = level + ">";
    // A prompt starts a line of its own.
    const QByteArray lead = atLineStart_ ? QByteArray() : QByteArrayLiteral("\r\n");
    ++prompts_;
    if (faults.splitPromptEvery > 0 && prompts_ % faults.splitPromptEvery == 0) {
        // The prompt's last character comes a little later, in a chunk of its own.
        print(lead + p.left(p.size() - 1));
        pause(12'000);
        print(p.right(1));
    } else {
        print(lead + p);
    }
}

void Drive::pause(qint64 us) { notBeforeUs_ = std::max(outFreeUs_, now_) + us; }

void Drive::switchBaud(qint32 newBaud) {
    if (faults.ignoreSpeed) return;
    // Bytes already queued go out at the old speed (each carries its own); what follows uses the new one.
    baud = newBaud;
}

void Drive::setLevel(const QByteArray& newLevel) {
    if (!faults.stuckLevel.isEmpty()) {
        level = faults.stuckLevel;
        return;
    }
    level = newLevel;
}

void Drive::handleByte(char c) {
    if (rawHandler) {
        auto h = rawHandler;  // the handler may clear itself
        if (h(*this, c)) return;
    }
    for (auto& h : byteHandlers_) {
        if (h(*this, c)) return;
    }
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '\r') {
        print("\r\n");
        const QByteArray line = line_;
        line_.clear();
        runLine(line);
        return;
    }
    if (u < 0x20 || u == 0x7F) {
        if (c == '\b' || u == 0x7F) {
            if (!line_.isEmpty()) line_.chop(1);
            return;
        }
        for (auto& h : controlHandlers_) {
            if (h(*this, c)) return;
        }
        return;  // other control characters are ignored
    }
    // Typed characters are echoed; a few keys act at once without a carriage return.
    line_ += c;
    print(QByteArray(1, c));
}

void Drive::runLine(const QByteArray& line) {
    for (auto& h : lineHandlers_) {
        if (h(*this, line)) return;
    }
    if (!line.isEmpty()) printLine("Input Command Error");
    prompt();
}

void installAllCommands(Drive& d) {
    installLevelCommands(d);
    installServiceCommands(d);
    installBufferCommands(d);
    installFirmwareCommands(d);
    installRomCommands(d);
    installLoaderCommands(d);
    installIdentityCommands(d);
    installZoneCommands(d);
}

}  // namespace hddsim
