// the serial ROM: reading and writing it through the buffer and by commands.
#pragma once
