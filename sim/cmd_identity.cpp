// Simulated drive: the identity commands at T level.
//
//   "F"        answered with the prompt "->": the next line is a word write
//              (setting id.noArrow=1: the drive does not take word writes and answers "T>")
//   "ASCI" + AA + VVVV   at "->": word AA := VVVV (hexadecimal), answered "ID Word AA = VVVV"
//   "ASCIFE"   at "->": the drive's own identify words are put back
//   an empty line at "->" leaves it; "/" and the control keys too
//   "#"        asks the new serial number twice ("New SN: ", "Confirm SN: "); equal texts replace it
//   "W"        keeps the serial number on the disk
#include "drive.h"
#include "identity_state.h"

namespace hddsim {

namespace {

QByteArray hexWord(quint32 v, int width) {
    return QByteArray::number(v, 16).toUpper().rightJustified(width, '0');
}

void putText(std::array<quint16, 256>& w, int first, int count, const QByteArray& text) {
    const QByteArray t = text.leftJustified(count * 2, ' ', true);
    for (int i = 0; i < count; ++i)
        w[first + i] =
            static_cast<quint16>((static_cast<uchar>(t[2 * i]) << 8) | static_cast<uchar>(t[2 * i + 1]));
}

void putSectors(std::array<quint16, 256>& w, int first, quint32 sectors) {
    w[first] = static_cast<quint16>(sectors & 0xFFFF);
    w[first + 1] = static_cast<quint16>(sectors >> 16);
}

// At "->": one word write, or the drive's own words back.
void wordLine(Drive& d, IdentityState& s, const QByteArray& line) {
    if (line == "ASCIFE") {
        d.pause(300'000);
        s.words = factoryWords();
        ++s.initialisations;
        d.printLine("Init ID ... Done");
    } else if (line.startsWith("ASCI") && line.size() == 10) {
        bool okIndex = false, okValue = false;
        const int index = line.mid(4, 2).toInt(&okIndex, 16);
        const int value = line.mid(6, 4).toInt(&okValue, 16);
        if (!okIndex || !okValue) {
            d.printLine("Invalid ID Word");
        } else {
            s.words[index] = static_cast<quint16>(value);
            s.writes << line.mid(4);
            d.printLine("ID Word " + hexWord(index, 2) + " = " + hexWord(value, 4));
        }
    } else if (!line.isEmpty()) {
        d.printLine("Invalid ID Word");
    }
    d.prompt();
}

// The serial number questions read their own line: what is typed there is no command.
bool serialByte(Drive& d, IdentityState& s, char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '\r') {
        d.print("\r\n");
        s.serialEntries << s.typing;
        if (s.serialStep == 1) {
            s.firstEntry = s.typing;
            s.typing.clear();
            s.serialStep = 2;
            d.print("Confirm SN: ");
            return true;
        }
        if (s.typing.isEmpty() || s.typing != s.firstEntry) {
            d.printLine(s.typing.isEmpty() ? "SN Unchanged" : "SN Mismatch");
        } else {
            s.serial = s.typing;
            d.printLine("SN Changed");
        }
        s.typing.clear();
        s.serialStep = 0;
        d.prompt();
        return true;
    }
    if (c == '\b' || u == 0x7F) {
        s.typing.chop(1);
        return true;
    }
    if (u < 0x20) {  // Ctrl-Z, Esc: the question is left, the key does what it always does
        s.typing.clear();
        s.serialStep = 0;
        return false;
    }
    s.typing += c;
    d.print(QByteArray(1, c));
    return true;
}

}  // namespace

QByteArray IdentityState::model() const {
    QByteArray t;
    for (int i = 0x1B; i <= 0x2E; ++i) {
        t += static_cast<char>(words[i] >> 8);
        t += static_cast<char>(words[i] & 0xFF);
    }
    return t;
}

quint32 IdentityState::sectors(int firstWord) const {
    return static_cast<quint32>(words[firstWord]) | (static_cast<quint32>(words[firstWord + 1]) << 16);
}

std::array<quint16, 256> factoryWords() {
    std::array<quint16, 256> w{};
    w[0x00] = 0x0C5A;
    w[0x01] = 0x3FFF;
    w[0x03] = 0x0010;
    w[0x06] = 0x003F;
    putText(w, 0x0A, 10, "5JV8XK2L");  // serial number
    putText(w, 0x17, 4, "3.ALB");      // firmware revision
    putText(w, 0x1B, 20, "HDDSIM80A");
    putSectors(w, 0x3C, 156301488);
    putSectors(w, 0x64, 156301488);
    w[0x52] = 0x3069;
    w[0x53] = 0x4001;  // 48-bit addressing off
    w[0x54] = 0x4000;
    return w;
}

IdentityState& identity(Drive& d) {
    IdentityState& s = d.state<IdentityState>();
    if (s.serial.isEmpty()) {
        s.words = factoryWords();
        s.serial = s.savedSerial = "5JV8XK2L";
    }
    return s;
}

void installIdentityCommands(Drive& drv) {
    drv.addByteHandler([](Drive& d, char c) {
        IdentityState& s = identity(d);
        if (s.serialStep > 0) return serialByte(d, s, c);
        // Whatever ends the line typed at "->" ends the "->".
        if (c == '\r') s.arrowLine = s.arrow;
        if (static_cast<unsigned char>(c) < 0x20) s.arrow = false;
        return false;
    });
    drv.addLineHandler([](Drive& d, const QByteArray& line) {
        IdentityState& s = identity(d);
        if (s.arrowLine) {
            s.arrowLine = false;
            wordLine(d, s, line.trimmed());
            return true;
        }
        if (d.level != "T") return false;
        const QByteArray cmd = line.trimmed();
        if (cmd == "F") {
            if (d.setting("id.noArrow") == 1) {
                d.prompt();
            } else {
                s.arrow = true;
                d.print("->");
            }
        } else if (cmd == "#") {
            d.printLine("Serial Number: " + s.serial);
            d.print("New SN: ");
            s.serialStep = 1;
        } else if (cmd == "W") {
            d.pause(800'000);
            s.savedSerial = s.serial;
            ++s.saves;
            d.printLine("Saving ID ... Done");
            d.prompt();
        } else {
            return false;
        }
        return true;
    });
}

}  // namespace hddsim
