#include "settings/BGoSequence.h"

#include "settings/ConfigFile.h"

namespace {

constexpr char kWordCountKey[] = "NoOfVectors";
constexpr char kWordKey[] = "vector";
constexpr char kSequenceCountKey[] = "NoOfSeq";
constexpr char kCaptionKey[] = "Caption";

}  // namespace

BGoWords ReadWordList(TIniFile& file, const std::string& section, ListBudget& budget) {
  BGoWords words;
  const std::int32_t count = file.ReadInteger(section, kWordCountKey, 0);
  const std::int32_t length =
      ListBudget::Length(count, file.LastNumberedKey(section, kWordKey, count));
  for (std::int32_t j = 0; j < length; ++j) {
    const std::string key = kWordKey + std::to_string(j);
    if (!file.KeyExists(section, key) && !budget.TakeAbsent()) break;
    std::bitset<32> word;  // stays 0 for a malformed value
    TextToWord(file.ReadString(section, key, "0"), word);
    words.push_back(word);
  }
  return words;
}

void WriteWordList(TIniFile& file, const std::string& section, const BGoWords& words) {
  file.WriteInteger(section, kWordCountKey, static_cast<std::int32_t>(words.size()));
  for (std::size_t j = 0; j < words.size(); ++j)
    file.WriteString(section, kWordKey + std::to_string(j), WordToText(words[j]));
}

std::vector<BGoDataSequence> ReadSequenceList(TIniFile& file, const std::string& section,
                                              ListBudget& budget) {
  std::vector<BGoDataSequence> sequences;
  const std::int32_t count = file.ReadInteger(section, kSequenceCountKey, 0);
  const std::int32_t length =
      ListBudget::Length(count, file.LastNumberedSection(section + "Seq", count));
  for (std::int32_t i = 0; i < length; ++i) {
    const std::string own = section + "Seq" + std::to_string(i);
    if (!file.SectionExists(own) && !budget.TakeAbsent()) break;
    BGoDataSequence sequence;
    sequence.Name = file.ReadString(own, kCaptionKey, " ");
    sequence.Words = ReadWordList(file, own, budget);
    sequences.push_back(std::move(sequence));
  }
  return sequences;
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
