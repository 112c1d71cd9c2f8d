// The help text of hddterm-cli; the man page and the README follow it.
#include "cli_runner.h"

namespace hdd {

namespace {

const char* kHelp =
    "usage: hddterm-cli [OPTIONS] ports\n"
    "       hddterm-cli [OPTIONS] keys [FORM]\n"
    "       hddterm-cli [OPTIONS] run ACTION...\n"
    "       hddterm-cli [OPTIONS] script FILE\n"
    "       hddterm-cli verify FOLDER\n"
    "       hddterm-cli --help | --version\n"
    "\n"
    "hddterm's main window without widgets. `run` performs the window's start-up, opens the port as\n"
    "the key \"打开串口\" does, performs the actions in order, closes the port and exits.\n"
    "\n"
    "Verbs:\n"
    "  ports             list the serial ports: the system's, then sim (the simulated drive)\n"
    "  keys [FORM]       list the controls, one per line: name, caption, kind and form\n"
    "                    (FORM: FrmMain, the main window, or a dialog, Form1 .. Form7)\n"
    "  run ACTION...     open the port, perform the actions, close the port\n"
    "  script FILE       open the port, load the command script FILE into the script dialog\n"
    "                    (Form4.Memo1), run it (Form4.Button9), close the port\n"
    "  verify FOLDER     check a backup folder against its SHA256SUMS: one line per file\n"
    "                    (APP.BIN: OK | FAILED | MISSING); 0 all OK, 1 otherwise, 2 no SHA256SUMS\n"
    "\n"
    "Options:\n"
    "  --port PORT       the port to open (default: sim); a device path such as /dev/ttyUSB0\n"
    "  --baud RATE       the window's baud selection before the port opens (default: 9600)\n"
    "  --set NAME=VALUE  fill a field before the port opens (repeatable)\n"
    "  --file PATH       answer the next file or folder dialog (repeatable, in order)\n"
    "  --yes, --no       answer the Yes/No questions (default: --no)\n"
    "  --log FILE        write every byte sent and received, time-stamped, to the text file FILE\n"
    "  --json            GET prints one JSON object per line: {\"name\":\"edRx\",\"value\":\"Rx:6\"}\n"
    "  --keep-speed      leave drive and port at the speed SET:ComboBox2 chose; by default they go\n"
    "                    back to the speed the run started with before the port closes\n"
    "  --fast            fast waits (\"快速等待\"): each wait ends as soon as the drive's answer is in\n"
    "  --help            show this help and exit\n"
    "  --version         show the version and exit\n"
    "\n"
    "Actions:\n"
    "  KEY               press a key: Button78, Form3.Button2 (`keys` lists them)\n"
    "  SET:NAME=VALUE    set a field, list, box (0/1) or radio button as a user would\n"
    "  CMD:TEXT          type TEXT into the command line and press Enter\n"
    "  KEYS:HEX          type raw key codes into the command line (1a = Ctrl-Z)\n"
    "  ENTER:NAME        press Enter in a field (Edit21)\n"
    "  WAIT:MS           stay idle for MS milliseconds\n"
    "  GET:NAME[.items|.enabled|.visible]\n"
    "                    print what a control shows, as NAME=VALUE (or JSON with --json)\n"
    "\n"
    "Every action is checked before the port opens. The console goes to stderr, GET readouts to\n"
    "stdout; when stderr is a terminal, operations show a progress line. Ctrl-C (SIGINT) or\n"
    "SIGTERM acts as the abort key \"中止命令\": the operation ends through its closing steps and\n"
    "the port closes; a second signal ends the process at once.\n"
    "\n"
    "Exit status: 0 every operation was done (or stopped at one of its own messages asking for a\n"
    "field); 1 an operation failed or was refused (by the drive, or by a check of a field, file or\n"
    "folder), a warning box, or a file dialog no --file answered; 2 a usage error or a port that\n"
    "cannot be opened; 130 SIGINT; 143 SIGTERM.\n";

}  // namespace

QString cliHelp() { return QString::fromUtf8(kHelp); }

}  // namespace hdd
