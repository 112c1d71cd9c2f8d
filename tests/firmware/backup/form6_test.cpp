// The backup dialog: its controls, the folder picker, the analysis key and the start key, in the
// window model and through hddterm-cli.
#include <gtest/gtest.h>

#include "backup_support.h"
#include "cli_run.h"
#include "cli_runner.h"
#include "dialog_form.h"
#include "drive.h"

using namespace hddtest;

namespace {

struct Form6 : ::testing::Test {
    Harness h;
    QTemporaryDir dir;
    hdd::DialogForm& f = *dynamic_cast<hdd::DialogForm*>(h.model->formByName("Form6"));
    const QByteArray isT = "\x1a/\r/\r";
};

TEST_F(Form6, StartsWithTheProgramFolderTheFamiliesTheFastestSpeedAndEveryModule) {
    EXPECT_EQ(f.text("Edit1"), h.model->programFolder());
    EXPECT_EQ(f.at("ComboBox7").items, h.form().at("ComboBox3").items);
    EXPECT_EQ(f.at("ComboBox7").currentIndex, 0);
    EXPECT_EQ(f.at("ComboBox2").items, h.form().at("ComboBox7").items);
    EXPECT_EQ(f.text("ComboBox2"), h.form().at("ComboBox7").items.last());
    for (const char* n : {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4", "CheckBox5"})
        EXPECT_TRUE(f.checked(n));
    for (const char* n : {"Edit2", "Edit3", "Edit4"}) EXPECT_FALSE(f.at(n).visible) << n;
}

TEST_F(Form6, TheFolderPickerThenTheAnalysisNamesTheFolderAfterTheDrive) {
    h.open();
    const QString before = f.text("Edit1");
    f.userClick("Button51");  // cancelled
    EXPECT_EQ(f.text("Edit1"), before);
    ASSERT_EQ(h.frontend.requests.size(), 1);
    EXPECT_EQ(h.frontend.requests[0].title, "选择目标文件夹");

    h.frontend.files << " " + dir.path() + " ";
    f.userClick("Button51");
    const QString base = dir.path() + "/";
    EXPECT_EQ(f.text("Edit1"), base);
    EXPECT_EQ(h.model->firmwareFolder, base);

    h.clearWire();
    f.userClick("Button2");
    EXPECT_EQ(h.wire(), isT + "\x01\x0c\r" + "\r");
    EXPECT_EQ(f.text("Edit1"), base + "TONKA_T-1C_3.ALB");
    EXPECT_EQ(f.text("ComboBox7"), "TONKA");
    EXPECT_EQ(h.lastLine(), "正在份析，请稍候........完成！");
    EXPECT_EQ(h.dlg().ReceiveMode, hdd::kUserCmd);

    // A second analysis names the folder under the chosen folder again, not under the last name.
    f.userClick("Button2");
    EXPECT_EQ(f.text("Edit1"), base + "TONKA_T-1C_3.ALB");
}

TEST_F(Form6, AnalysisOfAnUnknownDriveAWrongLevelAndANameThatIsNoPath) {
    h.open();
    const QString base = h.model->programFolder();
    f.setCurrentIndex("ComboBox7", 3);
    h.drive->settings["fw.family"] = 5;  // in no table
    f.userClick("Button2");
    EXPECT_EQ(f.text("Edit1"), base + "ZEPHYR_Z-1_1.000");
    EXPECT_EQ(f.at("ComboBox7").currentIndex, 3);
    EXPECT_EQ(h.lastLine(), "正在份析，请稍候........完成！");

    // A drive naming itself with separators still names one folder under the base.
    h.drive->addByteHandler([](hddsim::Drive& d, char c) {
        if (c != 0x01) return false;
        d.print("\r\n");
        d.printLine("X/../Y ATA_Disk 1\\2 06-14-05");
        d.prompt();
        return true;
    });
    f.userClick("Button2");
    EXPECT_EQ(f.text("Edit1"), base + "X_.._Y_Z-1_1_2");

    h.drive->level = "F";
    f.setText("Edit1", "kept");
    h.clearWire();
    f.userClick("Button2");
    EXPECT_EQ(f.text("Edit1"), "kept");
    EXPECT_EQ(h.lastLine(), "错误: 请先切换至T级！");
    EXPECT_FALSE(h.wire().contains("\x01"));

    f.setText("Edit1", "");
    h.clearWire();
    f.userClick("Button2");
    EXPECT_EQ(h.frontend.shown.last(), "warning: 请选择保存位置！");
    EXPECT_TRUE(h.wire().isEmpty());
}

TEST_F(Form6, TheStartKeyRunsTheBackupAndKeepsItsValues) {
    h.open();
    ASSERT_TRUE(f.userSelectText("ComboBox7", "TONKA"));
    for (const char* n : {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4"}) f.userSetChecked(n, false);
    const QString folder = dir.filePath("x/y");
    f.setText("Edit1", "  " + folder + "  ");
    bool disabled = false;
    h.clock.addPoller([&] { disabled = disabled || !f.formEnabled(); });
    f.userClick("Button7");
    EXPECT_TRUE(disabled);
    EXPECT_TRUE(f.formEnabled());
    EXPECT_EQ(f.text("Edit1"), folder);
    EXPECT_EQ(f.text("Edit3"), "800");
    EXPECT_EQ(f.text("Edit4"), "80");
    EXPECT_EQ(f.text("Edit2"), "2A0");
    EXPECT_EQ(folderFiles(folder), (QStringList{"ID.BIN", "SHA256SUMS", "SN.TXT", "Vendor.BIN"}));
    EXPECT_EQ(h.lastLine(), "备份完成!");
}

CliRun runCli(const QStringList& args, const std::function<void(hddsim::Drive&)>& drive = {}) {
    return runCliInProcess(args, [&](hdd::MainModel& m, hdd::Clock&) {
        if (drive) drive(hddtest::simDrive(m));
    });
}

TEST(Form6Cli, ABackupFromTheCommandLineAndItsFailures) {
    QTemporaryDir dir;
    const QStringList vendorOnly = {"SET:Form6.ComboBox7=TONKA", "SET:Form6.CheckBox1=0",
                                    "SET:Form6.CheckBox2=0", "SET:Form6.CheckBox3=0",
                                    "SET:Form6.CheckBox4=0"};
    CliRun r = runCli(QStringList{"--file", dir.path(), "run", "Form6.Button51"} + vendorOnly +
                      QStringList{"Form6.Button7", "GET:Form6.Edit1", "GET:Form6.Edit2"});
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_EQ(r.out, "Form6.Edit1=" + dir.path() + "/\nForm6.Edit2=2A0\n");
    EXPECT_TRUE(r.err.contains("正在备份Vendor..........完成！\n备份完成!\n")) << qPrintable(r.err);
    EXPECT_EQ(fileBytes(dir.filePath("SN.TXT")), "5JV8XK2L\r\n5JV8XK2L\r\n");

    // A module that cannot be read fails the run, and the command line says so.
    r = runCli(QStringList{"--file", dir.path(), "run", "Form6.Button51"} + vendorOnly +
                   QStringList{"Form6.Button7"},
               [](hddsim::Drive& d) { d.settings["fw.failModule"] = 6; });
    EXPECT_EQ(r.status, 1) << qPrintable(r.err);
    EXPECT_TRUE(r.err.contains("正在备份Vendor..........失败！\n备份失败!\n")) << qPrintable(r.err);
    // The good backup stays; the failed run's files are beside it.
    EXPECT_EQ(fileBytes(dir.filePath("SN.TXT")), "5JV8XK2L\r\n5JV8XK2L\r\n");
    EXPECT_TRUE(r.err.contains(hdd::kStagingKept.arg(dir.path() + ".partial"))) << qPrintable(r.err);
    EXPECT_FALSE(QFile::exists(dir.path() + ".partial/Vendor.BIN"));

    // A backup refused by its checks did nothing: a failure as well.
    r = runCli(QStringList{"run"} + vendorOnly + QStringList{"SET:Form6.CheckBox5=0", "Form6.Button7"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("warning: 请选择需要备份的固件模块！")) << qPrintable(r.err);
}

}  // namespace
