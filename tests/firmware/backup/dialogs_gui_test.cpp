// The sector file builder and backup dialogs as Qt dialogs, offscreen: every control is there with
// its state, a click and typed keys reach the model, and a picture of each is kept.
#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "dialog_view.h"
#include "harness.h"

using hddtest::Harness;

namespace {

void keepPicture(QWidget& w, const QString& name) {
    QDir().mkpath(HDDTERM_TEST_OUT);
    EXPECT_TRUE(w.grab().save(QStringLiteral(HDDTERM_TEST_OUT "/%1.png").arg(name)));
}

TEST(DialogsGui, SectorFileBuilder) {
    Harness h;
    hdd::FormModel& form = *h.model->formByName("Form1");
    hdd::DialogView v(form);
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v));
    EXPECT_EQ(v.windowTitle(), "创建文件");
    for (const char* n : {"Edit1", "Edit2"}) EXPECT_TRUE(v.findChild<QLineEdit*>(n)->isReadOnly()) << n;
    EXPECT_FALSE(v.findChild<QLineEdit*>("Edit6")->isReadOnly());
    for (const char* n : {"Button51", "Button1", "Button2"})
        EXPECT_EQ(v.findChild<QPushButton*>(n)->text(), "...");
    EXPECT_EQ(v.findChild<QPushButton*>("Button3")->text(), "生成文件");
    auto* start = v.findChild<QLineEdit*>("Edit5");
    QTest::keyClicks(start, "1g2F");
    EXPECT_EQ(form.text("Edit5"), "12F");
    keepPicture(v, "form1_sector_file");
}

TEST(DialogsGui, FirmwareBackup) {
    Harness h;
    hdd::FormModel& form = *h.model->formByName("Form6");
    hdd::DialogView v(form);
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v));
    EXPECT_EQ(v.windowTitle(), "备份固件");
    EXPECT_EQ(v.findChild<QLineEdit*>("Edit1")->text(), h.model->programFolder());
    EXPECT_EQ(v.findChild<QComboBox*>("ComboBox7")->count(), 23);
    EXPECT_EQ(v.findChild<QComboBox*>("ComboBox2")->currentText(), form.text("ComboBox2"));
    EXPECT_EQ(v.findChild<QPushButton*>("Button2")->toolTip(), "分析固件版本");
    for (int i = 1; i <= 5; ++i)
        EXPECT_TRUE(v.findChild<QCheckBox*>(QStringLiteral("CheckBox%1").arg(i))->isChecked());
    for (const char* n : {"Edit2", "Edit3", "Edit4"})
        EXPECT_FALSE(v.findChild<QWidget*>(n)->isVisible()) << n;
    auto* app = v.findChild<QCheckBox*>("CheckBox1");
    QTest::mouseClick(app, Qt::LeftButton, {}, QPoint(5, app->height() / 2));
    EXPECT_FALSE(form.checked("CheckBox1"));
    keepPicture(v, "form6_backup");
}

}  // namespace
