// Command scripts: the interpreter.
//
// A script replays a drive dialogue line by line (the language is in script_line.h): level and
// speed changes, typed commands and control characters, pauses, downloads, and transfers between
// files and the drive buffer or system-area sectors, each through the same routine its dedicated
// key uses. RunScript takes the editor's lines as they stand when the run starts:
//
//   - received text is shown nowhere while the script runs (the routines set their own modes);
//   - each line that is not skipped is shown as the current command; a command line then runs and
//     is followed by a 200 ms pause (an unknown keyword or a refused line too);
//   - the stop request (AbortRequested: the dialog's stop key, the main window's abort key, a lost
//     port) is tested after every line; routines that poll it stop early themselves;
//   - a routine that fails reports on the console itself, a console line names the script line
//     ("错误: 第3行 W_BUF/800/4/x.bin：执行失败"), and the script goes on with the next line; a file
//     the line reads and cannot open is refused with a box that names the path and the reason;
//   - at the end the console mode is "usercmd", a carriage return asks for a fresh prompt and the
//     stop request is cleared (the run is one operation frame).
//
// Every line that is not skipped comes to an Outcome of its own: done; refused (check) for a line
// the parser refused or an unknown keyword (ignored all the same); failed when its routine failed (a file
// refused or not written, a transfer, a level or speed change the drive did not follow); aborted when its
// routine saw the stop. The run's outcome folds them together (the worst wins), aborted when the stop ended
// it early, so a script with a failing line fails as a whole while the lines after it still run.
//
// RunScript does not look at the script as a whole first: the front ends do that with CheckScript
// (script_check.h) and decide what to do with its findings.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "outcome.h"
#include "script_line.h"

namespace hdd {

class Dialogue;

// What one line of a run came to.
struct ScriptLineResult {
    int number = 0;  // 1 for the script's first line, counting skipped lines
    QString text;    // the trimmed line, as the current-command field shows it
    Outcome outcome;
};

struct ScriptHooks {
    // Shows the line being run (the dialog's "正在执行命令：" field).
    std::function<void(const QString&)> showLine;
    // The main window's current port-speed text: the speed a sector write re-raises the link to
    // when the drive falls back to 9600 after a download.
    std::function<QString()> portSpeed;
    // Each line that was not skipped, once it has run (and its pause is over).
    std::function<void(const ScriptLineResult&)> lineEnded;
};

Outcome RunScript(Dialogue& d, const QStringList& lines, const ScriptHooks& hooks = {});
// One command line, without the pause and the stop test.
Outcome RunScriptStep(Dialogue& d, const ScriptStep& step, const ScriptHooks& hooks = {});

inline const QString kSendingFile = QStringLiteral("正在发送文件......");

}  // namespace hdd
