#include "service_commands.h"

#include "dialogue.h"
#include "monitor.h"

namespace hdd {

namespace {

// The window's panels are off while the dialogue runs.
class BusyScope {
public:
    explicit BusyScope(Dialogue& d) : host_(d.host()) { host_.setBusy(true); }
    ~BusyScope() { host_.setBusy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    Host& host_;
};

void endWithPrompt(Dialogue& d) {
    d.ReceiveMode = kUserCmd;
    d.SendString("\r");
}

// Send, then pump a little: the drive at the other end needs the gap between the keys it is
// typed.
void sendPumped(Dialogue& d, const QByteArray& bytes) {
    d.SendString(bytes);
    d.PumpWait(2);
}

}  // namespace

void SendUserBytes(Dialogue& d, const QByteArray& bytes) {
    d.ReceiveMode = kUserCmd;
    d.SendString(bytes);
}

void ForceLevel(Dialogue& d, char level) {
    d.ReceiveMode = kUserCmd;
    d.SendString("\x1a");
    d.PumpWait(10);
    d.SendString(QByteArray("/") + level + "\r");
    d.PumpWait(10);
}

void ShowCalibrationRecord(Dialogue& d) {
    d.ReceiveMode = kUserCmd;
    d.SendString("\x0c");
    d.WaitHD(50);
    d.SendString("E4E\r");
}

void DefectListCommand(Dialogue& d, const QByteArray& command) {
    d.ReceiveMode = kUserCmd;
    d.SendString("/\r");
    d.PumpWait(10);
    d.SendString(command);
}

bool ConfirmedDefectListCommand(Dialogue& d, const QString& question, const QByteArray& command) {
    if (!d.host().question(question, QStringLiteral("提示"))) return false;
    DefectListCommand(d, command);
    return true;
}

void Switch50(Dialogue& d) {
    BusyScope busy(d);
    if (guardT(d)) {
        d.ReceiveMode = kUserCmd;
        d.SendString("N50,,22\r");
        d.PumpWait(10);
    }
    endWithPrompt(d);
}

bool ToFKey(Dialogue& d) {
    d.AbortRequested = false;
    bool ok = false;
    {
        BusyScope busy(d);
        ok = ToF(d);
        endWithPrompt(d);
    }
    d.AbortRequested = false;
    return ok;
}

void ClearSmart(Dialogue& d) {
    BusyScope busy(d);
    if (guardT(d)) {
        d.ReceiveMode = kUserCmd;
        d.SendString("/1\r");
        d.WaitHD(20);
        if (d.LastPrompt == "1>") {
            d.PumpWait(20);
            d.SendString("N1\r");
            d.PumpWait(2);
        } else {
            d.addLine(kLevel1Failed);
        }
    }
    d.ReceiveMode = kUserCmd;
}

void ClearHealth(Dialogue& d) {
    if (!guardT(d)) return;
    d.ReceiveMode.clear();
    d.SendString("H,,22\r");
    d.WaitHD(50);
    endWithPrompt(d);
}

void StartSelfRun(Dialogue& d, const QByteArray& runCommand) {
    if (!guardT(d)) return;
    d.ReceiveMode.clear();
    d.SendString("H,,22\r");
    d.WaitHD(50);
    d.SendString(runCommand);
    d.WaitHD(50);
    // The run starts when the drive restarts.
    d.SendString("\x14");
    d.ReceiveMode = kUserCmd;
}

void StopSelfCalibration(Dialogue& d) {
    d.ReceiveMode.clear();
    d.SendString("\x1a");
    d.WaitHD(10);
    d.SendString("N50,,22\r");
    d.WaitHD(10);
    d.ReceiveMode = kUserCmd;
}

void CalibrationFlow(Dialogue& d) {
    BusyScope busy(d);
    if (guardT(d)) {
        d.ReceiveMode = kSysCmd;
        d.SendString("/c\r");
        d.WaitHD(10);
        d.ReceiveMode = kUserCmd;
        d.SendString("D\r");
        d.WaitHD(50);
        d.SendString("/\r");
    }
    endWithPrompt(d);
}

void ForcedReadWrite(Dialogue& d) {
    BusyScope busy(d);
    if (guardT(d)) {
        d.ReceiveMode = kUserCmd;
        d.SendString("/1\r");
        d.WaitHD(10);
        d.SendString("F\r");
        d.WaitHD(10);
        d.SendString("/\r");
        d.WaitHD(10);
    }
    endWithPrompt(d);
}

void MotorStop(Dialogue& d) {
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
    endWithPrompt(d);
}

void MotorStart(Dialogue& d) {
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
    endWithPrompt(d);
}

int StepUntil(Dialogue& d, const QByteArray& pattern) {
    BusyScope busy(d);
    d.ReceiveMode = kSysCmd;
    int sent = 0;
    for (int i = 0; i < 20; ++i) {
        d.CaptureBuffer.clear();
        d.SendString("\x04");
        ++sent;
        d.PumpWait(5);
        const QList<QByteArray> lines = d.captureLines();
        if (lines.isEmpty()) break;  // the drive did not answer
        bool found = false;
        for (const QByteArray& line : lines) found = found || line.contains(pattern);
        if (found) break;
    }
    endWithPrompt(d);
    d.CaptureBuffer.clear();
    return sent;
}

}  // namespace hdd
