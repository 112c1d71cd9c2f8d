// Simulated drive: the serial ROM at F level (not modelled yet).
#include "drive.h"

namespace hddsim {

void installRomCommands(Drive&) {}

}  // namespace hddsim
