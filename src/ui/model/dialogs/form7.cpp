// Form7: the head serial-number table, a dialog that only shows a picture. The technician's own
// table is the file HEADSN.PNG (or .JPG, .BMP) in the program folder, looked for each time the
// dialog is shown; without it the dialog shows a blank sample table of ours and says which file to
// put where.
#include <QDir>

#include "dialog_form.h"
#include "form7_controls.h"
#include "main_model.h"

static void initHeadSnResource() { Q_INIT_RESOURCE(headsn); }

namespace hdd {

using namespace form7;

namespace {

const QString kSample = QStringLiteral(":/headsn/headsn_sample.png");

// The picture file in the folder, whatever the case of its name; empty when there is none.
QString findPicture(const QString& folder) {
    const QStringList names = QDir(folder).entryList(QDir::Files);
    for (const char* ext : {"PNG", "JPG", "BMP"}) {
        const QString wanted = QStringLiteral("HEADSN.") + QLatin1String(ext);
        for (const QString& n : names) {
            if (n.compare(wanted, Qt::CaseInsensitive) == 0) return QDir(folder).filePath(n);
        }
    }
    return {};
}

}  // namespace

std::unique_ptr<DialogForm> makeForm7(MainModel& m) {
    initHeadSnResource();
    auto f = std::make_unique<DialogForm>(m, QLatin1String(kName), QStringLiteral("磁头序列号表"));
    DialogForm* form = f.get();
    f->add(QLatin1String(kHeadMapImage), ControlKind::Image).text = kSample;
    Control& note = f->add(QLatin1String(kHeadSerialsLabel), ControlKind::Label);
    note.box = QStringLiteral("说明");
    f->aboutToShow = [form] {
        const QString folder = QDir::toNativeSeparators(form->main().programFolder());
        const QString picture = findPicture(form->main().programFolder());
        form->setText(kHeadMapImage, picture.isEmpty() ? kSample : picture);
        const QString note = picture.isEmpty()
                                 ? QStringLiteral(
                                       "把磁头序列号表图片 HEADSN.PNG（或 .JPG、.BMP）\n"
                                       "放到程序目录 %1 下，这里就会显示它。")
                                       .arg(folder)
                                 : QStringLiteral("图片：%1").arg(QDir::toNativeSeparators(picture));
        form->setText(kHeadSerialsLabel, note);
    };
    m.onStartUp(f->aboutToShow);
    return f;
}

}  // namespace hdd
