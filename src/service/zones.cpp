#include "zones.h"

#include <utility>

#include "address.h"
#include "dialogue.h"
#include "host.h"
#include "identity.h"
#include "monitor.h"
#include "operation.h"
#include "text.h"

namespace hdd {

namespace {

const QString kParametersUnreadable = QStringLiteral("读取段位参数失败！");
const QString kTableUnreadable = QStringLiteral("无法识别的段位信息：");

// Cylinders are hexadecimal numbers of at most 32 bits, sectors per track decimal ones of at most 31.
std::optional<qint64> cylinderValue(const QByteArray& text) {
    const auto v = parseHex(text);
    if (!v || *v > 0xFFFFFFFFULL) return std::nullopt;
    return static_cast<qint64>(*v);
}

std::optional<qint64> countValue(const QByteArray& text) {
    if (text.isEmpty() || text.size() > 10) return std::nullopt;
    qint64 v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    if (v > 0x7FFFFFFF) return std::nullopt;
    return v;
}

// The first word of a text: up to its first blank; empty when it has none.
QByteArray firstWord(const QByteArray& text) {
    const qsizetype sp = text.indexOf(' ');
    return sp < 0 ? QByteArray() : trimmed(text.left(sp + 1));
}

// The text from its first blank on, trimmed; empty when it has none.
QByteArray fromFirstBlank(const QByteArray& text) {
    const qsizetype sp = text.indexOf(' ');
    return sp < 0 ? QByteArray() : trimmed(text.mid(sp));
}

// A zone key runs in the operation frame and, once it has begun talking to the drive, leaves the
// monitor's level before the frame's ending, whatever it came to.
template <class Work>
Outcome zoneKey(Dialogue& d, Work work) {
    Operation op(d);
    const Outcome o = work();
    d.SendString("/\r");
    d.WaitHD(10);
    return o;
}

Outcome refusedByDrive(const QString& line) { return Outcome::refused(Outcome::By::Drive, line); }

// The input message box of a key (nothing sent).
Outcome refusedInput(Dialogue& d, const QString& message) {
    d.host().information(message);
    return Outcome::refused(Outcome::By::Input, message);
}

// T level and a loaded CERT module, with the console line of whichever is missing.
Outcome readyForZones(Dialogue& d) {
    if (!guardT(d)) return refusedByDrive(kNotAtT);
    if (IsCertLoaded(d)) return Outcome::done();
    d.addLine(kLoadCertFirst);
    return refusedByDrive(kLoadCertFirst);
}

// The parameters, or the console line and outcome of why there are none to cut or save with.
std::optional<ZoneParameters> loadedParameters(Dialogue& d, const QString& notLoaded, Outcome& refusal) {
    const auto params = ReadZoneParameters(d);
    if (params && params->loaded) return params;
    const QString line = params ? notLoaded : kParametersUnreadable;
    d.addLine(line);
    refusal = params ? refusedByDrive(line) : Outcome::failed(line);
    return std::nullopt;
}

}  // namespace

std::optional<ZoneParameters> parseZoneParameters(const QList<QByteArray>& lines) {
    ZoneParameters p;
    for (const QByteArray& raw : lines) {
        const QByteArray line = trimmed(raw);
        if (line.contains("End Cyl:")) {
            // "2 End Cyl: 1FFF (8191)": the value ends at a blank, or at a tab when there is none.
            const QByteArray value = trimmed(partAfter(line, ':'));
            qsizetype end = value.indexOf(' ');
            if (end < 0) end = value.indexOf('\t');
            const auto v = end < 0 ? std::nullopt : parseHex(value.left(end));
            if (!v) return std::nullopt;
            p.loaded = *v != 0;
        }
        if (line.contains("Secs Per Trk:")) {
            // The cut command names this parameter: a line garbled in front names none.
            p.sptParameter = line.left(1);
            if (!parseHex(p.sptParameter)) return std::nullopt;
        }
    }
    return p;
}

ZonePlan planZoneCuts(const QList<QByteArray>& table, const QByteArray& head, const QByteArray& zone,
                      qint64 reserveStart) {
    ZonePlan plan;
    const QByteArray headKey = "Head " + head, zoneKey = "Zone " + zone;
    auto unreadable = [&plan](const QByteArray& line) {
        plan.cuts.clear();
        plan.total = 0;
        plan.unreadable = line;
        return plan;
    };
    for (qsizetype i = 0; i < table.size(); ++i) {
        if (!table[i].contains(headKey)) continue;
        const QByteArray headText = trimmed(table[i].mid(4));
        for (qsizetype j = i + 1; j < table.size(); ++j) {
            const QByteArray& line = table[j];
            if (line.contains(zoneKey)) {
                // "Zone 03 1800-1FFF 1024 Trk 2048": first-last, then the sectors per track.
                const QByteArray text = trimmed(line.mid(8));
                const QByteArray first = trimmed(partBefore(text, '-'));
                const QByteArray rest = trimmed(partAfter(text, '-'));
                const QByteArray last = firstWord(rest);
                const QByteArray spt = firstWord(fromFirstBlank(rest));
                const auto headNumber = cylinderValue(headText);
                const auto f = cylinderValue(first), l = cylinderValue(last);
                const auto s = countValue(spt);
                if (!headNumber) return unreadable(table[i]);
                // A zone that ends before it begins has no size to report.
                if (!f || !l || !s || *l < *f) return unreadable(line);
                const bool enclosesReserve = *f < reserveStart && reserveStart < *l;
                if (*headNumber != 0 || reserveStart < 0 || !enclosesReserve) {
                    const qint64 sectors = (*l - *f + 1) * *s;
                    qint64 total = 0;
                    if (__builtin_add_overflow(plan.total, sectors, &total)) return unreadable(line);
                    plan.total = total;
                    plan.cuts << ZoneCut{headText, first, sectors};
                }
            }
            if (line.contains("Head ")) break;
        }
    }
    return plan;
}

QByteArray zoneSelector(const QString& text) {
    const QByteArray t = toGbk(asciiUpper(text.trimmed()));
    if (t == "FF") return {};
    return t.size() == 1 ? "0" + t : t;
}

QString capacityLossLine(qint64 sectors) {
    // sectors × 512 ÷ 10^9, without the product: 10^9 ÷ 512 is exactly 1953125.
    return QStringLiteral("硬盘容量共减少%1扇区(约%2G)，请保存段位信息并调整硬盘LBA！")
        .arg(sectors)
        .arg(sectors / 1953125);
}

std::optional<QByteArray> lbaCommand(const QString& decimal) {
    const QString t = decimal.trimmed();
    if (t.isEmpty() || t.size() > 19) return std::nullopt;
    quint64 v = 0;
    for (QChar c : t) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + static_cast<quint64>(c.unicode() - '0');
    }
    const QByteArray hex = toHexText(v).toLatin1();
    if (hex.size() < 5) return "D," + hex;
    return "D" + hex.left(hex.size() - 4) + "," + hex.right(4);
}

std::optional<ZoneParameters> ReadZoneParameters(Dialogue& d) {
    d.ReceiveMode = kSysCmd;
    d.SendString("/2\r");
    d.WaitHD(20);
    d.SendString("S1000,0\r");
    d.WaitHD(100);
    d.SendString("/e\r");
    d.WaitHD(20);
    d.CaptureBuffer.clear();
    d.SendString("a0\r");
    d.WaitHD(500);
    d.SendString("/\r");
    d.WaitHD(20);
    const auto p = parseZoneParameters(d.captureLines());
    d.CaptureBuffer.clear();
    return p;
}

namespace {

// "/" and the zone command; its answer is not looked at.
void zoneCommand(Dialogue& d, const char* command, const QString& done) {
    d.SendString("/\r");
    d.WaitHD(20);
    d.SendString(command);
    d.WaitHD(100);
    d.CaptureBuffer.clear();
    d.addLine(done);
}

Outcome cutZones(Dialogue& d, const QString& h, const QString& z) {
    if (Outcome ready = readyForZones(d); !ready.isDone()) return ready;
    Outcome refusal;
    const auto params = loadedParameters(d, kNotLoadedCut, refusal);
    if (!params) return refusal;
    d.addLine(kCuttingZones);
    const auto reserve = parseHex(GetSysB(d));
    const qint64 reserveStart = reserve && *reserve <= 0xFFFFFFFFULL ? static_cast<qint64>(*reserve) : -1;
    d.CaptureBuffer.clear();
    d.SendString("/2\r");
    d.WaitHD(20);
    d.SendString("x\r");
    d.WaitHD(1500);
    // The table is taken as it stands now: what the cuts answer is no part of it.
    const ZonePlan plan = planZoneCuts(d.captureLines(), zoneSelector(h), zoneSelector(z), reserveStart);
    d.CaptureBuffer.clear();
    if (!plan.readable()) {
        d.appendResult(QStringLiteral("失败！"));
        d.console().addLineBytes(toGbk(kTableUnreadable) + plan.unreadable);
        return Outcome::failed(kTableUnreadable + fromGbk(plan.unreadable));
    }
    qint64 cut = 0;
    qsizetype done = 0;
    for (const ZoneCut& c : plan.cuts) {
        if (d.AbortRequested || d.shuttingDown()) break;
        d.SendString("/2\r");
        d.WaitHD(20);
        d.SendString("S" + c.first + "," + c.head + "\r");
        d.WaitHD(100);
        d.SendString("/e\r");
        d.WaitHD(20);
        d.SendString("a" + params->sptParameter + ",0\r");
        d.WaitHD(500);
        d.SendString("/\r");
        d.WaitHD(20);
        cut += c.sectors;
        ++done;
    }
    d.CaptureBuffer.clear();
    d.SendString("/\r");
    d.WaitHD(20);
    if (done < plan.cuts.size()) {
        // Say what was cut before the abort, so that the LBA can still be set to match.
        d.addLine(QStringLiteral("被用户中止！"));
        if (cut > 0) d.addLine(capacityLossLine(cut));
        return Outcome::aborted();
    }
    if (cut > 0) {
        d.appendResult(QStringLiteral("完成！"));
        d.addLine(capacityLossLine(cut));
        return Outcome::done();
    }
    d.appendResult(QStringLiteral("失败！"));
    return Outcome::failed(kCuttingZones + QStringLiteral("失败！"));
}

}  // namespace

Outcome CutZones(Dialogue& d, const QString& head, const QString& zone) {
    const QString h = head.trimmed(), z = zone.trimmed();
    if (h.isEmpty() || z.isEmpty()) return refusedInput(d, QStringLiteral("请指定磁头号和段号！"));
    if (h == QLatin1String("FF") && z == QLatin1String("FF"))
        return refusedInput(d, QStringLiteral("磁头号和段号不能同时为FF！"));
    // Both select rows of the drive's table by their two hexadecimal digits.
    for (const auto& [field, text] :
         {std::pair{QStringLiteral("磁头号"), h}, std::pair{QStringLiteral("段号"), z}}) {
        if (text.size() <= 2 && parseHex(text)) continue;
        const QString why = QStringLiteral("%1“%2”无效：应为一至两位十六进制数！").arg(field, text);
        d.host().warning(why);
        return Outcome::refused(Outcome::By::Check, why);
    }
    return zoneKey(d, [&] { return cutZones(d, h, z); });
}

Outcome ReloadZones(Dialogue& d) {
    return zoneKey(d, [&] {
        if (Outcome ready = readyForZones(d); !ready.isDone()) return ready;
        d.ReceiveMode = kSysCmd;
        zoneCommand(d, "l1\r", QStringLiteral("段位信息加载完成！"));
        return Outcome::done();
    });
}

Outcome SaveZones(Dialogue& d) {
    return zoneKey(d, [&] {
        if (Outcome ready = readyForZones(d); !ready.isDone()) return ready;
        Outcome refusal;
        if (!loadedParameters(d, kNotLoadedSave, refusal)) return refusal;
        zoneCommand(d, "l10\r", QStringLiteral("段位信息保存完成！"));
        return Outcome::done();
    });
}

Outcome ShowZones(Dialogue& d) {
    Operation op(d);
    if (!guardT(d)) {
        op.skipEnding();
        return refusedByDrive(kNotAtT);
    }
    d.ReceiveMode.clear();
    d.SendString("/2\r");
    d.WaitHD(10);
    d.ReceiveMode = kUserCmd;
    d.SendString("x\r");
    d.WaitHD(200);
    d.ReceiveMode.clear();
    d.SendString("/\r");
    d.WaitHD(10);
    return Outcome::done();
}

Outcome ConvertLba(Dialogue& d, const QString& lba) {
    if (lba.trimmed().isEmpty()) return refusedInput(d, QStringLiteral("请指定LBA值！"));
    const auto command = lbaCommand(lba);
    if (!command) return refusedInput(d, QStringLiteral("请输入有效的数字！"));
    return zoneKey(d, [&] {
        if (Outcome ready = readyForZones(d); !ready.isDone()) return ready;
        d.SendString("/A\r");
        d.WaitHD(20);
        d.SendString(*command + "\r");
        d.WaitHD(20);
        for (const QByteArray& line : d.captureLines()) {
            if (line.contains("KBA")) {
                d.console().addLineBytes(line);
                break;
            }
        }
        d.CaptureBuffer.clear();
        return Outcome::done();
    });
}

}  // namespace hdd
