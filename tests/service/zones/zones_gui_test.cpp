// The right-hand panel as the Qt view lays it out, offscreen: the defect lists and the zone tools
// fit in it, the zone fields keep to their keys, and a cut runs from a click. A picture is kept
// under the build folder.
#include <gtest/gtest.h>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "harness.h"
#include "main_window.h"
#include "zone_state.h"

using hddtest::Harness;

namespace {

TEST(ZonesGui, ThePanelHoldsTheZoneToolsAndTheyWork) {
    Harness h(false);
    hdd::MainWindow w(*h.model);
    h.model->startUp();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QTest::mouseClick(w.findChild<QPushButton*>("btnSwitch"), Qt::LeftButton);
    QWidget* panel = w.findChild<QWidget*>("Panel6");
    ASSERT_NE(panel, nullptr);
    for (const char* name : {"Edit25", "Edit24", "Button23", "Button94", "Button95", "Button81", "Edit26",
                             "Button70", "Button64", "Button65", "Button66", "Button69"}) {
        auto* c = panel->findChild<QWidget*>(name);
        ASSERT_NE(c, nullptr) << name;
        EXPECT_TRUE(c->isVisible()) << name;
        const QRect r(c->mapTo(panel, QPoint(0, 0)), c->size());
        EXPECT_TRUE(panel->rect().contains(r)) << name;  // nothing cut off at the panel's edge
        EXPECT_GE(c->height(), 18) << name;
    }
    EXPECT_EQ(panel->findChild<QWidget*>("Edit25")->toolTip(), "\"FF\"为所有头");
    EXPECT_EQ(panel->findChild<QWidget*>("Button23")->toolTip(), "砍指定段");

    struct Typed {
        const char* field;
        const char* keys;
        const char* text;
    };
    for (const Typed& t :
         {Typed{"Edit25", "1fa", "1F"}, Typed{"Edit24", "0ag", "0A"}, Typed{"Edit24", "03", "03"},
          Typed{"Edit25", "0", "0"}, Typed{"Edit26", "12ab345678901", "1234567890"}}) {
        auto* e = panel->findChild<QLineEdit*>(t.field);
        e->clear();
        QTest::keyClicks(e, t.keys);
        EXPECT_EQ(e->text(), t.text) << t.field;
        EXPECT_EQ(h.form().text(t.field), t.text) << t.field;
    }
    h.form().userKey("CMD", QChar(0x12));  // load CERT
    h.idle(300);
    QTest::mouseClick(panel->findChild<QPushButton*>("Button23"), Qt::LeftButton);
    EXPECT_EQ(hddsim::zones(*h.drive).heads[0][3].spt, 0);
    EXPECT_TRUE(panel->isEnabled());

    QDir().mkpath(HDDTERM_TEST_OUT);
    EXPECT_TRUE(w.grab().save(QStringLiteral(HDDTERM_TEST_OUT "/main_window_zones.png")));
    EXPECT_TRUE(panel->grab().save(QStringLiteral(HDDTERM_TEST_OUT "/panel6.png")));
    w.close();
}

}  // namespace
