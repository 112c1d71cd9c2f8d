// The monitor keys of the main window: control characters, single-character commands, level
// changes, defect lists, SMART and health, self-calibration and self-repair, motor, stepping.
#include "keys.h"
#include "main_form_controls.h"
#include "main_model.h"
#include "service_commands.h"

namespace hdd {

using namespace mainform;

namespace {

const QString kOps = QLatin1String(kOperationsPanel);
const QString kRight = QLatin1String(kRightPanel);

const QString kBoxControl = QStringLiteral("控制字符");
const QString kBoxMonitor = QStringLiteral("监控命令");
const QString kBoxLevel = QStringLiteral("级别与维修");
const QString kBoxDefects = QStringLiteral("缺陷表管理");
const QString kBoxCalibration = QStringLiteral("自校准与电机");
const QString& kBoxRepair = kBoxLevel;
const QString& kBoxMotor = kBoxCalibration;

struct PlainKey {
    const char* name;
    const char* caption;
    const char* hint;
    const QString& box;
    QByteArray bytes;
};

void addServiceKey(MainModel& m, const QString& panel, const QString& name, const QString& caption,
                   const QString& box, std::function<Outcome(Dialogue&)> work,
                   const QString& hint = QString()) {
    addKey(
        m, name, caption, box, [work = std::move(work)](MainModel& mm) { return work(mm.dialogue()); }, panel)
        .hint = hint;
}

}  // namespace

void installServiceKeys(MainModel& m) {
    // Plain keys: "usercmd", then the bytes; nothing else.
    const PlainKey plain[] = {
        {kCtrlZKey, "^Z", "", kBoxControl, "\x1a"},
        {kCtrlRKey, "^R", "从硬盘加载Cert", kBoxControl, "\x12"},
        {kCtrlTKey, "^T", "", kBoxControl, "\x14"},
        {kCtrlUKey, "^U", "", kBoxControl, "\x15"},
        {kCtrlDKey, "^D", "", kBoxControl, "\x04"},
        {kCtrlEKey, "^E", "", kBoxControl, "\x05"},
        {kCtrlLKey, "^L", "", kBoxControl, "\x0c"},
        {kCtrlAKey, "^A", "", kBoxControl, "\x01"},
        {kCtrlOKey, "^O", "", kBoxControl, "\x0f"},
        {kCtrlCKey, "^C", "", kBoxControl, "\x03"},
        {kEscKey, "Esc", "", kBoxControl, "\x1b"},
        {kResetFirmwareKey, "复位固件", "", kBoxControl, "\x03"},
        {kIdentifyKey, "认盘", "", kBoxControl, "\x01\r"},
        {kFindDriveInfoKey, "找盘信息", "", kBoxControl, "\x14\r"},
        {kCrKey, "CR", "", kBoxControl, "\r"},
        {kShowAgeKey, "查看AGE", "", kBoxMonitor, ";\r"},
        {kShowPgmKey, "查看PGM", "", kBoxMonitor, ".\r"},
        {kQuestionMarkKey, "?", "", kBoxMonitor, "?\r"},
        {kBacktickKey, "`", "", kBoxMonitor, "`\r"},
        {kColonKey, ":", "", kBoxMonitor, ":\r"},
        {kCaretKey, "^", "", kBoxMonitor, "^\r"},
        {kDotKey, ".", "", kBoxMonitor, "."},
        {kQuoteKey, "'", "", kBoxMonitor, "'"},
        {kSemicolonKey, ";", "", kBoxMonitor, ";"},
        {kBangKey, "!", "", kBoxMonitor, "!"},
    };
    for (const PlainKey& k : plain) {
        addServiceKey(
            m, kOps, k.name, QString::fromUtf8(k.caption), k.box,
            [bytes = k.bytes](Dialogue& d) { return SendUserBytes(d, bytes); },
            sendsHint(QString::fromUtf8(k.hint), k.bytes));
    }
    addServiceKey(m, kOps, kPercentKey, "%", kBoxMonitor, SendPercent);
    addServiceKey(m, kOps, kCalibrationLogKey, "校准记录", kBoxMonitor, ShowCalibrationRecord,
                  "查看校准记录");

    // Levels.
    addServiceKey(m, kOps, kSlashTKey, "/T", kBoxLevel, BackToT);
    addServiceKey(m, kOps, kSlash1Key, "/1", kBoxLevel, [](Dialogue& d) { return ForceLevel(d, '1'); });
    addServiceKey(m, kOps, kSlash2Key, "/2", kBoxLevel, [](Dialogue& d) { return ForceLevel(d, '2'); });
    addServiceKey(m, kOps, kToFLevelKey, "转F级", kBoxLevel, ToFKey);
    addServiceKey(m, kOps, kTo50Key, "切换到50", kBoxLevel, Switch50);

    // SMART, health and the other repairs.
    addServiceKey(m, kOps, kClearSmartKey, "清SMART", kBoxRepair, ClearSmart);
    addServiceKey(m, kOps, kClearHealthKey, "清健康值", kBoxRepair, ClearHealth, "健康值清0");
    addServiceKey(m, kOps, kForcedReadWriteKey, "强制读写", kBoxRepair, ForcedReadWrite);
    addServiceKey(m, kOps, kR1R2Key, "R1、R2命令", kBoxRepair, R1R2Key);

    // Self-calibration and self-repair runs.
    addServiceKey(
        m, kOps, kStartSelfCalibrationKey, "启动自校准", kBoxCalibration,
        [](Dialogue& d) { return StartSelfRun(d, "N2,,22\r"); }, sendsHint("A级自校准", "N2,,22\r"));
    addServiceKey(
        m, kOps, kExtendedSelfCalibrationKey, "扩展自校准", kBoxCalibration,
        [](Dialogue& d) { return StartSelfRun(d, "N2,AA,22\r"); }, sendsHint("B级自校准", "N2,AA,22\r"));
    addServiceKey(
        m, kOps, kALevelRepairKey, "A级自修复", kBoxCalibration,
        [](Dialogue& d) { return StartSelfRun(d, "N4,,22\r"); },
        sendsHint("A级自修复(扫描硬盘并把坏道加到G表)", "N4,,22\r"));
    addServiceKey(
        m, kOps, kBLevelRepairKey, "B级自修复", kBoxCalibration,
        [](Dialogue& d) { return StartSelfRun(d, "N3,,22\r"); },
        sendsHint("B级自修复(扫描硬盘并把坏道加到P表)", "N3,,22\r"));
    addServiceKey(m, kOps, kStopSelfCalibrationKey, "停止自校准", kBoxCalibration, StopSelfCalibration);
    addServiceKey(m, kOps, kCalibrationFlowKey, "校准流程", kBoxCalibration, CalibrationFlow, "查看校准流程");

    // Motor and stepping.
    addServiceKey(m, kOps, kSpinDownKey, "电机停转", kBoxMotor, MotorStop);
    addServiceKey(m, kOps, kSpinUpKey, "电机启动", kBoxMotor, MotorStart);
    addServiceKey(
        m, kOps, kCommand010Key, "010", kBoxMotor, [](Dialogue& d) { return StepUntil(d, "0 1 0"); },
        QStringLiteral("发送 Ctrl-D (0x04) 最多 %1 次，直到应答中出现“%2”").arg(20).arg("0 1 0"));
    addServiceKey(
        m, kOps, kCommand000Key, "000", kBoxMotor, [](Dialogue& d) { return StepUntil(d, "0 0 0"); },
        QStringLiteral("发送 Ctrl-D (0x04) 最多 %1 次，直到应答中出现“%2”").arg(20).arg("0 0 0"));

    // Defect lists.
    addServiceKey(
        m, kRight, kShowPListKey, "查看P表", kBoxDefects,
        [](Dialogue& d) { return DefectListCommand(d, "V1\r"); }, sendsHint(QString(), "V1\r"));
    addServiceKey(
        m, kRight, kShowGListKey, "查看G表", kBoxDefects,
        [](Dialogue& d) { return DefectListCommand(d, "V4\r"); }, sendsHint(QString(), "V4\r"));
    addServiceKey(
        m, kRight, kClearPListKey, "清空P表", kBoxDefects,
        [](Dialogue& d) {
            return ConfirmedDefectListCommand(d, QStringLiteral("确认清空P表吗?"), "i1,1,22\r");
        },
        sendsHint(QStringLiteral("先询问确认"), "i1,1,22\r"));
    // The G list is cleared at once: technicians press it as part of a repair routine.
    addServiceKey(
        m, kRight, kClearGListKey, "清空G表", kBoxDefects,
        [](Dialogue& d) { return DefectListCommand(d, "i4,1,22\r"); }, sendsHint(QString(), "i4,1,22\r"));
    // The T list key is hidden; last, so that it leaves no hole among the others.
    addServiceKey(
        m, kRight, kShowTListKey, "查看T表", kBoxDefects,
        [](Dialogue& d) { return DefectListCommand(d, "V2\r"); }, sendsHint(QString(), "V2\r"));
    m.form().at(kShowTListKey).visible = false;

    // The tool tips of the keys with a dialogue of their own: what it is for and its main command.
    const struct {
        const char* name;
        const char* hint;
        QByteArray bytes;
    } tips[] = {
        {kPercentKey, "", "%\r"},
        {kCalibrationLogKey, "查看校准记录",
         "\x0c"
         "E4E\r"},
        {kSlashTKey, "回到T级", "/\r"},
        {kSlash1Key, "强制转到1级", "\x1a/1\r"},
        {kSlash2Key, "强制转到2级", "\x1a/2\r"},
        {kTo50Key, "需T级", "N50,,22\r"},
        {kClearSmartKey, "需T级；在1级清除SMART", "/1\rN1\r"},
        {kClearHealthKey, "健康值清0（需T级）", "H,,22\r"},
        {kForcedReadWriteKey, "需T级", "/1\rF\r/\r"},
        {kStopSelfCalibrationKey, "", "\x1aN50,,22\r"},
        {kCalibrationFlowKey, "查看校准流程（需T级）", "/c\rD\r/\r"},
        {kSpinDownKey, "在2级停止主轴电机", "/2\rZ\r"},
        {kSpinUpKey, "在2级启动主轴电机", "/2\rU\r"},
    };
    for (const auto& t : tips) m.form().at(t.name).hint = sendsHint(QString::fromUtf8(t.hint), t.bytes);
    m.form().at(kToFLevelKey).hint = QStringLiteral("将硬盘转到F级");
    m.form().at(kR1R2Key).hint = QStringLiteral("执行R1、R2命令");
}

}  // namespace hdd
