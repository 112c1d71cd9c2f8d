// Zones: cutting chosen zones out of use, the zone information's reload, save and view, and the
// conversion of an LBA into the drive's physical address.
//
// Each head's recording surface is divided into zones, runs of cylinders with their own sectors
// per track. At level 2 the drive lists them after "x" ("Head 00", then "Zone 03 1800-1FFF 1024
// ..." lines: cylinders hexadecimal, sectors per track decimal). At level E, after the cylinder
// and head were chosen with "S<cyl>,<head>" at level 2, "a0" shows the parameters of the zone
// there ("End Cyl:" says whether the zone information is loaded at all, the line "n Secs Per
// Trk:" gives the number n of the parameter that holds the sectors per track) and "a<n>,0" sets
// that parameter to 0: the zone is cut. The capacity lost is summed and reported, so that the
// technician can save the zone information ("l10") and lower the drive's LBA count.
//
// The table is read and checked as a whole before anything is cut: a line that cannot be read
// cuts nothing, so the report always matches what was cut. Every key runs in the operation frame
// and, once it has begun talking to the drive, ends with "/\r", the "usercmd" mode and a carriage
// return.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

#include "outcome.h"

namespace hdd {

class Dialogue;

// What "a0" at level E says. nullopt from the parser when an "End Cyl:" value cannot be read.
struct ZoneParameters {
    bool loaded = true;             // no "End Cyl:" line counts as loaded
    QByteArray sptParameter = "6";  // the number of the sectors-per-track parameter
};
std::optional<ZoneParameters> parseZoneParameters(const QList<QByteArray>& lines);

// One zone to cut, as the table wrote it.
struct ZoneCut {
    QByteArray head;   // the head line's number ("00")
    QByteArray first;  // first cylinder ("1800")
    qint64 sectors = 0;
};
// The cuts a zone table asks for. `head` and `zone` are two-character texts, or empty for all.
// `reserveStart` is the reserve area's first cylinder (or -1): on head 0 the zone that encloses it
// strictly is left alone. `unreadable` holds the first selected line that could not be read (no
// cuts then).
struct ZonePlan {
    QList<ZoneCut> cuts;
    qint64 total = 0;
    QByteArray unreadable;
    bool readable() const { return unreadable.isEmpty(); }
};
ZonePlan planZoneCuts(const QList<QByteArray>& table, const QByteArray& head, const QByteArray& zone,
                      qint64 reserveStart);

// The head and zone texts of the fields as the table is searched with them: one character gets a
// leading "0", "FF" matches all (empty).
QByteArray zoneSelector(const QString& text);

// The report line of a cut total: "硬盘容量共减少<n>扇区(约<G>G)，请保存段位信息并调整硬盘LBA！".
QString capacityLossLine(qint64 sectors);

// The LBA conversion command for a decimal LBA text ("D,1234", "DF,4240"); nullopt when the text
// is no decimal number.
std::optional<QByteArray> lbaCommand(const QString& decimal);

// "/2", "S1000,0", "/e", "a0", "/": the zone parameters (receive mode "syscmd").
std::optional<ZoneParameters> ReadZoneParameters(Dialogue& d);

// The keys. Message boxes for missing input (nothing sent: refused, input); console lines for the
// rest. A drive away from T level, without the CERT module or without zone information refuses
// (kNotAtT, kLoadCertFirst, kNotLoadedCut, kNotLoadedSave); zone parameters or a table that cannot
// be read and a cut that cuts nothing fail; a stop between two cuts aborts.
Outcome CutZones(Dialogue& d, const QString& head, const QString& zone);  // "砍段"
Outcome ReloadZones(Dialogue& d);                                         // "重载"
Outcome SaveZones(Dialogue& d);                                           // "保存"
Outcome ShowZones(Dialogue& d);                                           // "查看段位信息"
Outcome ConvertLba(Dialogue& d, const QString& lba);                      // "转换"

inline const QString kCuttingZones = QStringLiteral("正在砍段......");
// The drive has no zone information loaded: the cut and the save refuse.
inline const QString kNotLoadedCut = QStringLiteral("请先加载段位信息");
inline const QString kNotLoadedSave = QStringLiteral("段位信息未加载！");

}  // namespace hdd
