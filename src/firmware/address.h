// Address discovery: the reserve area and the module cylinders, from the drive's own answers.
//
// The parsers are pure functions over the captured lines; the dialogue operations send the
// commands, wait and parse. Every address is kept as normalised hexadecimal text (upper case, no
// leading zeros); a value that cannot be read as an address of at most 31 bits is not taken, so
// a garbled answer leaves the field empty and the operation reports failure instead of passing a
// made-up cylinder on to a transfer.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace hdd {

class Dialogue;

// Text helpers of the answer parsers. A missing character gives an empty part.
QByteArray partBefore(const QByteArray& text, char c);
QByteArray partAfter(const QByteArray& text, char c);

// A cylinder or other address as normalised hexadecimal text; nullopt when the text is not a
// hexadecimal number below 80000000.
std::optional<QString> normaliseAddress(const QByteArray& text);
// The value of normalised address text (nullopt when not an address).
std::optional<quint32> addressValue(const QString& text);

// The reserve area as the answer to "x\r" at level 2 gives it ("Reserve:" or "Sys=" lines; a
// later line overwrites an earlier one). A field that could not be read is empty.
struct ReserveFields {
    QString first;  // first cylinder
    QString last;   // last cylinder
    QString spt;    // sectors per track
    bool complete() const { return !first.isEmpty() && !last.isEmpty() && !spt.isEmpty(); }
    // Every field holds more than blanks (fields typed by the user may carry them).
    bool known() const;
};
ReserveFields parseReserveAnswer(const QList<QByteArray>& lines);

// The module cylinders of the answer to "y\r", in its long ("First App Code Cylinder") or short
// ("1st App Code Cyl") line style. App copies are joined by ",", in answer order.
struct ModuleFields {
    QString app;
    QString cert0;
    QString ata;
    QString ven;
    bool complete() const { return !app.isEmpty() && !cert0.isEmpty() && !ata.isEmpty() && !ven.isEmpty(); }
    bool known() const;
};
ModuleFields parseModuleAnswer(const QList<QByteArray>& lines);

// The reserve area's first cylinder from the answer to "%\r" (the range after the quoted label of
// a line that begins with ":"); empty when none.
QString parseReserveStartPercent(const QList<QByteArray>& lines);
// The same from the answer to "x\r".
QString parseReserveStartX(const QList<QByteArray>& lines);

// Whether the answer to "r\r" shows a loaded CERT module.
bool showsCertLoaded(const QList<QByteArray>& lines);

// Takes the drive to level 2 and asks "x\r" there: the answer's lines, or nullopt when no "2>"
// prompt came within promptWait. The caller has set a capturing receive mode ("syscmd"); the
// capture buffer is emptied first.
std::optional<QList<QByteArray>> AskReserveAnswer(Dialogue& d, int promptWait);

// The first cylinder of the reserve area, asked from the drive ("%\r", else "x\r" at level 2 when
// the drive is at T level). Empty when not found. The receive mode is restored; the drive may be
// left at level 2.
QString GetSysB(Dialogue& d);

// Asks "r\r" at T level whether the CERT module is loaded. Leaves the receive mode at "syscmd"
// and the capture buffer empty.
bool IsCertLoaded(Dialogue& d);

inline const QString kLoadCertFirst = QStringLiteral("请先加载Cert模块！(按^R加载Cert)");

}  // namespace hdd
