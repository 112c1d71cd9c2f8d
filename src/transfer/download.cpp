#include "download.h"

#include <QFile>

#include "dialogue.h"
#include "host.h"
#include "text.h"
#include "transfer.h"

namespace hdd {

namespace {

int digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

quint32 DownloadSum(QByteArrayView bytes, quint32 start) {
    quint32 a = start;
    for (char c : bytes) a += static_cast<unsigned char>(c) ^ (a & 0xAA);
    return a;
}

QByteArray BlockChecksum(QByteArrayView block, int number) {
    quint32 a = DownloadSum(block);
    a += static_cast<quint32>(number) ^ (a & 0xAA);
    return QByteArray::number(a & 0xFFFF, 16).toUpper().rightJustified(4, '0');
}

QByteArray HexToBytes(const QByteArray& text) {
    QByteArray out;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const int hi = digitValue(text[i]);
        if (hi < 0) continue;
        const int lo = i + 1 < n ? digitValue(text[i + 1]) : -1;
        out += static_cast<char>(lo < 0 ? hi : hi << 4 | lo);
        ++i;  // the second digit, or the character after a lone digit
    }
    return out;
}

QByteArray checksumBytes(quint32 sum) {
    return HexToBytes(QByteArray::number(sum & 0xFFFF, 16).rightJustified(4, '0'));
}

bool SendBlock(Dialogue& d, QByteArrayView data, int number) {
    if (number < 0 || number > 255 || data.size() > 0xFFFF) return false;
    const QByteArray checksum = HexToBytes(BlockChecksum(data, number));
    for (int attempts = 3; attempts > 0;) {
        d.PumpWait(2);
        d.SendString("\xCC\x33");
        if (!d.WaitWB(1500)) return false;
        d.SendString(QByteArray(1, static_cast<char>(number)));
        d.Sendbuffer(data.data(), static_cast<quint16>(data.size()));
        d.PumpWait(2);
        d.SendString("\xCC\x33");
        if (!d.WaitWB(1500)) return false;
        d.PumpWait(2);
        d.SendString(checksum);
        --attempts;
        if (d.WaitWE(200) && d.Handshake == "OK") return true;
    }
    return false;
}

QString downloadRefusal(qint64 length, qint64 blockSize) {
    if (blockSize <= 0 || length % blockSize != 0) return lengthMessage(blockSize);
    if (length == 0) return kEmptyFile;
    if (length / blockSize > kMaxDownloadBlocks) {
        return QStringLiteral("文件太大：一次最多发送%1个数据块（%2字节）！")
            .arg(kMaxDownloadBlocks)
            .arg(kMaxDownloadBlocks * blockSize);
    }
    return QString();
}

namespace {

// A refusal shown in an information box before anything is sent. The length rule is the download's
// own message about the file given; the other reasons are checks of this tool.
Outcome refuseFile(Host& host, const QString& why, qint64 blockSize) {
    host.information(why);
    const bool lengthRule = blockSize > 0 && why == lengthMessage(blockSize);
    return Outcome::refused(lengthRule ? Outcome::By::Input : Outcome::By::Check, why);
}

}  // namespace

TransferOutcome SendImage(Dialogue& d, const QByteArray& image, qint64 blockSize) {
    Host& host = d.host();
    const QString refusal = downloadRefusal(image.size(), blockSize);
    if (!refusal.isEmpty()) return refuseFile(host, refusal, blockSize);
    d.SendString("\xCC");
    if (!d.WaitWB(1500)) return Outcome::failed(kFailed);
    d.SendString("\x33");
    if (!d.WaitWB(1500)) return Outcome::failed(kFailed);

    const qint64 n = image.size() / blockSize;
    auto block = [&](qint64 k) { return QByteArrayView(image).sliced(k * blockSize, blockSize); };
    host.setProgressMax(image.size());
    host.setProgressBytes(image.size());
    host.setProgress(0);
    for (qint64 k = 1; k < n; ++k) {
        if (!SendBlock(d, block(k), static_cast<int>(k))) return Outcome::failed(kFailed);
        host.setProgress(host.progress() + blockSize);
        if (d.AbortRequested) {
            d.addLine(QStringLiteral("操作被用户中止！"));
            return Outcome::aborted();
        }
    }
    if (!SendBlock(d, block(0), 0)) return Outcome::failed(kFailed);
    d.SendString(checksumBytes(DownloadSum(image)));
    host.setProgress(image.size());
    d.PumpWait(100);
    return Outcome::done();
}

TransferOutcome SendFile(Dialogue& d, const QString& fileName, qint64 blockSize) {
    if (const QString why = transferFileRefusal(fileName); !why.isEmpty())
        return refuseFile(d.host(), why, blockSize);
    const auto image = loadFile(fileName);
    if (!image) return refuseFile(d.host(), kCannotOpen, blockSize);
    return SendImage(d, *image, blockSize);
}

TransferOutcome WriteBuffer(Dialogue& d, const QByteArray& startBlock, const QByteArray& blockCount,
                            const QString& fileName) {
    Host& host = d.host();
    const auto start = hexArg(startBlock);
    const auto count = hexArg(blockCount);
    if (!start || !count) return refuseFile(host, kBadNumber, kBlockBytes);
    d.CaptureBuffer.clear();
    d.ReceiveMode.clear();
    d.LastPrompt.clear();

    if (const QString why = transferFileRefusal(fileName); !why.isEmpty())
        return refuseFile(host, why, kBlockBytes);
    auto image = loadFile(fileName);
    if (!image) return refuseFile(host, kCannotOpen, kBlockBytes);
    if (quint64(image->size()) > *count * kBlockBytes)
        image->truncate(static_cast<qsizetype>(*count * kBlockBytes));
    // Refused before the drive is told to receive, so a refused file leaves it at its prompt.
    const QString refusal = downloadRefusal(image->size(), kBlockBytes);
    if (!refusal.isEmpty()) return refuseFile(host, refusal, kBlockBytes);
    if (!saveFile(kTempFile, *image)) {
        host.information(kCannotCreate);
        return Outcome::failed(kCannotCreate);
    }

    Outcome sent;
    if (!d.AbortRequested) {
        d.addLine(kWritingBuffer);
        d.SendString("/\r");
        d.PumpWait(50);
        d.SendString("d" + trimmed(startBlock) + "\r");
        d.PumpWait(200);
        sent = SendFile(d, kTempFile, kBlockBytes);
        if (sent.isDone() && !d.AbortRequested) {
            d.PumpWait(200);
            d.SendString("/\r");
            if (!d.WaitHD(1500)) sent = Outcome::failed(kFailed);
        }
    }
    QFile::remove(kTempFile);
    d.PumpWait(200);

    if (d.AbortRequested) {
        d.addLine(kAborted);
        return Outcome::aborted();
    }
    d.appendResult(sent.isDone() ? kSuccess : kFailed);
    // The temporary copy was checked above, so anything but a write is the drive's doing.
    return sent.isDone() ? sent : Outcome::failed(kFailed);
}

}  // namespace hdd
