// Firmware backup: every selected module of the connected drive into one folder, in one run.
//
// The run asks the drive for its read buffer and the first cylinder of its reserve area, raises the
// link to the chosen speed and reads each module's sectors from the system area at the places the
// family table entry gives (cylinder offsets counted from the reserve area). From what it reads it
// derives the files the F-level boot loads back:
//
//   APP.BIN      the APP sectors
//   CERT.BIN     the head-0 CERT sectors followed by the second part (a second CERT0 triple on
//                head 0, or CERT1 on head 1); the parts are read into CERT0.BIN and CERT1.BIN and
//                removed after the join
//   Table.BIN    the TABLE sectors rotated: sectors 1 .. n-1 of the read, then sector 0
//   ATA.BIN      the ATA overlay, and its two parts ATA0.BIN and ATA1.BIN split at the markers
//   Vendor.BIN   the Vendor sectors, and ID.BIN, its sector 4 (the identity sector)
//   SN.TXT       the serial number from ID sector byte 54 (byte pairs swapped back) and the text
//                after " AX" in the drive's "%" answer, one line each, CR LF
//   SHA256SUMS   the files this run wrote, as sha256sum lists them, so the folder can be checked
//
// The run writes into `<folder>.partial` beside the target folder and touches the target only when
// the whole run succeeded ("备份完成!"): then each file it wrote replaces its namesake there, the
// replaced file moved first into `<folder>.yyyyMMdd-HHmmss` (kept). Files of modules the run did
// not read stay. A run that fails or is aborted leaves the target as it was and keeps the staging
// folder with what it read; the console says where. Within the staging folder a module whose read
// fails, or whose derived file cannot be made, leaves no file of its name, and its console line
// says "失败！". A failed read skips the modules after it; the run then ends with "备份失败!".
//
// The run is free of the window: the dialog passes in the family entry, the folder, the speed text
// and the module choice, and keeps the buffer and reserve-area values the run reports. What the run
// derives from the modules without the drive (the joins, the ATA split, the SN.TXT lines) is in
// backup_image.h.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "backup_image.h"
#include "family_table.h"
#include "outcome.h"

namespace hdd {

class Dialogue;

// --- the run ---

struct BackupModules {
    bool app = true, cert = true, table = true, ata = true, vendor = true;
    bool any() const { return app || cert || table || ata || vendor; }
};

struct BackupRequest {
    std::optional<FamilyEntry> family;  // none: no family chosen
    QString folder;                     // the target folder as typed (trimmed by the run)
    QString speed;                      // the link speed for the reads
    BackupModules modules;
};

struct BackupResult {
    bool started = false;    // the checks passed and the drive was asked
    bool completed = false;  // "备份完成!"
    QString folder;          // the folder as the run used it (trimmed); empty when not checked
    // The run values: the read buffer (block and sectors) and the reserve area's first cylinder.
    QString readBuffer, readSectors, reserveStart;
    QStringList written;  // files this run wrote and left in the folder, in order
    QString staging;      // a run that did not complete: the folder that keeps what it read
    QString keptIn;       // a complete run: the folder the files it replaced were moved into
};

// The backup run, one operation: the checks (warning boxes, refused by the check; nothing is sent
// when one fails), then the dialogue with the drive and the files. Done on "备份完成!"; failed on
// "备份失败!", a query without its answer or "读取数据错误…"; aborted when the abort key stopped a
// read. The outcome lists every file the run wrote and left (SHA256SUMS last). Leaves the link at
// the speed it found and the receive mode at "usercmd". `result`, when given, gets the run's values.
Outcome RunBackup(Dialogue& d, const BackupRequest& request, BackupResult* result = nullptr);

// The analysis key of the backup: the drive's firmware identification names the folder
// (base + FAMILY_REV_VERSION) and picks the family of the list. Refused by the check without a
// folder (a warning box), by the drive when it is not at T level; done otherwise.
struct BackupAnalysis {
    QString folder;             // the new target folder
    std::optional<int> family;  // the matching list position, if any
};
Outcome AnalyseBackup(Dialogue& d, const QString& folder, const QString& baseFolder,
                      const QStringList& families, BackupAnalysis& analysis);

// Messages and console texts of the backup.
inline const QString kChooseFamily = QStringLiteral("请选择固件类型！");
inline const QString kChooseFolder = QStringLiteral("请选择保存位置！");
inline const QString kFolderError = QStringLiteral("创建文件夹出错！");
inline const QString kChooseModules = QStringLiteral("请选择需要备份的固件模块！");
inline const QString kBackupDone = QStringLiteral("备份完成!");
inline const QString kBackupFailed = QStringLiteral("备份失败!");
inline const QString kValueWrong = QStringLiteral("数据信息有误，无法备份！");
// After a run that did not complete: where what it read is kept (%1: the folder).
inline const QString kStagingKept = QStringLiteral("未完成的备份保存在：%1");
inline const QString kValueIncomplete = QStringLiteral("数据信息不完整，无法备份！");

}  // namespace hdd
