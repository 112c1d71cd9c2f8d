#include "keys.h"
#include "main_model.h"

namespace hdd {

Control& addKey(MainModel& m, const QString& name, const QString& caption, const QString& box,
                std::function<Outcome(MainModel&)> work, const QString& panel) {
    Control& c = m.form().add(name, ControlKind::Button, panel);
    c.caption = caption;
    c.box = box;
    MainModel* mp = &m;
    c.onClick = [mp, work = std::move(work)] {
        mp->runOperation(std::function<Outcome()>([mp, &work] { return work(*mp); }));
    };
    return c;
}

Control& addField(FormModel& f, const QString& name, const QString& label, const QString& box,
                  KeyFilter filter, const QString& panel) {
    Control& c = f.add(name, ControlKind::Edit, panel);
    c.label = label;
    c.box = box;
    c.filter = filter;
    return c;
}

}  // namespace hdd
