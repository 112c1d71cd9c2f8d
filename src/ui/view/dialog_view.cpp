#include "dialog_view.h"

#include "dialog_form.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <map>

#include "language.h"
#include "translations.h"

namespace hdd {

namespace {

constexpr int kCols = 4;

struct GridState {
    QGridLayout* grid = nullptr;
    int row = 0;
    int keys = 0;  // keys placed on the current key row
    int checks = 0;
};

bool isPicker(const Control& c) { return c.kind == ControlKind::Button && c.caption == QLatin1String("..."); }

}  // namespace

DialogView::DialogView(FormModel& form, QWidget* parent) : QDialog(parent), form_(form), binder_(form) {
    setObjectName(form.formName());
    showWindowTitle(this, form.title);
    setModal(true);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 6, 6, 6);
    content_ = new QWidget(this);
    outer->addWidget(content_);
    auto* main = new QVBoxLayout(content_);
    main->setContentsMargins(0, 0, 0, 0);

    std::map<QString, GridState> grids;
    auto gridFor = [&](const QString& box) -> GridState& {
        auto it = grids.find(box);
        if (it != grids.end()) return it->second;
        QWidget* host = content_;
        if (!box.isEmpty()) {
            auto* g = new QGroupBox(content_);
            showText(g, box);
            main->addWidget(g);
            host = g;
        }
        GridState s;
        s.grid = new QGridLayout;
        s.grid->setSpacing(4);
        for (int col = 1; col < kCols; ++col) s.grid->setColumnStretch(col, 1);
        if (box.isEmpty()) {
            main->addLayout(s.grid);
        } else {
            host->setLayout(s.grid);
        }
        return grids.emplace(box, s).first->second;
    };

    QWidget* lastField = nullptr;
    GridState* lastFieldGrid = nullptr;
    int lastFieldRow = 0;
    for (const auto& cp : form.controls()) {
        const Control& c = *cp;
        if (c.kind == ControlKind::Panel) continue;
        GridState& g = gridFor(c.box);
        QWidget* host = g.grid->parentWidget() ? g.grid->parentWidget() : content_;
        QWidget* w = binder_.create(c.name, host);
        if (isPicker(c) && lastField && lastFieldGrid == &g) {
            w->setFixedWidth(30);
            g.grid->addWidget(w, lastFieldRow, kCols);
            lastField = nullptr;
            continue;
        }
        lastField = nullptr;
        auto newRow = [&g] {
            if (g.keys > 0 || g.checks > 0) ++g.row;
            g.keys = g.checks = 0;
        };
        switch (c.kind) {
            case ControlKind::Button:
                if (g.checks > 0) newRow();
                g.grid->addWidget(w, g.row, g.keys);
                if (++g.keys == kCols) newRow();
                break;
            case ControlKind::Check:
            case ControlKind::Radio:
                if (g.keys > 0) newRow();
                g.grid->addWidget(w, g.row, g.checks);
                if (++g.checks == kCols) newRow();
                break;
            default: {
                newRow();
                if (!c.label.isEmpty()) g.grid->addWidget(sourceLabel(c.label, host), g.row, 0);
                const int col = c.label.isEmpty() ? 0 : 1;
                g.grid->addWidget(w, g.row, col, 1, kCols - col);
                if (c.kind == ControlKind::Memo) {
                    w->setMinimumSize(520, 260);
                    g.grid->setRowStretch(g.row, 1);
                }
                if (c.kind == ControlKind::Edit || c.kind == ControlKind::Combo) {
                    lastField = w;
                    lastFieldGrid = &g;
                    lastFieldRow = g.row;
                }
                ++g.row;
                break;
            }
        }
    }
    for (const auto& [box, g] : grids) {
        QWidget* host = g.grid->parentWidget() ? g.grid->parentWidget() : content_;
        QList<QPushButton*> keys;
        for (QPushButton* k : host->findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (k->text() != QLatin1String("...") && g.grid->indexOf(k) >= 0) keys << k;
        }
        keyRows_ << keys;
    }
    evenKeys();
    content_->setEnabled(form.formEnabled());
    connect(&form_, &FormModel::formEnabledChanged, content_, &QWidget::setEnabled);
    if (auto* dialog = qobject_cast<DialogForm*>(&form_)) {
        // The main window's abort key is behind this modal dialog: the dialog carries its own, live
        // only while the dialog's operation runs.
        auto* abort = new QPushButton(this);
        showText(abort, QStringLiteral("中止命令"));
        abort->setObjectName(QStringLiteral("AbortKey"));
        abort->setStyleSheet(QStringLiteral("QPushButton{color:#b00;font-weight:bold;}"));
        abort->setEnabled(!form.formEnabled());
        connect(&form_, &FormModel::formEnabledChanged, abort, [abort](bool on) { abort->setEnabled(!on); });
        connect(abort, &QPushButton::clicked, dialog, &DialogForm::abort);
        outer->addWidget(abort, 0, Qt::AlignRight);
        // F9 is the abort key of the main window; it works from inside the dialog too.
        auto* f9 = new QShortcut(QKeySequence(Qt::Key_F9), this);
        f9->setContext(Qt::WindowShortcut);
        connect(f9, &QShortcut::activated, dialog, &DialogForm::abort);
    }
    setMinimumWidth(420);
    connect(&LanguageNotifier::instance(), &LanguageNotifier::changed, this, [this] {
        retranslate(this);
        evenKeys();
        adjustSize();
    });
}

void DialogView::evenKeys() {
    // Keys of one group share one width (the "..." pickers keep theirs).
    for (const QList<QPushButton*>& keys : std::as_const(keyRows_)) {
        int widest = 0;
        for (QPushButton* k : keys) widest = qMax(widest, k->sizeHint().width());
        for (QPushButton* k : keys) k->setFixedWidth(widest);
    }
}

void DialogView::reject() {
    auto* dialog = qobject_cast<DialogForm*>(&form_);
    if (dialog && !dialog->requestClose()) return;
    QDialog::reject();
}

}  // namespace hdd
