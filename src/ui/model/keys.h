// The keys of each subsystem, added to the main window's model by their own install function.
#pragma once

namespace hdd {

class MainModel;

void installServiceKeys(MainModel& m);   // monitor levels, link speed and the service keys
void installBufferKeys(MainModel& m);    // buffer read and write, file send
void installTrackKeys(MainModel& m);     // buffer addresses and free system-area tracks
void installFirmwareKeys(MainModel& m);  // family table, address discovery, module keys

// Makes sure the read and write buffer fields ("RD:", "WR:" and their sizes) are filled, asking the
// drive with the buffer address key when one is empty; true when all four are filled.
bool GetBufferAddress(MainModel& m);

}  // namespace hdd
