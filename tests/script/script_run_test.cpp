// Scripts run through the dialog "命令脚本" against the simulated drive: every command's bytes and
// speeds on the wire, the files of the transfer commands, the pauses, the stop key, the refused
// lines, the built-in scripts, the script files, and a headless run through hddterm-cli.
#include <gtest/gtest.h>
#include <QDir>

#include "../transfer/transfer_support.h"
#include "builtin_scripts.h"
#include "cli_run.h"
#include "cli_runner.h"
#include "dialog_form.h"
#include "download.h"
#include "form4.h"
#include "script.h"
#include "script_file.h"
#include "transfer.h"

using namespace hddtest;

namespace {

const QByteArray kForce = "\x1a/\r";     // WaitPrompt on a drive that answers at once
const QByteArray kGuard = "\x1a/\r/\r";  // isT: WaitPrompt, then "/\r"

hdd::DialogForm& form4(Harness& h) { return *static_cast<hdd::DialogForm*>(h.model->formByName("Form4")); }

// Runs a script as the user does: into the editor, then "运行脚本".
void runScript(Harness& h, const QString& script) {
    form4(h).setText("Memo1", script);
    form4(h).userClick("Button9");
}

// A drive that answered its first prompt, with the port open at 9600.
void openQuiet(Harness& h) {
    h.open();
    h.idle(100);
    h.clearWire();
}

// Relative file names resolve against the working folder: each test gets a folder of its own.
struct Script : ::testing::Test {
    void SetUp() override {
        saved = QDir::currentPath();
        QDir::setCurrent(work.path());
        openQuiet(h);
    }
    void TearDown() override { QDir::setCurrent(saved); }
    void run(const QString& script) { runScript(h, script); }
    qint64 nowMs() const { return h.clock.nowUs() / 1000; }
    QString console() const { return h.consoleText(); }

    QTemporaryDir work;
    QString saved;
    Harness h;
};

// The bytes a block download of `image` in blocks of 512 puts on the wire after its opening.
QByteArray download(const QByteArray& image) {
    QByteArray out = "\xCC\x33";
    const qsizetype n = image.size() / 512;
    auto block = [&](qsizetype k) {
        const QByteArray data = image.mid(k * 512, 512);
        out += QByteArray("\xCC\x33") + static_cast<char>(k) + data + "\xCC\x33" +
               hdd::HexToBytes(hdd::BlockChecksum(data, static_cast<int>(k)));
    };
    for (qsizetype k = 1; k < n; ++k) block(k);
    block(0);
    return out + hdd::checksumBytes(hdd::DownloadSum(image));
}

// --- the commands ---

TEST_F(Script, ByteCommandsSendWhatTheLineSaysAndTheRunEndsWithACarriageReturn) {
    struct Case {
        const char* script;
        QByteArray wire;
        const char* shown;  // Edit1 after the run
    };
    const Case cases[] = {
        {"STR/e4,200,1,0", "e4,200,1,0\r", "STR/e4,200,1,0"},
        {"  STR/  ", "\r", "STR/"},
        {"STR/读", hdd::toGbk(QStringLiteral("读")) + "\r", "STR/读"},
        {"HEX/1A", "\x1a", "HEX/1A"},
        {"HEX/1FF", "\xff", "HEX/1FF"},
        {"DEC/26", "\x1a", "DEC/26"},
        {"DEC/300", "\x2c", "DEC/300"},
        {"LEVEL/2", "/2\r", "LEVEL/2"},
        {"LEVEL/21", "/2\r", "LEVEL/21"},
        {"LEVEL/T", "/\r", "LEVEL/T"},
        {"echo/x\nSTR /x\nhello\n//STR/x\n", "", "hello"},  // ignored, shown, skipped
    };
    for (const Case& c : cases) {
        h.clearWire();
        run(QString::fromUtf8(c.script));
        EXPECT_EQ(h.wire(), c.wire + "\r") << c.script;
        EXPECT_EQ(form4(h).text("Edit1"), QString::fromUtf8(c.shown));
        EXPECT_EQ(h.dlg().ReceiveMode, hdd::kUserCmd);
    }
    EXPECT_EQ(h.drive->level, "T");
}

TEST(ScriptSpeed, SpeedTellsTheDriveAtItsLevelAndBaudrateOnlyThePort) {
    struct Case {
        const char* level;
        const char* script;
        QByteArray wire;
        qint32 baud;  // drive and port afterwards
    };
    const Case cases[] = {
        {"T", "SPEED/115200", kGuard + kForce + "B0115\r" + kForce, 115200},
        {"T", "SPEED/921600", kGuard + kForce + "B0921\r" + kForce, 921600},
        {"T", "SPEED/230000", kGuard + kForce + "B0096\r" + kForce, 9600},  // not a listed rate
        {"F", "SPEED/57600", kGuard + kForce + "b0576\r" + kForce, 57600},
        {"F", "SPEED/ 57600", kGuard + kForce + "b0096\r" + kForce, 9600},  // compared as written
    };
    for (const Case& c : cases) {
        Harness h;
        openQuiet(h);
        h.drive->level = c.level;
        runScript(h, c.script);
        EXPECT_EQ(h.wire(), c.wire + "\r") << c.script;
        EXPECT_EQ(h.drive->baud, c.baud) << c.script;
        EXPECT_EQ(h.model->port().baud(), c.baud) << c.script;
    }
    Harness h;
    openQuiet(h);
    runScript(h, "BAUDRATE/57600");
    EXPECT_EQ(h.wire(), "\r");
    EXPECT_EQ(h.model->port().baud(), 57600);
    EXPECT_EQ(h.form().text("ComboBox2"), "57600");
    EXPECT_EQ(h.drive->baud, 9600);
}

TEST(ScriptLevel, LevelFRestartsTheDriveIntoFAsTheKeyDoes) {
    Harness reference;
    openQuiet(reference);
    ASSERT_TRUE(hdd::ToF(reference.dlg()));
    for (const char* script : {"LEVEL/F", "LEVEL/F1"}) {
        Harness h;
        openQuiet(h);
        runScript(h, script);
        EXPECT_EQ(h.wire(), reference.wire() + "\r") << script;
        EXPECT_EQ(h.drive->level, "F");
        EXPECT_TRUE(h.consoleText().endsWith(QStringLiteral("转换至F级...........成功！")))
            << qPrintable(h.consoleText());
        EXPECT_EQ(h.dlg().ReceiveMode, hdd::kUserCmd);
    }
}

TEST_F(Script, SleepPausesInTenMillisecondRoundsAndEveryCommandLineIsFollowedBy200Ms) {
    const std::pair<const char*, qint64> cases[] = {
        {"SLEEP/5", 200},   {"SLEEP/4000", 4200}, {"SLEEP/4009", 4200}, {"SLEEP/-5", 200},
        {"SLEEP/abc", 200}, {"echo/x", 200},      {"hello", 0},         {"//SLEEP/4000\n\n", 0},
    };
    for (const auto& [script, ms] : cases) {
        const qint64 t0 = nowMs();
        run(script);
        EXPECT_EQ(nowMs() - t0, ms) << script;
    }
}

TEST_F(Script, EchoAddsItsTextAsAConsoleLine) {
    const int before = h.model->console().lineCount();
    run(QStringLiteral("ECHO/读取缓冲区......\nECHO/\nECHO/a/b"));
    hdd::Console& c = h.model->console();
    ASSERT_EQ(c.lineCount(), before + 3);
    EXPECT_EQ(hdd::fromGbk(c.line(before)), QStringLiteral("读取缓冲区......"));
    EXPECT_EQ(c.line(before + 1), QByteArray());
    EXPECT_EQ(c.line(before + 2), "a/b");
    EXPECT_EQ(h.wire(), "\r");
}

TEST_F(Script, SendFileDownloadsTheFileInDecimalBlocksAndSaysHowItWent) {
    const QByteArray image = pattern(1024, 3);
    writeFile("in.bin", image);
    run("STR/d800\nSEND_FILE/512/in.bin");
    EXPECT_EQ(h.wire(), "d800\r" + download(image) + "\r");
    EXPECT_EQ(blocks(h, 0x800, 2), image);
    EXPECT_TRUE(console().endsWith(QStringLiteral("正在发送文件......完成！"))) << qPrintable(console());

    // A drive that is not waiting for a download: the line fails after its wait, the script goes on.
    h.clearWire();
    run("SEND_FILE/512/in.bin\nSTR/after");
    EXPECT_EQ(h.wire(),
              "\xCC"
              "after\r\r");
    EXPECT_TRUE(console().endsWith(
        QStringLiteral("正在发送文件......失败！\n错误: 第1行 SEND_FILE/512/in.bin：执行失败")))
        << qPrintable(console());

    // A file that is no whole number of blocks is refused before anything is sent.
    h.clearWire();
    writeFile("odd.bin", pattern(700));
    run("SEND_FILE/512/odd.bin");
    EXPECT_EQ(h.wire(), "\r");
    EXPECT_EQ(h.frontend.shown.last(), QStringLiteral("message: 文件长度必须是512的倍数！"));
}

TEST_F(Script, BufferReadAndWriteMoveTheBlocksBetweenFilesAndTheDrive) {
    run("R_BUF/4A0/3/BUF.BIN");  // a relative name: the working folder
    EXPECT_EQ(h.wire(), "/2\rB4A0,4A0\rB4A1,4A1\rB4A2,4A2\r/\r\r");
    EXPECT_EQ(readAll(work.filePath("BUF.BIN")), blocks(h, 0x4A0, 3));
    EXPECT_TRUE(console().endsWith(QStringLiteral("正在读取缓冲区......成功！\n"))) << qPrintable(console());

    h.clearWire();
    const QByteArray image = pattern(1024, 5);
    writeFile(work.filePath("in.bin"), image);
    run(QStringLiteral("W_BUF/4bd/10/%1").arg(work.filePath("in.bin")));  // an absolute name
    EXPECT_EQ(h.wire(), "/\rd4bd\r" + download(image) + "/\r\r");
    EXPECT_EQ(blocks(h, 0x4BD, 2), image);
    EXPECT_TRUE(console().endsWith(QStringLiteral("正在写入缓冲区......成功！"))) << qPrintable(console());
    EXPECT_FALSE(QFile::exists(work.filePath("~tmp.~tmp")));
}

TEST_F(Script, SectorReadTakesItsFieldsInTheScriptsOrder) {
    memory(h).readBlock = 0x4AD;  // a drive whose read buffer is where the script says
    // track / head / buffer / buffer length / start sector / sector count / file
    run("R_SECTORS/13E98/0/4AD/10/5/12/ TRACK.TRC");
    QByteArray expected = "/2\rs13E98,0,22\rr,5,10\r";
    for (int b = 0x4AD; b < 0x4AD + 0x10; ++b)
        expected += QByteArray("B%1,%1\r").replace("%1", hdd::hexText(b));
    expected += "s13E98,0,22\rr,15,2\rB4AD,4AD\rB4AE,4AE\r/\r\r";
    EXPECT_EQ(h.wire(), expected);
    EXPECT_EQ(readAll(work.filePath("TRACK.TRC")), sectors(h, 0x13E98, 0, 5, 0x12));
    EXPECT_TRUE(console().endsWith(QStringLiteral("正在读取数据.........完成！"))) << qPrintable(console());
}

TEST_F(Script, TheBuiltInSurfaceWriteWrites12SectorsInPassesOf10) {
    const QByteArray image = pattern(0x12 * 512, 7);
    writeFile("TRACK.TRC", image);
    memory(h).writeBlock = 0x4BD;  // a drive whose write buffer is where the script says
    form4(h).userClick("Button6");
    form4(h).userClick("Button9");
    EXPECT_EQ(sectors(h, 0x13E9E, 0, 0, 0x12), image);
    const QByteArray w = h.wire();
    EXPECT_EQ(occurrences(w, "d4BD\r"), 2);
    EXPECT_EQ(occurrences(w, "s13E9E,0,22\r"), 2);
    EXPECT_LT(w.indexOf("s13E9E,0,22\rw,0,10\r"), w.indexOf("s13E9E,0,22\rw,10,2\r"));
    EXPECT_TRUE(console().endsWith(QStringLiteral("写入SA扇区......\n正在写入数据......完成！")))
        << qPrintable(console());
}

TEST_F(Script, SectorWriteRaisesTheLinkAgainToThePortsCurrentSpeed) {
    memory(h).faults.fallBackTo9600 = true;  // the drive talks at 9600 after each download
    memory(h).writeBlock = 0x4BD;
    writeFile("TRACK.TRC", pattern(0x12 * 512, 8));
    run("SPEED/115200\nW_SECTORS/13E9E/0/4BD/10/0/12/TRACK.TRC");
    EXPECT_EQ(occurrences(h.wire(), "B0115\r"), 3);  // the script's, then once after each chunk
    EXPECT_EQ(sectors(h, 0x13E9E, 0, 0, 0x12), readAll("TRACK.TRC"));
    EXPECT_EQ(h.model->port().baud(), 115200);
}

TEST_F(Script, CreatFileJoinsSectorRangesAndSaysWhenItCannot) {
    const QByteArray a = pattern(4 * 512, 1), b = pattern(3 * 512, 2);
    writeFile("a.bin", a);
    writeFile("b.bin", b);
    run("CREAT_FILE/a.bin/1/2/b.bin/2/FF/t.bin\nCREAT_FILE//x/y/b.bin/0/1/u.bin");
    EXPECT_EQ(readAll("t.bin"), a.mid(512, 1024) + b.mid(1024));
    EXPECT_EQ(readAll("u.bin"), b.left(512));
    EXPECT_EQ(h.wire(), "\r");

    const int lines = h.model->console().lineCount();
    run("CREAT_FILE/a.bin/0/1/////no-such-folder/t.bin");
    EXPECT_EQ(h.model->console().lineCount(), lines + 3);  // the check's finding, the failure, its line
    EXPECT_TRUE(console().endsWith(
        QStringLiteral("“/no-such-folder”不存在\n生成文件/no-such-folder/t.bin失败！\n"
                       "错误: 第1行 CREAT_FILE/a.bin/0/1/////no-such-folder/t.bin：执行失败")))
        << qPrintable(console());
}

// --- the run ---

TEST_F(Script, BadNumbersAreReportedTheirLinesSkippedAndTheDialogComesBack) {
    const QString script = "HEX/ZZ\nSLEEP/abc\nDEC/\nR_SECTORS/13E98/0/4AD/10/0/TRACK.TRC\nSTR/after";
    run(script);
    EXPECT_EQ(h.wire(), "after\r\r");
    EXPECT_TRUE(console().endsWith(
        QStringLiteral("错误: 参数“ZZ”不是十六进制数，此行未执行：HEX/ZZ\n"
                       "错误: 参数“abc”不是十进制数，此行未执行：SLEEP/abc\n"
                       "错误: 缺少参数，此行未执行：DEC/\n"
                       "错误: 缺少参数，此行未执行：R_SECTORS/13E98/0/4AD/10/0/TRACK.TRC")))
        << qPrintable(console());
    hdd::DialogForm& f = form4(h);
    for (const auto& c : f.controls())
        EXPECT_EQ(f.isEffectivelyEnabled(c->name), c->name != "Button10") << qPrintable(c->name);
    EXPECT_EQ(f.text("Edit1"), "STR/after");
    EXPECT_EQ(f.text("Memo1"), script);
    EXPECT_FALSE(h.model->operationRunning());
}

TEST_F(Script, AnEmptyScriptIsRefusedWithAMessage) {
    run(" \n\t \n");
    EXPECT_EQ(h.frontend.shown, QStringList{QStringLiteral("message: 请输入要执行的命令脚本！")});
    EXPECT_EQ(h.wire(), "");
}

TEST_F(Script, TheStopKeyIsLiveDuringARunAndEndsItAfterTheCurrentLine) {
    hdd::DialogForm& f = form4(h);
    EXPECT_FALSE(f.isUsable("Button10"));
    QStringList usableDuringRun;
    const qint64 t0 = nowMs();
    h.clock.addPoller([&] {
        if (nowMs() != t0 + 1000) return;
        for (const auto& c : f.controls()) {
            if (f.isUsable(c->name)) usableDuringRun << c->name;
        }
        EXPECT_TRUE(h.model->operationRunning());
    });
    hdd::stopScriptWhen(*h.model, [&] { return nowMs() >= t0 + 1000; });
    run("ECHO/start\nSLEEP/5000\nSTR/never");
    EXPECT_EQ(usableDuringRun, QStringList{"Button10"});
    EXPECT_EQ(nowMs() - t0, 200 + 5000 + 200);  // the pause and its line pause run out
    EXPECT_EQ(h.wire(), "\r");
    EXPECT_TRUE(console().endsWith(QStringLiteral("start\n被用户中止！"))) << qPrintable(console());
    EXPECT_FALSE(h.dlg().AbortRequested);
    EXPECT_EQ(f.text("Edit1"), "SLEEP/5000");
    EXPECT_FALSE(f.isUsable("Button10"));
    EXPECT_TRUE(f.isUsable("Button9"));
}

TEST_F(Script, AStopDuringATransferEndsTheTransferAndTheScriptWithOneAbortLine) {
    hdd::stopScriptWhen(*h.model, [&] { return memory(h).dumps >= 2; });
    run("R_BUF/4A0/5/BUF.BIN\nSTR/never");
    EXPECT_EQ(readAll("BUF.BIN"), blocks(h, 0x4A0, 2));
    EXPECT_FALSE(h.wire().contains("never"));
    EXPECT_TRUE(console().endsWith(QStringLiteral("正在读取缓冲区......\n被用户中止！\n")))
        << qPrintable(console());
}

// The run's outcome (the window's last one) folds its lines' outcomes: a failing line fails the run,
// and the lines after it still run.
TEST_F(Script, TheRunTellsItsOutcomeAndEachLineItsOwn) {
    using S = hdd::Outcome::Status;
    const struct {
        const char* script;
        S run;
        QList<std::pair<int, S>> lines;  // number and outcome of the lines that were not skipped
    } cases[] = {
        {"ECHO/a\n//note\nR_BUF/4A0/1/BUF.BIN\nSTR/e6", S::Done, {{1, S::Done}, {3, S::Done}, {4, S::Done}}},
        {"W_BUF/4A0/1/missing.bin\nSTR/after", S::Failed, {{1, S::Failed}, {2, S::Done}}},
        {"CREAT_FILE/none.bin/0/1/////no-such-folder/t.bin", S::Failed, {{1, S::Failed}}},
        {"HEX/ZZ\nshown", S::Refused, {{1, S::Refused}, {2, S::Done}}},
    };
    for (const auto& c : cases) {
        run(c.script);
        EXPECT_EQ(h.model->lastOutcome().status, c.run) << c.script;
        QList<std::pair<int, S>> lines;
        hdd::ScriptHooks hooks;
        hooks.lineEnded = [&](const hdd::ScriptLineResult& r) {
            lines << std::pair{r.number, r.outcome.status};
        };
        EXPECT_EQ(hdd::RunScript(h.dlg(), QString(c.script).split('\n'), hooks).status, c.run) << c.script;
        EXPECT_EQ(lines, c.lines) << c.script;
    }
    run("R_BUF/4A0/1/BUF.BIN");
    ASSERT_EQ(h.model->lastOutcome().files.size(), 1);
    EXPECT_EQ(h.model->lastOutcome().files[0].size, 512);
}

// The dialog lists what the check found, then runs the script as it always has; a line whose routine
// fails is named, and the box of a file that cannot be read names it with the reason.
TEST_F(Script, TheDialogListsTheFindingsFirstThenRunsTheScriptAndNamesAFailingLine) {
    run("BOGUS/1/2\nHEX/ZZ\nW_BUF/4A0/1/missing.bin\nSTR/after");
    EXPECT_EQ(h.wire(), "after\r\r");
    EXPECT_TRUE(console().endsWith(QStringLiteral(
        "错误: 第1行 BOGUS/1/2：未知的命令“BOGUS”\n错误: 第2行 HEX/ZZ：参数“ZZ”不是十六进制数\n"
        "错误: 第3行 W_BUF/4A0/1/missing.bin：无法读取文件“missing.bin”（No such file or directory）\n"
        "错误: 参数“ZZ”不是十六进制数，此行未执行：HEX/ZZ\n错误: 第3行 W_BUF/4A0/1/missing.bin：执行失败")))
        << qPrintable(console());
    EXPECT_EQ(h.frontend.shown,
              QStringList{QStringLiteral("message: 无法打开文件！ missing.bin: No such file or directory")});
    EXPECT_EQ(h.model->lastOutcome().status, hdd::Outcome::Status::Failed);
}

// --- the dialog's keys and files ---

TEST_F(Script, EachBuiltInKeyFillsTheEditorWithItsScript) {
    const std::pair<const char*, const char*> expected[] = {
        {"Button8",
         "SPEED/115200\nECHO/读取缓冲区......\nR_BUF/4A0/30/BUF.BIN\n//R_BUF/缓冲区入口/长度(单位为扇区)/"
         "目标文件\n"
         "SPEED/9600"},
        {"Button2",
         "ECHO/读取ROM......\nHEX/1A\nLEVEL/F\nSTR/Z\nSTR/e5\nSTR/e4,200,1,0\nSPEED/115200\n"
         "//SPEED/速率  速率可选9600、38400、57600、115200、230000\nR_BUF/0/80/ROM.BIN\nSPEED/9600\n"
         "ECHO/读取ROM完成！\nECHO/读取的ROM文件偏移140~167之间数据需修正后才能使用！"},
        {"Button3",
         "ECHO/写入ROM......\nHEX/1A\nLEVEL/F\nSTR/Z\nSTR/d400,0\nSEND_FILE/512/ROM.BIN\n//W_BUF/400/80/"
         "ROM.BIN\n"
         "STR/e5\nSTR/e9\nSTR/e3,200,1,0\nSTR/e6\nECHO/写入ROM完成！"},
        {"Button4",
         "HEX/1A\n//DEC/26\nLEVEL/F\nSPEED/115200\n//STR/b0115\n//BAUDRATE/115200\nECHO/加载APP......\n"
         "STR/d60,2\nSLEEP/4000\nSEND_FILE/2048/APP.BIN\nSTR/j,,1\nSLEEP/4000\nECHO/加载CERT......\n"
         "STR/d,3,1\nSLEEP/4000\nSEND_FILE/4096/CERT.BIN\nSLEEP/4000\nSPEED/9600\nECHO/加载TABLE......\n"
         "STR/h18\nSLEEP/4000\nSEND_FILE/512/TABLE.BIN\nSLEEP/4000"},
        {"Button5",
         "SPEED/115200\nECHO/读取SA扇区......\nR_SECTORS/13E98/0/4AD/10/0/280/TRACK.TRC\n"
         "//R_SECTORS/磁道/磁头/读缓冲区/缓冲区长度/开始扇区/扇区数/目标文件\n"
         "CREAT_FILE/TRACK.TRC/1A9/17/TRACK.TRC/1A8/1/TABLE.BIN\n"
         "//CREAT_FILE/源文件1/起始扇区/扇区数/源文件2/起始扇区/扇区数/目标文件\nSPEED/9600"},
        {"Button6",
         "ECHO/写入SA扇区......\nW_SECTORS/13E9E/0/4BD/10/0/12/TRACK.TRC\n"
         "//W_SECTORS/磁道/磁头/读缓冲区/缓冲区长度/开始扇区/扇区数/源文件"},
        {"Button7",
         "SPEED/115200\nECHO/写入缓冲区......\nW_BUF/4BD/10/BUF.BIN\n//W_BUF/缓冲区入口/长度(单位为扇区)/"
         "源文件\n"
         "SPEED/9600"},
        {"Button12",
         "ECHO/F级引导\nLEVEL/F\nSPEED/57600\nECHO/加载APP......\nSTR/d80,1\nSLEEP/5000\n"
         "SEND_FILE/1024/APP.BIN\nSTR/j,,1\nSLEEP/5000\nECHO/加载CERT......\nSTR/d,2,0\nSLEEP/5000\n"
         "SEND_FILE/2048/CERT.BIN\nSPEED/9600\nSTR/h11\nSLEEP/5000\nSEND_FILE/512/TABLE.BIN\nSLEEP/5000\n"
         "ECHO/F级引导完成"},
    };
    hdd::DialogForm& f = form4(h);
    QStringList keys;
    for (const auto& [key, script] : expected) {
        f.setText("Memo1", "old text");
        f.userClick(key);
        EXPECT_EQ(f.text("Memo1"), QString::fromUtf8(script)) << key;
        keys << f.at(key).caption;
    }
    EXPECT_EQ(keys.join(','),
              QStringLiteral("读Buffer,读串行ROM,写串行ROM,F级引导1,读表面,写表面,写Buffer,F级引导2"));
    f.userClick("Button11");
    EXPECT_EQ(f.text("Memo1"), QString());
    EXPECT_EQ(h.wire(), "");  // filling the editor runs nothing
}

TEST_F(Script, TheBuiltInBufferReadRunsWholeAtTheRaisedSpeed) {
    form4(h).userClick("Button8");
    form4(h).userClick("Button9");
    EXPECT_EQ(readAll("BUF.BIN"), blocks(h, 0x4A0, 0x30));
    const QByteArray w = h.wire();
    EXPECT_TRUE(w.startsWith(kGuard + kForce + "B0115\r" + kForce + "/2\rB4A0,4A0\r"))
        << qPrintable(w.left(40));
    EXPECT_TRUE(w.endsWith("B4CF,4CF\r/\r" + kGuard + kForce + "B0096\r" + kForce + "\r"));
    EXPECT_EQ(h.model->port().baud(), 9600);
    EXPECT_TRUE(console().endsWith(QStringLiteral("读取缓冲区......\n正在读取缓冲区......成功！\n")))
        << qPrintable(console());
}

TEST_F(Script, ScriptFilesLoadInEitherEncodingAndSaveAsGbkWithCrLf) {
    hdd::DialogForm& f = form4(h);
    writeFile("gbk.cmd", hdd::toGbk(QStringLiteral("ECHO/加载APP......\rSTR/d60,2\nSLEEP/4000\r\n")));
    writeFile("utf8.cmd", "\xEF\xBB\xBF" + QStringLiteral("ECHO/加载CERT......\r\n").toUtf8());
    h.frontend.files = {"gbk.cmd", "utf8.cmd", "saved.cmd", work.filePath("no/such/dir.cmd"), "missing.cmd"};
    f.userClick("Button51");
    EXPECT_EQ(f.text("Memo1"), QStringLiteral("ECHO/加载APP......\nSTR/d60,2\nSLEEP/4000"));
    f.userClick("Button51");
    EXPECT_EQ(f.text("Memo1"), QStringLiteral("ECHO/加载CERT......"));
    f.setText("Memo1", QStringLiteral("ECHO/写入ROM完成！\nSTR/e6"));
    f.userClick("Button1");
    EXPECT_EQ(readAll("saved.cmd"), hdd::toGbk(QStringLiteral("ECHO/写入ROM完成！\r\nSTR/e6\r\n")));
    EXPECT_TRUE(h.frontend.shown.isEmpty()) << qPrintable(h.frontend.shown.join('\n'));

    f.userClick("Button1");  // a folder that does not exist
    EXPECT_EQ(h.frontend.shown.size(), 1);
    EXPECT_TRUE(h.frontend.shown.last().startsWith(QStringLiteral("warning: 保存脚本文件失败")));
    f.userClick("Button51");  // a file that does not exist: the editor keeps its script
    EXPECT_TRUE(h.frontend.shown.last().startsWith(QStringLiteral("warning: 打开脚本文件失败")));
    EXPECT_EQ(f.text("Memo1"), QStringLiteral("ECHO/写入ROM完成！\nSTR/e6"));
    for (const hdd::FileRequest& r : h.frontend.requests) {
        EXPECT_EQ(r.filter, QStringLiteral("CMD|*.CMD|所有文件|*.*"));
        EXPECT_EQ(r.defaultExt, "*.cmd");
    }

    QFile big("big.cmd");  // a script that cannot be one is refused before it is read
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(hdd::kMaxScriptBytes + 1));
    big.close();
    h.frontend.files = {"big.cmd"};
    f.userClick("Button51");
    EXPECT_TRUE(h.frontend.shown.last().startsWith(QStringLiteral("warning: 脚本文件太大")))
        << qPrintable(h.frontend.shown.last());
}

// --- headless ---

CliRun runCli(const QStringList& args, const std::function<void(hdd::MainModel&, hdd::Clock&)>& extra = {}) {
    return runCliInProcess(args, extra);
}

TEST_F(Script, HeadlessRunsLoadAndRunAScriptAndJudgeItsLines) {
    writeFile("ok.cmd", hdd::toGbk(QStringLiteral("ECHO/读取缓冲区......\r\nR_BUF/4A0/2/BUF.BIN\r\n")));
    CliRun r = runCli({"--file", "ok.cmd", "run", "Button77", "Form4.Button51", "Form4.Button9",
                       "GET:Form4.Edit1", "GET:Form4.Button10.enabled"});
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_EQ(r.out, "Form4.Edit1=R_BUF/4A0/2/BUF.BIN\nForm4.Button10.enabled=0\n");
    EXPECT_TRUE(r.err.contains(QStringLiteral("读取缓冲区......\n正在读取缓冲区......成功！")))
        << qPrintable(r.err);
    EXPECT_EQ(QFileInfo("BUF.BIN").size(), 2 * 512);

    writeFile("bad.cmd", "HEX/ZZ\r\nSTR/after\r\n");
    r = runCli({"--file", "bad.cmd", "run", "Form4.Button51", "Form4.Button9"});
    EXPECT_EQ(r.status, 1);  // the refused line is an error
    // The stop key is off outside a run, so pressing it then is refused.
    r = runCli({"run", "Form4.Button10"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("disabled")) << qPrintable(r.err);

    // Inside a run it is pressed from the run's waits.
    writeFile("long.cmd", "SLEEP/5000\r\nSTR/never\r\nECHO/not reached\r\n");
    r = runCli({"--file", "long.cmd", "run", "Form4.Button51", "Form4.Button9"},
               [](hdd::MainModel& m, hdd::Clock& clock) {
                   hdd::stopScriptWhen(m, [&clock] { return clock.nowUs() >= 1'000'000; });
               });
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_TRUE(r.err.contains(QStringLiteral("被用户中止！"))) << qPrintable(r.err);
    EXPECT_FALSE(r.err.contains("not reached"));
}

// `script FILE`: a script with findings sends nothing and exits 2 naming each line; --keep-going runs
// it as the dialog does and exits 1; --json reports each line run and the run.
TEST_F(Script, TheScriptVerbStopsOnFindingsOrRunsOnAndReportsEachLine) {
    writeFile("bad.cmd", "BOGUS/1/2\r\nHEX/ZZ\r\nW_BUF/4A0/1/missing.bin\r\nSTR/after\r\n");
    writeFile("in.bin", pattern(512));
    writeFile("fails.cmd", "SEND_FILE/512/in.bin\r\nSTR/e6\r\n");  // the drive is not waiting for it
    const struct {
        QStringList args;
        int status;
        QByteArray received;
        QStringList err, out;  // lines each output contains
    } cases[] = {
        {{"script", "bad.cmd"},
         2,
         "",
         {QStringLiteral("hddterm-cli: bad.cmd:1: 未知的命令“BOGUS”: BOGUS/1/2"),
          "hddterm-cli: bad.cmd:2: ", "hddterm-cli: bad.cmd:3: "},
         {}},
        {{"--keep-going", "script", "bad.cmd"},
         1,
         "after\r\r",
         {QStringLiteral("错误: 第3行 W_BUF/4A0/1/missing.bin：执行失败")},
         {}},
        {{"--json", "script", "fails.cmd"},
         1,
         "\xCC"
         "e6\r\r",
         {},
         {R"({"line":1,"text":"SEND_FILE/512/in.bin","outcome":"failed","reason":"SEND_FILE/512/in.bin"})",
          R"({"line":2,"text":"STR/e6","outcome":"done","reason":""})",
          R"({"script":"fails.cmd","outcome":"failed","reason":"SEND_FILE/512/in.bin","lines":2})"}},
    };
    for (const auto& c : cases) {
        QByteArray received;
        const CliRun r = runCli(c.args, [&](hdd::MainModel& m, hdd::Clock&) {
            QObject::connect(
                &m, &QObject::destroyed,
                [&received, d = hddtest::simDrive(m).shared_from_this()] { received = d->received(); });
        });
        EXPECT_EQ(r.status, c.status) << qPrintable(r.err);
        EXPECT_EQ(received, c.received) << qPrintable(c.args.join(' '));
        for (const QString& l : c.err) EXPECT_TRUE(r.err.contains(l)) << qPrintable(r.err);
        EXPECT_EQ(r.out.split('\n', Qt::SkipEmptyParts), c.out) << qPrintable(r.out);
    }
}

TEST_F(Script, RunScriptFileShowsTheDialogLoadsTheFileAndRunsIt) {
    writeFile("s.cmd", "STR/e6\r\n");
    h.open();  // closed
    EXPECT_FALSE(hdd::runScriptFile(*h.model, "s.cmd"));
    openQuiet(h);
    EXPECT_FALSE(hdd::runScriptFile(*h.model, "missing.cmd"));
    EXPECT_EQ(h.wire(), "");
    h.frontend.shownForms.clear();
    EXPECT_TRUE(hdd::runScriptFile(*h.model, "s.cmd"));
    EXPECT_EQ(h.frontend.shownForms, QStringList{"Form4@120,292"});
    EXPECT_EQ(h.wire(), "e6\r\r");
    EXPECT_EQ(form4(h).text("Memo1"), "STR/e6");
}

}  // namespace
