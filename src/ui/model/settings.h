// What the window remembers between runs, per user.
//
// The settings file (an INI file in the user's configuration folder) keeps the last port, the
// window's speed and transfer speed, the firmware and backup folders, the window's size and the
// folder each file or folder picker was last left in, and where each dialog was last left. It is read before
// the window's start-up and written when the window closes. A missing, unreadable or corrupt file, and any
// value that no longer fits (a port or speed not offered, a folder that is gone), silently leaves the
// default.
#pragma once

#include <QMap>
#include <QPoint>
#include <QSize>
#include <QString>

namespace hdd {

class MainModel;

struct RememberedSettings {
    QString port;
    QString baud;          // ComboBox2
    QString transferBaud;  // ComboBox7
    QString firmwareFolder;
    QString backupFolder;  // the backup dialog's target folder
    QSize windowSize;      // invalid: the window's own
    bool maximized = false;
    QMap<QString, QString> pickerFolders;  // by the picker's title
    QMap<QString, QPoint> dialogPlaces;    // where each dialog was last left, by its form's name
};

// The per-user settings file ($XDG_CONFIG_HOME/hddterm/hddterm.ini).
QString defaultSettingsPath();
RememberedSettings loadSettings(const QString& path);
// Written whole (a temporary file renamed over the old one); false when that failed.
bool saveSettings(const QString& path, const RememberedSettings& settings);

// Before the start-up: the port it selects.
void applyBeforeStartUp(MainModel& m, const RememberedSettings& s);
// After the start-up: the speeds and folders that still fit.
void applyAfterStartUp(MainModel& m, const RememberedSettings& s);
// The window's state now; what the model does not hold (window size, pickers) is taken from `base`.
RememberedSettings captureSettings(MainModel& m, RememberedSettings base);

}  // namespace hdd
