// The serial ROM dialog as the Qt view shows it, offscreen: its controls by name, a file picked with
// its "..." key, a buffer read run from its key with the dialog's progress bar following. A picture
// is kept under the build folder.
#include <gtest/gtest.h>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "dialog_view.h"
#include "harness.h"
#include "main_window.h"
#include "serial_rom.h"

using hddtest::Harness;

namespace {

TEST(RomGui, TheDialogShowsItsControlsAndRunsABufferRead) {
    Harness h(false);
    hdd::MainWindow w(*h.model);
    h.model->startUp();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    h.open();

    hdd::FormModel& form = *h.model->formByName("Form3");
    hdd::DialogView view(form, &w);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    EXPECT_EQ(view.windowTitle(), "串行ROM读写");

    auto* speed = view.findChild<QComboBox*>("ComboBox2");
    ASSERT_NE(speed, nullptr);
    EXPECT_EQ(speed->currentText(), "921600");
    auto* entry = view.findChild<QComboBox*>("ComboBox3");
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->isEditable());
    EXPECT_EQ(entry->currentText(), "400");
    for (const char* name : {"Edit1", "Edit2"}) {
        auto* field = view.findChild<QLineEdit*>(name);
        ASSERT_NE(field, nullptr) << name;
        EXPECT_TRUE(field->isReadOnly()) << name;
    }
    QStringList captions;
    for (const char* name : {"Button51", "Button1", "Button2", "Button6", "Button3", "Button4"}) {
        auto* key = view.findChild<QPushButton*>(name);
        ASSERT_NE(key, nullptr) << name;
        captions << key->text();
    }
    EXPECT_EQ(captions,
              QStringList({"...", "...", "缓冲区读取", "缓冲区写入", "指令方式读取", "指令方式写入"}));

    QTemporaryDir dir;
    const QString file = dir.filePath("ROM.BIN");
    h.frontend.files << file;
    QTest::mouseClick(view.findChild<QPushButton*>("Button51"), Qt::LeftButton);
    EXPECT_EQ(view.findChild<QLineEdit*>("Edit1")->text(), file);

    QTest::mouseClick(view.findChild<QPushButton*>("Button2"), Qt::LeftButton);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), hddsim::romImage(1));
    auto* progress = view.findChild<QProgressBar*>("ProgressBar1");
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->value(), progress->maximum());
    EXPECT_TRUE(view.findChild<QPushButton*>("Button2")->isEnabled());

    QDir().mkpath(HDDTERM_TEST_OUT);
    EXPECT_TRUE(view.grab().save(QStringLiteral(HDDTERM_TEST_OUT "/form3_serial_rom.png")));
}

}  // namespace
