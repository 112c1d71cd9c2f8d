// The zone tools against the simulated drive: every cut command and the reported total, the
// reserve-area skip, the refusals, a drive that is not ready, zone tables that cannot be read, an
// abort, reload, save, view and LBA conversion, a run through hddterm-cli, and the parsers on
// garbage.
#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "address.h"
#include "cli_runner.h"
#include "harness.h"
#include "monitor.h"
#include "zone_state.h"
#include "zones.h"

using hddtest::Harness;

namespace {

const QByteArray kGuard = "\x1a/\r/\r";
const QByteArray kCert = "/\rr\r";
const QByteArray kParameters = "/2\rS1000,0\r/e\ra0\r/\r";
const QByteArray kClosing = "/\r\r";

QList<QByteArray> lines(const QByteArray& text) { return text.split('\n'); }

int occurrences(const QByteArray& hay, const QByteArray& needle) {
    int n = 0;
    for (qsizetype i = hay.indexOf(needle); i >= 0; i = hay.indexOf(needle, i + 1)) ++n;
    return n;
}

class Zones : public ::testing::Test {
protected:
    void SetUp() override {
        h.open();
        h.form().userKey("CMD", QChar(0x12));  // load CERT
        h.idle(300);
        h.clearWire();
    }
    hddsim::ZoneState& sim() { return hddsim::zones(*h.drive); }
    // A fresh table from the drive's settings.
    void rebuild() {
        h.drive->state<hddsim::ZoneState>() = hddsim::ZoneState{};
        sim();
    }
    QByteArray cut(const QString& head, const QString& zone) {
        h.form().userSetText("Edit25", head);
        h.form().userSetText("Edit24", zone);
        return press("Button23");
    }
    QByteArray press(const char* key) {
        h.clearWire();
        h.frontend.shown.clear();
        h.press(key);
        return h.wire();
    }
    QList<std::pair<int, int>> cutZones() const {
        QList<std::pair<int, int>> out;
        for (const auto& s : h.drive->state<hddsim::ZoneState>().sets) out << std::pair{s.head, s.zone};
        return out;
    }
    bool hasLine(const QString& line) const { return h.consoleText().split('\n').contains(line); }
    void expectIdle() {
        EXPECT_TRUE(h.form().isEffectivelyEnabled("Button23"));
        EXPECT_TRUE(h.form().isEffectivelyEnabled("ComboBox2"));
        EXPECT_EQ(h.dlg().ReceiveMode, hdd::kUserCmd);
        EXPECT_FALSE(h.dlg().AbortRequested);
    }

    Harness h;
};

TEST_F(Zones, OneCharacterTextsArePaddedAndTheCutIsReported) {
    h.drive->settings["zone.count"] = 12;
    rebuild();
    const qint64 before = sim().sectors();
    const QByteArray wire = cut("1", "A");
    // Head 01, zone 0A: cylinders 5020-581F with 1040 sectors a track.
    EXPECT_EQ(wire, kGuard + kCert + kParameters + "%\r/2\rx\r/2\rS5020,01\r/e\ra6,0\r/\r/\r" + kClosing);
    EXPECT_EQ(sim().sets, (QList<hddsim::ZoneParameterSet>{{1, 10, 6, 0}}));
    EXPECT_EQ(before - sim().sectors(), 2048 * 1040);
    EXPECT_TRUE(hasLine(hdd::kCuttingZones + "完成！"));
    EXPECT_EQ(h.lastLine(), "硬盘容量共减少2129920扇区(约1G)，请保存段位信息并调整硬盘LBA！");
    expectIdle();
}

TEST_F(Zones, AllHeadsOrAllZonesAndTheZoneAroundTheReserveArea) {
    const struct {
        const char* head;
        const char* zone;
        int reserve;
        QList<std::pair<int, int>> cut;
    } cases[] = {
        {"FF", "03", 0x2A0, {{0, 3}, {1, 3}}},
        {"00",
         "FF",
         0x2A0,
         {{0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}, {0, 6}, {0, 7}}},  // 0000-07FF encloses 2A0
        {"0",
         "FF",
         0x800,
         {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}, {0, 6}, {0, 7}}},  // 0800 starts zone 1
        {"1",
         "FF",
         0x2A0,
         {{1, 0}, {1, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}, {1, 6}, {1, 7}}},  // head 1: no skip
    };
    for (const auto& c : cases) {
        h.drive->settings["fw.reserve"] = c.reserve;
        rebuild();
        const qint64 before = sim().sectors();
        cut(c.head, c.zone);
        EXPECT_EQ(cutZones(), c.cut) << c.head << " " << c.zone;
        const qint64 lost = before - sim().sectors();
        EXPECT_EQ(h.lastLine(), hdd::capacityLossLine(lost)) << c.head << " " << c.zone;
        EXPECT_EQ(occurrences(h.wire(), "a6,0\r"), c.cut.size());
    }
}

// What the zone keys tell the window, in the order the checks come.
TEST_F(Zones, KeysTellTheirOutcome) {
    using S = hdd::Outcome::Status;
    using B = hdd::Outcome::By;
    const struct {
        const char* key;
        const char* zone;
        const char* setting;  // a zone fault of the drive, or the level it is held at
        S status;
        B by;
        QString reason;
    } cases[] = {
        {"Button23", "", "", S::Refused, B::Input, QStringLiteral("请指定磁头号和段号！")},
        {"Button23", "3", "1", S::Refused, B::Drive, hdd::kNotAtT},
        {"Button81", "3", "1", S::Refused, B::Drive, hdd::kNotAtT},
        {"Button23", "3", "zone.notLoaded", S::Refused, B::Drive, hdd::kNotLoadedCut},
        {"Button95", "3", "zone.notLoaded", S::Refused, B::Drive, hdd::kNotLoadedSave},
        {"Button23", "3", "zone.endCylBare", S::Failed, B::None, QStringLiteral("读取段位参数失败！")},
        {"Button23", "1F", "", S::Failed, B::None, hdd::kCuttingZones + "失败！"},
        {"Button23", "3", "", S::Done, B::None, ""},
        {"Button95", "3", "", S::Done, B::None, ""},
    };
    for (const auto& c : cases) {
        const bool level = QByteArray(c.setting).size() == 1;
        h.drive->faults.stuckLevel = level ? c.setting : "";
        h.drive->settings = {{c.setting, 1}};
        rebuild();
        h.form().userSetText("Edit25", "0");
        h.form().userSetText("Edit24", c.zone);
        h.press(c.key);
        const hdd::Outcome& o = h.model->lastOutcome();
        EXPECT_EQ(o.status, c.status) << c.key << c.setting;
        EXPECT_EQ(o.by, c.by) << c.key << c.setting;
        EXPECT_EQ(o.reason, c.reason) << c.key << c.setting;
    }
}

TEST(ZonePlan, SkipIsStrictAndTotalsAreSixtyFourBits) {
    const QList<QByteArray> table = lines(
        "Head 00\r\nZone 00 0000-03E7 512 x\r\nZone 01 03E8-07CF 512 x\r\nHead 01\r\nZone 00 0000-03E7 512 "
        "x");
    const struct {
        qint64 reserve;
        int cuts;
    } cases[] = {{-1, 3}, {0x0, 3}, {0x3E7, 3}, {0x100, 2}, {0x3E8, 3}, {0x400, 2}};
    for (const auto& c : cases) {
        const hdd::ZonePlan p = hdd::planZoneCuts(table, "", "", c.reserve);
        EXPECT_EQ(p.cuts.size(), c.cuts) << c.reserve;
        EXPECT_EQ(p.total, 512000 * c.cuts) << c.reserve;  // 1000 cylinders of 512 sectors each
    }
    // A product far beyond 32 bits is counted as it is.
    const hdd::ZonePlan big = hdd::planZoneCuts(lines("Head 00\r\nZone 00 0-FFFFFF 4000 x"), "00", "00", -1);
    EXPECT_EQ(big.total, qint64{0x1000000} * 4000);
    // One G is 10^9 bytes: 1953125 sectors exactly.
    EXPECT_TRUE(hdd::capacityLossLine(1953125).contains("(约1G)"));
    EXPECT_TRUE(hdd::capacityLossLine(1953124).contains("(约0G)"));
}

TEST_F(Zones, MissingInputIsRefusedBeforeAnythingIsSent) {
    const struct {
        const char* head;
        const char* zone;
        const char* message;
    } cases[] = {{"", "03", "请指定磁头号和段号！"},
                 {"01", " ", "请指定磁头号和段号！"},
                 {"FF", "FF", "磁头号和段号不能同时为FF！"}};
    for (const auto& c : cases) {
        EXPECT_EQ(cut(c.head, c.zone), "");
        EXPECT_EQ(h.frontend.shown, QStringList{QStringLiteral("message: ") + QString::fromUtf8(c.message)});
    }
    for (const auto& [head, zone, message] :
         {std::tuple{"1G", "03", "磁头号“1G”无效：应为一至两位十六进制数！"},
          std::tuple{"01", "103", "段号“103”无效：应为一至两位十六进制数！"}}) {
        h.form().setText("Edit25", head);  // past the key filters, as the CLI's --prefill puts them
        h.form().setText("Edit24", zone);
        EXPECT_EQ(press("Button23"), "");
        EXPECT_EQ(h.frontend.shown, QStringList{QStringLiteral("warning: ") + QString::fromUtf8(message)});
    }
    for (const auto& [lba, message] :
         {std::pair{"", "请指定LBA值！"}, std::pair{"12a", "请输入有效的数字！"}}) {
        h.form().setText("Edit26", lba);  // a text the key filter would not let in (the CLI's --prefill)
        EXPECT_EQ(press("Button70"), "");
        EXPECT_EQ(h.frontend.shown, QStringList{QStringLiteral("message: ") + message});
    }
    expectIdle();
}

TEST_F(Zones, ADriveThatIsNotReadyGetsTheClosingStepsOnly) {
    // No CERT.
    Harness fresh;
    fresh.open();
    fresh.clearWire();
    fresh.form().userSetText("Edit25", "0");
    fresh.form().userSetText("Edit24", "3");
    fresh.press("Button23");
    EXPECT_EQ(fresh.wire(), kGuard + kCert + kClosing);
    EXPECT_TRUE(fresh.consoleText().contains(QStringLiteral("请先加载Cert模块！(按^R加载Cert)")));

    // Zone information not loaded.
    h.drive->settings["zone.notLoaded"] = 1;
    rebuild();
    EXPECT_EQ(cut("0", "3"), kGuard + kCert + kParameters + kClosing);
    EXPECT_TRUE(hasLine("请先加载段位信息"));
    EXPECT_EQ(press("Button95"), kGuard + kCert + kParameters + kClosing);
    EXPECT_TRUE(hasLine("段位信息未加载！"));

    // Away from T level.
    h.drive->faults.stuckLevel = "1";
    const QByteArray wire = cut("0", "3");
    EXPECT_TRUE(wire.endsWith("/\r/\r" + kClosing));
    EXPECT_FALSE(wire.contains("r\r/"));
    EXPECT_TRUE(hasLine("错误: 请先切换至T级！"));
    EXPECT_TRUE(sim().sets.isEmpty());
    expectIdle();
}

TEST_F(Zones, ParameterAnswersDecideWhetherAndHowToCut) {
    const struct {
        const char* setting;
        bool cuts;
        QByteArray command;
    } cases[] = {{"zone.noEndCyl", true, "a6,0\r"},  // no "End Cyl:" line: loaded
                 {"zone.tabs", true, "a6,0\r"},      // values set off by tabs
                 {"zone.sptParam", true, "a5,0\r"},  // the drive's own parameter number
                 {"zone.endCylBare", false, ""}};    // no blank or tab after the value
    for (const auto& c : cases) {
        h.drive->settings = {{c.setting, QByteArray(c.setting) == "zone.sptParam" ? 5 : 1}};
        rebuild();
        const QByteArray wire = cut("0", "3");
        EXPECT_EQ(sim().sets.size(), c.cuts ? 1 : 0) << c.setting;
        if (c.cuts) {
            EXPECT_TRUE(wire.contains("/e\r" + c.command)) << c.setting;
            EXPECT_EQ(sim().heads[0][3].spt, 0) << c.setting;
        } else {
            EXPECT_FALSE(wire.contains("x\r")) << c.setting;
            EXPECT_TRUE(hasLine("读取段位参数失败！")) << c.setting;
        }
        expectIdle();
    }
}

TEST_F(Zones, ATableThatCannotBeReadCutsNothing) {
    for (const char* setting : {"zone.headText", "zone.sptBare"}) {
        h.drive->settings = {{setting, 1}};
        rebuild();
        const QByteArray wire = cut("FF", "3");
        EXPECT_TRUE(wire.endsWith("x\r" + kClosing)) << setting;
        EXPECT_TRUE(sim().sets.isEmpty()) << setting;
        EXPECT_TRUE(hasLine(hdd::kCuttingZones + "失败！")) << setting;
        EXPECT_TRUE(h.lastLine().startsWith("无法识别的段位信息：")) << setting;
        expectIdle();
    }
    // A zone the table does not have.
    h.drive->settings.clear();
    rebuild();
    cut("0", "1F");
    EXPECT_EQ(h.lastLine(), hdd::kCuttingZones + "失败！");
}

TEST_F(Zones, AnAbortStopsBetweenZonesAndReportsWhatWasCut) {
    const qint64 before = sim().sectors();
    auto done = std::make_shared<bool>(false);
    h.clock.addPoller([this, done] {
        if (*done || occurrences(h.wire(), "a6,0\r") < 2) return;
        *done = true;
        h.press("Button16");
    });
    cut("0", "FF");
    EXPECT_EQ(sim().sets.size(), 2);
    EXPECT_TRUE(hasLine("被用户中止！"));
    EXPECT_EQ(h.lastLine(), hdd::capacityLossLine(before - sim().sectors()));
    expectIdle();
}

TEST_F(Zones, ReloadReadsBackAndSaveWritesTheTable) {
    cut("0", "3");
    EXPECT_EQ(press("Button95"), kGuard + kCert + kParameters + "/\rl10\r" + kClosing);
    EXPECT_EQ(h.lastLine(), "段位信息保存完成！");
    EXPECT_EQ(sim().saves, 1);
    cut("0", "4");
    EXPECT_EQ(press("Button94"), kGuard + kCert + "/\rl1\r" + kClosing);
    EXPECT_EQ(h.lastLine(), "段位信息加载完成！");
    EXPECT_EQ(sim().heads[0][3].spt, 0);    // saved
    EXPECT_EQ(sim().heads[0][4].spt, 880);  // read back from the disk
    expectIdle();

    // Reload is how a drive whose zone information is not loaded gets it.
    h.drive->settings["zone.notLoaded"] = 1;
    rebuild();
    press("Button94");
    cut("0", "3");
    EXPECT_EQ(sim().sets.size(), 1);
}

TEST_F(Zones, ShowPutsTheTableInTheConsole) {
    EXPECT_EQ(press("Button81"), kGuard + "/2\rx\r/\r\r");
    h.idle(100);
    EXPECT_TRUE(hasLine("Head 01"));
    EXPECT_TRUE(hasLine("Zone 07 3820-3FFF 640 Trk 2016"));
    expectIdle();
    h.drive->faults.stuckLevel = "1";
    const QByteArray wire = press("Button81");
    EXPECT_FALSE(wire.contains("x\r"));
    EXPECT_FALSE(wire.endsWith("/\r\r"));  // nothing after the guard
    expectIdle();
}

TEST_F(Zones, LbaConversionAsksTheDriveAndShowsItsLine) {
    const struct {
        const char* lba;
        QByteArray command;
        quint64 value;
    } cases[] = {{"4660", "D,1234", 4660}, {"1000000", "DF,4240", 1000000}, {"0", "D,0", 0}};
    for (const auto& c : cases) {
        h.form().userSetText("Edit26", c.lba);
        EXPECT_EQ(press("Button70"), kGuard + kCert + "/A\r" + c.command + "\r" + kClosing);
        EXPECT_EQ(sim().conversions.last(), c.value);
        EXPECT_TRUE(h.consoleText().contains(
            "KBA " + QByteArray::number(c.value, 16).toUpper().rightJustified(8, '0') + " -> LLP Cyl"))
            << c.lba;
    }
    // Beyond the drive's end there is no KBA line to show.
    h.model->console().clear();
    h.form().userSetText("Edit26", "9999999999");
    press("Button70");
    EXPECT_TRUE(h.wire().contains("D2540B,E3FF\r"));
    EXPECT_FALSE(h.consoleText().contains("KBA"));
    expectIdle();
}

TEST(ZonesCli, CutConvertAndAFailedCut) {
    auto run = [](const QStringList& actions, QString& err, const QHash<QString, int>& settings = {}) {
        hdd::VirtualClock clock;
        QString out;
        QTextStream o(&out), e(&err);
        const int status = hdd::runCli(QStringList{"--port", "sim", "run", "Button2", "WAIT:300"} + actions,
                                       o, e, clock, [&](hdd::MainModel& m) {
                                           m.port().setSystemPortLister([] { return QStringList(); });
                                           hddtest::simDrive(m).settings = settings;
                                       });
        e.flush();
        return status;
    };
    QString err;
    EXPECT_EQ(
        run({"SET:Edit25=ff", "SET:Edit24=3", "Button23", "SET:Edit26=4660", "Button70", "Button95"}, err), 0)
        << qPrintable(err);
    EXPECT_TRUE(err.contains("硬盘容量共减少3932160扇区(约2G)")) << qPrintable(err);
    EXPECT_TRUE(err.contains("KBA 00001234 -> LLP Cyl")) << qPrintable(err);
    EXPECT_TRUE(err.contains("段位信息保存完成！")) << qPrintable(err);
    err.clear();
    EXPECT_EQ(run({"SET:Edit25=0", "SET:Edit24=3", "Button23"}, err, {{"zone.sptBare", 1}}), 1)
        << qPrintable(err);
    // A drive whose zone information is not loaded refuses the cut and the save: the run fails.
    for (const char* key : {"Button23", "Button95"}) {
        err.clear();
        EXPECT_EQ(run({"SET:Edit25=0", "SET:Edit24=3", key}, err, {{"zone.notLoaded", 1}}), 1)
            << qPrintable(err);
    }
    err.clear();
    EXPECT_EQ(run({"SET:Edit25=0G"}, err), 2);  // the head field takes 0-9 and F only
}

TEST(ZoneParsers, GarbageNeverCrashesAndNeverCutsFromAnUnreadLine) {
    const QByteArray seeds[] = {
        "x\r\nUser: 00000000-0003FFFF\r\nHead 00\r\nZone 00 0000-07FF 1200 Trk 2048\r\nZone 01 0800-0FFF "
        "1120 "
        "Trk 2048\r\nHead 01\r\nZone 00 0000-081F 1200 Trk 2080\r\n2>",
        "a0\r\nZone 03 Hd 00 Cyl 1000\r\n0 Zone Num: 0003 (3)\r\n2 End Cyl: 17FF (6143)\r\n6 Secs Per Trk: "
        "0410 "
        "(1040)\r\nE>"};
    std::mt19937 rng(1313);
    for (const QByteArray& seed : seeds) {
        for (int i = 0; i < 400; ++i) {
            QByteArray m = seed;
            for (int k = 0, n = 1 + static_cast<int>(rng() % 5); k < n; ++k) {
                const qsizetype at = static_cast<qsizetype>(rng() % static_cast<unsigned>(m.size()));
                switch (rng() % 3) {
                    case 0:
                        m[at] = static_cast<char>(rng());
                        break;
                    case 1:
                        m.remove(at, static_cast<qsizetype>(rng() % 8));
                        break;
                    default:
                        m.insert(at, m.mid(at, static_cast<qsizetype>(rng() % 40)));
                        break;
                }
                if (m.isEmpty()) m = seed;
            }
            const auto all = hdd::splitLines(m);
            hdd::parseZoneParameters(all);
            const hdd::ZonePlan p = hdd::planZoneCuts(all, "", "", static_cast<qint64>(rng() % 0x900) - 1);
            if (!p.readable()) {
                EXPECT_TRUE(p.cuts.isEmpty());
            }
            for (const hdd::ZoneCut& c : p.cuts) EXPECT_TRUE(hdd::parseHex(c.first) && hdd::parseHex(c.head));
        }
    }
}

}  // namespace
