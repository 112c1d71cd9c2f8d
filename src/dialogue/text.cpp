#include "text.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace hdd {

QByteArray toGbk(const QString& text) {
    QStringEncoder enc("GBK");
    if (!enc.isValid()) return text.toLocal8Bit();
    return enc.encode(text);
}

QString fromGbk(const QByteArray& bytes) {
    QStringDecoder dec("GBK");
    if (!dec.isValid()) return QString::fromLocal8Bit(bytes);
    return dec.decode(bytes);
}

QByteArray trimmed(const QByteArray& text) {
    qsizetype b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= 0x20) ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= 0x20) --e;
    return text.mid(b, e - b);
}

QList<QByteArray> splitLines(const QByteArray& text) {
    QList<QByteArray> out;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n') continue;
        out << text.mid(start, i - start);
        if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < n) out << text.mid(start);
    return out;
}

QByteArray cutAtNul(const QByteArray& chunk) {
    const qsizetype z = chunk.indexOf('\0');
    return z < 0 ? chunk : chunk.left(z);
}

std::optional<quint64> parseHex(const QByteArray& text) {
    if (text.isEmpty()) return std::nullopt;
    quint64 v = 0;
    for (char c : text) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else
            return std::nullopt;
        if (v >> 60) return std::nullopt;
        v = (v << 4) | static_cast<quint64>(d);
    }
    return v;
}

std::optional<quint64> parseHex(const QString& text) { return parseHex(text.toLatin1()); }

QString toHexText(quint64 value) { return QString::number(value, 16).toUpper(); }

std::optional<QString> normaliseHex(const QString& text) {
    const auto v = parseHex(text.trimmed());
    if (!v) return std::nullopt;
    return toHexText(*v);
}

}  // namespace hdd
