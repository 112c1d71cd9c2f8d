// What the service commands of the simulated drive remember (see cmd_service.cpp).
#pragma once

#include <QByteArray>
#include <QList>

namespace hddsim {

struct ServiceState {
    qint64 deafUntilUs = -1;  // restarting until then: the drive hears nothing
    QByteArray pendingRun;    // "N2", "N2,AA", "N3", "N4": the run made at the next restart
    QByteArray lastRun;       // the run the last restart made
    QList<QByteArray> pList{"00001A2B   0  0123", "00001A2B   1  0456", "0000C350   0  0007",
                            "000186A0   1  0310"};
    QList<QByteArray> tList{"00002710   0", "00030D40   1"};
    QList<QByteArray> gList{"000000001F40", "0000000A1B2C", "00000C3500FF"};
    bool smartCleared = false;
    bool healthReset = false;
    bool forcedReadWrite = false;
    bool spinning = true;
    int ctrlDStep = 0;  // Ctrl-D steps since the last restart
    int restarts = 0;
};

}  // namespace hddsim
