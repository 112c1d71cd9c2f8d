#include "backup.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <utility>

#include "address.h"
#include "buffer_info.h"
#include "checksums.h"
#include "dialogue.h"
#include "firmware_id.h"
#include "monitor.h"
#include "operation.h"
#include "text.h"
#include "track.h"
#include "transfer.h"

namespace hdd {

namespace {

const QString kGettingBuffer = QStringLiteral("正在获取缓冲区地址......");
const QString kGettingReserve = QStringLiteral("正在获取保留区地址......");
const QString kAnalysing = QStringLiteral("正在份析，请稍候........");

// --- family table values ---

// The text up to the first space and the text from that space on, both trimmed. A text without a
// space gives neither.
std::pair<QByteArray, QByteArray> cutNumber(const QByteArray& text) {
    const qsizetype i = text.indexOf(' ');
    if (i < 0) return {};
    return {trimmed(text.left(i)), trimmed(text.mid(i))};
}

// The last number of a triple: the text up to its next space, or all of it when none follows.
std::pair<QByteArray, QByteArray> lastNumber(const QByteArray& text) {
    const qsizetype i = text.indexOf(' ');
    if (i < 0) return {text, {}};
    return {trimmed(text.left(i)), trimmed(text.mid(i))};
}

struct Triple {
    QByteArray offset, start, count;
    bool complete() const { return !offset.isEmpty() && !start.isEmpty() && !count.isEmpty(); }
};

// Offset, start and count where the count is the whole rest after the second number (TABLE, ATA,
// VEN, CERT1).
Triple tailTriple(const QByteArray& value) {
    const auto [offset, rest] = cutNumber(value);
    const auto [start, count] = cutNumber(rest);
    return {offset, start, count};
}

// APP: a fourth number (the loader's buffer) may follow the count.
Triple appTriple(const QByteArray& value) {
    const auto [offset, rest] = cutNumber(value);
    const auto [start, rest2] = cutNumber(rest);
    return {offset, start, lastNumber(rest2).first};
}

// CERT0: a triple, and optionally a second one (the head-0 data continued on another cylinder).
std::pair<Triple, Triple> certTriples(const QByteArray& value) {
    const auto [offset, rest] = cutNumber(value);
    const auto [start, rest2] = cutNumber(rest);
    const auto [count, rest3] = lastNumber(rest2);
    return {{offset, start, count}, tailTriple(rest3)};
}

// --- the run ---

class Run {
public:
    Run(Dialogue& d, const QString& staging, const QString& target, BackupResult& result)
        : d_(d), dir_(staging), target_(target), result_(result) {}

    bool success = true;   // every read so far succeeded: later modules run
    bool clean = true;     // no module or derived file failed
    bool error = false;    // a value that is not a number, a file that cannot be read or written
    bool aborted = false;  // the abort key stopped a read (a lost port fails the run instead)
    quint32 base = 0;      // the reserve area's first cylinder

    QString path(const QString& name) const { return dir_.filePath(name); }

    // A module's console line; the modules' results go on it.
    void begin(const QString& line) {
        d_.addLine(line);
        lineCount_ = d_.console().lineCount();
        d_.PumpWait(1);
    }
    void done() { d_.appendResult(kDone); }
    // A module that failed: its line says so (a line of its own when the read added one since).
    void failed(const QString& module) {
        clean = false;
        aborted = aborted || (d_.AbortRequested && !d_.portLost());
        if (d_.AbortRequested)
            d_.addLine(kAborted);
        else if (d_.console().lineCount() == lineCount_)
            d_.appendResult(kFailed);
        else
            d_.addLine(QStringLiteral("备份%1失败！").arg(module));
    }

    // Reads a range of sectors into a file of the folder. A read that fails leaves no file of that
    // name: the track read keeps the whole chunks of a read that failed in its last chunk, and an
    // older file would pass for this drive's.
    bool read(const Triple& t, const QByteArray& head, const QString& name) {
        const auto offset = parseHex(t.offset);
        const auto start = normaliseHex(QString::fromLatin1(t.start));
        const auto count = normaliseHex(QString::fromLatin1(t.count));
        if (!offset || *offset + base > 0x7FFFFFFFu || !start || !count) {
            error = true;
            return false;
        }
        const QByteArray cylinder = hexText(*offset + base);
        const bool ok = ReadTrack(d_, cylinder, head, start->toLatin1(), count->toLatin1(), rd_, rdSize_,
                                  path(name), false);
        if (!ok) remove(name);
        success = ok;
        return ok;
    }

    void setBuffer(const QString& rd, const QString& size) {
        rd_ = rd.toLatin1();
        rdSize_ = size.toLatin1();
    }

    void wrote(const QString& name) {
        result_.written.removeAll(name);
        result_.written << name;
    }
    void remove(const QString& name) {
        QFile::remove(path(name));
        result_.written.removeAll(name);
    }
    bool exists(const QString& name) const { return QFileInfo(path(name)).isFile(); }
    // A file of the target folder as an earlier run left it.
    QString earlier(const QString& name) const { return target_.filePath(name); }
    // A file of the target that this run's files make stale although they do not replace it.
    void supersede(const QString& name) {
        if (!superseded.contains(name)) superseded << name;
    }
    QStringList superseded;
    bool vendorFailed = false;

private:
    Dialogue& d_;
    QDir dir_, target_;
    BackupResult& result_;
    QByteArray rd_, rdSize_;
    int lineCount_ = 0;
};

void backupApp(Run& run, Dialogue& d, const FamilyEntry& e) {
    if (e.app.isEmpty()) {
        d.addLine(kValueWrong);
        return;
    }
    run.begin(QStringLiteral("正在备份APP............."));
    const Triple t = appTriple(e.app);
    if (!t.complete()) {
        d.addLine(kValueIncomplete);
        return;
    }
    if (run.read(t, "0", "APP.BIN")) {
        run.wrote("APP.BIN");
        run.done();
    } else if (!run.error) {
        run.failed("APP");
    }
}

void backupCert(Run& run, Dialogue& d, const FamilyEntry& e) {
    if (e.cert0.isEmpty()) {
        d.appendResult(kValueWrong);
        return;
    }
    run.begin(QStringLiteral("正在备份Cert............"));
    const auto [first, second] = certTriples(e.cert0);
    if (!first.complete()) {
        d.appendResult(kValueIncomplete);
        return;
    }
    run.read(first, "0", "CERT0.BIN");
    if (!run.error) {
        if (second.complete()) {
            if (run.success) run.read(second, "0", "CERT1.BIN");
        } else if (!e.cert1.isEmpty()) {
            const Triple head1 = tailTriple(e.cert1);
            if (head1.complete() && run.success) run.read(head1, "1", "CERT1.BIN");
        }
    }
    if (!run.error) {
        if (run.success &&
            joinCertParts(run.path("CERT0.BIN"), run.path("CERT1.BIN"), run.path("CERT.BIN"))) {
            run.wrote("CERT.BIN");
            run.done();
        } else {
            run.remove("CERT.BIN");
            run.failed("Cert");
        }
    }
    // The parts go whatever happened.
    run.remove("CERT0.BIN");
    run.remove("CERT1.BIN");
}

void backupTable(Run& run, Dialogue& d, const FamilyEntry& e) {
    if (e.table.isEmpty()) {
        d.appendResult(kValueWrong);
        return;
    }
    run.begin(QStringLiteral("正在备份Cert Table......"));
    const Triple t = tailTriple(e.table);
    if (!t.complete()) {
        d.appendResult(kValueIncomplete);
        return;
    }
    // The table goes to the drive with its first sector last.
    const bool ok = run.read(t, "0", "Table0.BIN") &&
                    rotateTable(run.path("Table0.BIN"), QString::fromLatin1(t.count), run.path("Table.BIN"));
    if (ok) {
        run.wrote("Table.BIN");
        run.done();
    } else if (!run.error) {
        run.remove("Table.BIN");
        run.failed("Cert Table");
    }
    run.remove("Table0.BIN");
}

void backupAta(Run& run, Dialogue& d, const FamilyEntry& e) {
    if (e.ata.isEmpty()) {
        d.appendResult(kValueWrong);
        return;
    }
    run.begin(QStringLiteral("正在备份ATA............."));
    const Triple t = tailTriple(e.ata);
    if (!t.complete()) {
        d.appendResult(kValueIncomplete);
        return;
    }
    if (!run.read(t, "0", "ATA.BIN")) {
        if (!run.error) run.failed("ATA");
        return;
    }
    run.wrote("ATA.BIN");
    // Parts of an older overlay must not stand beside this one.
    run.supersede("ATA0.BIN");
    run.supersede("ATA1.BIN");
    switch (SplitAta(run.path("ATA.BIN"), run.path(QString()))) {
        case SplitResult::Split:
            run.wrote("ATA0.BIN");
            run.wrote("ATA1.BIN");
            run.done();
            break;
        case SplitResult::WriteFailed:
            run.failed("ATA");
            break;
        default:
            run.done();
            break;
    }
}

void backupVendor(Run& run, Dialogue& d, const FamilyEntry& e) {
    if (e.ven.isEmpty()) {
        d.appendResult(kValueWrong);
        return;
    }
    run.begin(QStringLiteral("正在备份Vendor.........."));
    const Triple t = tailTriple(e.ven);
    if (!t.complete()) {
        d.appendResult(kValueIncomplete);
        return;
    }
    if (!run.read(t, "0", "Vendor.BIN")) {
        run.vendorFailed = true;
        if (!run.error) {
            run.remove("ID.BIN");
            run.failed("Vendor");
        }
        return;
    }
    run.wrote("Vendor.BIN");
    // The identity sector is one whole sector or nothing.
    if (identitySector(run.path("Vendor.BIN"), run.path("ID.BIN"))) {
        run.wrote("ID.BIN");
        run.done();
    } else {
        run.remove("ID.BIN");
        run.failed("ID");
    }
}

// SN.TXT: the serial number of the Vendor image in the folder and the drive's " AX" text.
bool writeSerials(Run& run, Dialogue& d) {
    QByteArray text;
    // This run's Vendor image, else the one an earlier run left in the target folder.
    // A Vendor read that failed in this run makes the earlier image no longer this drive's.
    const QString vendorPath = run.exists("Vendor.BIN") ? run.path("Vendor.BIN")
                               : run.vendorFailed       ? QString()
                                                        : run.earlier("Vendor.BIN");
    if (QFileInfo(vendorPath).isFile()) {
        QFile vendor(vendorPath);
        if (!vendor.open(QIODevice::ReadOnly)) return false;
        text += vendorSerialLine(vendor.readAll()) + "\r\n";
    }
    d.ReceiveMode = kSysCmd;
    d.CaptureBuffer.clear();
    d.SendString("%");
    // The answer comes at once, but at 9600 baud its lines take longer than a short wait.
    d.WaitHD(100);
    text += percentAxLine(d.captureLines()) + "\r\n";
    d.CaptureBuffer.clear();
    if (!saveFile(run.path("SN.TXT"), text)) return false;
    run.wrote("SN.TXT");
    return true;
}

bool writeSums(Run& run, const QStringList& names) {
    QString sums;
    for (const QString& name : names) {
        const QString line = sumsLine(run.path(name), name);
        if (line.isEmpty()) return false;
        sums += line;
    }
    return saveFile(run.path(kSumsFileName), sums.toLatin1());
}

// The dialog's buffer query: the read buffer only.
void readBufferQuery(Dialogue& d, QString& rd, QString& size) {
    const QByteArray saved = d.ReceiveMode;
    d.ReceiveMode = kSysCmd;
    rd.clear();
    size.clear();
    if (isT(d)) {
        d.CaptureBuffer.clear();
        d.SendString("/\r");
        d.WaitHD(1500);
        d.SendString("?\r");
        d.WaitHD(1500);
        const BufferFields f = parseBufferAnswerT(d.captureLines());
        rd = f.rd;
        size = f.rdSize;
        d.CaptureBuffer.clear();
    } else {
        d.CaptureBuffer.clear();
        d.SendString("B0\r");
        d.WaitHD(1500);
        for (const QByteArray& line : d.captureLines()) {
            const qsizetype at = line.indexOf("RD:");
            if (at < 0) continue;
            const QByteArray text = line.mid(at + 3);
            rd = normaliseAddress(partBefore(text, ':')).value_or(QString());
            size = normaliseAddress(partBefore(trimmed(partAfter(text, ':')), ':')).value_or(QString());
            break;
        }
    }
    // A buffer of no sectors reads nothing.
    if (size == QLatin1String("0")) size.clear();
    d.ReceiveMode = saved;
}

// The checks before anything is sent: the refusal (its warning shown), or empty when they pass.
// `staging` is then the emptied folder the run writes into.
QString checkRequest(Dialogue& d, const BackupRequest& r, BackupResult& result, QString& staging) {
    // A refusal means no backup: a warning, so that scripts of the command line see it.
    const auto refuse = [&d](const QString& why) {
        d.host().warning(why);
        return why;
    };
    if (!r.family) return refuse(kChooseFamily);
    if (r.folder.isEmpty()) return refuse(kChooseFolder);
    const QString folder = r.folder.trimmed();
    result.folder = folder;
    if (folder.isEmpty()) return refuse(kFolderError);
    const QFileInfo target(folder);
    if (target.exists() && !target.isDir()) return refuse(kFolderError);
    // A folder that takes no files (a write-protected stick, a read-only share) is said before the
    // drive is asked anything, not after minutes of reading.
    const auto cannotWrite = [&refuse](const QString& dir) {
        const QString reason = cannotCreateReason(QDir(dir).filePath(QStringLiteral("SN.TXT")));
        return reason.isEmpty() ? QString()
                                : refuse(kFolderError + QStringLiteral(" %1: %2").arg(
                                                            QDir::toNativeSeparators(dir), reason));
    };
    if (target.isDir()) {
        if (const QString why = cannotWrite(folder); !why.isEmpty()) return why;
    }
    if (!r.modules.any()) return refuse(kChooseModules);
    // The run writes beside the target; the target itself is made only by a complete run. What an
    // earlier run left unfinished there is not this run's.
    staging = stagingFolder(folder);
    QDir(staging).removeRecursively();
    if (!QDir().mkpath(staging) || !QFileInfo(staging).isDir()) return refuse(kFolderError);
    if (const QString why = cannotWrite(staging); !why.isEmpty()) {
        QDir().rmdir(staging);
        return why;
    }
    return {};
}

}  // namespace

Outcome RunBackup(Dialogue& d, const BackupRequest& r, BackupResult* out) {
    BackupResult own;
    BackupResult& result = out ? *out : own;
    result = {};
    QString staging;
    if (const QString why = checkRequest(d, r, result, staging); !why.isEmpty())
        return Outcome::refused(Outcome::By::Check, why);
    result.started = true;
    Operation op(d);
    Run run(d, staging, result.folder, result);
    // A run that read nothing leaves nothing behind.
    const auto dropEmptyStaging = [&staging] { QDir().rmdir(staging); };

    d.addLine(kGettingBuffer);
    d.PumpWait(1);
    readBufferQuery(d, result.readBuffer, result.readSectors);
    if (result.readBuffer.isEmpty() || result.readSectors.isEmpty()) {
        d.appendResult(kFailed);
        dropEmptyStaging();
        return Outcome::failed(kGettingBuffer + kFailed);
    }
    d.appendResult(kDone);

    d.addLine(kGettingReserve);
    d.PumpWait(1);
    result.reserveStart = GetSysB(d);
    if (result.reserveStart.isEmpty()) {
        d.appendResult(kFailed);
        dropEmptyStaging();
        return Outcome::failed(kGettingReserve + kFailed);
    }
    d.appendResult(kDone);

    d.ReceiveMode.clear();
    WaitPrompt(d);
    op.raiseSpeed(r.speed);
    run.base = addressValue(result.reserveStart).value_or(0);
    run.setBuffer(result.readBuffer, result.readSectors);

    const FamilyEntry& e = *r.family;
    const BackupModules& m = r.modules;
    if (m.app) backupApp(run, d, e);
    if (!run.error && m.cert && run.success) backupCert(run, d, e);
    if (!run.error && m.table && run.success) backupTable(run, d, e);
    if (!run.error && m.ata && run.success) backupAta(run, d, e);
    if (!run.error && m.vendor && run.success) backupVendor(run, d, e);

    if (!run.error) run.error = !writeSerials(run, d);
    const bool summed = !run.error && writeSums(run, result.written);
    run.error = run.error || !summed;
    d.ReceiveMode.clear();
    QStringList files = result.written;
    if (summed) files << kSumsFileName;
    QString where = staging;  // where the files of this run are in the end
    Outcome outcome;
    if (run.error) {
        d.addLine(kDataError);
        outcome = Outcome::failed(kDataError);
    } else if (run.success && run.clean) {
        // Only a complete backup replaces what the target folder holds.
        const StagedCommit c =
            commitStaged(staging, result.folder, files, run.superseded, QDateTime::currentDateTime());
        result.completed = c.ok;
        result.keptIn = c.keptIn;
        if (c.ok) {
            where = result.folder;
            d.addLine(kBackupDone);
        } else {
            d.addLine(c.why);
            d.addLine(kBackupFailed);
            outcome = Outcome::failed(kBackupFailed);
        }
    } else {
        d.addLine(kBackupFailed);
        outcome = run.aborted ? Outcome::aborted() : Outcome::failed(kBackupFailed);
    }
    if (!result.completed) {
        if (QDir(staging).isEmpty()) {
            dropEmptyStaging();
        } else {
            result.staging = staging;
            d.addLine(kStagingKept.arg(QDir::toNativeSeparators(staging)));
        }
    }
    for (const QString& name : files) outcome.wrote(QDir(where).filePath(name));
    op.returnSpeed(Operation::Level::Ask);
    return outcome;
}

Outcome AnalyseBackup(Dialogue& d, const QString& folder, const QString& baseFolder,
                      const QStringList& families, BackupAnalysis& a) {
    if (folder.isEmpty()) {
        d.host().warning(kChooseFolder);
        return Outcome::refused(Outcome::By::Check, kChooseFolder);
    }
    Operation op(d);
    if (!isT(d)) {
        d.addLine(kNotAtT);
        return Outcome::refused(Outcome::By::Drive, kNotAtT);
    }
    d.addLine(kAnalysing);
    const FirmwareId id = ReadFirmwareId(d);
    QString name = fromGbk(upperAscii(id.family + "_" + id.maskRom + "_" + id.version)).trimmed();
    // The name comes from the drive: it names one folder under the base, never another place.
    for (QChar& c : name) {
        if (c == '/' || c == '\\' || c.unicode() < 0x20) c = '_';
    }
    a.folder = baseFolder.trimmed() + name;
    d.CaptureBuffer.clear();
    a.family = MatchFamily(families, id, false);
    d.appendResult(kDone);
    return Outcome::done();
}

}  // namespace hdd
