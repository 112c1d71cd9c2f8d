// The desktop view: Qt's texts in Chinese, a resizable window whose console takes the room, the
// function keys, the command line's history and paste, the pop-up menus, the port list read again
// when it opens, and the pictures for the README (main window and a dialog).
#include <gtest/gtest.h>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "dialog_view.h"
#include "harness.h"
#include "main_window.h"
#include "translations.h"

using hddtest::Harness;

namespace {

struct Window {
    Window() : w(*h.model) {
        h.model->startUp();
        w.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
    }
    template <class T = QWidget>
    T* find(const char* name) {
        return w.findChild<T*>(name);
    }
    Harness h{false};
    hdd::MainWindow w;
};

// The texts of the pop-up menu a widget opens, read while it is shown.
QStringList menuTexts(QWidget* target, const std::function<void()>& open) {
    QStringList texts;
    QTimer::singleShot(100, [&texts] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* a : menu->actions()) {
                if (!a->isSeparator()) texts << a->text();
            }
            menu->close();
        }
    });
    (void)target;
    open();
    return texts;
}

TEST(DesktopGui, QtsOwnDialogsSpeakChinese) {
    if (!hdd::installChineseTranslations(*qApp)) GTEST_SKIP() << "qt6-translations-l10n is not installed";
    QMessageBox box(QMessageBox::Question, "t", "q", QMessageBox::Yes | QMessageBox::No);
    EXPECT_TRUE(box.button(QMessageBox::Yes)->text().contains(QStringLiteral("是")));
    QDialogButtonBox buttons(QDialogButtonBox::Open | QDialogButtonBox::Cancel);
    EXPECT_TRUE(buttons.button(QDialogButtonBox::Cancel)->text().contains(QStringLiteral("取消")));
}

TEST(DesktopGui, TheWindowResizesAndTheConsoleTakesTheRoom) {
    Window t;
    EXPECT_EQ(t.w.size(), QSize(898, 633));
    EXPECT_NE(t.w.minimumSize(), t.w.maximumSize());
    const QSize console = t.w.consoleView()->size();
    const int ops = t.find("Panel2")->height();
    t.w.resize(1200, 800);
    QApplication::processEvents();
    EXPECT_EQ(t.w.consoleView()->width(), console.width() + 302);
    EXPECT_EQ(t.w.consoleView()->height(), console.height() + 167);
    EXPECT_EQ(t.find("Panel2")->height(), ops);
}

TEST(DesktopGui, FunctionKeysHistoryAndPaste) {
    Window t;
    QTest::keyClick(&t.w, Qt::Key_F5);
    ASSERT_TRUE(t.h.model->isOpen());
    auto* cmd = t.find<QLineEdit>("CMD");
    EXPECT_TRUE(cmd->hasFocus());  // typing can start at once
    QTest::keyClicks(cmd, "/2");
    QTest::keyClick(cmd, Qt::Key_Return);
    QTest::keyClick(cmd, Qt::Key_Up);
    EXPECT_EQ(cmd->text(), "/2");
    QTest::keyClick(cmd, Qt::Key_Down);
    EXPECT_EQ(cmd->text(), "");

    QGuiApplication::clipboard()->setText("R\nS\n");
    t.h.clearWire();
    QTest::keyClick(cmd, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(cmd->text(), "R");
    EXPECT_EQ(t.h.form().text("CMD"), "R");
    EXPECT_TRUE(t.h.wire().isEmpty());
    QTest::keyClick(cmd, Qt::Key_V, Qt::ControlModifier);  // still a key for the drive
    EXPECT_EQ(t.h.wire(), "\x16");

    t.h.idle(200);
    QTest::keyClick(&t.w, Qt::Key_F8);
    EXPECT_EQ(t.h.model->console().lineCount(), 0);
    QTest::keyClick(&t.w, Qt::Key_F9);
    EXPECT_TRUE(t.h.dlg().AbortRequested);
    QTest::keyClick(&t.w, Qt::Key_F5);
    EXPECT_FALSE(t.h.model->isOpen());
    EXPECT_TRUE(t.find("btnSwitch")->toolTip().endsWith("(F5)"));
}

TEST(DesktopGui, PopUpMenusOfTheConsoleAndTheCommandLine) {
    Window t;
    t.h.open();
    auto* console = t.w.consoleView();
    const QStringList consoleItems = menuTexts(console, [&] {
        QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(10, 10), console->mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(console->viewport(), &e);
    });
    for (const char* item : {"复制(&C)", "全选", "清空(&D)", "保存为文本…"})
        EXPECT_TRUE(consoleItems.contains(QString::fromUtf8(item))) << item;
    auto* cmd = t.find<QLineEdit>("CMD");
    const QStringList cmdItems = menuTexts(cmd, [&] { emit cmd->customContextMenuRequested(QPoint(5, 5)); });
    EXPECT_TRUE(cmdItems.contains(QStringLiteral("粘贴"))) << qPrintable(cmdItems.join(','));
}

TEST(DesktopGui, OpeningThePortListReadsItAgain) {
    Window t;
    auto* ports = t.find<QComboBox>("ComboBox1");
    t.h.systemPorts = {"ttyHDD0"};
    QTest::mouseClick(ports, Qt::LeftButton);
    EXPECT_EQ(ports->count(), 2);
    ports->hidePopup();
    EXPECT_EQ(ports->currentText(), QStringLiteral("sim - 模拟硬盘"));
}

TEST(DesktopGui, GroupsShareKeyWidthsAndEveryFieldHasALabel) {
    Window t;
    for (QGroupBox* g : t.find("opsPages")->findChildren<QGroupBox*>()) {
        const auto keys = g->findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly);
        for (QPushButton* k : keys)
            EXPECT_EQ(k->minimumWidth(), keys.first()->minimumWidth()) << qPrintable(g->title());
    }
    for (const char* size : {"Edit15", "Edit16"}) {
        QWidget* field = t.find(size);
        ASSERT_NE(field, nullptr);
        EXPECT_NE(field->parentWidget()->findChild<QLabel*>(), nullptr) << size;
    }
}

TEST(DesktopGui, Screenshots) {
    hdd::installChineseTranslations(*qApp);
    Window t;
    t.h.open();
    t.h.type("/2");
    t.h.idle(300);
    t.h.type("/1");
    t.h.idle(300);
    QDir().mkpath(HDDTERM_TEST_OUT);
    EXPECT_TRUE(t.w.grab().save(QStringLiteral(HDDTERM_TEST_OUT "/desktop_main_window.png")));
    // One of the tool's own dialogs: the firmware backup.
    if (hdd::FormModel* backup = t.h.model->formByName("Form6")) {
        backup->setText("Edit1", QStringLiteral("/home/hddterm/固件备份/"));
        hdd::DialogView view(*backup, &t.w);
        view.adjustSize();
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        EXPECT_TRUE(view.grab().save(QStringLiteral(HDDTERM_TEST_OUT "/desktop_backup_dialog.png")));
        view.close();
    }
    // The console's "保存为文本…" file dialog, Qt's own and in Chinese.
    QTemporaryDir folder;
    for (const char* name : {"APP.trc", "ATA.trc", "Reserve.trc", "ROM.BIN", "console_20260101_090000.txt"}) {
        QFile f(folder.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(512, '\0'));
    }
    QDir(folder.path()).mkdir(QStringLiteral("备份"));
    QFileDialog dialog(&t.w, QStringLiteral("保存为文本"), folder.path(), QStringLiteral("文本文件 (*.txt)"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters({QStringLiteral("文本文件 (*.txt)"), QStringLiteral("所有文件 (*)")});
    dialog.selectNameFilter(QStringLiteral("所有文件 (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.selectFile(QStringLiteral("console.txt"));
    dialog.resize(640, 400);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::qWait(200);
    EXPECT_TRUE(dialog.grab().save(QStringLiteral(HDDTERM_TEST_OUT "/desktop_file_dialog.png")));
    dialog.close();
}

}  // namespace
