#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "settings/IniFile.h"
#include "settings/ListBudget.h"

// The list of named TTCrx addresses: each entry is one line "name=address",
// both parts kept exactly as typed; the address is converted only when used.

// The line for a name and an address text.
std::string RxEntry(const std::string& name, const std::string& address);

// The name part of an entry: the text before its first "=", empty when the
// entry has none.
std::string RxEntryName(const std::string& entry);

// The first entry whose name equals name without regard to letter case;
// entries without "=" never match. -1 when none does.
int FindRxEntry(const std::vector<std::string>& entries, const std::string& name);

// A TTCrx address has 14 bits; a B-channel cycle keeps only those, so a
// larger one would reach another receiver.
inline constexpr std::int32_t kHighestRxAddress = 0x3FFF;

// A stored or typed TTCrx address that reads as a number outside 0 to 16383.
class ERxAddressRange : public EConvertError {
 public:
  explicit ERxAddressRange(const std::string& text);
};

// Raises ERxAddressRange for an address text that reads as a number out of
// range; any other text passes (it is converted only when used).
void CheckRxAddressText(const std::string& text);

// The TTCrx address of the entry at selected (-1: none selected). The lookup
// goes by the selected entry's name, so of two entries with the same name
// both give the first one's address. The address text is converted by the
// number entry rule; raises EConvertError with the text (empty when nothing
// is selected or no entry matches), ERxAddressRange for a number out of range.
std::int32_t RxAddressOf(const std::vector<std::string>& entries, int selected);

// Section "Rx_Addresses": "NoOfRxAddresses", then "RxAddress" + i holding
// each line unchanged. An absent entry reads as an empty line.
std::vector<std::string> ReadRxAddressList(TIniFile& file, const std::string& section,
                                           ListBudget& budget);
void WriteRxAddressList(TIniFile& file, const std::string& section,
                        const std::vector<std::string>& entries);
