#include "exchange.h"

#include "dialogue.h"
#include "operation.h"
#include "terminal.h"

namespace hdd {

Outcome SendAndAwaitPrompt(Dialogue& d, const QString& line, int pulses) {
    sendCommandLine(d, line);
    if (d.WaitHD(pulses)) return Outcome::done();
    return Outcome::failed(QStringLiteral("no prompt after \"%1\"").arg(line.trimmed()));
}

Outcome SendLinesAtPrompt(Dialogue& d, const QStringList& lines, int pulses) {
    Operation op(d);
    op.endInUserMode();
    Outcome outcome;
    qsizetype sent = 0;
    while (sent < lines.size() && outcome.isDone()) {
        if (d.AbortRequested) {
            outcome = Outcome::aborted();
            break;
        }
        outcome = SendAndAwaitPrompt(d, lines[sent++], pulses);
        if (d.AbortRequested) outcome = Outcome::aborted();
    }
    const qsizetype left = lines.size() - sent;
    if (!outcome.isDone()) {
        if (outcome.status == Outcome::Status::Aborted)
            d.console().addSealedLine(QStringLiteral("被用户中止！"));
        else
            d.console().addSealedLine(QStringLiteral("等待提示符超时：%1").arg(lines[sent - 1].trimmed()));
        if (left > 0) d.console().addSealedLine(QStringLiteral("还有 %1 行未发送").arg(left));
    }
    return outcome;
}

}  // namespace hdd
