// Simulated drive: zone tables, zone cutting and LBA conversion (not modelled yet).
#include "drive.h"

namespace hddsim {

void installZoneCommands(Drive&) {}

}  // namespace hddsim
