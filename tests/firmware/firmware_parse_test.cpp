// The answer parsers of address discovery, the firmware identification, family matching and the
// module cylinders computed from a family entry.
#include <gtest/gtest.h>

#include "address.h"
#include "family_table.h"
#include "firmware_id.h"
#include "harness.h"
#include "text.h"

using namespace hdd;

namespace {

QList<QByteArray> lines(const QByteArray& text) { return splitLines(text); }

TEST(ReserveAnswer, ReserveLine) {
    const ReserveFields r =
        parseReserveAnswer(lines("x\r\nUser: 00000000-0003FFFF\r\nReserve: 02A0-031F (0380)\r\n2>"));
    EXPECT_EQ(r.first, "2A0");
    EXPECT_EQ(r.last, "31F");
    EXPECT_EQ(r.spt, "380");
    EXPECT_TRUE(r.complete());
}

TEST(ReserveAnswer, SectorsPerTrackLoseTheirLeadingZerosOnly) {
    EXPECT_EQ(parseReserveAnswer(lines("Reserve: 2a0-31f (0138)")).spt, "138");
    EXPECT_EQ(parseReserveAnswer(lines("Reserve: 2a0-31f (013a)")).spt, "13a");
    EXPECT_EQ(parseReserveAnswer(lines("Reserve: 2a0-31f (0138)")).first, "2A0");
    for (const char* zero : {"Reserve: 2A0-31F (0)", "Reserve: 2A0-31F (000)", "Reserve: 2A0-31F ()"}) {
        const ReserveFields r = parseReserveAnswer(lines(zero));
        EXPECT_EQ(r.spt, "") << zero;
        EXPECT_FALSE(r.complete());
    }
}

TEST(ReserveAnswer, SysLine) {
    const ReserveFields r = parseReserveAnswer(lines("Sys=02a0-031f 0380 Hds=2"));
    EXPECT_EQ(r.first, "2A0");
    EXPECT_EQ(r.last, "31F");
    EXPECT_EQ(r.spt, "380");
    // The count must be followed by a space; a count of 0 is no count.
    EXPECT_EQ(parseReserveAnswer(lines("Sys=02A0-031F 0380")).spt, "");
    EXPECT_EQ(parseReserveAnswer(lines("Sys=02A0-031F 000 Hds=2")).spt, "");
}

TEST(ReserveAnswer, PatternsAreComparedAtTheLineStartAndTheLaterLineWins) {
    EXPECT_FALSE(parseReserveAnswer(lines(" Reserve: 02A0-031F (0380)")).complete());
    const ReserveFields r =
        parseReserveAnswer(lines("Reserve: 0100-0110 (0200)\r\nSys=02A0-031F 0380 Hds=2"));
    EXPECT_EQ(r.first, "2A0");
    // A later garbled line empties what it cannot read.
    const ReserveFields g =
        parseReserveAnswer(lines("Reserve: 02A0-031F (0380)\r\nReserve: 02\xE1"
                                 "0-031F (0380)"));
    EXPECT_EQ(g.first, "");
    EXPECT_EQ(g.last, "31F");
    EXPECT_FALSE(g.complete());
}

TEST(ReserveAnswer, ValuesThatAreNoAddressAreNotTaken) {
    EXPECT_EQ(parseReserveAnswer(lines("Reserve: 02 A0-031F (0380)")).first, "");
    EXPECT_EQ(parseReserveAnswer(lines("Reserve: 80000000-031F (0380)")).first, "");
    EXPECT_EQ(parseReserveAnswer(lines("Reserve: 7FFFFFFF-031F (0380)")).first, "7FFFFFFF");
    EXPECT_EQ(parseReserveAnswer(lines("Reserve: 02A0 031F (0380)")).first, "");  // no "-"
    EXPECT_EQ(parseReserveAnswer(lines("Reserve: 02A0-031F(0380)")).last, "");    // no blank after the last
}

TEST(ModuleAnswer, LongLinesWithTwoAppCopies) {
    const ModuleFields f =
        parseModuleAnswer(lines("y\r\nDrive Config\r\n"
                                "First App Code Cylinder 02B6 Head 00\r\n"
                                "Second App Code Cylinder 02b7 Head 00\r\n"
                                "First Cert Code Cylinder 0304 Head 00\r\n"
                                "First Intf Code Cylinder 0308 Head 00\r\n"
                                "  First Intf System Cylinder 030C Head 00  \r\nT>"));
    EXPECT_EQ(f.app, "2B6,2B7");
    EXPECT_EQ(f.cert0, "304");
    EXPECT_EQ(f.ata, "308");
    EXPECT_EQ(f.ven, "30C");
    EXPECT_TRUE(f.complete());
}

TEST(ModuleAnswer, ShortLinesAndFourCopiesInAnswerOrder) {
    const ModuleFields f =
        parseModuleAnswer(lines("2nd App Code Cyl 0011 Hd 0\r\n1st App Code Cyl 0010 Hd 0\r\n"
                                "3rd App Code Cyl 0012 Hd 0\r\n4th App Code Cyl 0013 Hd 0\r\n"
                                "1st CertCode Cyl 0050 Hd 0\r\n1st IntfCode Cyl 0054 Hd 0\r\n"
                                "1st Intf Sys Cyl 0058 Hd 0\r\n"));
    EXPECT_EQ(f.app, "11,10,12,13");
    EXPECT_EQ(f.cert0, "50");
    EXPECT_EQ(f.ata, "54");
    EXPECT_EQ(f.ven, "58");
}

TEST(ModuleAnswer, NoIntfLinesLeavesThoseFieldsEmpty) {
    const ModuleFields f = parseModuleAnswer(
        lines("First App Code Cylinder 02B6 Head 00\r\nFirst Cert Code Cylinder 0304 Head 00\r\n"));
    EXPECT_EQ(f.app, "2B6");
    EXPECT_EQ(f.cert0, "304");
    EXPECT_EQ(f.ata, "");
    EXPECT_FALSE(f.complete());
}

TEST(ModuleAnswer, ACylinderThatCannotBeReadSpoilsItsField) {
    // Without a blank after it the cylinder text is empty.
    ModuleFields f =
        parseModuleAnswer(lines("First App Code Cylinder 02B6 Head 00\r\n"
                                "Second App Code Cylinder 02B7\r\n"
                                "First Cert Code Cylinder 0304\r\n"
                                "First Cert Code Cylinder 0304 Head 00\r\n"));
    EXPECT_EQ(f.app, "");
    EXPECT_EQ(f.cert0, "");
    f = parseModuleAnswer(lines("First App Code Cylinder 02X6 Head 00\r\n"));
    EXPECT_EQ(f.app, "");
}

TEST(ReserveStart, PercentAnswerAndXAnswer) {
    EXPECT_EQ(parseReserveStartPercent(
                  lines("%\r\nDrive Info\r\n: \"SysArea\" 02A0-031F Spt 0380\r\nSerNum AX=1' \r\n")),
              "2A0");
    EXPECT_EQ(parseReserveStartPercent(lines(" : \"SysArea\" 02A0-031F\r\n")), "");  // not at the line start
    EXPECT_EQ(parseReserveStartPercent(lines(": \"SysArea 02A0-031F\r\n")), "");
    EXPECT_EQ(parseReserveStartPercent(lines(": SysArea 02A0-031F\r\n")), "");
    EXPECT_EQ(parseReserveStartX(lines("Reserve: 02A0-031F (0380)\r\n")), "2A0");
    EXPECT_EQ(parseReserveStartX(lines("Sys= 0100-0110 0380 x\r\n")), "100");
    EXPECT_EQ(parseReserveStartX(lines("User: 0-FFFF\r\n")), "");
}

TEST(CertLoaded, DiskCodeRevisionAnywhereInALine) {
    EXPECT_TRUE(showsCertLoaded(lines("r\r\nDisk Code Revision 3.AAC\r\nT>")));
    EXPECT_TRUE(showsCertLoaded(lines("  xx Disk Code Revision")));
    EXPECT_FALSE(showsCertLoaded(lines("r\r\nCert Not Loaded\r\nDisk code revision\r\nT>")));
}

TEST(FirmwareIdentification, DiskLineAndMaskRomLine) {
    const FirmwareId id =
        parseFirmwareId(lines("\r\nNHPLUS2HD SATA_Disk 3.AAC 06-14-05\r\nT>\r\n"
                              "Mask Rom Rev = S-1N\r\nServo Rev 0102\r\nT>"));
    EXPECT_EQ(id.family, "NHPLUS2HD");
    EXPECT_EQ(id.version, "3.AAC");
    EXPECT_EQ(id.maskRom, "S-1N");
}

TEST(FirmwareIdentification, RevisionOnTheDiskLine) {
    const FirmwareId id = parseFirmwareId(lines("TONKA40 ATA_Disk 4.AGC 11-02-04 Mask Rom Rev = T4-2"));
    EXPECT_EQ(id.family, "TONKA40");
    EXPECT_EQ(id.version, "4.AGC");
    EXPECT_EQ(id.maskRom, "T4-2");
}

TEST(FirmwareIdentification, MissingBlanksGiveEmptyParts) {
    FirmwareId id = parseFirmwareId(lines("ALPINE_Disk 3.ABC"));
    EXPECT_EQ(id.family, "ALPINE_Disk");  // the text up to the first blank
    EXPECT_EQ(id.version, "");            // no blank after the version
    id = parseFirmwareId(lines("ALPINE_Disk"));
    EXPECT_EQ(id.family, "");
    id = parseFirmwareId(
        lines("alpine ata_disk 3.abc x\r\nmask rom rev = 1"));  // the tests are case-sensitive
    EXPECT_EQ(id.family, "");
    EXPECT_EQ(id.maskRom, "");
}

TEST(FirmwareIdentification, LaterLinesOverwrite) {
    const FirmwareId id =
        parseFirmwareId(lines("A X_Disk 1.0 x\r\nMask Rom Rev = R1\r\nB Y_Disk 2.0 y\r\n"
                              "Mask Rom Rev=R2\r\n"));
    EXPECT_EQ(id.family, "B");
    EXPECT_EQ(id.version, "2.0");
    EXPECT_EQ(id.maskRom, "R2");
}

const QStringList& builtInNames() {
    static const QStringList names = parseFamilyTable(builtInFamilyTable()).names();
    return names;
}

TEST(Matching, CandidatesInOrderOfPrecedence) {
    EXPECT_EQ(familyCandidates({"nhplus2hd", "s-1a", "3.aac"}, true),
              (QStringList{"NHPLUS2HD_S-1A_3.AAC", "NHPLUS2HD_3.AAC", "NHPLUS2HD_S-1A", "NHPLUS2HD_3.XXX",
                           "NHPLUS2HD"}));
    EXPECT_EQ(familyCandidates({"A", "", "3.AAC"}, false), (QStringList{"A_3.AAC", "A"}));
    EXPECT_EQ(familyCandidates({"A", "R", "300"}, true),
              (QStringList{"A_R_300", "A_300", "A_R", "A"}));  // no "."
    EXPECT_TRUE(familyCandidates({"", "R", "3.A"}, true).isEmpty());
}

TEST(Matching, RevisionFormFindsNhplus) {
    const FirmwareId id{"NHPLUS2HD", "S-1N", "3.AAC"};
    const QStringList c = familyCandidates(id, true);
    for (const QString& name : builtInNames()) {
        EXPECT_FALSE(name.contains(c[0]));  // forms 1 and 2 find nothing
        EXPECT_FALSE(name.contains(c[1]));
    }
    EXPECT_EQ(MatchFamily(builtInNames(), id, true), 22);
    EXPECT_EQ(builtInNames()[22], "NHPLUS2HD_S-1N");
}

TEST(Matching, XxxFormFindsAlpineWhenAllowed) {
    const QStringList c = familyCandidates({"ALPINE", "A-3F", "3.ABC"}, true);
    ASSERT_EQ(c[3], "ALPINE_3.XXX");
    for (const QString& name : builtInNames()) {
        for (int form = 0; form < 3; ++form)
            EXPECT_FALSE(name.contains(c[form]));  // forms 1 to 3 find nothing
    }
    EXPECT_EQ(MatchFamily(builtInNames(), {"ALPINE", "", "8.ABC"}, true), 6);  // ALPINE_8.XXX
    // Without the .XXX form the bare family matches the first name that contains it.
    EXPECT_EQ(MatchFamily(builtInNames(), {"ALPINE", "", "8.ABC"}, false), 5);
    EXPECT_EQ(MatchFamily(builtInNames(), {"ALPINE", "A-3F", "3.ABC"}, true), 5);
}

TEST(Matching, BareFamilyTakesTheFirstNameContainingIt) {
    EXPECT_EQ(MatchFamily(builtInNames(), {"TONKA", "T-1C", "3.ALB"}, true), 9);
    EXPECT_EQ(MatchFamily(builtInNames(), {"TONKA2", "", ""}, true), 11);
    EXPECT_EQ(MatchFamily(builtInNames(), {"ZEPHYR", "Z-1", "1.000"}, true), std::nullopt);
    EXPECT_EQ(MatchFamily({}, {"TONKA", "", ""}, true), std::nullopt);
    EXPECT_EQ(MatchFamily(builtInNames(), {"", "S-1N", "3.AAC"}, true), std::nullopt);
}

TEST(Matching, FullAndVersionFormsWinOverLaterForms) {
    const QStringList list = {"GALAXY", "GALAXY_G-2A", "GALAXY_5.ABC", "GALAXY_G-2A_5.ABC"};
    EXPECT_EQ(MatchFamily(list, {"galaxy", "g-2a", "5.abc"}, true), 3);
    EXPECT_EQ(MatchFamily(list.mid(0, 3), {"GALAXY", "G-2A", "5.ABC"}, true), 2);
    EXPECT_EQ(MatchFamily(list.mid(0, 2), {"GALAXY", "G-2A", "5.ABC"}, true), 1);
    // A name shorter than the candidate never matches it; a longer one containing it does.
    EXPECT_EQ(MatchFamily({"X_GALAXY_5.ABC_Y"}, {"GALAXY", "", "5.ABC"}, false), 0);
}

FamilyEntry entry(const QByteArray& name) {
    const FamilyTable t = parseFamilyTable(builtInFamilyTable());
    for (int n = 1; n <= t.count; ++n) {
        if (t.entry(n).name == name) return t.entry(n);
    }
    return {};
}

TEST(ModuleCylinders, TonkaAtReserve2A0) {
    const ModuleAddresses a = moduleAddresses(entry("TONKA"), 0x2A0);
    EXPECT_FALSE(a.error);
    EXPECT_EQ(a.app, "2B6");
    EXPECT_EQ(a.cert0, "304");
    EXPECT_EQ(a.cert1, "304");
    EXPECT_EQ(a.cert1Head, "1");
    EXPECT_TRUE(a.cert1Keys);
    EXPECT_EQ(a.table, "306");
    EXPECT_TRUE(a.tableKeys);
    EXPECT_EQ(a.ata, "308");
    EXPECT_EQ(a.ven, "30C");
}

TEST(ModuleCylinders, CertInTwoPartsOnHeadZero) {
    FamilyEntry e = entry("TONKA40");
    e.cert1 = "70 0 10";  // not read when CERT0 has its second part
    const ModuleAddresses a = moduleAddresses(e, 0x2A0);
    EXPECT_EQ(a.cert0, "304");
    EXPECT_EQ(a.cert1, "306");
    EXPECT_EQ(a.cert1Head, "0");
    EXPECT_FALSE(a.cert1Keys);
    // Five numbers are enough; multiple blanks separate like one.
    e.cert0 = "64  0 2FD 68 0";
    EXPECT_EQ(moduleAddresses(e, 0).cert1, "68");
    e.cert0 = "64 0 2FD 68";
    EXPECT_EQ(moduleAddresses(e, 0).cert1, "70");
    EXPECT_EQ(moduleAddresses(e, 0).cert1Head, "1");
}

TEST(ModuleCylinders, SingleNumbersGiveNothing) {
    const ModuleAddresses a = moduleAddresses({"X", "16", "64", "64", "66", "68", "6C"}, 0x2A0);
    EXPECT_FALSE(a.error);
    EXPECT_EQ(a.app + a.cert0 + a.cert1 + a.table + a.ata + a.ven, "");
    EXPECT_FALSE(a.cert1Keys);
    EXPECT_FALSE(a.tableKeys);
}

TEST(ModuleCylinders, NumbersThatAreNoAddressMarkTheEntry) {
    EXPECT_TRUE(moduleAddresses({"X", "1G 0 1", "", "", "", "", ""}, 0).error);
    EXPECT_TRUE(moduleAddresses({"X", "", "64 0 2 6Z 0 1", "", "", "", ""}, 0).error);
    EXPECT_TRUE(moduleAddresses({"X", "7FFFFFFF 0 1", "", "", "", "", ""}, 1).error);
    EXPECT_FALSE(moduleAddresses({"X", "7FFFFFFE 0 1", "", "", "", "", ""}, 1).error);
}

}  // namespace
