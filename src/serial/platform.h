// What the program asks of the operating system, behind one small interface.
//
// Everything that differs between systems lives in one file per system (platform_unix.cpp,
// platform_win.cpp; CMake picks the one that is built), so the serial port, the file checks and
// the scripts read the same everywhere.
#pragma once

#include <QList>
#include <QPair>
#include <QSerialPort>
#include <QString>
#include <utility>

#include "serial_backend.h"

namespace hdd::platform {

// A serial device's handle as the system knows it (a file descriptor, or a handle on Windows).
using SerialHandle = decltype(std::declval<QSerialPort&>().handle());

// The group that owns a device node (empty when the system has no such thing or cannot tell).
QString deviceGroup(const QString& devicePath);

// Why a device that the driver would not open failed: it is not there, the user may not open
// it, or (when both look fine) another program holds it.
PortError classifyOpenFailure(const QString& devicePath);

// The system's serial ports by name, each with the adapter behind it ("description SN:serial", or
// empty). Read from what the system publishes about its devices: no device is opened, so listing
// never touches a port (opening a port can reset what hangs on it).
QList<QPair<QString, QString>> listSerialPorts();

// Runs the process on the CPU of that index from now on (where the system allows it).
void pinToCpu(int index);

// Asks the driver of an open serial handle to hand over received bytes at once. Returns what to
// give restoreLatency at close (-1: the driver did not take the request).
int requestLowLatency(SerialHandle handle);
// Puts back the driver's setting saved by requestLowLatency.
void restoreLatency(SerialHandle handle, int saved);
// Waits at most ms milliseconds until the driver's output queue of an open serial handle is empty
// (every byte written is on the line); false when it was not by then.
bool waitOutputDrained(SerialHandle handle, int ms);
// Waits at most us microseconds until an open serial handle has something to read (or has hung
// up) and returns 0, or -1 when nothing came. A system that cannot wait on the handle this way
// returns at once the milliseconds QtSerialPort should wait instead (at least 1).
int waitReadable(SerialHandle handle, qint64 us);
// Whether the open device has hung up: its far end is gone for good.
bool hungUp(SerialHandle handle);

// Why no file can be made at this absolute path, as the system says it (empty: it can). An
// existing file that may not be replaced is refused; otherwise the folder must take a new file.
QString cannotCreateReason(const QString& absoluteFilePath, bool exists);

// Whether file names carry a drive letter ("C:\"): elsewhere such a prefix is dropped.
bool hasDriveLetters();

}  // namespace hdd::platform
