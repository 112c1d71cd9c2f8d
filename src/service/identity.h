// Drive identity: the identify words the drive answers a host with, changed word by word.
//
// At T level the monitor takes a word write after "F\r", which it answers with the prompt "->":
// the line "ASCI" + the word index (two upper-case hexadecimal digits) + the value (four) sets
// that word, "ASCIFE" puts the drive's own identity back first. The model text fills words 1B to
// 2E (two characters a word, padded with blanks to 40), the sector count the word pairs 3C/3D,
// 64/65, 81/82 and 83/84 (low word first). The serial number is typed after "#" (twice) and
// kept with "W"; word 53 = 4401 turns 48-bit addressing on.
//
// The word texts are pure functions; the operations check the input first (a message box, nothing
// sent), then talk to the drive, report in the console and return their outcome. None of them
// judges the drive's answer to a word write: "写入完成！" says that every write was sent.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

#include "outcome.h"

namespace hdd {

class Dialogue;

// What the identity dialog writes.
struct IdentityChoice {
    bool initialise = false;  // "初始化ID": "ASCIFE" first
    bool standard = false;    // "写入1、3、6键标准值": words 01, 03, 06
    bool model = true;        // "写入型号"
    bool capacity = true;     // "写入容量"
};

// One word write: "ASCI" + index + value + CR, upper-case hexadecimal ("ASCI013FFF\r").
QByteArray wordWrite(int index, quint16 value);

// The sector count a capacity text stands for: 10 to 2048 are gigabytes of 10^9 bytes, cut down to
// whole MiB; 19000000 to 4000000000 are a sector count. nullopt for anything else.
std::optional<quint64> capacitySectors(const QString& text);

// The 20 word writes of a model text (its bytes, then blanks up to 40; words 1B to 2E).
QList<QByteArray> modelWordWrites(const QByteArray& model);
// The eight word writes of a sector count (low word, high word; 3C, 64, 81, 83).
QList<QByteArray> capacityWordWrites(quint64 sectors);

// The dialog's input, checked in order; `field` names the field a refusal is about.
struct IdentityRefusal {
    QString message;
    enum Field { None, Model, Capacity } field = None;
};
// Nothing (no refusal) or the first refusal. The model is expected trimmed and upper-cased. A
// capacity field that is empty or no number is not looked at unless the capacity is to be written.
std::optional<IdentityRefusal> checkIdentityInput(const IdentityChoice& choice, const QString& model,
                                                  const QString& capacity);

// "写入信息", one operation: the checks (message box, refused as input, nothing sent), the T-level
// guard (refused by the drive), "无法写入！" when "F\r" brings no "->" (refused by the drive), the
// word writes and "写入完成！" (done). The model is trimmed and upper-cased in place.
Outcome WriteIdentity(Dialogue& d, const IdentityChoice& choice, QString& model, const QString& capacity);

// "写入SN": the serial number (trimmed and upper-cased in place) typed after "#", twice, and kept
// with "W" when `save`. Refused as input for an empty field (a message box), by the drive off T
// level. The main window's key runs it without the busy state, as "打开LBA48" below.
Outcome WriteSerialNumber(Dialogue& d, QString& serial, bool save);

// "打开LBA48": word 53 = 4401, after a check that the drive takes word writes ("无法写入！":
// refused by the drive).
Outcome OpenLba48(Dialogue& d);

// Upper-cases the ASCII letters only, as the monitor sees them.
QString asciiUpper(const QString& text);

// The drive shows no "->" after "F": its identify words cannot be written.
inline const QString kCannotWriteDrive = QStringLiteral("无法写入！");

}  // namespace hdd
