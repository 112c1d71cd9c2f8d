#include "track.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <functional>

#include "dialogue.h"
#include "download.h"
#include "dump.h"
#include "host.h"
#include "monitor.h"
#include "text.h"
#include "transfer.h"

namespace hdd {

namespace {

// A download carries block numbers 0 .. 255, so a chunk written at once is at most 256 sectors.
constexpr quint64 kMaxWriteChunk = 0x100;

bool allHex(std::initializer_list<const QByteArray*> args) {
    for (const QByteArray* a : args) {
        if (!hexArg(*a)) return false;
    }
    return true;
}

// Reads the chunks of one track through the read buffer. Blocks go to `store` as they are read.
class ChunkReader {
public:
    ChunkReader(Dialogue& d, QByteArray track, QByteArray head, quint64 base,
                std::function<bool(const QByteArray&)> store)
        : d_(d), select_("s" + track + "," + head + ",22\r"), base_(base), store_(std::move(store)) {}

    bool failed = false;      // the read did not get every sector
    bool dataError = false;   // garbled dump text: the read ends at once
    bool storeError = false;  // the sectors could not be stored: the read ends at once

    // A whole chunk. A select that gets no prompt fails the read, but the chunk is still read.
    // Returns whether the read goes on.
    bool wholeChunk(const QByteArray& sector, const QByteArray& count, quint64 blocks) {
        d_.SendString(select_);
        if (!d_.WaitHD(1500)) failed = true;
        d_.SendString("r," + sector + "," + count + "\r");
        if (!d_.WaitHD(1500)) {
            failed = true;
            return false;
        }
        dumpBlocks(blocks);
        d_.ReceiveMode.clear();
        return !failed && !ended() && !d_.AbortRequested;
    }

    // The last, partial chunk: its blocks are dumped only when select and read got their prompts.
    void partialChunk(const QByteArray& sector, quint64 blocks) {
        d_.SendString(select_);
        if (!d_.WaitHD(1500)) failed = true;
        d_.SendString("r," + sector + "," + hexText(blocks) + "\r");
        if (!d_.WaitHD(1500)) failed = true;
        if (!failed) dumpBlocks(blocks);
        d_.ReceiveMode.clear();
    }

    bool ended() const { return dataError || storeError; }

private:
    void dumpBlocks(quint64 blocks) {
        QByteArray expected;  // runs on across the chunk's blocks
        for (quint64 j = 0; j < blocks; ++j) {
            if (d_.AbortRequested) {
                failed = true;
                return;
            }
            QByteArray block;
            const DumpStatus s = ReadDumpBlock(d_, hexText(base_ + j), expected, block);
            if (s == DumpStatus::DataError) {
                dataError = true;
                return;
            }
            if (s != DumpStatus::Complete) {
                failed = true;
                return;
            }
            if (!store_(block)) {
                storeError = true;
                return;
            }
        }
    }

    Dialogue& d_;
    QByteArray select_;
    quint64 base_;
    std::function<bool(const QByteArray&)> store_;
};

// An error inside a read ends it at once, with one console line whatever showProgress says.
Outcome endWithDataError(Dialogue& d) {
    d.ReceiveMode.clear();
    d.addLine(kDataError);
    return Outcome::failed(kDataError);
}

// Before the drive is asked anything: can the file be created? With showProgress the reason is
// shown and the read reported as failed; silent callers check the folder themselves.
Outcome fileCanBeCreated(Dialogue& d, const QString& fileName, bool showProgress) {
    const QString reason = cannotCreateReason(fileName);
    if (reason.isEmpty()) return Outcome::done();
    const QString message = cannotCreateMessage(fileName, reason);
    if (showProgress) d.host().warning(message);
    d.ReceiveMode.clear();
    if (showProgress) d.appendResult(kFailed);
    return Outcome::failed(message);
}

// The end of a read: back to the level's prompt, the result word (with showProgress) and the
// outcome, naming the file when one was written. `why` tells a failure.
Outcome reportRead(Dialogue& d, bool showProgress, bool ok, const QString& why, const QString& written) {
    d.SendString("/\r");
    d.WaitHD(1500);
    Outcome outcome;
    if (d.AbortRequested) {
        if (showProgress) d.addLine(kAborted);
        outcome = Outcome::aborted();
    } else {
        if (showProgress) d.appendResult(ok ? kDone : kFailed);
        outcome = Outcome::doneIf(ok, why.isEmpty() ? kFailed : why);
    }
    if (!written.isEmpty()) outcome.wrote(written);
    return outcome;
}

// The opening of a track or reserve write: nothing shown, a prompt at the current level.
bool beginWrite(Dialogue& d) {
    d.CaptureBuffer.clear();
    d.ReceiveMode.clear();
    d.LastPrompt.clear();
    d.PumpWait(10);
    d.SendString("/\r");
    return d.WaitHD(1500);
}

// The closing of a write: back to a prompt, then the result on the console.
Outcome endWrite(Dialogue& d, bool failed, const QString& why) {
    d.SendString("/\r");
    d.WaitHD(10);
    if (d.AbortRequested) {
        d.addLine(kAborted);
        return Outcome::aborted();
    }
    d.appendResult(failed ? kFailed : kDone);
    return Outcome::doneIf(!failed, why.isEmpty() ? kFailed : why);
}

// A write refused before the drive is told anything: the reason in a message box, and the write
// reported as failed on the console, so scripts and the command line see it.
Outcome refuseWrite(Dialogue& d, const QString& why) {
    d.host().information(why);
    d.addLine(kWritingData);
    d.appendResult(kFailed);
    return Outcome::failed(why);
}

// Where and how the chunks of one write go.
struct ChunkTarget {
    QList<QByteArray> tracks;
    QByteArray head;
    QByteArray bufferAddress;
    QString speed;    // raised to again after a fall back to 9600
    bool trackWrite;  // the track writer's extra pauses
};

// One chunk: download it into the write buffer, bring the drive back to a prompt, and write it
// to each track of the list.
bool WriteChunk(Dialogue& d, const ChunkTarget& t, QByteArrayView data, quint64 sector, quint64 count) {
    d.PumpWait(t.trackWrite ? 5 : 10);
    d.SendString("/\r");
    if (!d.WaitHD(1500)) return false;
    d.SendString("d" + t.bufferAddress + "\r");
    d.PumpWait(t.trackWrite ? 5 : 100);
    d.SendString("\xCC");
    if (!d.WaitWB(1500)) return false;
    d.SendString("\x33");
    if (!d.WaitWB(1500)) return false;
    if (t.trackWrite) d.PumpWait(10);
    auto block = [&](quint64 k) { return data.sliced(static_cast<qsizetype>(k) * kBlockBytes, kBlockBytes); };
    for (quint64 k = 1; k < count; ++k) {
        if (!SendBlock(d, block(k), static_cast<int>(k))) return false;
    }
    if (!SendBlock(d, block(0), 0)) return false;
    d.SendString(checksumBytes(DownloadSum(data)));
    d.PumpWait(10);
    d.SendString("\r");
    // No prompt: the drive went back to 9600 after the download. A drive that fell back can never
    // answer at this speed, so the wait may be generous: a USB adapter alone holds received bytes
    // for up to 16 ms each way, and taking a slow answer for a fall back would break the link.
    if (!d.WaitHD(20)) {
        Speed9600(d);
        AdMySpeed(d, t.speed);
    }
    d.SendString("/2\r");
    if (!d.WaitHD(1500)) return false;
    d.SendString("/U\r");
    if (!d.WaitHD(1500)) return false;
    if (t.trackWrite) d.PumpWait(10);
    d.SendString("/2\r");
    if (!d.WaitHD(1500)) return false;
    const QByteArray write = "w," + hexText(sector) + "," + hexText(count) + "\r";
    for (const QByteArray& track : t.tracks) {
        d.SendString("s" + track + "," + t.head + ",22\r");
        if (!d.WaitHD(1500)) return false;
        d.SendString(write);
        if (!d.WaitHD(1500)) return false;
    }
    d.SendString("/\r");
    return d.WaitHD(1500);
}

}  // namespace

TransferOutcome ReadTrack(Dialogue& d, const QByteArray& track, const QByteArray& head,
                          const QByteArray& startSector, const QByteArray& sectorCount,
                          const QByteArray& bufferBlock, const QByteArray& chunkSectors,
                          const QString& fileName, bool showProgress) {
    Host& host = d.host();
    if (!allHex({&track, &head, &startSector, &sectorCount, &bufferBlock, &chunkSectors})) {
        host.information(kBadNumber);
        return Outcome::refused(Outcome::By::Check, kBadNumber);
    }
    const quint64 total = *hexArg(sectorCount);
    const quint64 chunk = *hexArg(chunkSectors);
    d.CaptureBuffer.clear();
    d.ReceiveMode.clear();
    if (showProgress) {
        d.addLine(kReadingData);
        d.PumpWait(1);
    }
    if (chunk == 0) return endWithDataError(d);
    if (Outcome target = fileCanBeCreated(d, fileName, showProgress); !target.isDone()) return target;

    QByteArray image;
    ChunkReader reader(d, trimmed(track), trimmed(head), *hexArg(bufferBlock), [&image](const QByteArray& b) {
        image += b;
        return true;
    });
    bool failed = false;
    bool written = false;
    QString why;
    d.SendString("/2\r");
    if (!d.WaitHD(1500)) {
        failed = true;
    } else if (!d.AbortRequested) {
        host.setProgressMax(static_cast<qint64>(total));
        host.setProgressBytes(static_cast<qint64>(total) * kBlockBytes);
        host.setProgress(0);
        quint64 sector = *hexArg(startSector);
        QByteArray sectorText = trimmed(startSector);
        for (quint64 i = 1; i <= total / chunk; ++i) {
            const bool more = reader.wholeChunk(sectorText, trimmed(chunkSectors), chunk);
            sector += chunk;
            sectorText = hexText(sector);
            if (reader.ended()) return endWithDataError(d);
            if (!more) break;
            host.setProgress(static_cast<qint64>(i * chunk));
        }
        if (!reader.failed && !d.AbortRequested) {
            if (total % chunk > 0) {
                reader.partialChunk(sectorText, total % chunk);
                if (reader.ended()) return endWithDataError(d);
            }
            // Written also when the last, partial chunk failed: the whole chunks before it are good.
            QString error;
            if (!saveFile(fileName, image, &error)) {
                why = cannotWriteMessage(fileName, error);
                if (showProgress) host.warning(why);
                reader.failed = true;
            } else {
                written = true;
                host.setProgress(static_cast<qint64>(total));
            }
        }
        failed = reader.failed;
    }
    d.ReceiveMode.clear();
    image.clear();
    return reportRead(d, showProgress, !failed, why, written ? fileName : QString());
}

TransferOutcome ReadReserve(Dialogue& d, const QByteArray& firstTrack, const QByteArray& lastTrack,
                            const QByteArray& head, const QByteArray& sectorsPerTrack,
                            const QByteArray& bufferBlock, const QByteArray& chunkSectors,
                            const QString& fileName, bool showProgress) {
    Host& host = d.host();
    if (!allHex({&firstTrack, &lastTrack, &head, &sectorsPerTrack, &bufferBlock, &chunkSectors})) {
        host.information(kBadNumber);
        return Outcome::refused(Outcome::By::Check, kBadNumber);
    }
    const quint64 first = *hexArg(firstTrack);
    const quint64 last = *hexArg(lastTrack);
    const quint64 spt = *hexArg(sectorsPerTrack);
    const quint64 chunk = *hexArg(chunkSectors);
    // No tracks or no sectors would make an empty file that looks like a finished read.
    if (spt == 0 || first > last) {
        host.information(kBadNumber);
        return Outcome::refused(Outcome::By::Check, kBadNumber);
    }
    d.CaptureBuffer.clear();
    d.ReceiveMode.clear();
    if (showProgress) {
        d.addLine(kReadingData);
        d.PumpWait(1);
    }
    if (chunk == 0) return endWithDataError(d);

    if (Outcome target = fileCanBeCreated(d, fileName, showProgress); !target.isDone()) return target;

    bool failed = false;
    bool committed = false;
    QString why;
    // Written as it is read, through a file renamed into place at the end: a complete read replaces
    // the file; after a failure or an abort the sectors read so far are kept, but never in place of
    // a file that was already there.
    const bool existed = QFileInfo::exists(fileName);
    QSaveFile file(fileName);
    qint64 written = 0;
    bool discarded = false;
    auto finish = [&](bool whole) {
        if (!file.isOpen() || discarded) return true;
        if (!whole && (existed || written == 0)) {
            file.cancelWriting();
            return true;
        }
        if (file.commit()) {
            committed = true;
            return true;
        }
        why = cannotWriteMessage(fileName, file.errorString());
        if (showProgress) host.warning(why);
        return false;
    };
    if (!file.open(QIODevice::WriteOnly)) {
        why = cannotCreateMessage(fileName, file.errorString());
        if (showProgress) host.warning(why);
        failed = true;
    } else if (!d.AbortRequested) {
        d.SendString("/2\r");
        if (!d.WaitHD(1500)) {
            failed = true;
        } else {
            host.setProgressMax(last >= first ? static_cast<qint64>((last - first + 1) * spt) : 0);
            host.setProgressBytes(last >= first ? static_cast<qint64>((last - first + 1) * spt) * kBlockBytes
                                                : 0);
            host.setProgress(0);
            QByteArray trackText = trimmed(firstTrack);
            for (quint64 track = first; track <= last; ++track, trackText = hexText(track)) {
                ChunkReader reader(d, trackText, trimmed(head), *hexArg(bufferBlock),
                                   [&file, &written](const QByteArray& b) {
                                       written += b.size();
                                       return file.write(b) == b.size();
                                   });
                quint64 sector = 0;
                for (quint64 i = 0; i < spt / chunk; ++i) {
                    const bool more = reader.wholeChunk(hexText(sector), trimmed(chunkSectors), chunk);
                    sector += chunk;
                    if (!more) break;
                    host.setProgress(host.progress() + static_cast<qint64>(chunk));
                }
                if (!reader.failed && !reader.ended() && !d.AbortRequested && spt % chunk > 0) {
                    reader.partialChunk(hexText(sector), spt % chunk);
                    host.setProgress(host.progress() + static_cast<qint64>(spt % chunk));
                }
                if (reader.dataError) {
                    finish(false);
                    Outcome outcome = endWithDataError(d);
                    if (committed) outcome.wrote(fileName);
                    return outcome;
                }
                if (reader.storeError) {
                    // The disk, not the drive: a file error is never reported as garbled data.
                    why = cannotWriteMessage(fileName, file.errorString());
                    if (showProgress) host.warning(why);
                    file.cancelWriting();
                    discarded = true;
                    failed = true;
                    break;
                }
                if (reader.failed || d.AbortRequested) {
                    failed = reader.failed;
                    break;
                }
            }
        }
    }
    if (!finish(!failed && !d.AbortRequested)) failed = true;
    return reportRead(d, showProgress, !failed, why, committed ? fileName : QString());
}

TransferOutcome WriteTrack(Dialogue& d, const QByteArray& tracks, const QByteArray& head,
                           const QByteArray& startSector, const QByteArray& sectorCount,
                           const QByteArray& bufferAddress, const QByteArray& chunkSectors,
                           const QString& fileName, const QString& writeSpeed) {
    Host& host = d.host();
    ChunkTarget target{{}, trimmed(head), trimmed(bufferAddress), writeSpeed.trimmed(), true};
    bool listOk = true;
    for (const QByteArray& t : trimmed(tracks).split(',')) {
        listOk = listOk && hexArg(t);
        target.tracks << trimmed(t);
    }
    // An empty head is sent as it is: the drive takes its default head.
    const bool headOk = target.head.isEmpty() || hexArg(target.head);
    if (!listOk || !headOk || !allHex({&startSector, &sectorCount, &bufferAddress, &chunkSectors}) ||
        *hexArg(chunkSectors) == 0 || *hexArg(chunkSectors) > kMaxWriteChunk) {
        return refuseWrite(d, kBadNumber);
    }
    const quint64 chunk = *hexArg(chunkSectors);
    // A count beyond any file stands for "all of the file" (its bytes would not fit in 64 bits).
    const quint64 count = *hexArg(sectorCount);
    quint64 bytes = count > quint64(kMaxTransferFile) ? quint64(kMaxTransferFile) + 1 : count * kBlockBytes;
    // The file is checked before the drive is told anything.
    QString refusal = transferFileRefusal(fileName);
    std::optional<QByteArray> file;
    if (refusal.isEmpty()) {
        file = loadFile(fileName);
        if (!file) {
            refusal = kCannotOpen;
        } else if (file->isEmpty()) {
            refusal = kEmptyFile;
        } else if (bytes > quint64(file->size())) {
            bytes = static_cast<quint64>(file->size());
            if (bytes % kBlockBytes != 0) refusal = lengthMessage(kBlockBytes);
        }
    }
    if (!refusal.isEmpty()) return refuseWrite(d, refusal);
    QByteArray image = file->left(static_cast<qsizetype>(bytes));

    bool failed = !beginWrite(d);
    if (!failed && !d.AbortRequested) {
        d.addLine(kWritingData);
        const quint64 first = *hexArg(startSector);
        const quint64 secs = bytes / kBlockBytes;
        const quint64 n = secs / chunk;
        const quint64 rem = secs % chunk;
        const QByteArrayView all(image);
        host.setProgressMax(static_cast<qint64>(n + (rem > 0 ? 1 : 0)));
        host.setProgressBytes(static_cast<qint64>(bytes));
        host.setProgress(0);
        for (quint64 i = 0; i < n && !failed && !d.AbortRequested; ++i) {
            const auto data = all.sliced(static_cast<qsizetype>(i * chunk * kBlockBytes),
                                         static_cast<qsizetype>(chunk * kBlockBytes));
            failed = !WriteChunk(d, target, data, first + i * chunk, chunk);
            host.setProgress(host.progress() + 1);
        }
        if (!failed && !d.AbortRequested) {
            if (rem > 0) {
                const auto data = all.sliced(static_cast<qsizetype>(n * chunk * kBlockBytes));
                failed = !WriteChunk(d, target, data, first + n * chunk, rem);
            }
            host.setProgress(static_cast<qint64>(n + (rem > 0 ? 1 : 0)));
        }
    }
    image.clear();
    return endWrite(d, failed, QString());
}

TransferOutcome WriteReserve(Dialogue& d, const QByteArray& firstTrack, const QByteArray& lastTrack,
                             const QByteArray& head, const QByteArray& sectorsPerTrack,
                             const QByteArray& bufferAddress, const QByteArray& chunkSectors,
                             const QString& fileName, const QString& writeSpeed) {
    Host& host = d.host();
    if (!allHex({&firstTrack, &lastTrack, &head, &sectorsPerTrack, &bufferAddress, &chunkSectors}) ||
        *hexArg(chunkSectors) == 0 || *hexArg(chunkSectors) > kMaxWriteChunk ||
        *hexArg(sectorsPerTrack) == 0 || *hexArg(firstTrack) > *hexArg(lastTrack)) {
        return refuseWrite(d, kBadNumber);
    }
    const quint64 first = *hexArg(firstTrack);
    const quint64 last = *hexArg(lastTrack);
    const quint64 spt = *hexArg(sectorsPerTrack);
    const quint64 chunk = *hexArg(chunkSectors);
    ChunkTarget target{{}, trimmed(head), trimmed(bufferAddress), writeSpeed.trimmed(), false};
    // Opened shared (other programs may have it open too) and checked before the drive is told anything.
    QFile file(fileName);
    QString refusal;
    if (!file.open(QIODevice::ReadOnly))
        refusal = kCannotOpen;
    else if (file.size() > kMaxStreamedFile)
        refusal = fileTooLarge(kMaxStreamedFile);
    else if (file.size() % kBlockBytes != 0)
        refusal = lengthMessage(kBlockBytes);
    else if (file.size() == 0)
        refusal = kEmptyFile;
    if (!refusal.isEmpty()) return refuseWrite(d, refusal);

    bool failed = !beginWrite(d);
    QString why;
    if (!failed && !d.AbortRequested) {
        d.addLine(kWritingData);
        quint64 left = static_cast<quint64>(file.size()) / kBlockBytes;
        qint64 chunks = 0;
        for (quint64 t = first, l = left; t <= last && l > 0; ++t) {
            const quint64 secs = std::min(spt, l);
            chunks += static_cast<qint64>((secs + chunk - 1) / chunk);
            l -= secs;
        }
        host.setProgressMax(chunks);
        host.setProgressBytes(static_cast<qint64>(
            std::min<quint64>(quint64(file.size()), (last - first + 1) * spt * quint64(kBlockBytes))));
        host.setProgress(0);
        QByteArray trackText = trimmed(firstTrack);
        for (quint64 track = first; track <= last && left > 0 && !failed && !d.AbortRequested;
             ++track, trackText = hexText(track)) {
            target.tracks = {trackText};
            const quint64 secs = std::min(spt, left);
            for (quint64 s = 0; s < secs && !failed && !d.AbortRequested; s += chunk) {
                const quint64 count = std::min(chunk, secs - s);
                const QByteArray data = file.read(static_cast<qint64>(count * kBlockBytes));
                if (quint64(data.size()) != count * kBlockBytes) {
                    host.information(kCannotOpen);
                    why = kCannotOpen;
                    failed = true;
                    break;
                }
                failed = !WriteChunk(d, target, data, s, count);
                host.setProgress(host.progress() + 1);
            }
            left -= secs;
        }
    }
    file.close();
    return endWrite(d, failed, why);
}

}  // namespace hdd
