// The one-shot service dialogues of the main window's keys.
//
// Each is a short, fixed exchange with the drive's monitor. Those that take a while hold the
// window busy (Host::setBusy) from start to end; those that need the T level start with the
// guard, which prints "错误: 请先切换至T级！" when the drive is elsewhere. What the drive answers
// is shown in the console; none of them judges a wait that runs out.
#pragma once

#include <QByteArray>
#include <QString>

namespace hdd {

class Dialogue;

inline const QString kLevel1Failed = QStringLiteral("转至1级失败！");

// Sets "usercmd" and sends the bytes.
void SendUserBytes(Dialogue& d, const QByteArray& bytes);
// Ctrl-Z, ~100 ms, "/" + level + "\r", ~100 ms (the "/1" and "/2" keys).
void ForceLevel(Dialogue& d, char level);
// Ctrl-L, a prompt wait, "E4E\r": the calibration record.
void ShowCalibrationRecord(Dialogue& d);
// "/\r", ~100 ms, then the list command ("V1\r", "V2\r", "V4\r", "i1,1,22\r", ...), in "usercmd".
void DefectListCommand(Dialogue& d, const QByteArray& command);
// Asks first with a Yes/No question titled "提示"; on No nothing is sent. True when sent.
bool ConfirmedDefectListCommand(Dialogue& d, const QString& question, const QByteArray& command);

// "切换到50": busy; guard; "N50,,22\r"; CR.
void Switch50(Dialogue& d);
// "转F级": ToF with the abort request cleared before and after; CR.
bool ToFKey(Dialogue& d);
// "清SMART": busy; guard; "/1\r"; at "1>" "N1\r", otherwise "转至1级失败！". No closing CR.
void ClearSmart(Dialogue& d);
// "清健康值": guard; "H,,22\r"; CR.
void ClearHealth(Dialogue& d);
// The self-calibration and self-repair runs: guard; "H,,22\r"; the run's command; Ctrl-T.
void StartSelfRun(Dialogue& d, const QByteArray& runCommand);
// "停止自校准": Ctrl-Z, "N50,,22\r".
void StopSelfCalibration(Dialogue& d);
// "校准流程": busy; guard; "/c\r", "D\r", "/\r"; CR.
void CalibrationFlow(Dialogue& d);
// "强制读写": busy; guard; "/1\r", "F\r", "/\r"; CR.
void ForcedReadWrite(Dialogue& d);
// "R1、R2命令" is R1R2 of the monitor's routines.
// "电机停转" and "电机启动".
void MotorStop(Dialogue& d);
void MotorStart(Dialogue& d);
// "010" and "000": Ctrl-D up to 20 times until an answer line contains the pattern, or no answer
// comes. Returns the number of Ctrl-D sent.
int StepUntil(Dialogue& d, const QByteArray& pattern);

}  // namespace hdd
