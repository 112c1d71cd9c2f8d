// What the transfer, discovery and module keys tell the window: their outcome, case by case.
#include <gtest/gtest.h>

#include "discovery.h"
#include "transfer.h"
#include "transfer_support.h"

using namespace hddtest;
using Status = hdd::Outcome::Status;
using By = hdd::Outcome::By;

namespace {

struct Case {
    const char* name;
    const char* key;
    std::function<void(Harness&, const QTemporaryDir&)> setUp;
    Status status;
    By by;
    QString reason;  // empty: not looked at
    int files;       // files the outcome names
};

void range(Harness& h, const char* count) {
    h.form().setText("Edit19", "800");
    h.form().setText("Edit20", count);
}

TEST(KeyOutcome, EachKeyTellsWhatItCameTo) {
    const Case cases[] = {
        {"buffer read",
         "Button78",
         [](Harness& h, const QTemporaryDir& dir) {
             range(h, "2");
             h.frontend.files = {dir.filePath("b.bin")};
         },
         Status::Done,
         By::None,
         {},
         1},
        {"garbled dump", "Button78",
         [](Harness& h, const QTemporaryDir& dir) {
             range(h, "2");
             memory(h).faults.garbleLineInDump = 2;
             h.frontend.files = {dir.filePath("b.bin")};
         },
         Status::Failed, By::None, hdd::kDataError, 1},
        {"abort",
         "Button78",
         [](Harness& h, const QTemporaryDir& dir) {
             range(h, "4");
             abortWhen(h, [&h] { return memory(h).dumps >= 2; });
             h.frontend.files = {dir.filePath("b.bin")};
         },
         Status::Aborted,
         By::None,
         {},
         1},
        {"cancelled dialog", "Button78", [](Harness& h, const QTemporaryDir&) { range(h, "2"); },
         Status::Refused, By::Input, hdd::kNoFileChosen, 0},
        {"folder takes no file",
         "Button78",
         [](Harness& h, const QTemporaryDir& dir) {
             range(h, "2");
             h.frontend.files = {dir.filePath("no/b.bin")};
         },
         Status::Refused,
         By::Check,
         {},
         0},
        {"file length", "Button79",
         [](Harness& h, const QTemporaryDir& dir) {
             range(h, "2");
             writeFile(dir.filePath("w.bin"), pattern(1000));
             h.frontend.files = {dir.filePath("w.bin")};
         },
         Status::Refused, By::Input, hdd::lengthMessage(512), 0},
        {"silent drive",
         "Button13",
         [](Harness& h, const QTemporaryDir&) { h.drive->faults.silent = true; },
         Status::Failed,
         By::None,
         {},
         0},
        {"not at T", "Button18",
         [](Harness& h, const QTemporaryDir& dir) {
             for (const char* n : {"Edit10", "Edit14", "Edit11", "Edit12"}) h.form().setText(n, "1");
             h.drive->faults.stuckLevel = "1";
             h.frontend.files = {dir.filePath("t.trc")};
         },
         Status::Refused, By::Drive, hdd::kNotAtT, 0},
        {"no CERT", "Button51",
         [](Harness& h, const QTemporaryDir& dir) { h.frontend.files = {dir.filePath("APP.trc")}; },
         Status::Refused, By::Drive, hdd::kLoadCertFirst, 0},
        {"unknown family", "Button91",
         [](Harness& h, const QTemporaryDir&) { h.drive->settings["fw.family"] = 5; }, Status::Failed,
         By::None, hdd::kAnalysisFailed, 0},
        {"send without file",
         "Button63",
         [](Harness&, const QTemporaryDir&) {},
         Status::Refused,
         By::Input,
         {},
         0},
        {"save at F level", "Button96", [](Harness& h, const QTemporaryDir&) { h.drive->level = "F"; },
         Status::Refused, By::Drive, hdd::kNotAtT, 0},
    };
    for (const Case& c : cases) {
        Harness h;
        QTemporaryDir dir;
        h.open();
        c.setUp(h, dir);
        h.press(c.key);
        const hdd::Outcome& o = h.model->lastOutcome();
        EXPECT_EQ(o.status, c.status) << c.name << ": " << qPrintable(o.reason);
        EXPECT_EQ(o.by, c.by) << c.name;
        if (!c.reason.isEmpty()) {
            EXPECT_EQ(o.reason, c.reason) << c.name;
        }
        EXPECT_EQ(o.files.size(), c.files) << c.name;
        EXPECT_FALSE(h.dlg().AbortRequested) << c.name;
    }
}

}  // namespace
