// The keys of each subsystem, added to the main window's model by their own install function.
#pragma once

#include <QString>
#include <functional>
#include <type_traits>

#include "form_model.h"
#include "main_form_controls.h"
#include "outcome.h"

namespace hdd {

class MainModel;
struct AddressSet;

// A key of the main window whose work runs as an operation of the window and tells its outcome.
Control& addKey(MainModel& m, const QString& name, const QString& caption, const QString& box,
                std::function<Outcome(MainModel&)> work,
                const QString& panel = QLatin1String(mainform::kOperationsPanel));
// Work that does not tell its outcome counts as done.
template <class F>
requires std::is_void_v<std::invoke_result_t<F, MainModel&>> Control& addKey(
    MainModel& m, const QString& name, const QString& caption, const QString& box, F work,
    const QString& panel = QLatin1String(mainform::kOperationsPanel)) {
    return addKey(m, name, caption, box, std::function<Outcome(MainModel&)>([work](MainModel& mm) {
                      work(mm);
                      return Outcome::done();
                  }),
                  panel);
}
// A hexadecimal entry field with its label.
Control& addField(FormModel& f, const QString& name, const QString& label, const QString& box,
                  KeyFilter filter = KeyFilter::Hex,
                  const QString& panel = QLatin1String(mainform::kOperationsPanel));

// What a key's bytes are, for its tool tip: control characters as "Ctrl-T (0x14)" and "Esc (0x1B)",
// a carriage return as "CR", text in quotes: "\"?\" CR".
QString describeBytes(const QByteArray& bytes);
// The tool tip of a key that sends fixed bytes: its own hint (when it has one) over "发送 …".
QString sendsHint(const QString& hint, const QByteArray& bytes);

void installServiceKeys(MainModel& m);   // monitor levels, link speed and the service keys
void installBufferKeys(MainModel& m);    // buffer read and write, file send
void installTrackKeys(MainModel& m);     // buffer addresses and free system-area tracks
void installFirmwareKeys(MainModel& m);  // family table, address discovery, module keys
void installIdentityKeys(MainModel& m);  // serial number and 48-bit addressing
void installZoneKeys(MainModel& m);      // zone cutting, zone information, LBA conversion

// The window's address fields (buffers, reserve area, module cylinders and the analysis' CERT1 and
// TABLE with their keys' state) as the operations take them, and back: only what changed is written.
AddressSet addressFields(MainModel& m);
void setAddressFields(MainModel& m, const AddressSet& a);

// The ensure operations over the window's fields: fill what is still empty by asking the drive
// (EnsureAddresses), never replacing a value the user typed, and tell whether everything needed
// is known.
//   GetBufferAddress: the read and write buffer fields ("RD:", "WR:" and their sizes).
//   GetSysAddress: those and the reserve area (Edit3, Edit4, Edit5).
//   GetFirwAddress: those and the module fields (Edit6, Edit7, Edit8, Edit9).
bool GetBufferAddress(MainModel& m);
bool GetSysAddress(MainModel& m);
bool GetFirwAddress(MainModel& m);

// Reads HDDINFO.TXT from the program folder (writing the built-in copy when it is missing) into
// the window's FamilyTable (m.ext<FamilyTable>()) and the hidden family list ComboBox3 (list
// position p is entry p + 1); a file that cannot be written or read is reported and leaves the
// table empty.
void LoadFamilyTable(MainModel& m);

}  // namespace hdd
