#include "cli_runner.h"
#include "language.h"

#ifndef HDDTERM_VERSION
#define HDDTERM_VERSION "0"
#endif

namespace hdd {

int parseCliOptions(const QStringList& args, CliOptions& opt, QStringList& rest, QTextStream& out,
                    QTextStream& err) {
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString& into) {
            if (i + 1 >= args.size()) return false;
            into = args[++i];
            return true;
        };
        QString v;
        bool ok = true;
        if (a == "--help" || a == "-h") {
            out << cliHelp();
            out.flush();
            return 0;
        } else if (a == "--version") {
            out << "hddterm-cli " << HDDTERM_VERSION << "\n";
            out.flush();
            return 0;
        } else if (a == "--port") {
            ok = value(opt.port);
        } else if (a == "--baud") {
            ok = value(opt.baud);
        } else if (a == "--set") {
            ok = value(v);
            opt.sets << v;
        } else if (a == "--file") {
            ok = value(v);
            opt.files << v;
        } else if (a == "--log") {
            ok = value(opt.log);
        } else if (a == "--yes") {
            opt.yes = true;
        } else if (a == "--no") {
            opt.yes = false;
        } else if (a == "--fast") {
            opt.sets << QStringLiteral("CheckBoxFast=1");
        } else if (a == "--json") {
            opt.json = true;
        } else if (a == "--keep-speed") {
            opt.keepSpeed = true;
        } else if (a == "--lang" || a.startsWith("--lang=")) {
            if (a == "--lang") {
                ok = value(opt.lang);
            } else {
                opt.lang = a.mid(7);
            }
            if (ok && !parseLanguage(opt.lang))
                return cliUsage(err, "--lang takes zh or en, not " + opt.lang);
        } else if (a == "--keep-going") {
            opt.keepGoing = true;
        } else if (a.startsWith("--")) {
            return cliUsage(err, "unknown option " + a);
        } else {
            rest = args.mid(i);
            break;
        }
        if (!ok) return cliUsage(err, a + " needs a value");
    }
    return -1;
}

int cliUsage(QTextStream& err, const QString& why) {
    if (!why.isEmpty()) err << "hddterm-cli: " << why << "\n";
    err << "usage: hddterm-cli [OPTIONS] (ports | keys [FORM] | run ACTION... | script FILE | verify "
           "FOLDER); see hddterm-cli --help\n";
    err.flush();
    return 2;
}

}  // namespace hdd
