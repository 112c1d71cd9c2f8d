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

Outcome run(Dialogue& d, const ModuleTransfer& t, AddressSet& a, bool read) {
    if (t.file.isEmpty()) return Outcome::refused(Outcome::By::Input, kNoFileChosen);
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
