// Widget-free forms.
//
// A FormModel is a window or dialog as data: its controls by objectName, with the state a
// widget would show (text, list items and selection, ticked, enabled, visible, limits) and the
// handlers its keys run. The Qt view binds one widget per control by objectName and follows the
// change signal; the CLI and the tests press keys and set fields through the same calls. A
// change made by code (setText, setCurrentIndex, setChecked) never runs a handler; the user*
// calls do, as a user's action on the widget would.
#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace hdd {

enum class ControlKind { Panel, Button, Edit, Memo, Label, Combo, Check, Radio, Progress, Image };

// What an edit field accepts, key by key.
enum class KeyFilter {
    Any,
    Hex,       // Backspace, Ctrl-C, Ctrl-V, 0-9, A-F, a-f
    HexComma,  // the same and ","
    Serial,    // every key but "."; lower-case letters become capitals
    ZoneHex,   // Backspace; upper-cased; 0-9, A-F
    HeadHex,   // Backspace; upper-cased; 0-9 and F
    Digits,    // Backspace, Ctrl-V, 0-9
    DecByte,   // Backspace, 0-9
    HexByte,   // Backspace; upper-cased; 0-9, A-F
    Upper,     // every key; lower-case letters become capitals
    Decimal,   // Backspace, Ctrl-C, Ctrl-V, 0-9
};

// The key a filter lets through (possibly changed), or nullopt when it is dropped.
std::optional<QChar> filterKey(KeyFilter filter, QChar key);

struct Control {
    QString name;
    ControlKind kind = ControlKind::Button;
    QString panel;  // the panel the control sits on; empty: on the form itself
    QString caption;
    QString label;  // text beside a field
    QString hint;
    QString text;
    QStringList items;
    int currentIndex = -1;
    bool checked = false;
    bool enabled = true;
    bool visible = true;
    bool readOnly = false;
    bool editable = false;  // a combo box whose text can be typed: its text is `text`
    int maxLength = 0;      // 0: no limit
    qint64 value = 0;       // progress position
    qint64 maximum = 100;
    KeyFilter filter = KeyFilter::Any;
    QString group;  // radio buttons of one group exclude each other
    QString box;    // the framed group the view puts the control in, inside its panel
    QString page;   // the page of the operations panel the group is shown on
    // What a list shows for each item when it says more than the item itself (a port's adapter);
    // empty: the items as they are.
    QStringList itemLabels;
    bool sameRow = false;  // the view puts the field beside the field before it

    std::function<void()> onClick;   // a key pressed, a box or radio button clicked
    std::function<void()> onChange;  // a list's selection changed by the user
    std::function<void()> onEnter;   // Enter pressed in an edit field
    // Keys typed into a field that act on their own (the command line's control keys);
    // returns true when the key was consumed.
    std::function<bool(QChar)> onKey;

    QString currentText() const {
        if (editable) return text;
        return currentIndex >= 0 && currentIndex < items.size() ? items[currentIndex] : QString();
    }
};

class FormModel : public QObject {
    Q_OBJECT
public:
    explicit FormModel(const QString& formName, QObject* parent = nullptr);

    const QString& formName() const { return formName_; }
    // The page new controls are put on (each subsystem's keys get a page of their own).
    void setCurrentPage(const QString& page) { currentPage_ = page; }
    Control& add(const QString& name, ControlKind kind, const QString& panel = QString());
    Control* find(const QString& name);
    const Control* find(const QString& name) const;
    Control& at(const QString& name);
    const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }

    // Enabled as the user sees it: the control and the panels it sits on.
    bool isEffectivelyEnabled(const QString& name) const;
    // Usable by the user: visible, effectively enabled, and (for a field) not read-only.
    bool isUsable(const QString& name) const;

    // The whole form, as a dialog disables itself while its operation runs.
    bool formEnabled() const { return formEnabled_; }
    void setFormEnabled(bool on);
    // The caption of the window or dialog.
    QString title;

    // Changes by code: no handler runs.
    void setText(const QString& name, const QString& text);
    void setCaption(const QString& name, const QString& caption);
    void setItems(const QString& name, const QStringList& items, int current = -1,
                  const QStringList& labels = {});
    void setCurrentIndex(const QString& name, int index);
    bool selectText(const QString& name, const QString& text);  // false (and no selection) when absent
    void setChecked(const QString& name, bool on);
    void setEnabled(const QString& name, bool on);
    void setVisible(const QString& name, bool on);
    void setValue(const QString& name, qint64 value);
    void setMaximum(const QString& name, qint64 max);
    QString text(const QString& name) const;
    bool checked(const QString& name) const;

    // The user's actions; each does nothing when the control is not usable. They return false
    // when the control is unknown or the value cannot be taken.
    bool userClick(const QString& name);
    bool userSelect(const QString& name, int index);
    bool userSelectText(const QString& name, const QString& text);
    bool userSetText(const QString& name, const QString& text);
    bool userSetChecked(const QString& name, bool on);
    // A key typed into an edit field: the field's filter and key handler, then the text.
    bool userKey(const QString& name, QChar key);
    bool userEnter(const QString& name);
    // A whole text as the user would type it: each character through the field's filter, the field's
    // length limit kept. Returns the text the field would hold, or nullopt when the filter refuses a
    // character or the text is longer than the field takes (nothing is changed then).
    std::optional<QString> typedText(const QString& name, const QString& text) const;

signals:
    void changed(const QString& name);
    void formEnabledChanged(bool on);

private:
    QString formName_;
    QString currentPage_;
    bool formEnabled_ = true;
    std::vector<std::unique_ptr<Control>> controls_;
    QHash<QString, Control*> byName_;
};

}  // namespace hdd
