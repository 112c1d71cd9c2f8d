#include "script.h"

#include "dialogue.h"
#include "download.h"
#include "dump.h"
#include "monitor.h"
#include "operation.h"
#include "script_check.h"
#include "sector_file.h"
#include "text.h"
#include "track.h"
#include "transfer.h"

namespace hdd {

namespace {

// The numeric fields were checked by the parser: plain hexadecimal digits.
QByteArray field(const ScriptStep& s, int i) { return s.fields[i].toLatin1(); }

// A routine's result as its line's outcome: a routine that saw the stop ends its line aborted.
Outcome routineOutcome(Dialogue& d, bool ok, const ScriptStep& s) {
    if (ok) return Outcome::done();
    return d.AbortRequested ? Outcome::aborted() : Outcome::failed(s.line);
}

// The same for a routine that writes the step's file.
Outcome wroteFile(Dialogue& d, bool ok, const ScriptStep& s) {
    Outcome o = routineOutcome(d, ok, s);
    if (ok) o.wrote(s.file);
    return o;
}

Outcome level(Dialogue& d, const ScriptStep& s) {
    const QString letter = s.text.left(1);
    if (letter == QLatin1String("F")) {
        const QByteArray mode = d.ReceiveMode;
        const bool ok = ToF(d);
        d.ReceiveMode = mode;  // ToF leaves its capture mode for the caller to set back
        return routineOutcome(d, ok, s);
    }
    if (letter == QLatin1String("T")) {
        d.SendString("/\r");
    } else {
        d.SendString("/" + toGbk(letter) + "\r");
    }
    return Outcome::done();
}

// A file the line reads and cannot open: the box names the path and the system's reason (the
// routine's own box would only say that some file could not be opened). Empty when it can be read.
QString refuseFile(Dialogue& d, const ScriptStep& s) {
    const QString why = scriptReadRefusal(s.file);
    if (!why.isEmpty()) d.host().information(why);
    return why;
}

// The download reports as the send-file key does: SendFile itself only speaks when it refuses
// the file or is aborted, and a download the drive never answered must not pass unnoticed.
Outcome sendFile(Dialogue& d, const ScriptStep& s) {
    d.addLine(kSendingFile);
    if (const QString why = refuseFile(d, s); !why.isEmpty()) {
        d.appendResult(kFailed);
        return Outcome::failed(why);
    }
    const bool ok = SendFile(d, s.file, s.number);
    if (ok || !d.AbortRequested) d.appendResult(ok ? kDone : kFailed);
    return routineOutcome(d, ok, s);
}

// The last line with text on it is the abort line.
bool saidAborted(const Console& c) {
    for (int i = c.lineCount() - 1; i >= 0; --i) {
        if (!c.line(i).isEmpty()) return c.line(i) == toGbk(kAborted);
    }
    return false;
}

}  // namespace

Outcome RunScriptStep(Dialogue& d, const ScriptStep& s, const ScriptHooks& hooks) {
    switch (s.op) {
        case ScriptOp::Invalid:
            d.addLine(s.error);
            return Outcome::refused(Outcome::By::Check, s.error);
        case ScriptOp::Echo:
            d.addLine(s.text);
            break;
        case ScriptOp::Level:
            return level(d, s);
        case ScriptOp::Sleep:
            d.PumpWait(static_cast<int>(s.number / 10));
            break;
        case ScriptOp::Speed: {
            const bool t = isT(d);
            return routineOutcome(d, DriveSpeedFor(d, s.text, t), s);
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
            return sendFile(d, s);
        case ScriptOp::ReadSectors:
            // track / head / buffer / buffer length / start sector / sector count / file
            return wroteFile(d,
                             ReadTrack(d, field(s, 0), field(s, 1), field(s, 4), field(s, 5), field(s, 2),
                                       field(s, 3), s.file, true),
                             s);
        case ScriptOp::WriteSectors:
            if (const QString why = refuseFile(d, s); !why.isEmpty()) {
                d.addLine(kWritingData);  // as the write itself reports a refused file
                d.appendResult(kFailed);
                return Outcome::failed(why);
            }
            return routineOutcome(
                d,
                WriteTrack(d, field(s, 0), field(s, 1), field(s, 4), field(s, 5), field(s, 2), field(s, 3),
                           s.file, hooks.portSpeed ? hooks.portSpeed() : QString()),
                s);
        case ScriptOp::ReadBuf:
            return wroteFile(d, ReadBuffer(d, field(s, 0), field(s, 1), s.file), s);
        case ScriptOp::WriteBuf:
            if (const QString why = refuseFile(d, s); !why.isEmpty()) return Outcome::failed(why);
            return routineOutcome(d, WriteBuffer(d, field(s, 0), field(s, 1), s.file), s);
        case ScriptOp::CreatFile: {
            const bool ok = BuildSectorFile(s.fields[0], s.fields[1], s.fields[2], s.fields[3], s.fields[4],
                                            s.fields[5], s.file);
            // Silence here would let a script go on as if the target had been made.
            if (!ok) d.addLine(QStringLiteral("生成文件%1失败！").arg(s.file));
            return wroteFile(d, ok, s);
        }
        case ScriptOp::Unknown:
            // Ignored, as the language says; but the line did not do anything.
            return Outcome::refused(Outcome::By::Check, QStringLiteral("未知的命令“%1”").arg(s.keyword));
        case ScriptOp::Skip:
        case ScriptOp::Show:
            break;
    }
    return Outcome::done();
}

Outcome RunScript(Dialogue& d, const QStringList& lines, const ScriptHooks& hooks) {
    Operation op(d);
    d.ReceiveMode.clear();
    Outcome run;
    bool stopped = false;
    for (int i = 0; i < lines.size() && !stopped; ++i) {
        const ScriptStep step = ParseScriptLine(lines[i]);
        if (step.op != ScriptOp::Skip) {
            if (hooks.showLine) hooks.showLine(step.line);
            Outcome line;
            if (step.op != ScriptOp::Show) {
                line = RunScriptStep(d, step, hooks);
                // A routine that failed has said so in its own words; say which line it was.
                if (line.status == Outcome::Status::Failed && d.port().isOpen() && !d.shuttingDown())
                    d.addLine(failedLine(i + 1, step.line));
                d.PumpWait(20);
            }
            run.merge(line);
            if (hooks.lineEnded) hooks.lineEnded({i + 1, step.line, line});
        }
        stopped = d.AbortRequested;
    }
    if (stopped) {
        run.merge(Outcome::aborted());
        // Say that the run was cut short, unless the routine that saw the stop said so already or
        // the port went away (which has its own line).
        if (d.port().isOpen() && !d.shuttingDown() && !saidAborted(d.console())) d.addLine(kAborted);
    }
    return run;
}

}  // namespace hdd
