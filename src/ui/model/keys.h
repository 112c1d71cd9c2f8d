// The keys of each subsystem, added to the main window's model by their own install function.
#pragma once

#include <QString>
#include <functional>
#include <type_traits>

#include "form_model.h"
#include "outcome.h"

namespace hdd {

class MainModel;

// A key of the main window whose work runs as an operation of the window and tells its outcome.
Control& addKey(MainModel& m, const QString& name, const QString& caption, const QString& box,
                std::function<Outcome(MainModel&)> work, const QString& panel = QStringLiteral("Panel2"));
// Work that does not tell its outcome counts as done.
template <class F>
    requires std::is_void_v<std::invoke_result_t<F, MainModel&>>
Control& addKey(MainModel& m, const QString& name, const QString& caption, const QString& box, F work,
                const QString& panel = QStringLiteral("Panel2")) {
    return addKey(m, name, caption, box,
                  std::function<Outcome(MainModel&)>([work](MainModel& mm) {
                      work(mm);
                      return Outcome::done();
                  }),
                  panel);
}
// A hexadecimal entry field with its label.
Control& addField(FormModel& f, const QString& name, const QString& label, const QString& box,
                  KeyFilter filter = KeyFilter::Hex, const QString& panel = QStringLiteral("Panel2"));

void installServiceKeys(MainModel& m);   // monitor levels, link speed and the service keys
void installBufferKeys(MainModel& m);    // buffer read and write, file send
void installTrackKeys(MainModel& m);     // buffer addresses and free system-area tracks
void installFirmwareKeys(MainModel& m);  // family table, address discovery, module keys
void installIdentityKeys(MainModel& m);  // serial number and 48-bit addressing
void installZoneKeys(MainModel& m);      // zone cutting, zone information, LBA conversion

// Makes sure the read and write buffer fields ("RD:", "WR:" and their sizes) are filled, asking the
// drive with the buffer address key when one is empty; true when all four are filled.
bool GetBufferAddress(MainModel& m);

}  // namespace hdd
