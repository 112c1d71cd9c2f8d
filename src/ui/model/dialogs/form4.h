// Form4 "命令脚本" for headless front ends.
//
// A headless run has no moment of its own while a script runs: the key that starts the run returns
// only when the script has ended. So it presses the stop key the way the window's own waits let a
// user press it, from inside the run's waits: stopScriptWhen registers a check on the clock that
// every wait pulse runs, and presses "停止运行" (through the form, as a user would) once a script is
// running and the condition holds (an interrupt signal, a time limit).
#pragma once

#include <QString>
#include <functional>

namespace hdd {

class MainModel;
struct ScriptLineResult;

// Shows Form4 as its key does, loads `file` as "打开脚本" would and runs it as "运行脚本" does.
// False when the dialog's key cannot be pressed (no open port) or the file was refused (a message box
// says why); true once the script ran, whatever its lines reported (the run's outcome is then the
// window's lastOutcome()).
bool runScriptFile(MainModel& m, const QString& file);

// Hears every line of the runs "运行脚本" starts from now on, once the line has run (its number,
// text and outcome). False when the dialog is not part of the window.
bool onScriptLine(MainModel& m, std::function<void(const ScriptLineResult&)> heard);

// Presses Form4's stop key once, while a script runs and `when` holds. Returns the clock poller's
// id (Clock::removePoller ends the watch early; it ends by itself with the press or the window).
int stopScriptWhen(MainModel& m, std::function<bool()> when);

}  // namespace hdd
