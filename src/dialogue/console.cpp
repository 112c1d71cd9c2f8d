#include "console.h"

#include "text.h"

namespace hdd {

Console::Console(QObject* parent) : QObject(parent) {}

int Console::lineCount() const {
    const int n = static_cast<int>(lines_.size());
    return lines_.last().isEmpty() ? n - 1 : n;
}

QByteArray Console::lastLine() const {
    const int n = lineCount();
    return n > 0 ? lines_[n - 1] : QByteArray();
}

QByteArray Console::text() const { return lines_.join("\r\n"); }

QString Console::displayText() const {
    QStringList out;
    for (const QByteArray& l : lines_) out << fromGbk(l);
    return out.join('\n');
}

void Console::insertChunk(QByteArray chunk) {
    if (hexDisplay_) return;  // insertHex shows these bytes
    if (autoClear_ && lineCount() > kAutoClearLines) clear();
    if (chunk.isEmpty()) return;
    if (chunk.endsWith('\r')) chunk.chop(1);
    if (chunk.startsWith('\n')) chunk.prepend('\r');
    const int first = static_cast<int>(lines_.size()) - 1;
    QByteArray& tail = lines_.last();
    const QList<QByteArray> parts = [&] {
        // Keep a trailing break as an empty element: splitLines drops it.
        QList<QByteArray> p = splitLines(chunk);
        if (p.isEmpty()) p << QByteArray();
        if (chunk.endsWith('\n') || chunk.endsWith('\r')) p << QByteArray();
        return p;
    }();
    tail += parts.first();
    for (qsizetype i = 1; i < parts.size(); ++i) lines_ << parts[i];
    wrapFrom(first);
    changedFrom(first);
}

int Console::dropOldest() {
    // The empty element after a final break is not a line, and it stays.
    const int excess = lineCount() - kMaxLines;
    if (excess <= 0) return 0;
    lines_.remove(0, excess);
    QList<int> kept;
    for (int s : sealed_) {
        if (s >= excess) kept << s - excess;
    }
    sealed_ = kept;
    return excess;
}

void Console::changedFrom(int first) {
    const int dropped = dropOldest();
    if (dropped > 0) emit headDropped(dropped);
    emit tailChanged(qMax(0, first - dropped));
}

void Console::setHexDisplay(bool on) {
    if (on == hexDisplay_) return;
    hexDisplay_ = on;
    // Either way the new view starts on a line of its own.
    if (!lines_.last().isEmpty()) {
        lines_ << QByteArray();
        changedFrom(static_cast<int>(lines_.size()) - 1);
    }
}

void Console::insertHex(const QByteArray& bytes) {
    if (!hexDisplay_ || bytes.isEmpty()) return;
    if (autoClear_ && lineCount() > kAutoClearLines) clear();
    const int first = static_cast<int>(lines_.size()) - 1;
    for (char c : bytes) {
        if (lines_.last().size() >= kHexBytesPerLine * 3) lines_ << QByteArray();
        lines_.last() += QByteArray(1, c).toHex().toUpper() + ' ';
    }
    changedFrom(first);
}

void Console::wrapFrom(int first) {
    // Every line the chunk touched is cut to 110 bytes, the rest going on a new line after it.
    for (int i = first; i < lines_.size(); ++i) {
        if (lines_[i].size() <= kWrapBytes) continue;
        QByteArray rest = lines_[i].mid(kWrapBytes);
        lines_[i].truncate(kWrapBytes);
        lines_.insert(i + 1, rest);
    }
}

void Console::addLine(const QString& text) { addLineBytes(toGbk(text)); }

void Console::addLineBytes(const QByteArray& bytes) {
    int first;
    if (lines_.last().isEmpty()) {
        first = static_cast<int>(lines_.size()) - 1;
        lines_.last() = bytes;
    } else {
        first = static_cast<int>(lines_.size());
        lines_ << bytes;
    }
    lines_ << QByteArray();
    changedFrom(first);
}

void Console::addSealedLine(const QString& text) {
    addLine(text);
    sealed_ << lineCount() - 1;
}

void Console::appendToLastLine(const QString& text) {
    int i = lineCount() - 1;
    while (i >= 0 && sealed_.contains(i)) --i;
    if (i < 0) {
        addLine(text);
        return;
    }
    lines_[i] += toGbk(text);
    emit tailChanged(i);
}

void Console::clear() {
    emit aboutToClear();
    lines_ = {QByteArray()};
    sealed_.clear();
    emit cleared();
}

}  // namespace hdd
