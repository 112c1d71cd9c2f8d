// Address discovery as the keys and the command line run it: the reserve area ("x" at level 2),
// the module cylinders ("y", once CERT is loaded), the firmware analysis over the family table,
// the drive's own save of APP and CERT, and the ensure operation that asks only for what is missing.
//
// The addresses travel as an AddressSet: the window fills one from its address fields, an operation
// updates it and the window writes it back; the command line starts from an empty one. Each
// operation runs in its own frame (Operation), so it ends with "usercmd" and a carriage return, and
// one started inside another (the ensure inside a module key) keeps the outer one's busy state.
// Values are hexadecimal text as the fields hold them; a value counts as known when it holds more
// than blanks, and a known value is never replaced by the ensure operation.
#pragma once

#include <QString>
#include <QStringList>

#include "address.h"
#include "buffer_info.h"
#include "outcome.h"

namespace hdd {

class Dialogue;
struct FamilyTable;

struct AddressSet {
    BufferFields buffers;   // read buffer block and size, write buffer block and size
    ReserveFields reserve;  // first and last cylinder of the reserve area, sectors per track
    ModuleFields modules;   // APP (its copies joined by ","), CERT0, ATA and Vendor cylinders
    QString cert1;          // the second CERT part, and its head: from the analysis only
    QString cert1Head;
    QString table;           // the TABLE cylinder: from the analysis only
    bool cert1Keys = false;  // the CERT1 fields and keys can be used
    bool tableKeys = false;  // the TABLE field and keys can be used
};

inline const QString kAnalysisFailed = QStringLiteral("失败，请尝试手动获取！");

// "保留区地址": at T level, "正在获取保留区地址......", level 2, "x", and "完成！" or "失败！"; then
// "/" and the ending. The fields are replaced by the answer's once level 2 was reached; they keep
// their values otherwise. Done when all three were found; failed; refused (Drive) away from T level.
Outcome FindReserveArea(Dialogue& d, ReserveFields& reserve);

// "模块地址": at T level with CERT loaded, "正在获取模块地址........", "y", and "完成！" or "失败！".
// The module fields are replaced by the answer's, and the analysis' CERT1 and TABLE are emptied and
// their keys disabled. Done when APP, CERT0, ATA and Vendor were found; failed; refused (Drive)
// away from T level or without CERT (kLoadCertFirst), leaving every field as it was.
Outcome FindModuleAddresses(Dialogue& d, AddressSet& a);

// "A": the module cylinders from the drive's identification, the family list (list position p is
// table entry p + 1) and the reserve area's first cylinder, asked first (FindReserveArea) when the
// reserve area is not known. "正在份析，请稍候........" with "完成！" when APP, ATA, CERT0, Vendor and
// TABLE are filled, else kAnalysisFailed (failed). Refused (Drive) away from T level; when the
// reserve area stays unknown, the outcome of that search and no more.
Outcome AnalyseFirmware(Dialogue& d, const QStringList& families, const FamilyTable& table, AddressSet& a);

// "保存APP.CERT": at T level the drive writes its APP and CERT modules from memory to the disk ("w4",
// "w1"); the answers are not judged. Refused (Drive) away from T level, where only the console line
// is added.
Outcome SaveAppAndCert(Dialogue& d);

// What an operation needs known: the buffers; those and the reserve area; those and the modules.
enum class AddressNeed { Buffers, System, Firmware };

// Asks the drive for the groups of `need` that are not known yet, in that order, and stops at the
// first that stays unknown. Done when everything needed is known; otherwise the outcome of the
// search that did not find it.
Outcome EnsureAddresses(Dialogue& d, AddressSet& a, AddressNeed need);

}  // namespace hdd
