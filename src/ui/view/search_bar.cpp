#include "search_bar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QToolButton>

#include "translations.h"

namespace hdd {

SearchBar::SearchBar(QWidget* parent) : QWidget(parent) {
    setObjectName("searchBar");
    later_ = new QTimer(this);
    later_->setSingleShot(true);
    later_->setInterval(150);
    connect(later_, &QTimer::timeout, this, &SearchBar::refresh);
    auto* l = new QHBoxLayout(this);
    l->setContentsMargins(0, 2, 0, 0);
    l->setSpacing(4);
    l->addWidget(sourceLabel(QStringLiteral("查找:"), this));
    field_ = new QLineEdit(this);
    field_->setObjectName("searchText");
    field_->setClearButtonEnabled(true);
    field_->installEventFilter(this);
    l->addWidget(field_, 1);
    auto key = [&](const char* name, const QString& caption, const QString& tip) {
        auto* b = new QToolButton(this);
        b->setObjectName(name);
        showText(b, caption);
        showToolTip(b, tip);
        l->addWidget(b);
        return b;
    };
    connect(key("searchPrevious", QStringLiteral("上一个"), QStringLiteral("上一个匹配 (Shift+Enter)")),
            &QToolButton::clicked, this, &SearchBar::findPrevious);
    connect(key("searchNext", QStringLiteral("下一个"), QStringLiteral("下一个匹配 (Enter)")),
            &QToolButton::clicked, this, &SearchBar::findNext);
    count_ = new QLabel(this);
    count_->setObjectName("searchCount");
    count_->setMinimumWidth(72);
    l->addWidget(count_);
    connect(key("searchClose", QStringLiteral("×"), QStringLiteral("关闭查找 (Esc)")), &QToolButton::clicked,
            this, &SearchBar::close);
    connect(field_, &QLineEdit::textChanged, this, [this] {
        refresh();
        step(1);
    });
    hide();
}

void SearchBar::setTarget(QPlainTextEdit* view) {
    if (view_ == view) return;
    if (view_) {
        view_->setExtraSelections({});
        disconnect(view_->document(), nullptr, this, nullptr);
    }
    view_ = view;
    if (view_) {
        // New console text moves the matches: find them again, keeping the place.
        connect(view_->document(), &QTextDocument::contentsChanged, this, [this] {
            if (isVisible()) later_->start();
        });
    }
    refresh();
}

void SearchBar::open() {
    if (view_ && view_->textCursor().hasSelection())
        field_->setText(view_->textCursor().selectedText().section(QChar::ParagraphSeparator, 0, 0));
    show();
    field_->setFocus(Qt::ShortcutFocusReason);
    field_->selectAll();
    refresh();
}

void SearchBar::close() {
    hide();
    if (view_) {
        view_->setExtraSelections({});
        view_->setFocus(Qt::OtherFocusReason);
    }
}

QList<int> SearchBar::findAll(const QString& text, const QString& needle) {
    QList<int> found;
    if (needle.isEmpty()) return found;
    for (qsizetype at = text.indexOf(needle, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(needle, at + needle.size(), Qt::CaseInsensitive))
        found << static_cast<int>(at);
    return found;
}

void SearchBar::refresh() {
    const int place = current_ >= 0 && current_ < matches_.size() ? matches_[current_] : -1;
    matches_ = view_ ? findAll(view_->document()->toPlainText(), field_->text()) : QList<int>();
    current_ = place < 0 ? -1 : static_cast<int>(matches_.indexOf(place));
    highlight();
}

bool SearchBar::findNext() { return step(1); }
bool SearchBar::findPrevious() { return step(-1); }

bool SearchBar::step(int by) {
    if (!view_ || matches_.isEmpty()) {
        highlight();
        return false;
    }
    const int n = static_cast<int>(matches_.size());
    if (current_ < 0) {
        // From the caret: the first match after it (before it, going back).
        const int caret = view_->textCursor().selectionStart();
        current_ = by > 0 ? 0 : n - 1;
        for (int i = 0; i < n; ++i) {
            const int k = by > 0 ? i : n - 1 - i;
            if (by > 0 ? matches_[k] >= caret : matches_[k] < caret) {
                current_ = k;
                break;
            }
        }
    } else {
        current_ = (current_ + by + n) % n;
    }
    QTextCursor cur(view_->document());
    cur.setPosition(matches_[current_]);
    cur.setPosition(matches_[current_] + static_cast<int>(field_->text().size()), QTextCursor::KeepAnchor);
    view_->setTextCursor(cur);
    view_->ensureCursorVisible();
    highlight();
    return true;
}

void SearchBar::highlight() {
    const bool none = !field_->text().isEmpty() && matches_.isEmpty();
    field_->setStyleSheet(none ? "QLineEdit{background:#ffd8d8;}" : QString());
    count_->setText(field_->text().isEmpty() ? QString()
                    : none                   ? QStringLiteral("无匹配")
                           : QStringLiteral("%1/%2").arg(current_ + 1).arg(matches_.size()));
    if (!view_) return;
    QList<QTextEdit::ExtraSelection> marks;
    if (isVisible()) {
        QTextCharFormat all;
        all.setBackground(QColor(0x80, 0x70, 0x10));
        QTextCharFormat now;
        now.setBackground(QColor(0xf0, 0xa0, 0x20));
        now.setForeground(Qt::black);
        const int len = static_cast<int>(field_->text().size());
        for (int i = 0; i < matches_.size(); ++i) {
            QTextCursor c(view_->document());
            c.setPosition(matches_[i]);
            c.setPosition(matches_[i] + len, QTextCursor::KeepAnchor);
            marks << QTextEdit::ExtraSelection{c, i == current_ ? now : all};
        }
    }
    view_->setExtraSelections(marks);
}

bool SearchBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == field_ && event->type() == QEvent::KeyPress) {
        const auto* ke = static_cast<QKeyEvent*>(event);
        if (ke->key() == Qt::Key_Escape) {
            close();
            return true;
        }
        if (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) {
            step(ke->modifiers() & Qt::ShiftModifier ? -1 : 1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace hdd
