// The store on damaged and hostile files, and on files large enough that
// its index has to grow, move and pack its parts.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

#include "base/Exception.h"
#include "settings/IniFile.h"
#include "support/TempFolder.h"

namespace {

using namespace std::string_literals;

// "" for equal texts, else where they first differ: a short message for
// files of megabytes.
std::string FirstDifference(const std::string& actual, const std::string& expected) {
  std::size_t i = 0;
  while (i < actual.size() && i < expected.size() && actual[i] == expected[i]) ++i;
  if (i == actual.size() && i == expected.size()) return "";
  const std::size_t from = i < 40 ? 0 : i - 40;
  return "at byte " + std::to_string(i) + ": actual \"" + actual.substr(from, 80) +
         "\", expected \"" + expected.substr(from, 80) + "\"";
}

class IniRobustnessTest : public ::testing::Test {
 protected:
  std::string Ini() const { return Dir.File("quorvane.ini"); }
  TempFolder Dir;
};

// --- damaged files -------------------------------------------------------------

struct Probe {
  std::string Section;
  std::string Key;
  std::string Expected;  // "<default>" when absent
};

struct DamagedCase {
  const char* Name;
  std::string Content;
  std::vector<Probe> Probes;
};

void PrintTo(const DamagedCase& c, std::ostream* os) { *os << c.Name; }

// What a save adds for the section [Added] with k=v: a line end for a last
// line that had none, then the two lines, with one kind of line end.
bool IsAppendedSection(const std::string& tail) {
  for (const std::string ending : {"", "\n", "\r\n"})
    for (const std::string end : {"\n", "\r\n"})
      if (tail == ending + "[Added]" + end + "k=v" + end) return true;
  return false;
}

class DamagedFileTest : public IniRobustnessTest,
                        public ::testing::WithParamInterface<DamagedCase> {
 protected:
  void ExpectProbes(TIniFile& file) const {
    for (const Probe& p : GetParam().Probes)
      EXPECT_EQ(file.ReadString(p.Section, p.Key, "<default>"), p.Expected)
          << "[" << p.Section << "] " << p.Key;
  }
};

// Each file loads, reads as listed, and takes a new section without losing
// or changing a byte of what it held; the saved file reads the same again.
TEST_P(DamagedFileTest, LoadsReadsAndKeepsEveryByte) {
  const std::string& content = GetParam().Content;
  WriteRaw(Ini(), content);
  {
    TIniFile file(Ini());
    ExpectProbes(file);
    file.WriteString("Added", "k", "v");
    file.UpdateFile();
  }
  const std::string saved = ReadRaw(Ini());
  ASSERT_GE(saved.size(), content.size());
  EXPECT_EQ(saved.substr(0, content.size()), content);
  EXPECT_TRUE(IsAppendedSection(saved.substr(content.size()))) << saved.substr(content.size());

  TIniFile again(Ini());
  ExpectProbes(again);
  EXPECT_EQ(again.ReadString("Added", "k", ""), "v");
}

const DamagedCase kDamaged[] = {
    {"NulBytesInNamesAndValues",
     "[S\0]\nk\0ey=v\0al\nnext=1\n"s,
     {{"S\0"s, "k\0ey"s, "v\0al"s}, {"S\0"s, "next", "1"}, {"S", "next", "<default>"}}},
    {"BinaryNoise",
     "\x01\x02\xff\xfe[\x80]\n\x7f=\x81\n\x00\x00\x00\n[S]\n\xc3=\xa9\n\xff\xff"s,
     {{"S", "\xc3", "\xa9"}, {"\x80", "\x7f", "<default>"}}},
    // A lone CR ends no line: the whole file is one header line of [S].
    {"LoneCarriageReturns",
     "[S]\rk=1\r[T]\rj=2\r",
     {{"S", "k", "<default>"}, {"T", "j", "<default>"}}},
    {"CrLfWithoutEndOnTheLastLine", "[S]\r\nk=1\r\nj=2", {{"S", "k", "1"}, {"S", "j", "2"}}},
    {"LongKeyName",
     "[S]\n" + std::string(100000, 'k') + "=v\nk=w\n",
     {{"S", std::string(100000, 'K'), "v"}, {"S", "k", "w"}}},
    {"LongLinesWithoutKeys",
     "[S]\n" + std::string(300000, '#') + "\nk=1\n" + std::string(300000, '[') + "\nj=2\n",
     {{"S", "k", "1"}, {"S", "j", "2"}}},
    {"HeadersWithoutNamesOrEnds",
     "[]\n=1\n[\n]\n[[x]]\nk=2\n[ ] ]\nk=3\n",
     {{"", "k", "<default>"}, {"[x", "k", "2"}, {"", "=1", "<default>"}}},
    {"KeysWithoutEqualsAndEqualsWithoutKeys",
     "[S]\nkey\n=\n = value\nk = = \n",
     {{"S", "key", "<default>"}, {"S", "", "<default>"}, {"S", "k", "="}}},
    {"ManyBlankLinesBetween",
     "[S]\n" + std::string(200000, '\n') + "k=1\n" + std::string(1000, ' ') + "\n",
     {{"S", "k", "1"}}},
    {"RepeatedSectionsEveryOther",
     "[A]\nk=1\n[B]\nk=2\n[a]\nk=3\nj=4\n[b]\nk=5\n",
     {{"A", "k", "1"}, {"A", "j", "<default>"}, {"B", "k", "2"}}},
    {"OnlyLineEnds", "\n\r\n\n\r\n", {{"", "", "<default>"}}},
    {"Empty", "", {{"S", "k", "<default>"}}},
};
INSTANTIATE_TEST_SUITE_P(Files, DamagedFileTest, ::testing::ValuesIn(kDamaged),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(IniRobustnessTest, AMillionEqualKeysReadAsTheFirstAndReplaceOnlyIt) {
  std::string content = "[S]\n";
  for (int i = 0; i < 1'000'000; ++i) content += i == 0 ? "k=first\n" : "k=x\n";
  WriteRaw(Ini(), content);
  {
    TIniFile file(Ini());
    EXPECT_EQ(file.ReadString("S", "K", ""), "first");
    file.WriteString("S", "k", "new");
    file.UpdateFile();
  }
  content.replace(4, 7, "k=new");
  EXPECT_EQ(FirstDifference(ReadRaw(Ini()), content), "");
}

TEST_F(IniRobustnessTest, NamesOfTheSameHashAreToldApart) {
  // The store's index gives these two names the same 32-bit hash (found by a
  // search): a lookup must compare the names themselves.
  const std::string one = "vector18968";
  const std::string other = "vector27139";
  WriteRaw(Ini(), "[" + one + "]\n" + one + "=a\n");
  {
    TIniFile file(Ini());
    EXPECT_FALSE(file.SectionExists(other));
    EXPECT_EQ(file.ReadString(one, other, "none"), "none");
    file.WriteString(one, other, "b");
    file.WriteString(other, one, "c");
    EXPECT_EQ(file.ReadString(one, one, ""), "a");
    EXPECT_EQ(file.ReadString(one, other, ""), "b");
    EXPECT_EQ(file.ReadString(other, one, ""), "c");
    file.UpdateFile();
  }
  EXPECT_EQ(ReadRaw(Ini()),
            "[" + one + "]\n" + one + "=a\n" + other + "=b\n[" + other + "]\n" + one + "=c\n");
}

TEST_F(IniRobustnessTest, FileBeyondTheSizeLimitIsNeitherReadNorReplaced) {
  // Sparse: no disk space is taken for it.
  WriteRaw(Ini(), "[S]\nk=1\n");
  ASSERT_EQ(truncate(Ini().c_str(), (off_t{512} << 20) + 1), 0);
  TIniFile file(Ini());
  EXPECT_THROW(file.ReadString("S", "k", "d"), EFileReadError);
  file.WriteString("S", "k", "2");
  EXPECT_THROW(file.UpdateFile(), EFileWriteError);
  struct stat st {};
  ASSERT_EQ(stat(Ini().c_str(), &st), 0);
  EXPECT_EQ(st.st_size, (off_t{512} << 20) + 1);
  std::string head(8, '\0');
  std::FILE* f = std::fopen(Ini().c_str(), "rb");
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(std::fread(head.data(), 1, head.size(), f), head.size());
  std::fclose(f);
  EXPECT_EQ(head, "[S]\nk=1\n");
}

// --- a large file edited in many ways at once ----------------------------------

// The file is generated from a list of sections, and what a save must give
// is composed from the same list: each section's lines with the replaced
// values, then its added keys, then its trailing blank lines; new sections
// at the end.
struct ModelSection {
  std::string Name;
  std::vector<std::pair<std::string, std::string>> Keys;  // in file order
  std::vector<std::pair<std::string, std::string>> Added;
  int TrailingBlanks = 0;
};

std::string Compose(const std::vector<ModelSection>& sections, bool withAdded) {
  std::string text = "; generated\n";
  for (const ModelSection& s : sections) {
    text += "[" + s.Name + "]\n";
    for (const auto& [key, value] : s.Keys) text += key + "=" + value + "\n";
    if (withAdded)
      for (const auto& [key, value] : s.Added) text += key + "=" + value + "\n";
    text.append(static_cast<std::size_t>(s.TrailingBlanks), '\n');
  }
  return text;
}

TEST_F(IniRobustnessTest, LargeFileEditedEverywhereSavesAsComposed) {
  std::vector<ModelSection> model;
  for (int s = 0; s < 400; ++s) {
    ModelSection section;
    section.Name = "Sect" + std::to_string(s);
    const int keys = s == 7 ? 6000 : s % 50;  // one section beyond the presized region
    for (int k = 0; k < keys; ++k)
      section.Keys.emplace_back("Key" + std::to_string(k), std::to_string(s * 1000 + k));
    section.TrailingBlanks = s % 3;
    model.push_back(std::move(section));
  }
  WriteRaw(Ini(), Compose(model, false));

  TIniFile file(Ini());
  const std::string big(1500, 'b');
  for (int s = 0; s < 400; ++s) {
    ModelSection& section = model[static_cast<std::size_t>(s)];
    const std::string name = s % 2 ? section.Name : "SECT" + std::to_string(s);
    // Replace every third key, some longer, some shorter, some twice.
    for (std::size_t k = 0; k < section.Keys.size(); k += 3) {
      std::string value = k % 2 ? "x" : "longer value " + std::to_string(k);
      file.WriteString(name, section.Keys[k].first, "first " + value);
      if (k % 9 == 0) file.WriteString(name, "key" + std::to_string(k), value);
      section.Keys[k].second = k % 9 == 0 ? value : "first " + value;
    }
    // Add keys to every fourth section.
    if (s % 4 == 0)
      for (int a = 0; a < 150; ++a) {
        section.Added.emplace_back("New" + std::to_string(a), std::to_string(a));
        file.WriteString(name, "New" + std::to_string(a), std::to_string(a));
      }
  }
  // Sections of its own, and one value written over and over, ever longer
  // and shorter, so that old texts pile up and are packed away.
  std::vector<ModelSection> added;
  for (int n = 0; n < 60; ++n) {
    ModelSection section;
    section.Name = "Fresh" + std::to_string(n);
    for (int k = 0; k < 200; ++k) {
      section.Keys.emplace_back("F" + std::to_string(k), std::to_string(n + k));
      file.WriteString(section.Name, "F" + std::to_string(k), std::to_string(n + k));
    }
    added.push_back(std::move(section));
  }
  for (int round = 0; round < 3000; ++round) {
    const std::string value = big.substr(0, static_cast<std::size_t>(round % 1500));
    file.WriteString("Sect10", "Key4", value);
    file.WriteString("Fresh3", "F5", value + "!");
  }
  model[10].Keys[4].second = big.substr(0, 2999 % 1500);
  added[3].Keys[5].second = big.substr(0, 2999 % 1500) + "!";

  // Every key reads as the model says, before and after the save.
  const auto check = [&](TIniFile& f) {
    for (const auto& list : {model, added})
      for (const ModelSection& s : list) {
        for (const auto& [key, value] : s.Keys)
          ASSERT_EQ(f.ReadString(s.Name, key, "<absent>"), value) << s.Name << " " << key;
        for (const auto& [key, value] : s.Added)
          ASSERT_EQ(f.ReadString(s.Name, key, "<absent>"), value) << s.Name << " " << key;
      }
  };
  check(file);
  file.UpdateFile();

  std::string expected = Compose(model, true);
  for (const ModelSection& s : added) {
    expected += "[" + s.Name + "]\n";
    for (const auto& [key, value] : s.Keys) expected += key + "=" + value + "\n";
  }
  EXPECT_EQ(FirstDifference(ReadRaw(Ini()), expected), "");
  TIniFile again(Ini());
  check(again);
}

}  // namespace
