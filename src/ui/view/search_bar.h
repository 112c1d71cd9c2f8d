// The console's search bar: finds a text in the scrollback of the view it is set on (the console or
// its hexadecimal view), highlights every match and walks them with Enter / Shift+Enter or its
// keys, wrapping at either end. Esc closes it and hands the keyboard back.
#pragma once

#include <QList>
#include <QTimer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace hdd {

class SearchBar : public QWidget {
    Q_OBJECT
public:
    explicit SearchBar(QWidget* parent = nullptr);

    // The view searched; its highlights go when another one is set or the bar closes.
    void setTarget(QPlainTextEdit* view);
    // Shows the bar with the view's selected text (if any) as the text sought.
    void open();
    void close();
    // The next (or previous) match after the current one, wrapping; false when there is none.
    bool findNext();
    bool findPrevious();
    QLineEdit* field() const { return field_; }
    // Where the matches start in the view's text, and which one is current (-1: none).
    const QList<int>& matches() const { return matches_; }
    int current() const { return current_; }

    // The start of every occurrence of `needle` in `text`, ignoring case; none for an empty needle.
    static QList<int> findAll(const QString& text, const QString& needle);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();
    bool step(int by);
    void highlight();

    QPlainTextEdit* view_ = nullptr;
    QLineEdit* field_ = nullptr;
    QLabel* count_ = nullptr;
    QList<int> matches_;
    int current_ = -1;
    QTimer* later_ = nullptr;  // gathers the console's changes into one search
};

}  // namespace hdd
