// The dump text parser, on every shape of dump the drive can send.
#include <gtest/gtest.h>

#include <QList>

#include "dump.h"

using hdd::ParseDump;

namespace {

// One data line: six-digit address, separator, 32 bytes whose values are (line * 32 + i) & 0xFF.
QByteArray line(quint32 address, int lineNo, const char* sep = ": ", const char* gap = " ") {
    QByteArray l = QByteArray::number(address, 16).toUpper().rightJustified(6, '0') + sep;
    for (int i = 0; i < 32; ++i) {
        if (i) l += gap;
        l += QByteArray::number((lineNo * 32 + i) & 0xFF, 16).toUpper().rightJustified(2, '0');
    }
    return l;
}

QByteArray expectedBytes(int firstLine, int lines) {
    QByteArray b;
    for (int i = firstLine * 32; i < (firstLine + lines) * 32; ++i) b += static_cast<char>(i & 0xFF);
    return b;
}

// The drive's answer to "B3E,3E": echo, header, 16 lines from 007C00, prompt.
QByteArray capture(quint32 start = 0x7C00, int skipLine = -1, const QByteArray& hdr = "ADDR   00 01 02 03") {
    QByteArray c = "B3E,3E\r\n" + hdr + "\r\n";
    for (int i = 0; i < 16; ++i) {
        if (i != skipLine) c += line(start + i * 0x20, i) + "\r\n";
    }
    return c + "\r\n2>";
}

TEST(DumpParser, AWholeBlockGivesItsBytesInLineOrder) {
    QByteArray expected;
    const auto p = ParseDump(capture(), expected);
    EXPECT_TRUE(p.header);
    EXPECT_TRUE(p.complete());
    EXPECT_EQ(p.lines, 16);
    EXPECT_EQ(p.bytes, expectedBytes(0, 16));
    EXPECT_EQ(expected, "007E00");  // where the next block's lines must continue
}

TEST(DumpParser, TheHeaderMayBeInAnyLetterCase) {
    for (const QByteArray& hdr : {QByteArray("addr 00 01"), QByteArray("  AdDr"), QByteArray("\tADDR")}) {
        QByteArray expected;
        EXPECT_EQ(ParseDump(capture(0x7C00, -1, hdr), expected).bytes.size(), 512) << hdr.constData();
    }
}

TEST(DumpParser, ACaptureWithoutHeaderGivesNothing) {
    QByteArray c = capture();
    c.replace("ADDR", "XDDR");
    QByteArray expected;
    const auto p = ParseDump(c, expected);
    EXPECT_FALSE(p.header);
    EXPECT_TRUE(p.bytes.isEmpty());
    EXPECT_FALSE(p.complete());
}

TEST(DumpParser, ALowerCaseAddressIsTakenOnlyAsTheFirstLine) {
    // First line lower case: it sets the expected address, the second must then be upper case.
    QByteArray c = capture(0x7C00);
    c.replace("007C00:", "007c00:");
    QByteArray expected;
    EXPECT_EQ(ParseDump(c, expected).bytes.size(), 512);

    // A later lower-case address mismatches, and so does every line after it.
    c = capture(0x7C00);
    c.replace("007CA0:", "007ca0:");
    expected.clear();
    const auto p = ParseDump(c, expected);
    EXPECT_EQ(p.lines, 5);
    EXPECT_EQ(p.bytes, expectedBytes(0, 5));
    EXPECT_FALSE(p.complete());
}

TEST(DumpParser, ALostFifthLineEndsTheBlockAfterFourLines) {
    QByteArray expected;
    const auto p = ParseDump(capture(0x7C00, 4), expected);
    EXPECT_EQ(p.bytes.size(), 4 * 32);
    EXPECT_EQ(p.bytes, expectedBytes(0, 4));
    EXPECT_FALSE(p.dataError);
    EXPECT_FALSE(p.complete());  // a block with lines missing is not a block
}

TEST(DumpParser, ASeventeenthMatchingLineIsIgnored) {
    QByteArray c = capture();
    c.replace("\r\n2>", "\r\n" + line(0x7E00, 16) + "\r\n2>");
    QByteArray expected;
    const auto p = ParseDump(c, expected);
    EXPECT_EQ(p.lines, 16);
    EXPECT_EQ(p.bytes, expectedBytes(0, 16));
}

TEST(DumpParser, PairsWithoutGapsAndRunsOfBlanksOrControlCharactersParse) {
    QByteArray c = "ADDR\r\n";
    for (int i = 0; i < 16; ++i) c += line(i * 0x20, i, " ", i % 2 ? "" : " \t\x01 ") + "\r\n";
    QByteArray expected;
    const auto p = ParseDump(c, expected);
    EXPECT_TRUE(p.complete());
    EXPECT_EQ(p.bytes, expectedBytes(0, 16));
}

TEST(DumpParser, OnlyTheFirstHeaderCountsAndLinesBeforeItAreIgnored) {
    // A data-looking line before the header is not data; a second header line is just a mismatch.
    QByteArray c = line(0x7C00, 9) + "\r\n" + capture();
    c.replace("007D00:", "ADDR\r\n007D00:");
    QByteArray expected;
    const auto p = ParseDump(c, expected);
    EXPECT_EQ(p.bytes, expectedBytes(0, 16));
}

TEST(DumpParser, NoiseInATakenLineIsADataError) {
    const QList<QByteArray> noisy = {
        line(0x7C40, 2) + "  ................",    // a text column
        line(0x7C40, 2).replace(" 4A", " 4"),      // a one-digit byte
        line(0x7C40, 2).replace("4A", "4\xC3"),    // a garbled character
        line(0x7C40, 2).replace(" 4A 4B", " 4B"),  // a byte lost with its blank: 31 bytes
        line(0x7C40, 2) + " 00",                   // 33 bytes
    };
    for (const QByteArray& bad : noisy) {
        QByteArray c = capture();
        c.replace(line(0x7C40, 2), bad);
        QByteArray expected;
        EXPECT_TRUE(ParseDump(c, expected).dataError) << bad.constData();
    }
}

TEST(DumpParser, NoiseInASkippedLineIsNoError) {
    QByteArray c = capture();
    c.replace("\r\n2>", "\r\nxyzzy 12 q\r\n2>");
    QByteArray expected;
    const auto p = ParseDump(c, expected);
    EXPECT_TRUE(p.complete());
    EXPECT_FALSE(p.dataError);
}

TEST(DumpParser, TheExpectedAddressRunsOnAcrossBlocks) {
    QByteArray expected;
    EXPECT_TRUE(ParseDump(capture(0x7C00), expected).complete());
    EXPECT_TRUE(ParseDump(capture(0x7E00), expected).complete());
    // A next block whose addresses restart matches no line at all.
    const auto p = ParseDump(capture(0x0000), expected);
    EXPECT_TRUE(p.bytes.isEmpty());
    EXPECT_FALSE(p.complete());
}

TEST(DumpParser, PastFFFFFFTheSevenDigitExpectedAddressMatchesNoLine) {
    QByteArray c = "ADDR\r\n";
    for (int i = 0; i < 16; ++i) c += line(0xFFFF00 + i * 0x20, i) + "\r\n";
    QByteArray expected;
    const auto p = ParseDump(c, expected);
    EXPECT_EQ(p.lines, 8);  // FFFF00 .. FFFFE0
    EXPECT_EQ(expected, "1000000");
}

TEST(DumpParser, AGarbledFirstAddressIsADataError) {
    QByteArray c = capture();
    c.replace("007C00:",
              "0\xB7"
              "7C00:");
    QByteArray expected;
    EXPECT_TRUE(ParseDump(c, expected).dataError);
}

}  // namespace
