#include "hex_view.h"
#include "language.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QTextBlock>

namespace hdd {

namespace {

QTextCharFormat rowFormat(HexTraffic::Direction direction) {
    QTextCharFormat f;
    f.setForeground(direction == HexTraffic::Direction::Sent ? QColor(0xf0, 0xb0, 0x40)
                                                             : QColor(0xd8, 0xe0, 0xe8));
    return f;
}

}  // namespace

HexView::HexView(HexTraffic& traffic, QWidget* parent) : QPlainTextEdit(parent), traffic_(traffic) {
    setObjectName("hexView");
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont f(QStringList{"WenQuanYi Zen Hei Mono", "Noto Sans Mono", "DejaVu Sans Mono", "monospace"});
    f.setPixelSize(14);
    f.setStyleHint(QFont::TypeWriter);
    setFont(f);
    setStyleSheet("QPlainTextEdit{background:#101418;color:#d8e0e8;}");
    connect(&traffic_, &HexTraffic::rowsChanged, this, &HexView::onRowsChanged);
    connect(&traffic_, &HexTraffic::cleared, this, [this] {
        clear();
        stale_ = false;
    });
    connect(&traffic_, &HexTraffic::headDropped, this, [this](int count) {
        if (!isVisible()) return;
        QTextCursor cur(document());
        if (!cur.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, count))
            cur.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cur.removeSelectedText();
    });
}

void HexView::showEvent(QShowEvent* e) {
    if (stale_) rebuild();
    QPlainTextEdit::showEvent(e);
}

void HexView::rebuild() {
    clear();
    stale_ = false;
    onRowsChanged(0);
}

void HexView::onRowsChanged(int first) {
    if (!isVisible()) {
        stale_ = true;
        return;
    }
    // One block per row; the blocks from `first` on are replaced.
    QTextCursor cur(document());
    const QTextBlock block = document()->findBlockByNumber(first);
    const bool empty = document()->isEmpty();
    if (block.isValid()) {
        cur.setPosition(block.position());
        cur.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cur.removeSelectedText();
    } else {
        cur.movePosition(QTextCursor::End);
    }
    const auto& rows = traffic_.rows();
    cur.beginEditBlock();
    for (qsizetype i = first; i < rows.size(); ++i) {
        if (i > first || (!block.isValid() && !empty)) cur.insertBlock();
        cur.insertText(HexTraffic::formatRow(rows[i]), rowFormat(rows[i].direction));
    }
    cur.endEditBlock();
    moveCursor(QTextCursor::End);
    ensureCursorVisible();
}

void HexView::contextMenuEvent(QContextMenuEvent* e) {
    QMenu menu(this);
    menu.addAction(displayText(QStringLiteral("复制(&C)")), this, &QPlainTextEdit::copy);
    menu.addAction(displayText(QStringLiteral("全选")), this, &QPlainTextEdit::selectAll);
    menu.addSeparator();
    menu.addAction(displayText(QStringLiteral("清空(&D)")), this, [this] { traffic_.clear(); });
    menu.exec(e->globalPos());
}

}  // namespace hdd
