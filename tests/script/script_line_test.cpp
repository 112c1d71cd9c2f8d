// The script language on its own: how a line is classified and split, how its numbers are read,
// and how script files are decoded and encoded. No drive, no console.
#include <gtest/gtest.h>
#include <QFile>

#include "harness.h"
#include "script_check.h"
#include "script_file.h"
#include "script_line.h"

using hdd::ScriptOp;

namespace {

struct LineCase {
    const char* line;
    ScriptOp op;
    const char* keyword;
    const char* text;
};

TEST(ScriptLine, LinesAreTrimmedThenSkippedShownOrSplitAtTheFirstSlash) {
    const LineCase cases[] = {
        {"", ScriptOp::Skip, "", ""},
        {" \t\r", ScriptOp::Skip, "", ""},
        {"//R_BUF/缓冲区入口", ScriptOp::Skip, "", ""},
        {"  /2", ScriptOp::Skip, "", ""},  // a leading "/" makes a comment even after blanks
        {"hello drive", ScriptOp::Show, "", ""},
        {"\t ECHO/读取缓冲区......  \r", ScriptOp::Echo, "ECHO", "读取缓冲区......"},
        {"ECHO/", ScriptOp::Echo, "ECHO", ""},
        {"ECHO/a/b", ScriptOp::Echo, "ECHO", "a/b"},
        {"STR/e4,200,1,0", ScriptOp::Str, "STR", "e4,200,1,0"},
        {"STR/ Z", ScriptOp::Str, "STR", " Z"},  // the argument as written
        {"LEVEL/F1", ScriptOp::Level, "LEVEL", "F1"},
        {"SPEED/230000", ScriptOp::Speed, "SPEED", "230000"},
        {"BAUDRATE/57600", ScriptOp::Baudrate, "BAUDRATE", "57600"},
        {"echo/x", ScriptOp::Unknown, "echo", ""},    // case counts
        {"ECHO /x", ScriptOp::Unknown, "ECHO ", ""},  // so does a blank before the slash
        {"FOO/1/2", ScriptOp::Unknown, "FOO", ""},
    };
    for (const LineCase& c : cases) {
        const hdd::ScriptStep s = hdd::ParseScriptLine(QString::fromUtf8(c.line));
        EXPECT_EQ(s.op, c.op) << c.line;
        EXPECT_EQ(s.keyword, QString::fromUtf8(c.keyword)) << c.line;
        EXPECT_EQ(s.text, QString::fromUtf8(c.text)) << c.line;
        EXPECT_EQ(s.line, hdd::trimBlanks(QString::fromUtf8(c.line)));
    }
}

struct NumberCase {
    const char* line;
    qint64 number;  // -1: the line is refused
    const char* error;
};

TEST(ScriptLine, NumbersAreReadInTheirCommandsBaseAndBadOnesRefuseTheLine) {
    const NumberCase cases[] = {
        {"HEX/1ff", 0xFF, ""},  // the low 8 bits
        {"HEX/FFFFFFFFFFFFFF41", 0x41, ""},
        {"HEX/ZZ", -1, "错误: 参数“ZZ”不是十六进制数，此行未执行：HEX/ZZ"},
        {"HEX/0x1A", -1, "错误: 参数“0x1A”不是十六进制数，此行未执行：HEX/0x1A"},
        {"HEX/10000000000000000", -1, ""},
        {"DEC/300", 0x2C, ""},
        {"DEC/-1", 0xFF, ""},
        {"DEC/", -1, "错误: 缺少参数，此行未执行：DEC/"},
        {"DEC/1A", -1, "错误: 参数“1A”不是十进制数，此行未执行：DEC/1A"},
        {"SLEEP/2147483647", 2147483647, ""},
        {"SLEEP/2147483648", -1, ""},
        {"SLEEP/abc", -1, "错误: 参数“abc”不是十进制数，此行未执行：SLEEP/abc"},
        {"SEND_FILE/512/APP.BIN", 512, ""},
        {"SEND_FILE/0/APP.BIN", -1, "错误: 数据块大小“0”无效，此行未执行：SEND_FILE/0/APP.BIN"},
        {"SEND_FILE/1K/APP.BIN", -1, ""},
    };
    for (const NumberCase& c : cases) {
        const hdd::ScriptStep s = hdd::ParseScriptLine(QString::fromUtf8(c.line));
        if (c.number < 0) {
            EXPECT_EQ(s.op, ScriptOp::Invalid) << c.line;
            EXPECT_TRUE(s.error.startsWith(QStringLiteral("错误: "))) << c.line;
            if (*c.error) {
                EXPECT_EQ(s.error, QString::fromUtf8(c.error));
            }
        } else {
            EXPECT_NE(s.op, ScriptOp::Invalid) << c.line << " " << qPrintable(s.error);
            EXPECT_EQ(s.number, c.number) << c.line;
        }
    }
}

struct FieldCase {
    const char* line;
    QStringList fields;  // empty: refused
    const char* file;
};

TEST(ScriptLine, MultiFieldCommandsSplitTheirNumbersAndKeepTheRestAsTheFile) {
    const FieldCase cases[] = {
        {"R_BUF/4A0/30/BUF.BIN", {"4A0", "30"}, "BUF.BIN"},
        {"W_BUF/ 4bd / 10 / my file.bin", {"4bd", "10"}, " my file.bin"},  // taken as it stands
        {"R_BUF/4A0/30//tmp/dumps/BUF.BIN", {"4A0", "30"}, "/tmp/dumps/BUF.BIN"},
        {"SEND_FILE/ 2048 /CERT.BIN", {"2048"}, "CERT.BIN"},
        {"R_SECTORS/13E98/0/4AD/10/0/280/ TRACK.TRC", {"13E98", "0", "4AD", "10", "0", "280"}, "TRACK.TRC"},
        {"W_SECTORS/1A,1B/0/4BD/10/0/12/TRACK.TRC", {"1A,1B", "0", "4BD", "10", "0", "12"}, "TRACK.TRC"},
        {"CREAT_FILE/TRACK.TRC/1A9/17/TRACK.TRC/1A8/1/TABLE.BIN",
         {"TRACK.TRC", "1A9", "17", "TRACK.TRC", "1A8", "1"},
         "TABLE.BIN"},
        {"CREAT_FILE//x/y/b.bin/0/2/ t.bin", {"", "x", "y", "b.bin", "0", "2"}, "t.bin"},  // source 1 unused
        // Refused: too few fields, no file, a bad number, a list where one track belongs.
        {"R_BUF/4A0/30", {}, ""},
        {"R_BUF/4A0/30/  ", {}, ""},
        {"R_BUF/4A0/3G/BUF.BIN", {}, ""},
        {"W_SECTORS/1A,/0/4BD/10/0/12/T.TRC", {}, ""},
        {"R_SECTORS/1A,1B/0/4AD/10/0/12/T.TRC", {}, ""},
        {"R_SECTORS/13E98/0/4AD/10/0/T.TRC", {}, ""},
        {"CREAT_FILE/a.bin/ZZ/1//0/0/t.bin", {}, ""},
    };
    for (const FieldCase& c : cases) {
        const hdd::ScriptStep s = hdd::ParseScriptLine(QString::fromUtf8(c.line));
        if (c.fields.isEmpty()) {
            EXPECT_EQ(s.op, ScriptOp::Invalid) << c.line;
            continue;
        }
        EXPECT_NE(s.op, ScriptOp::Invalid) << c.line << " " << qPrintable(s.error);
        EXPECT_EQ(s.fields, c.fields) << c.line;
        EXPECT_EQ(s.file, QString::fromUtf8(c.file)) << c.line;
    }
    EXPECT_EQ(hdd::ParseScriptLine("R_BUF/4A0/30").error,
              QStringLiteral("错误: 缺少参数，此行未执行：R_BUF/4A0/30"));
}

// The whole-script check: each line that cannot run as written, and none of what the language maps
// on purpose. Files are read and written in a folder of the test's own.
TEST(ScriptCheck, FindsEveryLineThatCannotRunAsWrittenAndNothingTheLanguageMapsOnPurpose) {
    QTemporaryDir dir;
    const QString in = dir.filePath("in.bin"), out = dir.filePath("out.bin"), none = dir.filePath("none");
    QFile(in).open(QIODevice::WriteOnly);
    const QStringList script = {
        "HEX/1FF",
        "SPEED/230000",
        "LEVEL/F1",
        "hello",
        "//BOGUS/1",
        "CREAT_FILE/nosuch.bin/0/1///0/" + out,
        "BOGUS/1/2",
        "STR /x",
        "HEX/ZZ",
        "DEC/",
        "W_BUF/4A0/1/" + in,
        "W_BUF/4A0/1/" + none + "/x.bin",
        "R_BUF/4A0/1/" + none + "/x.bin",
        "SEND_FILE/512/" + out,  // written by line 6
        "W_SECTORS/1/0/4BD/10/0/1/" + dir.path(),
    };
    const QList<hdd::ScriptFinding> expected = {
        {7, "BOGUS/1/2", QStringLiteral("未知的命令“BOGUS”")},
        {8, "STR /x", QStringLiteral("未知的命令“STR ”")},
        {9, "HEX/ZZ", QStringLiteral("参数“ZZ”不是十六进制数")},
        {10, "DEC/", QStringLiteral("缺少参数")},
        {12, script[11], QStringLiteral("无法读取文件“%1/x.bin”（No such file or directory）").arg(none)},
        {13, script[12], QStringLiteral("文件夹“%1”不存在").arg(none)},
        {15, script[14], QStringLiteral("无法读取文件“%1”（Is a directory）").arg(dir.path())},
    };
    EXPECT_EQ(hdd::CheckScript(script), expected);
    EXPECT_EQ(hdd::findingLine(expected[0]), QStringLiteral("错误: 第7行 BOGUS/1/2：未知的命令“BOGUS”"));
    EXPECT_EQ(hdd::CheckScriptText(script).findings, expected.mid(0, 4));  // the text alone
}

TEST(ScriptFile, LoadsAnyLineEndAsGbkOrMarkedUtf8) {
    const QByteArray gbk = hdd::toGbk(QStringLiteral("ECHO/读取缓冲区......"));
    EXPECT_EQ(hdd::decodeScript(gbk + "\r\nHEX/1A\rSTR/Z\nSPEED/9600\r\n"),
              QStringLiteral("ECHO/读取缓冲区......\nHEX/1A\nSTR/Z\nSPEED/9600"));
    EXPECT_EQ(hdd::decodeScript("\xEF\xBB\xBF" + QStringLiteral("ECHO/读取\r\n").toUtf8()),
              QStringLiteral("ECHO/读取"));
    // Without the mark the same UTF-8 bytes are GBK, as a file from the original system would be.
    EXPECT_NE(hdd::decodeScript(QStringLiteral("ECHO/读取").toUtf8()), QStringLiteral("ECHO/读取"));
    EXPECT_EQ(hdd::decodeScript("a\n\nb\n\n"), QStringLiteral("a\n\nb\n"));  // inner empty lines stay
}

TEST(ScriptFile, SavesGbkWithCrLfAfterEveryLineAndRefusesWhatGbkCannotHold) {
    EXPECT_EQ(hdd::encodeScript(QStringLiteral("ECHO/写入ROM完成！\nSTR/e6")),
              hdd::toGbk(QStringLiteral("ECHO/写入ROM完成！\r\nSTR/e6\r\n")));
    EXPECT_EQ(hdd::encodeScript(QStringLiteral("a\n")), QByteArray("a\r\n"));
    EXPECT_EQ(hdd::encodeScript(QString()), QByteArray());
    EXPECT_EQ(hdd::encodeScript(QStringLiteral("ECHO/\U0001F600")), std::nullopt);
    const QString text = QStringLiteral("ECHO/加载APP......\n\nSEND_FILE/2048/APP.BIN");
    EXPECT_EQ(hdd::decodeScript(*hdd::encodeScript(text)), text);
}

}  // namespace
