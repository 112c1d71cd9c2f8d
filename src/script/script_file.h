// Script files (".cmd").
//
// A script file is text in the GBK code page, one line per command. Loading takes CR, LF or CR LF
// as line ends, and a file that begins with a UTF-8 byte-order mark as UTF-8 (the mark is dropped);
// saving writes GBK with CR LF after every line, through a temporary file renamed into place, so a
// failed save never leaves a cut script under the name. The editor holds the lines separated by
// "\n", without a line end after the last one.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace hdd {

// Larger files are refused: no script is that long, and the editor would choke on it.
inline constexpr qint64 kMaxScriptBytes = 1024 * 1024;

// A file's bytes as the editor's text.
QString decodeScript(const QByteArray& bytes);
// The editor's text as a file's bytes; nullopt when a character has no GBK form.
std::optional<QByteArray> encodeScript(const QString& text);

// The editor's text from a file, or nullopt with the message for the user in `error`.
std::optional<QString> loadScriptFile(const QString& path, QString& error);
// Saves the editor's text; false with the message for the user in `error`.
bool saveScriptFile(const QString& path, const QString& text, QString& error);

}  // namespace hdd
