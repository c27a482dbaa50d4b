#pragma once

#include <bitset>
#include <cstdint>
#include <string>

#include "settings/IniFile.h"

// Section "TTCvi_Address", key "TTCviAddress": the VME base address of the
// TTCvi, default 0xFF1000. A base that puts the module's registers outside
// A24 raises Exception naming the file, the section and the value: the
// adapter would drive other addresses.
constexpr std::int32_t kDefaultTTCviAddress = 0xFF1000;
std::int32_t ReadTTCviAddress(TIniFile& file, const std::string& section);
void WriteTTCviAddress(TIniFile& file, const std::string& section, std::int32_t address);

// A B-channel word as stored: exactly 32 characters "0"/"1", bit 31 first.
std::string WordToText(const std::bitset<32>& word);
// Read from the right end: the last character is bit 0; at most the last 32
// characters are used, fewer leave the upper bits 0 (empty is the word 0).
// Returns false, leaving the word as it was, for a character other than "0"
// or "1" among those used.
bool TextToWord(const std::string& text, std::bitset<32>& word);
