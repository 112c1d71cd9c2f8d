#include "discovery.h"

#include "dialogue.h"
#include "family_table.h"
#include "firmware_id.h"
#include "monitor.h"
#include "operation.h"
#include "transfer.h"

namespace hdd {

namespace {

Outcome notAtT() { return Outcome::refused(Outcome::By::Drive, kNotAtT); }

// The module fields emptied, and the analysis' CERT1 and TABLE with them.
void clearModules(AddressSet& a) {
    a.modules = {};
    a.cert1.clear();
    a.cert1Head.clear();
    a.table.clear();
    a.cert1Keys = false;
    a.tableKeys = false;
}

// A search that reported done but left a value unknown still did not find it.
Outcome unknownAfter(const Outcome& search) { return search.isDone() ? Outcome::failed(kFailed) : search; }

}  // namespace

Outcome FindReserveArea(Dialogue& d, ReserveFields& reserve) {
    Operation op(d);
    Outcome outcome = notAtT();
    if (guardT(d)) {
        d.addLine(QStringLiteral("正在获取保留区地址......"));
        d.ReceiveMode = kSysCmd;
        if (const auto answer = AskReserveAnswer(d, 1500)) {
            reserve = parseReserveAnswer(*answer);
            outcome = Outcome::doneIf(reserve.complete(), kFailed);
        } else {
            outcome = Outcome::failed(kFailed);
        }
        d.appendResult(outcome.isDone() ? kDone : kFailed);
    }
    d.SendString("/\r");
    d.WaitHD(10);
    return outcome;
}

Outcome FindModuleAddresses(Dialogue& d, AddressSet& a) {
    Operation op(d);
    if (!guardT(d)) return notAtT();
    Outcome outcome = Outcome::refused(Outcome::By::Drive, kLoadCertFirst);
    if (!IsCertLoaded(d)) {
        d.addLine(kLoadCertFirst);
    } else {
        d.addLine(QStringLiteral("正在获取模块地址........"));
        d.CaptureBuffer.clear();
        d.SendString("y\r");
        d.WaitHD(1500);
        clearModules(a);
        a.modules = parseModuleAnswer(d.captureLines());
        outcome = Outcome::doneIf(a.modules.complete(), kFailed);
        d.appendResult(outcome.isDone() ? kDone : kFailed);
    }
    d.SendString("/\r");
    d.WaitHD(10);
    return outcome;
}

Outcome AnalyseFirmware(Dialogue& d, const QStringList& families, const FamilyTable& table, AddressSet& a) {
    Operation op(d);
    if (!a.reserve.known()) {
        const Outcome search = FindReserveArea(d, a.reserve);
        if (!a.reserve.known()) {
            // The search has given the drive its ending and said why.
            op.skipEnding();
            return unknownAfter(search);
        }
    }
    const auto base = addressValue(a.reserve.first);
    if (!guardT(d)) return notAtT();
    clearModules(a);
    d.addLine(QStringLiteral("正在份析，请稍候........"));
    const FirmwareId id = ReadFirmwareId(d);
    const auto match = MatchFamily(families, id, true);
    if (match && base && *match < table.count) {
        const ModuleAddresses m = moduleAddresses(table.entry(*match + 1), *base);
        // An entry with a number that cannot be read is not trusted at all.
        if (!m.error) {
            a.modules = {m.app, m.cert0, m.ata, m.ven};
            a.cert1 = m.cert1;
            a.cert1Head = m.cert1Head;
            a.cert1Keys = m.cert1Keys;
            a.table = m.table;
            a.tableKeys = m.tableKeys;
        }
    }
    const bool found = a.modules.known() && !a.table.trimmed().isEmpty();
    d.appendResult(found ? kDone : kAnalysisFailed);
    return Outcome::doneIf(found, kAnalysisFailed);
}

Outcome SaveAppAndCert(Dialogue& d) {
    Operation op(d);
    if (!guardT(d)) {
        op.skipEnding();
        return notAtT();
    }
    d.ReceiveMode.clear();
    d.SendString("/\r");
    d.WaitHD(10);
    d.SendString("w4\r");
    d.WaitHD(500);
    d.SendString("w1\r");
    d.WaitHD(500);
    op.endInUserMode();
    return Outcome::done();
}

Outcome EnsureAddresses(Dialogue& d, AddressSet& a, AddressNeed need) {
    if (Outcome o = EnsureBufferAddresses(d, a.buffers); !o.isDone()) return o;
    if (need == AddressNeed::Buffers) return Outcome::done();
    if (!a.reserve.known()) {
        const Outcome search = FindReserveArea(d, a.reserve);
        if (!a.reserve.known()) return unknownAfter(search);
    }
    if (need == AddressNeed::System) return Outcome::done();
    if (!a.modules.known()) {
        const Outcome search = FindModuleAddresses(d, a);
        if (!a.modules.known()) return unknownAfter(search);
    }
    return Outcome::done();
}

}  // namespace hdd
