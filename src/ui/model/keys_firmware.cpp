// The firmware map's keys: the family table, address discovery, the firmware analysis and the
// module read and write keys of the main window.
#include "address.h"
#include "dialogue.h"
#include "family_table.h"
#include "firmware_id.h"
#include "firmware_keys.h"
#include "keys.h"
#include "main_model.h"
#include "monitor.h"
#include "text.h"
#include "track.h"
#include "transfer.h"

namespace hdd {

namespace {

const QString kOps = QStringLiteral("Panel2");
const QString kDoneWord = QStringLiteral("完成！");
const QString kFailedWord = QStringLiteral("失败！");
const QString kAnalysisFailed = QStringLiteral("失败，请尝试手动获取！");

// Controls that only the firmware analysis enables: the CERT1 and TABLE fields and keys.
const QStringList kAnalysisControls = {"Edit22", "Edit23",   "Button92", "Button93",
                                       "Edit13", "Button26", "Button27"};
const QStringList kModuleFields = {"Edit6", "Edit7", "Edit8", "Edit9", "Edit13", "Edit22", "Edit23"};
const QStringList kBufferFields = {"Edit1", "Edit15", "Edit2", "Edit16"};
const QStringList kReserveFields = {"Edit3", "Edit4", "Edit5"};

// The busy state of a key; the window counts nested operations (the ensure operations press the
// discovery keys), so the panels come back with the outermost.
class Busy {
public:
    explicit Busy(MainModel& m) : m_(m) { m_.setBusy(true); }
    ~Busy() { m_.setBusy(false); }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    MainModel& m_;
};

QString field(MainModel& m, const QString& name) { return m.form().text(name).trimmed(); }

bool filled(MainModel& m, const QStringList& names) {
    for (const QString& n : names) {
        if (field(m, n).isEmpty()) return false;
    }
    return true;
}

// Runs a key's handler directly: the ensure operations run keys while the panels are disabled.
void runKey(MainModel& m, const QString& name) {
    Control* c = m.form().find(name);
    if (c && c->onClick) {
        auto fn = c->onClick;
        fn();
    }
}

void setIfPresent(MainModel& m, const QString& name, const QString& text) {
    if (m.form().find(name)) m.form().setText(name, text);
}

void setEnabledIfPresent(MainModel& m, const QString& name, bool on) {
    if (m.form().find(name)) m.form().setEnabled(name, on);
}

void clearModuleFields(MainModel& m) {
    for (const QString& n : kModuleFields) m.form().setText(n, QString());
    for (const QString& n : kAnalysisControls) setEnabledIfPresent(m, n, false);
}

// "保留区地址": the reserve area from the answer to "x" at level 2.
void reserveAddressKey(MainModel& m) {
    Dialogue& d = m.dialogue();
    Busy busy(m);
    if (!isT(d)) {
        d.addLine(kNotAtT);
    } else {
        d.addLine(QStringLiteral("正在获取保留区地址......"));
        d.CaptureBuffer.clear();
        d.ReceiveMode = kSysCmd;
        d.SendString("/2\r");
        d.WaitHD(1500);
        if (d.LastPrompt != "2>") {
            d.appendResult(kFailedWord);
        } else {
            d.SendString("x\r");
            d.WaitHD(1500);
            for (const QString& n : kReserveFields) m.form().setText(n, QString());
            const ReserveFields r = parseReserveAnswer(d.captureLines());
            m.form().setText("Edit3", r.first);
            m.form().setText("Edit4", r.last);
            m.form().setText("Edit5", r.spt);
            d.appendResult(r.complete() ? kDoneWord : kFailedWord);
        }
    }
    d.SendString("/\r");
    d.WaitHD(10);
    d.ReceiveMode = kUserCmd;
    d.SendString("\r");
}

// "模块地址": the module cylinders from the answer to "y", once CERT is loaded.
void moduleAddressKey(MainModel& m) {
    Dialogue& d = m.dialogue();
    Busy busy(m);
    if (!isT(d)) {
        d.addLine(kNotAtT);
    } else {
        if (!IsCertLoaded(d)) {
            d.addLine(kLoadCertFirst);
        } else {
            d.addLine(QStringLiteral("正在获取模块地址........"));
            d.CaptureBuffer.clear();
            d.SendString("y\r");
            d.WaitHD(1500);
            clearModuleFields(m);
            const ModuleFields f = parseModuleAnswer(d.captureLines());
            m.form().setText("Edit6", f.app);
            m.form().setText("Edit8", f.cert0);
            m.form().setText("Edit7", f.ata);
            m.form().setText("Edit9", f.ven);
            d.appendResult(f.complete() ? kDoneWord : kFailedWord);
        }
        d.SendString("/\r");
        d.WaitHD(10);
    }
    d.ReceiveMode = kUserCmd;
    d.SendString("\r");
}

// "A": the module cylinders from the firmware identification and the family table.
void analysisKey(MainModel& m) {
    FormModel& f = m.form();
    if (!filled(m, kReserveFields)) {
        runKey(m, "Button14");
        if (!filled(m, kReserveFields)) return;
    }
    Dialogue& d = m.dialogue();
    Busy busy(m);
    const auto base = addressValue(field(m, "Edit3"));
    if (!isT(d)) {
        d.addLine(kNotAtT);
    } else {
        clearModuleFields(m);
        d.addLine(QStringLiteral("正在份析，请稍候........"));
        const FirmwareId id = ReadFirmwareId(d);
        const FamilyTable& table = m.ext<FamilyTable>();
        const auto match = MatchFamily(f.at("ComboBox3").items, id, true);
        if (match && base && *match < table.count) {
            const ModuleAddresses a = moduleAddresses(table.entry(*match + 1), *base);
            // An entry with a number that cannot be read is not trusted at all.
            if (!a.error) {
                f.setText("Edit6", a.app);
                f.setText("Edit8", a.cert0);
                f.setText("Edit22", a.cert1);
                f.setText("Edit23", a.cert1Head);
                for (const char* n : {"Edit22", "Edit23", "Button92", "Button93"})
                    f.setEnabled(n, a.cert1Keys);
                f.setText("Edit13", a.table);
                for (const char* n : {"Edit13", "Button26", "Button27"})
                    setEnabledIfPresent(m, n, a.tableKeys);
                f.setText("Edit7", a.ata);
                f.setText("Edit9", a.ven);
            }
        }
        d.appendResult(filled(m, {"Edit6", "Edit7", "Edit8", "Edit9", "Edit13"}) ? kDoneWord
                                                                                 : kAnalysisFailed);
    }
    d.ReceiveMode = kUserCmd;
    d.SendString("\r");
}

// "清空地址".
void clearAddressesKey(MainModel& m) {
    for (const QString& n : kBufferFields) setIfPresent(m, n, QString());
    for (const QString& n : kReserveFields) m.form().setText(n, QString());
    clearModuleFields(m);
}

// --- the module read and write keys ---

const QString kTrackFilter = QStringLiteral("TRC文件|*.trc|BIN文件|*.bin|所有文件|*.*");
const QString kBinFilter = QStringLiteral("BIN文件|*.bin|TRC文件|*.trc|所有文件|*.*");

QByteArray value(MainModel& m, const QString& name) { return m.form().text(name).trimmed().toLatin1(); }

enum class Check { Firmware, Reserve };

struct ModuleKey {
    bool read;
    QString title;
    std::function<QString(MainModel&)> fileName;
    bool idSector;  // the identity sector's file settings
    Check check;
    std::function<void(MainModel&, const QString& file)> transfer;
    bool returnOnlyAfterTransfer;  // the CERT read keys give the drive its CR only after a transfer
};

void runModuleKey(MainModel& m, const ModuleKey& k) {
    Dialogue& d = m.dialogue();
    d.AbortRequested = false;
    {
        Busy busy(m);
        const FileRequest request{k.title, k.fileName(m), k.idSector ? kBinFilter : kTrackFilter,
                                  k.idSector ? QStringLiteral("*.bin") : QStringLiteral("*.trc")};
        const QString file = k.read ? m.frontend().saveFileName(request) : m.frontend().openFileName(request);
        // A read into a folder that cannot take the file is refused before the drive is asked anything.
        if (!file.isEmpty() && (!k.read || checkCreatable(m, file))) {
            bool transferred = false;
            if (!isT(d)) {
                d.addLine(kNotAtT);
            } else if (k.check == Check::Firmware ? GetFirwAddress(m) : GetSysAddress(m)) {
                d.CaptureBuffer.clear();
                d.ReceiveMode.clear();
                m.AdSpeed();
                k.transfer(m, file);
                transferred = true;
                d.CaptureBuffer.clear();
                Set9600(d);
            }
            if (transferred || !k.returnOnlyAfterTransfer) {
                d.ReceiveMode = kUserCmd;
                d.SendString("\r");
            }
        }
    }
    d.AbortRequested = false;
}

// A module read as whole tracks from sector 0, through the read buffer.
std::function<void(MainModel&, const QString&)> readModule(std::function<QByteArray(MainModel&)> track,
                                                           std::function<QByteArray(MainModel&)> head,
                                                           QByteArray start = "0", QByteArray count = {}) {
    return [=](MainModel& m, const QString& file) {
        ReadTrack(m.dialogue(), track(m), head(m), start, count.isEmpty() ? value(m, "Edit5") : count,
                  value(m, "Edit1"), value(m, "Edit15"), file, true);
    };
}

std::function<void(MainModel&, const QString&)> writeModule(std::function<QByteArray(MainModel&)> tracks,
                                                            std::function<QByteArray(MainModel&)> head,
                                                            QByteArray start = "0", QByteArray count = {}) {
    return [=](MainModel& m, const QString& file) {
        WriteTrack(m.dialogue(), tracks(m), head(m), start, count.isEmpty() ? value(m, "Edit5") : count,
                   value(m, "Edit2"), value(m, "Edit16"), file, m.form().text("ComboBox7"));
    };
}

std::function<QByteArray(MainModel&)> fieldOf(const QString& name) {
    return [name](MainModel& m) { return value(m, name); };
}

std::function<QByteArray(MainModel&)> fixed(const QByteArray& text) {
    return [text](MainModel&) { return text; };
}

std::function<QString(MainModel&)> named(const QString& name) {
    return [name](MainModel&) { return name; };
}

QString cert1FileName(MainModel& m) { return "Cert_" + m.form().text("Edit23").trimmed() + ".trc"; }

// "保存APP.CERT": the drive writes its APP and CERT modules from memory to the disk.
void saveAppCertKey(MainModel& m) {
    Dialogue& d = m.dialogue();
    Busy busy(m);
    if (isT(d)) {
        d.ReceiveMode.clear();
        d.SendString("/\r");
        d.WaitHD(10);
        d.SendString("w4\r");
        d.WaitHD(500);
        d.SendString("w1\r");
        d.WaitHD(500);
        d.ReceiveMode = kUserCmd;
    } else {
        d.addLine(kNotAtT);
    }
}

}  // namespace

void LoadFamilyTable(MainModel& m) {
    QString error;
    FamilyTable& table = m.ext<FamilyTable>();
    table = loadFamilyTableFile(m.familyTableFolder(), &error);
    m.form().setItems("ComboBox3", table.names(), table.count > 0 ? 0 : -1);
    if (!error.isEmpty()) m.warning(error);
    if (table.dropped > 0) {
        m.warning(QStringLiteral("%1中的机型超过%2个，其后的%3个未被读取！")
                      .arg(kFamilyFileName)
                      .arg(FamilyTable::kSlots)
                      .arg(table.dropped));
    }
}

bool GetSysAddress(MainModel& m) {
    if (!GetBufferAddress(m)) return false;
    if (!filled(m, kReserveFields)) runKey(m, "Button14");
    return filled(m, kReserveFields);
}

bool GetFirwAddress(MainModel& m) {
    if (!GetSysAddress(m)) return false;
    const QStringList modules = {"Edit6", "Edit7", "Edit8", "Edit9"};
    if (!filled(m, modules)) runKey(m, "Button17");
    return filled(m, modules);
}

void installFirmwareKeys(MainModel& m) {
    FormModel& f = m.form();

    Control& families = f.add("ComboBox3", ControlKind::Combo, kOps);
    families.visible = false;

    // Each module's read and write keys sit below its field.
    auto moduleKey = [&m](const QString& name, const QString& box, ModuleKey k) {
        addKey(m, name, k.read ? QStringLiteral("读") : QStringLiteral("写"), box,
               [k](MainModel& mm) { runModuleKey(mm, k); });
    };
    auto readKey = [&](const QString& name, const QString& box, const QString& title, auto fileName,
                       auto transfer, bool returnOnlyAfterTransfer = false, bool id = false,
                       Check check = Check::Firmware) {
        moduleKey(name, box, {true, title, fileName, id, check, transfer, returnOnlyAfterTransfer});
    };
    auto writeKey = [&](const QString& name, const QString& box, const QString& title, auto fileName,
                        auto transfer, bool id = false, Check check = Check::Firmware) {
        moduleKey(name, box, {false, title, fileName, id, check, transfer, false});
    };
    const auto head0 = fixed("0");

    const QString reserve = QStringLiteral("保留区");
    addField(f, "Edit3", QStringLiteral("地址:"), reserve);
    addField(f, "Edit4", QStringLiteral("-"), reserve);
    addField(f, "Edit5", QStringLiteral("扇/道:"), reserve);
    addKey(m, "Button14", QStringLiteral("保留区地址"), reserve, reserveAddressKey);
    readKey(
        "Button57", reserve, QStringLiteral("保存文件（保留区）"), named("Reserve.trc"),
        [](MainModel& mm, const QString& file) {
            ReadReserve(mm.dialogue(), value(mm, "Edit3"), value(mm, "Edit4"), "0", value(mm, "Edit5"),
                        value(mm, "Edit1"), value(mm, "Edit15"), file, true);
        },
        false, false, Check::Reserve);
    writeKey(
        "Button58", reserve, QStringLiteral("打开文件（保留区）"), named("Reserve.trc"),
        [](MainModel& mm, const QString& file) {
            WriteReserve(mm.dialogue(), value(mm, "Edit3"), value(mm, "Edit4"), "0", value(mm, "Edit5"),
                         value(mm, "Edit2"), value(mm, "Edit16"), file, mm.form().text("ComboBox7"));
        },
        false, Check::Reserve);

    const QString appAta = QStringLiteral("APP / ATA");
    const auto appFirst = [](MainModel& mm) { return value(mm, "Edit6").split(',').first().trimmed(); };
    addField(f, "Edit6", QStringLiteral("APP:"), appAta, KeyFilter::HexComma);
    readKey("Button51", appAta, QStringLiteral("保存文件（APP）"), named("APP.trc"),
            readModule(appFirst, head0));
    writeKey("Button52", appAta, QStringLiteral("打开文件（APP）"), named("APP.trc"),
             writeModule(fieldOf("Edit6"), head0));
    addField(f, "Edit7", QStringLiteral("ATA:"), appAta);
    readKey("Button15", appAta, QStringLiteral("保存文件（ATA）"), named("ATA.trc"),
            readModule(fieldOf("Edit7"), head0));
    writeKey("Button20", appAta, QStringLiteral("打开文件（ATA）"), named("ATA.trc"),
             writeModule(fieldOf("Edit7"), head0));

    const QString cert = QStringLiteral("CERT");
    addField(f, "Edit8", QStringLiteral("CERT0:"), cert);
    readKey("Button1", cert, QStringLiteral("保存文件（Cert0）"), named("Cert_0.trc"),
            readModule(fieldOf("Edit8"), head0), true);
    writeKey("Button21", cert, QStringLiteral("打开文件（Cert0）"), named("Cert_0.trc"),
             writeModule(fieldOf("Edit8"), head0));
    addField(f, "Edit22", QStringLiteral("CERT1:"), cert);
    addField(f, "Edit23", QStringLiteral("磁头:"), cert);
    readKey("Button92", cert, QStringLiteral("保存文件（Cert1）"), cert1FileName,
            readModule(fieldOf("Edit22"), fieldOf("Edit23")), true);
    writeKey("Button93", cert, QStringLiteral("打开文件（Cert1）"), cert1FileName,
             writeModule(fieldOf("Edit22"), fieldOf("Edit23")));

    const QString tableVen = QStringLiteral("TABLE / Ven");
    addField(f, "Edit13", QStringLiteral("TABLE:"), tableVen);
    readKey("Button26", tableVen, QStringLiteral("保存文件（Table）"), named("TABLE.trc"),
            readModule(fieldOf("Edit13"), head0));
    writeKey("Button27", tableVen, QStringLiteral("打开文件（Table）"), named("TABLE.trc"),
             writeModule(fieldOf("Edit13"), head0));
    addField(f, "Edit9", QStringLiteral("Ven:"), tableVen);
    readKey("Button3", tableVen, QStringLiteral("保存文件（Vendor）"), named("Vendor.trc"),
            readModule(fieldOf("Edit9"), head0));
    writeKey("Button22", tableVen, QStringLiteral("打开文件（Vendor）"), named("Vendor.trc"),
             writeModule(fieldOf("Edit9"), head0));

    const QString modules = QStringLiteral("模块地址");
    Control& id = f.add("LabelHddId", ControlKind::Label, kOps);
    id.text = QStringLiteral("HDD ID扇区");
    id.box = modules;
    readKey("Button82", modules, QStringLiteral("保存文件（ID）"), named("ID.BIN"),
            readModule(fieldOf("Edit9"), head0, "4", "1"), false, true);
    writeKey("Button83", modules, QStringLiteral("选择写入文件（HDD ID扇区）"), named("ID.BIN"),
             writeModule(fieldOf("Edit9"), head0, "4", "1"), true);
    Control& spacer = f.add("LabelModuleKeys", ControlKind::Label, kOps);
    spacer.box = modules;
    spacer.visible = false;
    addKey(m, "Button17", QStringLiteral("模块地址"), modules, moduleAddressKey).hint =
        QStringLiteral("使用y指令获取模块地址");
    addKey(m, "Button91", QStringLiteral("A"), modules, analysisKey).hint =
        QStringLiteral("分析固件版本并计算模块地址");
    addKey(m, "Button4", QStringLiteral("清空地址"), modules, clearAddressesKey);
    addKey(m, "Button96", QStringLiteral("保存APP.CERT"), modules, saveAppCertKey);

    for (const QString& n : kAnalysisControls) f.at(n).enabled = false;

    m.onStartUp([&m] { LoadFamilyTable(m); });
}

}  // namespace hdd
