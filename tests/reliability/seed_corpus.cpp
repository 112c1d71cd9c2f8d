// The seed corpora of the fuzz targets, made from the simulated drive's real answers.
//
// Run with HDDTERM_WRITE_SEEDS set to the fuzz/corpus folder to write them again (the files are
// kept in the repository); without it the test only checks that every seed it would write is
// already there, so a target whose seeds were never made is noticed.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <map>

#include "builtin_scripts.h"
#include "download.h"
#include "family_table.h"
#include "firmware_model.h"
#include "fuzz_entries.h"
#include "reliability_support.h"

using namespace hddtest;

namespace {

using Seeds = std::map<std::string, std::map<QString, QByteArray>>;

// Records the chunks the dispatcher handles while everything is captured.
struct ChunkRecorder {
    explicit ChunkRecorder(hdd::Dialogue& d) : d(d) {
        conn = QObject::connect(&d, &hdd::Dialogue::countersChanged, [this] {
            if (this->d.RxTotal == rx) return;
            rx = this->d.RxTotal;
            chunks << this->d.CaptureBuffer.mid(seen);
            seen = this->d.CaptureBuffer.size();
        });
    }
    ~ChunkRecorder() { QObject::disconnect(conn); }
    // The chunks in the dispatcher target's encoding, in the given receive mode (0 to 3).
    QByteArray encoded(int mode) const {
        QByteArray out;
        for (QByteArray c : chunks) {
            while (!c.isEmpty()) {
                const qsizetype n = qMin<qsizetype>(c.size(), 31);
                out += static_cast<char>(mode << 5 | n);
                out += c.left(n);
                c.remove(0, n);
            }
        }
        return out;
    }
    hdd::Dialogue& d;
    QMetaObject::Connection conn;
    QList<QByteArray> chunks;
    qint32 rx = d.RxTotal;
    qsizetype seen = d.CaptureBuffer.size();
};

// The capture of one command's answer.
QByteArray answer(Harness& h, const QByteArray& command, int wait = 1500) {
    hdd::Dialogue& d = h.dlg();
    d.ReceiveMode = hdd::kSysCmd;
    d.CaptureBuffer.clear();
    d.SendString(command);
    d.WaitHD(wait);
    h.idle(50);
    const QByteArray a = d.CaptureBuffer;
    d.CaptureBuffer.clear();
    return a;
}

Seeds makeSeeds() {
    Seeds s;
    {
        Harness h;
        h.open();
        hdd::Dialogue& d = h.dlg();
        {
            ChunkRecorder rec(d);
            s["buffer"]["T_question"] = answer(h, "?\r");
            s["dispatcher"]["T_question"] = rec.encoded(1);
        }
        s["identification"]["ctrl_a"] = answer(h, "\x01", 5);
        s["identification"]["ctrl_l"] = answer(h, "\x0c", 5);
        s["module_address"]["r_not_loaded"] = answer(h, "r\r");
        s["reserve"]["percent"] = answer(h, "%\r");
        answer(h, "/2\r");
        s["buffer"]["B0_level2"] = answer(h, "B0\r");
        s["reserve"]["x"] = answer(h, "x\r");
        // The zone table follows the cylinder map; the fields FF/FF, 01/03 and 0/FF pick its zones.
        s["zone_table"]["all"] = QByteArray("\0\0\2", 3) + s["reserve"]["x"];
        s["zone_table"]["head01_zone0A"] = QByteArray("\2\3\2", 3) + s["reserve"]["x"];
        s["zone_table"]["head0_all"] = QByteArray("\1\0\1", 3) + s["reserve"]["x"];
        answer(h, "S1800,0\r");
        answer(h, "/E\r");
        s["zone_parameters"]["a0"] = answer(h, "a0\r");
        answer(h, "/2\r");
        {
            ChunkRecorder rec(d);
            const QByteArray block = answer(h, "B800,800\r");
            s["dump"]["block800"] = block;
            s["dispatcher"]["dump_usercmd"] = rec.encoded(0);
            s["dispatcher"]["dump_rdata"] = rec.encoded(2);
        }
        // The track readers carry the address on from one block to the next.
        s["dump"]["block801_continued"] = "@100200\n" + answer(h, "B801,801\r");
        s["dump"]["blocks_two"] = answer(h, "B7FF,800\r");
        answer(h, "/\r");
        {
            // A one-block download: the acknowledgements and handshakes as the drive sends them.
            ChunkRecorder rec(d);
            d.ReceiveMode = hdd::kSysCmd;
            d.SendString("dA00\r");
            d.PumpWait(5);
            hdd::SendImage(d, QByteArray(512, '\x5A'), 512);
            d.SendString("\r");
            d.WaitHD(100);
            s["dispatcher"]["download"] = rec.encoded(3);
        }
        h.drive->settings["fw.certLoaded"] = 1;
        s["module_address"]["r_loaded"] = answer(h, "r\r");
        s["module_address"]["y_long"] = answer(h, "y\r");
        h.drive->settings["fw.yStyle"] = 1;
        h.drive->settings["fw.appCopies"] = 4;
        s["module_address"]["y_short_four_copies"] = answer(h, "y\r");
        answer(h, "/1\r");
        s["buffer"]["B0_level1"] = answer(h, "B0\r");
        answer(h, "/\r");
        h.drive->settings["fw.xStyle"] = 1;
        answer(h, "/2\r");
        s["reserve"]["x_sys_style"] = answer(h, "x\r");
        answer(h, "/\r");
        {
            // What the backup reads: the ATA overlay (with its markers) and the Vendor module.
            const hddsim::FirmwareFamily& f = hddsim::firmwareFamilies()[0];
            s["backup_files"]["ata"] = sectors(h, 0x2A0 + f.ata.offset, f.ata.head, f.ata.start, f.ata.count);
            s["backup_files"]["vendor"] =
                sectors(h, 0x2A0 + f.ven.offset, f.ven.head, f.ven.start, f.ven.count);
            s["backup_files"]["percent"] = s["reserve"]["percent"];
        }
        for (int family : {0, 3, 8}) {
            h.drive->settings["fw.family"] = family;
            const QString name = QStringLiteral("family%1").arg(family);
            s["identification"][name] = answer(h, "\x01", 5) + answer(h, "\x0c", 5) + answer(h, "\r", 100);
        }
    }
    {
        // The serial ROM at F level: byte reads ("=" answers) and a page of its buffer copy.
        Harness h;
        h.open();
        h.drive->level = "F";
        answer(h, "e5\r");
        s["rom_equals"]["one_byte"] = answer(h, "e2,0,0\r");
        QByteArray window;
        for (int a = 0x140; a < 0x170; ++a)
            window += answer(h, "e2," + QByteArray::number(a, 16).toUpper() + ",0\r");
        s["rom_equals"]["fixup_window"] = window;
        answer(h, "e4,200,1,0\r");
        s["dump"]["rom_page0"] = answer(h, "B0,0\r");
    }
    const QByteArray table = hdd::builtInFamilyTable();
    s["family_table"]["built_in"] = table;
    s["family_table"]["edge_cases"] =
        "APP=1 2 3\r\n[Tonka]\r\napp=16 0 1a0 60\r\nAPP = 1\r\n[ABC\r\n[ABC] \r\nCERT0=64 0 280 66 0 188\r\n"
        "CERT1=64 0 DF\r\nTABLE=66 DF 15\r\nATA=68 0 7A\r\nVEN=6C 0 12\r\n[EMPTY]\r\n\r\n";
    for (const hdd::BuiltinScript& b : hdd::builtinScripts())
        s["script_line"][b.key] = hdd::toGbk(b.lines.join(QStringLiteral("\r\n")) + "\r\n");
    s["script_line"]["every_keyword"] =
        "ECHO/x\r\nLEVEL/2\r\nSLEEP/5\r\nSPEED/230000\r\nBAUDRATE/115200\r\nSTR/e5\r\nHEX/1FF\r\nDEC/26\r\n"
        "SEND_FILE/512/a.bin\r\nR_SECTORS/1A/0/800/80/0/10/t.trc\r\nW_SECTORS/1A,1B/0/A00/80/0/10/t.trc\r\n"
        "R_BUF/4A0/30/b.bin\r\nW_BUF/4BD/10/b.bin\r\nCREAT_FILE/a/1/2//0/0/c\r\necho/lower\r\nSTR /x\r\n"
        "R_BUF/zz/1/b\r\nR_BUF/1\r\n";
    return s;
}

TEST(SeedCorpus, EveryTargetHasTheSeedsOfTheSimulatedDrive) {
    const Seeds seeds = makeSeeds();
    const QByteArray out = qgetenv("HDDTERM_WRITE_SEEDS");
    for (const hddfuzz::Target& t : hddfuzz::targets()) {
        ASSERT_TRUE(seeds.count(t.name)) << "no seeds for the target " << t.name;
        for (const auto& [name, bytes] : seeds.at(t.name)) {
            EXPECT_FALSE(bytes.isEmpty()) << t.name << "/" << name.toStdString();
            const QString path = QString::fromLatin1(out.isEmpty() ? QByteArray(HDDTERM_FUZZ_CORPUS) : out) +
                                 "/" + t.name + "/" + name;
            if (!out.isEmpty()) {
                QDir().mkpath(QFileInfo(path).path());
                writeFile(path, bytes);
            }
            EXPECT_TRUE(QFile::exists(path))
                << qPrintable(path) << " (HDDTERM_WRITE_SEEDS=fuzz/corpus writes it)";
        }
    }
}

}  // namespace
