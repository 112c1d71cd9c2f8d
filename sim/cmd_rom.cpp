// The serial ROM of the simulated drive, at the F level.
//
//   "e5"             switches the ROM on ("Serial ROM on")
//   "e6"             switches it off and ends programming ("Serial ROM off")
//   "e9"             enables programming ("Serial ROM write enabled")
//   "e4,200,1,0"     copies the ROM into buffer memory blocks 0-7F (needs "e5"); the running drive
//                    patches bytes 0x140-0x16F of that copy, so only the ROM itself holds them
//   "B<i>,<i>"       dumps buffer blocks as at level 2 (the ROM's pages after "e4")
//   "e2,<addr>,0"    answers the ROM byte as a line "=XX" (needs "e5")
//   "e1,<addr>,<byte>,0"  programs one byte (needs "e9")
//   "d<entry>,0"     opens a download of 512-byte blocks into buffer memory at block <entry>
//                    ("d400,0", "d800,0"); the finished image is kept for "e3"
//   "e3,200,1,0"     programs the ROM with the last downloaded image (needs "e5" and "e9")
// A restart switches the ROM off and ends programming. Other "d" and "e" forms are left to the
// loader's commands.
//
// Settings (hddsim --set KEY=VALUE, decimal):
//   rom.seed=N        the ROM's content (default 1)
//   rom.badmarks=1    the last four ROM bytes are all 0xFF, so the validity marks fail
//   rom.lostline=P    the dump of ROM page P loses one line (default -1: none)
//   rom.noequals=A    "e2" of address A answers without its "=" line (default -1)
//   rom.badequals=A   "e2" of address A answers "=" with noise instead of digits (default -1)
//   rom.silente1=A    "e1" of address A gets no answer at all (default -1)
//   rom.silente3=1    "e3" gets no answer
#include <random>

#include "buffer_memory.h"
#include "drive.h"
#include "serial_rom.h"
#include "service_state.h"

namespace hddsim {

namespace {

// The ROM made from the settings when first used; a restart leaves it switched off and protected.
SerialRom& readyRom(Drive& d, SerialRom& rom, const ServiceState& service) {
    if (rom.bytes.isEmpty()) {
        rom.bytes = romImage(d.setting(QStringLiteral("rom.seed"), 1),
                             d.setting(QStringLiteral("rom.badmarks")) != 0);
        rom.restartsSeen = service.restarts;
    }
    if (service.restarts != rom.restartsSeen) {
        rom.restartsSeen = service.restarts;
        rom.on = rom.writable = false;
    }
    return rom;
}

std::optional<quint32> hexArg(QByteArrayView text) {
    if (text.isEmpty() || text.size() > 8) return std::nullopt;
    quint32 v = 0;
    for (char c : text) {
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                 : -1;
        if (digit < 0) return std::nullopt;
        v = v << 4 | static_cast<quint32>(digit);
    }
    return v;
}

QByteArray hex2(quint32 v) {
    static const char digits[] = "0123456789ABCDEF";
    const char pair[2] = {digits[(v >> 4) & 0xF], digits[v & 0xF]};
    return QByteArray(pair, 2);
}

// The n hexadecimal arguments after a two-letter command ("e2,140,0" -> 140, 0); false when there
// are not exactly n or one is no number. Byte reads come 65536 at a time: nothing is allocated here.
bool args(QByteArrayView line, int n, quint32* out) {
    if (line.size() < 3 || line[2] != ',') return false;
    qsizetype from = 3;
    for (int i = 0; i < n; ++i) {
        qsizetype to = from;
        while (to < line.size() && line[to] != ',') ++to;
        if ((to < line.size()) != (i + 1 < n)) return false;
        const auto v = hexArg(line.sliced(from, to - from));
        if (!v) return false;
        out[i] = *v;
        from = to + 1;
    }
    return true;
}

bool answer(Drive& d, const QByteArray& text) {
    d.printLine(text);
    d.prompt();
    return true;
}

bool copyToBuffer(Drive& d, SerialRom& rom) {
    if (!rom.on) return answer(d, "Serial ROM not enabled");
    QByteArray copy = rom.bytes;
    for (qsizetype a = SerialRom::kPatchFirst; a < SerialRom::kPatchEnd; ++a)
        copy[a] = static_cast<char>(copy[a] ^ 0xA5);
    d.state<BufferMemory>().bytes.replace(0, copy.size(), copy);
    d.pause(300'000);
    return answer(d, "ROM -> buffer: 10000 bytes");
}

bool program(Drive& d, SerialRom& rom) {
    if (!rom.on) return answer(d, "Serial ROM not enabled");
    if (!rom.writable) return answer(d, "Serial ROM write protected");
    if (rom.staged.isEmpty()) return answer(d, "No image downloaded");
    if (d.setting(QStringLiteral("rom.silente3"))) return true;
    const qsizetype n = std::min(rom.staged.size(), SerialRom::kSize);
    rom.bytes.replace(0, n, rom.staged.left(n));
    ++rom.programRuns;
    d.pause(800'000);
    return answer(d, "Buffer -> ROM: " + QByteArray::number(n, 16).toUpper() + " bytes programmed");
}

bool readByte(Drive& d, SerialRom& rom, quint32 address) {
    if (!rom.on) return answer(d, "Serial ROM not enabled");
    if (address >= SerialRom::kSize) return answer(d, "Address Out Of Range");
    const int a = static_cast<int>(address);
    if (d.setting(QStringLiteral("rom.noequals"), -1) == a) {
        d.prompt();
        return true;
    }
    if (d.setting(QStringLiteral("rom.badequals"), -1) == a)
        return answer(d, "=" + QByteArray(2, Drive::garble('0')));
    return answer(d, "=" + hex2(static_cast<unsigned char>(rom.bytes[a])));
}

bool writeByte(Drive& d, SerialRom& rom, quint32 address, quint32 value) {
    if (!rom.writable) return answer(d, "Serial ROM write protected");
    if (address >= SerialRom::kSize || value > 0xFF) return answer(d, "Address Out Of Range");
    if (d.setting(QStringLiteral("rom.silente1"), -1) == static_cast<int>(address)) return true;
    rom.bytes[address] = static_cast<char>(value);
    ++rom.bytesWritten;
    d.prompt();
    return true;
}

bool openDownload(Drive& d, quint32 entry) {
    if (entry >= BufferMemory::blocks()) return answer(d, "Address Out Of Range");
    const qint64 at = qint64{entry} * BufferMemory::kBlockSize;
    startDownload(d, BufferMemory::kBlockSize, [at, entry](Drive& dd, const QByteArray& image) {
        BufferMemory& mem = dd.state<BufferMemory>();
        mem.bytes.replace(at, std::min<qint64>(image.size(), BufferMemory::kSize - at), image);
        SerialRom& rom = serialRom(dd);
        rom.staged = image;
        rom.stagedEntry = entry;
    });
    return true;
}

bool romCommand(Drive& d, const QByteArray& line, SerialRom& rom) {
    if (line == "e5") {
        rom.on = true;
        return answer(d, "Serial ROM on");
    }
    if (line == "e6") {
        rom.on = rom.writable = false;
        return answer(d, "Serial ROM off");
    }
    if (line == "e9") {
        rom.writable = true;
        return answer(d, "Serial ROM write enabled");
    }
    if (line == "e4,200,1,0") return copyToBuffer(d, rom);
    if (line == "e3,200,1,0") return program(d, rom);
    quint32 a[3];
    if (line.startsWith("e2,")) return args(line, 2, a) && a[1] == 0 && readByte(d, rom, a[0]);
    if (line.startsWith("e1,")) return args(line, 3, a) && a[2] == 0 && writeByte(d, rom, a[0], a[1]);
    if (line.startsWith('d') && line.endsWith(",0") && line.count(',') == 1) {
        const auto entry = hexArg(line.mid(1).chopped(2));
        if (entry) return openDownload(d, *entry);
        return false;
    }
    if (line.startsWith('B') && line.count(',') == 1) {
        const QList<QByteArray> a = line.mid(1).split(',');
        const auto first = hexArg(a[0].trimmed());
        const auto last = hexArg(a[1].trimmed());
        if (!first || !last) return false;
        const int lostPage = d.setting(QStringLiteral("rom.lostline"), -1);
        BufferMemory& m = d.state<BufferMemory>();
        if (lostPage < 0 || *first > quint32(lostPage) || quint32(lostPage) > *last) {
            dumpBlocks(d, *first, *last);
            return true;
        }
        // The buffer dump's own fault, for this one dump.
        const BufferFaults saved = m.faults;
        m.faults.loseLineInDump = m.dumps + 1;
        m.faults.lineIndex = (lostPage - static_cast<int>(*first)) * 16 + 4;
        dumpBlocks(d, *first, *last);
        m.faults.loseLineInDump = saved.loseLineInDump;
        m.faults.lineIndex = saved.lineIndex;
        return true;
    }
    return false;
}

}  // namespace

QByteArray romImage(int seed, bool badMarks) {
    std::mt19937 rng(static_cast<std::mt19937::result_type>(seed));
    QByteArray b(SerialRom::kSize, '\0');
    for (qsizetype i = 0; i < b.size(); ++i) b[i] = static_cast<char>(rng() & 0xFF);
    // A boot header a technician would recognise, and the marks at the end.
    b.replace(0, 4, "SROM");
    b[0xFFFC] = b[0xFFFD] = static_cast<char>(0xFF);
    b[0xFFFE] = static_cast<char>(badMarks ? 0xFF : 0x00);
    b[0xFFFF] = static_cast<char>(badMarks ? 0xFF : 0xC0);
    return b;
}

SerialRom& serialRom(Drive& d) { return readyRom(d, d.state<SerialRom>(), d.state<ServiceState>()); }

void installRomCommands(Drive& d) {
    // The states live as long as the drive: the handler keeps them at hand for its 65536-line runs.
    SerialRom* rom = &d.state<SerialRom>();
    const ServiceState* service = &d.state<ServiceState>();
    d.addLineHandler([rom, service](Drive& drv, const QByteArray& line) {
        return drv.level == "F" && romCommand(drv, line.trimmed(), readyRom(drv, *rom, *service));
    });
}

}  // namespace hddsim
