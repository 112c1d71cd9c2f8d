// Buffer memory and system-area commands of the simulated drive: the level-2 hex dump, the
// buffer information answers, the block download into buffer memory, and the track select,
// sector read and sector write commands that move sectors between the system area and the
// buffer.
#include <map>
#include <memory>
#include <optional>

#include "buffer_memory.h"
#include "drive.h"
#include "system_area.h"

namespace hddsim {

namespace {

std::optional<quint32> hexValue(const QByteArray& text) {
    if (text.isEmpty() || text.size() > 8) return std::nullopt;
    bool ok = false;
    const uint v = text.toUInt(&ok, 16);
    if (!ok) return std::nullopt;
    return v;
}

QByteArray hex6(quint32 v) { return QByteArray::number(v, 16).toUpper().rightJustified(6, '0'); }

// --- the block download ---

struct DownloadSession {
    enum class Phase {
        Open1,
        Open2,
        Announce1,
        Announce2,
        Number,
        Data,
        Trailer1,
        Trailer2,
        Check,
        Total,
        Resync
    };

    bool active = false;
    qsizetype blockSize = 512;
    std::function<void(Drive&, const QByteArray&)> done;
    Phase phase = Phase::Open1;
    bool started = false;
    qint64 lastUs = 0;
    int number = 0;
    QByteArray data;
    QByteArray check;
    std::map<int, QByteArray> blocks;
    int acks = 0;
};

constexpr qint64 kIdleEndUs = 5'000'000;  // a started download left alone this long is over
constexpr qint64 kResyncUs = 100'000;     // after an error, bytes are swallowed until the line rests

void endDownload(Drive& d) {
    DownloadSession& s = d.state<DownloadSession>();
    s = DownloadSession{};
    d.rawHandler = nullptr;
}

// "w" 0x88: sometimes in one piece, sometimes with a short gap between the halves.
bool acknowledge(Drive& d, DownloadSession& s) {
    BufferMemory& m = d.state<BufferMemory>();
    ++m.announces;
    if (m.faults.silentAnnounce == m.announces) {
        endDownload(d);
        return false;
    }
    if (++s.acks % 2 == 0) {
        d.print("w");
        d.pause(4000);
        d.print("\x88");
    } else {
        d.print("w\x88");
    }
    return true;
}

void fail(Drive& d, DownloadSession& s, const QByteArray& why) {
    d.printLine("\r\n" + why);
    s.phase = DownloadSession::Phase::Resync;
}

void finishDownload(Drive& d, DownloadSession& s, quint16 total) {
    QByteArray image;
    const int last = s.blocks.empty() ? -1 : s.blocks.rbegin()->first;
    bool whole = last >= 0;
    for (int n = 0; n <= last && whole; ++n) {
        auto it = s.blocks.find(n);
        if (it == s.blocks.end())
            whole = false;
        else
            image += it->second;
    }
    auto done = std::move(s.done);
    endDownload(d);
    if (!whole || static_cast<quint16>(downloadSum(image) & 0xFFFF) != total) {
        d.printLine("\r\nDownload Checksum Error");
    } else if (done) {
        done(d, image);
    }
    if (d.state<BufferMemory>().faults.fallBackTo9600) d.switchBaud(9600);
    if (const int ms = d.state<BufferMemory>().faults.slowAfterDownloadMs) {
        // The answer to whatever comes next is late.
        d.rawHandler = [ms](Drive& dd, char) {
            dd.rawHandler = nullptr;
            dd.pause(qint64{ms} * 1000);
            return false;
        };
    }
}

bool downloadByte(Drive& d, char c) {
    using Phase = DownloadSession::Phase;
    DownloadSession& s = d.state<DownloadSession>();
    const unsigned char u = static_cast<unsigned char>(c);
    const qint64 now = d.nowUs();
    if (s.phase == Phase::Resync && now - s.lastUs > kResyncUs) {
        endDownload(d);
        return false;
    }
    if (s.started && now - s.lastUs > kIdleEndUs) {
        endDownload(d);
        return false;
    }
    s.lastUs = now;
    switch (s.phase) {
        case Phase::Resync:
            return true;
        case Phase::Open1:
            if (u != 0xCC) break;
            s.started = true;
            if (acknowledge(d, s)) s.phase = Phase::Open2;
            return true;
        case Phase::Open2:
            if (u != 0x33) break;
            if (acknowledge(d, s)) s.phase = Phase::Announce1;
            return true;
        case Phase::Announce1:
            if (u != 0xCC) break;
            s.phase = Phase::Announce2;
            return true;
        case Phase::Announce2:
            if (u != 0x33) break;
            if (acknowledge(d, s)) s.phase = Phase::Number;
            return true;
        case Phase::Number:
            s.number = u;
            s.data.clear();
            s.phase = Phase::Data;
            return true;
        case Phase::Data:
            s.data += c;
            if (s.data.size() == s.blockSize) s.phase = Phase::Trailer1;
            return true;
        case Phase::Trailer1:
            if (u != 0xCC)
                fail(d, s, "Block Length Error");
            else
                s.phase = Phase::Trailer2;
            return true;
        case Phase::Trailer2:
            if (u != 0x33)
                fail(d, s, "Block Length Error");
            else if (acknowledge(d, s))
                s.phase = Phase::Check, s.check.clear();
            return true;
        case Phase::Check: {
            s.check += c;
            if (s.check.size() < 2) return true;
            const quint16 got = static_cast<quint16>((static_cast<unsigned char>(s.check[0]) << 8) |
                                                     static_cast<unsigned char>(s.check[1]));
            BufferMemory& m = d.state<BufferMemory>();
            const bool nak = m.faults.nakAttempts.contains(++m.checksumAttempts);
            if (nak || got != blockSum(s.data, s.number)) {
                d.print("\x15");
                s.phase = Phase::Announce1;
                return true;
            }
            s.blocks[s.number] = s.data;
            d.print("\x06");
            s.phase = s.number == 0 ? Phase::Total : Phase::Announce1;
            s.check.clear();
            return true;
        }
        case Phase::Total: {
            s.check += c;
            if (s.check.size() < 2) return true;
            const quint16 total = static_cast<quint16>((static_cast<unsigned char>(s.check[0]) << 8) |
                                                       static_cast<unsigned char>(s.check[1]));
            finishDownload(d, s, total);
            return true;
        }
    }
    // A byte where an announce belongs: the download is over and the byte is typed text again.
    endDownload(d);
    return false;
}

// --- the dump ---

QByteArray dumpLine(const QByteArray& memory, qint64 address, quint32 shown) {
    QByteArray line = hex6(shown) + ":";
    for (int i = 0; i < 32; ++i) {
        line += ' ';
        line += QByteArray(1, memory[address + i]).toHex().toUpper();
    }
    return line;
}

QByteArray header() {
    QByteArray h = "ADDR   ";
    for (int i = 0; i < 32; ++i) h += ' ' + QByteArray::number(i, 16).toUpper().rightJustified(2, '0');
    return h;
}

bool dump(Drive& d, quint32 first, quint32 last) {
    BufferMemory& m = d.state<BufferMemory>();
    if (first > last || last >= BufferMemory::blocks()) {
        d.printLine("Address Out Of Range");
        d.prompt();
        return true;
    }
    const int n = ++m.dumps;
    const BufferFaults& f = m.faults;
    const bool noisyPair = m.garbleReadUntilDump == n;
    QByteArray out;
    if (f.noHeaderInDump != n) out += header() + "\r\n";
    int line = 0;
    for (quint32 b = first; b <= last; ++b) {
        for (int i = 0; i < 16; ++i, ++line) {
            const qint64 address = qint64{b} * BufferMemory::kBlockSize + i * 32;
            const quint32 shown =
                f.restartInDump == n
                    ? static_cast<quint32>(address - qint64{first} * BufferMemory::kBlockSize)
                    : static_cast<quint32>(address);
            if (f.loseLineInDump == n && line == f.lineIndex) continue;
            QByteArray text = dumpLine(m.bytes, address, shown);
            if ((f.garbleLineInDump == n || noisyPair) && line == f.lineIndex) {
                // Noise on the line: one byte pair arrives as two characters that are no digits.
                text[11] = Drive::garble(text[11]);
                text[12] = Drive::garble(text[12]);
            }
            out += text + "\r\n";
        }
    }
    d.print(out);
    d.prompt();
    return true;
}

// --- system-area sectors ---

std::optional<std::pair<quint32, quint32>> sectorArgs(const QByteArray& line) {
    const QList<QByteArray> a = line.mid(2).split(',');
    if (a.size() != 2) return std::nullopt;
    const auto first = hexValue(a[0].trimmed());
    const auto count = hexValue(a[1].trimmed());
    if (!first || !count) return std::nullopt;
    return std::make_pair(*first, *count);
}

bool selectTrack(Drive& d, const QByteArray& line) {
    BufferMemory& m = d.state<BufferMemory>();
    SystemArea& sa = d.state<SystemArea>();
    const QList<QByteArray> a = line.mid(1).split(',');
    const auto cylinder = a.size() == 3 ? hexValue(a[0].trimmed()) : std::nullopt;
    // An empty head argument means head 0.
    const auto head = a.size() == 3
                          ? (a[1].trimmed().isEmpty() ? std::optional<quint32>(0) : hexValue(a[1].trimmed()))
                          : std::nullopt;
    if (!cylinder || !head) {
        d.printLine("Invalid Track");
        d.prompt();
        return true;
    }
    if (m.faults.selectNoPrompt == ++m.selects) return true;  // the monitor hangs on this one
    sa.selected = true;
    sa.selectedCylinder = *cylinder;
    sa.selectedHead = *head;
    d.prompt();
    return true;
}

bool readSectors(Drive& d, const QByteArray& line) {
    BufferMemory& m = d.state<BufferMemory>();
    SystemArea& sa = d.state<SystemArea>();
    const auto args = sectorArgs(line);
    const int n = ++m.reads;
    if (!args || !sa.selected) {
        d.printLine(args ? "No Track Selected" : "Input Command Error");
    } else if (!sa.inRange(args->first, args->second) ||
               qint64{m.readBlock} + args->second > BufferMemory::blocks()) {
        d.printLine("Sector Out Of Range");
    } else {
        const QByteArray data = sa.read(sa.selectedCylinder, sa.selectedHead, args->first, args->second);
        m.bytes.replace(qint64{m.readBlock} * BufferMemory::kBlockSize, data.size(), data);
        if (m.faults.garblePairInRead == n) m.garbleReadUntilDump = m.dumps + 1;
    }
    d.prompt();
    return true;
}

bool writeSectors(Drive& d, const QByteArray& line) {
    BufferMemory& m = d.state<BufferMemory>();
    SystemArea& sa = d.state<SystemArea>();
    const auto args = sectorArgs(line);
    if (!args || !sa.selected) {
        d.printLine(args ? "No Track Selected" : "Input Command Error");
    } else if (!sa.inRange(args->first, args->second) ||
               qint64{m.writeBlock} + args->second > BufferMemory::blocks()) {
        d.printLine("Sector Out Of Range");
    } else {
        const QByteArray data = m.bytes.mid(qint64{m.writeBlock} * BufferMemory::kBlockSize,
                                            qint64{args->second} * BufferMemory::kBlockSize);
        sa.write(sa.selectedCylinder, sa.selectedHead, args->first, data);
    }
    d.prompt();
    return true;
}

QByteArray bufferField(quint32 block, quint32 sectors, int width) {
    return QByteArray::number(block, 16).toUpper().rightJustified(width, '0') + ":" +
           QByteArray::number(sectors, 16).toUpper().rightJustified(4, '0');
}

}  // namespace

quint32 downloadSum(const QByteArray& bytes, quint32 start) {
    quint32 a = start;
    for (char c : bytes) a += static_cast<unsigned char>(c) ^ (a & 0xAA);
    return a;
}

quint16 blockSum(const QByteArray& block, int number) {
    quint32 a = downloadSum(block);
    a += static_cast<quint32>(number) ^ (a & 0xAA);
    return static_cast<quint16>(a & 0xFFFF);
}

void startDownload(Drive& d, qsizetype blockSize, std::function<void(Drive&, const QByteArray&)> done) {
    DownloadSession& s = d.state<DownloadSession>();
    s = DownloadSession{};
    s.active = true;
    s.blockSize = blockSize;
    s.done = std::move(done);
    s.lastUs = d.nowUs();
    d.rawHandler = downloadByte;
}

bool downloading(Drive& d) { return d.state<DownloadSession>().active; }

void dumpBlocks(Drive& d, quint32 first, quint32 last) { dump(d, first, last); }

void installBufferCommands(Drive& d) {
    d.addLineHandler([](Drive& drv, const QByteArray& typed) {
        const QByteArray line = typed.trimmed();
        if (line.isEmpty()) return false;
        const char c = line[0];
        // Level 2: the dump, the track select and the sector commands.
        if (drv.level == "2") {
            if (c == 'B' && line.contains(',')) {
                const QList<QByteArray> a = line.mid(1).split(',');
                const auto first = a.size() == 2 ? hexValue(a[0].trimmed()) : std::nullopt;
                const auto last = a.size() == 2 ? hexValue(a[1].trimmed()) : std::nullopt;
                if (!first || !last) return false;
                return dump(drv, *first, *last);
            }
            if (c == 's' && line.count(',') == 2) return selectTrack(drv, line);
            if (line.startsWith("r,")) return readSectors(drv, line);
            if (line.startsWith("w,")) return writeSectors(drv, line);
        }
        const BufferMemory& m = drv.state<BufferMemory>();
        // Where the read and write buffers are.
        if (drv.level == "T" && line == "?") {
            drv.printLine("Buffer Info:");
            drv.printLine("RD:" + bufferField(m.readBlock, m.readSectors, 5));
            drv.printLine("WR:" + bufferField(m.writeBlock, m.writeSectors, 5));
            drv.prompt();
            return true;
        }
        if (drv.level != "T" && line == "B0") {
            drv.printLine("RD:" + bufferField(m.readBlock, m.readSectors, 4) +
                          ":  WR:" + bufferField(m.writeBlock, m.writeSectors, 4) + ":");
            drv.prompt();
            return true;
        }
        // A download into buffer memory at a block.
        if (drv.level == "T" && c == 'd') {
            const auto block = hexValue(line.mid(1));
            if (!block) return false;
            if (*block >= BufferMemory::blocks()) {
                drv.printLine("Address Out Of Range");
                drv.prompt();
                return true;
            }
            const qint64 at = qint64{*block} * BufferMemory::kBlockSize;
            startDownload(drv, BufferMemory::kBlockSize, [at](Drive& dd, const QByteArray& image) {
                BufferMemory& mem = dd.state<BufferMemory>();
                const qint64 n = std::min<qint64>(image.size(), BufferMemory::kSize - at);
                mem.bytes.replace(at, n, image.left(n));
            });
            return true;
        }
        return false;
    });
}

}  // namespace hddsim
