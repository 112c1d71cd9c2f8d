// The eight built-in scripts of the script dialog.
//
// Each key of the group "内置脚本" fills the editor with one of these scripts; none runs until
// "运行脚本" is pressed. The files they name are the drive-letter paths of the system they came
// from ("C:\BUF.BIN"); elsewhere the drive letter is dropped and the name ("BUF.BIN") resolves
// against the working folder.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace hdd {

struct BuiltinScript {
    QString key;      // the key's objectName
    QString caption;  // the key's caption
    QStringList lines;
};

// In the order the dialog shows their keys.
const QList<BuiltinScript>& builtinScripts();

}  // namespace hdd
