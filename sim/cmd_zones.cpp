// Simulated drive: zones and LBA conversion.
//
//   "x" at level 2          the cylinder map ends with the zone table (printZoneTable)
//   "S<cyl>,<head>" level 2 chooses a cylinder and head (hexadecimal) for the zone parameters
//   "a0" at level E         the parameters of the zone there ("2 End Cyl: 1FFF (8191)", ...)
//   "a<n>,<v>" at level E   sets parameter n to v (hexadecimal); 0 sectors per track cut the zone
//   "l1" / "l10" at T       the zone information read from / written to the disk
//   "D<hi>,<lo>" at level A the LBA (hi × 10000 + lo, hexadecimal) as cylinder, head and sector
#include "drive.h"
#include "zone_state.h"

namespace hddsim {

namespace {

QByteArray hexText(quint64 v, int width) {
    return QByteArray::number(v, 16).toUpper().rightJustified(width, '0');
}

QList<QList<SimZone>> defaultTable(const Drive& d) {
    const int heads = qBound(1, d.setting("zone.heads", 2), 10);
    const int count = qBound(1, d.setting("zone.count", 8), 32);
    QList<QList<SimZone>> table;
    for (int h = 0; h < heads; ++h) {
        QList<SimZone> zs;
        // Each head has boundaries of its own, a little apart from the others'.
        for (int z = 0; z < count; ++z) {
            SimZone s;
            s.first = z == 0 ? 0 : static_cast<quint32>(z * 0x800 + h * 0x20);
            s.last = z == count - 1 ? static_cast<quint32>(count * 0x800 - 1)
                                    : static_cast<quint32>((z + 1) * 0x800 + h * 0x20 - 1);
            s.spt = 1200 - 80 * (z % 8);
            zs << s;
        }
        table << zs;
    }
    return table;
}

const SimZone* zoneAt(const ZoneState& s, int head, qint64 cylinder, int* index = nullptr) {
    if (head < 0 || head >= s.heads.size()) return nullptr;
    const QList<SimZone>& zs = s.heads[head];
    for (int i = 0; i < zs.size(); ++i) {
        if (cylinder >= zs[i].first && cylinder <= zs[i].last) {
            if (index) *index = i;
            return &zs[i];
        }
    }
    return nullptr;
}

// The parameter names in order; the sectors per track may stand at another number.
QList<QByteArray> parameterNames(const Drive& d) {
    QList<QByteArray> names{"Zone Num",  "Start Cyl",     "End Cyl",      "Skew",
                            "Data Rate", "Bytes Per Sec", "Secs Per Trk", "Gap Len"};
    const int p = d.setting("zone.sptParam", 6);
    if (p >= 0 && p < names.size()) names.swapItemsAt(p, 6);
    return names;
}

void showParameters(Drive& d) {
    ZoneState& s = zones(d);
    int index = 0;
    const SimZone* z = zoneAt(s, s.head, s.cylinder, &index);
    if (!z) {
        d.printLine("No Zone Selected");
        d.prompt();
        return;
    }
    d.printLine("Zone " + hexText(index, 2) + " Hd " + hexText(s.head, 2) + " Cyl " + hexText(s.cylinder, 4));
    const bool tabs = d.setting("zone.tabs") == 1;
    const QList<QByteArray> names = parameterNames(d);
    for (int n = 0; n < names.size(); ++n) {
        const QByteArray& name = names[n];
        qint64 v = 0;
        if (name == "Zone Num") v = index;
        if (name == "Start Cyl") v = z->first;
        if (name == "End Cyl") v = z->last;
        if (name == "Skew") v = 0x14;
        if (name == "Data Rate") v = 0xA0 + index;
        if (name == "Bytes Per Sec") v = 512;
        if (name == "Secs Per Trk") v = z->spt;
        if (name == "Gap Len") v = 0x10;
        if (!s.loaded) v = 0;
        if (name == "End Cyl" && d.setting("zone.noEndCyl") == 1) continue;
        QByteArray line = QByteArray::number(n) + " " + name + ":" + (tabs ? "\t" : " ") + hexText(v, 4);
        if (!(name == "End Cyl" && d.setting("zone.endCylBare") == 1))
            line += (tabs ? "\t(" : " (") + QByteArray::number(v) + ")";
        d.printLine(line);
    }
    d.prompt();
}

void setParameter(Drive& d, int parameter, int value) {
    ZoneState& s = zones(d);
    int index = 0;
    const SimZone* z = zoneAt(s, s.head, s.cylinder, &index);
    const QList<QByteArray> names = parameterNames(d);
    if (!z || parameter < 0 || parameter >= names.size()) {
        d.printLine(z ? "Invalid Parameter" : "No Zone Selected");
        d.prompt();
        return;
    }
    s.sets << ZoneParameterSet{s.head, index, parameter, value};
    if (names[parameter] == "Secs Per Trk") s.heads[s.head][index].spt = value;
    d.printLine(names[parameter] + " = " + hexText(value, 4));
    d.prompt();
}

// The LBA as the drive counts it: cylinder by cylinder, each head's track in turn.
void convert(Drive& d, quint64 lba) {
    ZoneState& s = zones(d);
    s.conversions << lba;
    quint64 before = 0;
    quint32 lastCylinder = 0;
    for (const auto& zs : s.heads) {
        for (const SimZone& z : zs) lastCylinder = qMax(lastCylinder, z.last);
    }
    for (quint32 c = 0; c <= lastCylinder; ++c) {
        for (int h = 0; h < s.heads.size(); ++h) {
            const SimZone* z = zoneAt(s, h, c);
            const quint64 spt = z ? static_cast<quint64>(z->spt) : 0;
            if (lba < before + spt) {
                d.printLine("KBA " + hexText(lba, 8) + " -> LLP Cyl " + hexText(c, 4) + " Hd " +
                            hexText(h, 2) + " Sct " + hexText(lba - before, 4));
                d.prompt();
                return;
            }
            before += spt;
        }
    }
    d.printLine("LBA Out Of Range");
    d.prompt();
}

std::optional<quint64> hexArg(const QByteArray& t) {
    if (t.isEmpty()) return 0;
    bool ok = false;
    const quint64 v = t.toULongLong(&ok, 16);
    return ok ? std::optional<quint64>(v) : std::nullopt;
}

}  // namespace

qint64 ZoneState::sectors() const {
    qint64 n = 0;
    for (const auto& zs : heads) {
        for (const SimZone& z : zs) n += (qint64{z.last} - z.first + 1) * z.spt;
    }
    return n;
}

ZoneState& zones(Drive& d) {
    ZoneState& s = d.state<ZoneState>();
    if (s.heads.isEmpty()) {
        s.heads = s.saved = defaultTable(d);
        s.loaded = d.setting("zone.notLoaded") != 1;
    }
    return s;
}

void printZoneTable(Drive& d) {
    const ZoneState& s = zones(d);
    for (int h = 0; h < s.heads.size(); ++h) {
        d.printLine("Head " + hexText(h, 2) +
                    (d.setting("zone.headText") == 1 ? " Zones " + QByteArray::number(s.heads[h].size())
                                                     : QByteArray()));
        for (int z = 0; z < s.heads[h].size(); ++z) {
            const SimZone& zone = s.heads[h][z];
            QByteArray line = "Zone " + hexText(z, 2) + " " + hexText(zone.first, 4) + "-" +
                              hexText(zone.last, 4) + " " + QByteArray::number(zone.spt);
            if (d.setting("zone.sptBare") != 1)
                line += " Trk " + QByteArray::number(zone.last - zone.first + 1);
            d.printLine(line);
        }
    }
}

void installZoneCommands(Drive& drv) {
    drv.addLineHandler([](Drive& d, const QByteArray& typed) {
        const QByteArray line = typed.trimmed();
        ZoneState& s = zones(d);
        if (d.level == "2" && line.startsWith('S') && line.count(',') == 1) {
            const QList<QByteArray> a = line.mid(1).split(',');
            const auto cyl = hexArg(a[0]), head = hexArg(a[1]);
            if (a[0].isEmpty() || a[1].isEmpty() || !cyl || !head) return false;
            if (*head >= static_cast<quint64>(s.heads.size())) {
                d.printLine("Invalid Head");
            } else {
                s.cylinder = static_cast<int>(qMin<quint64>(*cyl, 0x7FFFFFFF));
                s.head = static_cast<int>(*head);
            }
            d.prompt();
            return true;
        }
        if (d.level == "E" && line.startsWith('a')) {
            const QList<QByteArray> a = line.mid(1).split(',');
            bool okN = false;
            const int n = a[0].toInt(&okN);
            const auto v = a.size() == 2 ? hexArg(a[1]) : std::optional<quint64>(0);
            if (!okN || a.size() > 2 || !v) return false;
            if (a.size() == 1 && n == 0) {
                showParameters(d);
            } else {
                setParameter(d, n, static_cast<int>(qMin<quint64>(*v, 0xFFFF)));
            }
            return true;
        }
        if (d.level == "T" && (line == "l1" || line == "l10")) {
            d.pause(line == "l1" ? 300'000 : 600'000);
            if (line == "l1") {
                s.heads = s.saved;
                s.loaded = true;
                ++s.reloads;
                d.printLine("Zone Table Loaded");
            } else {
                s.saved = s.heads;
                ++s.saves;
                d.printLine("Zone Table Saved");
            }
            d.prompt();
            return true;
        }
        if (d.level == "A" && line.startsWith('D') && line.count(',') == 1) {
            const QList<QByteArray> a = line.mid(1).split(',');
            const auto hi = hexArg(a[0]), lo = hexArg(a[1]);
            if (!hi || !lo || a[1].isEmpty() || a[1].size() > 4 || *hi > 0xFFFFFFFFULL) return false;
            convert(d, (*hi << 16) | *lo);
            return true;
        }
        return false;
    });
}

}  // namespace hddsim
