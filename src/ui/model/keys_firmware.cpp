// The firmware map's keys: the family table, address discovery, the firmware analysis and the
// module read and write keys of the main window.
#include "discovery.h"
#include "family_table.h"
#include "keys.h"
#include "main_model.h"
#include "module_transfer.h"

namespace hdd {

namespace {

const QString kOps = QStringLiteral("Panel2");
const QString kTrackFilter = QStringLiteral("TRC文件|*.trc|BIN文件|*.bin|所有文件|*.*");
const QString kBinFilter = QStringLiteral("BIN文件|*.bin|TRC文件|*.trc|所有文件|*.*");

// The controls that follow the analysis: the CERT1 fields and keys, the TABLE field and keys.
const QStringList kCert1Controls = {"Edit22", "Edit23", "Button92", "Button93"};
const QStringList kTableControls = {"Edit13", "Button26", "Button27"};

QString text(MainModel& m, const QString& name) { return m.form().text(name); }

void setText(MainModel& m, const QString& name, const QString& value) {
    if (m.form().find(name)) m.form().setText(name, value);
}

void setEnabled(MainModel& m, const QStringList& names, bool on) {
    for (const QString& n : names) {
        const Control* c = m.form().find(n);
        if (c && c->enabled != on) m.form().setEnabled(n, on);
    }
}

bool enabled(MainModel& m, const QString& name) {
    const Control* c = m.form().find(name);
    return c && c->enabled;
}

// Runs an operation over the window's address fields and writes back what it found.
Outcome withAddresses(MainModel& m, const std::function<Outcome(AddressSet&)>& work) {
    AddressSet a = addressFields(m);
    const Outcome outcome = work(a);
    setAddressFields(m, a);
    return outcome;
}

Outcome reserveAddressKey(MainModel& m) {
    return withAddresses(m, [&m](AddressSet& a) { return FindReserveArea(m.dialogue(), a.reserve); });
}

Outcome moduleAddressKey(MainModel& m) {
    return withAddresses(m, [&m](AddressSet& a) { return FindModuleAddresses(m.dialogue(), a); });
}

Outcome analysisKey(MainModel& m) {
    return withAddresses(m, [&m](AddressSet& a) {
        return AnalyseFirmware(m.dialogue(), m.form().at("ComboBox3").items, m.ext<FamilyTable>(), a);
    });
}

// "清空地址".
Outcome clearAddressesKey(MainModel& m) {
    setAddressFields(m, AddressSet{});
    return Outcome::done();
}

Outcome saveAppCertKey(MainModel& m) { return SaveAppAndCert(m.dialogue()); }

// A module read or write key: its file dialog, then the module operation over the address fields.
struct ModuleKey {
    Module module;
    bool read;
    QString title;
    std::function<QString(MainModel&)> fileName;
};

Outcome runModuleKey(MainModel& m, const ModuleKey& k) {
    const bool idSector = k.module == Module::IdSector;
    const FileRequest request{k.title, k.fileName(m), idSector ? kBinFilter : kTrackFilter,
                              idSector ? QStringLiteral("*.bin") : QStringLiteral("*.trc")};
    const ModuleTransfer t{k.module,
                           k.read ? m.frontend().saveFileName(request) : m.frontend().openFileName(request),
                           m.form().text("ComboBox7")};
    return withAddresses(m, [&](AddressSet& a) {
        return k.read ? ReadModule(m.dialogue(), t, a) : WriteModule(m.dialogue(), t, a);
    });
}

std::function<QString(MainModel&)> named(const QString& name) {
    return [name](MainModel&) { return name; };
}

QString cert1FileName(MainModel& m) { return "Cert_" + m.form().text("Edit23").trimmed() + ".trc"; }

}  // namespace

AddressSet addressFields(MainModel& m) {
    AddressSet a;
    a.buffers = {text(m, "Edit1"), text(m, "Edit15"), text(m, "Edit2"), text(m, "Edit16")};
    a.reserve = {text(m, "Edit3"), text(m, "Edit4"), text(m, "Edit5")};
    a.modules = {text(m, "Edit6"), text(m, "Edit8"), text(m, "Edit7"), text(m, "Edit9")};
    a.cert1 = text(m, "Edit22");
    a.cert1Head = text(m, "Edit23");
    a.table = text(m, "Edit13");
    a.cert1Keys = enabled(m, "Button92");
    a.tableKeys = enabled(m, "Button26");
    return a;
}

void setAddressFields(MainModel& m, const AddressSet& a) {
    setText(m, "Edit1", a.buffers.rd);
    setText(m, "Edit15", a.buffers.rdSize);
    setText(m, "Edit2", a.buffers.wr);
    setText(m, "Edit16", a.buffers.wrSize);
    setText(m, "Edit3", a.reserve.first);
    setText(m, "Edit4", a.reserve.last);
    setText(m, "Edit5", a.reserve.spt);
    setText(m, "Edit6", a.modules.app);
    setText(m, "Edit8", a.modules.cert0);
    setText(m, "Edit7", a.modules.ata);
    setText(m, "Edit9", a.modules.ven);
    setText(m, "Edit22", a.cert1);
    setText(m, "Edit23", a.cert1Head);
    setText(m, "Edit13", a.table);
    setEnabled(m, kCert1Controls, a.cert1Keys);
    setEnabled(m, kTableControls, a.tableKeys);
}

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
    return withAddresses(
               m, [&m](AddressSet& a) { return EnsureAddresses(m.dialogue(), a, AddressNeed::System); })
        .isDone();
}

bool GetFirwAddress(MainModel& m) {
    return withAddresses(
               m, [&m](AddressSet& a) { return EnsureAddresses(m.dialogue(), a, AddressNeed::Firmware); })
        .isDone();
}

void installFirmwareKeys(MainModel& m) {
    FormModel& f = m.form();

    Control& families = f.add("ComboBox3", ControlKind::Combo, kOps);
    families.visible = false;

    // Each module's read and write keys sit below its field.
    auto moduleKey = [&m](const QString& name, const QString& box, const ModuleKey& k) {
        addKey(m, name, k.read ? QStringLiteral("读") : QStringLiteral("写"), box,
               [k](MainModel& mm) { return runModuleKey(mm, k); });
    };
    // The read and write keys of one module, with their dialog titles and default file name.
    auto keys = [&](Module module, const QString& box, const char* read, const char* write,
                    const QString& what, const std::function<QString(MainModel&)>& fileName) {
        moduleKey(read, box, {module, true, QStringLiteral("保存文件（%1）").arg(what), fileName});
        moduleKey(write, box, {module, false, QStringLiteral("打开文件（%1）").arg(what), fileName});
        m.form().at(read).hint = QStringLiteral("读取%1并存为文件").arg(what);
        m.form().at(write).hint = QStringLiteral("把文件写入%1").arg(what);
    };

    const QString reserve = QStringLiteral("保留区");
    addField(f, "Edit3", QStringLiteral("地址:"), reserve);
    addField(f, "Edit4", QStringLiteral("-"), reserve);
    addField(f, "Edit5", QStringLiteral("扇/道:"), reserve);
    addKey(m, "Button14", QStringLiteral("保留区地址"), reserve, reserveAddressKey);
    keys(Module::Reserve, reserve, "Button57", "Button58", QStringLiteral("保留区"), named("Reserve.trc"));

    const QString appAta = QStringLiteral("APP / ATA");
    addField(f, "Edit6", QStringLiteral("APP:"), appAta, KeyFilter::HexComma);
    keys(Module::App, appAta, "Button51", "Button52", QStringLiteral("APP"), named("APP.trc"));
    addField(f, "Edit7", QStringLiteral("ATA:"), appAta);
    keys(Module::Ata, appAta, "Button15", "Button20", QStringLiteral("ATA"), named("ATA.trc"));

    const QString cert = QStringLiteral("CERT");
    addField(f, "Edit8", QStringLiteral("CERT0:"), cert);
    keys(Module::Cert0, cert, "Button1", "Button21", QStringLiteral("Cert0"), named("Cert_0.trc"));
    addField(f, "Edit22", QStringLiteral("CERT1:"), cert);
    addField(f, "Edit23", QStringLiteral("磁头:"), cert);
    keys(Module::Cert1, cert, "Button92", "Button93", QStringLiteral("Cert1"), cert1FileName);

    const QString tableVen = QStringLiteral("TABLE / Ven");
    addField(f, "Edit13", QStringLiteral("TABLE:"), tableVen);
    keys(Module::Table, tableVen, "Button26", "Button27", QStringLiteral("Table"), named("TABLE.trc"));
    addField(f, "Edit9", QStringLiteral("Ven:"), tableVen);
    keys(Module::Vendor, tableVen, "Button3", "Button22", QStringLiteral("Vendor"), named("Vendor.trc"));

    const QString modules = QStringLiteral("模块地址");
    Control& id = f.add("LabelHddId", ControlKind::Label, kOps);
    id.text = QStringLiteral("HDD ID扇区");
    id.box = modules;
    moduleKey("Button82", modules,
              {Module::IdSector, true, QStringLiteral("保存文件（ID）"), named("ID.BIN")});
    moduleKey("Button83", modules,
              {Module::IdSector, false, QStringLiteral("选择写入文件（HDD ID扇区）"), named("ID.BIN")});
    Control& spacer = f.add("LabelModuleKeys", ControlKind::Label, kOps);
    spacer.box = modules;
    spacer.visible = false;
    addKey(m, "Button17", QStringLiteral("模块地址"), modules, moduleAddressKey).hint =
        QStringLiteral("使用y指令获取模块地址");
    addKey(m, "Button91", QStringLiteral("A"), modules, analysisKey).hint =
        QStringLiteral("分析固件版本并计算模块地址");
    addKey(m, "Button4", QStringLiteral("清空地址"), modules, clearAddressesKey).hint =
        QStringLiteral("清空所有地址栏");
    addKey(m, "Button96", QStringLiteral("保存APP.CERT"), modules, saveAppCertKey).hint =
        QStringLiteral("保存APP与CERT模块");
    f.at("Button14").hint = QStringLiteral("向硬盘查询保留区地址");
    f.at("Button82").hint = QStringLiteral("读取%1并存为文件").arg(id.text);
    f.at("Button83").hint = QStringLiteral("把文件写入%1").arg(id.text);

    for (const QStringList& group : {kCert1Controls, kTableControls}) {
        for (const QString& n : group) f.at(n).enabled = false;
    }

    m.onStartUp([&m] { LoadFamilyTable(m); });
}

}  // namespace hdd
