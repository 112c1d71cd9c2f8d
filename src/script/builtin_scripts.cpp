#include "builtin_scripts.h"

#include "platform.h"

namespace hdd {

namespace {

struct Source {
    const char* key;
    const char* caption;
    QList<const char*> lines;
};

// The scripts as they name their files on the system they came from.
const Source kSources[] = {
    {"Button8",
     "读Buffer",
     {R"(SPEED/115200)", R"(ECHO/读取缓冲区......)", R"(R_BUF/4A0/30/C:\BUF.BIN)",
      R"(//R_BUF/缓冲区入口/长度(单位为扇区)/目标文件)", R"(SPEED/9600)"}},
    {"Button2",
     "读串行ROM",
     {R"(ECHO/读取ROM......)", R"(HEX/1A)", R"(LEVEL/F)", R"(STR/Z)", R"(STR/e5)", R"(STR/e4,200,1,0)",
      R"(SPEED/115200)", R"(//SPEED/速率  速率可选9600、38400、57600、115200、230000)",
      R"(R_BUF/0/80/C:\ROM.BIN)", R"(SPEED/9600)", R"(ECHO/读取ROM完成！)",
      R"(ECHO/读取的ROM文件偏移140~167之间数据需修正后才能使用！)"}},
    {"Button3",
     "写串行ROM",
     {R"(ECHO/写入ROM......)", R"(HEX/1A)", R"(LEVEL/F)", R"(STR/Z)", R"(STR/d400,0)",
      R"(SEND_FILE/512/C:\ROM.BIN)", R"(//W_BUF/400/80/C:\ROM.BIN)", R"(STR/e5)", R"(STR/e9)",
      R"(STR/e3,200,1,0)", R"(STR/e6)", R"(ECHO/写入ROM完成！)"}},
    {"Button4",
     "F级引导1",
     {R"(HEX/1A)",
      R"(//DEC/26)",
      R"(LEVEL/F)",
      R"(SPEED/115200)",
      R"(//STR/b0115)",
      R"(//BAUDRATE/115200)",
      R"(ECHO/加载APP......)",
      R"(STR/d60,2)",
      R"(SLEEP/4000)",
      R"(SEND_FILE/2048/C:\APP.BIN)",
      R"(STR/j,,1)",
      R"(SLEEP/4000)",
      R"(ECHO/加载CERT......)",
      R"(STR/d,3,1)",
      R"(SLEEP/4000)",
      R"(SEND_FILE/4096/C:\CERT.BIN)",
      R"(SLEEP/4000)",
      R"(SPEED/9600)",
      R"(ECHO/加载TABLE......)",
      R"(STR/h18)",
      R"(SLEEP/4000)",
      R"(SEND_FILE/512/C:\TABLE.BIN)",
      R"(SLEEP/4000)"}},
    {"Button5",
     "读表面",
     {R"(SPEED/115200)", R"(ECHO/读取SA扇区......)", R"(R_SECTORS/13E98/0/4AD/10/0/280/C:\TRACK.TRC)",
      R"(//R_SECTORS/磁道/磁头/读缓冲区/缓冲区长度/开始扇区/扇区数/目标文件)",
      R"(CREAT_FILE/C:\TRACK.TRC/1A9/17/C:\TRACK.TRC/1A8/1/C:\TABLE.BIN)",
      R"(//CREAT_FILE/源文件1/起始扇区/扇区数/源文件2/起始扇区/扇区数/目标文件)", R"(SPEED/9600)"}},
    {"Button6",
     "写表面",
     {R"(ECHO/写入SA扇区......)", R"(W_SECTORS/13E9E/0/4BD/10/0/12/C:\TRACK.TRC)",
      R"(//W_SECTORS/磁道/磁头/读缓冲区/缓冲区长度/开始扇区/扇区数/源文件)"}},
    {"Button7",
     "写Buffer",
     {R"(SPEED/115200)", R"(ECHO/写入缓冲区......)", R"(W_BUF/4BD/10/C:\BUF.BIN)",
      R"(//W_BUF/缓冲区入口/长度(单位为扇区)/源文件)", R"(SPEED/9600)"}},
    {"Button12",
     "F级引导2",
     {R"(ECHO/F级引导)", R"(LEVEL/F)", R"(SPEED/57600)", R"(ECHO/加载APP......)", R"(STR/d80,1)",
      R"(SLEEP/5000)", R"(SEND_FILE/1024/C:\APP.BIN)", R"(STR/j,,1)", R"(SLEEP/5000)",
      R"(ECHO/加载CERT......)", R"(STR/d,2,0)", R"(SLEEP/5000)", R"(SEND_FILE/2048/C:\CERT.BIN)",
      R"(SPEED/9600)", R"(STR/h11)", R"(SLEEP/5000)", R"(SEND_FILE/512/C:\TABLE.BIN)", R"(SLEEP/5000)",
      R"(ECHO/F级引导完成)"}},
};

// Elsewhere the files lose their drive letter and resolve against the working folder.
QString localPaths(QString line) {
    if (!platform::hasDriveLetters()) line.remove(QStringLiteral("C:\\"));
    return line;
}

}  // namespace

const QList<BuiltinScript>& builtinScripts() {
    static const QList<BuiltinScript> scripts = [] {
        QList<BuiltinScript> out;
        for (const Source& s : kSources) {
            BuiltinScript b{QString::fromUtf8(s.key), QString::fromUtf8(s.caption), {}};
            for (const char* line : s.lines) b.lines << localPaths(QString::fromUtf8(line));
            out << b;
        }
        return out;
    }();
    return scripts;
}

}  // namespace hdd
