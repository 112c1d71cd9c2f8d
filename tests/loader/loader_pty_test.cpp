// The APP load end to end on the wall clock: hddterm-cli against "hddsim --pty" as separate
// processes, at the fastest load speed, where the drive's answers come close together.
#include <gtest/gtest.h>
#include <QProcess>

#include "loader.h"
#include "loader_support.h"

using namespace hddtest;

namespace {

TEST(LoaderPty, AppLoadsAt921600) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("fw");
    QDir().mkpath(folder);
    writeFile(folder + "/APP.BIN", pattern(3 * 2048, 1));
    QProcess sim;
    sim.start(QStringLiteral(HDDTERM_BIN_DIR "/hddsim"), {"--pty"});
    ASSERT_TRUE(sim.waitForReadyRead(5000));
    const QString device = QString::fromLatin1(sim.readLine()).trimmed();
    QProcess cli;
    cli.start(QStringLiteral(HDDTERM_BIN_DIR "/hddterm-cli"),
              {"--port", device, "--file", folder, "run", "Form2.Button7", "SET:Form2.ComboBox2=921600",
               "Form2.Button6"});
    const bool finished = cli.waitForFinished(120000);
    sim.kill();
    sim.waitForFinished();
    ASSERT_TRUE(finished);
    const QString err = QString::fromUtf8(cli.readAllStandardError());
    EXPECT_EQ(cli.exitCode(), 0) << qPrintable(err);
    EXPECT_TRUE(err.contains(hdd::kLoadingApp + "成功！")) << qPrintable(err);
}

}  // namespace
