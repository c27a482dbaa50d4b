#include "ctl/CtlReports.h"

#include <cstdio>
#include <vector>

#include "base/ReadNumber.h"
#include "base/Text.h"
#include "settings/RxAddresses.h"
#include "ttcvi/RegisterFields.h"

namespace {

std::string Padded(std::string text, std::size_t width) {
  if (text.size() < width) text.resize(width, ' ');
  return text;
}

std::string Hex32(std::uint32_t word) { return HexText(word, 8); }

// A register with its fields, as a JSON object.
std::string JsonRegister(std::uint16_t value, const std::vector<RegisterField>& fields) {
  std::string json = "{\"value\": " + JsonString(HexText(value, 4)) +
                     ", \"bits\": " + JsonString(BitString(value, 16)) + ", \"fields\": [";
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const RegisterField& field = fields[i];
    const std::string bits = field.High == field.Low
                                 ? std::to_string(field.Low)
                                 : std::to_string(field.High) + ".." + std::to_string(field.Low);
    json += std::string(i == 0 ? "" : ", ") + "{\"name\": " + JsonString(field.Name) +
            ", \"bits\": " + JsonString(bits) + ", \"value\": " + std::to_string(field.Value) +
            ", \"meaning\": " + JsonString(field.Meaning) + "}";
  }
  return json + "]}";
}

void PrintRegister(std::ostream& out, const std::string& name, std::uint16_t value,
                   const std::vector<RegisterField>& fields) {
  out << Padded(name, 14) << HexText(value, 4) << "  " << BitString(value, 16) << '\n';
  for (const RegisterField& field : fields)
    out << "  " << Padded(field.Label(), 24) << Padded(field.ValueText, 4) << field.Meaning << '\n';
}

}  // namespace

std::string JsonString(const std::string& text) {
  std::string json = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        json += "\\\"";
        break;
      case '\\':
        json += "\\\\";
        break;
      case '\n':
        json += "\\n";
        break;
      case '\r':
        json += "\\r";
        break;
      case '\t':
        json += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
          json += escaped;
        } else {
          json += c;  // UTF-8 passes as it is
        }
    }
  }
  return json + "\"";
}

void PrintList(std::ostream& out, const StoredConfiguration& configuration, const std::string& what,
               bool json) {
  std::vector<std::string> items;  // one JSON object or one line each
  if (what == "presets") {
    for (const NamedPreset& preset : configuration.Presets) {
      if (!json) {
        items.push_back(preset.Name);
        continue;
      }
      std::string words;
      for (const BGoWords& sequence : preset.Settings.Sequences)
        words += (words.empty() ? "" : ", ") + std::to_string(sequence.size());
      items.push_back("{\"name\": " + JsonString(preset.Name) + ", \"rx\": " +
                      JsonString(preset.Settings.RxName) + ", \"fifo_words\": [" + words + "]}");
    }
  } else if (what == "sequences") {
    for (const BGoDataSequence& sequence : configuration.Sequences) {
      if (!json) {
        items.push_back(sequence.Name);
        continue;
      }
      std::string words;
      for (const auto& word : sequence.Words)
        words += (words.empty() ? "" : ", ") +
                 JsonString(Hex32(static_cast<std::uint32_t>(word.to_ulong())));
      items.push_back("{\"name\": " + JsonString(sequence.Name) + ", \"words\": [" + words + "]}");
    }
  } else {
    for (const std::string& entry : configuration.RxAddresses) {
      if (!json) {
        items.push_back(entry);
        continue;
      }
      const std::size_t equals = entry.find('=');
      const std::string text = equals == std::string::npos ? "" : entry.substr(equals + 1);
      const std::optional<std::int32_t> address = TryReadNumber(text);
      items.push_back("{\"name\": " + JsonString(RxEntryName(entry)) +
                      ", \"address_text\": " + JsonString(text) + ", \"address\": " +
                      (address ? std::to_string(*address & 0x3FFF) : std::string("null")) + "}");
    }
  }
  if (!json) {
    for (const std::string& item : items) out << item << '\n';
    return;
  }
  out << "{" << JsonString(what) << ": [";
  for (std::size_t i = 0; i < items.size(); ++i) out << (i == 0 ? "" : ", ") << items[i];
  out << "]}\n";
}

void PrintStatus(std::ostream& out, const ModuleStatus& status, bool json) {
  const std::string base = HexText(status.Base, 6);
  if (json) {
    out << "{\"module\": {\"adapter\": " << JsonString(status.Connection.Adapter)
        << ", \"device\": " << JsonString(status.Connection.Device)
        << ", \"base\": " << JsonString(base)
        << "}, \"csr1\": " << JsonRegister(status.CSR1, DecodeCSR1(status.CSR1))
        << ", \"csr2\": " << JsonRegister(status.CSR2, DecodeCSR2(status.CSR2))
        << ", \"bgo_modes\": [";
    for (int n = 0; n < 4; ++n)
      out << (n == 0 ? "" : ", ") << "{\"channel\": " << n
          << ", \"value\": " << JsonString(HexText(status.Modes[n], 4))
          << ", \"bits\": " << JsonString(BitString(status.Modes[n], 5))
          << ", \"meaning\": " << JsonString(BGoModeMeaning(status.Modes[n])) << "}";
    out << "]}\n";
    return;
  }
  out << "TTCvi at A24 " << base;
  if (!status.Connection.Adapter.empty() || !status.Connection.Device.empty())
    out << " (" << status.Connection.Adapter
        << (status.Connection.Adapter.empty() || status.Connection.Device.empty() ? "" : ", ")
        << status.Connection.Device << ")";
  out << '\n';
  PrintRegister(out, "CSR1", status.CSR1, DecodeCSR1(status.CSR1));
  PrintRegister(out, "CSR2", status.CSR2, DecodeCSR2(status.CSR2));
  for (int n = 0; n < 4; ++n)
    out << Padded("B-Go " + std::to_string(n) + " mode", 14) << HexText(status.Modes[n], 4) << "  "
        << Padded(BitString(status.Modes[n], 5), 16) << BGoModeMeaning(status.Modes[n]) << '\n';
}
