#include "language.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTranslator>
#include <QtEndian>
#include <cstdio>
#include <cstring>
#include <vector>

namespace hdd {

namespace {

const char* const kContext = "hddterm";
const QString kCatalogue = QStringLiteral(":/i18n/hddterm_en.qm");

// A catalogued text with numbered places ("源文件%1不存在！"), as a pattern that finds its values.
struct Pattern {
    QString source;
    QRegularExpression match;
    QList<int> places;    // the place number of each capture, in order
    qsizetype fixed = 0;  // characters that are no place: the longer, the surer a match
};

struct State {
    Language language = Language::Chinese;
    QTranslator* english = nullptr;
    QTranslator* qtChinese = nullptr;
    bool qtChineseTried = false;
    std::vector<Pattern> patterns;
    QStringList sources;  // every catalogued text, the longest first
};

State& state() {
    static State s;
    return s;
}

bool hasIdeograph(const QString& s) {
    for (QChar c : s) {
        const ushort u = c.unicode();
        if ((u >= 0x3400 && u <= 0x4DBF) || (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0xF900 && u <= 0xFAFF))
            return true;
    }
    return false;
}

// The source texts of a compiled catalogue: its message section holds each message as tagged
// fields (translation, source, context, comment) closed by an end tag.
QStringList catalogueSources(const QByteArray& qm) {
    static const uchar magic[16] = {0x3C, 0xB8, 0x64, 0x18, 0xCA, 0xEF, 0x9C, 0x95,
                                    0xCD, 0x21, 0x1C, 0xBF, 0x60, 0xA1, 0xBD, 0xDD};
    QStringList out;
    if (qm.size() < 16 || std::memcmp(qm.constData(), magic, 16) != 0) return out;
    const auto* data = reinterpret_cast<const uchar*>(qm.constData());
    const qsizetype size = qm.size();
    auto read32 = [data](qsizetype at) { return qFromBigEndian<quint32>(data + at); };
    for (qsizetype pos = 16; pos + 5 <= size;) {
        const uchar tag = data[pos];
        const quint32 len = read32(pos + 1);
        pos += 5;
        if (len > quint64(size - pos)) break;
        if (tag == 0x69) {  // the messages
            const qsizetype end = pos + len;
            for (qsizetype p = pos; p < end;) {
                const uchar field = data[p++];
                if (field == 1) continue;  // end of a message
                if (field == 5) {          // an old field of four bytes
                    p += 4;
                    continue;
                }
                if (field < 2 || field > 8 || p + 4 > end) break;
                const quint32 n = read32(p);
                p += 4;
                if (n == 0xFFFFFFFFu) continue;  // a null translation
                if (n > quint64(end - p)) break;
                if (field == 6) out << QString::fromUtf8(reinterpret_cast<const char*>(data + p), n);
                p += n;
            }
        }
        pos += len;
    }
    return out;
}

std::vector<Pattern> patternsOf(const QStringList& sources) {
    static const QRegularExpression place(QStringLiteral("%([1-9])"));
    std::vector<Pattern> out;
    for (const QString& s : sources) {
        Pattern p;
        p.source = s;
        QString re = QStringLiteral("^");
        qsizetype at = 0;
        for (auto it = place.globalMatch(s); it.hasNext();) {
            const auto m = it.next();
            const QString fixed = s.mid(at, m.capturedStart() - at);
            re += QRegularExpression::escape(fixed);
            p.fixed += fixed.size();
            const int n = m.captured(1).toInt();
            const auto seen = p.places.indexOf(n);
            re += seen >= 0 ? QStringLiteral("\\%1").arg(seen + 1) : QStringLiteral("(.+?)");
            if (seen < 0) p.places << n;
            at = m.capturedEnd();
        }
        if (p.places.isEmpty()) continue;
        re += QRegularExpression::escape(s.mid(at)) + QStringLiteral("$");
        p.fixed += s.size() - at;
        p.match = QRegularExpression(re, QRegularExpression::DotMatchesEverythingOption);
        out.push_back(std::move(p));
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const Pattern& a, const Pattern& b) { return a.fixed > b.fixed; });
    return out;
}

QString lookUp(const QString& text) {
    const QByteArray key = text.toUtf8();
    return QCoreApplication::translate(kContext, key.constData());
}

// The English pattern with the values found in the Chinese text, each value itself looked up.
QString fill(const QString& pattern, const QHash<int, QString>& values) {
    QString out;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9' &&
            values.contains(pattern[i + 1].digitValue())) {
            out += values.value(pattern[++i].digitValue());
        } else {
            out += c;
        }
    }
    return out;
}

QString translateText(const QString& text, int depth) {
    if (text.isEmpty() || !hasIdeograph(text)) return text;
    const QString whole = lookUp(text);
    if (whole != text || depth > 3) return whole;
    for (const Pattern& p : state().patterns) {
        const auto m = p.match.match(text);
        if (!m.hasMatch()) continue;
        QHash<int, QString> values;
        for (int i = 0; i < p.places.size(); ++i) values.insert(p.places[i], lookUp(m.captured(i + 1)));
        return fill(lookUp(p.source), values);
    }
    // A catalogued text with a value before or after it (a message and the file it names).
    for (const QString& s : state().sources) {
        if (s.size() < 2 || s.size() >= text.size()) continue;
        const qsizetype rest = text.size() - s.size();
        if (text.startsWith(s) && !hasIdeograph(text.right(rest))) return lookUp(s) + text.right(rest);
        if (text.endsWith(s) && !hasIdeograph(text.left(rest))) return text.left(rest) + lookUp(s);
    }
    for (const QString& sep : {QStringLiteral("\n"), QStringLiteral(" - ")}) {
        if (!text.contains(sep)) continue;
        QStringList parts = text.split(sep);
        for (QString& part : parts) part = translateText(part, depth + 1);
        return parts.join(sep);
    }
    return text;
}

void note(const char* text) {
    std::fputs(text, stderr);
    std::fflush(stderr);
}

}  // namespace

std::optional<Language> parseLanguage(const QString& code) {
    const QString c = code.trimmed().toLower();
    if (c == QLatin1String("zh") || c.startsWith(QLatin1String("zh_")) || c.startsWith(QLatin1String("zh-")))
        return Language::Chinese;
    if (c == QLatin1String("en") || c.startsWith(QLatin1String("en_")) || c.startsWith(QLatin1String("en-")))
        return Language::English;
    return std::nullopt;
}

QString languageCode(Language language) {
    return language == Language::English ? QStringLiteral("en") : QStringLiteral("zh");
}

Language chooseLanguage(const QString& option, const QString& environment, const QString& remembered) {
    for (const QString& v : {option, environment, remembered}) {
        if (const auto l = parseLanguage(v)) return *l;
    }
    return Language::Chinese;
}

QString languageOption(const QStringList& args) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--lang") && i + 1 < args.size()) return args[i + 1];
        if (args[i].startsWith(QLatin1String("--lang="))) return args[i].mid(7);
    }
    return {};
}

bool englishCatalogueBuilt() { return QFile::exists(kCatalogue); }

bool setLanguage(Language language) {
    State& s = state();
    s.language = language;
    bool found = true;
    if (language == Language::English) {
        if (s.qtChinese) QCoreApplication::removeTranslator(s.qtChinese);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        if (!s.english) {
            auto* t = new QTranslator(QCoreApplication::instance());
            QFile f(kCatalogue);
            if (f.open(QIODevice::ReadOnly) && t->load(kCatalogue)) {
                s.english = t;
                s.sources = catalogueSources(f.readAll());
                s.patterns = patternsOf(s.sources);
                std::stable_sort(s.sources.begin(), s.sources.end(),
                                 [](const QString& a, const QString& b) { return a.size() > b.size(); });
            } else {
                delete t;
            }
        }
        if (s.english) {
            QCoreApplication::installTranslator(s.english);
        } else {
            found = false;
            note(
                "hddterm: this build holds no English catalogue (the Qt translation tools were missing); "
                "the interface stays Chinese\n");
        }
    } else {
        if (s.english) QCoreApplication::removeTranslator(s.english);
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
        if (!s.qtChineseTried) {
            s.qtChineseTried = true;
            for (const QString& folder : qtTranslationFolders()) {
                auto* qt = new QTranslator(QCoreApplication::instance());
                if (qt->load(QStringLiteral("qtbase_zh_CN"), folder)) {
                    s.qtChinese = qt;
                    break;
                }
                delete qt;
            }
        }
        if (s.qtChinese) QCoreApplication::installTranslator(s.qtChinese);
        found = s.qtChinese != nullptr;
    }
    emit LanguageNotifier::instance().changed();
    return found;
}

Language currentLanguage() { return state().language; }

QString displayText(const QString& text) {
    if (state().language != Language::English || !state().english) return text;
    return translateText(text, 0);
}

QStringList displayTexts(const QStringList& texts) {
    if (state().language != Language::English) return texts;
    QStringList out;
    out.reserve(texts.size());
    for (const QString& t : texts) out << displayText(t);
    return out;
}

QStringList qtTranslationFolders() {
    QStringList out{QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    const QString debian = QStringLiteral("/usr/share/qt6/translations");
    if (!out.contains(debian)) out << debian;
    return out;
}

LanguageNotifier& LanguageNotifier::instance() {
    static LanguageNotifier n;
    return n;
}

}  // namespace hdd
