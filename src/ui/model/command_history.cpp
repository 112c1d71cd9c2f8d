#include "command_history.h"

namespace hdd {

void CommandHistory::add(const QString& line) {
    if (!line.isEmpty() && (lines_.isEmpty() || lines_.last() != line)) {
        lines_ << line;
        if (lines_.size() > kMax) lines_.removeFirst();
    }
    pos_ = lines_.size();
    draft_.clear();
}

std::optional<QString> CommandHistory::previous(const QString& typed) {
    if (pos_ <= 0) return std::nullopt;
    if (pos_ >= lines_.size()) draft_ = typed;  // the line being typed
    return lines_[--pos_];
}

std::optional<QString> CommandHistory::next() {
    if (pos_ >= lines_.size()) return std::nullopt;
    ++pos_;
    return pos_ == lines_.size() ? draft_ : lines_[pos_];
}

}  // namespace hdd
