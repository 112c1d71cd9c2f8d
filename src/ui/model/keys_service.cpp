// The monitor keys of the main window: control characters, single-character commands, level
// changes, defect lists, SMART and health, self-calibration and self-repair, motor, stepping.
#include "keys.h"
#include "main_model.h"
#include "service_commands.h"

namespace hdd {

namespace {

const QString kOps = QStringLiteral("Panel2");
const QString kRight = QStringLiteral("Panel6");

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
        {"Button12", "^Z", "", kBoxControl, "\x1a"},
        {"Button2", "^R", "从硬盘加载Cert", kBoxControl, "\x12"},
        {"Button7", "^T", "", kBoxControl, "\x14"},
        {"Button32", "^U", "", kBoxControl, "\x15"},
        {"Button33", "^D", "", kBoxControl, "\x04"},
        {"Button34", "^E", "", kBoxControl, "\x05"},
        {"Button35", "^L", "", kBoxControl, "\x0c"},
        {"Button36", "^A", "", kBoxControl, "\x01"},
        {"Button37", "^O", "", kBoxControl, "\x0f"},
        {"Button38", "^C", "", kBoxControl, "\x03"},
        {"Button48", "Esc", "", kBoxControl, "\x1b"},
        {"Button29", "复位固件", "", kBoxControl, "\x03"},
        {"Button9", "认盘", "", kBoxControl, "\x01\r"},
        {"Button28", "找盘信息", "", kBoxControl, "\x14\r"},
        {"Button25", "CR", "", kBoxControl, "\r"},
        {"Button11", "查看AGE", "", kBoxMonitor, ";\r"},
        {"Button30", "查看PGM", "", kBoxMonitor, ".\r"},
        {"Button40", "?", "", kBoxMonitor, "?\r"},
        {"Button42", "`", "", kBoxMonitor, "`\r"},
        {"Button45", ":", "", kBoxMonitor, ":\r"},
        {"Button46", "^", "", kBoxMonitor, "^\r"},
        {"Button41", ".", "", kBoxMonitor, "."},
        {"Button43", "'", "", kBoxMonitor, "'"},
        {"Button44", ";", "", kBoxMonitor, ";"},
        {"Button47", "!", "", kBoxMonitor, "!"},
    };
    for (const PlainKey& k : plain) {
        addServiceKey(
            m, kOps, k.name, QString::fromUtf8(k.caption), k.box,
            [bytes = k.bytes](Dialogue& d) { return SendUserBytes(d, bytes); },
            sendsHint(QString::fromUtf8(k.hint), k.bytes));
    }
    addServiceKey(m, kOps, "Button39", "%", kBoxMonitor, SendPercent);
    addServiceKey(m, kOps, "Button31", "校准记录", kBoxMonitor, ShowCalibrationRecord, "查看校准记录");

    // Levels.
    addServiceKey(m, kOps, "Button8", "/T", kBoxLevel, BackToT);
    addServiceKey(m, kOps, "Button49", "/1", kBoxLevel, [](Dialogue& d) { return ForceLevel(d, '1'); });
    addServiceKey(m, kOps, "Button50", "/2", kBoxLevel, [](Dialogue& d) { return ForceLevel(d, '2'); });
    addServiceKey(m, kOps, "Button24", "转F级", kBoxLevel, ToFKey);
    addServiceKey(m, kOps, "Button10", "切换到50", kBoxLevel, Switch50);

    // SMART, health and the other repairs.
    addServiceKey(m, kOps, "Button54", "清SMART", kBoxRepair, ClearSmart);
    addServiceKey(m, kOps, "Button68", "清健康值", kBoxRepair, ClearHealth, "健康值清0");
    addServiceKey(m, kOps, "Button72", "强制读写", kBoxRepair, ForcedReadWrite);
    addServiceKey(m, kOps, "Button74", "R1、R2命令", kBoxRepair, R1R2Key);

    // Self-calibration and self-repair runs.
    addServiceKey(
        m, kOps, "Button88", "启动自校准", kBoxCalibration,
        [](Dialogue& d) { return StartSelfRun(d, "N2,,22\r"); }, sendsHint("A级自校准", "N2,,22\r"));
    addServiceKey(
        m, kOps, "Button60", "扩展自校准", kBoxCalibration,
        [](Dialogue& d) { return StartSelfRun(d, "N2,AA,22\r"); }, sendsHint("B级自校准", "N2,AA,22\r"));
    addServiceKey(
        m, kOps, "Button80", "A级自修复", kBoxCalibration,
        [](Dialogue& d) { return StartSelfRun(d, "N4,,22\r"); },
        sendsHint("A级自修复(扫描硬盘并把坏道加到G表)", "N4,,22\r"));
    addServiceKey(
        m, kOps, "Button73", "B级自修复", kBoxCalibration,
        [](Dialogue& d) { return StartSelfRun(d, "N3,,22\r"); },
        sendsHint("B级自修复(扫描硬盘并把坏道加到P表)", "N3,,22\r"));
    addServiceKey(m, kOps, "Button61", "停止自校准", kBoxCalibration, StopSelfCalibration);
    addServiceKey(m, kOps, "Button59", "校准流程", kBoxCalibration, CalibrationFlow, "查看校准流程");

    // Motor and stepping.
    addServiceKey(m, kOps, "Button71", "电机停转", kBoxMotor, MotorStop);
    addServiceKey(m, kOps, "Button75", "电机启动", kBoxMotor, MotorStart);
    addServiceKey(
        m, kOps, "Button89", "010", kBoxMotor, [](Dialogue& d) { return StepUntil(d, "0 1 0"); },
        QStringLiteral("发送 Ctrl-D (0x04) 最多 %1 次，直到应答中出现“%2”").arg(20).arg("0 1 0"));
    addServiceKey(
        m, kOps, "Button90", "000", kBoxMotor, [](Dialogue& d) { return StepUntil(d, "0 0 0"); },
        QStringLiteral("发送 Ctrl-D (0x04) 最多 %1 次，直到应答中出现“%2”").arg(20).arg("0 0 0"));

    // Defect lists.
    addServiceKey(
        m, kRight, "Button66", "查看P表", kBoxDefects,
        [](Dialogue& d) { return DefectListCommand(d, "V1\r"); }, sendsHint(QString(), "V1\r"));
    addServiceKey(
        m, kRight, "Button69", "查看G表", kBoxDefects,
        [](Dialogue& d) { return DefectListCommand(d, "V4\r"); }, sendsHint(QString(), "V4\r"));
    addServiceKey(
        m, kRight, "Button64", "清空P表", kBoxDefects,
        [](Dialogue& d) {
            return ConfirmedDefectListCommand(d, QStringLiteral("确认清空P表吗?"), "i1,1,22\r");
        },
        sendsHint(QStringLiteral("先询问确认"), "i1,1,22\r"));
    // The G list is cleared at once: technicians press it as part of a repair routine.
    addServiceKey(
        m, kRight, "Button65", "清空G表", kBoxDefects,
        [](Dialogue& d) { return DefectListCommand(d, "i4,1,22\r"); }, sendsHint(QString(), "i4,1,22\r"));
    // The T list key is hidden; last, so that it leaves no hole among the others.
    addServiceKey(
        m, kRight, "Button67", "查看T表", kBoxDefects,
        [](Dialogue& d) { return DefectListCommand(d, "V2\r"); }, sendsHint(QString(), "V2\r"));
    m.form().at("Button67").visible = false;

    // The tool tips of the keys with a dialogue of their own: what it is for and its main command.
    const struct {
        const char* name;
        const char* hint;
        QByteArray bytes;
    } tips[] = {
        {"Button39", "", "%\r"},
        {"Button31", "查看校准记录",
         "\x0c"
         "E4E\r"},
        {"Button8", "回到T级", "/\r"},
        {"Button49", "强制转到1级", "\x1a/1\r"},
        {"Button50", "强制转到2级", "\x1a/2\r"},
        {"Button10", "需T级", "N50,,22\r"},
        {"Button54", "需T级；在1级清除SMART", "/1\rN1\r"},
        {"Button68", "健康值清0（需T级）", "H,,22\r"},
        {"Button72", "需T级", "/1\rF\r/\r"},
        {"Button61", "", "\x1aN50,,22\r"},
        {"Button59", "查看校准流程（需T级）", "/c\rD\r/\r"},
        {"Button71", "在2级停止主轴电机", "/2\rZ\r"},
        {"Button75", "在2级启动主轴电机", "/2\rU\r"},
    };
    for (const auto& t : tips) m.form().at(t.name).hint = sendsHint(QString::fromUtf8(t.hint), t.bytes);
    m.form().at("Button24").hint = QStringLiteral("将硬盘转到F级");
    m.form().at("Button74").hint = QStringLiteral("执行R1、R2命令");
}

}  // namespace hdd
