#include "settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include "form2_controls.h"
#include "form6_controls.h"
#include "language.h"
#include "main_form_controls.h"
#include "main_model.h"

namespace hdd {

namespace {

constexpr int kMaxPickers = 64;
constexpr int kMaxSide = 16384;

// The backup dialog's folder field, and the F-level boot dialog's display of the firmware folder.
const char* kBackupForm = form6::kName;
const char* kBackupField = form6::kFolderField;
const char* kBootForm = form2::kName;
const char* kBootFolderField = form2::kFolderField;

Control* dialogField(MainModel& m, const char* form, const char* name) {
    FormModel* f = m.formByName(QString::fromLatin1(form));
    return f ? f->find(QString::fromLatin1(name)) : nullptr;
}

bool isFolder(const QString& path) { return !path.isEmpty() && QFileInfo(path).isDir(); }

QString withSeparator(const QString& folder) { return folder.endsWith('/') ? folder : folder + '/'; }

// The groups this program writes; others (the banner) are the workstation's and stay as they are.
const char* const kOwnGroups[] = {"port", "folders", "firmware", "ui", "window", "pickers", "dialogs"};

// The dialogs whose family list is the firmware type.
const struct {
    const char* form;
    const char* list;
} kTypeLists[] = {{form2::kName, form2::kFamilyList}, {form6::kName, form6::kFamilyList}};

}  // namespace

QString defaultSettingsPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/hddterm/hddterm.ini");
}

bool RememberedSettings::operator==(const RememberedSettings& o) const {
    return port == o.port && baud == o.baud && transferBaud == o.transferBaud &&
           firmwareFolder == o.firmwareFolder && backupFolder == o.backupFolder &&
           firmwareType == o.firmwareType && language == o.language && windowSize == o.windowSize &&
           windowPos == o.windowPos && hasWindowPos == o.hasWindowPos && maximized == o.maximized &&
           pickerFolders == o.pickerFolders && dialogPlaces == o.dialogPlaces &&
           banner.chat == o.banner.chat && banner.phone == o.banner.phone && banner.web == o.banner.web;
}

BannerContacts loadBanner(const QString& path) {
    BannerContacts b;
    if (path.isEmpty() || !QFileInfo::exists(path)) return b;
    QSettings ini(path, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError) return b;
    b.chat = ini.value("banner/chat").toString().trimmed();
    b.phone = ini.value("banner/phone").toString().trimmed();
    b.web = ini.value("banner/web").toString().trimmed();
    return b;
}

RememberedSettings loadSettings(const QString& path) {
    RememberedSettings s;
    if (path.isEmpty() || !QFileInfo::exists(path)) return s;
    QSettings ini(path, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError) return s;
    s.banner = loadBanner(path);
    s.firmwareType = ini.value("firmware/type").toString();
    if (parseLanguage(ini.value("ui/language").toString()))
        s.language = languageCode(*parseLanguage(ini.value("ui/language").toString()));
    s.port = ini.value("port/name").toString();
    s.baud = ini.value("port/baud").toString();
    s.transferBaud = ini.value("port/transferBaud").toString();
    s.firmwareFolder = ini.value("folders/firmware").toString();
    s.backupFolder = ini.value("folders/backup").toString();
    bool okW = false, okH = false;
    const int w = ini.value("window/width").toInt(&okW);
    const int h = ini.value("window/height").toInt(&okH);
    if (okW && okH && w > 0 && h > 0 && w <= kMaxSide && h <= kMaxSide) s.windowSize = QSize(w, h);
    bool okX = false, okY = false;
    const int x = ini.value("window/x").toInt(&okX);
    const int y = ini.value("window/y").toInt(&okY);
    if (okX && okY && qAbs(x) <= kMaxSide && qAbs(y) <= kMaxSide) {
        s.windowPos = QPoint(x, y);
        s.hasWindowPos = true;
    }
    s.maximized = ini.value("window/maximized").toBool();
    const int n = ini.beginReadArray("pickers");
    for (int i = 0; i < qMin(n, kMaxPickers); ++i) {
        ini.setArrayIndex(i);
        const QString title = ini.value("title").toString();
        const QString folder = ini.value("folder").toString();
        if (!title.isEmpty() && !folder.isEmpty()) s.pickerFolders.insert(title, folder);
    }
    ini.endArray();
    const int places = ini.beginReadArray("dialogs");
    for (int i = 0; i < qMin(places, kMaxPickers); ++i) {
        ini.setArrayIndex(i);
        const QString form = ini.value("form").toString();
        bool okX = false, okY = false;
        const int x = ini.value("x").toInt(&okX);
        const int y = ini.value("y").toInt(&okY);
        if (!form.isEmpty() && okX && okY && qAbs(x) <= kMaxSide && qAbs(y) <= kMaxSide)
            s.dialogPlaces.insert(form, QPoint(x, y));
    }
    ini.endArray();
    return s;
}

bool saveSettings(const QString& path, const RememberedSettings& s) {
    if (path.isEmpty() || !QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    QSettings ini(path, QSettings::IniFormat);
    for (const char* group : kOwnGroups) ini.remove(QString::fromLatin1(group));
    ini.setValue("port/name", s.port);
    ini.setValue("port/baud", s.baud);
    ini.setValue("port/transferBaud", s.transferBaud);
    ini.setValue("folders/firmware", s.firmwareFolder);
    ini.setValue("folders/backup", s.backupFolder);
    if (!s.firmwareType.isEmpty()) ini.setValue("firmware/type", s.firmwareType);
    if (!s.language.isEmpty()) ini.setValue("ui/language", s.language);
    if (s.hasWindowPos) {
        ini.setValue("window/x", s.windowPos.x());
        ini.setValue("window/y", s.windowPos.y());
    }
    if (s.windowSize.isValid()) {
        ini.setValue("window/width", s.windowSize.width());
        ini.setValue("window/height", s.windowSize.height());
    }
    ini.setValue("window/maximized", s.maximized);
    ini.beginWriteArray("pickers");
    int i = 0;
    for (auto it = s.pickerFolders.cbegin(); it != s.pickerFolders.cend() && i < kMaxPickers; ++it) {
        ini.setArrayIndex(i++);
        ini.setValue("title", it.key());
        ini.setValue("folder", it.value());
    }
    ini.endArray();
    ini.beginWriteArray("dialogs");
    i = 0;
    for (auto it = s.dialogPlaces.cbegin(); it != s.dialogPlaces.cend() && i < kMaxPickers; ++it) {
        ini.setArrayIndex(i++);
        ini.setValue("form", it.key());
        ini.setValue("x", it.value().x());
        ini.setValue("y", it.value().y());
    }
    ini.endArray();
    ini.sync();
    return ini.status() == QSettings::NoError;
}

void applyBeforeStartUp(MainModel& m, const RememberedSettings& s) { m.preferredPort = s.port; }

void applyAfterStartUp(MainModel& m, const RememberedSettings& s) {
    FormModel& f = m.form();
    // Selections made by code: the port is closed, so nothing reaches a drive.
    if (f.at(mainform::kBaudList).items.contains(s.baud)) f.selectText(mainform::kBaudList, s.baud);
    if (f.at(mainform::kTransferSpeedList).items.contains(s.transferBaud))
        f.selectText(mainform::kTransferSpeedList, s.transferBaud);
    if (isFolder(s.firmwareFolder)) {
        m.firmwareFolder = s.firmwareFolder;
        if (Control* c = dialogField(m, kBootForm, kBootFolderField))
            m.formByName(kBootForm)->setText(c->name, s.firmwareFolder);
    }
    if (isFolder(s.backupFolder)) {
        m.backupFolder = withSeparator(s.backupFolder);
        if (Control* c = dialogField(m, kBackupForm, kBackupField))
            m.formByName(kBackupForm)->setText(c->name, s.backupFolder);
    }
    if (!s.firmwareType.isEmpty()) {
        // As the technician would choose it, so the dialog's fields follow the type.
        for (const auto& [form, list] : kTypeLists) {
            if (Control* c = dialogField(m, form, list); c && c->items.contains(s.firmwareType))
                m.formByName(form)->userSelectText(c->name, s.firmwareType);
        }
    }
}

RememberedSettings captureSettings(MainModel& m, RememberedSettings base) {
    FormModel& f = m.form();
    RememberedSettings s = std::move(base);
    s.port = f.text(mainform::kPortList);
    s.baud = f.text(mainform::kBaudList);
    s.transferBaud = f.text(mainform::kTransferSpeedList);
    s.firmwareFolder = m.firmwareFolder;
    if (Control* c = dialogField(m, kBackupForm, kBackupField)) {
        // The drive's folder the analysis named under the picked one is not kept: the picked one is.
        const QString field = QDir::cleanPath(c->text.trimmed());
        const QString base = QDir::cleanPath(m.backupFolder);
        const bool named = !base.isEmpty() && field != base && QFileInfo(field).path() == base;
        s.backupFolder = named ? m.backupFolder : c->text;
    }
    return s;
}

}  // namespace hdd
