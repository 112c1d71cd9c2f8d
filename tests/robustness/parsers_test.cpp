// Every parser of drive text, and the receive dispatcher, on garbage: random bytes and the
// seeds of real answers with bytes flipped, cut and repeated. Nothing may crash or read out of
// bounds (the suite runs under AddressSanitizer), and the dump parser may never hand back a
// partial line as data.
#include <gtest/gtest.h>

#include <random>

#include "address.h"
#include "buffer_info.h"
#include "download.h"
#include "dump.h"
#include "family_table.h"
#include "firmware_id.h"
#include "harness.h"
#include "text.h"

namespace {

QByteArray dumpSeed() {
    QByteArray s = "B3E,3E\r\n\r\nADDR  00 01 02 03\r\n";
    for (int line = 0; line < 16; ++line) {
        s += QByteArray::number(0x7C00 + line * 0x20, 16).toUpper().rightJustified(6, '0') + " ";
        for (int b = 0; b < 32; ++b)
            s += QByteArray::number((line * 32 + b) & 0xFF, 16).rightJustified(2, '0') + " ";
        s += "\r\n";
    }
    return s + "2>";
}

const QList<QByteArray>& seeds() {
    static const QList<QByteArray> s = {
        dumpSeed(),
        "?\r\nRD: 0000 0100\r\nWR: 0100 0100\r\nT>",
        "B0\r\nRD:0,100 WR:100,100\r\n2>",
        "x\r\nReserve: 2A0-2C0 (sectors 0x140)\r\nSys=2A0 SPT=140\r\nT>",
        "y\r\nAPP  Cyl 2B6 Hd 0\r\nAPP  Cyl 2B8 Hd 1\r\nATA  Cyl 304\r\nCERT Cyl 306 Hd 1\r\nT>",
        "%\r\nReserve range: \"2A0-2C0\"\r\n AX 12 34\r\nT>",
        "r\r\nDisk Code Revision: 3.AAC\r\nT>",
        "\r\n_Disk NHPLUS2HD/S-1N\r\nMask Rom Rev 3.AAC\r\nT>",
        "[TONKA]\r\nAPP=2B6\r\nCERT0=304,1,304\r\nTABLE=306\r\n;comment\r\n[ALPINE\r\napp =10\r\n",
    };
    return s;
}

// Random bytes, and seeds mutated by flipping, cutting, inserting and repeating.
QList<QByteArray> inputs() {
    std::mt19937 rng(20261209);
    QList<QByteArray> out;
    for (int i = 0; i < 300; ++i) {
        QByteArray r(static_cast<int>(rng() % 600), '\0');
        for (char& c : r) c = static_cast<char>(rng());
        out << r;
    }
    for (const QByteArray& seed : seeds()) {
        out << seed;
        for (int i = 0; i < 150; ++i) {
            QByteArray m = seed;
            for (int k = 0, n = 1 + static_cast<int>(rng() % 6); k < n && !m.isEmpty(); ++k) {
                const qsizetype at = static_cast<qsizetype>(rng() % static_cast<unsigned>(m.size()));
                switch (rng() % 5) {
                    case 0:
                        m[at] = static_cast<char>(rng());
                        break;
                    case 1:
                        m.truncate(at);
                        break;
                    case 2:
                        m.insert(at, static_cast<char>("\r\n> ,-:\"(0F"[rng() % 11]));
                        break;
                    case 3:
                        m.remove(at, 1 + static_cast<qsizetype>(rng() % 8));
                        break;
                    default:
                        m.insert(at, m.mid(at, 40));
                        break;
                }
            }
            out << m;
        }
    }
    return out;
}

TEST(ParsersOnGarbage, NeverCrashAndDumpsYieldWholeLinesOnly) {
    for (const QByteArray& in : inputs()) {
        QByteArray expected;
        const hdd::DumpParse p = hdd::ParseDump(in, expected);
        // A data error discards the block; otherwise only whole lines count.
        if (!p.dataError) {
            EXPECT_EQ(p.bytes.size() % 32, 0) << "a dump line was taken in part";
        }
        if (p.complete()) {
            EXPECT_EQ(p.bytes.size(), 512);
        }
        EXPECT_LE(p.lines, 16);

        const QList<QByteArray> lines = hdd::splitLines(in);
        hdd::parseBufferAnswerT(lines);
        hdd::parseBufferAnswerB0(lines);
        hdd::parseReserveAnswer(lines);
        hdd::parseModuleAnswer(lines);
        hdd::parseReserveStartPercent(lines);
        hdd::parseReserveStartX(lines);
        hdd::showsCertLoaded(lines);
        const hdd::FirmwareId id = hdd::parseFirmwareId(lines);
        hdd::familyCandidates(id, true);
        const hdd::FamilyTable table = hdd::parseFamilyTable(in);
        EXPECT_LE(table.count, 200);
        hdd::MatchFamily(table.names(), id, true);
        hdd::HexToBytes(in);
        hdd::normaliseAddress(in);
        hdd::normaliseHex(QString::fromLatin1(in));
    }
}

TEST(ParsersOnGarbage, DispatcherTakesAnyChunkInAnyMode) {
    hddtest::Harness h;
    hdd::Dialogue& d = h.dlg();
    const QByteArray modes[] = {hdd::kUserCmd, hdd::kSysCmd, hdd::kRData, QByteArray()};
    int i = 0;
    for (const QByteArray& in : inputs()) {
        d.ReceiveMode = modes[i++ % 4];
        if (i % 7 == 0) d.LastPrompt.clear();
        d.dispatch(in);
        EXPECT_LE(d.LastPrompt.size(), 2);
        EXPECT_LE(d.PromptBuffer.size(), in.size() + 4096);
        if (d.CaptureBuffer.size() > 1'000'000) d.CaptureBuffer.clear();
    }
    for (int l = 0; l < h.model->console().lineCount(); ++l)
        EXPECT_LE(h.model->console().line(l).size(), 110);
}

}  // namespace
