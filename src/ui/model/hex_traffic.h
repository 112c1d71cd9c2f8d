// The line's traffic as a hexadecimal dump, for the console's hexadecimal view.
//
// Every byte sent to the drive and received from it is kept in rows of at most 16 bytes, each row
// of one direction: a row is full at 16 bytes, and a change of direction starts a new one. A row
// knows its offset in its own direction's stream (bytes sent so far, or received so far), so a
// received byte can be found again at the same offset in a file of what came back. The newest
// kMaxRows rows are kept. formatRow gives the row as the view shows it:
//
//   00000000 >  2F 31 0D                                          |/1.|
//   00000000 <  0D 0A 31 3E                                       |..1>|
//
// ">" marks bytes sent to the drive, "<" bytes received from it (as in a transcript).
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

namespace hdd {

class HexTraffic : public QObject {
    Q_OBJECT
public:
    enum class Direction { Sent, Received };
    struct Row {
        Direction direction = Direction::Received;
        qint64 offset = 0;
        QByteArray bytes;
    };
    static constexpr int kRowBytes = 16;
    static constexpr int kMaxRows = 65536;

    explicit HexTraffic(QObject* parent = nullptr) : QObject(parent) {}

    void add(Direction direction, const QByteArray& bytes);
    void clear();
    const QList<Row>& rows() const { return rows_; }

    // "00000010 <  41 54 00 FF 78 78 78 78  78 78 78 78 78 78 78 78  |AT..xxxxxxxxxxxx|": the
    // offset, the direction, the bytes in hexadecimal (a gap after the eighth; a short row padded so
    // the text column lines up), and the bytes as text, "." for any byte that is not printable ASCII.
    static QString formatRow(const Row& row);

signals:
    // Rows from `first` on were extended or added.
    void rowsChanged(int first);
    // The `count` oldest rows were dropped; comes before the rowsChanged of the same change.
    void headDropped(int count);
    void cleared();

private:
    QList<Row> rows_;
    qint64 sent_ = 0;
    qint64 received_ = 0;
};

}  // namespace hdd
