// The F-level boot dialog as a Qt dialog, offscreen: its controls by name, the buffer's key filter
// and pairing through real key presses, a module box enabling its field. A picture is kept.
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

TEST(Form2Gui, ShowsEveryControlAndFollowsTheRules) {
    Harness h;
    h.open();
    hdd::FormModel& form = *h.model->formByName("Form2");
    hdd::DialogView view(form);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    EXPECT_EQ(view.windowTitle(), "F级引导");
    EXPECT_FALSE(view.findChild<QLineEdit*>("Edit3")->isVisible());

    auto* app = view.findChild<QCheckBox*>("CheckBox1");
    auto* file = view.findChild<QLineEdit*>("Edit1");
    EXPECT_FALSE(file->isEnabled());
    QTest::mouseClick(app, Qt::LeftButton, {}, QPoint(5, app->height() / 2));
    EXPECT_TRUE(app->isChecked());
    EXPECT_TRUE(file->isEnabled());

    // Only hexadecimal keys reach the buffer; "80" pairs the block size.
    auto* buffer = view.findChild<QComboBox*>("ComboBox1");
    buffer->lineEdit()->selectAll();
    QTest::keyClicks(buffer->lineEdit(), "8z0");
    EXPECT_EQ(buffer->currentText(), "80");
    EXPECT_EQ(form.text("ComboBox1"), "80");
    EXPECT_EQ(view.findChild<QComboBox*>("ComboBox3")->currentText(), "1024");

    QDir().mkpath(HDDTERM_TEST_OUT);
    EXPECT_TRUE(view.grab().save(QStringLiteral(HDDTERM_TEST_OUT "/form2.png")));
}

}  // namespace
