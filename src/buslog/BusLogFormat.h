#pragma once

// The bus log as the operator reads it: each entry as fields of text (the
// log window shows them, the files hold them), and the two file formats.

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "buslog/BusLog.h"

// The register an address reaches, for the operator ("CSR1 (0x80)"); empty
// for an address that is no known register. The log knows no register map:
// the layer that owns the module's map gives this.
using RegisterNamer = std::function<std::string(std::uint32_t address)>;

enum class BusLogFormat {
  Csv,   // comma-separated, one header line, fields quoted where needed
  Text,  // aligned columns for reading
};

enum class BusLogColumn { Number, Time, Access, Register, Address, Width, Value, Result, Control };
constexpr std::size_t kBusLogColumns = 9;
using BusLogFields = std::array<std::string, kBusLogColumns>;

// The column headings, in column order.
const BusLogFields& BusLogHeadings();

// One entry as text: number, local time to the microsecond
// ("2026-05-04 13:02:11.125043"), "read"/"write"/"reset", the register, the
// address ("0xFF1080"), the width in bits, the value in hexadecimal with one
// digit per 4 bits ("0x0008"), "OK" or the error's message, and the cause
// (empty when none was open).
BusLogFields FormatBusLogEntry(const BusLogEntry& entry, const RegisterNamer& namer);
// One field of it.
std::string FormatBusLogField(const BusLogEntry& entry, BusLogColumn column,
                              const RegisterNamer& namer);

// One CSV line (no line end) of fields.
std::string CsvLine(const BusLogFields& fields);

// Writes the headings and the entries in format.
void WriteBusLog(std::ostream& out, const std::vector<BusLogEntry>& entries,
                 const RegisterNamer& namer, BusLogFormat format);

// Writes the entries to file (replacing it). Raises EFileWriteError
// ("Unable to write to <file>") when it cannot be written completely.
void SaveBusLog(const std::filesystem::path& file, const std::vector<BusLogEntry>& entries,
                const RegisterNamer& namer, BusLogFormat format);
