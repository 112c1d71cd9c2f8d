#include "identity.h"

#include "dialogue.h"
#include "monitor.h"
#include "operation.h"
#include "text.h"

namespace hdd {

namespace {

const QByteArray kArrow = QByteArrayLiteral("->");

// The model words start at 1B, the capacity pairs at these indexes.
constexpr int kFirstModelWord = 0x1B;
constexpr int kModelWords = 20;
constexpr int kCapacityPairs[] = {0x3C, 0x64, 0x81, 0x83};

// A decimal number of digits only (no sign, no blanks inside); nullopt when it is none.
std::optional<quint64> decimalValue(const QString& text) {
    if (text.isEmpty() || text.size() > 19) return std::nullopt;
    quint64 v = 0;
    for (QChar c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + static_cast<quint64>(c.unicode() - '0');
    }
    return v;
}

QByteArray hexDigits(quint64 value, int width) {
    return QByteArray::number(value, 16).toUpper().rightJustified(width, '0');
}

// One word as the drive takes it: "F\r" for its "->", then the write.
void writeWord(Dialogue& d, const QByteArray& text) {
    d.SendString("F\r");
    d.WaitHD(100);
    d.SendString(text);
    d.WaitHD(100);
    d.PumpWait(10);
}

}  // namespace

QString asciiUpper(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        if (c >= 'a' && c <= 'z') c = QChar(c.unicode() - 'a' + 'A');
    }
    return out;
}

QByteArray wordWrite(int index, quint16 value) {
    return "ASCI" + hexDigits(static_cast<quint64>(index) & 0xFF, 2) + hexDigits(value, 4) + "\r";
}

std::optional<quint64> capacitySectors(const QString& text) {
    const auto v = decimalValue(text);
    if (!v) return std::nullopt;
    if (*v >= 10 && *v <= 2048) return (*v * 1'000'000'000ULL / 1024 / 1024) * 1024 * 1024 / 512;
    if (*v >= 19'000'000 && *v <= 4'000'000'000ULL) return *v;
    return std::nullopt;
}

QList<QByteArray> modelWordWrites(const QByteArray& model) {
    // Two hexadecimal digits a byte, blanks ("20") up to 80 digits; a longer text is cut to 40
    // characters so that the model never runs into the words after it.
    QByteArray digits = model.left(2 * kModelWords).toHex().toUpper();
    while (digits.size() < 4 * kModelWords) digits += "20";
    QList<QByteArray> out;
    for (int i = 0; i < kModelWords; ++i)
        out << "ASCI" + hexDigits(kFirstModelWord + i, 2) + digits.mid(i * 4, 4) + "\r";
    return out;
}

QList<QByteArray> capacityWordWrites(quint64 sectors) {
    const QByteArray digits = hexDigits(sectors & 0xFFFFFFFFULL, 8);
    const QByteArray high = digits.left(4), low = digits.mid(4, 4);
    QList<QByteArray> out;
    for (int index : kCapacityPairs) {
        out << "ASCI" + hexDigits(index, 2) + low + "\r";
        out << "ASCI" + hexDigits(index + 1, 2) + high + "\r";
    }
    return out;
}

std::optional<IdentityRefusal> checkIdentityInput(const IdentityChoice& c, const QString& model,
                                                  const QString& capacity) {
    if (!c.initialise && !c.standard && !c.model && !c.capacity)
        return IdentityRefusal{QStringLiteral("请选择需要写入的信息！")};
    if (c.model && model.isEmpty())
        return IdentityRefusal{QStringLiteral("请输入硬盘型号！"), IdentityRefusal::Model};
    const QString cap = capacity.trimmed();
    if (c.capacity && cap.isEmpty())
        return IdentityRefusal{QStringLiteral("请输入硬盘容量！"), IdentityRefusal::Capacity};
    // A capacity that is not to be written is only looked at when it is a number at all: nobody is
    // stopped by a field they did not ask to write.
    const bool looked = c.capacity || decimalValue(cap).has_value();
    if (looked && !capacitySectors(cap))
        return IdentityRefusal{QStringLiteral("硬盘容量不能大于2048G或小于10G！"), IdentityRefusal::Capacity};
    return std::nullopt;
}

Outcome WriteIdentity(Dialogue& d, const IdentityChoice& c, QString& model, const QString& capacity) {
    if (c.initialise || c.standard || c.model || c.capacity) model = asciiUpper(model.trimmed());
    if (auto refusal = checkIdentityInput(c, model, capacity)) {
        d.host().information(refusal->message);
        return Outcome::refused(Outcome::By::Input, refusal->message);
    }
    Operation op(d);
    if (!guardT(d)) {
        // Nothing was sent: the drive keeps its prompt and the console its mode.
        op.skipEnding();
        return Outcome::refused(Outcome::By::Drive, kNotAtT);
    }

    d.addLine(QStringLiteral("正在写入信息，请稍候……"));
    d.PumpWait(1);
    d.ReceiveMode.clear();
    d.SendString("/\r");
    d.WaitHD(100);
    d.SendString("F\r");
    d.WaitHD(100);
    Outcome outcome;
    if (d.LastPrompt != kArrow) {
        d.addLine(kCannotWriteDrive);
        outcome = Outcome::refused(Outcome::By::Drive, kCannotWriteDrive);
    } else {
        d.SendString("\r");
        d.WaitHD(100);
        d.PumpWait(10);
        d.SendString("\r");
        d.WaitHD(100);
        if (c.initialise) {
            d.SendString("F\r");
            d.WaitHD(100);
            d.SendString("ASCIFE\r");
            d.WaitHD(200);
            d.PumpWait(100);
        }
        QList<QByteArray> writes;
        if (c.standard)
            writes << wordWrite(0x01, 0x3FFF) << wordWrite(0x03, 0x0010) << wordWrite(0x06, 0x003F);
        writes << wordWrite(0x52, 0x346B) << wordWrite(0x54, 0x4003);
        if (c.model) writes << modelWordWrites(toGbk(model));
        if (c.capacity) writes << capacityWordWrites(*capacitySectors(capacity.trimmed()));
        for (const QByteArray& w : writes) writeWord(d, w);
        d.addLine(QStringLiteral("写入完成！"));
    }
    d.PumpWait(20);
    return outcome;
}

// The two keys of the main window hold no busy state and keep their own endings: they run without
// an operation frame.
Outcome WriteSerialNumber(Dialogue& d, QString& serial, bool save) {
    serial = asciiUpper(serial.trimmed());
    if (serial.isEmpty()) {
        const QString why = QStringLiteral("请先输入SN！");
        d.host().information(why);
        return Outcome::refused(Outcome::By::Input, why);
    }
    if (!guardT(d)) return Outcome::refused(Outcome::By::Drive, kNotAtT);
    d.ReceiveMode.clear();
    d.addLine(QStringLiteral("正在写入SN......"));
    const QByteArray sn = toGbk(serial) + "\r";
    d.SendString("#\r");
    d.PumpWait(50);
    d.SendString(sn);
    d.PumpWait(50);
    d.SendString(sn);
    d.PumpWait(50);
    if (save) {
        d.SendString("W\r");
        d.WaitHD(500);
    }
    d.appendResult(QStringLiteral("完成！"));
    d.ReceiveMode = kUserCmd;
    d.SendString("/\r");
    return Outcome::done();
}

Outcome OpenLba48(Dialogue& d) {
    Outcome outcome = Outcome::refused(Outcome::By::Drive, kNotAtT);
    if (guardT(d)) {
        d.ReceiveMode.clear();
        d.SendString("F\r");
        d.WaitHD(10);
        if (d.LastPrompt != kArrow) {
            d.addLine(kCannotWriteDrive);
            outcome = Outcome::refused(Outcome::By::Drive, kCannotWriteDrive);
        } else {
            d.SendString("/\r");
            d.WaitHD(100);
            writeWord(d, wordWrite(0x53, 0x4401));
            outcome = Outcome::done();
        }
    }
    d.ReceiveMode = kUserCmd;
    d.SendString("\r");
    return outcome;
}

}  // namespace hdd
