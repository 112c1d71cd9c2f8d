// The serial ROM dialog against the simulated drive: the four transfers through Form3's keys, the
// bytes they put on the wire, the files they leave (or do not), the ROM they program, their failure
// paths, the dialog's own checks, and a run of hddterm-cli.
#include <gtest/gtest.h>

#include "cli_runner.h"
#include "rom.h"
#include "serial_rom.h"
#include "transfer.h"
#include "transfer_support.h"

using namespace hddtest;

namespace {

using Arrange = std::function<void(Harness&)>;

QByteArray hex(int v) { return QByteArray::number(v, 16).toUpper(); }
std::string show(const QByteArray& b) { return ::testing::PrintToString(b); }

const QByteArray kProgramSteps = "/\re5\r/F\re9\r/F\re3,200,1,0\r/F\re6\r/F\r";
// The dialog's closing: back to 9600 at F level, then a fresh prompt.
const QByteArray kClosing = "\x1a/\rb0096\r\x1a/\r\r";

hdd::FormModel& form3(Harness& h) { return *h.model->formByName("Form3"); }
hddsim::SerialRom& rom(Harness& h) { return hddsim::serialRom(*h.drive); }

// A transfer key of Form3 on an open port: its file chosen with its "..." key, then the key pressed
// on an empty console and wire.
void runKey(Harness& h, const char* key, const QString& file) {
    const bool read = key == QLatin1String("Button2") || key == QLatin1String("Button3");
    h.frontend.files << file;
    form3(h).userClick(read ? "Button51" : "Button1");
    h.clearWire();
    h.model->console().clear();
    form3(h).userClick(key);
    h.idle(100);  // the fresh prompt after the key
}

// The same on a fresh drive with a fault arranged.
std::unique_ptr<Harness> runFresh(const char* key, const QString& file, const Arrange& arrange) {
    auto h = std::make_unique<Harness>();
    h->open();
    if (arrange) arrange(*h);
    runKey(*h, key, file);
    return h;
}

// The console's last line that is neither empty nor a prompt.
QString lastWords(const Harness& h) {
    QStringList lines = h.consoleText().split('\n');
    while (!lines.isEmpty() && (lines.last().isEmpty() || lines.last().endsWith('>'))) lines.removeLast();
    return lines.value(lines.size() - 1);
}

// The drive says nothing from the moment `command` was sent until the next byte comes.
Arrange silentAfter(const QByteArray& command) {
    return [command](Harness& h) {
        auto at = std::make_shared<qsizetype>(-1);
        h.clock.addPoller([&h, command, at] {
            const QByteArray w = h.wire();
            if (*at < 0 && w.endsWith(command)) *at = w.size();
            h.drive->faults.silent = *at >= 0 && w.size() == *at;
        });
    };
}

TEST(RomParse, EqualsLines) {
    const hdd::EqualsParse p = hdd::ParseEqualsLines("e2,140,0\r\n=3A\r\nF>e2,141,0\r\n= 7 \r\n =55\r\nF>");
    EXPECT_EQ(p.bytes, QByteArray("\x3a\x07"));  // only lines that begin with "="
    EXPECT_FALSE(p.dataError);
    for (const char* bad : {"=\r\n", "=G1\r\n", "=1FF\r\n", "=3A\r\n=\xb0\xb1\r\n"})
        EXPECT_TRUE(hdd::ParseEqualsLines(bad).dataError) << bad;
}

TEST(RomDialog, PickersAndEmptyFields) {
    Harness h;
    h.open();
    QTemporaryDir dir;
    // The read picker trims its answer; a file to write may be 512 KiB, no more.
    h.frontend.files << " " + dir.filePath("a.bin") + " ";
    form3(h).userClick("Button51");
    EXPECT_EQ(form3(h).text("Edit1"), dir.filePath("a.bin"));
    EXPECT_EQ(h.frontend.requests.last().fileName, "ROM.BIN");
    for (const qsizetype size : {0x80000, 600000}) {
        writeFile(dir.filePath("w.bin"), QByteArray(size, '\0'));
        h.frontend.files << dir.filePath("w.bin");
        form3(h).userClick("Button1");
        EXPECT_EQ(form3(h).text("Edit2"), size == 0x80000 ? dir.filePath("w.bin") : QString());
    }
    EXPECT_EQ(h.frontend.shown, QStringList{"message: ROM模块文件长度不能大于512MB！"});

    // Empty fields are reported before the drive is touched.
    form3(h).setText("Edit1", QString());
    for (const char* key : {"Button2", "Button3", "Button6", "Button4"}) {
        h.frontend.shown.clear();
        h.clearWire();
        form3(h).userClick(key);
        const bool read = key == QLatin1String("Button2") || key == QLatin1String("Button3");
        EXPECT_EQ(h.frontend.shown.value(0),
                  read ? "message: 请指定读取后保存的文件！" : "message: 请选择要写入的ROM文件！");
        EXPECT_EQ(h.wire(), "") << key;  // checked before the switch to F
        EXPECT_FALSE(h.wire().contains("b0921")) << key;
        EXPECT_EQ(h.dlg().ReceiveMode, hdd::kUserCmd);
    }
}

TEST(RomDialog, ADriveThatNeverReachesFGetsNoRomCommand) {
    QTemporaryDir dir;
    const auto h =
        runFresh("Button2", dir.filePath("rom.bin"), [](Harness& hh) { hh.drive->faults.stuckLevel = "T"; });
    EXPECT_EQ(lastWords(*h), "转换至F级...........失败！");
    EXPECT_FALSE(h->wire().contains("e5")) << show(h->wire());
    EXPECT_EQ(h->dlg().ReceiveMode, hdd::kUserCmd);
    EXPECT_FALSE(QFile::exists(dir.filePath("rom.bin")));
}

TEST(RomRead, BufferReadLeavesTheRomByteForByteWithTheFixupWindowReadByCommand) {
    QTemporaryDir dir;
    const auto h = runFresh("Button2", dir.filePath("rom.bin"), [](Harness& hh) {
        hh.drive->settings["rom.seed"] = 7;
        form3(hh).selectText("ComboBox2", "115200");
    });
    EXPECT_EQ(readAll(dir.filePath("rom.bin")), hddsim::romImage(7));
    EXPECT_EQ(rom(*h).bytes, hddsim::romImage(7));
    // The dump's copy of the window differs from the ROM: the file's bytes came from "e2".
    EXPECT_NE(memory(*h).bytes.mid(0x140, 0x30), rom(*h).bytes.mid(0x140, 0x30));

    QByteArray sent = "Z\rZ\re5\re4,200,1,0\r\re6\r";
    for (int p = 0; p < 128; ++p) sent += "B" + hex(p) + "," + hex(p) + "\r";
    sent += "e5\r";
    for (int a = 0x140; a < 0x170; ++a) sent += "e2," + hex(a) + ",0\r";
    const QByteArray w = h->wire();
    EXPECT_TRUE(w.contains("b0115\r"));
    EXPECT_EQ(w.mid(w.indexOf("Z\rZ\re5\r")), sent + kClosing);
    EXPECT_EQ(h->model->port().baud(), 9600);
    EXPECT_EQ(h->consoleText(), "转换至F级...........成功！\n正在读取ROM.........成功！\n\n\nF>");
    EXPECT_EQ(form3(*h).at("ProgressBar1").value, 128);  // the dialog's copy of the window's bar
    EXPECT_EQ(h->frontend.shown, QStringList());
}

// The marks fail and the user takes the command read: it reads the whole ROM, one "e2" per byte, and
// the buffer read's line keeps no result word. (Declining is run through the CLI below.)
TEST(RomRead, BadMarksHandTheReadOverToTheCommandRead) {
    QTemporaryDir dir;
    const auto h = runFresh("Button2", dir.filePath("rom.bin"), [](Harness& hh) {
        hh.drive->settings["rom.badmarks"] = 1;
        hh.drive->faults.splitPromptEvery = 0;  // 65536 round trips: one chunk each keeps the run short
        hh.frontend.answers = {true};
    });
    EXPECT_EQ(h->frontend.shown, QStringList{"question: 读取ROM数据有误，是否使用指令方法读取? -> yes"});
    EXPECT_EQ(readAll(dir.filePath("rom.bin")), hddsim::romImage(1, true));
    EXPECT_EQ(h->consoleText(),
              "转换至F级...........成功！\n正在读取ROM.........\n"
              "指令方式读取ROM需要较长时间，请耐心等待！\n正在读取ROM.........完成！\n\n\nF>");
    EXPECT_EQ(occurrences(h->wire(), "\re2,"), 0x10000);
    EXPECT_TRUE(h->wire().contains("B7F,7F\re5\re2,0,0\r"));  // straight from the last page
    EXPECT_TRUE(h->wire().endsWith("e2,FFFF,0\r" + kClosing));
    EXPECT_EQ(h->form().at("ProgressBar1").value, 0x10000);
}

// The failure rows of the reads: no file (an older one stays as it was, nothing left beside it).
TEST(RomRead, FailuresLeaveNoFile) {
    struct Case {
        const char* name;
        const char* key;
        Arrange arrange;
        const char* line;     // the console's last words
        QByteArray lastSent;  // the last command before the dialog's closing; empty: not checked
    };
    const Case cases[] = {
        {"no prompt after e5", "Button2", silentAfter("Z\rZ\re5\r"), "转换至F级...........成功！失败！",
         "e5\r"},
        {"no prompt after the CR after e4", "Button2", silentAfter("e4,200,1,0\r\r"),
         "转换至F级...........成功！失败！", "e4,200,1,0\r\r"},
        {"no prompt after e6", "Button2", silentAfter("e6\r"), "转换至F级...........成功！失败！", "e6\r"},
        {"no prompt after a dump", "Button2", silentAfter("B3,3\r"), "正在读取ROM.........失败！", "B3,3\r"},
        {"a page with a lost line", "Button2", [](Harness& h) { h.drive->settings["rom.lostline"] = 5; },
         "正在读取ROM.........失败！", "B5,5\r"},
        {"an answer without its = line", "Button2",
         [](Harness& h) { h.drive->settings["rom.noequals"] = 0x150; }, "正在读取ROM.........失败！",
         "e2,16F,0\r"},
        {"garbled dump", "Button2",
         [](Harness& h) {
             memory(h).faults.garbleLineInDump = memory(h).dumps + 9;
             memory(h).faults.lineIndex = 3;
         },
         "读取数据错误，请调低一档速率后再试!", "B8,8\r"},
        {"garbled = answer", "Button2", [](Harness& h) { h.drive->settings["rom.badequals"] = 0x141; },
         "读取数据错误，请调低一档速率后再试!", "e2,16F,0\r"},
        {"aborted", "Button2",
         [](Harness& h) { abortWhen(h, [&h] { return h.wire().endsWith("B20,20\r"); }); }, "被用户中止！",
         "B20,20\r"},
        {"command read: no = line", "Button3", [](Harness& h) { h.drive->settings["rom.noequals"] = 0x2A; },
         "正在读取ROM.........失败！", "e2,2A,0\r"},
        {"command read: aborted", "Button3",
         [](Harness& h) { abortWhen(h, [&h] { return h.wire().endsWith("e2,30,0\r"); }); },
         "正在读取ROM.........用户中止！", "e2,30,0\r"},
    };
    QTemporaryDir dir;
    QStringList files;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        files << QString::fromUtf8(c.name).replace(' ', '_');
        files.sort();
        const QString file = dir.filePath(QString::fromUtf8(c.name).replace(' ', '_'));
        writeFile(file, "older");
        const auto h = runFresh(c.key, file, c.arrange);
        EXPECT_EQ(readAll(file), "older");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), files);
        EXPECT_EQ(lastWords(*h), QString::fromUtf8(c.line)) << qPrintable(h->consoleText());
        EXPECT_TRUE(h->wire().endsWith(c.lastSent + kClosing)) << show(h->wire().right(50));
        EXPECT_EQ(h->frontend.shown, QStringList());
        EXPECT_FALSE(h->dlg().AbortRequested);
    }
}

// A read whose file cannot be created asks the drive nothing.
TEST(RomRead, AReadThatCannotCreateItsFileSendsNothing) {
    for (auto read : {hdd::ReadRom, hdd::ReadROM1}) {
        Harness h;
        h.open();
        h.clearWire();
        const QString path = h.programDir.filePath("no/such/folder/rom.bin");
        EXPECT_FALSE(read(h.dlg(), path).isDone());
        EXPECT_EQ(h.wire(), "");
        EXPECT_EQ(h.frontend.shown,
                  QStringList{"warning: " + hdd::kCannotCreate + " " + path + ": No such file or directory"});
        EXPECT_EQ(lastWords(h), "正在读取ROM.........失败！");
    }
}

TEST(RomWrite, BufferWriteDownloadsAtTheEntryAndProgramsTheRom) {
    Harness h;
    h.open();
    QTemporaryDir dir;
    for (const char* entry : {"400", "800"}) {
        SCOPED_TRACE(entry);
        const QByteArray image = pattern(0x10000, entry[0]);
        writeFile(dir.filePath("w.bin"), image);
        ASSERT_TRUE(form3(h).userSetText("ComboBox3", entry));
        runKey(h, "Button6", dir.filePath("w.bin"));
        EXPECT_EQ(rom(h).bytes, image);
        EXPECT_EQ(rom(h).stagedEntry, QByteArray(entry).toUInt(nullptr, 16));
        const QByteArray w = h.wire().mid(h.wire().indexOf("\x1aZ\rZ\r"));
        EXPECT_TRUE(w.startsWith("\x1aZ\rZ\rd" + QByteArray(entry) + ",0\r\xcc\x33")) << show(w.left(20));
        EXPECT_TRUE(w.endsWith(kProgramSteps + kClosing));
        EXPECT_EQ(occurrences(w, "\xcc\x33"), 2 * 128 + 1);
        EXPECT_EQ(lastWords(h), "正在写入ROM......成功！");
    }
}

// Refused before the drive is told anything; then the failures of the download and of the programming
// steps: the remaining steps are skipped and the ROM stays as it was.
TEST(RomWrite, BufferWriteRefusalsAndFailures) {
    Harness h;
    h.open();
    QTemporaryDir dir;
    struct Refusal {
        QByteArray bytes;
        const char* entry;
        QString message;
    };
    for (const Refusal& c : {Refusal{{}, "400", hdd::kEmptyFile},
                             Refusal{QByteArray(70000, 'x'), "400", "文件长度必须是512的倍数！"},
                             Refusal{QByteArray(1024, 'x'), "4G", hdd::kBadNumber}}) {
        writeFile(dir.filePath("r.bin"), c.bytes);
        h.frontend.shown.clear();
        h.clearWire();
        EXPECT_FALSE(hdd::WriteBios(h.dlg(), c.entry, dir.filePath("r.bin")).isDone());
        EXPECT_EQ(h.frontend.shown, QStringList{"message: " + c.message});
        EXPECT_EQ(h.wire(), "");
        EXPECT_EQ(h.lastLine(), "正在写入ROM......失败！");
    }
    writeFile(dir.filePath("r.bin"), {});
    runKey(h, "Button6", dir.filePath("r.bin"));  // through the dialog: after the switch to F
    EXPECT_FALSE(h.wire().contains("d400")) << show(h.wire());
    EXPECT_EQ(lastWords(h), "正在写入ROM......失败！");

    struct Failure {
        const char* name;
        Arrange arrange;
        QByteArray lastSent;
        const char* lines;
    };
    const Failure failures[] = {
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
    writeFile(dir.filePath("w.bin"), pattern(0x10000));
    for (const Failure& c : failures) {
        SCOPED_TRACE(c.name);
        const auto hh = runFresh("Button6", dir.filePath("w.bin"), c.arrange);
        EXPECT_EQ(rom(*hh).bytes, hddsim::romImage(1));
        EXPECT_TRUE(hh->wire().endsWith(c.lastSent + kClosing)) << show(hh->wire().right(60));
        EXPECT_FALSE(hh->wire().contains("e6\r"));
        EXPECT_TRUE(hh->consoleText().contains("\n" + QString::fromUtf8(c.lines) + "\n"))
            << qPrintable(hh->consoleText());
    }
}

TEST(RomWrite, CommandWriteProgramsTheFirst65536BytesOfALongerFile) {
    QTemporaryDir dir;
    const QByteArray image = pattern(70000, 3);
    writeFile(dir.filePath("long.bin"), image);
    const auto h = runFresh("Button4", dir.filePath("long.bin"), [](Harness& hh) {
        hh.drive->faults.splitPromptEvery = 0;  // 65536 round trips: one chunk each keeps the run short
    });
    EXPECT_EQ(rom(*h).bytes, image.left(0x10000));
    EXPECT_EQ(rom(*h).bytesWritten, 0x10000);
    QByteArray first = "Z\rZ\re9\r";
    for (int a = 0; a < 3; ++a) first += "e1," + hex(a) + "," + hex(static_cast<uchar>(image[a])) + ",0\r";
    const QByteArray w = h->wire();
    EXPECT_TRUE(w.mid(w.indexOf("Z\rZ\re9\r")).startsWith(first)) << show(w.left(60));
    EXPECT_TRUE(w.endsWith("e1,FFFF," + hex(static_cast<uchar>(image[0xFFFF])) + ",0\r/\r" + kClosing));
    EXPECT_EQ(h->consoleText(),
              "转换至F级...........成功！\n指令方式写入ROM需要较长时间，请耐心等待！\n"
              "正在写入ROM......成功！\n\nF>");
    EXPECT_EQ(h->form().at("ProgressBar1").value, h->form().at("ProgressBar1").maximum);
}

TEST(RomWrite, CommandWriteFailures) {
    struct Case {
        const char* name;
        QByteArray file;  // empty: no such file
        Arrange arrange;
        const char* last;
        int written;  // bytes programmed, -1: nothing sent at all
    };
    const Case cases[] = {
        {"unreadable", {}, {}, "读入ROM文件出错，文个无法打开！", -1},
        {"too small", QByteArray(0xFFFF, 'x'), {}, "读入ROM文件出错，文件太小！", -1},
        {"silence after a byte", pattern(0x10000),
         [](Harness& h) { h.drive->settings["rom.silente1"] = 0x30; }, "正在写入ROM......失败！", 0x30},
        {"abort", pattern(0x10000),
         [](Harness& h) { abortWhen(h, [&h] { return rom(h).bytesWritten == 0x40; }); }, "被用户中止！",
         0x40},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = dir.filePath(QString::fromUtf8(c.name));
        if (!c.file.isEmpty()) writeFile(file, c.file);
        const auto h = runFresh("Button4", file, c.arrange);
        EXPECT_EQ(lastWords(*h), QString::fromUtf8(c.last)) << qPrintable(h->consoleText());
        EXPECT_FALSE(h->dlg().AbortRequested);
        if (c.written < 0) {
            EXPECT_FALSE(h->wire().contains("e9")) << show(h->wire());
            continue;
        }
        EXPECT_EQ(rom(*h).bytesWritten, c.written);
        EXPECT_EQ(rom(*h).bytes.left(c.written), c.file.left(c.written));  // partly written
        EXPECT_EQ(rom(*h).bytes.mid(c.written), hddsim::romImage(1).mid(c.written));
        EXPECT_TRUE(h->wire().endsWith(",0\r/\r" + kClosing)) << show(h->wire().right(40));
    }
}

// The outcome each transfer key leaves with the window: a read's file, the failures and aborts the
// console tells, and an empty field refused as input.
TEST(RomOutcome, EachKeyEndsWithItsOwn) {
    using S = hdd::Outcome::Status;
    struct Case {
        const char* key;
        QByteArray content;  // a file to write; a read's file is made by the read ("-": none picked)
        Arrange arrange;
        S status;
    };
    const Arrange stuckAtT = [](Harness& h) { h.drive->faults.stuckLevel = "T"; };
    const Case cases[] = {
        {"Button2", {}, {}, S::Done},
        {"Button2", {}, stuckAtT, S::Failed},
        {"Button2", {}, [](Harness& h) { h.drive->settings["rom.badequals"] = 0x141; }, S::Failed},
        {"Button2", "-", {}, S::Refused},
        {"Button3",
         {},
         [](Harness& h) { abortWhen(h, [&h] { return h.wire().endsWith("e2,30,0\r"); }); },
         S::Aborted},
        {"Button6", pattern(0x10000), {}, S::Done},
        {"Button6", QByteArray(700, 'x'), {}, S::Failed},
        {"Button4", QByteArray(0xFFFF, 'x'), {}, S::Failed},
        {"Button4", pattern(0x10000),
         [](Harness& h) { abortWhen(h, [&h] { return rom(h).bytesWritten == 9; }); }, S::Aborted},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        const QString file = dir.filePath("rom.bin");
        QFile::remove(file);
        if (!c.content.isEmpty() && c.content != "-") writeFile(file, c.content);
        const auto h = runFresh(c.key, c.content == "-" ? QString() : file, c.arrange);
        const hdd::Outcome& o = h->model->lastOutcome();
        SCOPED_TRACE(qPrintable(QString::fromLatin1(c.key) + " " + o.reason));
        EXPECT_EQ(o.status, c.status);
        EXPECT_EQ(o.by, c.status == S::Refused ? hdd::Outcome::By::Input : hdd::Outcome::By::None);
        const bool wrote = c.status == S::Done && c.content.isEmpty();
        EXPECT_EQ(o.files.size(), wrote ? 1 : 0);
        EXPECT_EQ(o.files.value(0).size, wrote ? 0x10000 : 0);
    }
}

TEST(RomCli, BufferReadWritesTheRomFileAndADeclinedHandOverFails) {
    QTemporaryDir dir;
    auto run = [](const QString& file, bool badMarks, QString& err) {
        hdd::VirtualClock clock;
        QString o;
        QTextStream os(&o), es(&err);
        const int status =
            hdd::runCli({"--no", "--file", file, "run", "Button76", "Form3.Button51", "Form3.Button2"}, os,
                        es, clock, [&](hdd::MainModel& m) {
                            m.port().setSystemPortLister([] { return QStringList(); });
                            hddtest::simDrive(m).settings["rom.badmarks"] = badMarks;
                        });
        es.flush();
        return status;
    };
    QString err;
    EXPECT_EQ(run(dir.filePath("out.bin"), false, err), 0) << qPrintable(err);
    EXPECT_EQ(readAll(dir.filePath("out.bin")), hddsim::romImage(1));
    EXPECT_TRUE(err.contains("正在读取ROM.........成功！\n"));

    err.clear();
    EXPECT_EQ(run(dir.filePath("no.bin"), true, err), 1);
    EXPECT_TRUE(
        err.contains("question: 读取ROM数据有误，是否使用指令方法读取? -> no\n正在读取ROM.........失败！\n"))
        << qPrintable(err);
    EXPECT_FALSE(QFile::exists(dir.filePath("no.bin")));
}

}  // namespace

namespace {

// A read into a folder that cannot take its file is refused before the switch to F.
TEST(RomDialog, AReadIntoAMissingFolderSendsNothing) {
    for (const char* key : {"Button2", "Button3"}) {
        Harness h;
        h.open();
        const QString path = h.programDir.filePath("no/such/folder/rom.bin");
        runKey(h, key, path);
        EXPECT_EQ(h.wire(), "") << key;
        EXPECT_EQ(h.frontend.shown,
                  QStringList{"warning: " + hdd::kCannotCreate + " " + path + ": No such file or directory"});
        EXPECT_EQ(h.model->lastOutcome().by, hdd::Outcome::By::Check);
    }
}

// An abort pressed once "e5" went out lets the programming chain run to its end, and is reported after
// it; one pressed before "e5" stops the write there.
TEST(RomWrite, TheProgrammingChainIsNeverCutInHalf) {
    QTemporaryDir dir;
    const QByteArray image = pattern(0x10000, 7);
    writeFile(dir.filePath("w.bin"), image);
    // The abort is pressed once the wire ends with the first `k` bytes of the chain ("/\r" and no step:
    // before "e5").
    for (const qsizetype k : {2, 5, 8, 11, 14, 25, 28, 31, 34}) {
        SCOPED_TRACE(k);
        const bool started = k > 2;
        const QByteArray at = kProgramSteps.left(k);
        const auto h = runFresh("Button6", dir.filePath("w.bin"), [&at](Harness& hh) {
            abortWhen(hh, [&hh, at] {
                const QByteArray w = hh.wire();
                return w.endsWith(at) && occurrences(w, "\xcc\x33") == 2 * 128 + 1;
            });
        });
        EXPECT_EQ(rom(*h).bytes, started ? image : hddsim::romImage(1));
        EXPECT_EQ(h->wire().contains(kProgramSteps), started) << show(h->wire().right(60));
        EXPECT_TRUE(h->wire().endsWith((started ? kProgramSteps : QByteArray("/\r")) + kClosing));
        EXPECT_EQ(lastWords(*h), "被用户中止！");
        EXPECT_EQ(h->model->lastOutcome().status, hdd::Outcome::Status::Aborted);
    }
}

}  // namespace
