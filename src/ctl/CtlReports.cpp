#include "ctl/CtlReports.h"

#include <cstdio>
#include <vector>

#include "base/StoredText.h"
#include "ctl/CtlConfiguration.h"
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
  std::string json = "{\"value\": " + std::to_string(value) +
                     ", \"value_hex\": " + JsonString(HexText(value, 4)) +
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

std::string JsonString(const std::string& stored) {
  // Names that are not UTF-8 are shown as the panel shows them, so the
  // document is UTF-8 whatever the file holds.
  const std::string text = StoredTextToUtf8(stored);
  std::string json = "\"";
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    unsigned control = 0x100;  // none
    if (c < 0x20 || c == 0x7F)
      control = c;
    else if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0)
      control = static_cast<unsigned char>(text[++i]);  // U+0080..U+009F
    if (c == '"' || c == '\\') {
      json += '\\';
      json += static_cast<char>(c);
    } else if (control <= 0xFF) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04X", control);
      json += escaped;
    } else {
      json += static_cast<char>(c);
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
        items.push_back(StoredTextToUtf8(preset.Name));
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
        items.push_back(StoredTextToUtf8(sequence.Name));
        continue;
      }
      std::string words, hex;
      for (const auto& word : sequence.Words) {
        const auto value = static_cast<std::uint32_t>(word.to_ulong());
        words += (words.empty() ? "" : ", ") + std::to_string(value);
        hex += (hex.empty() ? "" : ", ") + JsonString(Hex32(value));
      }
      items.push_back("{\"name\": " + JsonString(sequence.Name) + ", \"words\": [" + words +
                      "], \"words_hex\": [" + hex + "]}");
    }
  } else {
    for (const std::string& entry : configuration.RxAddresses) {
      if (!json) {
        items.push_back(StoredTextToUtf8(entry));
        continue;
      }
      const std::size_t equals = entry.find('=');
      const std::string text = equals == std::string::npos ? "" : entry.substr(equals + 1);
      std::string problem;
      const std::optional<std::int32_t> address = RxEntryAddress(entry, problem);
      items.push_back("{\"name\": " + JsonString(RxEntryName(entry)) + ", \"address\": " +
                      (address ? std::to_string(*address) : std::string("null")) +
                      ", \"address_text\": " + JsonString(text) + "}");
    }
  }
  if (!json) {
    for (const std::string& item : items) out << item << '\n';
    return;
  }
  out << "{\"version\": " << kCtlJsonVersion << ", " << JsonString(what) << ": [";
  for (std::size_t i = 0; i < items.size(); ++i) out << (i == 0 ? "" : ", ") << items[i];
  out << "]}\n";
}

void PrintStatus(std::ostream& out, const ModuleStatus& status, bool json) {
  const std::string base = HexText(status.Base, 6);
  if (json) {
    out << "{\"version\": " << kCtlJsonVersion
        << ", \"module\": {\"adapter\": " << JsonString(status.Adapter)
        << ", \"adapter_name\": " << JsonString(status.Connection.Adapter)
        << ", \"device\": " << JsonString(status.Connection.Device) << ", \"base\": " << status.Base
        << ", \"base_hex\": " << JsonString(base)
        << "}, \"csr1\": " << JsonRegister(status.CSR1, DecodeCSR1(status.CSR1))
        << ", \"csr2\": " << JsonRegister(status.CSR2, DecodeCSR2(status.CSR2))
        << ", \"bgo_modes\": [";
    for (int n = 0; n < 4; ++n)
      out << (n == 0 ? "" : ", ") << "{\"channel\": " << n << ", \"value\": " << status.Modes[n]
          << ", \"value_hex\": " << JsonString(HexText(status.Modes[n], 4))
          << ", \"bits\": " << JsonString(BitString(status.Modes[n], 5))
          << ", \"meaning\": " << JsonString(BGoModeMeaning(status.Modes[n])) << "}";
    out << "]}\n";
    return;
  }
  out << "TTCvi at A24 " << base << ", adapter " << status.Adapter;
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
