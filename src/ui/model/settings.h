// What the window remembers between runs, per user.
//
// The settings file (an INI file in the user's configuration folder) keeps the last port, the
// window's speed and transfer speed, the firmware folder and the folder the backups go under, the
// firmware type last chosen in the dialogs, the interface's language, the window's place and size,
// the folder each file or folder picker was last left in, and where each dialog was last left. It
// is read before the window's start-up and written as soon as one of them changes (SettingsKeeper,
// settings_keeper.h), so a killed program loses nothing. A missing, unreadable or corrupt file, and
// any value that no longer fits (a port or speed not offered, a folder that is gone), silently
// leaves the default.
//
// The file's [banner] group (chat, phone, web) holds the workstation's contacts for the start-up
// banner; the program only reads it (hddterm-cli too, which reads nothing else of the file).
#pragma once

#include <QMap>
#include <QPoint>
#include <QSize>
#include <QString>

#include "main_model.h"

namespace hdd {

struct RememberedSettings {
    QString port;
    QString baud;          // ComboBox2
    QString transferBaud;  // ComboBox7
    QString firmwareFolder;
    QString backupFolder;  // the folder the backup dialog's target was picked as (not the drive's folder
                           // under it)
    QString firmwareType;  // the family last chosen in the F-level boot or backup dialog
    QString language;      // "zh", "en", or empty: not chosen
    QSize windowSize;      // invalid: the window's own
    QPoint windowPos;
    bool hasWindowPos = false;
    bool maximized = false;
    QMap<QString, QString> pickerFolders;  // by the picker's title
    QMap<QString, QPoint> dialogPlaces;    // where each dialog was last left, by its form's name
    // The file's [banner] group: read, never written.
    BannerContacts banner;

    bool operator==(const RememberedSettings& o) const;
};

// The per-user settings file ($XDG_CONFIG_HOME/hddterm/hddterm.ini).
QString defaultSettingsPath();
RememberedSettings loadSettings(const QString& path);
// Only the [banner] group (all empty when the file or the keys are missing).
BannerContacts loadBanner(const QString& path);
// Written whole but for the [banner] group (a temporary file renamed over the old one); false when
// that failed.
bool saveSettings(const QString& path, const RememberedSettings& settings);

// Before the start-up: the port it selects.
void applyBeforeStartUp(MainModel& m, const RememberedSettings& s);
// After the start-up: the speeds, folders and firmware type that still fit.
void applyAfterStartUp(MainModel& m, const RememberedSettings& s);
// The window's state now; what the model does not hold (window size, pickers) is taken from `base`.
RememberedSettings captureSettings(MainModel& m, RememberedSettings base);

}  // namespace hdd
