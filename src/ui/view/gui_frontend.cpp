#include "gui_frontend.h"

#include <QGuiApplication>
#include <QScreen>

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include "dialog_view.h"
#include "form_binder.h"
#include "language.h"

namespace hdd {

void GuiFrontend::message(MessageKind kind, const QString& text, const QString& title) {
    if (kind == MessageKind::Warning) {
        QMessageBox::warning(parent_, displayText(title.isEmpty() ? QStringLiteral("警告") : title),
                             displayText(text));
    } else {
        QMessageBox::information(parent_, displayText(title.isEmpty() ? QStringLiteral("提示") : title),
                                 displayText(text));
    }
}

bool GuiFrontend::question(const QString& text, const QString& title) {
    return QMessageBox::question(parent_, displayText(title.isEmpty() ? QStringLiteral("提示") : title),
                                 displayText(text), QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

int GuiFrontend::choose(const QString& text, const QString& title, const QStringList& choices,
                        const QString& cancel) {
    QMessageBox box(QMessageBox::Question, title.isEmpty() ? QStringLiteral("提示") : title, text,
                    QMessageBox::NoButton, parent_);
    QList<QAbstractButton*> buttons;
    for (const QString& c : choices) buttons << box.addButton(c, QMessageBox::AcceptRole);
    box.setEscapeButton(cancel.isEmpty() ? box.addButton(QMessageBox::Cancel)
                                         : box.addButton(cancel, QMessageBox::RejectRole));
    if (!buttons.isEmpty()) box.setDefaultButton(static_cast<QPushButton*>(buttons.first()));
    box.exec();
    return static_cast<int>(buttons.indexOf(box.clickedButton()));
}

QString GuiFrontend::startPath(const QString& title, const QString& fileName) const {
    if (QFileInfo(fileName).isAbsolute()) return fileName;
    const QString folder = startFolder(title);
    return folder.isEmpty() ? fileName : QDir(folder).filePath(fileName);
}

QString GuiFrontend::startFolder(const QString& title) const {
    const QString last = pickerFolders.value(title);
    if (!last.isEmpty() && QFileInfo(last).isDir()) return last;
    // The work folder is made when a picker first opens in it.
    if (!defaultFolder.isEmpty() && QDir().mkpath(defaultFolder)) return defaultFolder;
    return {};
}

void GuiFrontend::remember(const QString& title, const QString& file, bool isFolder) {
    if (file.isEmpty() || title.isEmpty()) return;
    pickerFolders.insert(title, isFolder ? QDir::cleanPath(file) : QFileInfo(file).absolutePath());
    if (onRemembered) onRemembered();
}

QString GuiFrontend::openFileName(const FileRequest& r) {
    const QString file = QFileDialog::getOpenFileName(parent_, displayText(r.title),
                                                      startPath(r.title, r.fileName), qtFileFilter(r.filter));
    remember(r.title, file, false);
    return file;
}

QString GuiFrontend::saveFileName(const FileRequest& r) {
    QFileDialog dlg(parent_, displayText(r.title), QString(), qtFileFilter(r.filter));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    const QString start = startPath(r.title, r.fileName);
    if (QFileInfo(start).isAbsolute()) dlg.setDirectory(QFileInfo(start).absolutePath());
    dlg.selectFile(r.fileName);
    if (!r.defaultExt.isEmpty()) dlg.setDefaultSuffix(QString(r.defaultExt).remove("*.").remove('.'));
    const QString file = dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty()
                             ? dlg.selectedFiles().first()
                             : QString();
    remember(r.title, file, false);
    return file;
}

QString GuiFrontend::folderName(const QString& title, const QString& start) {
    const QString last = pickerFolders.value(title);
    QString from = QFileInfo(last).isDir() ? last : start;
    if (!QFileInfo(from).isDir()) from = startFolder(title);
    const QString folder = QFileDialog::getExistingDirectory(parent_, displayText(title), from);
    remember(title, folder, true);
    return folder;
}

QPoint GuiFrontend::placeFor(const FormModel& form, const QDialog& view, int dx, int dy) const {
    const QScreen* screen = parent_ ? parent_->screen() : QGuiApplication::primaryScreen();
    const QRect room = screen ? screen->availableGeometry() : QRect();
    const QSize size = view.frameGeometry().size();
    auto fits = [&room, &size](const QPoint& p) { return room.isNull() || room.contains(QRect(p, size)); };
    // Where the technician left it, as long as it is still on the screen.
    const auto kept = dialogPlaces.constFind(form.formName());
    if (kept != dialogPlaces.constEnd() && fits(*kept)) return *kept;
    if (!parent_) return view.pos();
    // Beside the main window, so that the console's result lines stay in sight: right, then left.
    const QRect main = parent_->frameGeometry();
    const QPoint right(main.right() + 1, main.top());
    const QPoint left(main.left() - size.width(), main.top());
    if (fits(right)) return right;
    if (fits(left)) return left;
    // No room beside it: over the window's right edge, where the console's text is shortest.
    if (!room.isNull()) {
        const int x = qBound(room.left(), main.right() - size.width(), room.right() - size.width());
        const int y =
            qBound(room.top(), main.top() + qMax(dy, 0), qMax(room.top(), room.bottom() - size.height()));
        return {x, y};
    }
    return dx >= 0 && dy >= 0 ? main.topLeft() + QPoint(dx, dy) : view.pos();
}

void GuiFrontend::showForm(FormModel& form, int dx, int dy) {
    QDialog*& view = dialogs_[&form];
    if (!view) view = new DialogView(form, parent_);
    view->adjustSize();
    if (dx >= 0 && dy >= 0) view->move(placeFor(form, *view, dx, dy));
    view->exec();
    dialogPlaces.insert(form.formName(), view->pos());
    if (onRemembered) onRemembered();
}

}  // namespace hdd
