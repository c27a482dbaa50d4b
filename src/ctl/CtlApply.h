#pragma once

// apply: a stored preset sent to the module with the bus cycles of the
// panel's Apply, through the sender the panel's controls use.

#include <ostream>
#include <string>
#include <vector>

#include "operate/ModuleSender.h"
#include "operate/PanelModel.h"
#include "settings/PreSettings.h"

// Applies the preset at index in the panel's model, as the window's Apply
// does from the same state (the model holds what a panel holds at its start,
// so its B-Go page's reload writes CSR2 as the window's would). The module's
// CSR1 shadow must hold what the module holds. Each loaded FIFO is reported
// on out as "B-Go Fifo [n] loaded". Raises as the panel's Apply stops.
void ApplyPresetToModule(PanelModel& panel, int preset, std::ostream& out);

// What applying the stored preset sends in place of its values beyond their
// controls' ranges, one line each ("Deskew1=300 is beyond 0..239: sent 239"),
// in the order they go out; none when every value is in its range.
std::vector<std::string> ValuesSentInstead(const PreSettings& stored);
