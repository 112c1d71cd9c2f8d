// Form1: the sector file builder. Two sources, each with a range of sectors (start and count,
// hexadecimal), and a target made of the first range followed by the second (MakeSectorFile, in
// sector_file.h). A picked source is taken whole by default. Every check runs before the target is
// touched; the target is built beside itself and renamed into place, so it may name one of its
// sources.
#include <QFileInfo>

#include "dialog_form.h"
#include "form1_controls.h"
#include "main_model.h"
#include "sector_file.h"
#include "text.h"

namespace hdd {

using namespace form1;

namespace {

const QString kAllFiles = QStringLiteral("所有文件|*.*");

struct Source {
    const char* file;   // the read-only field the picker fills
    const char* start;  // start sector
    const char* count;  // sector count
    QString number;     // "1" or "2" in the messages
};

const Source kSources[] = {{kSource1Field, kSource1StartField, kSource1CountField, QStringLiteral("1")},
                           {kSource2Field, kSource2StartField, kSource2CountField, QStringLiteral("2")}};

// A picked source is taken whole: from sector 0, all its whole sectors.
Outcome pickSource(DialogForm& f, const Source& s) {
    const QString name = f.main().frontend().openFileName({QString(), QString(), kAllFiles, QString()});
    if (name.isEmpty()) return Outcome::done();
    f.setText(s.file, name);
    f.setText(s.start, QStringLiteral("0"));
    f.setText(s.count, toHexText(static_cast<quint64>(QFileInfo(name).size() / kSectorBytes)));
    return Outcome::done();
}

// The fields to the builder; its outcome in a message box.
Outcome build(DialogForm& f) {
    MainModel& m = f.main();
    auto range = [&f](const Source& s) {
        return SectorRange{f.text(s.file), f.text(s.start), f.text(s.count)};
    };
    const Outcome outcome = MakeSectorFile(range(kSources[0]), range(kSources[1]), f.text(kTargetField));
    // Every refusal means no file: a warning, so that scripts of the command line see it.
    if (outcome.isDone())
        m.information(kSectorFileDone);
    else
        m.warning(outcome.reason);
    return outcome;
}

}  // namespace

std::unique_ptr<DialogForm> makeForm1(MainModel& m) {
    auto f = std::make_unique<DialogForm>(m, QLatin1String(kName), QStringLiteral("创建文件"));
    f->built = true;
    DialogForm* form = f.get();
    const QString boxes[] = {QStringLiteral("源文件1"), QStringLiteral("源文件2")};
    const char* pickers[] = {kSource1Picker, kSource2Picker};
    const char* resets[] = {kSource1ResetKey, kSource2ResetKey};
    for (int i = 0; i < 2; ++i) {
        const Source& s = kSources[i];
        f->addEdit(s.file, QStringLiteral("源文件%1:").arg(s.number), KeyFilter::Any, boxes[i]).readOnly =
            true;
        f->addKey(
            pickers[i], QStringLiteral("..."), [form, &s] { return pickSource(*form, s); }, boxes[i]);
        f->addEdit(s.start, QStringLiteral("截取范围  开始扇区:"), KeyFilter::Hex, boxes[i]);
        f->addEdit(s.count, QStringLiteral("扇区数:"), KeyFilter::Hex, boxes[i]);
        f->addKey(
            resets[i], QStringLiteral("重置"),
            [form, &s] {
                for (const char* n : {s.file, s.start, s.count}) form->setText(n, QString());
                return Outcome::done();
            },
            boxes[i]);
    }
    const QString target = QStringLiteral("目标文件");
    f->addEdit(kTargetField, QStringLiteral("目标文件:"), KeyFilter::Any, target);
    f->addKey(
        kTargetPicker, QStringLiteral("..."),
        [form] {
            const QString name = form->main().frontend().saveFileName(
                {QString(), form->text(kTargetField), kAllFiles, QString()});
            if (!name.isEmpty()) form->setText(kTargetField, name);
            return Outcome::done();
        },
        target);
    f->addKey(
        kBuildKey, QStringLiteral("生成文件"), [form] { return build(*form); }, target);
    return f;
}

}  // namespace hdd
