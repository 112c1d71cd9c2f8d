#include "fuzz_entries.h"

#include <cstdio>
#include <cstdlib>

#include "address.h"
#include "backup.h"
#include "buffer_info.h"
#include "dialogue.h"
#include "download.h"
#include "dump.h"
#include "family_table.h"
#include "firmware_id.h"
#include "rom.h"
#include "script_file.h"
#include "script_line.h"
#include "text.h"
#include "zones.h"

namespace hddfuzz {

namespace {

std::function<void(const std::string&)>& handler() {
    static std::function<void(const std::string&)> h;
    return h;
}

// An address field as the parsers leave it: empty, or normalised hexadecimal below 80000000.
bool isAddressField(const QString& f) {
    if (f.isEmpty()) return true;
    const auto v = hdd::parseHex(f);
    return v && *v <= 0x7FFFFFFFu && hdd::toHexText(*v) == f;
}

// A buffer size as the drive wrote it, without leading zeros: empty, or a hexadecimal number.
bool isSizeField(const QString& f) { return f.isEmpty() || (hdd::parseHex(f) && !f.startsWith('0')); }

// --- the receive dispatcher ---

bool isAck(const QByteArray& c) { return c == "w\x88" || c == "w" || c == "\x88"; }

// The input is a run of chunks, each led by one control byte: its upper three bits say what
// happens before the chunk is dispatched (0-3: the receive mode becomes "usercmd", "syscmd",
// "R_DATA" or empty; 4: a wait begins and clears the prompt; 5: a wait clears the acknowledgement
// and the handshake; 6: auto-clear is switched over; 7: the chunk is long), its lower five bits
// the chunk's length (times 64 for a long chunk).
void dispatcher(const QByteArray& in) {
    static hdd::SerialPort port;
    static hdd::VirtualClock clock;
    static hdd::SilentHost host;
    hdd::Dialogue d(port, clock, host);
    d.ReceiveMode = hdd::kUserCmd;
    const QByteArray modes[] = {hdd::kUserCmd, hdd::kSysCmd, hdd::kRData, QByteArray()};
    QByteArray capture;
    qint64 rx = 0;
    qsizetype i = 0;
    while (i < in.size()) {
        const auto c = static_cast<unsigned char>(in[i++]);
        const int op = c >> 5;
        qsizetype len = c & 0x1F;
        if (op < 4) d.ReceiveMode = modes[op];
        if (op == 4) {
            d.LastPrompt.clear();
            d.PromptBuffer.clear();
        }
        if (op == 5) {
            d.BlockAck.clear();
            d.Handshake.clear();
        }
        if (op == 6) d.console().setAutoClear(!d.console().autoClear());
        if (op == 7) len *= 64;
        const QByteArray chunk = in.mid(i, len);
        i += len;

        const QByteArray promptBefore = d.LastPrompt;
        const QByteArray ackBefore = d.BlockAck;
        const QByteArray shakeBefore = d.Handshake;
        d.dispatch(chunk);
        rx += chunk.size();
        if (d.ReceiveMode == hdd::kSysCmd || d.ReceiveMode == hdd::kRData) capture += hdd::cutAtNul(chunk);

        HDDFUZZ_CHECK(d.LastPrompt.size() <= 2);
        HDDFUZZ_CHECK(d.LastPrompt.isEmpty() || d.LastPrompt.endsWith('>'));
        // Once a prompt is seen, later ones are ignored until a wait clears it.
        HDDFUZZ_CHECK(promptBefore.isEmpty() || d.LastPrompt == promptBefore);
        // The prompt buffer is cut down to one line after every chunk.
        HDDFUZZ_CHECK(!d.LastPrompt.isEmpty() || hdd::splitLines(d.PromptBuffer).size() <= 1);
        HDDFUZZ_CHECK(d.BlockAck == (isAck(chunk) ? QByteArray("OK") : ackBefore));
        const QByteArray shake = chunk == "\x06" ? "OK" : chunk == "\x15" ? "ER" : shakeBefore;
        HDDFUZZ_CHECK(d.Handshake == shake);
        HDDFUZZ_CHECK(d.CaptureBuffer == capture);
        HDDFUZZ_CHECK(d.RxTotal == static_cast<qint32>(rx));
    }
    hdd::Console& console = d.console();
    for (int l = 0; l < console.lineCount(); ++l) HDDFUZZ_CHECK(console.line(l).size() <= 110);
    for (const QByteArray& l : console.rawLines()) HDDFUZZ_CHECK(!l.contains('\0'));
}

// --- the dump ---

// An input beginning "@" carries the expected address on its first line (as the track readers
// carry it from one block to the next); the rest is the capture.
void dump(const QByteArray& in) {
    QByteArray capture = in;
    QByteArray expected;
    if (in.startsWith('@')) {
        const qsizetype nl = in.indexOf('\n');
        expected = in.mid(1, nl < 0 ? -1 : nl - 1);
        capture = nl < 0 ? QByteArray() : in.mid(nl + 1);
    }
    const QByteArray given = expected;
    const hdd::DumpParse p = hdd::ParseDump(capture, expected);
    HDDFUZZ_CHECK(p.lines >= 0 && p.lines <= hdd::kDumpLines);
    HDDFUZZ_CHECK(p.header || p.lines == 0);
    if (!p.dataError) {
        // Only whole lines are taken.
        HDDFUZZ_CHECK(p.bytes.size() == qsizetype{p.lines} * hdd::kDumpLineBytes);
    }
    if (p.complete()) HDDFUZZ_CHECK(p.bytes.size() == 512);
    if (p.lines > 0 && !p.dataError) {
        // The next expected address is the last taken line's plus 0x20, upper case, six digits or more.
        HDDFUZZ_CHECK(expected.size() >= 6);
        HDDFUZZ_CHECK(hdd::parseHex(expected).has_value());
        HDDFUZZ_CHECK(expected == expected.toUpper());
    }
    // The parse is a function of its input.
    QByteArray again = given;
    const hdd::DumpParse q = hdd::ParseDump(capture, again);
    HDDFUZZ_CHECK(q.bytes == p.bytes && q.lines == p.lines && q.dataError == p.dataError &&
                  again == expected);
}

// --- the buffer answers ---

void buffer(const QByteArray& in) {
    const QList<QByteArray> lines = hdd::splitLines(in);
    for (const hdd::BufferFields& f : {hdd::parseBufferAnswerT(lines), hdd::parseBufferAnswerB0(lines)}) {
        HDDFUZZ_CHECK(isAddressField(f.rd) && isAddressField(f.wr));
        HDDFUZZ_CHECK(isSizeField(f.rdSize) && isSizeField(f.wrSize));
    }
    // The download's framing helper takes any text.
    const QByteArray bytes = hdd::HexToBytes(in);
    HDDFUZZ_CHECK(bytes.size() <= in.size());
    const auto n = hdd::normaliseAddress(in);
    HDDFUZZ_CHECK(!n || isAddressField(*n));
}

// --- the reserve area ---

void reserve(const QByteArray& in) {
    const QList<QByteArray> lines = hdd::splitLines(in);
    const hdd::ReserveFields r = hdd::parseReserveAnswer(lines);
    HDDFUZZ_CHECK(isAddressField(r.first) && isAddressField(r.last));
    // Sectors per track: a number other than 0, or empty.
    if (!r.spt.isEmpty()) {
        const auto v = hdd::parseHex(r.spt);
        HDDFUZZ_CHECK(v && *v > 0 && *v <= 0x7FFFFFFFu);
    }
    HDDFUZZ_CHECK(isAddressField(hdd::parseReserveStartPercent(lines)));
    HDDFUZZ_CHECK(isAddressField(hdd::parseReserveStartX(lines)));
}

// --- the module cylinders ---

void moduleAddress(const QByteArray& in) {
    const QList<QByteArray> lines = hdd::splitLines(in);
    const hdd::ModuleFields f = hdd::parseModuleAnswer(lines);
    if (!f.app.isEmpty()) {
        for (const QString& copy : f.app.split(',')) HDDFUZZ_CHECK(!copy.isEmpty() && isAddressField(copy));
    }
    HDDFUZZ_CHECK(isAddressField(f.cert0) && isAddressField(f.ata) && isAddressField(f.ven));
    hdd::showsCertLoaded(lines);
}

// --- the identification ---

void identification(const QByteArray& in) {
    static const hdd::FamilyTable builtIn = hdd::parseFamilyTable(hdd::builtInFamilyTable());
    static const QStringList names = builtIn.names();
    const hdd::FirmwareId id = hdd::parseFirmwareId(hdd::splitLines(in));
    for (bool xxx : {false, true}) {
        const QStringList candidates = hdd::familyCandidates(id, xxx);
        // A family whose bytes decode to nothing (a lone lead byte of a double-byte character) names
        // no candidate.
        HDDFUZZ_CHECK(hdd::fromGbk(id.family).isEmpty() == candidates.isEmpty());
        const auto match = hdd::MatchFamily(names, id, xxx);
        if (match) {
            HDDFUZZ_CHECK(*match >= 0 && *match < names.size());
            bool contains = false;
            for (const QString& c : candidates) contains = contains || names[*match].contains(c);
            HDDFUZZ_CHECK(contains);
        }
    }
}

// --- HDDINFO.TXT ---

void familyTable(const QByteArray& in) {
    const hdd::FamilyTable t = hdd::parseFamilyTable(in);
    HDDFUZZ_CHECK(t.count >= 0 && t.count <= hdd::FamilyTable::kSlots);
    HDDFUZZ_CHECK(t.dropped == 0 || t.count == hdd::FamilyTable::kSlots);
    int sections = 0;
    for (const QByteArray& l : hdd::splitLines(in)) sections += hdd::trimmed(l).startsWith('[');
    HDDFUZZ_CHECK(t.count + t.dropped == sections);
    const QStringList names = t.names();
    HDDFUZZ_CHECK(names.size() == t.count);
    for (int n = 1; n <= t.count; ++n) {
        const hdd::FamilyEntry& e = t.entry(n);
        HDDFUZZ_CHECK(hdd::upperAscii(e.name) == e.name);
        for (quint32 base : {0x2A0u, 0x7FFFFFF0u}) {
            const hdd::ModuleAddresses a = hdd::moduleAddresses(e, base);
            for (const QString* f : {&a.app, &a.cert0, &a.cert1, &a.table, &a.ata, &a.ven})
                HDDFUZZ_CHECK(isAddressField(*f));
            HDDFUZZ_CHECK(a.cert1.isEmpty() == a.cert1Head.isEmpty());
        }
    }
    // The analysis looks a drive's names up in such a table.
    if (t.count > 0) {
        hdd::FirmwareId id;
        id.family = t.entry(1).name.left(12);
        id.version = "3.AAC";
        const auto m = hdd::MatchFamily(names, id, true);
        HDDFUZZ_CHECK(!m || (*m >= 0 && *m < t.count));
    }
}

// --- script lines ---

void scriptLines(const QByteArray& in) {
    const QString text = hdd::decodeScript(in);
    for (const QString& line : text.split('\n')) {
        const hdd::ScriptStep s = hdd::ParseScriptLine(line);
        HDDFUZZ_CHECK(s.line == hdd::trimBlanks(line));
        switch (s.op) {
            case hdd::ScriptOp::Skip:
                HDDFUZZ_CHECK(s.line.isEmpty() || s.line.startsWith('/'));
                break;
            case hdd::ScriptOp::Show:
                HDDFUZZ_CHECK(!s.line.contains('/'));
                break;
            case hdd::ScriptOp::Invalid:
                HDDFUZZ_CHECK(s.error.startsWith(QStringLiteral("错误")));
                break;
            case hdd::ScriptOp::Hex:
            case hdd::ScriptOp::Dec:
                HDDFUZZ_CHECK(s.number >= 0 && s.number <= 255);
                break;
            case hdd::ScriptOp::SendFile:
                HDDFUZZ_CHECK(s.number > 0 && !hdd::trimBlanks(s.file).isEmpty());
                break;
            case hdd::ScriptOp::ReadSectors:
            case hdd::ScriptOp::WriteSectors:
            case hdd::ScriptOp::CreatFile:
                HDDFUZZ_CHECK(s.fields.size() == 6 && !s.file.isEmpty());
                break;
            case hdd::ScriptOp::ReadBuf:
            case hdd::ScriptOp::WriteBuf:
                HDDFUZZ_CHECK(s.fields.size() == 2 && !hdd::trimBlanks(s.file).isEmpty());
                for (const QString& f : s.fields) HDDFUZZ_CHECK(hdd::scriptHex(f).has_value());
                break;
            default:
                break;
        }
    }
    // What is loaded can be saved again, or is refused as a whole.
    hdd::encodeScript(text);
}

// --- the serial ROM's "=" answers ---

void romEquals(const QByteArray& in) {
    const hdd::EqualsParse p = hdd::ParseEqualsLines(in);
    int equalsLines = 0;
    for (const QByteArray& l : hdd::splitLines(in)) equalsLines += l.startsWith('=');
    // One byte per "=" line, until the first one that does not parse.
    HDDFUZZ_CHECK(p.dataError ? p.bytes.size() < equalsLines : p.bytes.size() == equalsLines);
    hdd::romMarksValid(in);
    hdd::romMarksValid(in.leftJustified(hdd::kRomSize, '\xFF', true));
}

// --- what the backup makes of the modules it read ---

void backupFiles(const QByteArray& in) {
    // The start marker, found the plain way: the first sector from byte 25600 on that begins with it.
    qsizetype m = -1;
    for (qsizetype off = 25600; m < 0 && off + 4 <= in.size(); off += 512) {
        if (in.mid(off, 4) == QByteArray::fromHex("00001600")) m = off;
    }
    const auto parts = hdd::splitAtaImage(in);
    HDDFUZZ_CHECK(parts.has_value() == (m >= 0));
    if (parts) {
        // The first part is the image up to the start marker, or less, cut at a sector's end; the
        // second begins at the marker and ends at a sector's end or with the image.
        HDDFUZZ_CHECK(parts->part0.size() >= 1 && parts->part0.size() <= m && in.startsWith(parts->part0));
        HDDFUZZ_CHECK(parts->part0.size() == m || parts->part0.size() % 512 == 0);
        HDDFUZZ_CHECK(in.mid(m, parts->part1.size()) == parts->part1);
        HDDFUZZ_CHECK((m + parts->part1.size()) % 512 == 0 || m + parts->part1.size() == in.size());
    }
    for (qsizetype from : {qsizetype{-1}, qsizetype{0}, in.size() / 2, in.size()}) {
        const qsizetype at = hdd::FindPattern(in, from, "FF00");
        HDDFUZZ_CHECK(at == -1 || (at >= from && at + 2 <= in.size()));
    }
    const QByteArray serial = hdd::vendorSerialLine(in);
    HDDFUZZ_CHECK(serial.size() <= 30);
    const QByteArray ax = hdd::percentAxLine(hdd::splitLines(in));
    HDDFUZZ_CHECK(ax.size() <= in.size() && !ax.contains('\n') && !ax.contains('\r'));
}

// --- the zone table and the zone parameters ---

// The first three bytes choose the head and zone fields and the reserve area's first cylinder;
// the rest is the answer to "x" at level 2.
void zoneTable(const QByteArray& in) {
    static const char* const heads[] = {"FF", "0", "01", "A"};
    static const qint64 reserves[] = {-1, 0, 0x2A0, 0x1800};
    const auto pick = [&in](int i) { return i < in.size() ? static_cast<unsigned char>(in[i]) % 4 : 0; };
    const QByteArray head = hdd::zoneSelector(QString::fromLatin1(heads[pick(0)]));
    const QByteArray zone = hdd::zoneSelector(QString::fromLatin1(heads[pick(1)]));
    const hdd::ZonePlan plan = hdd::planZoneCuts(hdd::splitLines(in.mid(3)), head, zone, reserves[pick(2)]);
    if (!plan.readable()) {
        HDDFUZZ_CHECK(plan.cuts.isEmpty() && plan.total == 0);
        return;
    }
    qint64 sum = 0;
    for (const hdd::ZoneCut& c : plan.cuts) {
        // Every cut is a zone of the table with a size that can be reported.
        HDDFUZZ_CHECK(c.sectors >= 0);
        HDDFUZZ_CHECK(hdd::parseHex(c.first).has_value() && hdd::parseHex(c.head).has_value());
        sum += c.sectors;
    }
    HDDFUZZ_CHECK(sum == plan.total);
    hdd::capacityLossLine(plan.total);
}

void zoneParameters(const QByteArray& in) {
    const auto p = hdd::parseZoneParameters(hdd::splitLines(in));
    // The parameter number goes into the cut command ("a" + number + ",0"): one digit.
    if (p) HDDFUZZ_CHECK(p->sptParameter.size() == 1 && hdd::parseHex(p->sptParameter).has_value());
    hdd::lbaCommand(QString::fromLatin1(in.left(24)));
}

}  // namespace

const std::vector<Target>& targets() {
    static const std::vector<Target> t = {
        {"dispatcher", dispatcher},
        {"dump", dump},
        {"buffer", buffer},
        {"reserve", reserve},
        {"module_address", moduleAddress},
        {"identification", identification},
        {"family_table", familyTable},
        {"script_line", scriptLines},
        {"rom_equals", romEquals},
        {"backup_files", backupFiles},
        {"zone_table", zoneTable},
        {"zone_parameters", zoneParameters},
    };
    return t;
}

const Target* findTarget(const std::string& name) {
    for (const Target& t : targets()) {
        if (name == t.name) return &t;
    }
    return nullptr;
}

void setFailureHandler(std::function<void(const std::string&)> h) { handler() = std::move(h); }

void fail(const std::string& why) {
    if (handler()) {
        handler()(why);
        return;
    }
    std::fprintf(stderr, "invariant broken: %s\n", why.c_str());
    std::abort();
}

}  // namespace hddfuzz
