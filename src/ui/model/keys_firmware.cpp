// The firmware map's keys: the family table, address discovery, the firmware analysis and the
// module read and write keys of the main window.
#include <QFileInfo>

#include "address.h"
#include "dialogue.h"
#include "family_table.h"
#include "firmware_id.h"
#include "firmware_keys.h"
#include "keys.h"
#include "main_model.h"
#include "monitor.h"
#include "text.h"

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

// The busy state of a key. A key run from inside another operation (the ensure operations press
// the discovery keys) leaves the panels to the operation that disabled them.
class Busy {
  public:
    explicit Busy(MainModel& m) : m_(m), owner_(m.form().at("Panel3").enabled) {
        if (owner_) m_.setBusy(true);
    }
    ~Busy() {
        if (owner_) m_.setBusy(false);
    }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

  private:
    MainModel& m_;
    bool owner_;
};

QString field(MainModel& m, const QString& name) {
    return m.form().text(name).trimmed();
}

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

void clearModuleFields(MainModel& m) {
    for (const QString& n : kModuleFields) m.form().setText(n, QString());
    for (const QString& n : kAnalysisControls) m.form().setEnabled(n, false);
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
                for (const char* n : {"Edit13", "Button26", "Button27"}) f.setEnabled(n, a.tableKeys);
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

void addField(FormModel& f, const QString& name, const QString& label, const QString& box,
              KeyFilter filter = KeyFilter::Hex) {
    Control& c = f.add(name, ControlKind::Edit, kOps);
    c.label = label;
    c.box = box;
    c.filter = filter;
}

Control& addKey(MainModel& m, const QString& name, const QString& caption, const QString& box,
                std::function<void(MainModel&)> work) {
    Control& c = m.form().add(name, ControlKind::Button, kOps);
    c.caption = caption;
    c.box = box;
    MainModel* mp = &m;
    c.onClick = [mp, work] { mp->runOperation([mp, work] { work(*mp); }); };
    return c;
}

}  // namespace

void LoadFamilyTable(MainModel& m) {
    QString error;
    FamilyTable& table = m.ext<FamilyTable>();
    table = loadFamilyTableFile(m.programFolder(), &error);
    m.form().setItems("ComboBox3", table.names(), table.count > 0 ? 0 : -1);
    if (!error.isEmpty()) m.warning(error);
    if (table.dropped > 0) {
        m.warning(QStringLiteral("%1中的机型超过%2个，其后的%3个未被读取！")
                      .arg(kFamilyFileName)
                      .arg(FamilyTable::kSlots)
                      .arg(table.dropped));
    }
}

#if 0
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
#endif

void installFirmwareKeys(MainModel& m) {
    FormModel& f = m.form();

    Control& families = f.add("ComboBox3", ControlKind::Combo, kOps);
    families.visible = false;

    const QString reserve = QStringLiteral("保留区");
    addField(f, "Edit3", QStringLiteral("地址:"), reserve);
    addField(f, "Edit4", QStringLiteral("-"), reserve);
    addField(f, "Edit5", QStringLiteral("扇/道:"), reserve);
    addKey(m, "Button14", QStringLiteral("保留区地址"), reserve, reserveAddressKey);

    const QString modules = QStringLiteral("模块地址");
    addField(f, "Edit6", QStringLiteral("APP:"), modules, KeyFilter::HexComma);
    addField(f, "Edit7", QStringLiteral("ATA:"), modules);
    addField(f, "Edit8", QStringLiteral("CERT0:"), modules);
    addField(f, "Edit22", QStringLiteral("CERT1:"), modules);
    addField(f, "Edit23", QString(), modules);
    addField(f, "Edit13", QStringLiteral("TABLE:"), modules);
    addField(f, "Edit9", QStringLiteral("Ven:"), modules);
    addKey(m, "Button17", QStringLiteral("模块地址"), modules, moduleAddressKey).hint =
        QStringLiteral("使用y指令获取模块地址");
    addKey(m, "Button91", QStringLiteral("A"), modules, analysisKey).hint =
        QStringLiteral("分析固件版本并计算模块地址");
    addKey(m, "Button4", QStringLiteral("清空地址"), modules, clearAddressesKey);

    for (const QString& n : kAnalysisControls) {
        if (f.find(n)) f.at(n).enabled = false;
    }

    m.onStartUp([&m] { LoadFamilyTable(m); });
}

}  // namespace hdd
