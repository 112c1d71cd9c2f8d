// What the simulated drive's F-level boot holds (see cmd_loader.cpp): the modules downloaded into
// its memory, byte for byte, and what was written to the disk, so tests can compare them with the
// files the tool sent.
#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

namespace hddsim {

struct LoaderState {
    // The modules in memory, as the drive took them (empty until a download of it completed).
    QByteArray app, cert, table, ata0, ata1;
    QByteArray appBuffer;        // the buffer the APP was downloaded into ("60", "80")
    qsizetype appBlockSize = 0;  // the block size its command announced
    qsizetype certBlockSize = 0;
    QList<QByteArray> opened;  // every command that opened a module download, in order
    QList<QByteArray> saved;   // modules written to the disk, in order ("APP", "CERT", "TABLE", "ATA")
    bool appRunning = false;   // the drive jumped into its APP
    bool ataMode = false;      // "N4F,,22": the interface code may be downloaded
    bool ataBuilt = false;     // "b,,22": the interface code was built from ATA0 and ATA1
    int restartsSeen = 0;      // a restart forgets what memory held
};

}  // namespace hddsim
