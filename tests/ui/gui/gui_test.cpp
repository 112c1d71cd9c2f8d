// The Qt view on the window model, offscreen: the window starts, opens "sim", and a typed
// command's answer appears in the console. A screenshot is kept under the build folder.
#include <gtest/gtest.h>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "dialog_form.h"
#include "dialog_view.h"
#include "harness.h"
#include "main_window.h"

using hddtest::Harness;

namespace {

TEST(Gui, StartsOpensSimAndShowsTheAnswerToATypedCommand) {
    Harness h(false);
    hdd::MainWindow w(*h.model);
    h.model->startUp();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_EQ(w.size(), QSize(898, 633));
    EXPECT_TRUE(w.windowTitle().startsWith("hddterm"));

    auto* ports = w.findChild<QComboBox*>("ComboBox1");
    ASSERT_NE(ports, nullptr);
    EXPECT_EQ(ports->currentText(), "sim - 模拟硬盘");  // each port with what is behind it
    auto* sw = w.findChild<QPushButton*>("btnSwitch");
    ASSERT_NE(sw, nullptr);
    QTest::mouseClick(sw, Qt::LeftButton);
    EXPECT_EQ(sw->text(), "关闭串口");
    EXPECT_TRUE(w.findChild<QWidget*>("Panel2")->isEnabled());

    auto* cmd = w.findChild<QLineEdit*>("CMD");
    ASSERT_NE(cmd, nullptr);
    cmd->setFocus();
    QTest::keyClicks(cmd, "/2");
    QTest::keyClick(cmd, Qt::Key_Return);
    EXPECT_EQ(h.wire(), "/2\r");
    EXPECT_TRUE(cmd->text().isEmpty());
    h.idle(300);
    const QString shown = w.consoleView()->toPlainText();
    EXPECT_TRUE(shown.endsWith("2>")) << qPrintable(shown);
    EXPECT_TRUE(shown.startsWith("hddterm\n"));

    // Ctrl-Z in the command line goes to the drive at once.
    h.clearWire();
    QTest::keyClick(cmd, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(h.wire(), "\x1a");

    // The send-byte field drops keys its mode does not take.
    auto* hex = w.findChild<QWidget*>("RadioButton2");
    QTest::mouseClick(hex, Qt::LeftButton, {}, QPoint(5, hex->height() / 2));
    auto* sendByte = w.findChild<QLineEdit*>("Edit21");
    QTest::keyClicks(sendByte, "1gz");
    EXPECT_EQ(sendByte->text(), "1");

    QDir().mkpath(HDDTERM_TEST_OUT);
    EXPECT_TRUE(w.grab().save(QStringLiteral(HDDTERM_TEST_OUT "/main_window.png")));
    // One picture per page of operation keys.
    auto* pages = w.findChild<QTabWidget*>("opsPages");
    ASSERT_NE(pages, nullptr);
    EXPECT_GE(pages->count(), 3);
    for (int i = 1; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        QApplication::processEvents();  // let the page lay itself out before the picture
        EXPECT_TRUE(w.grab().save(QStringLiteral(HDDTERM_TEST_OUT "/main_window_page%1.png").arg(i + 1)));
    }

    w.close();
    EXPECT_FALSE(h.model->port().isOpen());
}

}  // namespace

namespace {

// The generic dialog view: every control by its name, a picker on its field's row, and the whole
// dialog disabled while its operation runs.
TEST(Gui, DialogViewShowsAFormAndFollowsItsState) {
    Harness h;
    hdd::DialogForm form(*h.model, "FormT", QStringLiteral("测试"));
    form.addEdit("Edit1", QStringLiteral("读取:")).readOnly = true;
    form.addKey("Button51", "...", [] {});
    form.add("ComboBox3", hdd::ControlKind::Combo).editable = true;
    form.setItems("ComboBox3", {"400", "800"}, 0);
    form.add("CheckBox1", hdd::ControlKind::Check).caption = "APP";
    form.add("Memo1", hdd::ControlKind::Memo);
    bool ran = false;
    form.addKey("Button2", QStringLiteral("缓冲区读取"), [&] { ran = true; });
    hdd::DialogView view(form);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    EXPECT_EQ(view.windowTitle(), QStringLiteral("测试"));
    auto* combo = view.findChild<QComboBox*>("ComboBox3");
    ASSERT_NE(combo, nullptr);
    EXPECT_TRUE(combo->isEditable());
    combo->setEditText("A00");
    EXPECT_EQ(form.text("ComboBox3"), "A00");
    form.setText("Memo1", "line1\nline2");
    EXPECT_EQ(view.findChild<QPlainTextEdit*>("Memo1")->toPlainText(), "line1\nline2");
    QTest::mouseClick(view.findChild<QPushButton*>("Button2"), Qt::LeftButton);
    EXPECT_TRUE(ran);
    auto* abort = view.findChild<QPushButton*>("AbortKey");
    ASSERT_NE(abort, nullptr);
    EXPECT_FALSE(abort->isEnabled());
    form.setFormEnabled(false);
    EXPECT_FALSE(view.findChild<QPushButton*>("Button2")->isEnabled());
    // While the dialog works its own abort key stays live and reaches the dialogue.
    EXPECT_TRUE(abort->isEnabled());
    h.dlg().AbortRequested = false;
    QTest::mouseClick(abort, Qt::LeftButton);
    EXPECT_TRUE(h.dlg().AbortRequested);
    form.setFormEnabled(true);
    EXPECT_TRUE(view.findChild<QPushButton*>("Button2")->isEnabled());
    QDir().mkpath(HDDTERM_TEST_OUT);
    EXPECT_TRUE(view.grab().save(QStringLiteral(HDDTERM_TEST_OUT "/dialog_view.png")));
}

}  // namespace

namespace {

// While the dialog's operation runs, Esc is its abort key and the dialog stays open.
TEST(Gui, EscMidTransferAbortsAndKeepsTheDialog) {
    Harness h;
    h.open();
    hdd::DialogForm form(*h.model, "FormT", QStringLiteral("测试"));
    std::unique_ptr<hdd::DialogView> shown;
    bool abortSeen = false, shownThroughout = true, panelsOff = true;
    form.addKey("Button2", QStringLiteral("缓冲区读取"), [&] {
        hdd::DialogView& view = *shown;
        QTest::keyClick(&view, Qt::Key_Escape);
        for (int i = 0; i < 50 && !abortSeen; ++i) {
            h.dlg().PumpWait(1);
            abortSeen = h.dlg().AbortRequested;
            shownThroughout = shownThroughout && view.isVisible();
            panelsOff = panelsOff && !h.form().isEffectivelyEnabled("CMD");
        }
        return hdd::Outcome::aborted();
    });
    shown = std::make_unique<hdd::DialogView>(form);
    hdd::DialogView& view = *shown;
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QTest::mouseClick(view.findChild<QPushButton*>("Button2"), Qt::LeftButton);
    EXPECT_TRUE(abortSeen);
    EXPECT_TRUE(shownThroughout);
    EXPECT_TRUE(panelsOff);
    EXPECT_TRUE(view.isVisible());
    QTest::keyClick(&view, Qt::Key_Escape);  // idle again: Esc closes it
    EXPECT_FALSE(view.isVisible());
}

}  // namespace
