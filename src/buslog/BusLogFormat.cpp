#include "buslog/BusLogFormat.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>

#include "base/Exception.h"

namespace {

std::string Hex(std::uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", digits, static_cast<unsigned>(value));
  return text;
}

std::string LocalTime(std::chrono::system_clock::time_point time) {
  const auto sinceEpoch = time.time_since_epoch();
  const auto seconds = std::chrono::floor<std::chrono::seconds>(sinceEpoch);
  const auto micro = std::chrono::duration_cast<std::chrono::microseconds>(sinceEpoch - seconds);
  const std::time_t whole = static_cast<std::time_t>(seconds.count());
  std::tm local{};
  localtime_r(&whole, &local);
  char text[48];
  const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  std::snprintf(text + length, sizeof text - length, ".%06lld",
                static_cast<long long>(micro.count()));
  return text;
}

const char* AccessName(BusAccess access) {
  switch (access) {
    case BusAccess::Read:
      return "read";
    case BusAccess::Write:
      return "write";
    case BusAccess::Reset:
      return "reset";
  }
  return "?";
}

std::string CsvField(const std::string& field) {
  if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
  std::string quoted = "\"";
  for (char c : field) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

}  // namespace

const BusLogFields& BusLogHeadings() {
  static const BusLogFields headings = {"#",     "Time",  "Access", "Register", "Address",
                                        "Width", "Value", "Result", "Control"};
  return headings;
}

std::string FormatBusLogField(const BusLogEntry& entry, BusLogColumn column,
                              const RegisterNamer& namer) {
  const bool onTheBus = entry.Access != BusAccess::Reset;
  switch (column) {
    case BusLogColumn::Number:
      return std::to_string(entry.Sequence + 1);
    case BusLogColumn::Time:
      return LocalTime(entry.Time);
    case BusLogColumn::Access:
      return AccessName(entry.Access);
    case BusLogColumn::Register:
      return onTheBus && namer ? namer(entry.Address) : std::string();
    case BusLogColumn::Address:
      return onTheBus ? Hex(entry.Address, 6) : std::string();
    case BusLogColumn::Width:
      return onTheBus ? std::to_string(8ull * entry.Bytes) : std::string();
    case BusLogColumn::Value: {
      // Nothing for a reset, and nothing for a read that brought nothing.
      if (!onTheBus || (entry.Failed && entry.Access == BusAccess::Read)) return {};
      return Hex(entry.Value, static_cast<int>(std::clamp<std::uint32_t>(entry.Bytes, 1, 4) * 2));
    }
    case BusLogColumn::Result:
      return entry.Failed ? entry.Error : "OK";
    case BusLogColumn::Control:
      return entry.Cause ? *entry.Cause : std::string();
  }
  return {};
}

BusLogFields FormatBusLogEntry(const BusLogEntry& entry, const RegisterNamer& namer) {
  BusLogFields fields;
  for (std::size_t column = 0; column < kBusLogColumns; ++column)
    fields[column] = FormatBusLogField(entry, static_cast<BusLogColumn>(column), namer);
  return fields;
}

std::string CsvLine(const BusLogFields& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += ',';
    line += CsvField(fields[i]);
  }
  return line;
}

void WriteBusLog(std::ostream& out, const std::vector<BusLogEntry>& entries,
                 const RegisterNamer& namer, BusLogFormat format) {
  std::vector<BusLogFields> rows;
  rows.reserve(entries.size());
  for (const BusLogEntry& entry : entries) rows.push_back(FormatBusLogEntry(entry, namer));

  if (format == BusLogFormat::Csv) {
    out << CsvLine(BusLogHeadings()) << '\n';
    for (const BusLogFields& row : rows) out << CsvLine(row) << '\n';
    return;
  }
  // Text: each column as wide as its widest field, two blanks between
  // columns, no blanks after the last one.
  std::array<std::size_t, kBusLogColumns> widths{};
  for (std::size_t i = 0; i < kBusLogColumns; ++i) widths[i] = BusLogHeadings()[i].size();
  for (const BusLogFields& row : rows)
    for (std::size_t i = 0; i < kBusLogColumns; ++i) widths[i] = std::max(widths[i], row[i].size());
  auto write = [&](const BusLogFields& row) {
    std::string line;
    for (std::size_t i = 0; i < kBusLogColumns; ++i) {
      line += row[i];
      if (i + 1 < kBusLogColumns) line.append(widths[i] - row[i].size() + 2, ' ');
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out << line << '\n';
  };
  write(BusLogHeadings());
  for (const BusLogFields& row : rows) write(row);
}

void SaveBusLog(const std::filesystem::path& file, const std::vector<BusLogEntry>& entries,
                const RegisterNamer& namer, BusLogFormat format) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (out) {
    WriteBusLog(out, entries, namer, format);
    out.close();
  }
  if (!out) throw EFileWriteError(file.string());
}
