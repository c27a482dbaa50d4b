#pragma once

// apply: a stored preset sent to the module with the bus cycles of the
// panel's Apply, through the sender the panel's controls use.

#include <ostream>
#include <string>
#include <vector>

#include "operate/ModuleSender.h"
#include "settings/PreSettings.h"

// Applies preset through sender, whose module's CSR1 shadow must hold what
// the module holds. rxEntries are the TTCrx entries ("name=address") the
// preset's TTCrx is looked up in, as the panel selects it. Each loaded FIFO
// is reported on out as "B-Go Fifo [n] loaded". Raises as the panel's Apply
// stops: the conversion error when the preset's TTCrx has no address, a bus
// error where it occurs.
void ApplyPresetToModule(const PreSettings& preset, ModuleSender& sender,
                         const std::vector<std::string>& rxEntries, std::ostream& out);

// What applying the stored preset sends in place of its values beyond their
// controls' ranges, one line each ("Deskew1=300 is beyond 0..239: sent 239"),
// in the order they go out; none when every value is in its range.
std::vector<std::string> ValuesSentInstead(const PreSettings& stored);
