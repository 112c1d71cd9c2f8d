#include "keys.h"
#include "main_model.h"

namespace hdd {

void installBufferKeys(MainModel&) {}

}  // namespace hdd
