#pragma once

#include "crate/SelectAdapter.h"

// The adapter choice of a program started with "--adapter sim": the
// simulated crate, asked for by name (so no warning of an unasked one).
inline crate::CrateChoice SimulatedCrateNamedOnTheCommandLine() {
  crate::CrateChoice choice;
  choice.Adapter = "sim";
  choice.ChosenBy = "the command line";
  choice.Name = "Simulated crate";
  choice.Simulated = true;
  return choice;
}
