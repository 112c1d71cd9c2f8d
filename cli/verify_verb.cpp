// `verify FOLDER`: a backup folder checked against its SHA256SUMS, one line per listed file, as
// `sha256sum -c` prints it. Nothing is opened but the folder.
#include "checksums.h"
#include "cli_runner.h"

namespace hdd {

int runVerify(const QString& folder, QTextStream& out, QTextStream& err) {
    QString why;
    const auto checks = checkSums(folder, &why);
    if (!checks) {
        err << "hddterm-cli: verify: " << folder << ": " << why << "\n";
        err.flush();
        return 2;
    }
    bool allOk = true;
    for (const SumCheck& c : *checks) {
        out << sumCheckLine(c) << "\n";
        allOk = allOk && c.state == SumCheck::State::Ok;
    }
    out.flush();
    if (checks->isEmpty()) {
        err << "hddterm-cli: verify: " << folder << ": " << kSumsFileName << " lists no file\n";
        err.flush();
        return 1;
    }
    return allOk ? 0 : 1;
}

}  // namespace hdd
