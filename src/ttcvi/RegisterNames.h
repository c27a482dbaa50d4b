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

// "CSR1 (0x80)" for an address of the module at base, empty for any other
// address: how the bus log names what an access reached.
std::string TTCviRegisterLabel(std::uint32_t base, std::uint32_t address);

// The offsets of every register, in the order of the register map.
const std::vector<std::uint32_t>& TTCviRegisterOffsets();
