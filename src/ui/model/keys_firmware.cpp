#include "keys.h"
#include "main_model.h"

namespace hdd {

void installFirmwareKeys(MainModel&) {}

}  // namespace hdd
