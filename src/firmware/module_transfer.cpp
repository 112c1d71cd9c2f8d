#include "module_transfer.h"

#include "dialogue.h"
#include "monitor.h"
#include "operation.h"
#include "track.h"
#include "transfer.h"

namespace hdd {

namespace {

QByteArray latin1(const QString& text) { return text.trimmed().toLatin1(); }

// Where a module lies: its track (for a write of APP, the list of its copies), head, first sector
// and sector count.
struct Place {
    QByteArray tracks;
    QByteArray head = "0";
    QByteArray start = "0";
    QByteArray count;
};

Place placeOf(Module module, const AddressSet& a, bool read) {
    Place p;
    p.count = latin1(a.reserve.spt);
    switch (module) {
        case Module::App:
            p.tracks = read ? latin1(a.modules.app.split(',').first()) : latin1(a.modules.app);
            break;
        case Module::Ata:
            p.tracks = latin1(a.modules.ata);
            break;
        case Module::Cert0:
            p.tracks = latin1(a.modules.cert0);
            break;
        case Module::Cert1:
            p.tracks = latin1(a.cert1);
            p.head = latin1(a.cert1Head);
            break;
        case Module::Table:
            p.tracks = latin1(a.table);
            break;
        case Module::Vendor:
            p.tracks = latin1(a.modules.ven);
            break;
        case Module::IdSector:
            p.tracks = latin1(a.modules.ven);
            p.start = "4";
            p.count = "1";
            break;
        case Module::Reserve:
            break;
    }
    return p;
}

AddressNeed needOf(Module module) {
    return module == Module::Reserve ? AddressNeed::System : AddressNeed::Firmware;
}

Outcome transfer(Dialogue& d, const ModuleTransfer& t, const AddressSet& a, bool read) {
    const ReserveFields& r = a.reserve;
    const BufferFields& b = a.buffers;
    if (t.module == Module::Reserve) {
        if (read) {
            return ReadReserve(d, latin1(r.first), latin1(r.last), "0", latin1(r.spt), latin1(b.rd),
                               latin1(b.rdSize), t.file, true);
        }
        return WriteReserve(d, latin1(r.first), latin1(r.last), "0", latin1(r.spt), latin1(b.wr),
                            latin1(b.wrSize), t.file, t.speed);
    }
    const Place p = placeOf(t.module, a, read);
    if (read)
        return ReadTrack(d, p.tracks, p.head, p.start, p.count, latin1(b.rd), latin1(b.rdSize), t.file, true);
    return WriteTrack(d, p.tracks, p.head, p.start, p.count, latin1(b.wr), latin1(b.wrSize), t.file, t.speed);
}

// An address field typed by the user that is no hexadecimal number (APP may list its copies with
// ","), named as the window labels it; empty when every filled field reads.
QString badAddressField(const AddressSet& a) {
    const std::pair<const char*, const QString*> fields[] = {
        {"RD:", &a.buffers.rd},
        {"RD 扇区数:", &a.buffers.rdSize},
        {"WR:", &a.buffers.wr},
        {"WR 扇区数:", &a.buffers.wrSize},
        {"保留区 地址:", &a.reserve.first},
        {"保留区 -", &a.reserve.last},
        {"扇/道:", &a.reserve.spt},
        {"APP:", &a.modules.app},
        {"CERT0:", &a.modules.cert0},
        {"ATA:", &a.modules.ata},
        {"Ven:", &a.modules.ven},
        {"CERT1:", &a.cert1},
        {"磁头:", &a.cert1Head},
        {"TABLE:", &a.table},
    };
    for (const auto& [label, text] : fields) {
        for (const QString& part : text->split(',')) {
            if (!text->trimmed().isEmpty() && !hexArg(part.trimmed().toLatin1()))
                return QStringLiteral("%1 %2").arg(QString::fromUtf8(label), *text);
        }
    }
    return {};
}

Outcome run(Dialogue& d, const ModuleTransfer& t, AddressSet& a, bool read) {
    if (t.file.isEmpty()) return Outcome::refused(Outcome::By::Input, kNoFileChosen);
    // A typed address that cannot be read is refused before the drive is asked anything.
    if (const QString bad = badAddressField(a); !bad.isEmpty()) {
        const QString why = kBadNumber + "\n" + bad;
        d.host().warning(why);
        return Outcome::refused(Outcome::By::Check, why);
    }
    if (read) {
        if (Outcome o = checkSaveTarget(d.host(), t.file); !o.isDone()) return o;
    }
    Operation op(d);
    // The CERT reads give the drive its carriage return only after a transfer.
    const bool endOnlyAfterTransfer = read && (t.module == Module::Cert0 || t.module == Module::Cert1);
    Outcome outcome = Outcome::refused(Outcome::By::Drive, kNotAtT);
    if (guardT(d)) outcome = EnsureAddresses(d, a, needOf(t.module));
    if (!outcome.isDone()) {
        if (endOnlyAfterTransfer) op.skipEnding();
        return outcome;
    }
    d.CaptureBuffer.clear();
    d.ReceiveMode.clear();
    op.raiseSpeed(t.speed);
    outcome = transfer(d, t, a, read);
    d.CaptureBuffer.clear();
    Set9600(d);
    return outcome;
}

}  // namespace

Outcome ReadModule(Dialogue& d, const ModuleTransfer& t, AddressSet& addresses) {
    return run(d, t, addresses, true);
}

Outcome WriteModule(Dialogue& d, const ModuleTransfer& t, AddressSet& addresses) {
    return run(d, t, addresses, false);
}

}  // namespace hdd
