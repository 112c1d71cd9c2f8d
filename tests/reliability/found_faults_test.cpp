// Faults the fuzzers found in the parsers, each kept with the smallest drive answer that shows it
// (the fuzzers' own inputs stay in fuzz/corpus and are replayed too).
#include <gtest/gtest.h>

#include "buffer_info.h"
#include "text.h"
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

}  // namespace
