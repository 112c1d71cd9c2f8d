#include "transcript.h"

#include <QDateTime>

namespace hdd {

bool Transcript::start(const QString& path, QString* error) {
    stop();
    file_.setFileName(path);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        if (error) *error = file_.errorString();
        return false;
    }
    file_.write(QStringLiteral("# hddterm transcript, started %1\n")
                    .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                    .toUtf8());
    if (port_.isOpen())
        write(SerialPort::TapEvent::Opened,
              (port_.portName() + ' ' + QString::number(port_.baud())).toUtf8());
    file_.flush();
    port_.setTap([this](SerialPort::TapEvent e, const QByteArray& bytes) { write(e, bytes); });
    return true;
}

void Transcript::stop() {
    if (!file_.isOpen()) return;
    port_.setTap({});
    file_.close();
}

QString Transcript::escape(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x20 && c < 0x7F && c != '\\')
            out += QChar(c);
        else
            out += QStringLiteral("\\x") + QString::number(c, 16).rightJustified(2, '0').toUpper();
    }
    return out;
}

QString Transcript::line(const QTime& time, SerialPort::TapEvent event, const QByteArray& bytes) {
    const QString stamp = time.toString(QStringLiteral("HH:mm:ss.zzz"));
    switch (event) {
        case SerialPort::TapEvent::Sent:
            return stamp + " > " + escape(bytes);
        case SerialPort::TapEvent::Received:
            return stamp + " < " + escape(bytes);
        case SerialPort::TapEvent::Opened:
            return stamp + " * opened " + QString::fromUtf8(bytes);
        case SerialPort::TapEvent::Closed:
            return stamp + " * closed " + QString::fromUtf8(bytes);
        case SerialPort::TapEvent::Baud:
            return stamp + " * baud " + QString::fromUtf8(bytes);
    }
    return stamp;
}

void Transcript::write(SerialPort::TapEvent event, const QByteArray& bytes) {
    file_.write((line(QTime::currentTime(), event, bytes) + '\n').toUtf8());
    file_.flush();
}

}  // namespace hdd
