// The one-shot service dialogues of the main window's keys.
//
// Each is a short, fixed exchange with the drive's monitor, and each returns its Outcome. Those
// that end with a fresh prompt, hold the window busy or take a while run in an Operation frame,
// which ends them as the key always did: "usercmd" and a carriage return, "usercmd" alone (the
// keys that deliberately send no closing CR), or nothing after a failed guard where the key stops
// there. Those that need the T level start with the guard, which prints "错误: 请先切换至T级！"
// when the drive is elsewhere: the outcome is then refused by the drive. What the drive answers is
// shown in the console; none of them judges a wait that runs out.
#pragma once

#include <QByteArray>
#include <QString>

#include "outcome.h"

namespace hdd {

class Dialogue;

inline const QString kLevel1Failed = QStringLiteral("转至1级失败！");

// Sets "usercmd" and sends the bytes (the plain keys).
Outcome SendUserBytes(Dialogue& d, const QByteArray& bytes);
// "%": "%" in "usercmd", ~100 ms, "\r".
Outcome SendPercent(Dialogue& d);
// "/T": "/\r" in "usercmd", then ~100 ms.
Outcome BackToT(Dialogue& d);
// Ctrl-Z, ~100 ms, "/" + level + "\r", ~100 ms (the "/1" and "/2" keys).
Outcome ForceLevel(Dialogue& d, char level);
// Ctrl-L, a prompt wait, "E4E\r": the calibration record.
Outcome ShowCalibrationRecord(Dialogue& d);
// "/\r", ~100 ms, then the list command ("V1\r", "V2\r", "V4\r", "i1,1,22\r", ...), in "usercmd".
Outcome DefectListCommand(Dialogue& d, const QByteArray& command);
// Asks first with a Yes/No question titled "提示"; on No nothing is sent and the outcome is
// refused (input).
Outcome ConfirmedDefectListCommand(Dialogue& d, const QString& question, const QByteArray& command);
// "R1、R2命令": R1R2 of the monitor's routines, in whatever receive mode was set.
Outcome R1R2Key(Dialogue& d);

// "切换到50": busy; guard; "N50,,22\r"; CR.
Outcome Switch50(Dialogue& d);
// "转F级": ToF, then CR. Failed when the drive did not come to F level, aborted when stopped.
Outcome ToFKey(Dialogue& d);
// "清SMART": busy; guard; "/1\r"; at "1>" "N1\r", otherwise "转至1级失败！" (failed). Ends in
// "usercmd" without a closing CR, also after a failed guard.
Outcome ClearSmart(Dialogue& d);
// "清健康值": guard (nothing more after a failure); "H,,22\r"; CR.
Outcome ClearHealth(Dialogue& d);
// The self-calibration and self-repair runs: guard (nothing more after a failure); "H,,22\r"; the
// run's command; Ctrl-T; "usercmd" without CR.
Outcome StartSelfRun(Dialogue& d, const QByteArray& runCommand);
// "停止自校准": Ctrl-Z, "N50,,22\r"; "usercmd" without CR.
Outcome StopSelfCalibration(Dialogue& d);
// "校准流程": busy; guard; "/c\r", "D\r", "/\r"; CR.
Outcome CalibrationFlow(Dialogue& d);
// "强制读写": busy; guard; "/1\r", "F\r", "/\r"; CR.
Outcome ForcedReadWrite(Dialogue& d);
// "电机停转" and "电机启动".
Outcome MotorStop(Dialogue& d);
Outcome MotorStart(Dialogue& d);
// "010" and "000": Ctrl-D up to 20 times until an answer line contains the pattern, or no answer
// comes.
Outcome StepUntil(Dialogue& d, const QByteArray& pattern);

// "写入SN" and "打开LBA48": the identity routines with their outcome. Refused (input) for an empty

}  // namespace hdd
