// The interface's language and the settings that stick: English on every widget of the window and
// its seven dialogs, the model's own texts with the default, composed texts translated by their
// pattern, settings written as they change and read back by a new window, the work folder.
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QSettings>
#include <QTabWidget>

#include "cli_run.h"
#include "dialog_view.h"
#include "harness.h"
#include "language.h"
#include "main_window.h"
#include "settings_keeper.h"

using hddtest::Harness;

namespace {

const QRegularExpression kIdeograph(
    QStringLiteral("[\\x{3400}-\\x{4dbf}\\x{4e00}-\\x{9fff}\\x{f900}-\\x{faff}]"));

// Every caption, label, list item, tab, window title and tool tip of a window and what it holds.
QStringList shownTexts(QWidget* root) {
    QStringList out{root->windowTitle()};
    QList<QWidget*> all = root->findChildren<QWidget*>();
    all << root;
    for (QWidget* w : all) {
        const QString at = w->objectName() + ": ";
        out << at + w->toolTip();
        if (auto* b = qobject_cast<QAbstractButton*>(w)) out << at + b->text();
        if (auto* l = qobject_cast<QLabel*>(w)) out << at + l->text();
        if (auto* g = qobject_cast<QGroupBox*>(w)) out << at + g->title();
        if (auto* m = qobject_cast<QMenu*>(w)) out << at + m->title();
        if (auto* c = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < c->count(); ++i) out << at + c->itemText(i);
        if (auto* t = qobject_cast<QTabWidget*>(w))
            for (int i = 0; i < t->count(); ++i) out << at + t->tabText(i);
    }
    return out;
}

struct Views {
    explicit Views(Harness& h) : w(*h.model) {
        h.model->startUp();
        for (int i = 1; i <= 7; ++i)
            dialogs.push_back(
                std::make_unique<hdd::DialogView>(*h.model->formByName(QStringLiteral("Form%1").arg(i)), &w));
    }
    hdd::MainWindow w;
    std::vector<std::unique_ptr<hdd::DialogView>> dialogs;
};

TEST(Language, EnglishLeavesNoChineseOnAnyWidgetAndChineseShowsTheModelsTexts) {
    ASSERT_TRUE(hdd::englishCatalogueBuilt());
    Harness h(false);
    Views v(h);
    v.w.switchLanguage(hdd::Language::English);
    QStringList chinese;
    QList<QWidget*> roots{&v.w};
    for (const auto& d : v.dialogs) roots << d.get();
    for (QWidget* root : roots)
        for (const QString& t : shownTexts(root))
            if (t.contains(kIdeograph)) chinese << t;
    EXPECT_TRUE(chinese.isEmpty()) << qPrintable(chinese.join('\n'));
    EXPECT_EQ(v.w.findChild<QMenu*>("languageMenu")->title(), "Language");
    QDir().mkpath(HDDTERM_TEST_OUT);
    EXPECT_TRUE(v.w.grab().save(QStringLiteral(HDDTERM_TEST_OUT "/main_window_en.png")));

    v.w.switchLanguage(hdd::Language::Chinese);
    for (hdd::FormModel* f : {&h.form(), h.model->formByName("Form2"), h.model->formByName("Form6")}) {
        hdd::FormBinder& b =
            f == &h.form() ? v.w.binder() : v.dialogs[f->formName().back().digitValue() - 1]->binder();
        for (const auto& c : f->controls()) {
            QWidget* w = b.widget(c->name);
            if (!w) continue;
            const QString name = c->name;
            if (!c->hint.isEmpty()) {
                EXPECT_EQ(w->toolTip(), c->hint) << qPrintable(name);
            }
            if (auto* k = qobject_cast<QAbstractButton*>(w)) {
                EXPECT_EQ(k->text(), c->caption) << qPrintable(name);
            }
            if (auto* l = qobject_cast<QComboBox*>(w); l && c->itemLabels.isEmpty()) {
                for (int i = 0; i < l->count(); ++i)
                    EXPECT_EQ(l->itemText(i), c->items.value(i)) << qPrintable(name);
            }
        }
    }
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(v.dialogs[i]->windowTitle(),
                  h.model->formByName(QStringLiteral("Form%1").arg(i + 1))->title);
}

TEST(Language, ComposedTextsAreTranslatedByTheirPattern) {
    hdd::setLanguage(hdd::Language::English);
    const struct {
        const char* shown;
        const char* english;
    } cases[] = {{"源文件2不存在！", "Source file 2 does not exist!"},
                 {"sim - 模拟硬盘", "sim - Simulated drive"},
                 {"hddterm - 模拟硬盘 (sim)", "hddterm - Simulated drive (sim)"},
                 {"备份APP失败！\n完成！", "Backing up APP failed!\nDone!"},
                 {"保存文件失败！\n/tmp/a.txt", "Saving the file failed!\n/tmp/a.txt"},
                 {"/路径/无关", "/路径/无关"}};
    for (const auto& c : cases)
        EXPECT_EQ(hdd::displayText(QString::fromUtf8(c.shown)), QString::fromUtf8(c.english));
    // hddterm-cli: the message boxes in the language asked for, the console as it is.
    const CliRun en = runCliInProcess({"--lang", "en", "run", "Button56", "Form1.Button3"});
    hdd::setLanguage(hdd::Language::Chinese);
    const CliRun zh = runCliInProcess({"run", "Button56", "Form1.Button3"});
    const QString line = en.err.split('\n').filter("warning: ").value(0);
    EXPECT_FALSE(line.isEmpty()) << qPrintable(en.err);
    EXPECT_FALSE(line.contains(kIdeograph)) << qPrintable(line);
    EXPECT_TRUE(zh.err.split('\n').filter("warning: ").value(0).contains(kIdeograph));
    EXPECT_EQ(runCliInProcess({"--lang", "fr", "ports"}).status, 2);
}

TEST(Settings, WrittenAsTheyChangeAndReadBackByANewWindow) {
    QTemporaryDir dir;
    const QString path = dir.filePath("hddterm.ini");
    const QString picked = dir.filePath("backups");
    QDir().mkpath(picked);
    Harness a(false);
    Views v(a);
    hdd::GuiFrontend gui;
    hdd::SettingsKeeper keeper(path, {}, *a.model, gui, &v.w);
    hdd::FormModel* backup = a.model->formByName("Form6");
    hdd::FormModel* boot = a.model->formByName("Form2");
    const QString family = boot->at("ComboBox7").items.value(2);
    ASSERT_FALSE(family.isEmpty());

    a.form().userSelectText("ComboBox2", "115200");
    a.frontend.files = {picked};
    backup->userClick("Button51");
    boot->userSelectText("ComboBox7", family);
    // The drive's folder named under the picked one is not what is remembered.
    backup->setText("Edit1", picked + "/FAMILY_REV_1/");
    QCoreApplication::processEvents();
    hdd::RememberedSettings read = hdd::loadSettings(path);
    EXPECT_EQ(read.baud, "115200");
    EXPECT_EQ(read.backupFolder, picked + "/");
    EXPECT_EQ(read.firmwareType, family);
    keeper.rememberLanguage("en");
    read = hdd::loadSettings(path);
    Harness b(false);
    b.model->startUp();
    hdd::applyAfterStartUp(*b.model, read);
    EXPECT_EQ(b.form().text("ComboBox2"), "115200");
    EXPECT_EQ(b.model->formByName("Form6")->text("Edit1"), picked + "/");
    EXPECT_EQ(b.model->backupFolder, picked + "/");
    EXPECT_EQ(b.model->formByName("Form2")->text("ComboBox7"), family);
    EXPECT_EQ(b.model->formByName("Form6")->text("ComboBox7"), family);
    EXPECT_EQ(hdd::chooseLanguage("", "", read.language), hdd::Language::English);
    EXPECT_EQ(hdd::chooseLanguage("zh", "en", read.language), hdd::Language::Chinese);
    EXPECT_EQ(hdd::chooseLanguage("", "en_US.UTF-8", "zh"), hdd::Language::English);
}

TEST(Settings, TheBannerTakesTheFilesContactsAndLeavesOutEmptyOnes) {
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    QSettings ini(hdd::defaultSettingsPath(), QSettings::IniFormat);
    ini.setValue("banner/phone", "+1 555 0100");
    ini.sync();
    const CliRun r = runCliInProcess({"run", "WAIT:10"});
    EXPECT_TRUE(r.err.contains(QStringLiteral("工程师电话：+1 555 0100\n"))) << qPrintable(r.err);
    EXPECT_FALSE(r.err.contains(QStringLiteral("在线客服")));
    EXPECT_FALSE(r.err.contains(QStringLiteral("网址")));
    qunsetenv("XDG_CONFIG_HOME");
}

TEST(Settings, TheWorkFolderIsTheProgramFolderOnlyWhereItCanBeWritten) {
    EXPECT_EQ(hdd::workFolderFor("/opt/hddterm/", true, "/home/t/Documents"), "/opt/hddterm/");
    EXPECT_EQ(hdd::workFolderFor("/usr/bin/", false, "/home/t/Documents"), "/home/t/Documents/hddterm/");
    EXPECT_EQ(hdd::workFolderFor("/usr/bin", false, ""), "/usr/bin/");
}

}  // namespace
