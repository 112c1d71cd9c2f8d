#include "terminal.h"

#include <QRegularExpression>
#include <QStringList>

#include "dialogue.h"
#include "monitor.h"
#include "operation.h"
#include "text.h"

namespace hdd {

void sendCommandLine(Dialogue& d, const QString& line) {
    d.ReceiveMode = kUserCmd;
    d.SendString(toGbk(line.trimmed()) + "\r");
}

bool sendControlKey(Dialogue& d, QChar key) {
    d.ReceiveMode = kUserCmd;
    if (key.unicode() >= 0x20 || key.unicode() == 0x08) return false;
    d.SendString(QByteArray(1, static_cast<char>(key.unicode())));
    return true;
}

Outcome sendByte(Dialogue& d, const QString& text, bool hex) {
    d.ReceiveMode = kUserCmd;
    bool ok = false;
    const uint v = text.trimmed().toUInt(&ok, hex ? 16 : 10);
    if (!ok) return Outcome::refused(Outcome::By::Input, QStringLiteral("请输入有效的数字！"));
    d.SendString(QByteArray(1, static_cast<char>(v & 0xFF)));
    return Outcome::done();
}

QString commandLinePaste(const QString& clip) {
    QString line;
    for (const QString& l : clip.split(QRegularExpression(QStringLiteral("[\r\n]")))) {
        if (!l.trimmed().isEmpty()) {
            line = l;
            break;
        }
    }
    line.removeIf([](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
    return line;
}

Outcome changeLinkSpeed(Dialogue& d, const QString& speedText) {
    Operation op(d);
    d.ReceiveMode.clear();
    d.addLine(QStringLiteral("正在调整速率，请稍候........"));
    const bool answered = AdMySpeed(d, speedText);
    // A drive that no longer answers at the new speed is not "done": say so.
    const QString word = answered ? QStringLiteral("完成！") : QStringLiteral("失败！");
    d.appendResult(word);
    op.sendEnding();
    return Outcome::doneIf(answered, word);
}

void startTerminal(Dialogue& d) { d.ReceiveMode = kUserCmd; }

std::optional<QStringList> probeLinkSpeeds(Dialogue& d, const QString& portName) {
    d.ReceiveMode.clear();
    SerialPort& port = d.port();
    std::optional<QStringList> speeds;
    if (port.OpenComPort(portName, 9600)) {
        speeds = baseSpeedTexts();
        if (port.SetComBaud(921600)) *speeds << highSpeedTexts();
    }
    port.CloseComPort();
    d.ReceiveMode = kUserCmd;
    return speeds;
}

namespace {
// The drive has answered the command: it echoed the command's text, and the last line it sent
// after that which is not blank ends with ">" (a prompt still on its way from the command before
// does not count).
bool answered(const QByteArray& received, const QByteArray& command) {
    QByteArray typed = command;
    typed.removeIf([](char c) { return static_cast<uchar>(c) < 0x20 || static_cast<uchar>(c) >= 0x7F; });
    const qsizetype echo = typed.isEmpty() ? 0 : received.lastIndexOf(typed);
    if (echo < 0) return false;
    const QList<QByteArray> lines = received.mid(echo + typed.size()).split('\n');
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        const QByteArray t = lines[i].trimmed();
        if (!t.isEmpty()) return t.endsWith('>');
    }
    return false;
}
}  // namespace

void closePort(Dialogue& d) {
    SerialPort& port = d.port();
    if (port.isOpen() && port.wroteSinceOpen() && !d.shuttingDown() && !d.portLost()) {
        Clock& clock = d.clock();
        const qint64 until = clock.nowUs() + qint64{kCloseAnswerMs} * 1000;
        while (port.isOpen() && !answered(port.receivedSinceWrite(), port.lastCommand()) &&
               clock.nowUs() < until)
            clock.waitForArrival(until, [&port](qint64 us) { return port.waitForData(us); });
    }
    port.CloseComPort();
}

void switchPressed(Dialogue& d) { d.AbortRequested = false; }

void portOpened(Dialogue& d) { d.setPortLost(false); }

void portLost(Dialogue& d) {
    d.AbortRequested = true;
    d.setPortLost(true);
    d.console().addSealedLine(QStringLiteral("错误: 串口连接已断开！"));
}

void requestAbort(Dialogue& d) { d.AbortRequested = true; }

void closeTerminal(Dialogue& d, bool operationRunning) {
    d.AbortRequested = true;
    if (operationRunning) d.beginShutdown();
}

void echoReceived(Dialogue& d, const QByteArray& chunk) {
    // The dispatcher shows text in the "usercmd" mode only; the hexadecimal view follows it.
    if (d.console().hexDisplay() && d.ReceiveMode == kUserCmd) d.console().insertHex(chunk);
}

}  // namespace hdd
