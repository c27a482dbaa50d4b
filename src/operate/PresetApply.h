#pragma once

#include "operate/ModuleSender.h"
#include "settings/PreSettings.h"

// The preset as the controls would hold it: indexes they do not have become
// -1 (none), the inhibits and the TTCrx values come into their ranges.
PreSettings PresetAsShown(PreSettings preset);
