#include "family_table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "text.h"

// The resource lives in this static library; it has to be registered by hand.
static void initFamilyResource() { Q_INIT_RESOURCE(hddinfo); }

namespace hdd {

QStringList FamilyTable::names() const {
    QStringList out;
    for (int n = 1; n <= count; ++n) out << fromGbk(entry(n).name);
    return out;
}

QByteArray builtInFamilyTable() {
    static const QByteArray bytes = [] {
        initFamilyResource();
        QFile f(QStringLiteral(":/hddinfo/HDDINFO.TXT"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    return bytes;
}

QByteArray upperAscii(const QByteArray& text) {
    QByteArray out = text;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (c >= 0x81 && c <= 0xFE && i + 1 < out.size()) {
            ++i;  // a double-byte character: its second byte may look like a letter
        } else if (c >= 'a' && c <= 'z') {
            out[i] = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

FamilyTable parseFamilyTable(const QByteArray& text) {
    QList<QByteArray> lines = splitLines(text);
    for (QByteArray& l : lines) l = upperAscii(trimmed(l));

    struct Key {
        const char* prefix;
        QByteArray FamilyEntry::*field;
    };
    static const Key keys[] = {
        {"APP=", &FamilyEntry::app},     {"CERT0=", &FamilyEntry::cert0}, {"CERT1=", &FamilyEntry::cert1},
        {"TABLE=", &FamilyEntry::table}, {"ATA=", &FamilyEntry::ata},     {"VEN=", &FamilyEntry::ven},
    };

    FamilyTable table;
    const qsizetype n = lines.size();
    qsizetype i = 0;
    while (i < n) {
        if (lines[i].isEmpty() || lines[i][0] != '[') {
            ++i;
            continue;
        }
        // The name drops the first and the last character, whatever the last one is.
        const QByteArray& header = lines[i];
        FamilyEntry* e = nullptr;
        if (table.count < FamilyTable::kSlots) {
            e = &table.entries[static_cast<size_t>(table.count++)];
            *e = FamilyEntry{};
            e->name = header.mid(1, header.size() - 2);
        } else {
            ++table.dropped;
        }
        for (++i; i < n && !(lines[i].startsWith('[')); ++i) {
            const QByteArray& l = lines[i];
            if (l.isEmpty() || !e) continue;
            for (const Key& k : keys) {
                if (l.startsWith(k.prefix))
                    (e->*k.field) = trimmed(l.mid(static_cast<qsizetype>(qstrlen(k.prefix))));
            }
        }
    }
    return table;
}

FamilyTable loadFamilyTableFile(const QString& folder, QString* error) {
    const QString path = folder + kFamilyFileName;
    if (!QFileInfo::exists(path)) {
        const QByteArray copy = builtInFamilyTable();
        QDir().mkpath(folder);  // the program's folder exists, except where a test made one up
        QSaveFile out(path);
        bool ok = !copy.isEmpty() && out.open(QIODevice::WriteOnly);
        ok = ok && out.write(copy) == copy.size();
        ok = ok && out.commit();
        if (!ok) {
            if (error)
                *error = path + "\n" +
                         (copy.isEmpty() ? QStringLiteral("missing built-in copy") : out.errorString());
            return {};
        }
    }
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        if (error) *error = path + "\n" + in.errorString();
        return {};
    }
    // The table is a few KB of text: anything far larger, or holding NUL bytes, is some other file
    // put there by mistake, and is not read.
    if (in.size() > kMaxFamilyFile) {
        if (error)
            *error =
                path + "\n" + QStringLiteral("文件太大（不能超过%1KB），未读取！").arg(kMaxFamilyFile / 1024);
        return {};
    }
    const QByteArray bytes = in.read(kMaxFamilyFile + 1);
    if (in.error() != QFileDevice::NoError) {
        if (error) *error = path + "\n" + in.errorString();
        return {};
    }
    if (bytes.size() > kMaxFamilyFile || bytes.contains('\0')) {
        if (error) *error = path + "\n" + QStringLiteral("不是机型表的文本文件，未读取！");
        return {};
    }
    return parseFamilyTable(bytes);
}

}  // namespace hdd
