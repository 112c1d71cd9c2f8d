// The firmware map's operations on the main window, for the keys of other subsystems.
//
// They live with the window model (src/ui/model/keys_firmware.cpp) because they read and fill
// the window's address fields and run its keys. The family table itself is the window's
// m.ext<FamilyTable>(), loaded once at start-up; the hidden list ComboBox3 holds its names (list
// position p is entry p + 1).
#pragma once

namespace hdd {

class MainModel;

// Reads HDDINFO.TXT from the program folder (writing the built-in copy when it is missing) into
// the window's FamilyTable and ComboBox3; a file that cannot be written or read is reported and
// leaves the table empty.
void LoadFamilyTable(MainModel& m);

// The ensure operations: fill what is still empty, by the keys of its group only, and tell
// whether everything needed is known. Values typed by the user are never replaced.
//   GetSysAddress: the buffer fields and the reserve area (Edit3, Edit4, Edit5).
//   GetFirwAddress: those and the module fields (Edit6, Edit7, Edit8, Edit9).
bool GetSysAddress(MainModel& m);
bool GetFirwAddress(MainModel& m);

}  // namespace hdd
