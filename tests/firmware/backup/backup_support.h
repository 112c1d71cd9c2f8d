// Helpers of the backup tests: a harness with the port open on the simulated drive, the drive's
// module sectors, and the files of a backup folder.
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "backup.h"
#include "family_table.h"
#include "harness.h"
#include "system_area.h"

namespace hddtest {

inline QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void putFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
}

// The files of a folder, sorted.
inline QStringList folderFiles(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

// A family entry of the built-in table by name.
inline hdd::FamilyEntry builtInEntry(const QByteArray& name) {
    const hdd::FamilyTable t = hdd::parseFamilyTable(hdd::builtInFamilyTable());
    for (int i = 1; i <= t.count; ++i) {
        if (t.entry(i).name == name) return t.entry(i);
    }
    return {};
}

// Presses the abort key once, from inside a wait, as soon as `when` holds.
inline void abortOnceWhen(Harness& h, std::function<bool()> when) {
    auto done = std::make_shared<bool>(false);
    h.clock.addPoller([&h, when, done] {
        if (*done || !when()) return;
        *done = true;
        h.press("Button16");
    });
}

// The backup run with its values.
inline hdd::BackupResult runBackup(hdd::Dialogue& d, const hdd::BackupRequest& r) {
    hdd::BackupResult result;
    hdd::RunBackup(d, r, &result);
    return result;
}

struct BackupFixture {
    Harness h;
    QTemporaryDir dir;
    QString folder = dir.filePath("backup");

    BackupFixture() { h.open(); }
    hddsim::SystemArea& sa() { return h.drive->state<hddsim::SystemArea>(); }
    QByteArray sectors(quint32 cylinder, quint32 head, quint32 first, quint32 count) {
        return sa().read(cylinder, head, first, count);
    }
    QString file(const QString& name) const { return QDir(folder).filePath(name); }
    // Where a run that did not complete keeps what it read.
    QString partial() const { return folder + ".partial"; }
    QString stagedFile(const QString& name) const { return QDir(partial()).filePath(name); }
    // The line that says so.
    QString keptLine() const { return hdd::kStagingKept.arg(QDir::toNativeSeparators(partial())); }
    QByteArray bytes(const QString& name) const { return fileBytes(file(name)); }
    QStringList lines() const { return h.consoleText().split('\n'); }
    // The console lines of the last run, without the drive's fresh prompt after it.
    QStringList runLines() const {
        QStringList out;
        for (int i = firstLine; i < h.model->console().lineCount(); ++i) {
            const QString line = hdd::fromGbk(h.model->console().line(i));
            if (line != "T>") out << line;
        }
        return out;
    }
    int firstLine = 0;
    hdd::BackupResult run(const hdd::FamilyEntry& entry, hdd::BackupModules modules = {},
                          const QString& speed = QStringLiteral("921600")) {
        h.idle(200);  // the drive's answer to the last closing CR has come, as between two key presses
        h.clearWire();
        firstLine = h.model->console().lineCount();
        hdd::BackupRequest r;
        r.family = entry;
        r.folder = folder;
        r.speed = speed;
        r.modules = modules;
        return runBackup(h.dlg(), r);
    }
};

}  // namespace hddtest
