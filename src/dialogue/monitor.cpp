#include "monitor.h"

#include "dialogue.h"

namespace hdd {

namespace {

// Saves the receive mode and restores it on the way out.
class ModeScope {
public:
    ModeScope(Dialogue& d, const QByteArray& mode) : d_(d), saved_(d.ReceiveMode) { d.ReceiveMode = mode; }
    ~ModeScope() { d_.ReceiveMode = saved_; }

private:
    Dialogue& d_;
    QByteArray saved_;
};

bool isLevel(Dialogue& d, const QByteArray& prompt) {
    WaitPrompt(d);
    ModeScope scope(d, kSysCmd);
    d.SendString("/\r");
    d.WaitHD(10);
    return d.LastPrompt == prompt;
}

}  // namespace

void WaitPrompt(Dialogue& d) {
    ModeScope scope(d, kSysCmd);
    for (int attempt = 0; attempt < 30 && !d.shuttingDown(); ++attempt) {
        d.SendString("\x1a");
        d.WaitHD(2);
        d.SendString("/\r");
        if (d.WaitHD(5)) break;
    }
}

bool isT(Dialogue& d) { return isLevel(d, "T>"); }
bool isF(Dialogue& d) { return isLevel(d, "F>"); }

bool guardT(Dialogue& d) {
    if (isT(d)) return true;
    d.addLine(kNotAtT);
    return false;
}

void FreshFCommandLine(Dialogue& d) {
    d.SendString("\x1a");
    d.WaitHD(5);
    d.SendString("Z\r");
    d.WaitHD(50);
    d.SendString("Z\r");
    d.PumpWait(100);
}

void R1R2(Dialogue& d) {
    d.SendString("/\r");
    d.WaitHD(10);
    d.SendString("R1\r");
    d.WaitHD(500);
    d.SendString("R2\r");
    d.WaitHD(500);
}

bool ToF(Dialogue& d) {
    d.addLine(QStringLiteral("转换至F级..........."));
    d.ReceiveMode.clear();
    d.PumpWait(10);
    d.SendString("\x1a");
    d.PumpWait(20);
    if (isF(d)) {
        d.SendString("/\r");
        d.PumpWait(20);
        d.ReceiveMode = kSysCmd;
        d.CaptureBuffer.clear();
        d.SendString("\x03");
    } else {
        d.SendString("/\r");
        d.PumpWait(20);
        d.SendString("N50,,22\r");
        d.WaitHD(500);
        d.SendString("/\r");
        d.PumpWait(20);
        d.ReceiveMode = kSysCmd;
        d.CaptureBuffer.clear();
        d.SendString("\x14");
    }
    Speed9600(d);
    for (int i = 0; i < 501 && !d.AbortRequested && !d.shuttingDown(); ++i) {
        if (!d.captureLines().isEmpty()) break;
        d.PumpWait(2);
    }
    d.LastPrompt.clear();
    for (int i = 0; i < 501 && !d.AbortRequested && !d.shuttingDown(); ++i) {
        d.SendString("\x1b");
        d.PumpWait(2);
        if (d.LastPrompt.size() == 2 && d.LastPrompt.endsWith('>')) break;
    }
    d.SendString("/\r");
    d.WaitHD(20);
    if (d.LastPrompt == "F>") {
        d.SendString("\x1a");
        d.PumpWait(2);
        d.SendString("Z");
        d.PumpWait(20);
        d.SendString("Z");
        d.PumpWait(20);
        d.appendResult(QStringLiteral("成功！"));
        return true;
    }
    d.appendResult(QStringLiteral("失败！"));
    return false;
}

const QList<LinkSpeed>& linkSpeeds() {
    static const QList<LinkSpeed> speeds = {
        {9600, "0096"},   {38400, "0384"},  {57600, "0576"},  {115200, "0115"},
        {230400, "0230"}, {460800, "0460"}, {625200, "0625"}, {921600, "0921"},
    };
    return speeds;
}

QStringList baseSpeedTexts() { return {"9600", "38400", "57600", "115200"}; }
QStringList highSpeedTexts() { return {"230400", "460800", "625200", "921600"}; }

qint32 selectSpeed(const QString& text) {
    for (const char* s : {"38400", "57600", "115200", "230400", "460800", "625200", "921600"}) {
        if (text == QLatin1String(s)) return text.toInt();
    }
    return 9600;
}

QByteArray speedCommand(qint32 baud, bool fLevel) {
    QByteArray code = "0096";
    for (const LinkSpeed& s : linkSpeeds()) {
        if (s.baud == baud) code = s.code;
    }
    return (fLevel ? "b" : "B") + code + "\r";
}

void HostSpeed(Dialogue& d, qint32 baud) {
    d.PumpWait(1);
    // A port that refuses the rate keeps its old one, and the window shows the rate it really has.
    const bool taken = d.port().SetComBaud(baud);
    d.host().hostSpeedChanged(QString::number(taken || !d.port().isOpen() ? baud : d.port().baud()));
    d.PumpWait(1);
}

bool DriveSpeed(Dialogue& d, qint32 baud, bool fLevel) {
    // The drive answers at the old speed and only then switches: tell it first, switch the port
    // once its answer is out, then find it again at the new speed.
    WaitPrompt(d);
    d.SendString(speedCommand(baud, fLevel));
    d.PumpWait(10);
    HostSpeed(d, baud);
    WaitPrompt(d);
    return !d.LastPrompt.isEmpty();
}

bool DriveSpeedFor(Dialogue& d, const QString& text, bool tLevel) {
    return DriveSpeed(d, selectSpeed(text), !tLevel);
}

void HostSpeedFor(Dialogue& d, const QString& text) { HostSpeed(d, selectSpeed(text)); }

bool AdMySpeed(Dialogue& d, const QString& text) { return DriveSpeedFor(d, text, isT(d)); }

bool SetSpeed9600(Dialogue& d) { return AdMySpeed(d, QStringLiteral("9600")); }

}  // namespace hdd
