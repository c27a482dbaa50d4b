#include "settings/BGoSequence.h"

#include "settings/ConfigFile.h"

namespace {

constexpr char kWordCountKey[] = "NoOfVectors";
constexpr char kWordKey[] = "vector";
constexpr char kSequenceCountKey[] = "NoOfSeq";
constexpr char kCaptionKey[] = "Caption";

}  // namespace

BGoWords ReadWordList(TIniFile& file, const std::string& section, ListBudget& budget) {
  return ReadCountedList(file, section, kWordCountKey, ListEntries::Keys, kWordKey, budget,
                         [&](const std::string& key) {
                           std::bitset<32> word;  // stays 0 for a malformed value
                           TextToWord(file.ReadString(section, key, "0"), word);
                           return word;
                         });
}

void WriteWordList(TIniFile& file, const std::string& section, const BGoWords& words) {
  file.WriteInteger(section, kWordCountKey, static_cast<std::int32_t>(words.size()));
  for (std::size_t j = 0; j < words.size(); ++j)
    file.WriteString(section, kWordKey + std::to_string(j), WordToText(words[j]));
}

std::vector<BGoDataSequence> ReadSequenceList(TIniFile& file, const std::string& section,
                                              ListBudget& budget) {
  return ReadCountedList(file, section, kSequenceCountKey, ListEntries::Sections, section + "Seq",
                         budget, [&](const std::string& own) {
                           BGoDataSequence sequence;
                           sequence.Name = file.ReadString(own, kCaptionKey, " ");
                           sequence.Words = ReadWordList(file, own, budget);
                           return sequence;
                         });
}

void WriteSequenceList(TIniFile& file, const std::string& section,
                       const std::vector<BGoDataSequence>& sequences) {
  file.WriteInteger(section, kSequenceCountKey, static_cast<std::int32_t>(sequences.size()));
  for (std::size_t i = 0; i < sequences.size(); ++i) {
    const std::string own = section + "Seq" + std::to_string(i);
    file.WriteString(own, kCaptionKey, sequences[i].Name);
    WriteWordList(file, own, sequences[i].Words);
  }
}
