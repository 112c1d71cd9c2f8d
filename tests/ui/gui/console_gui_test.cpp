// The console as a terminal: the hexadecimal rows of the traffic, the search bar, a paste of several
// lines, the progress figures and the status line's note of a saved file.
#include <gtest/gtest.h>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include "harness.h"
#include "hex_traffic.h"
#include "keys.h"
#include "main_window.h"
#include "progress.h"
#include "search_bar.h"
#include "serial_rom.h"

using hddtest::Harness;
using Dir = hdd::HexTraffic::Direction;

namespace {

TEST(HexRows, SixteenToARowANewRowAtEachTurnOffsetsPerDirection) {
    hdd::HexTraffic t;
    t.add(Dir::Sent, "/1\r");
    t.add(Dir::Received, QByteArray("\r\nAT\0\xff", 6) + QByteArray(14, 'x'));
    t.add(Dir::Sent, "?");
    const QStringList want = {
        "00000000 >  2F 31 0D                                          |/1.|",
        "00000000 <  0D 0A 41 54 00 FF 78 78  78 78 78 78 78 78 78 78  |..AT..xxxxxxxxxx|",
        "00000010 <  78 78 78 78                                       |xxxx|",
        "00000003 >  3F                                                |?|"};
    ASSERT_EQ(t.rows().size(), want.size());
    for (int i = 0; i < want.size(); ++i) EXPECT_EQ(hdd::HexTraffic::formatRow(t.rows()[i]), want[i]);
}

TEST(KeyTips, EveryKeySaysWhatItSendsOrDoes) {
    const struct {
        QByteArray bytes;
        QString text;
    } rows[] = {{"\x14", "Ctrl-T (0x14)"},
                {"\x1b", "Esc (0x1B)"},
                {"?\r", "\"?\" CR"},
                {"\x01\r", "Ctrl-A (0x01) CR"}};
    for (const auto& r : rows) EXPECT_EQ(hdd::describeBytes(r.bytes), r.text);
    Harness h;
    EXPECT_EQ(h.form().at("Button7").hint, "发送 Ctrl-T (0x14)");
    for (const auto& c : h.form().controls()) {
        const bool key = c->kind == hdd::ControlKind::Button && c->visible;
        EXPECT_TRUE(!key || !c->hint.isEmpty()) << qPrintable(c->name);
    }
}

TEST(ProgressFigures, PayloadRateAndTimeLeftOnTheVirtualClock) {
    const struct {
        qint64 value, payload;
        QString text;
    } rows[] = {{64, 65536, "50%  32768 / 65536 字节  16.0 KiB/s  剩余 0:02"},
                {32, 0, "25%  剩余 0:06"},
                {128, 512, "100%  512 / 512 字节  0.3 KiB/s  剩余 0:00"}};
    for (const auto& r : rows) {
        hdd::ProgressMeter m;
        m.update(1'000'000, 0, 128, r.payload);
        EXPECT_EQ(hdd::progressBarText(m.update(3'000'000, r.value, 128, r.payload)), r.text);
    }
}

TEST(Console, SearchFindsWrapsBothWaysAndEscCloses) {
    Harness h;
    hdd::MainWindow w(*h.model);
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    for (const char* l : {"abc T>", "xx", "ABC", "zz abc"}) h.model->console().addLine(l);
    QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
    auto* bar = w.findChild<hdd::SearchBar*>("searchBar");
    ASSERT_TRUE(bar && bar->isVisible());
    bar->field()->setText("abc");
    EXPECT_EQ(bar->matches().size(), 3);
    EXPECT_EQ(w.consoleView()->extraSelections().size(), 3);  // all of them highlighted
    QList<int> walk{bar->current()};
    for (auto mod : {Qt::NoModifier, Qt::NoModifier, Qt::NoModifier, Qt::ShiftModifier}) {
        QTest::keyClick(bar->field(), Qt::Key_Return, mod);
        walk << bar->current();
    }
    EXPECT_EQ(walk, QList<int>({0, 1, 2, 0, 2}));
    EXPECT_EQ(w.consoleView()->textCursor().selectedText(), "abc");
    QTest::keyClick(bar->field(), Qt::Key_Escape);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(w.consoleView()->extraSelections().isEmpty());
}

TEST(Console, TheHexViewShowsBothDirections) {
    Harness h;
    hdd::MainWindow w(*h.model);
    w.show();
    h.open();
    h.press("CheckBoxHex");
    h.model->hexTraffic().clear();
    h.type("/1");
    h.idle(200);
    const QString shown = w.findChild<QPlainTextEdit*>("hexView")->toPlainText();
    EXPECT_TRUE(shown.startsWith("00000000 >  2F 31 0D ")) << qPrintable(shown);
    EXPECT_TRUE(shown.contains("\n00000000 <  ")) << qPrintable(shown);
    w.findChild<hdd::SearchBar*>("searchBar")->open();
    w.findChild<hdd::SearchBar*>("searchBar")->field()->setText("0D");
    QDir().mkpath(HDDTERM_TEST_OUT);
    EXPECT_TRUE(w.grab().save(QStringLiteral(HDDTERM_TEST_OUT "/console_hex_search.png")));
}

TEST(Paste, SeveralLinesOnePerPromptIntoTheScriptOrCancelledToTheFirstLine) {
    const struct {
        int choice;
        QByteArray wire;
        QString script;
    } rows[] = {{0, "/2\rECHO/x\r/1\r", ""}, {1, "", "STR//2\nECHO/x\nSTR//1"}, {-1, "", ""}};
    for (const auto& r : rows) {
        Harness h;
        h.open();
        h.idle(100);
        h.clearWire();
        h.frontend.choices = {r.choice};
        EXPECT_EQ(h.model->pasteSeveralLines("/2\r\n\n ECHO/x \n/1"), r.choice >= 0);  // else pasted as one
        EXPECT_EQ(h.wire(), r.wire);
        EXPECT_EQ(h.model->formByName("Form4")->text("Memo1"), r.script);
        EXPECT_EQ(h.frontend.shownForms.size(), r.choice == 1 ? 1 : 0);
        EXPECT_EQ(h.model->history().size(), r.choice == 0 ? 3 : 0);
    }
    Harness h;
    EXPECT_FALSE(h.model->pasteSeveralLines("\n /1 \n"));  // one line pastes as before
}

TEST(StatusLine, NamesTheFileAReadSavedAndTheBarEmptiesAtTheEnd) {
    Harness h;
    h.open();
    QTemporaryDir dir;
    const QString file = dir.filePath("ROM.BIN");
    hdd::FormModel& form3 = *h.model->formByName("Form3");
    h.frontend.files << file;
    form3.userClick("Button51");
    QString during;
    h.clock.addPoller([&] {
        if (h.form().at("ProgressBar1").value > 64) during = h.form().at("ProgressBar1").text;
    });
    form3.userClick("Button2");
    EXPECT_TRUE(h.model->lastOutcome().isDone());
    EXPECT_TRUE(QRegularExpression("^\\d+%  \\d+ / 65536 字节  [\\d.]+ KiB/s  剩余 \\d+:\\d\\d$")
                    .match(during)
                    .hasMatch())
        << qPrintable(during);
    EXPECT_EQ(h.form().at("ProgressBar1").text, "");
    EXPECT_EQ(h.form().text("edFile"), QStringLiteral("已保存 %1（65536 字节）").arg(file));
}

}  // namespace
