// Byte-text helpers shared by the dialogue and every operation.
//
// The drive speaks 8-bit text; the tool's own messages are Chinese in the GBK code page. The
// console and the hidden buffers therefore hold bytes, and the views decode GBK for display.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace hdd {

QByteArray toGbk(const QString& text);
QString fromGbk(const QByteArray& bytes);

// Removes every byte at or below the space (0x20) from both ends.
QByteArray trimmed(const QByteArray& text);

// Lines separated by CR LF (a lone CR or LF also ends a line); an empty line after a final
// line break is not a line.
QList<QByteArray> splitLines(const QByteArray& text);

// The part of a chunk before its first NUL byte.
QByteArray cutAtNul(const QByteArray& chunk);

// Hexadecimal text without prefix (upper or lower case) to a number; nullopt when the text is
// empty, holds another character, or does not fit in 64 bits.
std::optional<quint64> parseHex(const QByteArray& text);
std::optional<quint64> parseHex(const QString& text);
// A 64-bit value as upper-case hexadecimal without leading zeros, "0" for zero.
QString toHexText(quint64 value);
// Normalised hexadecimal text: upper case, no leading zeros, "0" for zero; nullopt when the text
// is not hexadecimal.
std::optional<QString> normaliseHex(const QString& text);

}  // namespace hdd
