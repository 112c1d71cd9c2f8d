#include "form_model.h"

namespace hdd {

namespace {
bool isHexDigit(QChar c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
constexpr QChar kBackspace{0x08};
constexpr QChar kCtrlC{0x03};
constexpr QChar kCtrlV{0x16};
}  // namespace

std::optional<QChar> filterKey(KeyFilter filter, QChar key) {
    const bool digit = key >= '0' && key <= '9';
    switch (filter) {
        case KeyFilter::Any:
            return key;
        case KeyFilter::Hex:
            if (key == kBackspace || key == kCtrlC || key == kCtrlV || isHexDigit(key)) return key;
            return std::nullopt;
        case KeyFilter::HexComma:
            if (key == kBackspace || key == kCtrlC || key == kCtrlV || isHexDigit(key) || key == ',')
                return key;
            return std::nullopt;
        case KeyFilter::Serial:
            if (key == '.') return std::nullopt;
            return (key >= 'a' && key <= 'z') ? key.toUpper() : key;
        case KeyFilter::ZoneHex:
        case KeyFilter::HexByte: {
            if (key == kBackspace) return key;
            const QChar u = key.toUpper();
            if ((u >= '0' && u <= '9') || (u >= 'A' && u <= 'F')) return u;
            return std::nullopt;
        }
        case KeyFilter::HeadHex: {
            if (key == kBackspace) return key;
            const QChar u = key.toUpper();
            if ((u >= '0' && u <= '9') || u == 'F') return u;
            return std::nullopt;
        }
        case KeyFilter::Digits:
            if (key == kBackspace || key == kCtrlV || digit) return key;
            return std::nullopt;
        case KeyFilter::DecByte:
            if (key == kBackspace || digit) return key;
            return std::nullopt;
        case KeyFilter::Upper:
            return (key >= 'a' && key <= 'z') ? key.toUpper() : key;
        case KeyFilter::Decimal:
            if (key == kBackspace || key == kCtrlC || key == kCtrlV || digit) return key;
            return std::nullopt;
    }
    return std::nullopt;
}

FormModel::FormModel(const QString& formName, QObject* parent) : QObject(parent), formName_(formName) {}

Control& FormModel::add(const QString& name, ControlKind kind, const QString& panel) {
    auto c = std::make_unique<Control>();
    c->name = name;
    c->kind = kind;
    c->panel = panel;
    c->page = currentPage_;
    Control* raw = c.get();
    controls_.push_back(std::move(c));
    byName_.insert(name, raw);
    return *raw;
}

Control* FormModel::find(const QString& name) { return byName_.value(name, nullptr); }
const Control* FormModel::find(const QString& name) const { return byName_.value(name, nullptr); }

Control& FormModel::at(const QString& name) {
    Control* c = find(name);
    Q_ASSERT_X(c, "FormModel::at", qPrintable(name));
    return *c;
}

bool FormModel::isEffectivelyEnabled(const QString& name) const {
    if (!formEnabled_) return false;
    const Control* c = find(name);
    int depth = 0;
    while (c && depth++ < 16) {
        if (!c->enabled) return false;
        c = c->panel.isEmpty() ? nullptr : find(c->panel);
    }
    return true;
}

bool FormModel::isUsable(const QString& name) const {
    const Control* c = find(name);
    return c && c->visible && isEffectivelyEnabled(name) && !c->readOnly;
}

void FormModel::setFormEnabled(bool on) {
    if (formEnabled_ == on) return;
    formEnabled_ = on;
    emit formEnabledChanged(on);
}

std::optional<QString> FormModel::typedText(const QString& name, const QString& text) const {
    const Control* c = find(name);
    if (!c) return std::nullopt;
    QString out;
    for (QChar ch : text) {
        const auto k = filterKey(c->filter, ch);
        if (!k || k->unicode() < 0x20) return std::nullopt;
        out += *k;
    }
    if (c->maxLength > 0 && out.size() > c->maxLength) return std::nullopt;
    return out;
}

void FormModel::setText(const QString& name, const QString& text) {
    Control& c = at(name);
    if (c.text == text) return;
    c.text = text;
    emit changed(name);
}

void FormModel::setCaption(const QString& name, const QString& caption) {
    at(name).caption = caption;
    emit changed(name);
}

void FormModel::setItems(const QString& name, const QStringList& items, int current,
                         const QStringList& labels) {
    Control& c = at(name);
    c.items = items;
    c.itemLabels = labels.size() == items.size() ? labels : QStringList();
    c.currentIndex = (current >= 0 && current < items.size()) ? current : -1;
    if (c.editable && c.currentIndex >= 0) c.text = c.items[c.currentIndex];
    emit changed(name);
}

void FormModel::setCurrentIndex(const QString& name, int index) {
    Control& c = at(name);
    c.currentIndex = (index >= 0 && index < c.items.size()) ? index : -1;
    if (c.editable && c.currentIndex >= 0) c.text = c.items[c.currentIndex];
    emit changed(name);
}

bool FormModel::selectText(const QString& name, const QString& text) {
    const int i = static_cast<int>(at(name).items.indexOf(text));
    setCurrentIndex(name, i);
    return i >= 0;
}

void FormModel::setChecked(const QString& name, bool on) {
    Control& c = at(name);
    c.checked = on;
    if (on && c.kind == ControlKind::Radio && !c.group.isEmpty()) {
        for (auto& other : controls_) {
            if (other.get() != &c && other->kind == ControlKind::Radio && other->group == c.group) {
                other->checked = false;
                emit changed(other->name);
            }
        }
    }
    emit changed(name);
}

void FormModel::setEnabled(const QString& name, bool on) {
    at(name).enabled = on;
    emit changed(name);
}

void FormModel::setVisible(const QString& name, bool on) {
    at(name).visible = on;
    emit changed(name);
}

void FormModel::setValue(const QString& name, qint64 value) {
    at(name).value = value;
    emit changed(name);
}

void FormModel::setMaximum(const QString& name, qint64 max) {
    at(name).maximum = max;
    emit changed(name);
}

QString FormModel::text(const QString& name) const {
    const Control* c = find(name);
    if (!c) return {};
    if (c->kind == ControlKind::Combo) return c->currentText();
    if (c->kind == ControlKind::Button || c->kind == ControlKind::Check || c->kind == ControlKind::Radio)
        return c->caption;
    return c->text;
}

bool FormModel::checked(const QString& name) const {
    const Control* c = find(name);
    return c && c->checked;
}

bool FormModel::userClick(const QString& name) {
    Control* c = find(name);
    if (!c) return false;
    if (!c->visible || !isEffectivelyEnabled(name)) return true;
    if (c->kind == ControlKind::Check) setChecked(name, !c->checked);
    if (c->kind == ControlKind::Radio) setChecked(name, true);
    if (c->onClick) {
        auto fn = c->onClick;  // the handler may rebuild the form's state
        fn();
    }
    return true;
}

bool FormModel::userSelect(const QString& name, int index) {
    Control* c = find(name);
    if (!c || index < 0 || index >= c->items.size()) return false;
    if (!isEffectivelyEnabled(name)) return true;
    const bool changedSel = c->currentIndex != index;
    setCurrentIndex(name, index);
    if (changedSel && c->onChange) {
        auto fn = c->onChange;
        fn();
    }
    return true;
}

bool FormModel::userSelectText(const QString& name, const QString& text) {
    Control* c = find(name);
    if (!c) return false;
    return userSelect(name, static_cast<int>(c->items.indexOf(text)));
}

bool FormModel::userSetText(const QString& name, const QString& text) {
    Control* c = find(name);
    if (!c) return false;
    if (!isEffectivelyEnabled(name) || c->readOnly) return true;
    if (c->kind == ControlKind::Combo && !c->editable) return userSelectText(name, text);
    // A pasted text goes through the field's key filter as typed keys would: what the filter
    // swallows is dropped, what it changes is changed.
    QString filtered;
    for (QChar ch : text) {
        const auto k = filterKey(c->filter, ch);
        if (k && (k->unicode() >= 0x20 || c->filter == KeyFilter::Any)) filtered += *k;
    }
    const QString t = c->maxLength > 0 ? filtered.left(c->maxLength) : filtered;
    // The view shows what the field took, not what was pasted.
    if (t != text && t == c->text) emit changed(name);
    if (c->kind == ControlKind::Combo) {
        c->currentIndex = static_cast<int>(c->items.indexOf(t));
        c->text = QString();  // setText below emits the change
    }
    setText(name, t);
    return true;
}

bool FormModel::userSetChecked(const QString& name, bool on) {
    Control* c = find(name);
    if (!c) return false;
    if (c->checked == on && c->kind == ControlKind::Radio) return true;
    if (c->checked == on) return true;
    return userClick(name);
}

bool FormModel::userKey(const QString& name, QChar key) {
    Control* c = find(name);
    if (!c) return false;
    if (!isEffectivelyEnabled(name)) return true;
    if (key == QChar('\r')) return userEnter(name);
    const auto k = filterKey(c->filter, key);
    if (!k) return true;
    if (c->onKey && c->onKey(*k)) return true;
    if (*k == QChar(0x08)) {
        QString t = c->text;
        t.chop(1);
        setText(name, t);
    } else if (k->unicode() >= 0x20 && !c->readOnly && (c->maxLength <= 0 || c->text.size() < c->maxLength)) {
        setText(name, c->text + *k);
    }
    return true;
}

bool FormModel::userEnter(const QString& name) {
    Control* c = find(name);
    if (!c) return false;
    if (!isEffectivelyEnabled(name)) return true;
    if (c->onEnter) {
        auto fn = c->onEnter;
        fn();
    }
    return true;
}

}  // namespace hdd
