// The console's pop-up item "保存通信记录…" on the Qt view, offscreen: the item is offered (ticked
// while recording) and records the same transcript as hddterm-cli --log.
#include <gtest/gtest.h>
#include <QApplication>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "harness.h"
#include "main_window.h"
#include "transcript.h"

namespace {

// The console's pop-up menu, as it is shown: its items' texts and ticks.
QStringList popUpItems(hdd::ConsoleView* console) {
    QStringList items;
    QTimer::singleShot(100, [&items] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* a : menu->actions())
                if (!a->isSeparator()) items << a->text() + (a->isChecked() ? "[x]" : "");
            menu->close();
        }
    });
    QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(10, 10), console->mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(console->viewport(), &e);
    return items;
}

TEST(ConsoleLog, ThePopUpItemRecordsTheLine) {
    hddtest::Harness h(false);
    hdd::MainWindow w(*h.model);
    h.model->startUp();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    hdd::ConsoleView* console = w.consoleView();
    EXPECT_TRUE(popUpItems(console).contains("保存通信记录…"));

    QTemporaryDir dir;
    const QString log = dir.filePath("line.txt");
    ASSERT_TRUE(console->startTranscript(log));
    EXPECT_TRUE(popUpItems(console).contains("保存通信记录…[x]"));
    h.open();
    h.type("/2");
    h.idle(300);
    console->transcript()->stop();
    h.type("/");
    h.idle(300);

    QFile f(log);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(text.contains(" * opened sim 9600\n")) << qPrintable(text);
    EXPECT_TRUE(text.contains(" > /2\\x0D\n")) << qPrintable(text);
    EXPECT_TRUE(text.contains("2>")) << qPrintable(text);
    EXPECT_FALSE(text.contains(" > /\\x0D\n"));  // after the stop nothing more is recorded

    QString why;
    EXPECT_FALSE(console->startTranscript(dir.filePath("none/line.txt"), &why));
    EXPECT_EQ(why, "创建文件失败！ " + dir.filePath("none/line.txt") + ": No such file or directory");
}

}  // namespace
