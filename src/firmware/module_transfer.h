// Reading and writing one firmware module, the identity sector or the reserve area, as the module
// keys and the command line do it.
//
// Where a module lies comes from the address set: a module is read and written as whole tracks of
// the reserve area's sectors per track from sector 0 on head 0 (CERT1 on its own head), the identity
// sector is sector 4 of the Vendor track, and the reserve area is every track from its first to its
// last cylinder. APP is read from its first copy and written to every copy.
//
// An operation asks for its file's folder first (a read into a folder that takes no file is
// refused (Check) before the drive is asked anything), opens its frame, checks the T level, asks the
// drive for any address still missing (EnsureAddresses: the reserve area needs the buffers and the
// reserve area, the others the module cylinders as well), raises the link to the transfer speed,
// runs the transfer of track.h and returns to 9600 with the T-level command (not to a speed the link
// had before). `addresses` comes back with what was asked for. The outcome is the transfer's;
// refused (Drive) away from T level; the ensure's when an address stays unknown; refused (Input)
// without a file. The CERT reads give the drive its closing carriage return only after a transfer.
#pragma once

#include <QString>

#include "discovery.h"
#include "outcome.h"

namespace hdd {

class Dialogue;

enum class Module { App, Ata, Cert0, Cert1, Table, Vendor, IdSector, Reserve };

struct ModuleTransfer {
    Module module = Module::App;
    QString file;
    QString speed;  // the transfer speed, as the speed selector names it
};

Outcome ReadModule(Dialogue& d, const ModuleTransfer& t, AddressSet& addresses);
Outcome WriteModule(Dialogue& d, const ModuleTransfer& t, AddressSet& addresses);

}  // namespace hdd
