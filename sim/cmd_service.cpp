#include "drive.h"

namespace hddsim {

void installServiceCommands(Drive&) {}

}  // namespace hddsim
