// A dialog of the main window as a Qt dialog: the widgets of its form model, laid out in the order
// the form adds them (framed groups by the controls' box; a field with its label and the "..." key
// after it on one row; keys in rows of three). Disabled as a whole while its operation runs.
#pragma once

#include <QDialog>
#include <QHash>
#include <QList>
#include <QPushButton>

#include "form_binder.h"

namespace hdd {

class DialogView : public QDialog {
    Q_OBJECT
public:
    DialogView(FormModel& form, QWidget* parent = nullptr);
    FormBinder& binder() { return binder_; }
    // Esc and the close button: the abort key while the dialog's operation runs.
    void reject() override;

private:
    void evenKeys();

    FormModel& form_;
    FormBinder binder_;
    QWidget* content_ = nullptr;
    QList<QList<QPushButton*>> keyRows_;  // the keys of each group, of one width
};

}  // namespace hdd
