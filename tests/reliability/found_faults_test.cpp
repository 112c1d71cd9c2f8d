// Faults the fuzzers found in the parsers, each kept with the smallest drive answer that shows it
// (the fuzzers' own inputs stay in fuzz/corpus and are replayed too).
#include <gtest/gtest.h>

#include "address.h"
#include "buffer_info.h"
#include "text.h"
#include "track.h"
#include "transfer_support.h"
#include "zones.h"

namespace {

QList<QByteArray> lines(const QByteArray& text) { return hdd::splitLines(text); }

// A garbled zone line whose last cylinder stands below its first was cut and subtracted from the
// total, so the capacity report no longer matched what was cut.
TEST(FoundFaults, AZoneThatEndsBeforeItBeginsMakesTheTableUnreadable) {
    const hdd::ZonePlan plan = hdd::planZoneCuts(
        lines("Head 00\r\nZone 00 0000-07FF 1200 Trk\r\nZone 01 1800-0FFF 960 Trk\r\n"), "00", {}, -1);
    EXPECT_FALSE(plan.readable());
    EXPECT_EQ(plan.unreadable, "Zone 01 1800-0FFF 960 Trk");
    EXPECT_TRUE(plan.cuts.isEmpty());
}

// Noise in front of the "Secs Per Trk:" line made its first character the parameter the cut
// command set to 0 ("aU,0"): the drive refused it, yet the zones were reported as cut.
TEST(FoundFaults, AParameterLineThatNamesNoNumberMakesTheParametersUnreadable) {
    EXPECT_FALSE(
        hdd::parseZoneParameters(lines("2 End Cyl: 1FFF (8191)\r\nU6 Secs Per Trk: 03C0 (960)\r\n")));
    const auto p =
        hdd::parseZoneParameters(lines("2 End Cyl: 1FFF (8191)\r\n6 Secs Per Trk: 03C0 (960)\r\n"));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->sptParameter, "6");
}

// The answer to "B0" gave a size of 0 sectors as "0", where the answer to "?" leaves it unknown:
// the ensure operation then passed a chunk of 0 to the transfers.
TEST(FoundFaults, ABufferOfZeroSectorsIsNoBufferInEitherAnswer) {
    const hdd::BufferFields b0 = hdd::parseBufferAnswerB0(lines("RD:0800:0:  WR:0A00:0000:\r\n"));
    EXPECT_EQ(b0.rd, "800");
    EXPECT_EQ(b0.rdSize, "");
    EXPECT_EQ(b0.wrSize, "");
    EXPECT_FALSE(b0.complete());
    EXPECT_EQ(hdd::parseBufferAnswerT(lines("RD:00800:0000\r\n")).rdSize, "");
}

// Noise inside the brackets of the reserve line ("(0\v300)") was kept in the sectors-per-track field
// as it stood, control character included.
TEST(FoundFaults, NoiseInTheSectorsPerTrackIsNoNumber) {
    EXPECT_EQ(hdd::parseReserveAnswer(lines("Reserve: 02A0-031F (0\v300)\r\n")).spt, "");
    EXPECT_EQ(hdd::parseReserveAnswer(lines("Reserve: 02A0-031F (0300)\r\n")).spt, "300");
}

// A sector count of 2^55 or more made the byte count wrap to 0: nothing was written, and the write
// reported "完成！". A count beyond the file writes the whole file, as a shorter file always does.
TEST(FoundFaults, AnEnormousSectorCountWritesTheWholeFile) {
    hddtest::Harness h;
    hddtest::openAt(h, "921600");
    QTemporaryDir dir;
    const QByteArray image = hddtest::pattern(2 * 512, 5);
    hddtest::writeFile(dir.filePath("t.trc"), image);
    EXPECT_TRUE(hdd::WriteTrack(h.dlg(), "3A", "0", "0", "80000000000000", "A00", "8", dir.filePath("t.trc"),
                                "921600"));
    EXPECT_EQ(hddtest::sectors(h, 0x3A, 0, 0, 2), image);
}

}  // namespace
