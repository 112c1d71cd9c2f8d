// The Qt message boxes and file choosers through which the model asks the user, in the language
// in force (language.h). Each picker opens in the folder it was last left in (remembered between
// runs by the settings), or else in the work folder.
#pragma once

#include <QDialog>
#include <QHash>
#include <QMap>
#include <QPoint>
#include <QWidget>
#include <functional>

#include "form_model.h"
#include "frontend.h"

namespace hdd {

class GuiFrontend : public Frontend {
public:
    void setParent(QWidget* w) { parent_ = w; }
    void message(MessageKind kind, const QString& text, const QString& title) override;
    bool question(const QString& text, const QString& title) override;
    int choose(const QString& text, const QString& title, const QStringList& choices,
               const QString& cancel) override;
    QString openFileName(const FileRequest& r) override;
    QString saveFileName(const FileRequest& r) override;
    QString folderName(const QString& title, const QString& start) override;
    void showForm(FormModel& form, int dx, int dy) override;

    // The folder each picker was last left in, by its title (remembered between runs).
    QMap<QString, QString> pickerFolders;
    // Where each dialog was last left, by its form's name (remembered between runs).
    QMap<QString, QPoint> dialogPlaces;
    // Where a picker opens that was never left anywhere (made when first used).
    QString defaultFolder;
    // Called when a picker or dialog place was remembered.
    std::function<void()> onRemembered;

private:
    QString startPath(const QString& title, const QString& fileName) const;
    QString startFolder(const QString& title) const;
    void remember(const QString& title, const QString& file, bool isFolder);
    QPoint placeFor(const FormModel& form, const QDialog& view, int dx, int dy) const;

    QWidget* parent_ = nullptr;
    QHash<FormModel*, QDialog*> dialogs_;
};

}  // namespace hdd
