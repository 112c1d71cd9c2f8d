#include "console_view.h"

#include <QContextMenuEvent>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QShortcut>
#include <QTextBlock>
#include <QVBoxLayout>

#include "form_model.h"
#include "hex_view.h"
#include "language.h"
#include "search_bar.h"
#include "text.h"
#include "transfer.h"

namespace hdd {

ConsoleView::ConsoleView(Console& console, QWidget* parent) : QPlainTextEdit(parent), console_(console) {
    setObjectName("memo1");
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont f(QStringList{"SimSun", "WenQuanYi Zen Hei Mono", "WenQuanYi Zen Hei", "Noto Sans Mono CJK SC",
                        "monospace"});
    f.setPixelSize(16);
    f.setStyleHint(QFont::TypeWriter);
    setFont(f);
    setStyleSheet("QPlainTextEdit{background:#101418;color:#d8e0e8;}");
    setPlainText(console_.displayText());
    connect(&console_, &Console::tailChanged, this, &ConsoleView::onTailChanged);
    connect(&console_, &Console::cleared, this, [this] { setPlainText(QString()); });
    connect(&console_, &Console::headDropped, this, [this](int count) {
        QTextCursor cur(document());
        if (!cur.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, count))
            cur.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cur.removeSelectedText();
    });
}

void ConsoleView::onTailChanged(int first) {
    // The document holds one block per stored line; replace the blocks from `first` on.
    QTextCursor cur(document());
    const QTextBlock block = document()->findBlockByNumber(first);
    if (block.isValid()) {
        cur.setPosition(block.position());
        cur.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    } else {
        cur.movePosition(QTextCursor::End);
    }
    QStringList tail;
    const auto& raw = console_.rawLines();
    for (qsizetype i = first; i < raw.size(); ++i) tail << fromGbk(raw[i]);
    cur.insertText(block.isValid() ? tail.join('\n') : "\n" + tail.join('\n'));
    moveCursor(QTextCursor::End);
    ensureCursorVisible();
}

void ConsoleView::contextMenuEvent(QContextMenuEvent* e) {
    QMenu menu(this);
    menu.addAction(displayText(QStringLiteral("复制(&C)")), this, &QPlainTextEdit::copy);
    menu.addAction(displayText(QStringLiteral("全选")), this, &QPlainTextEdit::selectAll);
    if (onFind)
        menu.addAction(displayText(QStringLiteral("查找…")), this, [this] { onFind(); })
            ->setShortcut(QKeySequence::Find);
    menu.addSeparator();
    menu.addAction(displayText(QStringLiteral("清空(&D)")), this, [this] { console_.clear(); });
    menu.addAction(displayText(QStringLiteral("保存为文本…")), this, [this] {
        if (onSaveAsText) onSaveAsText();
    });
    if (port_) {
        menu.addSeparator();
        QAction* log = menu.addAction(displayText(QStringLiteral("保存通信记录…")), this,
                                      &ConsoleView::toggleTranscript);
        log->setCheckable(true);
        log->setChecked(transcript_ && transcript_->active());
    }
    menu.exec(e->globalPos());
}

// Starts a transcript of the line into a file the user picks, or stops the running one.
void ConsoleView::toggleTranscript() {
    if (transcript_ && transcript_->active()) {
        transcript_->stop();
        return;
    }
    const QString path = QFileDialog::getSaveFileName(
        this, displayText(QStringLiteral("保存通信记录")), QStringLiteral("hddterm-log.txt"),
        displayText(QStringLiteral("文本文件 (*.txt);;所有文件 (*)")));
    if (path.isEmpty()) return;
    QString why;
    if (!startTranscript(path, &why))
        QMessageBox::warning(this, displayText(QStringLiteral("警告")), displayText(why));
}

bool ConsoleView::startTranscript(const QString& path, QString* why) {
    if (!port_) return false;
    if (!transcript_) transcript_ = std::make_unique<Transcript>(*port_);
    QString reason = cannotCreateReason(path);
    if (reason.isEmpty() && !transcript_->start(path, &reason) && reason.isEmpty())
        reason = QStringLiteral("?");
    if (reason.isEmpty()) return true;
    if (why) *why = cannotCreateMessage(path, reason);
    return false;
}

ConsolePane::ConsolePane(ConsoleView* console, HexTraffic& traffic, FormModel& form, QWidget* parent)
    : QWidget(parent),
      console_(console),
      hex_(new HexView(traffic, this)),
      search_(new SearchBar(this)),
      form_(form) {
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(0);
    stack_ = new QStackedWidget(this);
    console_->setParent(stack_);
    stack_->addWidget(console_);
    stack_->addWidget(hex_);
    l->addWidget(stack_, 1);
    l->addWidget(search_);
    console_->onFind = [this] { search_->open(); };
    auto* find = new QShortcut(QKeySequence::Find, this);
    find->setContext(Qt::WindowShortcut);
    connect(find, &QShortcut::activated, search_, &SearchBar::open);
    connect(&form_, &FormModel::changed, this, [this](const QString& name) {
        if (name == QLatin1String("CheckBoxHex")) showView();
    });
    showView();
}

void ConsolePane::showView() {
    QPlainTextEdit* view = form_.checked("CheckBoxHex") ? static_cast<QPlainTextEdit*>(hex_) : console_;
    stack_->setCurrentWidget(view);
    search_->setTarget(view);
}

}  // namespace hdd
