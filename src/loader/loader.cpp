#include "loader.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <functional>

#include "checksums.h"
#include "dialogue.h"
#include "download.h"
#include "monitor.h"
#include "operation.h"
#include "text.h"
#include "transfer.h"

namespace hdd {

namespace {

constexpr qint64 kMiB = 1048576;
constexpr qint64 kSmallLimit = 130048;  // 254 sectors

const QString kNoModule = QStringLiteral("请指定要加载的模块！");
const QString kNoBuffer = QStringLiteral("指定缓冲区！");
const QString kNoBlockSize = QStringLiteral("请指定数据块大小！");

QByteArray bytes(const QString& text) { return toGbk(text); }

// The drive's "save to disk" after APP or CERT: the answers are not looked at.
void saveSequence(Dialogue& d, const QByteArray& write) {
    R1R2(d);
    d.SendString(write);
    d.WaitHD(500);
}

// The ATA code made permanent: built, and with `save` written to the disk with the spindle up.
void finishAta(Dialogue& d, int pause, bool save) {
    d.PumpWait(pause);
    d.SendString("b,,22\r");
    d.WaitHD(200);
    if (save) {
        d.SendString("/2\r");
        d.WaitHD(10);
        d.SendString("U\r");
        d.PumpWait(500);
        d.SendString("/\r");
        d.WaitHD(10);
        d.SendString("c\r");
        d.WaitHD(1000);
    }
}

std::optional<qint64> blockSize(const QString& text) {
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok, 10);
    if (!ok || v <= 0 || v > 0xFFFF) return std::nullopt;
    return v;
}

QString loadingLine(Module m) {
    const QString* const lines[] = {&kLoadingApp, &kLoadingCert, &kLoadingTable, &kLoadingAta0,
                                    &kLoadingAta1};
    return *lines[static_cast<int>(m)];
}

bool fileExists(const QString& file) { return QFileInfo(file.trimmed()).isFile(); }

// A loader's result word on its line, and its outcome: a download the abort key stopped is
// aborted, not failed (but the abort a lost port raises is a failure).
Outcome loaded(Dialogue& d, Module m, bool ok) {
    d.appendResult(ok ? kSuccess : kFailed);
    if (ok) return Outcome::done();
    if (d.AbortRequested && !d.portLost()) return Outcome::aborted();
    return Outcome::failed(loadingLine(m) + kFailed);
}

}  // namespace

QString moduleName(Module m) {
    switch (m) {
        case Module::App:
            return QStringLiteral("APP");
        case Module::Cert:
            return QStringLiteral("CERT");
        case Module::Table:
            return QStringLiteral("TABLE");
        case Module::Ata0:
            return QStringLiteral("ATA0");
        case Module::Ata1:
            return QStringLiteral("ATA1");
    }
    return {};
}

qint64 moduleSizeLimit(Module m) { return m == Module::App || m == Module::Cert ? kMiB : kSmallLimit; }

QString pickerRefusal(Module m, qint64 length) {
    if (length <= moduleSizeLimit(m)) return {};
    return m == Module::App || m == Module::Cert ? QStringLiteral("模块文件长度不能大于1MB！")
                                                 : QStringLiteral("模块文件长度不能大于127KB！");
}

QString tableSectorCount(qint64 length) {
    return toHexText(static_cast<quint64>(qMax<qint64>(0, length) / 512));
}

QString withSeparator(const QString& folder) {
    QString f = folder.trimmed();
    if (!f.endsWith('/')) f += '/';
    return f;
}

QString parentFolder(const QString& folder) {
    const QString f = withSeparator(folder);
    const qsizetype last = f.lastIndexOf('/', f.size() - 2);
    return last < 0 ? QString() : f.left(last + 1);
}

FolderModules modulesInFolder(const QString& folder) {
    const QString f = withSeparator(folder);
    // Exactly these names: on a case-sensitive file system "table.bin" is another file.
    auto present = [&f](const char* name) {
        const QString path = f + QString::fromLatin1(name);
        return QFileInfo(path).isFile() ? path : QString();
    };
    FolderModules m;
    m.app = present("APP.BIN");
    m.cert = present("CERT.BIN");
    m.table = present("Table.BIN");
    if (!m.table.isEmpty()) m.tableSectors = tableSectorCount(QFileInfo(m.table).size());
    const QString ata0 = present("ATA0.BIN"), ata1 = present("ATA1.BIN");
    if (!ata0.isEmpty() && !ata1.isEmpty()) {
        m.ata0 = ata0;
        m.ata1 = ata1;
    } else {
        m.ata = present("ATA.BIN");
    }
    return m;
}

QString identifiedFolder(const QString& firmwareFolder, const FirmwareId& id) {
    const QByteArray name = upperAscii(id.family + "_" + id.maskRom + "_" + id.version);
    return firmwareFolder.trimmed() + fromGbk(trimmed(name));
}

std::optional<QString> familyBuffer(const FamilyEntry& entry) {
    const QList<QByteArray> numbers = valueNumbers(entry.app);
    if (numbers.size() < 4) return std::nullopt;
    // What stands after the third number decides; "80" alone means the 80 buffer.
    QByteArray rest = trimmed(entry.app);
    for (int i = 0; i < 3; ++i) rest = trimmed(rest.mid(rest.indexOf(' ') + 1));
    return rest == "80" ? QStringLiteral("80") : QStringLiteral("60");
}

std::optional<BlockSizes> pairedBlockSizes(const QString& buffer) {
    if (buffer == QLatin1String("80")) return BlockSizes{QStringLiteral("1024"), QStringLiteral("2048")};
    if (buffer == QLatin1String("60")) return BlockSizes{QStringLiteral("2048"), QStringLiteral("4096")};
    return std::nullopt;
}

// --- the loaders ---

Outcome LoadApp(Dialogue& d, const QByteArray& image, const QString& buffer, qint64 blockSize, bool save) {
    d.addLine(kLoadingApp);
    d.PumpWait(2);
    FreshFCommandLine(d);
    d.ReceiveMode.clear();
    // The 80 buffer takes the download in 1024-byte steps, any other in 2048-byte ones.
    d.SendString(buffer == QLatin1String("80") ? QByteArray("d80,1\r") : "d" + bytes(buffer) + ",2\r");
    d.PumpWait(10);
    bool ok = SendImage(d, image, blockSize);
    if (ok) {
        d.PumpWait(300);
        d.SendString("j,,1\r");
        ok = d.WaitHD(1500);
    }
    // The APP is running only when the drive answers at the T level.
    const bool result = ok && isT(d);
    if (result) {
        d.SendString("\r");
        if (d.WaitHD(100) && save) saveSequence(d, "w4,60\r");
    }
    return loaded(d, Module::App, result);
}

Outcome LoadCert(Dialogue& d, const QByteArray& image, qint64 blockSize, bool save) {
    d.addLine(kLoadingCert);
    d.PumpWait(2);
    d.ReceiveMode.clear();
    d.SendString(blockSize == 4096 ? "d,3,1\r" : "d,2,1\r");
    d.PumpWait(10);
    bool ok = SendImage(d, image, blockSize);
    if (ok) {
        d.PumpWait(300);
        d.SendString("\r");
        // A drive that went back to 9600 after taking its CERT is followed there.
        if (!d.WaitHD(5)) Set9600(d);
        d.LastPrompt.clear();
        for (int i = 0; i < 300 && d.LastPrompt.isEmpty(); ++i) {
            d.SendString("\r");
            d.WaitHD(10);
        }
        d.CaptureBuffer.clear();
        d.ReceiveMode = kSysCmd;
        d.SendString("r\r");
        d.WaitHD(50);
        ok = false;
        for (const QByteArray& line : d.captureLines()) ok = ok || line.contains("Disk Code Revision");
        d.CaptureBuffer.clear();
        if (ok) {
            d.SendString("\r");
            if (d.WaitHD(100) && save) saveSequence(d, "w1,60\r");
        }
    }
    return loaded(d, Module::Cert, ok);
}

Outcome LoadTable(Dialogue& d, const QByteArray& image, const QString& sectorCount, bool save) {
    d.PumpWait(50);
    d.SendString("/\r");
    d.WaitHD(5);
    d.SendString("h" + bytes(sectorCount.trimmed()) + "\r");
    if (d.WaitHD(10)) {
        // A prompt at once: the drive will not take a TABLE before its CERT.
        d.addLine(kTableNeedsCert);
        return Outcome::refused(Outcome::By::Drive, kTableNeedsCert);
    }
    d.addLine(kLoadingTable);
    d.PumpWait(1);
    const bool ok = SendImage(d, image, 512);
    if (ok) {
        d.PumpWait(300);
        for (int i = 0; i < 100 && d.LastPrompt.isEmpty(); ++i) {
            d.SendString("\r");
            d.WaitHD(50);
        }
        d.SendString("\r");
        if (d.WaitHD(100) && save) {
            d.SendString("w,,22\r");
            d.WaitHD(500);
        }
    }
    return loaded(d, Module::Table, ok);
}

Outcome LoadATA0(Dialogue& d, const QByteArray& image, qint64 blockSize, bool finish, bool save) {
    d.addLine(kLoadingAta0);
    d.PumpWait(1);
    d.ReceiveMode.clear();
    d.SendString("/\r");
    d.WaitHD(10);
    d.SendString("N4F,,22\r");
    d.WaitHD(10);
    d.SendString("/\r");
    d.WaitHD(10);
    d.SendString("e0,0\r");
    d.PumpWait(500);
    const bool ok = SendImage(d, image, blockSize);
    if (!ok) {
        d.SendString("N50,,22\r");
        d.WaitHD(100);
    }
    if (ok && finish) {
        finishAta(d, 300, save);
        d.SendString("N50,,22\r");
        d.WaitHD(100);
    }
    return loaded(d, Module::Ata0, ok);
}

Outcome LoadATA1(Dialogue& d, const QByteArray& image, qint64 blockSize, bool finish, bool save) {
    d.addLine(kLoadingAta1);
    d.PumpWait(1);
    d.ReceiveMode.clear();
    d.SendString("/\r");
    d.WaitHD(10);
    d.SendString("e1,0\r");
    d.PumpWait(500);
    const bool ok = SendImage(d, image, blockSize);
    if (ok && finish) finishAta(d, 200, save);
    d.SendString("N50,,22\r");
    d.WaitHD(100);
    return loaded(d, Module::Ata1, ok);
}

// --- the load key ---

const ModuleChoice& LoadRequest::choice(Module m) const {
    switch (m) {
        case Module::App:
            return app;
        case Module::Cert:
            return cert;
        case Module::Table:
            return table;
        case Module::Ata0:
            return ata0;
        case Module::Ata1:
            break;
    }
    return ata1;
}

QString checkLoad(const LoadRequest& r) {
    bool any = false;
    for (Module m : kModules) any = any || r.choice(m).ticked;
    if (!any) return kNoModule;
    for (Module m : kModules) {
        const ModuleChoice& c = r.choice(m);
        if (!c.ticked) continue;
        if (m == Module::App) {
            if (r.buffer.trimmed().isEmpty()) return kNoBuffer;
            if (r.appBlockSize.trimmed().isEmpty()) return kNoBlockSize;
        }
        if (m == Module::Cert && r.certBlockSize.trimmed().isEmpty()) return kNoBlockSize;
        const QString name = moduleName(m);
        if (c.file.trimmed().isEmpty()) return QStringLiteral("请指定%1模块文件！").arg(name);
        if (!fileExists(c.file)) return QStringLiteral("指定的%1模块文件不存在！").arg(name);
    }
    return {};
}

QString checkAgainstSums(const LoadRequest& r) {
    static const QStringList moduleFiles = {"APP.BIN", "CERT.BIN", "Table.BIN",
                                            "ATA.BIN", "ATA0.BIN", "ATA1.BIN"};
    QMap<QString, QList<SumCheck>> checked;  // per folder
    for (Module m : kModules) {
        const ModuleChoice& c = r.choice(m);
        if (!c.ticked) continue;
        const QFileInfo file(c.file.trimmed());
        const QString folder = file.absolutePath();
        if (!checked.contains(folder)) {
            QString why;
            const auto sums = checkSums(folder, &why);
            if (!sums && QFileInfo::exists(QDir(folder).filePath(kSumsFileName)))
                return kSumsUnreadable.arg(QDir::toNativeSeparators(QDir(folder).filePath(kSumsFileName)),
                                           why);
            checked.insert(folder, sums.value_or(QList<SumCheck>()));
        }
        for (const SumCheck& s : checked.value(folder)) {
            const QString path = QDir::toNativeSeparators(QDir(folder).filePath(s.name));
            // A module the folder's list names but the folder lacks: the backup there is not whole.
            if (s.state == SumCheck::State::Missing && moduleFiles.contains(s.name))
                return kModuleMissing.arg(path);
            if (s.state == SumCheck::State::Failed && s.name == file.fileName())
                return kModuleAltered.arg(path);
        }
    }
    return {};
}

QString loadFieldRefusal(const LoadRequest& r) {
    auto invalid = [](const QString& field, const QString& text, const QString& rule) {
        return QStringLiteral("%1“%2”无效：%3").arg(field, text, rule);
    };
    const QString decimal = QStringLiteral("应为1至65535的十进制数！");
    if (r.app.ticked) {
        const QString buffer = r.buffer.trimmed();
        if (!buffer.isEmpty() && (buffer.size() > 8 || !parseHex(buffer)))
            return invalid(QStringLiteral("缓冲区"), r.buffer, QStringLiteral("应为十六进制数！"));
        if (!r.appBlockSize.trimmed().isEmpty() && !blockSize(r.appBlockSize))
            return invalid(QStringLiteral("APP数据块大小"), r.appBlockSize, decimal);
    }
    if (r.cert.ticked && !r.certBlockSize.trimmed().isEmpty() && !blockSize(r.certBlockSize))
        return invalid(QStringLiteral("CERT数据块大小"), r.certBlockSize, decimal);
    if (r.table.ticked && !r.tableSectors.trimmed().isEmpty() && !parseHex(r.tableSectors.trimmed()))
        return invalid(QStringLiteral("TABLE扇区数"), r.tableSectors, QStringLiteral("应为十六进制数！"));
    const QString speed = r.speed.trimmed();
    bool known = speed.isEmpty();
    for (const LinkSpeed& s : linkSpeeds()) known = known || speed == QString::number(s.baud);
    if (!known) return invalid(QStringLiteral("加载速率"), r.speed, QStringLiteral("不是可用的速率！"));
    return {};
}

Outcome LoadModules(Dialogue& d, const LoadRequest& r, QString* tableSectors) {
    d.CaptureBuffer.clear();
    if (const QString why = checkLoad(r); !why.isEmpty()) {
        d.host().information(why);
        return Outcome::refused(Outcome::By::Input, why);
    }
    // A field that would put garbage into a command stops the load before the drive is restarted, and
    // a module that is not what its backup's SHA256SUMS lists is never sent.
    QString refusal = loadFieldRefusal(r);
    if (refusal.isEmpty()) refusal = checkAgainstSums(r);
    if (const QString why = refusal; !why.isEmpty()) {
        d.host().warning(why);
        return Outcome::refused(Outcome::By::Check, why);
    }
    // Each ticked file is read once, here; the loaders get its bytes.
    QByteArray images[5];
    int i = 0;
    for (Module m : kModules) {
        const ModuleChoice& c = r.choice(m);
        if (c.ticked) {
            QString why = transferFileRefusal(c.file.trimmed());
            const auto image = why.isEmpty() ? loadFile(c.file.trimmed()) : std::nullopt;
            if (why.isEmpty() && !image) why = kCannotOpen;
            if (!why.isEmpty()) {
                d.host().information(why);
                return Outcome::refused(Outcome::By::Check, why);
            }
            images[i] = *image;
        }
        ++i;
    }
    // The count announced for TABLE is always its file's, however the field came to differ.
    QString announced = r.tableSectors;
    const QByteArray& table = images[2];
    if (r.table.ticked && parseHex(r.tableSectors.trimmed()) != quint64(table.size() / 512))
        announced = tableSectorCount(table.size());
    // A module the block download cannot carry (more than 255 blocks, not a whole number of them)
    // fails before anything is sent: the drive is neither restarted nor left waiting for a download.
    const qint64 blockSizes[5] = {blockSize(r.appBlockSize).value_or(0),
                                  blockSize(r.certBlockSize).value_or(0), 512, 512, 512};
    for (int k = 0; k < 5; ++k) {
        const QString why = downloadRefusal(images[k].size(), blockSizes[k]);
        if (!r.choice(kModules[k]).ticked || why.isEmpty()) continue;
        const QString message = QStringLiteral("%1模块：%2").arg(moduleName(kModules[k]), why);
        d.addLine(loadingLine(kModules[k]));
        d.host().information(message);
        d.appendResult(kFailed);
        return Outcome::failed(message);
    }

    if (tableSectors) *tableSectors = announced;
    // An abort pressed before this run started is not meant for it: the frame clears it.
    Operation op(d);
    d.ReceiveMode.clear();
    // The link is raised to the load speed once the drive answers at the level of the module.
    auto raise = [&] {
        WaitPrompt(d);
        op.raiseSpeed(r.speed);
    };
    Outcome outcome;
    bool go = true;
    auto step = [&](const Outcome& o) {
        outcome.merge(o);
        // A drive that will not take TABLE before its CERT lets the load go on.
        go = o.isDone() || o.status == Outcome::Status::Refused;
    };
    if (r.app.ticked) {
        ToF(d);
        if (isF(d)) {
            raise();
            step(LoadApp(d, images[0], r.buffer, blockSizes[0], r.app.save));
        } else {
            step(Outcome::failed(QStringLiteral("转换至F级失败！")));
        }
    }
    auto tFrame = [&](Module m, const std::function<Outcome()>& load) {
        if (!r.choice(m).ticked || !go) return;
        op.returnSpeed(Operation::Level::Ask);
        if (!isT(d)) {
            d.addLine(kNotAtTForLoad);
            outcome.merge(Outcome::refused(Outcome::By::Drive, kNotAtTForLoad));
            go = false;
            return;
        }
        raise();
        step(load());
    };
    tFrame(Module::Cert, [&] { return LoadCert(d, images[1], blockSizes[1], r.cert.save); });
    tFrame(Module::Table, [&] { return LoadTable(d, images[2], announced, r.table.save); });
    tFrame(Module::Ata0, [&] { return LoadATA0(d, images[3], 512, !r.ata1.ticked, r.ata0.save); });
    tFrame(Module::Ata1, [&] { return LoadATA1(d, images[4], 512, true, r.ata1.save); });

    op.returnSpeed(Operation::Level::Ask);
    d.PumpWait(50);
    return outcome;
}

Outcome IdentifyFirmware(Dialogue& d, const QString& firmwareFolder, const QStringList& families,
                         IdentifiedFirmware& found) {
    Operation op(d);
    d.addLine(kAnalysing);
    const FirmwareId id = ReadFirmwareId(d);
    found.folder = identifiedFolder(withSeparator(firmwareFolder), id);
    found.family = MatchFamily(families, id, false);
    // A drive that gives no identification finds nothing, and the analysis is still complete.
    op.endInUserMode();
    d.appendResult(kDone);
    return Outcome::done();
}

}  // namespace hdd
