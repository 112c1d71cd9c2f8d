#include "settings_keeper.h"

#include <QEvent>
#include <QWidget>

#include "form2_controls.h"
#include "form6_controls.h"
#include "gui_frontend.h"
#include "main_form_controls.h"

namespace hdd {

namespace {

// Window moves and resizes come as a stream while the technician drags.
constexpr int kSettleMs = 400;

// The controls whose change the file follows, by form.
const struct {
    const char* form;
    QStringList names;
    const char* typeList;  // the dialog's family list: its choice is the firmware type
} kWatched[] = {
    {mainform::kName, {mainform::kPortList, mainform::kBaudList, mainform::kTransferSpeedList}, nullptr},
    {form2::kName, {form2::kFolderField, form2::kFamilyList}, form2::kFamilyList},
    {form6::kName, {form6::kFolderField, form6::kFamilyList}, form6::kFamilyList}};

}  // namespace

SettingsKeeper::SettingsKeeper(const QString& path, RememberedSettings loaded, MainModel& model,
                               GuiFrontend& frontend, QWidget* window, QObject* parent)
    : QObject(parent),
      path_(path),
      remembered_(std::move(loaded)),
      written_(remembered_),
      model_(model),
      frontend_(frontend),
      window_(window) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &SettingsKeeper::save);
    for (const auto& w : kWatched) {
        FormModel* form = model_.formByName(QString::fromLatin1(w.form));
        if (!form) continue;
        connect(form, &FormModel::changed, this,
                [this, form, typeList = w.typeList, names = w.names](const QString& name) {
                    if (!names.contains(name)) return;
                    // The family a dialog's list was set to is the firmware type (a list emptied is no
                    // choice).
                    if (typeList && name == QLatin1String(typeList) && !form->text(name).isEmpty())
                        remembered_.firmwareType = form->text(name);
                    soon(0);
                });
    }
    frontend_.onRemembered = [this] { soon(0); };
    if (window_) window_->installEventFilter(this);
}

void SettingsKeeper::rememberLanguage(const QString& code) {
    remembered_.language = code;
    save();
}

RememberedSettings SettingsKeeper::now() const {
    RememberedSettings s = captureSettings(model_, remembered_);
    s.pickerFolders = frontend_.pickerFolders;
    s.dialogPlaces = frontend_.dialogPlaces;
    if (window_) {
        s.maximized = window_->isMaximized();
        const QRect normal = s.maximized ? window_->normalGeometry() : window_->geometry();
        s.windowSize = normal.size();
        // The frame's corner, where move() puts it back.
        s.windowPos = s.maximized ? normal.topLeft() : window_->pos();
        s.hasWindowPos = window_->isVisible() || s.hasWindowPos;
    }
    return s;
}

void SettingsKeeper::save() {
    timer_.stop();
    const RememberedSettings s = now();
    if (s == written_) return;
    if (saveSettings(path_, s)) written_ = s;
}

void SettingsKeeper::soon(int ms) {
    if (!timer_.isActive() || ms < timer_.remainingTime()) timer_.start(ms);
}

bool SettingsKeeper::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
                               event->type() == QEvent::WindowStateChange)) {
        if (window_->isVisible()) soon(kSettleMs);
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace hdd
