// The check list of a backup folder: SHA256SUMS, as sha256sum writes and checks it.
//
// A backup lists every file it wrote with its SHA-256, one line each ("<64 hex digits>  APP.BIN"),
// so the folder can be checked later by this tool, by `hddterm-cli verify` or by `sha256sum -c`.
// The boot checks a folder against it before it sends a module to the drive.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace hdd {

inline const QString kSumsFileName = QStringLiteral("SHA256SUMS");

// The line for a file as sha256sum writes it, with its name as listed; empty when it cannot be read.
QString sumsLine(const QString& path, const QString& name);

struct SumCheck {
    enum class State { Ok, Failed, Missing };
    QString name;
    State state = State::Ok;
};

// Each file SHA256SUMS in `folder` lists, checked; nullopt when the folder has no SHA256SUMS (or it
// cannot be read: `why` says so). A line that is not "<hash>  <name>" is reported as a failed entry
// under its own text, so a damaged list never passes.
std::optional<QList<SumCheck>> checkSums(const QString& folder, QString* why = nullptr);
// "APP.BIN: OK", "APP.BIN: FAILED", "APP.BIN: MISSING".
QString sumCheckLine(const SumCheck& check);

}  // namespace hdd
