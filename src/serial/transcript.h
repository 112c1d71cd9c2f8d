// A transcript of the serial line: every byte sent to the drive and received from it.
//
// A Transcript taps one SerialPort (its only tap) and writes one line per chunk to a UTF-8 text
// file: the time of day to the millisecond, the direction (">" sent to the drive, "<" received
// from it) and the bytes, printable ASCII as is and every other byte as \xNN (the backslash
// itself as \x5C, so the line reads back unambiguously). A text command is one chunk; a received
// chunk is whatever one read of the port brought. The port's own events (opened, closed, baud
// changed) are lines marked "*". Each line is flushed as it is written, so a run that is killed
// keeps its transcript up to that moment. The GUI's console menu and hddterm-cli --log share it.
//
//   # hddterm transcript, started 2024-05-01 12:34:56
//   12:34:56.789 * opened /dev/ttyUSB0 9600
//   12:34:56.801 > /2\x0D
//   12:34:56.812 < \x0D\x0A2>
#pragma once

#include <QFile>
#include <QString>
#include <QTime>

#include "serial_port.h"

namespace hdd {

class Transcript {
public:
    explicit Transcript(SerialPort& port) : port_(port) {}
    ~Transcript() { stop(); }
    Transcript(const Transcript&) = delete;
    Transcript& operator=(const Transcript&) = delete;

    // Creates (or replaces) the file and starts tapping the port; on failure `error` gets the
    // system's reason and nothing changes.
    bool start(const QString& path, QString* error = nullptr);
    void stop();
    bool active() const { return file_.isOpen(); }
    QString path() const { return file_.fileName(); }

    // One chunk's bytes as the transcript writes them.
    static QString escape(const QByteArray& bytes);
    // One line of the transcript (without its line break).
    static QString line(const QTime& time, SerialPort::TapEvent event, const QByteArray& bytes);

private:
    void write(SerialPort::TapEvent event, const QByteArray& bytes);

    SerialPort& port_;
    QFile file_;
};

}  // namespace hdd
