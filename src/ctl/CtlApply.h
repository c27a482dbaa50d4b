#pragma once

// apply: a stored preset sent to the module with the bus cycles of the
// panel's Apply, for a program without the panel's controls.

#include <ostream>
#include <string>
#include <vector>

#include "settings/PreSettings.h"
#include "ttcvi/TTTCvi.h"

// Applies preset to module, whose CSR1 shadow must hold what the module
// holds. rxEntries are the TTCrx entries ("name=address") the preset's
// TTCrx is looked up in. Each loaded FIFO is reported on out as
// "B-Go Fifo [n] loaded". Raises as the panel's Apply stops: the conversion
// error when the preset's TTCrx has no address, a bus error where it occurs.
void ApplyPresetToModule(const PreSettings& preset, TTTCvi& module,
                         const std::vector<std::string>& rxEntries, std::ostream& out);
