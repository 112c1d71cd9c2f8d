// The simulated firmware: identification, CERT loading, the revision, module and reserve-area
// answers. See firmware_model.h for the settings that shape them.
#include <QByteArray>

#include "drive.h"
#include "firmware_model.h"
#include "system_area.h"
#include "zone_state.h"

namespace hddsim {

namespace {

QByteArray hex4(int v) { return QByteArray::number(v, 16).toUpper().rightJustified(4, '0'); }

bool monitorUp(const Drive& d) { return d.level != "F"; }

// Ctrl-A: the drive's identification line.
void identify(Drive& d) {
    const FirmwareFamily& f = firmwareFamily(d);
    QByteArray line = QByteArray(f.family) + " " + f.iface + "_Disk " + f.version + " 06-14-05";
    if (f.maskOnDiskLine) line += QByteArray(" Mask Rom Rev = ") + f.maskRom;
    d.print("\r\n");
    d.printLine(line);
    d.prompt();
}

// Ctrl-L: the revisions of the boot code.
void revisions(Drive& d) {
    const FirmwareFamily& f = firmwareFamily(d);
    d.print("\r\n");
    if (!f.maskOnDiskLine) d.printLine(QByteArray("Mask Rom Rev = ") + f.maskRom);
    d.printLine("Servo Rev 0102");
    d.prompt();
}

void loadCert(Drive& d) {
    d.print("\r\n");
    d.printLine("Loading Cert... Done");
    d.state<FirmwareState>().certLoaded = true;
    d.prompt();
}

// "r": the revisions of what is loaded.
void codeRevision(Drive& d) {
    const FirmwareFamily& f = firmwareFamily(d);
    if (certLoaded(d)) {
        d.printLine(QByteArray("Disk Code Revision ") + f.version);
        d.printLine("Cert Rev 0001");
    } else {
        d.printLine("Cert Not Loaded");
    }
    d.prompt();
}

// "y": where the firmware modules lie.
void moduleCylinders(Drive& d) {
    const FirmwareFamily& f = firmwareFamily(d);
    const int base = reserveStart(d);
    const bool shortStyle = d.setting("fw.yStyle") == 1;
    const int copies = qBound(1, d.setting("fw.appCopies", 2), 4);
    static const char* longApp[] = {"First", "Second", "Third", "Fourth"};
    static const char* shortApp[] = {"1st", "2nd", "3rd", "4th"};
    d.printLine("Drive Config");
    for (int i = 0; i < copies; ++i) {
        const QByteArray cyl = hex4(base + f.app.offset + i);
        d.printLine(shortStyle ? QByteArray(shortApp[i]) + " App Code Cyl " + cyl + " Hd 0"
                               : QByteArray(longApp[i]) + " App Code Cylinder " + cyl + " Head 00");
    }
    const QByteArray cert = hex4(base + f.cert0.offset);
    d.printLine(shortStyle ? "1st CertCode Cyl " + cert + " Hd 0"
                           : "First Cert Code Cylinder " + cert + " Head 00");
    if (d.setting("fw.yNoIntf") != 1) {
        const QByteArray ata = hex4(base + f.ata.offset), ven = hex4(base + f.ven.offset);
        d.printLine(shortStyle ? "1st IntfCode Cyl " + ata + " Hd 0"
                               : "First Intf Code Cylinder " + ata + " Head 00");
        d.printLine(shortStyle ? "1st Intf Sys Cyl " + ven + " Hd 0"
                               : "First Intf System Cylinder " + ven + " Head 00");
    }
    d.prompt();
}

// "w4" and "w1" at T level: the APP and the CERT module in memory are written to the disk.
void saveModule(Drive& d, const QByteArray& module) {
    d.printLine("Saving " + module + "...");
    d.pause(1'500'000);
    d.printLine("Done");
    d.state<FirmwareState>().saved << module;
    d.prompt();
}

QByteArray reserveRange(const Drive& d) {
    return hex4(reserveStart(d)) + "-" + hex4(reserveStart(d) + reserveTracks(d) - 1);
}

// "x" at level 2: the cylinder map.
void cylinderMap(Drive& d) {
    d.printLine("User: 00000000-0003FFFF");
    if (d.setting("fw.xStyle") == 1) {
        d.printLine("Sys=" + reserveRange(d) + " " + hex4(sectorsPerTrack(d)) + " Hds=2");
    } else {
        d.printLine("Reserve: " + reserveRange(d) + " (" + hex4(sectorsPerTrack(d)) + ")");
    }
    printZoneTable(d);
    d.prompt();
}

// "%": drive information.
void driveInfo(Drive& d) {
    d.print("\r\n");
    d.printLine("Drive Info");
    if (d.setting("fw.noPercent") != 1)
        d.printLine(": \"SysArea\" " + reserveRange(d) + " Spt " + hex4(sectorsPerTrack(d)));
    if (d.setting("fw.noAx") == 1)
        d.printLine(QByteArray("SerNum ") + kSimSerial + " Cfg 00");
    else
        d.printLine(QByteArray("SerNum AX=") + kSimSerial + "' Cfg 00");
    d.prompt();
}

FirmwareState::SeedKey wanted(const Drive& d) {
    const AtaLayout ata = ataLayout(d);
    return {d.setting(QStringLiteral("fw.family")),
            reserveStart(d),
            d.setting(QStringLiteral("fw.spt")),
            d.setting(QStringLiteral("fw.appCopies"), 2),
            ata.end0,
            ata.start,
            ata.end1};
}

void place(SystemArea& sa, int base, const ModulePlace& p, const char* module, int firstSector = 0,
           const AtaLayout& ata = {}) {
    const int end = qMin<int>(p.start + p.count, static_cast<int>(sa.sectorsPerTrack));
    if (end <= p.start) return;
    QByteArray image;
    image.reserve(qsizetype{end - p.start} * SystemArea::kSectorSize);
    for (int s = p.start; s < end; ++s) image += moduleSector(module, firstSector + s - p.start, ata);
    const std::pair<quint32, quint32> key{static_cast<quint32>(base + p.offset),
                                          static_cast<quint32>(p.head)};
    if (p.start == 0 && !sa.tracks.count(key)) {
        // A track nobody touched yet: the rest of it is made from the default content when it is
        // first read, which keeps the drive quick to answer its first byte.
        sa.tracks[key] = image;
    } else {
        sa.seed(key.first, key.second, image, static_cast<quint32>(p.start));
    }
}

// The module images, at the family's cylinders (done again when the settings change).
void seedModules(Drive& d) {
    FirmwareState& st = d.state<FirmwareState>();
    const FirmwareState::SeedKey w = wanted(d);
    if (st.seeded == w) return;
    st.seeded = w;
    SystemArea& sa = d.state<SystemArea>();
    if (d.setting(QStringLiteral("fw.spt")) > 0)
        sa.sectorsPerTrack = static_cast<quint32>(sectorsPerTrack(d));
    const FirmwareFamily& f = firmwareFamily(d);
    const int base = reserveStart(d);
    for (int i = 0; i < qBound(1, w.copies, 4); ++i) place(sa, base + i, f.app, "APP");
    place(sa, base, f.cert0, "CERT0");
    if (f.cert0More) place(sa, base, *f.cert0More, "CERT0", f.cert0.count);
    if (f.cert1) place(sa, base, *f.cert1, "CERT1");
    place(sa, base, f.table, "TABLE");
    place(sa, base, f.ata, "ATA", 0, ataLayout(d));
    place(sa, base, f.ven, "VEN");
}

// Whether the read command now typed is one the fw.failModule fault fails: it reads sectors of
// that module on its track.
bool failingRead(Drive& d) {
    const int which = d.setting(QStringLiteral("fw.failModule"));
    if (which < 1 || which > 6 || d.level != "2" || !d.typed().startsWith("r,")) return false;
    const SystemArea& sa = d.state<SystemArea>();
    const QList<QByteArray> args = d.typed().mid(2).split(',');
    bool okFirst = false, okCount = false;
    const int first = args.value(0).trimmed().toInt(&okFirst, 16);
    const int count = args.value(1).trimmed().toInt(&okCount, 16);
    if (!sa.selected || !okFirst || !okCount || args.size() != 2) return false;
    const FirmwareFamily& f = firmwareFamily(d);
    QList<ModulePlace> places;
    switch (which) {
        case 1:
            places << f.app;
            break;
        case 2:
            places << f.cert0;
            if (f.cert0More) places << *f.cert0More;
            break;
        case 3:
            if (f.cert1) places << *f.cert1;
            break;
        case 4:
            places << f.table;
            break;
        case 5:
            places << f.ata;
            break;
        default:
            places << f.ven;
            break;
    }
    const int base = reserveStart(d);
    for (const ModulePlace& p : places) {
        if (sa.selectedCylinder == static_cast<quint32>(base + p.offset) &&
            sa.selectedHead == static_cast<quint32>(p.head) && first < p.start + p.count &&
            first + count > p.start) {
            return ++d.state<FirmwareState>().failingReads >= d.setting(QStringLiteral("fw.failRead"), 1);
        }
    }
    return false;
}

}  // namespace

AtaLayout ataLayout(const Drive& d) {
    const AtaLayout fallback;
    return {d.setting(QStringLiteral("fw.ataEnd0"), fallback.end0),
            d.setting(QStringLiteral("fw.ataStart"), fallback.start),
            d.setting(QStringLiteral("fw.ataEnd1"), fallback.end1)};
}

const QList<FirmwareFamily>& firmwareFamilies() {
    static const QList<FirmwareFamily> families = {
        {"TONKA",
         "ATA",
         "3.ALB",
         "T-1C",
         false,
         {0x16, 0, 0, 0x1A0},
         {0x64, 0, 0, 0x2C9},
         std::nullopt,
         ModulePlace{0x64, 1, 0, 0xDF},
         {0x66, 0, 0xDF, 0x15},
         {0x68, 0, 0, 0x7A},
         {0x6C, 0, 0, 0x12}},
        {"NHPLUS2HD",
         "SATA",
         "3.AAC",
         "S-1N",
         false,
         {0x16, 0, 0, 0x238},
         {0x64, 0, 0, 0x35C},
         std::nullopt,
         ModulePlace{0x64, 1, 0, 0x1C4},
         {0x66, 0, 0x1C4, 0x17},
         {0x68, 0, 0, 0x93},
         {0x6C, 0, 0, 0x12}},
        {"ALPINE",
         "ATA",
         "3.ABC",
         "A-3F",
         true,
         {0x15, 0, 0, 0x180},
         {0x29, 0, 0, 0x240},
         std::nullopt,
         std::nullopt,
         {0x29, 0, 0x240, 0x11},
         {0x2A, 0, 0, 0x5D},
         {0x2C, 0, 0, 0x12}},
        {"TONKA40",
         "ATA",
         "4.AGC",
         "T4-2",
         true,
         {0x16, 0, 0, 0x234},
         {0x64, 0, 0, 0x2FD},
         ModulePlace{0x66, 0, 0, 0x10B},
         std::nullopt,
         {0x66, 0, 0x10B, 0x18},
         {0x68, 0, 0, 0x9D},
         {0x6C, 0, 0, 0x12}},
        {"GALAXY",
         "SATA",
         "5.ABC",
         "G-2A",
         false,
         {0x16, 0, 0, 0x238},
         {0x70, 0, 0, 0x280},
         std::nullopt,
         ModulePlace{0x70, 1, 0, 0x1A8},
         {0x72, 0, 0x1A8, 0x18},
         {0x74, 0, 0, 0x9D},
         {0x78, 0, 0, 0x12}},
        {"ZEPHYR",
         "SATA",
         "1.000",
         "Z-1",
         false,
         {0x20, 0, 0, 0x200},
         {0x50, 0, 0, 0x300},
         std::nullopt,
         ModulePlace{0x50, 1, 0, 0x100},
         {0x52, 0, 0x100, 0x10},
         {0x54, 0, 0, 0x80},
         {0x58, 0, 0, 0x12}},
    };
    return families;
}

const FirmwareFamily& firmwareFamily(const Drive& d) {
    const auto& all = firmwareFamilies();
    const int i = d.setting("fw.family");
    return all[(i >= 0 && i < all.size()) ? i : 0];
}

int reserveStart(const Drive& d) { return d.setting(QStringLiteral("fw.reserve"), 0x2A0); }
int reserveTracks(const Drive& d) { return qMax(1, d.setting(QStringLiteral("fw.reserveTracks"), 0x80)); }
int sectorsPerTrack(Drive& d) {
    const int spt = d.setting(QStringLiteral("fw.spt"));
    return spt > 0 ? spt : static_cast<int>(d.state<SystemArea>().sectorsPerTrack);
}
bool certLoaded(Drive& d) { return d.state<FirmwareState>().certLoaded || d.setting("fw.certLoaded") == 1; }

QByteArray moduleSector(const char* module, int sector, const AtaLayout& ata) {
    QByteArray s(512, '\0');
    const QByteArray head = QByteArray(module) + " sector " + QByteArray::number(sector, 16).toUpper();
    const int salt = static_cast<int>(qChecksum(QByteArrayView(module)));
    char* b = s.data();
    for (int i = 0; i < 512; ++i) b[i] = static_cast<char>((sector * 31 + i * 7 + salt) & 0xFF);
    s.replace(0, head.size(), head);
    if (qstrcmp(module, "VEN") == 0 && sector == 4) {
        // The identity sector: the serial number as an ATA string (byte pairs swapped) at byte 54.
        QByteArray sn = QByteArray(kSimSerial).leftJustified(40, ' ');
        for (qsizetype i = 0; i + 1 < sn.size(); i += 2) std::swap(sn[i], sn[i + 1]);
        s.replace(54, sn.size(), sn);
    }
    if (qstrcmp(module, "ATA") == 0) {
        // Two parts: each ends with FF as the last byte of a sector, followed by zero sectors; the
        // second begins at a sector with 00 00 16 00.
        auto ends = [sector](int marker) { return marker > 0 && sector == marker; };
        const bool padding = (ata.end0 > 0 && sector > ata.end0 && (ata.start <= 0 || sector < ata.start)) ||
                             (ata.end1 > 0 && sector > ata.end1 && ata.end1 > ata.start);
        if (padding) return QByteArray(512, '\0');
        if (ata.start > 0 && sector == ata.start) s.replace(0, 4, QByteArray("\0\0\x16\0", 4));
        if (ends(ata.end0) || ends(ata.end1)) s[511] = '\xFF';
    }
    return s;
}

void seedFirmware(Drive& d) { seedModules(d); }

void installFirmwareCommands(Drive& drv) {
    // The modules are in place before any command looks at the system area.
    drv.addByteHandler([](Drive& d, char c) {
        seedModules(d);
        // A sector that cannot be read: the drive retries it for a long while before it answers.
        if (c == '\r' && failingRead(d)) d.pause(20'000'000);
        // "%" acts at once, at the start of a line.
        if (c == '%' && d.typed().isEmpty() && monitorUp(d)) {
            driveInfo(d);
            return true;
        }
        // Ctrl-R loads CERT at T level; it is taken here, ahead of the control keys, because the
        // firmware state it changes lives here.
        if (c == 0x12 && d.level == "T") {
            loadCert(d);
            return true;
        }
        return false;
    });
    drv.addControlHandler([](Drive& d, char c) {
        if (!monitorUp(d)) return false;
        switch (c) {
            case 0x01:
                identify(d);
                return true;
            case 0x0C:
                revisions(d);
                return true;
            default:
                return false;
        }
    });
    drv.addLineHandler([](Drive& d, const QByteArray& line) {
        const QByteArray cmd = line.trimmed();
        if (d.level == "T" && cmd == "r") {
            codeRevision(d);
        } else if (d.level == "T" && cmd == "y") {
            moduleCylinders(d);
        } else if (d.level == "T" && (cmd == "w4" || cmd == "w1")) {
            saveModule(d, cmd == "w4" ? "APP" : "CERT");
        } else if (d.level == "2" && cmd == "x") {
            cylinderMap(d);
        } else {
            return false;
        }
        return true;
    });
}

}  // namespace hddsim
