#pragma once

// Which library answers the nine adapter calls in this program. Every
// provider of the calls (the simulated crate, the binding of a real adapter
// library, a test stand-in) defines this function beside them, so the
// connection can say what it talks to without guessing from device names.
struct AdapterIdentity {
  const char* Name;  // for the operator: "Simulated crate", "SBS/Bit3 PCI-to-VME", ...
  bool Simulated;    // true when no real crate is behind the calls
};

AdapterIdentity ProvidedAdapter();
