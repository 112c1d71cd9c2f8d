// Binds widgets to a FormModel by objectName: the widget shows the control's state and passes
// the user's actions (clicks, selections, typed keys, Enter) to the model.
#pragma once

#include <QHash>
#include <QObject>
#include <QWidget>

#include "form_model.h"

namespace hdd {

class FormBinder : public QObject {
    Q_OBJECT
public:
    FormBinder(FormModel& form, QObject* parent = nullptr);

    // Creates the widget for a control (a panel becomes a plain QWidget), named after it.
    QWidget* create(const QString& name, QWidget* parent);
    QWidget* widget(const QString& name) const { return widgets_.value(name); }
    void refresh(const QString& name);
    void refreshAll();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FormModel& form_;
    QHash<QString, QWidget*> widgets_;
};

// Turns a dialog filter "BIN文件|*.bin|所有文件|*.*" into Qt's "BIN文件 (*.bin);;所有文件 (*.*)".
QString qtFileFilter(const QString& filter);

}  // namespace hdd
