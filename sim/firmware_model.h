// The simulated drive's firmware: its family, identification, reserve area and module layout.
//
// A family is chosen with the drive setting "fw.family" (an index into firmwareFamilies()); its
// modules lie at the cylinders the built-in family table gives for it, counted from the reserve
// area's first cylinder. Further settings shape the answers:
//
//   fw.reserve        first cylinder of the reserve area (default 2A0)
//   fw.reserveTracks  its number of cylinders (default 80)
//   fw.spt            sectors per track (default: the system area's)
//   fw.xStyle         "x" answer: 0 "Reserve: 02A0-031F (0380)", 1 "Sys=02A0-031F 0380 Hds=2"
//   fw.yStyle         "y" answer: 0 long lines ("First App Code Cylinder"), 1 short ("1st App Code Cyl")
//   fw.appCopies      App copies the "y" answer lists (1 to 4, default 2)
//   fw.yNoIntf        1: the "y" answer has no Intf lines
//   fw.noPercent      1: the "%" answer has no reserve-area line
//   fw.certLoaded     1: the CERT module counts as loaded from the start (else Ctrl-R loads it)
//   fw.noAx           1: the "%" answer has no " AX" line (the serial number the backup looks for)
//   fw.ataEnd0        ATA image: the sector whose last byte ends the first part (FF, then 16 zero
//                     bytes); default 2F (47); 0: no such marker
//   fw.ataStart       ATA image: the sector that starts the second part with 00 00 16 00 (the
//                     sectors before it, after the first part, are zeros); default 38 (56); 0: none
//   fw.ataEnd1        ATA image: the sector whose last byte ends the second part; default 50 (80)
//   fw.failModule     a module whose sectors cannot be read: 1 APP, 2 CERT0, 3 CERT1, 4 TABLE, 5 ATA,
//                     6 VEN; the drive retries for 20 s before it answers the read command
//   fw.failRead       the first failing read of that module, counted from 1 (default 1); every
//                     later read of it fails too
//
// (hddsim takes them as decimal numbers: --set fw.family=1 --set fw.reserve=672.)
//
// Commands: Ctrl-A and Ctrl-L (identification), Ctrl-R (load CERT), "r" (revisions, "Disk Code
// Revision" only once CERT is loaded), "y" (module cylinders), "w4" and "w1" (save APP and CERT)
// at T level, "x" (reserve area) at level 2, and "%" (drive information, at once, no CR needed).
//
// Module images: each sector carries its module and number in a header and a pattern of its own.
// Sector 4 of the Vendor image is the identity sector, with the serial number as an ATA string
// (byte pairs swapped, blanks after it) in the 40 bytes from byte 54. The ATA overlay holds two
// parts, each closed by an end marker, the second opened by a start marker (see fw.ata* above).
#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

namespace hddsim {

class Drive;

// A module's place: cylinder offset from the reserve area, head, sectors.
struct ModulePlace {
    int offset = 0;
    int head = 0;
    int start = 0;
    int count = 0;
};

struct FirmwareFamily {
    const char* family;   // as the identification names it
    const char* iface;    // the word before "_Disk"
    const char* version;  // firmware version
    const char* maskRom;  // mask ROM revision
    bool maskOnDiskLine;  // the revision stands on the "_Disk" line (else on its own line after Ctrl-L)
    ModulePlace app;
    ModulePlace cert0;
    std::optional<ModulePlace> cert0More;  // a continuation of the head-0 data on another cylinder
    std::optional<ModulePlace> cert1;      // head 1
    ModulePlace table;
    ModulePlace ata;
    ModulePlace ven;
};

// 0 TONKA (the default), 1 NHPLUS2HD S-1N, 2 ALPINE, 3 TONKA40 (CERT0 in two parts, no CERT1),
// 4 GALAXY, 5 ZEPHYR (in no table).
const QList<FirmwareFamily>& firmwareFamilies();

struct FirmwareState {
    // The settings the module images were placed for.
    struct SeedKey {
        int family, reserve, spt, copies, ataEnd0, ataStart, ataEnd1;
        bool operator==(const SeedKey&) const = default;
    };
    bool certLoaded = false;
    std::optional<SeedKey> seeded;
    QList<QByteArray> saved;  // modules saved to the disk by "w4" (APP) and "w1" (CERT), in order
    int failingReads = 0;     // reads of the module fw.failModule names, so far
};

// Where the markers of the ATA overlay stand (sector numbers; 0: no such marker).
struct AtaLayout {
    int end0 = 0x2F;
    int start = 0x38;
    int end1 = 0x50;
};
AtaLayout ataLayout(const Drive& d);

// The serial number the drive reports (identity sector and "%" answer).
inline constexpr char kSimSerial[] = "5JV8XK2L";

// The drive's family, reserve area and sectors per track, from its settings.
const FirmwareFamily& firmwareFamily(const Drive& d);
int reserveStart(const Drive& d);
int reserveTracks(const Drive& d);
int sectorsPerTrack(Drive& d);  // fw.spt, else the system area's
bool certLoaded(Drive& d);

// The bytes a module sector holds: a recognisable header and a pattern of its own. Sector n of
// "APP", "CERT0" (the head-0 data, its continuation numbered on), "CERT1", "TABLE", "ATA", "VEN".
QByteArray moduleSector(const char* module, int sector, const AtaLayout& ata = {});

// Places the module images into the system area (the drive does it by itself on the first byte it
// receives, and again when the firmware settings change).
void seedFirmware(Drive& d);

}  // namespace hddsim
