// The F-level boot dialog's own rules: the module boxes, the buffer and block-size pairing, the
// key filters, the pickers and their limits, the folder key, "A" with the drive's identification,
// and the dialog through hddterm-cli.
#include <gtest/gtest.h>

#include "cli_run.h"
#include "cli_runner.h"
#include "loader.h"
#include "loader_support.h"

using namespace hddtest;

namespace {

TEST_F(LoaderTest, StartsClearedWithTheWindowsListsAndFolder) {
    hdd::FormModel& f = form();
    EXPECT_TRUE(h.form().at("Button53").visible);
    EXPECT_FALSE(f.checked("CheckBox1") || f.checked("CheckBox6"));
    for (const char* off : {"CheckBox10", "Edit1", "ComboBox1", "ComboBox3", "ComboBox4", "Edit5"})
        EXPECT_FALSE(f.checked(off) || f.isUsable(off)) << off;
    const QStringList values = {f.text("ComboBox1"), f.text("ComboBox3"), f.text("ComboBox4"),
                                f.text("Edit3"),     f.text("ComboBox7"), f.text("ComboBox2")};
    EXPECT_EQ(values, QStringList({"60", "2048", "4096", "18", "", "921600"}));
    EXPECT_EQ(f.at("ComboBox7").items, h.form().at("ComboBox3").items);
    EXPECT_EQ(f.text("Edit7"), h.model->firmwareFolder);
}

TEST_F(LoaderTest, ModuleBoxesEnableTheirControlsAndAta1GoesWithAta0) {
    hdd::FormModel& f = form();
    const QList<std::pair<const char*, QStringList>> boxes = {
        {"CheckBox1", {"CheckBox10", "ComboBox1", "ComboBox3", "Button51", "Edit1"}},
        {"CheckBox2", {"CheckBox9", "ComboBox4", "Button1", "Edit2"}},
        {"CheckBox3", {"CheckBox8", "Button2", "Edit6"}},
        {"CheckBox4", {"CheckBox5", "Button3", "Edit4"}},
    };
    for (const auto& [box, controls] : boxes) {
        f.userClick(box);
        for (const QString& c : controls) EXPECT_TRUE(f.isUsable(c)) << box << " " << qPrintable(c);
        f.userClick(controls.first());  // the save box
        f.userClick(box);
        for (const QString& c : controls) EXPECT_FALSE(f.isUsable(c)) << box << " " << qPrintable(c);
        EXPECT_FALSE(f.checked(controls.first())) << box;  // cleared with its module
    }
    f.userClick("CheckBox6");  // ATA1 ticks ATA0
    EXPECT_TRUE(f.checked("CheckBox4"));
    for (const char* c : {"Button4", "Edit5", "Button3", "Edit4", "CheckBox5"})
        EXPECT_TRUE(f.isUsable(c)) << c;
    f.userClick("CheckBox6");  // clearing ATA1 leaves ATA0
    EXPECT_TRUE(f.checked("CheckBox4"));
    EXPECT_FALSE(f.isUsable("Edit5"));
    f.userClick("CheckBox6");
    f.userClick("CheckBox4");  // clearing ATA0 clears ATA1
    EXPECT_FALSE(f.checked("CheckBox6"));
    EXPECT_FALSE(f.isUsable("Button4"));
}

TEST_F(LoaderTest, TheBufferPairsTheBlockSizesAndTheFieldsTakeHexadecimalKeys) {
    hdd::FormModel& f = form();
    f.userClick("CheckBox1");
    f.userClick("CheckBox2");
    f.userSelectText("ComboBox1", "80");
    EXPECT_EQ(f.text("ComboBox3"), "1024");
    EXPECT_EQ(f.text("ComboBox4"), "2048");
    f.userSetText("ComboBox1", "60");  // typed as well as chosen
    EXPECT_EQ(f.text("ComboBox3"), "2048");
    EXPECT_EQ(f.text("ComboBox4"), "4096");
    f.userSelectText("ComboBox3", "4096");
    f.userSetText("ComboBox1", "7");  // another buffer leaves the sizes alone
    EXPECT_EQ(f.text("ComboBox3"), "4096");
    for (const char* field : {"ComboBox1", "ComboBox3", "ComboBox4", "Edit3"}) {
        EXPECT_EQ(f.typedText(field, "aF09"), "aF09") << field;
        EXPECT_EQ(f.typedText(field, "8g"), std::nullopt) << field;
        EXPECT_EQ(f.typedText(field, "1 "), std::nullopt) << field;
    }
    f.userKey("ComboBox1", 'z');
    EXPECT_EQ(f.text("ComboBox1"), "7");

    // The firmware type gives the buffer from its APP value: ALPINE_3.XXX has "80", TONKA "60".
    f.userSelectText("ComboBox7", "ALPINE_3.XXX");
    EXPECT_EQ(f.text("ComboBox1"), "80");
    EXPECT_EQ(f.text("ComboBox3"), "1024");
    f.userSelectText("ComboBox7", "TONKA");
    EXPECT_EQ(f.text("ComboBox1"), "60");
    EXPECT_EQ(f.text("ComboBox4"), "4096");
}

TEST_F(LoaderTest, PickersKeepTheirSizeLimits) {
    hdd::FormModel& f = form();
    for (const char* box : {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox6"}) f.userClick(box);
    struct Pick {
        const char* picker;
        const char* field;
        qint64 size;
        const char* refusal;  // nullptr: taken
        const char* count;    // the TABLE sector count afterwards
    };
    const char* big = "模块文件长度不能大于1MB！";
    const char* small = "模块文件长度不能大于127KB！";
    const Pick picks[] = {
        {"Button51", "Edit1", 1048576, nullptr, "18"}, {"Button51", "Edit1", 1048577, big, "18"},
        {"Button1", "Edit2", 1048577, big, "18"},      {"Button2", "Edit6", 130049, small, "18"},
        {"Button2", "Edit6", 130048, nullptr, "FE"},   {"Button2", "Edit6", 1000, nullptr, "1"},
        {"Button3", "Edit4", 130049, small, "1"},      {"Button4", "Edit5", 130049, small, "1"},
        {"Button4", "Edit5", 512, nullptr, "1"},
    };
    for (const Pick& p : picks) {
        const QString file = writeFile(dir.filePath(QString("%1.bin").arg(p.size)), QByteArray(p.size, 'x'));
        f.setText(p.field, "before");
        h.frontend.shown.clear();
        h.frontend.files << file;
        f.userClick(p.picker);
        EXPECT_EQ(f.text(p.field), p.refusal ? QString() : file) << p.picker << " " << p.size;
        EXPECT_EQ(h.frontend.shown,
                  p.refusal ? QStringList{"message: " + QString::fromUtf8(p.refusal)} : QStringList())
            << p.picker;
        EXPECT_EQ(f.text("Edit3"), p.count) << p.picker << " " << p.size;
    }
    EXPECT_EQ(h.frontend.requests.last().filter, "BIN文件|*.bin|所有文件|*.*");
    // A file that cannot be read is refused too; a cancelled picker changes nothing.
    h.frontend.files << dir.filePath("none.bin");
    f.userClick("Button51");
    EXPECT_EQ(f.text("Edit1"), "");
    f.setText("Edit1", "kept");
    f.userClick("Button51");
    EXPECT_EQ(f.text("Edit1"), "kept");
}

TEST_F(LoaderTest, TheFolderKeySelectsModulesByTheirExactNames) {
    hdd::FormModel& f = form();
    const QString folder = moduleFolder("x/TONKA_T-1C_3.ALB");
    chooseFolder(folder);
    EXPECT_EQ(f.text("Edit7"), folder + "/");
    EXPECT_EQ(h.model->firmwareFolder, dir.filePath("x") + "/");
    EXPECT_EQ(h.frontend.requests.last().title, "选择固件文件夹");
    for (const char* on : {"CheckBox1", "CheckBox2", "CheckBox3"}) EXPECT_TRUE(f.checked(on)) << on;
    EXPECT_EQ(f.text("Edit1"), folder + "/APP.BIN");
    EXPECT_EQ(f.text("Edit6"), folder + "/Table.BIN");
    // Both ATA files are filled in but left unticked; their save box is ticked and stays off.
    EXPECT_EQ(f.text("Edit4"), folder + "/ATA0.BIN");
    EXPECT_EQ(f.text("Edit5"), folder + "/ATA1.BIN");
    EXPECT_FALSE(f.checked("CheckBox4"));
    EXPECT_FALSE(f.checked("CheckBox6"));
    EXPECT_TRUE(f.checked("CheckBox5"));
    EXPECT_FALSE(f.isUsable("CheckBox5"));

    // Another folder: a single ATA.BIN, a "table.bin" in the wrong case, no APP (its choice stays).
    const QString other = dir.filePath("y");
    QDir().mkpath(other);
    writeFile(other + "/ATA.BIN", pattern(512, 7));
    writeFile(other + "/table.bin", pattern(512, 7));
    f.userClick("CheckBox5");
    chooseFolder(other);
    EXPECT_EQ(f.text("Edit4"), other + "/ATA.BIN");
    EXPECT_TRUE(f.checked("CheckBox5"));
    EXPECT_EQ(f.text("Edit6"), folder + "/Table.BIN");
    EXPECT_EQ(f.text("Edit1"), folder + "/APP.BIN");
    EXPECT_TRUE(f.checked("CheckBox1"));
}

TEST_F(LoaderTest, AFindsTheDrivesFolderAndFamily) {
    hdd::FormModel& f = form();
    h.drive->settings["fw.family"] = 1;  // NHPLUS2HD, mask ROM S-1N, firmware 3.AAC
    h.model->firmwareFolder = dir.path() + "/";
    const QString folder = moduleFolder("NHPLUS2HD_S-1N_3.AAC");
    f.userClick("CheckBox2");
    f.userSelectText("ComboBox1", "80");
    h.clearWire();
    f.userClick("Button5");
    EXPECT_EQ(h.wire(), "\x01\x0c\r");
    EXPECT_EQ(h.lastLine(), hdd::kAnalysing + "完成！");
    EXPECT_EQ(h.dlg().ReceiveMode, "usercmd");
    EXPECT_EQ(f.text("ComboBox7"), "NHPLUS2HD_S-1N");
    EXPECT_EQ(f.text("Edit7"), folder);
    EXPECT_EQ(f.text("Edit1"), folder + "/APP.BIN");
    EXPECT_TRUE(f.checked("CheckBox2"));  // chosen again from the folder
    EXPECT_EQ(f.text("ComboBox1"), "60");
    EXPECT_EQ(f.text("ComboBox3"), "2048");

    // ALPINE_3.ABC has no folder; the bare family finds ALPINE_3.XXX, whose buffer is 80. The
    // earlier choices are cleared first.
    h.drive->settings["fw.family"] = 2;
    f.userClick("Button5");
    EXPECT_EQ(f.text("ComboBox7"), "ALPINE_3.XXX");
    EXPECT_EQ(f.text("ComboBox1"), "80");
    EXPECT_EQ(f.text("Edit1"), "");
    EXPECT_FALSE(f.checked("CheckBox2"));
    EXPECT_EQ(f.text("Edit7"), h.model->firmwareFolder);

    // A drive that gives no identification: nothing selected, still "完成！".
    h.drive->setLevel("F");
    f.userClick("Button5");
    EXPECT_EQ(f.text("ComboBox7"), "");
    EXPECT_EQ(h.lastLine(), hdd::kAnalysing + "完成！");
}

CliRun runCli(const QStringList& args, const std::function<void(hddsim::Drive&)>& drive = {}) {
    return runCliInProcess(args, [&](hdd::MainModel& m, hdd::Clock&) {
        if (drive) drive(hddtest::simDrive(m));
    });
}

TEST_F(LoaderTest, TheCliBootsAFolderAndReportsAFailedModule) {
    const QString folder = moduleFolder();
    const QStringList run = {"--file",
                             folder,
                             "run",
                             "Form2.Button7",
                             "SET:Form2.CheckBox6=1",
                             "SET:Form2.ComboBox2=57600",
                             "Form2.Button6",
                             "GET:Form2.Edit3"};
    CliRun r = runCli(run);
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    for (const QString& line :
         {hdd::kLoadingApp, hdd::kLoadingCert, hdd::kLoadingTable, hdd::kLoadingAta0, hdd::kLoadingAta1})
        EXPECT_TRUE(r.err.contains(line + "成功！")) << qPrintable(line);
    EXPECT_EQ(r.out, "Form2.Edit3=2\n");

    r = runCli(run, [](hddsim::Drive& d) { d.settings["loader.certNoRev"] = 1; });
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(hdd::kLoadingCert + "失败！")) << qPrintable(r.err);
    EXPECT_FALSE(r.err.contains(hdd::kLoadingTable));
    // The hidden count and the folder field are filled only by the dialog.
    EXPECT_EQ(runCli({"run", "SET:Form2.Edit3=2"}).status, 2);
    EXPECT_EQ(runCli({"run", "SET:Form2.Edit7=/tmp"}).status, 2);
}

}  // namespace
