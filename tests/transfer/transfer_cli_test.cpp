// The transfer keys end to end: hddterm-cli against "hddsim --pty", both as separate processes on
// the wall clock, at the transfer speeds the link is raised to. Files read must hold exactly the
// simulated drive's bytes; files written must come back byte for byte.
#include <gtest/gtest.h>
#include <QProcess>
#include <QTemporaryDir>

#include "buffer_memory.h"
#include "system_area.h"
#include "transfer_support.h"

using namespace hddtest;

namespace {

struct CliResult {
    int status = -1;
    QString out, err;
};

class PtyDrive {
public:
    PtyDrive() {
        sim_.start(QStringLiteral(HDDTERM_BIN_DIR "/hddsim"), {"--pty"});
        if (sim_.waitForReadyRead(5000)) device_ = QString::fromLatin1(sim_.readLine()).trimmed();
    }
    ~PtyDrive() {
        sim_.kill();
        sim_.waitForFinished();
    }
    const QString& device() const { return device_; }

    // hddterm-cli on this drive, in `workDir`; `files` answer the file dialogs in order.
    CliResult cli(const QString& workDir, const QStringList& files, const QStringList& actions) {
        QStringList args = {"--port", device_};
        for (const QString& f : files) args << "--file" << f;
        args << "run" << actions;
        QProcess p;
        p.setWorkingDirectory(workDir);
        p.start(QStringLiteral(HDDTERM_BIN_DIR "/hddterm-cli"), args);
        CliResult r;
        if (!p.waitForFinished(120000)) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.status = p.exitCode();
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

private:
    QProcess sim_;
    QString device_;
};

QByteArray seededBlocks(quint32 block, quint32 count) {
    QByteArray b;
    for (qint64 a = qint64{block} * 512; a < qint64{block + count} * 512; ++a)
        b += hddsim::BufferMemory::seedByte(a);
    return b;
}

TEST(TransferCli, BufferReadAt115200HoldsTheDrivesBytes) {
    PtyDrive drive;
    ASSERT_TRUE(drive.device().startsWith("/dev/")) << qPrintable(drive.device());
    QTemporaryDir dir;
    const CliResult r = drive.cli(dir.path(), {dir.filePath("b.bin")},
                                  {"SET:ComboBox7=115200", "SET:Edit19=100", "SET:Edit20=4", "Button78"});
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_TRUE(r.err.contains("正在读取缓冲区......成功！")) << qPrintable(r.err);
    EXPECT_EQ(readAll(dir.filePath("b.bin")), seededBlocks(0x100, 4));
}

TEST(TransferCli, BufferWriteThenReadAt921600ComeBackTheSame) {
    PtyDrive drive;
    ASSERT_TRUE(drive.device().startsWith("/dev/"));
    QTemporaryDir dir;
    const QByteArray image = pattern(8 * 512, 11);
    writeFile(dir.filePath("w.bin"), image);
    const CliResult r = drive.cli(
        dir.path(), {dir.filePath("w.bin"), dir.filePath("r.bin")},
        {"SET:ComboBox7=921600", "SET:Edit19=C00", "SET:Edit20=8", "Button79", "Button78", "GET:edStatus"});
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_TRUE(r.err.contains("正在写入缓冲区......成功！")) << qPrintable(r.err);
    EXPECT_EQ(readAll(dir.filePath("r.bin")), image);
    EXPECT_TRUE(r.out.contains("Opened 9600 ")) << qPrintable(r.out);  // back at 9600 afterwards
    EXPECT_FALSE(QFile::exists(dir.filePath("~tmp.~tmp")));
}

QByteArray defaultSectors(quint32 cylinder, quint32 head, quint32 first, quint32 count) {
    QByteArray b;
    for (quint32 s = first; s < first + count; ++s) b += hddsim::SystemArea::defaultSector(cylinder, head, s);
    return b;
}

TEST(TransferCli, TrackWriteThenReadAt921600) {
    PtyDrive drive;
    ASSERT_TRUE(drive.device().startsWith("/dev/"));
    QTemporaryDir dir;
    const QByteArray image = pattern(0xA0 * 512, 13);  // one whole write chunk of 0x80 sectors and a part
    writeFile(dir.filePath("w.trc"), image);
    const CliResult r = drive.cli(
        dir.path(), {dir.filePath("w.trc"), dir.filePath("r.trc"), dir.filePath("n.trc")},
        {"SET:ComboBox7=921600", "SET:Edit10=3A", "SET:Edit14=0", "SET:Edit11=0", "SET:Edit12=A0", "Button19",
         "Button18", "SET:Edit10=3B", "SET:Edit11=4", "SET:Edit12=1", "Button18", "GET:Edit1", "GET:Edit16"});
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_TRUE(r.err.contains("正在写入数据......完成！")) << qPrintable(r.err);
    EXPECT_EQ(readAll(dir.filePath("r.trc")), image);
    EXPECT_EQ(readAll(dir.filePath("n.trc")), defaultSectors(0x3B, 0, 4, 1));
    EXPECT_EQ(r.out, "Edit1=800\nEdit16=80\n");  // found by asking the drive
}

}  // namespace
