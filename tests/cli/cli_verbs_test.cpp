// Each verb against its key: the same bytes on the wire and the same files as `run` with the key's
// fields, on the simulated drive; --json for a done and a failed run; the usage errors.
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "cli_run.h"

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A verb and the window's actions it stands for; FILE in either is the same path in a fresh folder.
struct Pair {
    QStringList verb;
    QStringList run;
};

TEST(CliVerbs, EachVerbSendsWhatItsKeySendsAndWritesTheSameFile) {
    const QList<Pair> pairs = {
        {{"buffer", "read", "FILE", "--entry", "800", "--sectors", "4", "--speed", "115200"},
         {"--set", "Edit19=800", "--set", "Edit20=4", "--file", "FILE", "run", "SET:ComboBox7=115200",
          "Button78"}},
        {{"buffer", "write", "IN", "--entry", "800", "--sectors", "2"},
         {"--set", "Edit19=800", "--set", "Edit20=2", "--file", "IN", "run", "Button79"}},
        {{"track", "read", "FILE", "--track", "3A", "--head", "0", "--buffer", "800", "--buffer-length", "40",
          "--start", "0", "--count", "8"},
         {"--set", "Edit10=3A", "--set", "Edit14=0", "--set", "Edit1=800", "--set", "Edit15=40", "--set",
          "Edit11=0", "--set", "Edit12=8", "--file", "FILE", "run", "Button18"}},
        {{"rom", "read", "FILE", "--speed", "115200"},
         {"--file", "FILE", "run", "Button76", "Form3.Button51", "SET:Form3.ComboBox2=115200",
          "Form3.Button2"}},
    };
    for (const Pair& p : pairs) {
        QByteArray wire[2], file[2];
        for (int i = 0; i < 2; ++i) {
            QTemporaryDir dir;
            writeBytes(dir.filePath("IN"), QByteArray(1024, '\x5a'));
            QStringList args = i == 0 ? p.verb : p.run;
            for (QString& a : args) {
                if (a == "FILE" || a == "IN") a = dir.filePath(a);
            }
            const CliRun r = runCliInProcess(args);
            EXPECT_EQ(r.status, 0) << qPrintable(p.verb.join(' ')) << qPrintable(r.err);
            wire[i] = r.drive->received();
            file[i] = fileBytes(dir.filePath("FILE"));
        }
        EXPECT_EQ(wire[0], wire[1]) << qPrintable(p.verb.join(' '));
        EXPECT_EQ(file[0], file[1]) << qPrintable(p.verb.join(' '));
    }
}

TEST(CliVerbs, JsonTellsTheOutcomeAndTheFiles) {
    QTemporaryDir dir;
    const QString file = dir.filePath("rom.bin");
    CliRun r = runCliInProcess({"--json", "rom", "read", file});
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_EQ(o["verb"].toString(), "rom read");
    EXPECT_EQ(o["outcome"].toString(), "done");
    ASSERT_FALSE(o["files"].toArray().isEmpty());
    EXPECT_EQ(o["files"].toArray()[0].toObject()["bytes"].toInt(), 65536);
    EXPECT_TRUE(r.out.startsWith("{\"verb\":\"rom read\",\"outcome\":"));

    r = runCliInProcess(
        {"--json", "buffer", "read", dir.filePath("none/b.bin"), "--entry", "800", "--sectors", "4"});
    EXPECT_EQ(r.status, 1);
    o = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_EQ(o["outcome"].toString(), "refused");
    EXPECT_TRUE(r.drive->received().isEmpty());

    // send: the drive's answer on stdout.
    r = runCliInProcess({"send", "/2", "x"});
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_TRUE(r.out.contains("Reserve: ")) << qPrintable(r.out);
}

TEST(CliVerbs, AMissingOrMalformedOptionIsAUsageErrorBeforeThePortOpens) {
    const struct {
        QStringList args;
        const char* names;
    } rows[] = {
        {{"buffer", "read", "f.bin", "--sectors", "4"}, "--entry"},
        {{"buffer", "read", "f.bin", "--entry", "80x", "--sectors", "4"}, "--entry"},
        {{"track", "read", "f.bin", "--track", "3A"}, "--head"},
        {{"rom", "read", "f.bin", "--by", "magic"}, "--by"},
        {{"backup", "dir", "--only", "app,boot"}, "boot"},
        {{"module", "read", "NOPE", "f.bin"}, "NOPE"},
        {{"buffer", "read", "f.bin", "--entry", "800", "--sectors", "4", "--colour", "red"}, "--colour"},
        {{"buffer"}, "read"},
    };
    for (const auto& row : rows) {
        const CliRun r = runCliInProcess(row.args);
        EXPECT_EQ(r.status, 2) << qPrintable(row.args.join(' '));
        EXPECT_TRUE(r.err.contains(QLatin1String(row.names))) << qPrintable(r.err);
        EXPECT_TRUE(r.drive == nullptr || r.drive->received().isEmpty());
    }
}

}  // namespace
