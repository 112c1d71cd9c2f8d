// Test harness: the main window's model on the simulated drive in virtual time.
//
//   Harness h;            // start-up done, "sim" selected (no system ports listed)
//   h.open();             // btnSwitch, as the user presses it
//   h.type("/2");         // the command line, key by key, then Enter
//   h.idle(200);          // 200 ms of virtual time with events processed
//   h.wire();             // every byte the drive received since the last clearWire()
//   h.consoleText();      // the console as UTF-8 text, lines joined by "\n"
//
// Message boxes, questions and file dialogs are answered from scripts and recorded.
#pragma once

#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <ostream>

#include "clock.h"
#include "drive.h"
#include "frontend.h"
#include "main_model.h"
#include "sim_port.h"
#include "text.h"

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QByteArray& b, std::ostream* os) {
    *os << "\"" << b.toPercentEncoding(" /:,.=>_-").toStdString() << '"';
}

namespace hddtest {

// The ports a test window offers besides the system's: "sim", served by `drive`.
inline std::function<void(hdd::SerialPort&, hdd::Clock&)> simPort(std::shared_ptr<hddsim::Drive> drive) {
    return [drive](hdd::SerialPort& p, hdd::Clock& c) { hddsim::SimPort::add(p, c, drive); };
}

// The drive behind a window's "sim" port.
inline hddsim::Drive& simDrive(hdd::MainModel& m) { return hddsim::SimPort::of(m.port())->drive(); }

class TestFrontend : public hdd::Frontend {
public:
    void message(hdd::MessageKind kind, const QString& text, const QString&) override {
        shown << (kind == hdd::MessageKind::Warning ? "warning: " : "message: ") + text;
    }
    int choose(const QString& text, const QString&, const QStringList&, const QString&) override {
        shown << "choose: " + text.section('\n', 0, 0);
        return choices.isEmpty() ? -1 : choices.takeFirst();
    }
    bool question(const QString& text, const QString&) override {
        const bool a = answers.isEmpty() ? false : answers.takeFirst();
        shown << "question: " + text + (a ? " -> yes" : " -> no");
        return a;
    }
    QString openFileName(const hdd::FileRequest& r) override { return nextFile(r); }
    QString saveFileName(const hdd::FileRequest& r) override { return nextFile(r); }
    QString folderName(const QString& title, const QString&) override {
        requests << hdd::FileRequest{title, {}, {}, {}};
        return files.isEmpty() ? QString() : files.takeFirst();
    }
    void showForm(hdd::FormModel& form, int dx, int dy) override {
        shownForms << QStringLiteral("%1@%2,%3").arg(form.formName()).arg(dx).arg(dy);
    }

    QStringList shownForms;  // every dialog shown, as "Form3@140,300"
    QStringList shown;       // every message box and question, in order
    QList<bool> answers;     // answers to questions, in order (No when exhausted)
    QList<int> choices;      // answers to questions with several answers (cancel when exhausted)
    QStringList files;       // answers to file dialogs, in order (cancel when exhausted)
    QList<hdd::FileRequest> requests;

private:
    QString nextFile(const hdd::FileRequest& r) {
        requests << r;
        return files.isEmpty() ? QString() : files.takeFirst();
    }
};

class Harness {
public:
    explicit Harness(bool startUp = true) {
        drive = std::make_shared<hddsim::Drive>();
        hddsim::installAllCommands(*drive);
        drive->faults.splitPromptEvery = 3;
        hdd::MainOptions o;
        o.portLister = [this] { return systemPorts; };
        o.registerPorts = simPort(drive);
        o.pinCpu = false;
        o.programPath = programPath;
        o.banner = {QStringLiteral("hddterm-test"), QStringLiteral("000-0000"),
                    QStringLiteral("hddterm.test")};
        model = std::make_unique<hdd::MainModel>(clock, frontend, o);
        if (startUp) model->startUp();
    }

    hdd::FormModel& form() { return model->form(); }
    hdd::Dialogue& dlg() { return model->dialogue(); }

    void open() { form().userClick("btnSwitch"); }
    void press(const QString& key) { form().userClick(key); }
    void type(const QString& text) {
        for (QChar c : text) form().userKey("CMD", c);
        form().userEnter("CMD");
    }
    void idle(int ms) { clock.idle(ms); }
    QByteArray wire() const { return drive->received(); }
    void clearWire() { drive->clearReceived(); }
    QString consoleText() const {
        QStringList out;
        for (int i = 0; i < model->console().lineCount(); ++i) out << hdd::fromGbk(model->console().line(i));
        return out.join('\n');
    }
    QString lastLine() const { return hdd::fromGbk(model->console().lastLine()); }

    QStringList systemPorts;
    QTemporaryDir programDir;  // the program folder: files written beside the executable land here
    QString programPath = programDir.filePath(QStringLiteral("hddterm"));
    hdd::VirtualClock clock;
    TestFrontend frontend;
    std::shared_ptr<hddsim::Drive> drive;
    std::unique_ptr<hdd::MainModel> model;
};

}  // namespace hddtest
