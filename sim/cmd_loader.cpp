// Simulated drive: the F-level boot: module downloads at F level (not modelled yet).
#include "drive.h"

namespace hddsim {

void installLoaderCommands(Drive&) {}

}  // namespace hddsim
