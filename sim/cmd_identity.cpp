// Simulated drive: identity word writes after F at T level (not modelled yet).
#include "drive.h"

namespace hddsim {

void installIdentityCommands(Drive&) {}

}  // namespace hddsim
