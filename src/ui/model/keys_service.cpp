#include "keys.h"
#include "main_model.h"

namespace hdd {

void installServiceKeys(MainModel&) {}

}  // namespace hdd
