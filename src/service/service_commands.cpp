#include "service_commands.h"

#include <QObject>

#include "dialogue.h"
#include "identity.h"
#include "monitor.h"
#include "operation.h"
#include "text.h"

namespace hdd {

namespace {

Outcome notAtT() { return Outcome::refused(Outcome::By::Drive, kNotAtT); }

// Send, then pump a little: the drive at the other end needs the gap between the keys it is
// typed.
void sendPumped(Dialogue& d, const QByteArray& bytes) {
    d.SendString(bytes);
    d.PumpWait(2);
}

}  // namespace

Outcome SendUserBytes(Dialogue& d, const QByteArray& bytes) {
    d.ReceiveMode = kUserCmd;
    d.SendString(bytes);
    return Outcome::done();
}

Outcome SendPercent(Dialogue& d) {
    SendUserBytes(d, "%");
    d.PumpWait(10);
    d.SendString("\r");
    return Outcome::done();
}

Outcome BackToT(Dialogue& d) {
    SendUserBytes(d, "/\r");
    d.PumpWait(10);
    return Outcome::done();
}

Outcome ForceLevel(Dialogue& d, char level) {
    d.ReceiveMode = kUserCmd;
    d.SendString("\x1a");
    d.PumpWait(10);
    d.SendString(QByteArray("/") + level + "\r");
    d.PumpWait(10);
    return Outcome::done();
}

Outcome ShowCalibrationRecord(Dialogue& d) {
    d.ReceiveMode = kUserCmd;
    d.SendString("\x0c");
    d.WaitHD(50);
    d.SendString("E4E\r");
    return Outcome::done();
}

Outcome DefectListCommand(Dialogue& d, const QByteArray& command) {
    d.ReceiveMode = kUserCmd;
    d.SendString("/\r");
    d.PumpWait(10);
    d.SendString(command);
    return Outcome::done();
}

Outcome ConfirmedDefectListCommand(Dialogue& d, const QString& question, const QByteArray& command) {
    if (!d.host().question(question, QStringLiteral("提示")))
        return Outcome::refused(Outcome::By::Input, question);
    return DefectListCommand(d, command);
}

Outcome R1R2Key(Dialogue& d) {
    R1R2(d);
    return Outcome::done();
}

Outcome Switch50(Dialogue& d) {
    Operation op(d);
    if (!guardT(d)) return notAtT();
    d.ReceiveMode = kUserCmd;
    d.SendString("N50,,22\r");
    d.PumpWait(10);
    return Outcome::done();
}

Outcome ToFKey(Dialogue& d) {
    Operation op(d);
    if (ToF(d)) return Outcome::done();
    return d.AbortRequested ? Outcome::aborted()
                            : Outcome::failed(QStringLiteral("转换至F级...........失败！"));
}

Outcome ClearSmart(Dialogue& d) {
    Operation op(d);
    Outcome o = notAtT();
    if (guardT(d)) {
        d.ReceiveMode = kUserCmd;
        d.SendString("/1\r");
        d.WaitHD(20);
        if (d.LastPrompt == "1>") {
            d.PumpWait(20);
            d.SendString("N1\r");
            d.PumpWait(2);
            o = Outcome::done();
        } else {
            d.addLine(kLevel1Failed);
            o = Outcome::failed(kLevel1Failed);
        }
    }
    op.endInUserMode();
    return o;
}

Outcome ClearHealth(Dialogue& d) {
    Operation op(d);
    if (!guardT(d)) {
        op.skipEnding();
        return notAtT();
    }
    d.ReceiveMode.clear();
    d.SendString("H,,22\r");
    d.WaitHD(50);
    return Outcome::done();
}

Outcome StartSelfRun(Dialogue& d, const QByteArray& runCommand) {
    Operation op(d);
    if (!guardT(d)) {
        op.skipEnding();
        return notAtT();
    }
    d.ReceiveMode.clear();
    d.SendString("H,,22\r");
    d.WaitHD(50);
    d.SendString(runCommand);
    d.WaitHD(50);
    // The run starts when the drive restarts.
    d.SendString("\x14");
    op.endInUserMode();
    return Outcome::done();
}

Outcome StopSelfCalibration(Dialogue& d) {
    Operation op(d);
    d.ReceiveMode.clear();
    d.SendString("\x1a");
    d.WaitHD(10);
    d.SendString("N50,,22\r");
    d.WaitHD(10);
    op.endInUserMode();
    return Outcome::done();
}

Outcome CalibrationFlow(Dialogue& d) {
    Operation op(d);
    if (!guardT(d)) return notAtT();
    d.ReceiveMode = kSysCmd;
    d.SendString("/c\r");
    d.WaitHD(10);
    d.ReceiveMode = kUserCmd;
    d.SendString("D\r");
    d.WaitHD(50);
    d.SendString("/\r");
    return Outcome::done();
}

Outcome ForcedReadWrite(Dialogue& d) {
    Operation op(d);
    if (!guardT(d)) return notAtT();
    d.ReceiveMode = kUserCmd;
    d.SendString("/1\r");
    d.WaitHD(10);
    d.SendString("F\r");
    d.WaitHD(10);
    d.SendString("/\r");
    d.WaitHD(10);
    return Outcome::done();
}

Outcome MotorStop(Dialogue& d) {
    Operation op(d);
    d.ReceiveMode.clear();
    d.SendString("\x1a");
    d.WaitHD(10);
    d.SendString("/\r");
    d.WaitHD(10);
    if (isT(d)) {
        // At level 2 the spindle stops on "Z\r".
        sendPumped(d, "/2\r");
        sendPumped(d, "\r");
        for (int i = 0; i < 2; ++i) {
            sendPumped(d, "\x1a");
            sendPumped(d, "Z\r");
            sendPumped(d, "\r");
        }
        sendPumped(d, "\x1a");
        sendPumped(d, "Z\r");
    } else {
        for (int i = 0; i < 3; ++i) {
            sendPumped(d, "\x1a");
            sendPumped(d, "\r");
            sendPumped(d, "Z\r");
        }
    }
    d.SendString("/\r");
    d.WaitHD(10);
    return Outcome::done();
}

Outcome MotorStart(Dialogue& d) {
    Operation op(d);
    d.ReceiveMode.clear();
    d.SendString("\x1a");
    d.WaitHD(10);
    d.SendString("/\r");
    d.WaitHD(10);
    if (isT(d)) {
        d.SendString("/2\r");
        d.WaitHD(10);
    }
    d.SendString("U\r");
    d.PumpWait(200);  // the spindle takes about two seconds to come up
    return Outcome::done();
}

Outcome StepUntil(Dialogue& d, const QByteArray& pattern) {
    Operation op(d);
    d.ReceiveMode = kSysCmd;
    for (int i = 0; i < 20; ++i) {
        d.CaptureBuffer.clear();
        d.SendString("\x04");
        d.PumpWait(5);
        const QList<QByteArray> lines = d.captureLines();
        if (lines.isEmpty()) break;  // the drive did not answer
        bool found = false;
        for (const QByteArray& line : lines) found = found || line.contains(pattern);
        if (found) break;
    }
    op.sendEnding();
    d.CaptureBuffer.clear();
    return Outcome::done();
}

}  // namespace hdd
