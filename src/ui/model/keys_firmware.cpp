// The firmware map's keys: the family table, address discovery, the firmware analysis and the
// module read and write keys of the main window.
#include "discovery.h"
#include "family_table.h"
#include "keys.h"
#include "main_form_controls.h"
#include "main_model.h"
#include "module_transfer.h"

namespace hdd {

using namespace mainform;

namespace {

const QString kOps = QLatin1String(kOperationsPanel);
const QString kTrackFilter = QStringLiteral("TRC文件|*.trc|BIN文件|*.bin|所有文件|*.*");
const QString kBinFilter = QStringLiteral("BIN文件|*.bin|TRC文件|*.trc|所有文件|*.*");

// The controls that follow the analysis: the CERT1 fields and keys, the TABLE field and keys.
const QStringList kCert1Controls = {kCert1Field, kCert1HeadField, kCert1ReadKey, kCert1WriteKey};
const QStringList kTableControls = {kTableField, kTableReadKey, kTableWriteKey};

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
        return AnalyseFirmware(m.dialogue(), m.form().at(kFamilyList).items, m.ext<FamilyTable>(), a);
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
                           m.form().text(kTransferSpeedList)};
    return withAddresses(m, [&](AddressSet& a) {
        return k.read ? ReadModule(m.dialogue(), t, a) : WriteModule(m.dialogue(), t, a);
    });
}

std::function<QString(MainModel&)> named(const QString& name) {
    return [name](MainModel&) { return name; };
}

QString cert1FileName(MainModel& m) { return "Cert_" + m.form().text(kCert1HeadField).trimmed() + ".trc"; }

}  // namespace

AddressSet addressFields(MainModel& m) {
    AddressSet a;
    a.buffers = {text(m, kReadBufferField), text(m, kReadSectorsField), text(m, kWriteBufferField),
                 text(m, kWriteSectorsField)};
    a.reserve = {text(m, kReserveStartField), text(m, kReserveEndField), text(m, kSectorsPerTrackField)};
    a.modules = {text(m, kAppField), text(m, kCert0Field), text(m, kAtaField), text(m, kVendorField)};
    a.cert1 = text(m, kCert1Field);
    a.cert1Head = text(m, kCert1HeadField);
    a.table = text(m, kTableField);
    a.cert1Keys = enabled(m, kCert1ReadKey);
    a.tableKeys = enabled(m, kTableReadKey);
    return a;
}

void setAddressFields(MainModel& m, const AddressSet& a) {
    setText(m, kReadBufferField, a.buffers.rd);
    setText(m, kReadSectorsField, a.buffers.rdSize);
    setText(m, kWriteBufferField, a.buffers.wr);
    setText(m, kWriteSectorsField, a.buffers.wrSize);
    setText(m, kReserveStartField, a.reserve.first);
    setText(m, kReserveEndField, a.reserve.last);
    setText(m, kSectorsPerTrackField, a.reserve.spt);
    setText(m, kAppField, a.modules.app);
    setText(m, kCert0Field, a.modules.cert0);
    setText(m, kAtaField, a.modules.ata);
    setText(m, kVendorField, a.modules.ven);
    setText(m, kCert1Field, a.cert1);
    setText(m, kCert1HeadField, a.cert1Head);
    setText(m, kTableField, a.table);
    setEnabled(m, kCert1Controls, a.cert1Keys);
    setEnabled(m, kTableControls, a.tableKeys);
}

void LoadFamilyTable(MainModel& m) {
    QString error;
    FamilyTable& table = m.ext<FamilyTable>();
    table = loadFamilyTableFile(m.familyTableFolder(), &error);
    m.form().setItems(kFamilyList, table.names(), table.count > 0 ? 0 : -1);
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

    Control& families = f.add(kFamilyList, ControlKind::Combo, kOps);
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
    addField(f, kReserveStartField, QStringLiteral("地址:"), reserve);
    addField(f, kReserveEndField, QStringLiteral("-"), reserve);
    addField(f, kSectorsPerTrackField, QStringLiteral("扇/道:"), reserve);
    addKey(m, kReserveKey, QStringLiteral("保留区地址"), reserve, reserveAddressKey);
    keys(Module::Reserve, reserve, kReserveReadKey, kReserveWriteKey, QStringLiteral("保留区"),
         named("Reserve.trc"));

    const QString appAta = QStringLiteral("APP / ATA");
    addField(f, kAppField, QStringLiteral("APP:"), appAta, KeyFilter::HexComma);
    keys(Module::App, appAta, kAppReadKey, kAppWriteKey, QStringLiteral("APP"), named("APP.trc"));
    addField(f, kAtaField, QStringLiteral("ATA:"), appAta);
    keys(Module::Ata, appAta, kAtaReadKey, kAtaWriteKey, QStringLiteral("ATA"), named("ATA.trc"));

    const QString cert = QStringLiteral("CERT");
    addField(f, kCert0Field, QStringLiteral("CERT0:"), cert);
    keys(Module::Cert0, cert, kCert0ReadKey, kCert0WriteKey, QStringLiteral("Cert0"), named("Cert_0.trc"));
    addField(f, kCert1Field, QStringLiteral("CERT1:"), cert);
    addField(f, kCert1HeadField, QStringLiteral("磁头:"), cert);
    keys(Module::Cert1, cert, kCert1ReadKey, kCert1WriteKey, QStringLiteral("Cert1"), cert1FileName);

    const QString tableVen = QStringLiteral("TABLE / Ven");
    addField(f, kTableField, QStringLiteral("TABLE:"), tableVen);
    keys(Module::Table, tableVen, kTableReadKey, kTableWriteKey, QStringLiteral("Table"), named("TABLE.trc"));
    addField(f, kVendorField, QStringLiteral("Ven:"), tableVen);
    keys(Module::Vendor, tableVen, kVendorReadKey, kVendorWriteKey, QStringLiteral("Vendor"),
         named("Vendor.trc"));

    const QString modules = QStringLiteral("模块地址");
    Control& id = f.add("LabelHddId", ControlKind::Label, kOps);
    id.text = QStringLiteral("HDD ID扇区");
    id.box = modules;
    moduleKey(kIdSectorReadKey, modules,
              {Module::IdSector, true, QStringLiteral("保存文件（ID）"), named("ID.BIN")});
    moduleKey(kIdSectorWriteKey, modules,
              {Module::IdSector, false, QStringLiteral("选择写入文件（HDD ID扇区）"), named("ID.BIN")});
    Control& spacer = f.add("LabelModuleKeys", ControlKind::Label, kOps);
    spacer.box = modules;
    spacer.visible = false;
    addKey(m, kModuleAddressKey, QStringLiteral("模块地址"), modules, moduleAddressKey).hint =
        QStringLiteral("使用y指令获取模块地址");
    addKey(m, kAnalysisKey, QStringLiteral("A"), modules, analysisKey).hint =
        QStringLiteral("分析固件版本并计算模块地址");
    addKey(m, kClearAddressesKey, QStringLiteral("清空地址"), modules, clearAddressesKey).hint =
        QStringLiteral("清空所有地址栏");
    addKey(m, kSaveAppCertKey, QStringLiteral("保存APP.CERT"), modules, saveAppCertKey).hint =
        QStringLiteral("保存APP与CERT模块");
    f.at(kReserveKey).hint = QStringLiteral("向硬盘查询保留区地址");
    f.at(kIdSectorReadKey).hint = QStringLiteral("读取%1并存为文件").arg(id.text);
    f.at(kIdSectorWriteKey).hint = QStringLiteral("把文件写入%1").arg(id.text);

    for (const QStringList& group : {kCert1Controls, kTableControls}) {
        for (const QString& n : group) f.at(n).enabled = false;
    }

    m.onStartUp([&m] { LoadFamilyTable(m); });
}

}  // namespace hdd
