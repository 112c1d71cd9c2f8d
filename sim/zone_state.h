// What the simulated drive's zone commands remember (see cmd_zones.cpp): the zone table in use and
// the one on the disk, the cylinder and head chosen for the zone parameters, every parameter set
// and every LBA converted.
//
// Settings that shape the table and the answers:
//   zone.heads        heads (default 2)
//   zone.count        zones a head (default 8; 800 cylinders each, the last ending at 3FFF)
//   zone.notLoaded    1: the zone information is not loaded until "l1"
//   zone.sptParam     the number of the sectors-per-track parameter (default 6)
//   zone.noEndCyl     1: the parameter answer has no "End Cyl:" line
//   zone.endCylBare   1: the "End Cyl:" value ends the line (nothing after it)
//   zone.tabs         1: the parameter values are set off by tabs, not blanks
//   zone.headText     1: the head lines of the table say more after the number
//   zone.sptBare      1: the zone lines end with the sectors per track
#pragma once

#include <QByteArray>
#include <QList>

namespace hddsim {

class Drive;

struct SimZone {
    quint32 first = 0;
    quint32 last = 0;
    int spt = 0;  // 0: cut
};

struct ZoneParameterSet {
    int head, zone, parameter, value;
    bool operator==(const ZoneParameterSet&) const = default;
};

struct ZoneState {
    QList<QList<SimZone>> heads;  // the table in use, one list of zones a head
    QList<QList<SimZone>> saved;  // the table on the disk ("l10" writes it, "l1" reads it back)
    bool loaded = true;
    int cylinder = -1;  // chosen with "S<cyl>,<head>" at level 2
    int head = -1;
    QList<ZoneParameterSet> sets;  // every "a<n>,<v>" taken at level E
    int reloads = 0;
    int saves = 0;
    QList<quint64> conversions;  // every LBA asked with "D" at level A

    // User sectors of the table in use.
    qint64 sectors() const;
};

// The zone state, with the table the settings describe on first use.
ZoneState& zones(Drive& d);
// The zone part of the answer to "x" at level 2: "Head 00", then its "Zone 00 0000-07FF 1200 ..."
// lines.
void printZoneTable(Drive& d);

}  // namespace hddsim
