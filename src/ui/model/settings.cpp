#include "settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include "main_model.h"

namespace hdd {

namespace {

constexpr int kMaxPickers = 64;
constexpr int kMaxSide = 16384;

// The backup dialog's folder field, and the F-level boot dialog's display of the firmware folder.
const char* kBackupForm = "Form6";
const char* kBackupField = "Edit1";
const char* kBootForm = "Form2";
const char* kBootFolderField = "Edit7";

Control* dialogField(MainModel& m, const char* form, const char* name) {
    FormModel* f = m.formByName(QString::fromLatin1(form));
    return f ? f->find(QString::fromLatin1(name)) : nullptr;
}

bool isFolder(const QString& path) { return !path.isEmpty() && QFileInfo(path).isDir(); }

}  // namespace

QString defaultSettingsPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/hddterm/hddterm.ini");
}

RememberedSettings loadSettings(const QString& path) {
    RememberedSettings s;
    if (path.isEmpty() || !QFileInfo::exists(path)) return s;
    QSettings ini(path, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError) return s;
    s.port = ini.value("port/name").toString();
    s.baud = ini.value("port/baud").toString();
    s.transferBaud = ini.value("port/transferBaud").toString();
    s.firmwareFolder = ini.value("folders/firmware").toString();
    s.backupFolder = ini.value("folders/backup").toString();
    bool okW = false, okH = false;
    const int w = ini.value("window/width").toInt(&okW);
    const int h = ini.value("window/height").toInt(&okH);
    if (okW && okH && w > 0 && h > 0 && w <= kMaxSide && h <= kMaxSide) s.windowSize = QSize(w, h);
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
    ini.clear();
    ini.setValue("port/name", s.port);
    ini.setValue("port/baud", s.baud);
    ini.setValue("port/transferBaud", s.transferBaud);
    ini.setValue("folders/firmware", s.firmwareFolder);
    ini.setValue("folders/backup", s.backupFolder);
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
    if (f.at("ComboBox2").items.contains(s.baud)) f.selectText("ComboBox2", s.baud);
    if (f.at("ComboBox7").items.contains(s.transferBaud)) f.selectText("ComboBox7", s.transferBaud);
    if (isFolder(s.firmwareFolder)) {
        m.firmwareFolder = s.firmwareFolder;
        if (Control* c = dialogField(m, kBootForm, kBootFolderField))
            m.formByName(kBootForm)->setText(c->name, s.firmwareFolder);
    }
    if (isFolder(s.backupFolder)) {
        if (Control* c = dialogField(m, kBackupForm, kBackupField))
            m.formByName(kBackupForm)->setText(c->name, s.backupFolder);
    }
}

RememberedSettings captureSettings(MainModel& m, RememberedSettings base) {
    FormModel& f = m.form();
    RememberedSettings s = std::move(base);
    s.port = f.text("ComboBox1");
    s.baud = f.text("ComboBox2");
    s.transferBaud = f.text("ComboBox7");
    s.firmwareFolder = m.firmwareFolder;
    if (Control* c = dialogField(m, kBackupForm, kBackupField)) s.backupFolder = c->text;
    return s;
}

}  // namespace hdd
