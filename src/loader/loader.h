// The F-level boot: firmware modules downloaded into a drive that only answers at the F level.
//
// A drive whose firmware does not come up stays in its boot monitor at the F level. It is brought
// back by downloading its modules into memory, in a fixed order: APP at the F level (the drive is
// told which buffer to take it into, then jumps into it with "j,,1" and must answer at the T
// level), then at the T level CERT ("d,3,1" or "d,2,1"), TABLE ("h" + its sector count; the drive
// answers at once with a prompt when no CERT is loaded) and the interface code ATA0 and ATA1
// ("e0,0", "e1,0" between "N4F,,22" and "N50,,22"). Each loader may also write its module to the
// disk once it runs. Every loader adds its console line ("正在加载APP.........") and appends
// "成功！" or "失败！" to it, and returns its outcome (aborted when the abort key stopped its
// download); the load run stops at the first module that fails.
//
// A module folder that holds SHA256SUMS is checked against it before anything is sent.
// Module images are read from disk once, before anything is sent, and handed to the loaders as
// bytes; nothing is written to the files. An image that the block download cannot carry (not a
// whole number of blocks, empty, or more than 255 blocks) fails its module before the load sends
// anything at all.
//
// The module files of a firmware sit in one folder under fixed names ("APP.BIN", "CERT.BIN",
// "Table.BIN", "ATA0.BIN", "ATA1.BIN" or a single "ATA.BIN"), looked up with their case as
// written. The folders of all firmwares share a parent, the firmware folder, in which the drive's
// identification names its own one ("NHPLUS2HD_S-1N_3.AAC").
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "family_table.h"
#include "firmware_id.h"
#include "outcome.h"

namespace hdd {

class Dialogue;

inline const QString kLoadingApp = QStringLiteral("正在加载APP.........");
inline const QString kLoadingCert = QStringLiteral("正在加载CERT........");
inline const QString kLoadingTable = QStringLiteral("正在加载TABLE.......");
inline const QString kLoadingAta0 = QStringLiteral("正在加载ATA0........");
inline const QString kLoadingAta1 = QStringLiteral("正在加载ATA1........");
// The drive refused the TABLE download at once: its CERT module is not in.
inline const QString kTableNeedsCert = QStringLiteral("请先加载CERT模块！");
inline const QString kNotAtTForLoad = QStringLiteral("错误: 请先转至T级！");
inline const QString kAnalysing = QStringLiteral("正在份析，请稍候........");

enum class Module { App, Cert, Table, Ata0, Ata1 };
inline constexpr Module kModules[] = {Module::App, Module::Cert, Module::Table, Module::Ata0, Module::Ata1};
QString moduleName(Module m);  // "APP", "CERT", "TABLE", "ATA0", "ATA1"

// --- picking files ---

// The largest file a module's picker takes: 1 MiB for APP and CERT, 127 KiB for the others.
qint64 moduleSizeLimit(Module m);
// Why a picked file of `length` bytes is refused ("模块文件长度不能大于1MB！"), or empty.
QString pickerRefusal(Module m, qint64 length);
// The TABLE sector count for a file of `length` bytes: whole sectors, hexadecimal ("FE").
QString tableSectorCount(qint64 length);

// The module files a folder holds under their fixed names (empty where absent). `ata0` and `ata1`
// are set together or not at all; `ata` (a single "ATA.BIN") only when they are not.
struct FolderModules {
    QString app, cert, table, ata0, ata1, ata;
    QString tableSectors;  // the sector count of the folder's Table.BIN
};
FolderModules modulesInFolder(const QString& folder);

// A folder text ended with the separator.
QString withSeparator(const QString& folder);
// The folder that holds `folder` (with its separator), or empty when it has none.
QString parentFolder(const QString& folder);
// The drive's own module folder under the firmware folder: FAMILY_MASKROM_VERSION, upper case.
QString identifiedFolder(const QString& firmwareFolder, const FirmwareId& id);
// The APP buffer a family entry gives: "80" or "60"; nullopt when its APP value has fewer than
// four numbers.
std::optional<QString> familyBuffer(const FamilyEntry& entry);
// The block sizes that go with a buffer: "80" takes 1024 (APP) and 2048 (CERT), "60" 2048 and
// 4096; nullopt for any other buffer.
struct BlockSizes {
    QString app, cert;
};
std::optional<BlockSizes> pairedBlockSizes(const QString& buffer);

// --- the loaders ---

Outcome LoadApp(Dialogue& d, const QByteArray& image, const QString& buffer, qint64 blockSize, bool save);
Outcome LoadCert(Dialogue& d, const QByteArray& image, qint64 blockSize, bool save);
// `sectorCount` is hexadecimal text. A drive that refuses the TABLE download (no CERT loaded)
// gets the console line "请先加载CERT模块！": refused by the drive, and the load goes on.
Outcome LoadTable(Dialogue& d, const QByteArray& image, const QString& sectorCount, bool save);
// `finish`: the ATA code is complete after this module (no ATA1 follows).
Outcome LoadATA0(Dialogue& d, const QByteArray& image, qint64 blockSize, bool finish, bool save);
Outcome LoadATA1(Dialogue& d, const QByteArray& image, qint64 blockSize, bool finish, bool save);

// --- the load key ---

struct ModuleChoice {
    bool ticked = false;
    QString file;
    bool save = false;
};

struct LoadRequest {
    ModuleChoice app, cert, table, ata0, ata1;
    QString buffer;         // APP buffer, "60" or "80"
    QString appBlockSize;   // decimal
    QString certBlockSize;  // decimal
    QString tableSectors;   // hexadecimal
    QString speed;          // the load speed
    const ModuleChoice& choice(Module m) const;
};

// Why the request cannot start (the message box), or empty. Reads no file.
QString checkLoad(const LoadRequest& r);
// A folder that holds SHA256SUMS (a backup) boots only what was backed up: why a ticked module
// file differs from its folder's list, or why a module file the list names is missing; empty
// when all agree or the folder has no list.
QString checkAgainstSums(const LoadRequest& r);
inline const QString kModuleAltered = QStringLiteral("模块文件与SHA256SUMS不符：%1");
inline const QString kModuleMissing = QStringLiteral("SHA256SUMS中的模块文件不存在：%1");
inline const QString kSumsUnreadable = QStringLiteral("无法读取%1：%2");

// Why a field the request sends cannot go to the drive (a warning naming the field), or empty:
// the APP buffer must be hexadecimal (at most eight digits), a ticked module's block size a decimal
// number from 1 to 65535, the TABLE sector count hexadecimal, and the speed one the link knows.
// Empty fields are left to checkLoad. Reads no file.
QString loadFieldRefusal(const LoadRequest& r);

// The load key, one operation: checks the request (its information box: refused as input, or by
// the check when a ticked file cannot be taken), reads the ticked files (a module the download
// cannot carry fails before anything is sent), then runs the ticked modules in order APP, CERT,
// TABLE, ATA0, ATA1 at the request's speed and returns the link to the speed it found. The outcome
// is the worst of the modules' ("错误: 请先转至T级！" refused by the drive). Once the run starts,
// `tableSectors` (when given) gets the TABLE sector count it announces: its file's.
Outcome LoadModules(Dialogue& d, const LoadRequest& r, QString* tableSectors = nullptr);

// The dialog's "A": the drive's firmware identification names its module folder under the firmware
// folder (whether or not it exists) and the family of the list that matches, if any.
struct IdentifiedFirmware {
    QString folder;
    std::optional<int> family;
};
Outcome IdentifyFirmware(Dialogue& d, const QString& firmwareFolder, const QStringList& families,
                         IdentifiedFirmware& found);

}  // namespace hdd
