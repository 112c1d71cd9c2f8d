#include "drive.h"

namespace hddsim {

void installBufferCommands(Drive&) {}

}  // namespace hddsim
