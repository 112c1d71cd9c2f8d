#include "outcome.h"

#include <QFileInfo>

namespace hdd {

namespace {
int severity(Outcome::Status s) {
    switch (s) {
        case Outcome::Status::Done:
            return 0;
        case Outcome::Status::Aborted:
            return 1;
        case Outcome::Status::Refused:
            return 2;
        case Outcome::Status::Failed:
            return 3;
    }
    return 3;
}
}  // namespace

bool Outcome::isFailure() const {
    return status == Status::Failed || (status == Status::Refused && by != By::Input);
}

Outcome& Outcome::wrote(const QString& path) {
    files << WrittenFile{path, QFileInfo(path).size()};
    return *this;
}

Outcome& Outcome::merge(const Outcome& other) {
    if (severity(other.status) > severity(status)) {
        status = other.status;
        by = other.by;
        reason = other.reason;
    }
    files << other.files;
    return *this;
}

QString statusName(Outcome::Status status) {
    switch (status) {
        case Outcome::Status::Done:
            return QStringLiteral("done");
        case Outcome::Status::Failed:
            return QStringLiteral("failed");
        case Outcome::Status::Refused:
            return QStringLiteral("refused");
        case Outcome::Status::Aborted:
            return QStringLiteral("aborted");
    }
    return {};
}

QString refuserName(Outcome::By by) {
    switch (by) {
        case Outcome::By::None:
            return {};
        case Outcome::By::Input:
            return QStringLiteral("input");
        case Outcome::By::Check:
            return QStringLiteral("check");
        case Outcome::By::Drive:
            return QStringLiteral("drive");
    }
    return {};
}

}  // namespace hdd
