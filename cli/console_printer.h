// Prints the console to stderr a line at a time, once the next line has begun (or at the end),
// so a line that an operation is still completing ("正在读取数据........." + "完成！") is printed whole.
#pragma once

#include <QTextStream>
#include <algorithm>

#include "console.h"
#include "progress_line.h"
#include "text.h"

namespace hdd {

class ConsolePrinter {
public:
    ConsolePrinter(Console& console, QTextStream& err, ProgressLine& progress)
        : console_(console), err_(err), progress_(progress) {
        QObject::connect(&console_, &Console::tailChanged, [this](int) { flush(false); });
        QObject::connect(&console_, &Console::aboutToClear, [this] { flush(true); });
        QObject::connect(&console_, &Console::cleared, [this] { printed_ = 0; });
        // Without auto-clear the oldest lines go past the limit: what was printed moves down too.
        QObject::connect(&console_, &Console::headDropped,
                         [this](int count) { printed_ = std::max(0, printed_ - count); });
    }
    void flush(bool all) {
        const int complete = all ? console_.lineCount() : console_.lineCount() - 1;
        if (printed_ < complete) progress_.clear();
        for (; printed_ < complete; ++printed_) {
            const QString line = fromGbk(console_.line(printed_));
            err_ << line << "\n";
        }
        err_.flush();
    }

private:
    Console& console_;
    QTextStream& err_;
    ProgressLine& progress_;
    int printed_ = 0;
};

}  // namespace hdd
