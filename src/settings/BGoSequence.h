#pragma once

#include <bitset>
#include <string>
#include <vector>

#include "settings/IniFile.h"
#include "settings/ListBudget.h"

// The B-channel words of a sequence, in sending order.
using BGoWords = std::vector<std::bitset<32>>;

// A named B-Go data sequence: what the operator composes once and later
// loads into a B-Go FIFO. Names need not be unique or non-empty.
struct BGoDataSequence {
  std::string Name;
  BGoWords Words;
  bool operator==(const BGoDataSequence&) const = default;
};

// The words of one section: "NoOfVectors", then "vector" + j holding 32
// characters "0"/"1", bit 31 first. A shorter value leaves the upper bits 0,
// a longer one counts by its last 32 characters, an absent one is the word
// 0, and so is a value with any other character among those used.
BGoWords ReadWordList(TIniFile& file, const std::string& section, ListBudget& budget);
void WriteWordList(TIniFile& file, const std::string& section, const BGoWords& words);

// The sequence list: "NoOfSeq" in section, then section + "Seq" + i with
// "Caption" and the words.
std::vector<BGoDataSequence> ReadSequenceList(TIniFile& file, const std::string& section,
                                              ListBudget& budget);
void WriteSequenceList(TIniFile& file, const std::string& section,
                       const std::vector<BGoDataSequence>& sequences);
