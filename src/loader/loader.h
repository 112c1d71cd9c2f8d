// the F-level boot: loading firmware modules into a drive at F level.
#pragma once
