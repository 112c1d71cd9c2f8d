#include "verbs.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <functional>

#include "control_path.h"
#include "form2_controls.h"
#include "form3_controls.h"
#include "form6_controls.h"
#include "main_form_controls.h"

namespace hdd {

using namespace mainform;

namespace {

struct Option {
    const char* name;  // "--entry"
    const char*
        field;  // the field it fills (an edit of the main window), or empty for options the verb reads itself
    enum Base { Hex, Dec, Text } base;
    bool required;
};

struct VerbRow {
    const char* words;  // "buffer read"
    const char* args;   // "FILE"
    QList<Option> options;
    const char* help;
    // Builds the run from the positional argument and the options given.
    std::function<QString(const QString& arg, const QHash<QString, QString>& opts, VerbPlan& plan)> build;
};

bool validIn(Option::Base base, const QString& v) {
    static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]+$"));
    static const QRegularExpression dec(QStringLiteral("^[0-9]+$"));
    if (base == Option::Hex) return hex.match(v).hasMatch();
    if (base == Option::Dec) return dec.match(v).hasMatch();
    return !v.isEmpty();
}

// Module names as the firmware page names them, with their read and write keys.
struct ModuleKeys {
    const char* name;
    const char* read;
    const char* write;
};
const QList<ModuleKeys>& moduleKeys() {
    static const QList<ModuleKeys> keys = {
        {"APP", kAppReadKey, kAppWriteKey},          {"ATA", kAtaReadKey, kAtaWriteKey},
        {"CERT", kCert0ReadKey, kCert0WriteKey},     {"CERT0", kCert0ReadKey, kCert0WriteKey},
        {"CERT1", kCert1ReadKey, kCert1WriteKey},    {"TABLE", kTableReadKey, kTableWriteKey},
        {"VENDOR", kVendorReadKey, kVendorWriteKey}, {"VEN", kVendorReadKey, kVendorWriteKey},
        {"ID", kIdSectorReadKey, kIdSectorWriteKey}, {"RESERVE", kReserveReadKey, kReserveWriteKey},
    };
    return keys;
}

// The modules a LIST names, as the dialog's boxes: every box of `boxes` is set, ticked when listed.
QString pickModules(const QString& list, const QList<std::pair<QString, QString>>& boxes, const QString& form,
                    VerbPlan& plan) {
    QStringList names = list.toLower().split(',', Qt::SkipEmptyParts);
    for (QString& n : names) n = n.trimmed();
    for (const QString& n : names) {
        bool known = false;
        for (const auto& [word, box] : boxes) known = known || word == n;
        if (!known) {
            QStringList offered;
            for (const auto& [word, box] : boxes) offered << word;
            return QStringLiteral("--only: no module %1 (modules: %2)").arg(n, offered.join(','));
        }
    }
    for (const auto& [word, box] : boxes)
        plan.actions << QStringLiteral("SET:%1.%2=%3").arg(form, box, names.contains(word) ? "1" : "0");
    return {};
}

// The action that sets a control: "SET:Form6.ComboBox7=…".
QString setOf(const QString& control, const QString& value) {
    return QStringLiteral("SET:%1=%2").arg(control, value);
}

QString speedSet(const QHash<QString, QString>& o, const QString& control) {
    return o.contains("--speed") ? setOf(control, o["--speed"]) : QString();
}

const QList<VerbRow>& verbTable() {
    using O = Option;
    static const QList<VerbRow> rows = {
        {"buffer read",
         "FILE",
         {{"--entry", kBufferEntryField, O::Hex, true},
          {"--sectors", kBufferLengthField, O::Hex, true},
          {"--speed", "", O::Dec, false}},
         "read buffer blocks into FILE (the buffer read key)",
         [](const QString& file, const QHash<QString, QString>& o, VerbPlan& p) {
             p.files << file;
             p.actions << speedSet(o, kTransferSpeedList) << kBufferReadKey;
             return QString();
         }},
        {"buffer write",
         "FILE",
         {{"--entry", kBufferEntryField, O::Hex, true},
          {"--sectors", kBufferLengthField, O::Hex, true},
          {"--speed", "", O::Dec, false}},
         "write FILE into buffer memory (the buffer write key)",
         [](const QString& file, const QHash<QString, QString>& o, VerbPlan& p) {
             p.files << file;
             p.actions << speedSet(o, kTransferSpeedList) << kBufferWriteKey;
             return QString();
         }},
        {"track read",
         "FILE",
         {{"--track", kTrackField, O::Hex, true},
          {"--head", kTrackHeadField, O::Hex, true},
          {"--buffer", kReadBufferField, O::Hex, true},
          {"--buffer-length", kReadSectorsField, O::Hex, true},
          {"--start", kTrackStartField, O::Hex, true},
          {"--count", kTrackCountField, O::Hex, true},
          {"--speed", "", O::Dec, false}},
         "read sectors of a system-area track into FILE (\"读指定磁道\")",
         [](const QString& file, const QHash<QString, QString>& o, VerbPlan& p) {
             p.files << file;
             p.actions << speedSet(o, kTransferSpeedList) << kTrackReadKey;
             return QString();
         }},
        {"track write",
         "FILE",
         {{"--track", kTrackField, O::Hex, true},
          {"--head", kTrackHeadField, O::Hex, true},
          {"--buffer", kWriteBufferField, O::Hex, true},
          {"--buffer-length", kWriteSectorsField, O::Hex, true},
          {"--start", kTrackStartField, O::Hex, true},
          {"--count", kTrackCountField, O::Hex, true},
          {"--speed", "", O::Dec, false}},
         "write FILE into sectors of a system-area track (\"写指定磁道\")",
         [](const QString& file, const QHash<QString, QString>& o, VerbPlan& p) {
             p.files << file;
             p.actions << speedSet(o, kTransferSpeedList) << kTrackWriteKey;
             return QString();
         }},
        {"module read",
         "NAME FILE",
         {{"--speed", "", O::Dec, false}},
         "read a firmware module (APP, ATA, CERT, CERT1, TABLE, VENDOR, ID, RESERVE) into FILE",
         nullptr},
        {"module write",
         "NAME FILE",
         {{"--speed", "", O::Dec, false}},
         "write FILE into a firmware module (names as for module read)",
         nullptr},
        {"rom read",
         "FILE",
         {{"--by", "", O::Text, false}, {"--speed", "", O::Dec, false}},
         "read the serial ROM into FILE, through the buffer (default) or by commands",
         [](const QString& file, const QHash<QString, QString>& o, VerbPlan& p) {
             const QString by = o.value("--by", "buffer");
             if (by != "buffer" && by != "commands") return QStringLiteral("--by takes buffer or commands");
             p.files << file;
             p.actions << kRomKey << controlOf(form3::kName, form3::kReadFilePicker)
                       << speedSet(o, controlOf(form3::kName, form3::kSpeedList))
                       << (by == "buffer" ? controlOf(form3::kName, form3::kBufferReadKey)
                                          : controlOf(form3::kName, form3::kCommandReadKey));
             return QString();
         }},
        {"rom write",
         "FILE",
         {{"--by", "", O::Text, false}, {"--entry", "", O::Hex, false}, {"--speed", "", O::Dec, false}},
         "write FILE into the serial ROM, through the buffer at --entry (default) or by commands",
         [](const QString& file, const QHash<QString, QString>& o, VerbPlan& p) {
             const QString by = o.value("--by", "buffer");
             if (by != "buffer" && by != "commands") return QStringLiteral("--by takes buffer or commands");
             p.files << file;
             p.actions << kRomKey << controlOf(form3::kName, form3::kWriteFilePicker)
                       << speedSet(o, controlOf(form3::kName, form3::kSpeedList));
             if (o.contains("--entry"))
                 p.actions << setOf(controlOf(form3::kName, form3::kEntryList), o["--entry"]);
             p.actions << (by == "buffer" ? controlOf(form3::kName, form3::kBufferWriteKey)
                                          : controlOf(form3::kName, form3::kCommandWriteKey));
             return QString();
         }},
        {"backup",
         "FOLDER",
         {{"--family", "", O::Text, false}, {"--speed", "", O::Dec, false}, {"--only", "", O::Text, false}},
         "back up the firmware into FOLDER (\"备份固件\"); without --family the drive is identified and\n"
         "                    gets its own subfolder; --only app,cert,table,ata,vendor; prints the folder",
         [](const QString& folder, const QHash<QString, QString>& o, VerbPlan& p) {
             p.files << folder;
             p.actions << kBackupKey << controlOf(form6::kName, form6::kFolderPicker);
             if (o.contains("--family"))
                 p.actions << setOf(controlOf(form6::kName, form6::kFamilyList), o["--family"]);
             else
                 p.actions << controlOf(form6::kName, form6::kIdentifyKey);
             p.actions << speedSet(o, controlOf(form6::kName, form6::kSpeedList));
             if (o.contains("--only")) {
                 const QString why = pickModules(o["--only"],
                                                 {{"app", form6::kAppCheck},
                                                  {"cert", form6::kCertCheck},
                                                  {"table", form6::kTableCheck},
                                                  {"ata", form6::kAtaCheck},
                                                  {"vendor", form6::kVendorCheck}},
                                                 form6::kName, p);
                 if (!why.isEmpty()) return why;
             }
             p.actions << controlOf(form6::kName, form6::kStartKey);
             p.resultField = controlOf(form6::kName, form6::kFolderField);
             return QString();
         }},
        {"boot",
         "FOLDER",
         {{"--family", "", O::Text, false},
          {"--speed", "", O::Dec, false},
          {"--only", "", O::Text, false},
          {"--save", "", O::Text, false}},
         "load the folder's modules into a drive at F level (\"F级引导\"); --only app,cert,table,ata0,ata1;\n"
         "                    --save saves each module to the disk once it runs",
         [](const QString& folder, const QHash<QString, QString>& o, VerbPlan& p) {
             p.files << folder;
             p.actions << kBootKey << controlOf(form2::kName, form2::kFolderPicker);
             if (o.contains("--family"))
                 p.actions << setOf(controlOf(form2::kName, form2::kFamilyList), o["--family"]);
             p.actions << speedSet(o, controlOf(form2::kName, form2::kSpeedList));
             if (o.contains("--only")) {
                 const QString why = pickModules(o["--only"],
                                                 {{"app", form2::kAppCheck},
                                                  {"cert", form2::kCertCheck},
                                                  {"table", form2::kTableCheck},
                                                  {"ata0", form2::kAta0Check},
                                                  {"ata1", form2::kAta1Check}},
                                                 form2::kName, p);
                 if (!why.isEmpty()) return why;
             }
             if (o.contains("--save")) {
                 for (const char* box : {form2::kAppSaveCheck, form2::kCertSaveCheck, form2::kTableSaveCheck,
                                         form2::kAtaSaveCheck})
                     p.actions << setOf(controlOf(form2::kName, box), QStringLiteral("1"));
             }
             p.actions << controlOf(form2::kName, form2::kLoadKey);
             return QString();
         }},
    };
    return rows;
}

// What a text option takes, for the help.
const char* textMeta(const char* name) {
    const QLatin1String n(name);
    if (n == QLatin1String("--by")) return " buffer|commands";
    if (n == QLatin1String("--only")) return " LIST";
    return " NAME";
}

// Options that take no value.
bool isFlag(const char* name) { return QLatin1String(name) == QLatin1String("--save"); }

}  // namespace

bool isPlanVerb(const QString& word) {
    if (word == "send") return true;
    for (const VerbRow& r : verbTable()) {
        if (QString::fromLatin1(r.words).section(' ', 0, 0) == word) return true;
    }
    return false;
}

QString planVerb(const QStringList& words, VerbPlan& plan) {
    if (words.value(0) == "send") {
        plan.verb = "send";
        plan.sendLines = words.mid(1);
        if (plan.sendLines.isEmpty()) return QStringLiteral("send needs at least one TEXT");
        return {};
    }
    const VerbRow* row = nullptr;
    for (const VerbRow& r : verbTable()) {
        const QStringList w = QString::fromLatin1(r.words).split(' ');
        if (words.mid(0, w.size()) == w) row = &r;
    }
    if (!row)
        return QStringLiteral("%1 needs one of: %2").arg(words.value(0), [&] {
            QStringList subs;
            for (const VerbRow& r : verbTable()) {
                if (QString::fromLatin1(r.words).section(' ', 0, 0) == words.value(0))
                    subs << QString::fromLatin1(r.words).section(' ', 1);
            }
            return subs.join(", ");
        }());
    plan.verb = QString::fromLatin1(row->words);
    const int skip = static_cast<int>(plan.verb.count(' ')) + 1;
    QStringList positional;
    QHash<QString, QString> given;
    const QStringList rest = words.mid(skip);
    for (int i = 0; i < rest.size(); ++i) {
        const QString& w = rest[i];
        if (!w.startsWith("--")) {
            positional << w;
            continue;
        }
        const Option* opt = nullptr;
        for (const Option& o : row->options) {
            if (w == QLatin1String(o.name)) opt = &o;
        }
        if (!opt) return QStringLiteral("%1 takes no option %2").arg(plan.verb, w);
        if (isFlag(opt->name)) {
            given.insert(w, "1");
            continue;
        }
        if (i + 1 >= rest.size()) return QStringLiteral("%1 needs a value").arg(w);
        const QString v = rest[++i];
        if (!validIn(opt->base, v))
            return QStringLiteral("%1 takes a %2 number, not \"%3\"")
                .arg(w, opt->base == Option::Hex ? "hexadecimal" : "decimal", v);
        given.insert(w, v);
    }
    const int wanted = static_cast<int>(QString::fromLatin1(row->args).count(' ')) + 1;
    if (positional.size() != wanted)
        return QStringLiteral("%1 takes %2").arg(plan.verb, QString::fromLatin1(row->args));
    for (const Option& o : row->options) {
        if (o.required && !given.contains(o.name))
            return QStringLiteral("%1 needs %2").arg(plan.verb, o.name);
        if (*o.field && given.contains(o.name))
            plan.sets << QStringLiteral("%1=%2").arg(o.field, given[o.name]);
    }
    if (plan.verb.startsWith("module ")) {
        const QString name = positional[0].toUpper();
        const bool read = plan.verb == "module read";
        for (const ModuleKeys& k : moduleKeys()) {
            if (name == QLatin1String(k.name)) {
                plan.files << positional[1];
                if (given.contains("--speed")) plan.actions << "SET:ComboBox7=" + given["--speed"];
                plan.actions << QString::fromLatin1(read ? k.read : k.write);
                return {};
            }
        }
        QStringList names;
        for (const ModuleKeys& k : moduleKeys()) names << QString::fromLatin1(k.name);
        return QStringLiteral("no module %1 (modules: %2)").arg(positional[0], names.join(' '));
    }
    const QString why = row->build(positional[0], given, plan);
    plan.actions.removeAll(QString());
    return why;
}

QString verbJson(const QString& verb, const Outcome& outcome, double seconds) {
    QJsonArray files;
    for (const WrittenFile& f : outcome.files) {
        QFile file(f.path);
        QCryptographicHash hash(QCryptographicHash::Sha256);
        const bool read = file.open(QIODevice::ReadOnly) && hash.addData(&file);
        files.append(QJsonObject{{"path", QFileInfo(f.path).absoluteFilePath()},
                                 {"bytes", QFileInfo(f.path).size()},
                                 {"sha256", read ? QString::fromLatin1(hash.result().toHex()) : QString()}});
    }
    // In the order a reader expects: what ran, how it ended, why, what it wrote, how long it took.
    auto text = [](const QString& v) {
        return QString::fromUtf8(QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact))
            .mid(1)
            .chopped(1);
    };
    return QStringLiteral("{\"verb\":%1,\"outcome\":%2,\"reason\":%3,\"files\":%4,\"seconds\":%5}")
        .arg(text(verb), text(statusName(outcome.status)), text(outcome.reason),
             QString::fromUtf8(QJsonDocument(files).toJson(QJsonDocument::Compact)),
             QString::number(qRound(seconds * 10) / 10.0));
}

QString verbsHelp() {
    QString out;
    for (const VerbRow& r : verbTable()) {
        QString line =
            QStringLiteral("  %1 %2").arg(QString::fromLatin1(r.words), QString::fromLatin1(r.args));
        for (const Option& o : r.options) {
            QString opt = QString::fromLatin1(o.name);
            if (!isFlag(o.name))
                opt += o.base == Option::Hex ? " HEX" : o.base == Option::Dec ? " N" : textMeta(o.name);
            line += o.required ? " " + opt : " [" + opt + "]";
        }
        out += line + "\n                    " + QString::fromUtf8(r.help) + "\n";
    }
    out += QStringLiteral(
        "  send TEXT...\n                    each TEXT as a command line, waiting for the "
        "drive's prompt after each;\n                    the drive's answer on stdout\n");
    return out;
}

}  // namespace hdd
