// The dialogs of the main window, without widgets.
//
// Seven dialogs are created once at start-up, after the main window, and live for the whole run:
// Form1 (sector file builder), Form2 (F-level boot), Form3 (serial ROM), Form4 (command scripts),
// Form5 (HDD ID edit), Form6 (firmware backup) and Form7 (head serial-number picture). Each is a
// DialogForm: a FormModel whose controls keep their objectNames, which the Qt view shows as a
// modal dialog and the CLI and the tests drive as "Form3.Button2" and the like.
//
// A key of the main window shows each dialog (DialogKey below): it runs the dialog's
// aboutToShow, then asks the front end to show it modally at its offset from the main window's
// top-left corner. A dialog that is not built yet keeps its key off the screen.
//
// A dialog's operations run through runOperation: the dialog is disabled meanwhile and the main
// window counts the operation as its own (its console, progress bar and port are the ones used).
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <type_traits>

#include "form_model.h"
#include "outcome.h"

namespace hdd {

class MainModel;

class DialogForm : public FormModel {
    Q_OBJECT
public:
    DialogForm(MainModel& main, const QString& formName, const QString& title);

    MainModel& main() { return main_; }
    // False for a dialog whose work is not built yet: its key stays hidden.
    bool built = true;

    // The abort key for the dialog's operations: the main window's "中止命令" is out of reach behind
    // the modal dialog, so the dialog's view carries a key of its own, live while it works.
    void abort();
    // Esc or the dialog's close button. While an operation runs they act as the abort key and the
    // dialog stays open until the operation has ended (false); otherwise the dialog closes (true).
    bool requestClose();

    // Runs when the main window's key is pressed, before the dialog is shown.
    std::function<void()> aboutToShow;

    // A transfer speed list that takes the main window's speed list, last item selected, now and
    // whenever the main window's port selection changes.
    void followSpeedList(const QString& name);
    // A family list that takes the main window's family list once the family table is loaded.
    void followFamilyList(const QString& name);

    // Runs one of the dialog's operations: the dialog disabled meanwhile, counted as an operation
    // of the main window so the window knows one is running and hears its outcome.
    Outcome runOperation(const std::function<Outcome()>& work);
    template <class F>
    requires std::is_void_v<std::invoke_result_t<F>>
    void runOperation(F&& work) {
        runOperation(std::function<Outcome()>([&work] {
            work();
            return Outcome::done();
        }));
    }

    // Adds a key whose click runs `work` as an operation of the dialog.
    Control& addKey(const QString& name, const QString& caption, std::function<Outcome()> work,
                    const QString& box = QString());
    template <class F>
    requires std::is_void_v<std::invoke_result_t<F>> Control& addKey(const QString& name,
                                                                     const QString& caption, F work,
                                                                     const QString& box = QString()) {
        return addKey(name, caption, std::function<Outcome()>([work] {
                          work();
                          return Outcome::done();
                      }),
                      box);
    }
    // Adds an edit field with its label.
    Control& addEdit(const QString& name, const QString& label, KeyFilter filter = KeyFilter::Any,
                     const QString& box = QString());

private:
    MainModel& main_;
};

// Where the main window's keys show the dialogs.
struct DialogKey {
    const char* form;
    const char* key;
    const char* caption;
    int dx, dy;     // offset from the main window's top-left corner; negative: not moved
    bool onWindow;  // on the window itself (usable while the panels are off), else on Panel2
};
const QList<DialogKey>& dialogKeys();

// Creates the seven dialogs and the keys that show them (called once by the main window's model).
void createDialogs(MainModel& m);

// Each dialog's own file builds it.
std::unique_ptr<DialogForm> makeForm1(MainModel& m);  // sector file builder
std::unique_ptr<DialogForm> makeForm2(MainModel& m);  // F-level boot
std::unique_ptr<DialogForm> makeForm3(MainModel& m);  // serial ROM
std::unique_ptr<DialogForm> makeForm4(MainModel& m);  // command scripts
std::unique_ptr<DialogForm> makeForm5(MainModel& m);  // HDD ID edit
std::unique_ptr<DialogForm> makeForm6(MainModel& m);  // firmware backup
std::unique_ptr<DialogForm> makeForm7(MainModel& m);  // head serial-number picture

}  // namespace hdd
