// The zone tools of the right-hand panel: head and zone ("FF" for all) with the cut key, the zone
// information's reload, save and view, and the LBA conversion. The window lays them out as one
// compact group of their own, so they carry no group name.
#include "keys.h"
#include "main_form_controls.h"
#include "main_model.h"
#include "zones.h"

namespace hdd {

using namespace mainform;

void installZoneKeys(MainModel& m) {
    FormModel& f = m.form();
    const QString right = QLatin1String(kRightPanel);
    auto field = [&](const char* name, const char* label, KeyFilter filter, int length, const char* hint) {
        Control& c = addField(f, name, QString::fromUtf8(label), QString(), filter, right);
        c.maxLength = length;
        c.hint = QString::fromUtf8(hint);
    };
    auto key = [&](const char* name, const char* caption, const char* hint,
                   std::function<Outcome(MainModel&)> work) {
        addKey(m, name, QString::fromUtf8(caption), QString(), std::move(work), right).hint =
            QString::fromUtf8(hint);
    };
    field(kCutHeadField, "头", KeyFilter::HeadHex, 2, "\"FF\"为所有头");
    field(kCutZoneField, "段", KeyFilter::ZoneHex, 2, "\"FF\"为所有段");
    key(kCutZoneKey, "砍段", "砍指定段", [](MainModel& mm) {
        return CutZones(mm.dialogue(), mm.form().text(kCutHeadField), mm.form().text(kCutZoneField));
    });
    key(kReloadZonesKey, "重载", "重新加载段位信息",
        [](MainModel& mm) { return ReloadZones(mm.dialogue()); });
    key(kSaveZonesKey, "保存", "保存段位信息", [](MainModel& mm) { return SaveZones(mm.dialogue()); });
    key(kShowZonesKey, "查看段位信息", "显示各磁头的段位信息",
        [](MainModel& mm) { return ShowZones(mm.dialogue()); });
    field(kKbaField, "KBA->LLP", KeyFilter::Digits, 10, "输入LBA值");
    key(kConvertKey, "转换", "把输入的LBA值转换为物理位置",
        [](MainModel& mm) { return ConvertLba(mm.dialogue(), mm.form().text(kKbaField)); });
}

}  // namespace hdd
