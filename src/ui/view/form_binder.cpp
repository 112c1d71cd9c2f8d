#include "form_binder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include "language.h"

namespace hdd {

FormBinder::FormBinder(FormModel& form, QObject* parent) : QObject(parent), form_(form) {
    connect(&form_, &FormModel::changed, this, &FormBinder::refresh);
    connect(&LanguageNotifier::instance(), &LanguageNotifier::changed, this, &FormBinder::refreshAll);
}

QWidget* FormBinder::create(const QString& name, QWidget* parent) {
    Control& c = form_.at(name);
    QWidget* w = nullptr;
    switch (c.kind) {
        case ControlKind::Panel:
            w = new QWidget(parent);
            break;
        case ControlKind::Button: {
            auto* b = new QPushButton(c.caption, parent);
            connect(b, &QPushButton::clicked, this, [this, name] { form_.userClick(name); });
            w = b;
            break;
        }
        case ControlKind::Edit: {
            auto* e = new QLineEdit(parent);
            connect(e, &QLineEdit::textEdited, this,
                    [this, name](const QString& t) { form_.userSetText(name, t); });
            e->installEventFilter(this);
            w = e;
            break;
        }
        case ControlKind::Memo: {
            auto* e = new QPlainTextEdit(parent);
            e->setLineWrapMode(QPlainTextEdit::NoWrap);
            connect(e, &QPlainTextEdit::textChanged, this, [this, name, e] {
                if (form_.text(name) != e->toPlainText()) form_.userSetText(name, e->toPlainText());
            });
            w = e;
            break;
        }
        case ControlKind::Label: {
            // In a group a label is a caption; on its own (the status line) a sunken read-only field.
            if (!c.box.isEmpty()) {
                w = new QLabel(parent);
                break;
            }
            auto* l = new QLineEdit(parent);
            l->setReadOnly(true);
            l->setFocusPolicy(Qt::NoFocus);
            w = l;
            break;
        }
        case ControlKind::Combo: {
            auto* cb = new QComboBox(parent);
            connect(cb, &QComboBox::activated, this, [this, name](int i) { form_.userSelect(name, i); });
            if (c.editable) {
                cb->setEditable(true);
                connect(cb, &QComboBox::editTextChanged, this, [this, name](const QString& t) {
                    if (form_.text(name) != t) form_.userSetText(name, t);
                });
                // A typed list text goes through the control's key filter like a field's.
                if (c.filter != KeyFilter::Any) {
                    cb->lineEdit()->setProperty("control", name);
                    cb->lineEdit()->installEventFilter(this);
                }
            }
            w = cb;
            break;
        }
        case ControlKind::Check: {
            auto* cb = new QCheckBox(c.caption, parent);
            connect(cb, &QCheckBox::clicked, this, [this, name, cb] {
                // The model toggles the box itself; show its state, not the widget's guess.
                cb->setChecked(form_.checked(name));
                form_.userClick(name);
            });
            w = cb;
            break;
        }
        case ControlKind::Radio: {
            auto* rb = new QRadioButton(c.caption, parent);
            rb->setAutoExclusive(false);
            connect(rb, &QRadioButton::clicked, this, [this, name] { form_.userClick(name); });
            w = rb;
            break;
        }
        case ControlKind::Progress: {
            auto* p = new QProgressBar(parent);
            p->setTextVisible(false);
            p->setAlignment(Qt::AlignCenter);
            w = p;
            break;
        }
        case ControlKind::Image: {
            auto* l = new QLabel(parent);
            // Without a picture file it is a state light.
            if (c.text.isEmpty()) l->setFixedSize(16, 16);
            l->setAlignment(Qt::AlignCenter);
            w = l;
            break;
        }
    }
    w->setObjectName(name);
    widgets_.insert(name, w);
    refresh(name);
    return w;
}

void FormBinder::refreshAll() {
    for (auto it = widgets_.cbegin(); it != widgets_.cend(); ++it) refresh(it.key());
}

void FormBinder::refresh(const QString& name) {
    QWidget* w = widgets_.value(name);
    const Control* c = form_.find(name);
    if (!w || !c) return;
    w->setEnabled(c->enabled);
    if (!c->hint.isEmpty()) w->setToolTip(displayText(c->hint));
    if (w->parentWidget() && w->isHidden() == c->visible) w->setVisible(c->visible);
    switch (c->kind) {
        case ControlKind::Panel:
            break;
        case ControlKind::Button:
            static_cast<QPushButton*>(w)->setText(displayText(c->caption));
            break;
        case ControlKind::Edit: {
            auto* e = static_cast<QLineEdit*>(w);
            if (e->text() != c->text) e->setText(c->text);
            e->setMaxLength(c->maxLength > 0 ? c->maxLength : 32767);
            e->setReadOnly(c->readOnly);
            break;
        }
        case ControlKind::Memo: {
            auto* e = static_cast<QPlainTextEdit*>(w);
            if (e->toPlainText() != c->text) {
                const QSignalBlocker block(e);
                e->setPlainText(c->text);
                e->moveCursor(QTextCursor::Start);  // a script put in by a key shows from its first line
            }
            e->setReadOnly(c->readOnly);
            break;
        }
        case ControlKind::Label: {
            if (auto* caption = qobject_cast<QLabel*>(w)) {
                caption->setText(displayText(c->text.isEmpty() ? c->caption : c->text));
                break;
            }
            auto* l = static_cast<QLineEdit*>(w);
            if (l->text() != c->text) l->setText(c->text);
            break;
        }
        case ControlKind::Combo: {
            auto* cb = static_cast<QComboBox*>(w);
            // The list shows each item's label when it has one (a port with its adapter).
            const QStringList shown = displayTexts(c->itemLabels.isEmpty() ? c->items : c->itemLabels);
            QStringList now;
            for (int i = 0; i < cb->count(); ++i) now << cb->itemText(i);
            const QSignalBlocker block(cb);
            if (now != shown) {
                cb->clear();
                cb->addItems(shown);
            }
            cb->setCurrentIndex(c->currentIndex);
            if (c->editable && cb->currentText() != c->text) cb->setEditText(c->text);
            break;
        }
        case ControlKind::Check: {
            auto* cb = static_cast<QCheckBox*>(w);
            const QSignalBlocker block(cb);
            cb->setText(displayText(c->caption));
            cb->setChecked(c->checked);
            break;
        }
        case ControlKind::Radio: {
            auto* rb = static_cast<QRadioButton*>(w);
            const QSignalBlocker block(rb);
            rb->setText(displayText(c->caption));
            rb->setChecked(c->checked);
            break;
        }
        case ControlKind::Progress: {
            auto* p = static_cast<QProgressBar*>(w);
            // The bar counts in int; large byte counts are scaled to fit.
            const qint64 max = qMax<qint64>(1, c->maximum);
            const int scaledMax = static_cast<int>(qMin<qint64>(max, 1'000'000));
            p->setMaximum(scaledMax);
            p->setValue(static_cast<int>(qBound<qint64>(0, c->value, max) * scaledMax / max));
            // The figures of the running operation (progress.h) as the bar's text.
            p->setTextVisible(!c->text.isEmpty());
            p->setFormat(c->text);
            break;
        }
        case ControlKind::Image: {
            auto* l = static_cast<QLabel*>(w);
            if (!c->text.isEmpty()) {
                // A picture, scaled down to fit a dialog on a screen of 768 lines.
                QPixmap p(c->text);
                if (p.isNull()) {
                    l->setText(displayText(QStringLiteral("无法显示图片 %1")).arg(c->text));
                    break;
                }
                if (p.width() > 760 || p.height() > 440)
                    p = p.scaled(760, 440, Qt::KeepAspectRatio, Qt::SmoothTransformation);
                l->setPixmap(p);
                break;
            }
            const bool on = name == QLatin1String("ImageOn");
            l->setStyleSheet(on ? "background:#2ecc40;border-radius:8px;"
                                : "background:#999;border-radius:8px;");
            break;
        }
    }
}

bool FormBinder::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    auto* e = qobject_cast<QLineEdit*>(watched);
    if (!e) return false;
    const QString name =
        e->property("control").isValid() ? e->property("control").toString() : e->objectName();
    Control* c = form_.find(name);
    if (!c) return false;
    auto* ke = static_cast<QKeyEvent*>(event);
    if (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) {
        form_.userSetText(name, e->text());
        form_.userEnter(name);
        return true;
    }
    QString t = ke->text();
    // Control keys carry their control character (Ctrl-Z is 0x1A) whatever the platform put in text().
    const bool ctrl = (ke->modifiers() & Qt::ControlModifier) && !(ke->modifiers() & Qt::AltModifier);
    if (ctrl && ke->key() >= Qt::Key_A && ke->key() <= Qt::Key_Z) t = QChar(ke->key() - Qt::Key_A + 1);
    if (ke->key() == Qt::Key_Escape) t = QChar(0x1B);
    if (t.size() != 1) return false;  // cursor keys and the like edit as usual
    const QChar key = t[0];
    if (key == QChar(0x08) || key == QChar(0x7F)) return false;
    const auto k = filterKey(c->filter, key);
    if (!k) return true;
    if (c->onKey && c->onKey(*k)) return true;
    if (*k != key) {
        e->insert(QString(*k));
        form_.userSetText(name, e->text());
        return true;
    }
    return false;
}

QString qtFileFilter(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        out << QStringLiteral("%1 (%2)").arg(displayText(parts[i]), parts[i + 1]);
    return out.join(";;");
}

}  // namespace hdd
