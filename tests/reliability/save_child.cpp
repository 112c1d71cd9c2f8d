// A child for the killed-save test: saves a file again and again, by turns with two contents of
// its size, through the tool's write-then-rename save, and says "saved N" after each save. The test
// kills it at random moments and looks at what the file holds.
//   reliability_save_child FILE MEGABYTES
#include <QCoreApplication>
#include <cstdio>

#include "transfer.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    const qsizetype size = qsizetype{std::atoi(argv[2])} * 1024 * 1024;
    const QByteArray contents[2] = {QByteArray(size, 'A'), QByteArray(size, 'B')};
    for (int n = 0;; ++n) {
        if (!hdd::saveFile(path, contents[n % 2])) return 1;
        std::printf("saved %d\n", n);
        std::fflush(stdout);
    }
}
