#include "keys.h"
#include "main_model.h"

namespace hdd {

void installTrackKeys(MainModel&) {}

}  // namespace hdd
