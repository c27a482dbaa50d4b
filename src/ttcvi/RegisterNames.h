#pragma once

// The TTCvi's registers by name, as the bus log and the crate monitor show
// them.

#include <cstdint>
#include <string>
#include <vector>

// The name of the register at offset from the module's base: "CSR1",
// "B-Go 2 mode", "Inhibit 1 delay", "B-Go 3 FIFO", "TRIGWORD control", ...;
// empty for an offset where the module has no register.
std::string TTCviRegisterName(std::uint32_t offset);

// The offsets of every register, in the order of the register map.
const std::vector<std::uint32_t>& TTCviRegisterOffsets();
