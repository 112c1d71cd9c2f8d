// Helpers of the reliability tests: the transfer helpers, plus what the soak, the hostile files
// and the port-loss trials share.
#pragma once

#include "transfer_support.h"
