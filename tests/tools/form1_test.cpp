// The sector file builder dialog: pickers, reset keys, the checks in their order, the outcome, and
// the dialog through hddterm-cli.
#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

#include "cli_runner.h"
#include "dialog_form.h"
#include "harness.h"

using hddtest::Harness;

namespace {

QByteArray bytesOf(int n) {
    QByteArray b(n, '\0');
    for (int i = 0; i < n; ++i) b[i] = static_cast<char>((i * 13 + (i >> 9)) & 0xFF);
    return b;
}

void put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QByteArray get(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

struct Form1 : ::testing::Test {
    Harness h;
    QTemporaryDir dir;
    hdd::DialogForm& f = *dynamic_cast<hdd::DialogForm*>(h.model->formByName("Form1"));
    QString path(const char* name) { return dir.filePath(name); }
    void pick(const char* key, const QString& file) {
        h.frontend.files << file;
        f.userClick(key);
    }
};

TEST_F(Form1, PickersTakeAWholeFileAndResetKeysEmptyTheirRow) {
    EXPECT_TRUE(f.built);
    EXPECT_TRUE(h.form().at("Button56").visible);
    put(path("a.bin"), bytesOf(1000));
    put(path("b.bin"), bytesOf(0x2345 * 512 + 7));
    pick("Button51", path("a.bin"));
    pick("Button1", path("b.bin"));
    EXPECT_EQ(h.frontend.requests[0].filter, "所有文件|*.*");
    EXPECT_EQ(f.text("Edit1"), path("a.bin"));
    EXPECT_EQ(f.text("Edit5"), "0");
    EXPECT_EQ(f.text("Edit3"), "1");
    EXPECT_EQ(f.text("Edit4"), "0");
    EXPECT_EQ(f.text("Edit7"), "2345");
    pick("Button2", path("t.bin"));
    EXPECT_EQ(f.text("Edit6"), path("t.bin"));
    // The sources are set by their pickers only; the target may be typed.
    EXPECT_FALSE(f.isUsable("Edit1"));
    EXPECT_FALSE(f.isUsable("Edit2"));
    EXPECT_TRUE(f.isUsable("Edit6"));
    EXPECT_EQ(f.at("Edit5").filter, hdd::KeyFilter::Hex);

    f.userClick("Button3");
    EXPECT_EQ(h.frontend.shown.last(), "message: 生成文件完成！");
    EXPECT_EQ(get(path("t.bin")), bytesOf(1000).left(512) + bytesOf(0x2345 * 512));

    f.userClick("Button4");
    for (const char* n : {"Edit1", "Edit5", "Edit3"}) EXPECT_TRUE(f.text(n).isEmpty()) << n;
    EXPECT_EQ(f.text("Edit7"), "2345");
    f.userClick("Button5");
    for (const char* n : {"Edit2", "Edit4", "Edit7"}) EXPECT_TRUE(f.text(n).isEmpty()) << n;

    // Both sources empty: an empty target.
    f.userClick("Button3");
    EXPECT_EQ(h.frontend.shown.last(), "message: 生成文件完成！");
    EXPECT_EQ(get(path("t.bin")), "");
}

TEST_F(Form1, ChecksInTheirOrderBeforeTheTargetIsTouched) {
    put(path("a.bin"), bytesOf(4 * 512));
    put(path("b.bin"), bytesOf(2 * 512));
    put(path("t.bin"), "earlier");
    const QString a = path("a.bin"), b = path("b.bin"), gone = path("gone.bin"), t = path("t.bin");
    struct Row {
        const char* what;
        QString s1, st1, n1, s2, st2, n2, target;
        QString message;
    };
    const Row rows[] = {
        {"range 1 unset, first", a, "", "1", gone, "", "", "", "请设置源文件1的截取范围！"},
        {"range 2 unset, before the target", a, "0", "1", b, "0", " ", "", "请设置源文件2的截取范围！"},
        {"no target", a, "0", "1", b, "0", "1", "", "请设置目标文件！"},
        {"source 1 missing, before source 2", gone, "0", "1", gone, "0", "1", t, "源文件1不存在！"},
        {"range 1 one sector too long", a, "1", "4", b, "0", "1", t, "源文件1的截取范围超出源文件1长度！"},
        {"range 1 not a number", a, "0", "1G", b, "0", "1", t, "请设置源文件1的截取范围！"},
        {"source 2 missing", a, "0", "4", gone, "0", "1", t, "源文件2不存在！"},
        {"range 2 too long", "", "", "", b, "2", "1", t, "源文件2的截取范围超出源文件2长度！"},
    };
    for (const Row& r : rows) {
        const QString values[] = {r.s1, r.st1, r.n1, r.s2, r.st2, r.n2, r.target};
        const char* names[] = {"Edit1", "Edit5", "Edit3", "Edit2", "Edit4", "Edit7", "Edit6"};
        for (int i = 0; i < 7; ++i) f.setText(names[i], values[i]);
        f.userClick("Button3");
        EXPECT_EQ(h.frontend.shown.last(), "warning: " + r.message) << r.what;
        EXPECT_EQ(get(t), "earlier") << r.what;
    }
    // The range that ends exactly at the end of source 2 is taken.
    f.setText("Edit4", "1");
    f.userClick("Button3");
    EXPECT_EQ(h.frontend.shown.last(), "message: 生成文件完成！");
    EXPECT_EQ(get(t), bytesOf(2 * 512).mid(512));
}

TEST(Form1Cli, BuildAFileFromTheCommandLine) {
    QTemporaryDir dir;
    const QString a = dir.filePath("a.bin"), t = dir.filePath("t.bin");
    put(a, bytesOf(3 * 512 + 100));
    auto run = [&](const QStringList& args) {
        hdd::VirtualClock clock;
        QString out, err;
        QTextStream o(&out), e(&err);
        const int status = hdd::runCli(args, o, e, clock, [](hdd::MainModel& m) {
            m.port().setSystemPortLister([] { return QStringList(); });
        });
        return std::make_pair(status, out);
    };
    auto r = run({"--file", a, "--file", t, "run", "Form1.Button51", "GET:Form1.Edit3", "SET:Form1.Edit5=1",
                  "SET:Form1.Edit3=2", "Form1.Button2", "Form1.Button3"});
    EXPECT_EQ(r.first, 0);
    EXPECT_EQ(r.second, "Form1.Edit3=3\n");
    EXPECT_TRUE(get(t) == bytesOf(3 * 512).mid(512));
    // A range beyond the source builds nothing: a failure for the command line.
    r = run(
        {"--file", a, "run", "Form1.Button51", "SET:Form1.Edit3=4", "SET:Form1.Edit6=" + t, "Form1.Button3"});
    EXPECT_EQ(r.first, 1);
    // The sources are taken from their pickers only.
    EXPECT_EQ(run({"run", "SET:Form1.Edit1=" + a}).first, 2);
}

}  // namespace
