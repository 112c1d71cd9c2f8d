#include "script.h"

#include "dialogue.h"
#include "download.h"
#include "dump.h"
#include "monitor.h"
#include "sector_file.h"
#include "text.h"
#include "track.h"
#include "transfer.h"

namespace hdd {

namespace {

// The numeric fields were checked by the parser: plain hexadecimal digits.
QByteArray field(const ScriptStep& s, int i) { return s.fields[i].toLatin1(); }

void level(Dialogue& d, const QString& argument) {
    const QString letter = argument.left(1);
    if (letter == QLatin1String("F")) {
        const QByteArray mode = d.ReceiveMode;
        ToF(d);
        d.ReceiveMode = mode;  // ToF leaves its capture mode for the caller to set back
    } else if (letter == QLatin1String("T")) {
        d.SendString("/\r");
    } else {
        d.SendString("/" + toGbk(letter) + "\r");
    }
}

// The download reports as the send-file key does: SendFile itself only speaks when it refuses
// the file or is aborted, and a download the drive never answered must not pass unnoticed.
void sendFile(Dialogue& d, const ScriptStep& s) {
    d.addLine(kSendingFile);
    const bool ok = SendFile(d, s.file, s.number);
    if (ok || !d.AbortRequested) d.appendResult(ok ? kDone : kFailed);
}

// The last line with text on it is the abort line.
bool saidAborted(const Console& c) {
    for (int i = c.lineCount() - 1; i >= 0; --i) {
        if (!c.line(i).isEmpty()) return c.line(i) == toGbk(kAborted);
    }
    return false;
}

}  // namespace

void RunScriptStep(Dialogue& d, const ScriptStep& s, const ScriptHooks& hooks) {
    switch (s.op) {
        case ScriptOp::Invalid:
            d.addLine(s.error);
            break;
        case ScriptOp::Echo:
            d.addLine(s.text);
            break;
        case ScriptOp::Level:
            level(d, s.text);
            break;
        case ScriptOp::Sleep:
            d.PumpWait(static_cast<int>(s.number / 10));
            break;
        case ScriptOp::Speed: {
            const bool t = isT(d);
            DriveSpeedFor(d, s.text, t);
            break;
        }
        case ScriptOp::Baudrate:
            HostSpeedFor(d, s.text);
            break;
        case ScriptOp::Str:
            d.SendString(toGbk(s.text) + "\r");
            break;
        case ScriptOp::Hex:
        case ScriptOp::Dec:
            d.SendString(QByteArray(1, static_cast<char>(s.number & 0xFF)));
            break;
        case ScriptOp::SendFile:
            sendFile(d, s);
            break;
        case ScriptOp::ReadSectors:
            // track / head / buffer / buffer length / start sector / sector count / file
            ReadTrack(d, field(s, 0), field(s, 1), field(s, 4), field(s, 5), field(s, 2), field(s, 3), s.file,
                      true);
            break;
        case ScriptOp::WriteSectors:
            WriteTrack(d, field(s, 0), field(s, 1), field(s, 4), field(s, 5), field(s, 2), field(s, 3),
                       s.file, hooks.portSpeed ? hooks.portSpeed() : QString());
            break;
        case ScriptOp::ReadBuf:
            ReadBuffer(d, field(s, 0), field(s, 1), s.file);
            break;
        case ScriptOp::WriteBuf:
            WriteBuffer(d, field(s, 0), field(s, 1), s.file);
            break;
        case ScriptOp::CreatFile:
            // Silence here would let a script go on as if the target had been made.
            if (!BuildSectorFile(s.fields[0], s.fields[1], s.fields[2], s.fields[3], s.fields[4], s.fields[5],
                                 s.file))
                d.addLine(QStringLiteral("生成文件%1失败！").arg(s.file));
            break;
        case ScriptOp::Skip:
        case ScriptOp::Show:
        case ScriptOp::Unknown:
            break;
    }
}

ScriptEnd RunScript(Dialogue& d, const QStringList& lines, const ScriptHooks& hooks) {
    d.ReceiveMode.clear();
    d.AbortRequested = false;
    ScriptEnd end = ScriptEnd::Finished;
    for (const QString& line : lines) {
        const ScriptStep step = ParseScriptLine(line);
        if (step.op != ScriptOp::Skip) {
            if (hooks.showLine) hooks.showLine(step.line);
            if (step.op != ScriptOp::Show) {
                RunScriptStep(d, step, hooks);
                d.PumpWait(20);
            }
        }
        if (d.AbortRequested) {
            end = ScriptEnd::Stopped;
            break;
        }
    }
    // Say that the run was cut short, unless the routine that saw the stop said so already or the
    // port went away (which has its own line).
    if (end == ScriptEnd::Stopped && d.port().isOpen() && !d.shuttingDown() && !saidAborted(d.console()))
        d.addLine(kAborted);
    d.ReceiveMode = kUserCmd;
    d.SendString("\r");
    d.AbortRequested = false;
    return end;
}

}  // namespace hdd
