#include "drive.h"

namespace hddsim {

void installFirmwareCommands(Drive&) {}

}  // namespace hddsim
