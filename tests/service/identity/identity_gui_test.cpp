// The identity dialog and the picture dialog as the Qt view shows them, offscreen; a picture of
// each is kept under the build folder.
#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "dialog_view.h"
#include "harness.h"
#include "identity_state.h"
#include "main_window.h"

using hddtest::Harness;

namespace {

QString shot(QWidget& w, const QString& name) {
    QDir().mkpath(HDDTERM_TEST_OUT);
    const QString path = QStringLiteral(HDDTERM_TEST_OUT "/%1.png").arg(name);
    EXPECT_TRUE(w.grab().save(path));
    return path;
}

TEST(IdentityGui, Form5TakesCapitalsAndDigitsAndWrites) {
    Harness h;
    h.open();
    h.press("Button84");
    hdd::FormModel& form = *h.model->formByName("Form5");
    hdd::DialogView view(form);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    EXPECT_EQ(view.windowTitle(), "HDD ID 编辑");
    auto* model = view.findChild<QLineEdit*>("Edit1");
    auto* capacity = view.findChild<QLineEdit*>("Edit2");
    ASSERT_TRUE(model && capacity);
    EXPECT_EQ(model->text(), "ST380016A");
    model->clear();
    QTest::keyClicks(model, "st3500aS");
    EXPECT_EQ(model->text(), "ST3500AS");
    capacity->clear();
    QTest::keyClicks(capacity, "5x0a0");
    EXPECT_EQ(capacity->text(), "500");
    EXPECT_TRUE(view.findChild<QCheckBox*>("CheckBox1")->isChecked());
    EXPECT_FALSE(view.findChild<QCheckBox*>("CheckBox4")->isChecked());
    shot(view, "form5");

    h.clearWire();
    QTest::mouseClick(view.findChild<QPushButton*>("Button7"), Qt::LeftButton);
    EXPECT_TRUE(h.wire().contains("F\rASCI1B5354\r"));
    EXPECT_TRUE(view.findChild<QPushButton*>("Button7")->isEnabled());
}

TEST(IdentityGui, Form7ShowsTheTechniciansPictureOrOursWithANote) {
    Harness h;
    hdd::FormModel& form = *h.model->formByName("Form7");
    h.press("Button87");  // on the window itself: usable with the port closed
    EXPECT_EQ(h.frontend.shownForms, QStringList{"Form7@-1,-1"});
    {
        hdd::DialogView view(form);
        view.adjustSize();             // as the window's front end does before it shows a dialog
        view.resize(view.sizeHint());  // the offscreen screen is small
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        auto* picture = view.findChild<QLabel*>("Image1");
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->pixmap().size(), QSize(520, 300));  // our blank sample table
        EXPECT_TRUE(view.findChild<QLabel*>("Label1")->text().contains("HEADSN.PNG"));
        shot(view, "form7_sample");
    }

    // The technician's own table, larger than the screen allows: scaled to fit.
    QImage mine(1600, 1000, QImage::Format_RGB32);
    mine.fill(Qt::white);
    QPainter p(&mine);
    p.setPen(QPen(Qt::darkBlue, 8));
    for (int x = 0; x <= 1600; x += 200) p.drawLine(x, 0, x, 1000);
    for (int y = 0; y <= 1000; y += 125) p.drawLine(0, y, 1600, y);
    p.end();
    ASSERT_TRUE(mine.save(h.programDir.filePath("headsn.png")));
    h.press("Button87");
    hdd::DialogView view(form);
    view.resize(view.sizeHint());
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    EXPECT_EQ(view.findChild<QLabel*>("Image1")->pixmap().size(), QSize(704, 440));
    EXPECT_TRUE(form.text("Image1").endsWith("headsn.png"));
    EXPECT_TRUE(view.findChild<QLabel*>("Label1")->text().contains("headsn.png"));
    shot(view, "form7_file");
}

TEST(IdentityGui, SerialNumberAndLba48KeysOnTheToolsPage) {
    Harness h(false);
    hdd::MainWindow w(*h.model);
    h.model->startUp();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QTest::mouseClick(w.findChild<QPushButton*>("btnSwitch"), Qt::LeftButton);
    auto* pages = w.findChild<QTabWidget*>("opsPages");
    ASSERT_NE(pages, nullptr);
    for (int i = 0; i < pages->count(); ++i) {
        if (pages->tabText(i) == QStringLiteral("工具")) pages->setCurrentIndex(i);
    }
    QApplication::processEvents();
    auto* sn = w.findChild<QLineEdit*>("Edit17");
    ASSERT_NE(sn, nullptr);
    for (const char* name : {"Edit17", "CheckBox3", "Button55", "Button85", "Button84"})
        EXPECT_TRUE(w.findChild<QWidget*>(name)->isVisible()) << name;
    QTest::keyClicks(sn, "5jv.8xk2l");
    EXPECT_EQ(sn->text(), "5JV8XK2L");
    h.clearWire();
    QTest::mouseClick(w.findChild<QPushButton*>("Button55"), Qt::LeftButton);
    EXPECT_TRUE(h.wire().endsWith("#\r5JV8XK2L\r5JV8XK2L\r/\r"));
    QTest::mouseClick(w.findChild<QPushButton*>("Button85"), Qt::LeftButton);
    EXPECT_EQ(hddsim::identity(*h.drive).words[0x53], 0x4401);
    shot(w, "main_window_identity");
    w.close();
}

}  // namespace
