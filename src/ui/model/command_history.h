// The command line's history: the last kMax lines sent, walked with Up and Down.
//
// Walking up from the end keeps the line being typed as a draft; walking down past the newest
// line brings it back.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace hdd {

class CommandHistory {
public:
    static constexpr int kMax = 100;

    const QStringList& lines() const { return lines_; }
    // A line sent: kept unless it is empty or the same as the last one; the walk starts again at
    // the end.
    void add(const QString& line);
    // Up: the line before, or nothing at the oldest. `typed` is what the command line holds now.
    std::optional<QString> previous(const QString& typed);
    // Down: the line after (the draft past the newest), or nothing at the end.
    std::optional<QString> next();

private:
    QStringList lines_;
    qsizetype pos_ = 0;
    QString draft_;
};

}  // namespace hdd
