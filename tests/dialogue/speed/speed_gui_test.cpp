// The fast switch on the window's top bar, and the console view following a console that drops
// its oldest lines. A screenshot is kept under the build folder.
#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QTest>
#include <QTextBlock>
#include <cstdio>

#include "harness.h"
#include "main_window.h"

using hddtest::Harness;

namespace {

TEST(SpeedGui, TheFastBoxSitsOnTheTopBarBesideAutoClearAndOverlapsNothing) {
    Harness h(false);
    hdd::MainWindow w(*h.model);
    h.model->startUp();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    auto* fast = w.findChild<QCheckBox*>("CheckBoxFast");
    auto* autoClear = w.findChild<QCheckBox*>("CheckBox2");
    ASSERT_NE(fast, nullptr);
    ASSERT_NE(autoClear, nullptr);
    EXPECT_EQ(fast->text(), QStringLiteral("快速等待"));
    EXPECT_FALSE(fast->isChecked());
    EXPECT_EQ(fast->parentWidget()->objectName(), "Panel3");
    const QRect box(fast->mapTo(&w, QPoint(0, 0)), fast->size());
    EXPECT_GT(box.left(), autoClear->mapTo(&w, QPoint(0, 0)).x());
    EXPECT_GE(box.width(), fast->sizeHint().width());  // the caption is not cut
    for (const char* other : {"Button16", "CheckBox1", "CheckBox2", "Button6"}) {
        QWidget* o = w.findChild<QWidget*>(other);
        ASSERT_NE(o, nullptr) << other;
        EXPECT_FALSE(box.intersects(QRect(o->mapTo(&w, QPoint(0, 0)), o->size()))) << other;
    }
    QTest::mouseClick(fast, Qt::LeftButton);
    EXPECT_TRUE(h.dlg().fastWaits());

    QDir().mkpath(HDDTERM_TEST_OUT);
    EXPECT_TRUE(w.grab().save(QStringLiteral(HDDTERM_TEST_OUT "/speed_top_bar.png")));
}

TEST(SpeedGui, TheConsoleViewDropsTheOldestLinesWithTheConsole) {
    Harness h(false);
    hdd::MainWindow w(*h.model);
    h.model->startUp();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    h.form().userClick("CheckBox2");  // auto-clear off
    hdd::Console& c = h.model->console();
    QByteArray chunk;
    for (int i = 0; i < 2000; ++i) chunk += "drive line " + QByteArray::number(i) + "\r\n";
    QElapsedTimer t;
    t.start();
    for (int k = 0; k < 51; ++k) {
        c.insertChunk(chunk);
        QCoreApplication::processEvents();
    }
    c.insertChunk("last");
    QCoreApplication::processEvents();
    EXPECT_LT(t.elapsed(), 60'000);
    QTextDocument* doc = w.consoleView()->document();
    EXPECT_EQ(c.lineCount(), hdd::Console::kMaxLines);
    EXPECT_EQ(doc->blockCount(), c.rawLines().size());
    EXPECT_EQ(doc->firstBlock().text(), QString::fromLatin1(c.line(0)));
    EXPECT_EQ(doc->findBlockByNumber(1234).text(), QString::fromLatin1(c.line(1234)));
    EXPECT_EQ(doc->lastBlock().text(), "last");
}

}  // namespace

namespace {

// A drive printing without pause at 921600 baud (92 160 bytes a second) to an idle window, taken in
// once every 10 ms: a second of it costs the window well under a second, auto-clear on.
TEST(SpeedGui, TheWindowKeepsUpWithADriveTalkingAt921600) {
    Harness h(false);
    hdd::MainWindow w(*h.model);
    h.model->startUp();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    h.dlg().ReceiveMode = hdd::kUserCmd;
    QByteArray text;
    for (int i = 0; text.size() < 92'160; ++i)
        text += "Drive line " + QByteArray::number(i) + ": " + QByteArray(60 + i % 90, 'a' + i % 26) + "\r\n";
    QElapsedTimer t;
    t.start();
    for (qsizetype at = 0; at < 92'160; at += 922) {
        h.dlg().dispatch(text.mid(at, 922));
        QCoreApplication::processEvents();
    }
    const qint64 ms = t.elapsed();
    std::printf("a second of drive text at 921600 baud shown in %lld ms\n", static_cast<long long>(ms));
#if defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(ms, 5000);  // the sanitizers slow painting down several times
#else
    EXPECT_LT(ms, 500);
#endif
    const QTextDocument* doc = w.consoleView()->document();
    EXPECT_EQ(doc->blockCount(), h.model->console().rawLines().size());
    EXPECT_EQ(doc->lastBlock().text(), QString::fromLatin1(h.model->console().rawLines().last()));
}

}  // namespace
