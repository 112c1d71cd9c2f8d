// The terminal: what the technician does to the dialogue by hand, outside any key's operation.
//
// The main window's command line, its "发送字节" field and its baud list talk to the drive only
// through these, and its port switch, abort key and port chooser set the dialogue's state only
// through these, so the window keeps its fields and history and sends nothing itself. The sends
// leave the dialogue in "usercmd", where the drive's answer goes to the console.
#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>
#include <optional>

#include "outcome.h"

namespace hdd {

class Dialogue;

// Enter on the command line: the line without its outer blanks, in GBK, and "\r".
void sendCommandLine(Dialogue& d, const QString& line);

// A key typed into the command line. A control key (Ctrl-Z, Ctrl-C, Esc, ...; not backspace, which
// edits the line) goes out at once and is taken (true); any other key waits for Enter (false).
bool sendControlKey(Dialogue& d, QChar key);

// "发送字节": the number in the field, decimal or hexadecimal, as one byte (its low 8 bits).
// A field that holds no number is refused with "请输入有效的数字！" and sends nothing.
Outcome sendByte(Dialogue& d, const QString& text, bool hex);

// Clipboard text as the command line takes it: its first line that is not blank, without control
// characters (which would otherwise reach the drive as keys). It is sent by Enter, as typed text.
QString commandLinePaste(const QString& clip);

// A new speed chosen in the baud list while the port is open: "正在调整速率，请稍候........", the
// drive and port move to the speed the text names (at the level the drive is at), then "完成！",
// or "失败！" when the drive did not answer at the new speed (failed), and the usual ending.
Outcome changeLinkSpeed(Dialogue& d, const QString& speedText);

// The terminal at rest: what the drive says goes to the console. The window's start-up ends so.
void startTerminal(Dialogue& d);

// The speeds a port takes: the four base ones, and the four higher ones too when it takes 921600
// (opened at 9600, set to 921600, closed again). Nothing when the port cannot be opened.
std::optional<QStringList> probeLinkSpeeds(Dialogue& d, const QString& portName);

// Closes the port without cutting off the last command: first the drive answers what it was sent
// last with its prompt (at most kCloseAnswerMs; not when the port is gone or the window is going
// down mid-operation), then everything written leaves the port, and only then are the port's
// settings restored and the port closed.
inline constexpr int kCloseAnswerMs = 300;
void closePort(Dialogue& d);

// The port switch was pressed: no abort is left over from before, whichever way it goes.
void switchPressed(Dialogue& d);
// The port was opened: a port lost before is there again.
void portOpened(Dialogue& d);
// The port vanished: the running operation stops and its waits end at once; the console says so.
void portLost(Dialogue& d);
// "中止命令": the running operation stops at its next wait.
void requestAbort(Dialogue& d);
// The window closes: the running operation (if any) unwinds at once and sends nothing more.
void closeTerminal(Dialogue& d, bool operationRunning);

// The hexadecimal view of the console follows what the drive says at the prompt.
void echoReceived(Dialogue& d, const QByteArray& chunk);

}  // namespace hdd
