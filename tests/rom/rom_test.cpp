// The serial ROM dialog against the simulated drive: the four transfers through Form3's keys, the
// bytes they put on the wire, the files they leave (or do not), the ROM they program, their failure
// paths, the dialog's own checks, and a run of hddterm-cli.
#include <gtest/gtest.h>
#include <QElapsedTimer>

#include "cli_runner.h"
#include "rom.h"
#include "serial_rom.h"
#include "transfer.h"
#include "transfer_support.h"

using namespace hddtest;

namespace {

QByteArray hex(int v) { return QByteArray::number(v, 16).toUpper(); }

// What a buffer read sends once the link is up: the copy, the 128 page dumps, the fix-up window.
QByteArray bufferReadWire() {
    QByteArray w = "Z\rZ\re5\re4,200,1,0\r\re6\r";
    for (int p = 0; p < 128; ++p) w += "B" + hex(p) + "," + hex(p) + "\r";
    w += "e5\r";
    for (int a = 0x140; a < 0x170; ++a) w += "e2," + hex(a) + ",0\r";
    return w;
}

const QByteArray kProgramSteps = "/\re5\r/F\re9\r/F\re3,200,1,0\r/F\re6\r/F\r";
// The dialog's closing: back to 9600 at F level, then a fresh prompt.
const QByteArray kClosing = "\x1a/\rb0096\r\x1a/\r\r";

class Rom : public ::testing::Test {
protected:
    void SetUp() override {
        h.open();
        h.idle(100);
    }
    hdd::FormModel& form() { return *h.model->formByName("Form3"); }
    hddsim::SerialRom& rom() { return hddsim::serialRom(*h.drive); }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    void chooseRead(const QString& file) {
        h.frontend.files << file;
        form().userClick("Button51");
    }
    void chooseWrite(const QString& file) {
        h.frontend.files << file;
        form().userClick("Button1");
    }
    // A transfer key; the wire then holds what it sent from the F-level switch on.
    void press(const char* key) {
        h.clearWire();
        h.model->console().clear();
        form().userClick(key);
        h.idle(100);  // the fresh prompt after the key
    }
    // The wire from the operation's first command on (after the raise of the link speed).
    QByteArray operationWire(const QByteArray& first) const {
        const QByteArray w = h.wire();
        return w.mid(w.indexOf(first));
    }

    Harness h;
    QTemporaryDir dir;
};

TEST(RomParse, EqualsLinesAndValidityMarks) {
    const hdd::EqualsParse p = hdd::ParseEqualsLines("e2,140,0\r\n=3A\r\nF>e2,141,0\r\n= 7 \r\n =55\r\nF>");
    EXPECT_EQ(p.bytes, QByteArray("\x3a\x07"));  // only lines that begin with "="
    EXPECT_FALSE(p.dataError);
    for (const char* bad : {"=\r\n", "=G1\r\n", "=1FF\r\n", "=3A\r\n=\xb0\xb1\r\n"})
        EXPECT_TRUE(hdd::ParseEqualsLines(bad).dataError) << bad;

    struct Marks {
        const char* tail;  // the image's last four bytes
        bool valid;
    };
    for (const Marks& m : {Marks{"\xff\xff\x00\xc0", true}, Marks{"\xff\xff\xff\x00", true},
                           Marks{"\xff\xff\xff\xff", false}, Marks{"\xff\xfe\x00\xc0", false}}) {
        QByteArray image(0xFFFC, '\0');
        image.append(m.tail, 4);
        EXPECT_EQ(hdd::romMarksValid(image), m.valid);
    }
    EXPECT_FALSE(hdd::romMarksValid(QByteArray(0x1000, '\xff')));
}

TEST_F(Rom, DialogControlsAndPickers) {
    EXPECT_EQ(form().title, "串行ROM读写");
    EXPECT_EQ(form().at("ComboBox2").items, h.form().at("ComboBox7").items);
    EXPECT_EQ(form().text("ComboBox2"), "921600");
    EXPECT_EQ(form().at("ComboBox3").items, QStringList({"400", "800"}));
    EXPECT_EQ(form().text("ComboBox3"), "400");
    EXPECT_TRUE(form().at("Edit1").readOnly);
    EXPECT_TRUE(form().at("Edit2").readOnly);

    // The save picker trims its answer; both offer ROM.BIN.
    chooseRead(" " + path("a.bin") + " ");
    EXPECT_EQ(form().text("Edit1"), path("a.bin"));
    EXPECT_EQ(h.frontend.requests.last().fileName, "ROM.BIN");
    EXPECT_EQ(h.frontend.requests.last().filter, "BIN文件|*.bin|所有文件|*.*");

    // A file to write may be 512 KiB, no more.
    writeFile(path("big.bin"), QByteArray(0x80000, '\0'));
    chooseWrite(path("big.bin"));
    EXPECT_EQ(form().text("Edit2"), path("big.bin"));
    writeFile(path("huge.bin"), QByteArray(600000, '\0'));
    chooseWrite(path("huge.bin"));
    EXPECT_EQ(form().text("Edit2"), "");
    EXPECT_EQ(h.frontend.shown, QStringList{"message: ROM模块文件长度不能大于512MB！"});
}

TEST_F(Rom, EmptyFieldsAreReportedAfterTheSwitchToF) {
    struct Case {
        const char* key;
        const char* message;
    };
    for (const Case& c :
         {Case{"Button2", "请指定读取后保存的文件！"}, Case{"Button3", "请指定读取后保存的文件！"},
          Case{"Button6", "请选择要写入的ROM文件！"}, Case{"Button4", "请选择要写入的ROM文件！"}}) {
        h.frontend.shown.clear();
        press(c.key);
        EXPECT_EQ(h.frontend.shown, QStringList{QString("message: ") + c.message}) << c.key;
        EXPECT_TRUE(h.consoleText().startsWith("转换至F级...........成功！")) << c.key;
        EXPECT_FALSE(h.wire().contains("b0921")) << c.key;
        EXPECT_EQ(h.dlg().ReceiveMode, hdd::kUserCmd);
        EXPECT_TRUE(form().formEnabled());
    }
}

TEST_F(Rom, ADriveThatNeverReachesFGetsNoRomCommand) {
    h.drive->faults.stuckLevel = "T";
    chooseRead(path("rom.bin"));
    press("Button2");
    EXPECT_TRUE(h.consoleText().contains("转换至F级...........失败！")) << qPrintable(h.consoleText());
    EXPECT_FALSE(h.wire().contains("e5")) << ::testing::PrintToString(h.wire());
    EXPECT_TRUE(h.frontend.shown.isEmpty());
    EXPECT_EQ(h.dlg().ReceiveMode, hdd::kUserCmd);
    EXPECT_FALSE(QFile::exists(path("rom.bin")));
}

TEST_F(Rom, BufferReadLeavesTheRomByteForByteWithTheFixupWindowReadByCommand) {
    h.drive->settings["rom.seed"] = 7;
    chooseRead(path("rom.bin"));
    form().setCurrentIndex("ComboBox2", static_cast<int>(form().at("ComboBox2").items.indexOf("115200")));
    press("Button2");

    EXPECT_EQ(readAll(path("rom.bin")), hddsim::romImage(7));
    EXPECT_EQ(rom().bytes, hddsim::romImage(7));
    // The dump's copy of the window differs from the ROM: the file's bytes came from "e2".
    EXPECT_NE(memory(h).bytes.mid(0x140, 0x30), rom().bytes.mid(0x140, 0x30));
    EXPECT_EQ(operationWire("Z\rZ\re5\r"), bufferReadWire() + kClosing);
    EXPECT_TRUE(h.wire().contains("b0115\r"));
    EXPECT_EQ(h.model->port().baud(), 9600);
    EXPECT_EQ(h.consoleText(), "转换至F级...........成功！\n正在读取ROM.........成功！\n\n\nF>");
    EXPECT_EQ(h.form().at("ProgressBar1").value, h.form().at("ProgressBar1").maximum);
    EXPECT_EQ(form().at("ProgressBar1").value, 128);  // the dialog's copy of the bar
    EXPECT_EQ(h.dlg().ReceiveMode, hdd::kUserCmd);
    EXPECT_TRUE(h.frontend.shown.isEmpty());
}

// The image's marks fail and the user takes the command read: it reads the whole ROM, one "e2" per
// byte, and the buffer read's line keeps no result word. (Declining is run through the CLI below.)
TEST_F(Rom, BadMarksHandTheReadOverToTheCommandRead) {
    h.drive->settings["rom.badmarks"] = 1;
    h.drive->faults.splitPromptEvery = 0;  // 65536 round trips: one chunk each keeps the run short
    h.frontend.answers = {true};
    chooseRead(path("rom.bin"));
    QElapsedTimer t;
    t.start();
    press("Button2");
    RecordProperty("command_read_ms", static_cast<int>(t.elapsed()));

    EXPECT_EQ(h.frontend.shown, QStringList{"question: 读取ROM数据有误，是否使用指令方法读取? -> yes"});
    EXPECT_EQ(readAll(path("rom.bin")), hddsim::romImage(1, true));
    EXPECT_EQ(h.consoleText(),
              "转换至F级...........成功！\n正在读取ROM.........\n"
              "指令方式读取ROM需要较长时间，请耐心等待！\n正在读取ROM.........完成！\n\n\nF>");
    EXPECT_EQ(occurrences(h.wire(), "\re2,"), 0x10000);
    EXPECT_TRUE(h.wire().contains("B7F,7F\re5\re2,0,0\r"));  // straight from the last page
    EXPECT_TRUE(h.wire().endsWith("e2,FFFF,0\r" + kClosing));
    EXPECT_EQ(h.form().at("ProgressBar1").maximum, 0x10000);
    EXPECT_EQ(h.form().at("ProgressBar1").value, 0x10000);
}

// The failure rows of the buffer read: no file (an older file stays as it was) and the console's word.
TEST_F(Rom, BufferReadFailuresLeaveNoFile) {
    struct Case {
        const char* name;
        std::function<void(Harness&)> arrange;
        const char* line;  // the console's last line but one
        const char* notSent;
    };
    auto silentAfter = [](const QByteArray& command) {
        return [command](Harness& hh) {
            hh.clock.addPoller([&hh, command] {
                if (hh.wire().endsWith(command)) hh.drive->faults.silent = true;
            });
        };
    };
    const Case cases[] = {
        {"no prompt after e5", silentAfter("Z\rZ\re5\r"), "转换至F级...........成功！失败！", "e4"},
        {"no prompt after the CR that follows e4", silentAfter("e4,200,1,0\r"),
         "转换至F级...........成功！失败！", "e6"},
        {"no prompt after e6", silentAfter("e6\r"), "转换至F级...........成功！失败！", "B0,0"},
        {"no prompt after a dump", silentAfter("B3,3\r"), "正在读取ROM.........失败！", "B4,4"},
        {"a page with a lost line", [](Harness& hh) { hh.drive->settings["rom.lostline"] = 5; },
         "正在读取ROM.........失败！", "B6,6"},
        {"an answer without its = line", [](Harness& hh) { hh.drive->settings["rom.noequals"] = 0x150; },
         "正在读取ROM.........失败！", ""},
        {"garbled dump",
         [](Harness& hh) {
             memory(hh).faults.garbleLineInDump = memory(hh).dumps + 9;
             memory(hh).faults.lineIndex = 3;
         },
         "读取数据错误，请调低一档速率后再试!", "B9,9"},
        {"garbled = answer", [](Harness& hh) { hh.drive->settings["rom.badequals"] = 0x141; },
         "读取数据错误，请调低一档速率后再试!", ""},
        {"aborted", [](Harness& hh) { abortWhen(hh, [&hh] { return hh.wire().endsWith("B20,20\r"); }); },
         "被用户中止！", "B21,21"},
    };
    QStringList files;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Harness hh;
        hh.open();
        c.arrange(hh);
        files << QString::fromUtf8(c.name).replace(' ', '_');
        const QString file = dir.filePath(files.last());
        writeFile(file, "older");
        hh.frontend.files << file;
        auto& f = *hh.model->formByName("Form3");
        f.userClick("Button51");
        hh.model->console().clear();
        f.userClick("Button2");
        hh.idle(100);
        hh.drive->faults.silent = false;
        EXPECT_EQ(readAll(file), "older");
        QStringList lines = hh.consoleText().split('\n');
        while (!lines.isEmpty() && (lines.last().isEmpty() || lines.last().endsWith('>'))) lines.removeLast();
        EXPECT_EQ(lines.value(lines.size() - 1), QString::fromUtf8(c.line)) << qPrintable(hh.consoleText());
        if (*c.notSent) {
            EXPECT_FALSE(hh.wire().contains(c.notSent));
        }
        EXPECT_TRUE(hh.frontend.shown.isEmpty()) << qPrintable(hh.frontend.shown.join('|'));
        EXPECT_EQ(hh.dlg().ReceiveMode, hdd::kUserCmd);
        EXPECT_FALSE(hh.dlg().AbortRequested);
        files.sort();
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), files);  // no leftovers
    }
}

TEST_F(Rom, CommandReadStopsAtAnAnswerWithoutItsByteAndAppendsTheAbort) {
    struct Case {
        const char* name;
        std::function<void(Harness&)> arrange;
        QByteArray lastCommand;
        const char* word;
    };
    const Case cases[] = {
        {"no = line", [](Harness& hh) { hh.drive->settings["rom.noequals"] = 0x2A; }, "e2,2A,0\r", "失败！"},
        {"abort", [](Harness& hh) { abortWhen(hh, [&hh] { return hh.wire().endsWith("e2,30,0\r"); }); },
         "e2,30,0\r", "用户中止！"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Harness hh;
        hh.open();
        c.arrange(hh);
        hh.frontend.files << dir.filePath("cmd.bin");
        auto& f = *hh.model->formByName("Form3");
        f.userClick("Button51");
        hh.model->console().clear();
        f.userClick("Button3");
        hh.idle(100);
        EXPECT_FALSE(QFile::exists(dir.filePath("cmd.bin")));
        EXPECT_TRUE(hh.wire().endsWith(c.lastCommand + kClosing))
            << ::testing::PrintToString(hh.wire().right(40));
        EXPECT_EQ(hh.consoleText(),
                  "转换至F级...........成功！\n指令方式读取ROM需要较长时间，请耐心等待！\n"
                  "正在读取ROM........." +
                      QString::fromUtf8(c.word) + "\n\n\nF>");
    }
}

TEST_F(Rom, BufferWriteDownloadsAtTheEntryAndProgramsTheRom) {
    for (const char* entry : {"400", "800"}) {
        SCOPED_TRACE(entry);
        const QByteArray image = pattern(0x10000, entry[0]);
        writeFile(path("w.bin"), image);
        chooseWrite(path("w.bin"));
        ASSERT_TRUE(form().userSetText("ComboBox3", entry));
        press("Button6");
        EXPECT_EQ(rom().bytes, image);
        EXPECT_EQ(rom().stagedEntry, QByteArray(entry).toUInt(nullptr, 16));
        const QByteArray w = operationWire("\x1aZ\rZ\r");
        EXPECT_TRUE(w.startsWith("\x1aZ\rZ\rd" + QByteArray(entry) + ",0\r\xcc\x33"))
            << ::testing::PrintToString(w.left(20));
        EXPECT_TRUE(w.endsWith(kProgramSteps + kClosing));
        EXPECT_EQ(occurrences(w, "\xcc\x33"), 2 * 128 + 1);
        EXPECT_EQ(h.lastLine(), "F>");
        EXPECT_TRUE(h.consoleText().contains("\n正在写入ROM......成功！\n")) << qPrintable(h.consoleText());
    }
}

TEST_F(Rom, BufferWriteRefusesItsFileBeforeTheDriveIsTold) {
    struct Case {
        QByteArray bytes;
        const char* entry;
        QString message;
    };
    const Case cases[] = {
        {{}, "400", hdd::kEmptyFile},
        {QByteArray(70000, 'x'), "400", "文件长度必须是512的倍数！"},
        {QByteArray(1024, 'x'), "4G", hdd::kBadNumber},
    };
    for (const Case& c : cases) {
        writeFile(path("r.bin"), c.bytes);
        const QByteArray before = rom().bytes;
        h.frontend.shown.clear();
        h.model->console().clear();
        h.clearWire();
        hdd::WriteBios(h.dlg(), c.entry, path("r.bin"));
        EXPECT_EQ(h.frontend.shown, QStringList{"message: " + c.message});
        EXPECT_EQ(h.wire(), "");
        EXPECT_EQ(h.lastLine(), "正在写入ROM......失败！");
        EXPECT_EQ(rom().bytes, before);
    }
    // Through the dialog: the empty file is refused after the switch to F, before "d400,0".
    writeFile(path("r.bin"), {});
    chooseWrite(path("r.bin"));
    press("Button6");
    EXPECT_FALSE(h.wire().contains("d400")) << ::testing::PrintToString(h.wire());
    EXPECT_TRUE(h.consoleText().contains("\n正在写入ROM......失败！\n"));
}

// A buffer write that fails or is aborted leaves the ROM as it was.
TEST_F(Rom, BufferWriteFailuresSkipTheRemainingSteps) {
    struct Case {
        const char* name;
        std::function<void(Harness&)> arrange;
        QByteArray lastStep;  // the last thing sent before the dialog's closing
        const char* lines;    // the console's last lines
    };
    const Case cases[] = {
        {"no prompt after e3", [](Harness& hh) { hh.drive->settings["rom.silente3"] = 1; },
         "/F\re3,200,1,0\r", "正在写入ROM......失败！"},
        {"checksum refused three times",
         [](Harness& hh) {
             const int n = memory(hh).checksumAttempts;
             memory(hh).faults.nakAttempts = {n + 1, n + 2, n + 3};
         },
         QByteArray(), "正在写入ROM......失败！"},
        {"aborted during the download",
         [](Harness& hh) { abortWhen(hh, [&hh] { return memory(hh).checksumAttempts == 5; }); }, QByteArray(),
         "操作被用户中止！\n被用户中止！"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Harness hh;
        hh.open();
        c.arrange(hh);
        writeFile(path("w.bin"), pattern(0x10000));
        hh.frontend.files << path("w.bin");
        auto& f = *hh.model->formByName("Form3");
        f.userClick("Button1");
        f.userClick("Button6");
        hh.idle(100);
        EXPECT_EQ(hddsim::serialRom(*hh.drive).bytes, hddsim::romImage(1));
        if (!c.lastStep.isEmpty()) {
            EXPECT_TRUE(hh.wire().endsWith(c.lastStep + kClosing))
                << ::testing::PrintToString(hh.wire().right(60));
        }
        EXPECT_FALSE(hh.wire().contains("e6\r"));
        EXPECT_TRUE(hh.consoleText().contains("\n" + QString::fromUtf8(c.lines) + "\n"))
            << qPrintable(hh.consoleText());
        EXPECT_FALSE(hh.dlg().AbortRequested);
    }
}

// A read whose file cannot be created asks the drive nothing.
TEST_F(Rom, AReadThatCannotCreateItsFileSendsNothing) {
    for (auto read : {hdd::ReadRom, hdd::ReadROM1}) {
        h.clearWire();
        h.frontend.shown.clear();
        h.model->console().clear();
        EXPECT_FALSE(read(h.dlg(), dir.filePath("no/such/folder/rom.bin")));
        EXPECT_EQ(h.wire(), "");
        EXPECT_EQ(h.frontend.shown, QStringList{"message: " + hdd::kCannotCreate});
        EXPECT_EQ(h.consoleText(), "正在读取ROM.........失败！\n");
    }
}

TEST_F(Rom, CommandWriteProgramsTheFirst65536BytesOfALongerFile) {
    const QByteArray image = pattern(70000, 3);
    h.drive->faults.splitPromptEvery = 0;  // 65536 round trips: one chunk each keeps the run short
    writeFile(path("long.bin"), image);
    chooseWrite(path("long.bin"));
    press("Button4");
    EXPECT_EQ(rom().bytes, image.left(0x10000));
    EXPECT_EQ(rom().bytesWritten, 0x10000);
    const QByteArray w = operationWire("Z\rZ\re9\r");
    QByteArray first = "Z\rZ\re9\r";
    for (int a = 0; a < 3; ++a) first += "e1," + hex(a) + "," + hex(static_cast<uchar>(image[a])) + ",0\r";
    EXPECT_TRUE(w.startsWith(first)) << ::testing::PrintToString(w.left(60));
    EXPECT_TRUE(w.endsWith("e1,FFFF," + hex(static_cast<uchar>(image[0xFFFF])) + ",0\r/\r" + kClosing));
    EXPECT_EQ(h.consoleText(),
              "转换至F级...........成功！\n指令方式写入ROM需要较长时间，请耐心等待！\n"
              "正在写入ROM......成功！\n\nF>");
    EXPECT_EQ(h.form().at("ProgressBar1").value, 0x10000);
    EXPECT_EQ(h.form().at("ProgressBar1").maximum, 0x10000);
}

TEST_F(Rom, CommandWriteFailures) {
    struct Case {
        const char* name;
        QByteArray file;  // empty: no such file
        std::function<void(Harness&)> arrange;
        const char* last;
        int written;  // bytes programmed, -1: nothing sent at all
    };
    const Case cases[] = {
        {"unreadable", {}, {}, "读入ROM文件出错，文个无法打开！", -1},
        {"too small", QByteArray(0xFFFF, 'x'), {}, "读入ROM文件出错，文件太小！", -1},
        {"silence after a byte", pattern(0x10000),
         [](Harness& hh) { hh.drive->settings["rom.silente1"] = 0x30; }, "正在写入ROM......失败！", 0x30},
        {"abort", pattern(0x10000),
         [](Harness& hh) {
             abortWhen(hh, [&hh] { return hh.drive->state<hddsim::SerialRom>().bytesWritten == 0x40; });
         },
         "被用户中止！", 0x40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Harness hh;
        hh.open();
        if (c.arrange) c.arrange(hh);
        const QString file = dir.filePath(QString::fromUtf8(c.name));
        if (!c.file.isEmpty()) writeFile(file, c.file);
        hh.frontend.files << file;
        auto& f = *hh.model->formByName("Form3");
        f.userClick("Button1");
        hh.clearWire();
        f.userClick("Button4");
        hh.idle(100);
        QStringList lines = hh.consoleText().split('\n');
        while (!lines.isEmpty() && (lines.last().isEmpty() || lines.last().endsWith('>'))) lines.removeLast();
        EXPECT_EQ(lines.value(lines.size() - 1), QString::fromUtf8(c.last)) << qPrintable(hh.consoleText());
        EXPECT_FALSE(hh.dlg().AbortRequested);
        if (c.written < 0) {
            EXPECT_FALSE(hh.wire().contains("e9")) << ::testing::PrintToString(hh.wire());
            continue;
        }
        const hddsim::SerialRom& r = hddsim::serialRom(*hh.drive);
        EXPECT_EQ(r.bytesWritten, c.written);
        EXPECT_EQ(r.bytes.left(c.written), c.file.left(c.written));  // partly written
        EXPECT_EQ(r.bytes.mid(c.written), hddsim::romImage(1).mid(c.written));
        EXPECT_TRUE(hh.wire().endsWith(",0\r/\r" + kClosing))
            << ::testing::PrintToString(hh.wire().right(40));
    }
}

TEST(RomCli, BufferReadWritesTheRomFileAndADeclinedHandOverFails) {
    QTemporaryDir dir;
    const QString out = dir.filePath("out.bin");
    auto run = [](const QStringList& args, int badMarks, QString* err = nullptr) {
        hdd::VirtualClock clock;
        QString o, e;
        QTextStream os(&o), es(&e);
        const int status = hdd::runCli(args, os, es, clock, [&](hdd::MainModel& m) {
            m.port().setSystemPortLister([] { return QStringList(); });
            m.simDrive().settings["rom.badmarks"] = badMarks;
        });
        es.flush();
        if (err) *err = e;
        return status;
    };
    QString err;
    EXPECT_EQ(run({"--file", out, "run", "Button76", "Form3.Button51", "Form3.Button2"}, 0, &err), 0)
        << qPrintable(err);
    EXPECT_EQ(readAll(out), hddsim::romImage(1));
    EXPECT_TRUE(err.contains("正在读取ROM.........成功！\n"));

    const QString no = dir.filePath("no.bin");
    EXPECT_EQ(run({"--no", "--file", no, "run", "Button76", "Form3.Button51", "Form3.Button2"}, 1, &err), 1);
    EXPECT_TRUE(
        err.contains("question: 读取ROM数据有误，是否使用指令方法读取? -> no\n正在读取ROM.........失败！\n"))
        << qPrintable(err);
    EXPECT_FALSE(QFile::exists(no));
}

}  // namespace
