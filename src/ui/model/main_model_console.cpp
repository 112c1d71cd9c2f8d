// The console as the window shows and keeps it: the hexadecimal views (the received bytes in the
// console, the traffic both ways in hex_traffic.h) and "保存为文本…".
#include <QDateTime>

#include "main_model.h"
#include "terminal.h"
#include "transfer.h"

namespace hdd {

void MainModel::onReceived(const QByteArray& chunk) {
    echoReceived(dialogue_, chunk);
    hexTraffic_.add(HexTraffic::Direction::Received, chunk);
}

bool MainModel::saveConsoleText(const QString& path) {
    return saveFile(path, console().displayText().toUtf8());
}

void MainModel::saveConsoleAs() {
    const FileRequest request{
        QStringLiteral("保存为文本"),
        QDateTime::currentDateTime().toString(QStringLiteral("'console_'yyyyMMdd_HHmmss'.txt'")),
        QStringLiteral("文本文件|*.txt|所有文件|*.*"), QStringLiteral("*.txt")};
    const QString file = frontend_.saveFileName(request);
    if (file.isEmpty()) return;
    if (!saveConsoleText(file)) warning(QStringLiteral("保存文件失败！\n") + file);
}

}  // namespace hdd
