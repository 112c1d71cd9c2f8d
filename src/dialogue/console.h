// The console's text, without a widget.
//
// The console is a list of byte lines (GBK for the tool's own messages, raw bytes from the
// drive). A console whose text ends with a line break holds an empty last element; that empty
// line is not counted as a line. Drive output is inserted at the end as it arrives (with the
// CR/LF mending and the 110-byte wrap of the receive path); the tool's own lines are added as
// whole lines, and result words are appended to the last line. Views follow the change signals.
//
// With auto-clear on, drive output empties a console past 200 lines. With it off the console
// keeps the newest 100 000 lines and drops the oldest (headDropped), so a drive that talks for
// hours cannot exhaust memory.
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

namespace hdd {

class Console : public QObject {
    Q_OBJECT
public:
    static constexpr int kWrapBytes = 110;
    static constexpr int kAutoClearLines = 200;
    static constexpr int kMaxLines = 100'000;

    explicit Console(QObject* parent = nullptr);

    // Lines as counted by the console: an empty line after a final break does not count.
    int lineCount() const;
    QByteArray line(int i) const { return lines_.value(i); }
    QByteArray lastLine() const;
    // The text with CR LF between lines.
    QByteArray text() const;
    QString displayText() const;

    bool autoClear() const { return autoClear_; }
    void setAutoClear(bool on) { autoClear_ = on; }

    // Hexadecimal view of the drive's output, for drives whose output is not text: the dispatcher's
    // text chunks are then not shown, insertHex shows the bytes as read (16 to a line) instead.
    static constexpr int kHexBytesPerLine = 16;
    bool hexDisplay() const { return hexDisplay_; }
    void setHexDisplay(bool on);
    void insertHex(const QByteArray& bytes);

    // Drive output in the "usercmd" mode (already cut at its first NUL).
    void insertChunk(QByteArray chunk);
    // A new line, as a list's "add": the console then ends with a line break.
    void addLine(const QString& text);
    void addLineBytes(const QByteArray& bytes);
    // A line of its own, which result words never join: a message that comes in the middle of an
    // operation (the port vanished) must not take the word meant for the operation's line.
    void addSealedLine(const QString& text);
    // Appends to the last counted line that is not sealed (a new line when there is none).
    void appendToLastLine(const QString& text);
    void clear();

    // Raw storage: the last element may be the empty line after a final break.
    const QList<QByteArray>& rawLines() const { return lines_; }

signals:
    // Emitted before the text is emptied, so followers can flush what they hold.
    void aboutToClear();
    void cleared();
    // The `count` oldest lines were dropped; every index moved down by `count`. Comes before the
    // tailChanged of the same change, whose index is already the new one.
    void headDropped(int count);
    // Lines from `first` on were replaced or added (the tail of the text changed).
    void tailChanged(int first);

private:
    void wrapFrom(int first);
    // Drops the oldest lines beyond kMaxLines; returns how many went.
    int dropOldest();
    // Tells the views: lines from `first` (an index before any drop) on changed.
    void changedFrom(int first);

    QList<QByteArray> lines_{QByteArray()};
    QList<int> sealed_;  // the indexes of sealed lines
    bool autoClear_ = true;
    bool hexDisplay_ = false;
};

}  // namespace hdd
