// Every file of the fuzz corpora (fuzz/corpus/<target>/) through its target's entry, in the
// ordinary build under AddressSanitizer: what the fuzzer found once stays fixed.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include "fuzz_entries.h"

namespace {

TEST(CorpusReplay, EveryCorpusFileKeepsItsTargetsInvariants) {
    std::vector<std::string> broken;
    hddfuzz::setFailureHandler([&broken](const std::string& why) { broken.push_back(why); });
    const QDir root(QStringLiteral(HDDTERM_FUZZ_CORPUS));
    ASSERT_TRUE(root.exists()) << HDDTERM_FUZZ_CORPUS;
    int files = 0;
    for (const QString& dir : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const hddfuzz::Target* t = hddfuzz::findTarget(dir.toStdString());
        ASSERT_NE(t, nullptr) << "a corpus folder without its target: " << dir.toStdString();
        QDirIterator it(root.filePath(dir), QDir::Files);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << qPrintable(path);
            const size_t before = broken.size();
            t->run(f.readAll());
            ++files;
            for (size_t i = before; i < broken.size(); ++i)
                ADD_FAILURE() << qPrintable(path) << ": " << broken[i];
        }
    }
    for (const hddfuzz::Target& t : hddfuzz::targets())
        EXPECT_TRUE(root.exists(QString::fromLatin1(t.name))) << "no corpus for " << t.name;
    EXPECT_GT(files, 0);
    hddfuzz::setFailureHandler(nullptr);
}

}  // namespace
