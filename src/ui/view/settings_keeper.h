// Keeps the settings file in step with the window (settings.h): whatever the file remembers is
// written as soon as it changes — a folder picked, a speed or firmware type chosen, the language
// switched, the window moved or resized — so a killed or crashed program loses nothing. Changes
// that come in bursts (a window being dragged) are written once they settle, a moment later.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include "settings.h"

class QWidget;

namespace hdd {

class GuiFrontend;

class SettingsKeeper : public QObject {
    Q_OBJECT
public:
    SettingsKeeper(const QString& path, RememberedSettings loaded, MainModel& model, GuiFrontend& frontend,
                   QWidget* window, QObject* parent = nullptr);

    // The language chosen in the menu: remembered and written at once.
    void rememberLanguage(const QString& code);
    // Writes what changed since the last write (also what is still waiting to settle).
    void save();
    const RememberedSettings& written() const { return written_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void soon(int ms);
    RememberedSettings now() const;

    QString path_;
    RememberedSettings remembered_;  // what the window does not hold itself (language, firmware type)
    RememberedSettings written_;
    MainModel& model_;
    GuiFrontend& frontend_;
    QPointer<QWidget> window_;
    QTimer timer_;
};

}  // namespace hdd
