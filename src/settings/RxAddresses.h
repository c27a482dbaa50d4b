#pragma once

#include <cstdint>
#include <string>
#include <vector>

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

// The TTCrx address of the entry at selected (-1: none selected). The lookup
// goes by the selected entry's name, so of two entries with the same name
// both give the first one's address. The address text is converted by the
// number entry rule; raises EConvertError with the text (empty when nothing
// is selected or no entry matches).
std::int32_t RxAddressOf(const std::vector<std::string>& entries, int selected);

// Section "Rx_Addresses": "NoOfRxAddresses", then "RxAddress" + i holding
// each line unchanged. An absent entry reads as an empty line.
std::vector<std::string> ReadRxAddressList(TIniFile& file, const std::string& section,
                                           ListBudget& budget);
void WriteRxAddressList(TIniFile& file, const std::string& section,
                        const std::vector<std::string>& entries);
