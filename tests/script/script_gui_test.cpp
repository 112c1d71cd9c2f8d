// The script dialog as a Qt dialog, offscreen: a built-in key fills the editor from its first line,
// the stop key is the one live control during a run and ends it, and a picture is kept.
#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "dialog_view.h"
#include "harness.h"

using hddtest::Harness;

namespace {

TEST(ScriptGui, BuiltInKeysFillTheEditorAndTheStopKeyEndsARun) {
    Harness h;
    h.open();
    h.idle(100);
    h.clearWire();
    hdd::FormModel& form = *h.model->formByName("Form4");
    hdd::DialogView view(form);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    EXPECT_EQ(view.windowTitle(), QStringLiteral("命令脚本"));

    auto* editor = view.findChild<QPlainTextEdit*>("Memo1");
    auto* run = view.findChild<QPushButton*>("Button9");
    auto* stop = view.findChild<QPushButton*>("Button10");
    auto* boot = view.findChild<QPushButton*>("Button4");
    ASSERT_TRUE(editor && run && stop && boot);
    EXPECT_FALSE(stop->isEnabled());

    QTest::mouseClick(boot, Qt::LeftButton);
    EXPECT_TRUE(editor->toPlainText().startsWith("HEX/1A\n//DEC/26\nLEVEL/F\n"));
    EXPECT_EQ(editor->textCursor().position(), 0);  // the caret at the start of the script
    QDir().mkpath(HDDTERM_TEST_OUT);
    EXPECT_TRUE(view.grab().save(QStringLiteral(HDDTERM_TEST_OUT "/script_dialog.png")));

    // What the user types reaches the model.
    editor->setFocus();
    editor->selectAll();
    QTest::keyClicks(editor, "SLEEP/3000");
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClicks(editor, "STR/never");
    EXPECT_EQ(form.text("Memo1"), "SLEEP/3000\nSTR/never");

    bool pressed = false, stopLive = false, othersOff = true;
    const qint64 t0 = h.clock.nowUs();
    h.clock.addPoller([&] {
        if (pressed || h.clock.nowUs() < t0 + 1'000'000) return;
        pressed = true;
        stopLive = stop->isEnabled();
        for (const char* name : {"Memo1", "Button9", "Button51", "Button1", "Button11", "Button4"})
            othersOff = othersOff && !view.findChild<QWidget*>(name)->isEnabled();
        QTest::mouseClick(stop, Qt::LeftButton);
    });
    QTest::mouseClick(run, Qt::LeftButton);
    EXPECT_TRUE(pressed);
    EXPECT_TRUE(stopLive);
    EXPECT_TRUE(othersOff);
    EXPECT_EQ(h.wire(), "\r");
    EXPECT_FALSE(stop->isEnabled());
    EXPECT_TRUE(run->isEnabled());
    EXPECT_TRUE(editor->isEnabled());
    EXPECT_EQ(view.findChild<QWidget*>("Edit1")->property("text").toString(), "SLEEP/3000");
}

}  // namespace
