// The drive's monitor level and link speed.
//
// The level is never stored: every operation asks the drive again. WaitPrompt forces a prompt
// (Ctrl-Z, then "/\r", up to 30 times); isT and isF compare the prompt that "/\r" brings back.
// Most operations start with the T-level guard. ToF restarts the drive into the F level, where
// it talks at 9600 baud.
//
// A speed change tells the drive first, at the old speed ("B0921\r" at T level, "b0921\r" at
// F level), switches the port about 100 ms later, then forces a prompt at the new speed. The
// selectors pick the operation from a speed text and the drive's level; any text that is not
// one of the known higher speeds means 9600.
//
// The drive-and-host operations and the selectors return whether the drive answered at the new
// speed. Callers that only go on to their own prompt waits may ignore it; whoever reports the
// speed change to the user must not call a dead link "done".
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace hdd {

class Dialogue;

// Forces a prompt; LastPrompt holds it afterwards, or is empty when the drive never answered.
void WaitPrompt(Dialogue& d);
bool isT(Dialogue& d);
bool isF(Dialogue& d);
// The T-level guard: false (and the console line "错误: 请先切换至T级！") when not at T level.
bool guardT(Dialogue& d);
// Restarts the drive into the F level; leaves ReceiveMode at "syscmd" and the port at 9600.
bool ToF(Dialogue& d);
// Ctrl-Z, then "Z" twice: a fresh F-level command line before a download.
void FreshFCommandLine(Dialogue& d);
// "/\r", "R1\r", "R2\r", in whatever receive mode was set; the answers are not looked at.
void R1R2(Dialogue& d);

inline const QString kNotAtT = QStringLiteral("错误: 请先切换至T级！");

// The eight speeds and their drive codes.
struct LinkSpeed {
    qint32 baud;
    const char* code;
};
const QList<LinkSpeed>& linkSpeeds();
QStringList baseSpeedTexts();  // 9600 .. 115200
QStringList highSpeedTexts();  // 230400 .. 921600
// The speed a selector text stands for: one of the known higher speeds, else 9600.
qint32 selectSpeed(const QString& text);
// The drive's command for a speed: "B0921\r" at T level, "b0921\r" at F level ("0096" for a
// speed the drive does not know).
QByteArray speedCommand(qint32 baud, bool fLevel);

// Host side: the port (and the window's view of it) only.
void HostSpeed(Dialogue& d, qint32 baud);
// Drive and host: the speed command at the old speed, the port ~100 ms later, a prompt at the
// new speed. True when that prompt came.
bool DriveSpeed(Dialogue& d, qint32 baud, bool fLevel);
// The selector rule without the level test: the T- or F-level operation of the text's speed.
bool DriveSpeedFor(Dialogue& d, const QString& text, bool tLevel);
// The host-side operation of the text's speed.
void HostSpeedFor(Dialogue& d, const QString& text);
// The selectors: isT once, then the T- or F-level operation of the text's speed.
bool AdMySpeed(Dialogue& d, const QString& text);
bool SetSpeed9600(Dialogue& d);

inline void Speed9600(Dialogue& d) { HostSpeed(d, 9600); }
inline void Speed38400(Dialogue& d) { HostSpeed(d, 38400); }
inline void Speed57600(Dialogue& d) { HostSpeed(d, 57600); }
inline void Speed115200(Dialogue& d) { HostSpeed(d, 115200); }
inline void Speed230400(Dialogue& d) { HostSpeed(d, 230400); }
inline void Speed460800(Dialogue& d) { HostSpeed(d, 460800); }
inline void Speed625200(Dialogue& d) { HostSpeed(d, 625200); }
inline void Speed921600(Dialogue& d) { HostSpeed(d, 921600); }

inline bool Set9600(Dialogue& d) { return DriveSpeed(d, 9600, false); }
inline bool Set38400(Dialogue& d) { return DriveSpeed(d, 38400, false); }
inline bool Set57600(Dialogue& d) { return DriveSpeed(d, 57600, false); }
inline bool Set115200(Dialogue& d) { return DriveSpeed(d, 115200, false); }
inline bool Set230400(Dialogue& d) { return DriveSpeed(d, 230400, false); }
inline bool Set460800(Dialogue& d) { return DriveSpeed(d, 460800, false); }
inline bool Set625200(Dialogue& d) { return DriveSpeed(d, 625200, false); }
inline bool Set921600(Dialogue& d) { return DriveSpeed(d, 921600, false); }

inline bool SetF9600(Dialogue& d) { return DriveSpeed(d, 9600, true); }
inline bool SetF38400(Dialogue& d) { return DriveSpeed(d, 38400, true); }
inline bool SetF57600(Dialogue& d) { return DriveSpeed(d, 57600, true); }
inline bool SetF115200(Dialogue& d) { return DriveSpeed(d, 115200, true); }
inline bool SetF230400(Dialogue& d) { return DriveSpeed(d, 230400, true); }
inline bool SetF460800(Dialogue& d) { return DriveSpeed(d, 460800, true); }
inline bool SetF625200(Dialogue& d) { return DriveSpeed(d, 625200, true); }
inline bool SetF921600(Dialogue& d) { return DriveSpeed(d, 921600, true); }

}  // namespace hdd
