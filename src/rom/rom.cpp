#include "rom.h"
