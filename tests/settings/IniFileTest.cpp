#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "base/Exception.h"
#include "settings/IniFile.h"
#include "support/TempFolder.h"

namespace {

class IniFileTest : public ::testing::Test {
 protected:
  std::string Ini() const { return Dir.File("quorvane.ini"); }
  void Given(const std::string& content) const { WriteRaw(Ini(), content); }
  std::string Content() const { return ReadRaw(Ini()); }

  // Runs one write on a fresh store over the file and saves it.
  void WriteAndSave(const std::string& section, const std::string& key,
                    const std::string& value) const {
    TIniFile file(Ini());
    file.WriteString(section, key, value);
    file.UpdateFile();
  }

  TempFolder Dir;
};

// --- reading ---------------------------------------------------------------

TEST_F(IniFileTest, MissingFileReadsDefaultsAndCreatesNothing) {
  {
    TIniFile file(Ini());
    EXPECT_EQ(file.ReadString("TTCvi_Address", "TTCviAddress", "abc"), "abc");
    EXPECT_EQ(file.ReadInteger("TTCvi_Address", "TTCviAddress", 0xFF1000), 0xFF1000);
    file.UpdateFile();  // nothing was written: nothing to save
  }
  EXPECT_FALSE(Exists(Ini()));
  EXPECT_TRUE(Dir.Names().empty());
}

TEST_F(IniFileTest, DefaultsLoseTrailingBlanksOnly) {
  Given("[S]\nother=1\n");
  TIniFile file(Ini());
  EXPECT_EQ(file.ReadString("S", "Caption", " "), "");
  EXPECT_EQ(file.ReadString("S", "Caption", "  name \t "), "  name");
  EXPECT_EQ(file.ReadString("Absent", "Caption", "x "), "x");
  EXPECT_EQ(file.ReadString("S", "Caption", ""), "");
}

TEST_F(IniFileTest, PresentEmptyValueIsEmptyNotTheDefault) {
  Given("[S]\nCaption=\nNoOfSeq=   \n");
  TIniFile file(Ini());
  EXPECT_EQ(file.ReadString("S", "Caption", "default"), "");
  EXPECT_EQ(file.ReadString("S", "NoOfSeq", "default"), "");
  EXPECT_EQ(file.ReadInteger("S", "NoOfSeq", 7), 7);  // empty is no number
}

TEST_F(IniFileTest, NamesMatchWithoutRegardToCase) {
  Given("[TTCvi_Address]\nTTCviAddress=5\n");
  TIniFile file(Ini());
  EXPECT_EQ(file.ReadString("ttcvi_address", "ttcviaddress", ""), "5");
  EXPECT_EQ(file.ReadString("TTCVI_ADDRESS", "TTCVIADDRESS", ""), "5");
  file.WriteString("TTCVI_address", "ttcviADDRESS", "6");
  file.UpdateFile();
  EXPECT_EQ(Content(), "[TTCvi_Address]\nTTCviAddress=6\n");
}

TEST_F(IniFileTest, ValueIsTheTrimmedTextAfterTheFirstEquals) {
  Given(
      "[Rx_Addresses]\n"
      "RxAddress0=Rx1=000001\n"
      "  RxAddress1 \t=  \t Rx 2 = x1F \t \n"
      "RxAddress2==\n");
  TIniFile file(Ini());
  EXPECT_EQ(file.ReadString("Rx_Addresses", "RxAddress0", ""), "Rx1=000001");
  EXPECT_EQ(file.ReadString("Rx_Addresses", "RxAddress1", ""), "Rx 2 = x1F");
  EXPECT_EQ(file.ReadString("Rx_Addresses", "RxAddress2", ""), "=");
}

TEST_F(IniFileTest, ValuesAreReadUpTo2047Characters) {
  const std::string longValue = std::string(2047, 'a') + std::string(1000, 'b');
  Given("[S]\nexact=" + std::string(2047, 'c') + "\nlong=" + longValue + "\n");
  TIniFile file(Ini());
  EXPECT_EQ(file.ReadString("S", "exact", ""), std::string(2047, 'c'));
  EXPECT_EQ(file.ReadString("S", "long", ""), std::string(2047, 'a'));
  // Writing the long value keeps it whole in the file.
  file.WriteString("S", "other", "1");
  file.UpdateFile();
  EXPECT_NE(Content().find("long=" + longValue + "\n"), std::string::npos);
}

TEST_F(IniFileTest, OnlyTheFirstOfDuplicateSectionsAndKeysCounts) {
  Given("[A]\nk=1\nk=2\n[B]\nk=b\n[a]\nk=3\nonly=4\n");
  TIniFile file(Ini());
  EXPECT_EQ(file.ReadString("A", "k", ""), "1");
  EXPECT_EQ(file.ReadString("A", "only", "none"), "none");
  file.WriteString("A", "k", "9");
  file.WriteString("A", "only", "5");
  file.UpdateFile();
  EXPECT_EQ(Content(), "[A]\nk=9\nk=2\nonly=5\n[B]\nk=b\n[a]\nk=3\nonly=4\n");
}

TEST_F(IniFileTest, LinesOutsideKeysAreIgnoredOnRead) {
  Given(
      "k=before any section\n"
      "; comment=1\n"
      "[S]\n"
      "no equals sign here\n"
      "[broken header\n"
      "k=in S\n");
  TIniFile file(Ini());
  EXPECT_EQ(file.ReadString("S", "k", ""), "in S");
  EXPECT_EQ(file.ReadString("", "k", "none"), "none");
  EXPECT_EQ(file.ReadString("S", "no equals sign here", "none"), "none");
  EXPECT_EQ(file.ReadString("broken header", "k", "none"), "none");
}

TEST_F(IniFileTest, HeaderMayCarryBlanksAroundIt) {
  Given("  [ Spaced ]  ; note\nk=1\n");
  TIniFile file(Ini());
  EXPECT_EQ(file.ReadString("Spaced", "k", ""), "1");
}

TEST_F(IniFileTest, FileThatIsThereButCannotBeReadIsAReadErrorNotDefaults) {
  // Defaults would be none of the file's values; only an absent file reads as empty.
  ASSERT_EQ(symlink("/proc/self/mem", Ini().c_str()), 0);  // there, but every read fails
  try {
    TIniFile(Ini()).ReadInteger("TTCvi_Address", "TTCviAddress", 42);
    ADD_FAILURE() << "read as defaults";
  } catch (const EFileReadError& error) {
    EXPECT_EQ(error.Message(), "Unable to read " + Ini() + ": Input/output error");
  }
}

TEST_F(IniFileTest, NamedPipeInPlaceOfTheFileNeitherHangsNorIsOverwritten) {
  // Opening a pipe for reading would wait for a writer: start-up would hang.
  ASSERT_EQ(mkfifo(Ini().c_str(), 0644), 0);
  TIniFile file(Ini());
  EXPECT_THROW(file.ReadInteger("TTCvi_Address", "TTCviAddress", 42), EFileReadError);
  file.WriteInteger("TTCvi_Address", "TTCviAddress", 1);
  EXPECT_THROW(file.UpdateFile(), EFileWriteError);
  struct stat st {};
  ASSERT_EQ(lstat(Ini().c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(IniFileTest, BytesOutsideAsciiAreKept) {
  const std::string original = "[Sekt\xc3\xa4]\nk=\xff\xfe \xe9t\xe9\n\xc3\x84=1\n";
  Given(original);
  TIniFile file(Ini());
  EXPECT_EQ(file.ReadString("SEKT\xc3\xa4", "K", ""), "\xff\xfe \xe9t\xe9");
  EXPECT_EQ(file.ReadString("Sekt\xc3\xa4", "\xc3\x84", ""), "1");
  file.WriteString("Sekt\xc3\xa4", "new", "\xe9");
  file.UpdateFile();
  EXPECT_EQ(Content(), original + "new=\xe9\n");
}

TEST_F(IniFileTest, GarbageAndHugeLinesDoNotHurt) {
  const char head[] = "\0\0[\0]=\r\r\n\xff[=]\n=\n[]\n[S]\n";
  std::string garbage(head, sizeof head - 1);
  garbage += std::string(5'000'000, 'z');  // one line of 5 MB, no end
  Given(garbage);
  TIniFile file(Ini());
  EXPECT_EQ(file.ReadString("S", "k", "d"), "d");
  EXPECT_EQ(file.ReadInteger("S", "zzz", -3), -3);
  file.WriteString("S", "k", "v");
  file.UpdateFile();
  EXPECT_EQ(Content(), garbage + "\nk=v\n");
  TIniFile again(Ini());
  EXPECT_EQ(again.ReadString("S", "k", ""), "v");
}

// --- integers --------------------------------------------------------------

struct IntegerCase {
  std::string Stored;
  std::int32_t Expected;
};

void PrintTo(const IntegerCase& c, std::ostream* os) { *os << '"' << c.Stored << '"'; }

class IniIntegerTest : public IniFileTest, public ::testing::WithParamInterface<IntegerCase> {};

TEST_P(IniIntegerTest, ReadsWithTheNumberRuleOrGivesTheDefault) {
  Given("[S]\nk=" + GetParam().Stored + "\n");
  TIniFile file(Ini());
  EXPECT_EQ(file.ReadInteger("S", "k", -77), GetParam().Expected);
}

const IntegerCase kIntegers[] = {
    {"16715776", 16715776},
    {"  16715776 \t", 16715776},  // the store trims, the rule then sees no blank
    {"0xff1000", 16715776},
    {"0XFF1000", 16715776},
    {"$FF1000", 16715776},
    {"x00FF1000", 16715776},
    {"0xFFFFFFFF", -1},
    {"-5", -5},
    {"-2147483648", INT_MIN},
    {"0", 0},
    {"01", 1},
    {"16715776abc", -77},
    {"0x", -77},  // two characters: left alone, and no number
    {"0x100000000", -77},
    {"2147483648", -77},
    {"+x1", -77},
    {"12 34", -77},
    {"", -77},
};
INSTANTIATE_TEST_SUITE_P(Stored, IniIntegerTest, ::testing::ValuesIn(kIntegers));

TEST_F(IniFileTest, IntegersAreWrittenInDecimal) {
  {
    TIniFile file(Ini());
    file.WriteInteger("S", "neg", -5);
    file.WriteInteger("S", "min", INT_MIN);
    file.WriteInteger("S", "big", 0xEE0000);
    file.UpdateFile();
  }
  EXPECT_EQ(Content(), "[S]\nneg=-5\nmin=-2147483648\nbig=15597568\n");
}

// --- writing ---------------------------------------------------------------

TEST_F(IniFileTest, MissingFileIsCreatedInWritingOrder) {
  {
    TIniFile file(Ini());
    file.WriteInteger("TTCvi_Address", "TTCviAddress", 16715776);
    file.WriteInteger("B_GoSequnces", "NoOfSeq", 1);
    file.WriteString("B_GoSequncesSeq0", "Caption", "Trig");
    file.WriteInteger("B_GoSequncesSeq0", "NoOfVectors", 0);
    file.WriteInteger("Rx_Addresses", "NoOfRxAddresses", 1);
    file.WriteString("Rx_Addresses", "RxAddress0", "Rx1=000001");
    EXPECT_FALSE(Exists(Ini()));  // nothing reaches the disk before UpdateFile
    file.UpdateFile();
  }
  EXPECT_EQ(Content(),
            "[TTCvi_Address]\nTTCviAddress=16715776\n"
            "[B_GoSequnces]\nNoOfSeq=1\n"
            "[B_GoSequncesSeq0]\nCaption=Trig\nNoOfVectors=0\n"
            "[Rx_Addresses]\nNoOfRxAddresses=1\nRxAddress0=Rx1=000001\n");
  const mode_t mask = umask(0);
  umask(mask);
  EXPECT_EQ(ModeOf(Ini()), 0666 & ~mask);
}

TEST_F(IniFileTest, ReplaceInPlaceKeepsEverythingElse) {
  const std::string before =
      "; Quorvane settings\n"
      "[TTCvi_Address]\n"
      "# hand-written note\n"
      "TTCviAddress = 0xEE0000   \n"
      "\n"
      "[Other]\n"
      "TTCviAddress=1\n";
  Given(before);
  WriteAndSave("TTCvi_Address", "TTCviAddress", "15597568");
  EXPECT_EQ(Content(),
            "; Quorvane settings\n"
            "[TTCvi_Address]\n"
            "# hand-written note\n"
            "TTCviAddress =15597568\n"
            "\n"
            "[Other]\n"
            "TTCviAddress=1\n");
}

TEST_F(IniFileTest, NewKeyGoesToTheEndOfItsSectionBeforeTrailingBlankLines) {
  Given("[A]\na=1\n; note\n\n \t\n[B]\nb=1\n");
  TIniFile file(Ini());
  file.WriteString("A", "c", "2");
  file.WriteString("a", "d", "3");
  file.WriteString("B", "e", "4");
  file.UpdateFile();
  EXPECT_EQ(Content(), "[A]\na=1\n; note\nc=2\nd=3\n\n \t\n[B]\nb=1\ne=4\n");
}

TEST_F(IniFileTest, NewKeyInAnEmptySectionFollowsItsHeader) {
  Given("[A]\n\n[B]\n");
  WriteAndSave("A", "k", "v");
  EXPECT_EQ(Content(), "[A]\nk=v\n\n[B]\n");
}

TEST_F(IniFileTest, MissingSectionGoesToTheEndOfTheFile) {
  Given("top=1\n[A]\na=1\n\n");
  WriteAndSave("New", "k", "v");
  EXPECT_EQ(Content(), "top=1\n[A]\na=1\n\n[New]\nk=v\n");
}

TEST_F(IniFileTest, LastLineWithoutEndGetsOneWhenSomethingFollows) {
  Given("[A]\na=1");
  WriteAndSave("B", "b", "2");
  EXPECT_EQ(Content(), "[A]\na=1\n[B]\nb=2\n");

  Given("[A]\na=1");
  WriteAndSave("A", "a", "5");  // replaced in place: the file still ends without one
  EXPECT_EQ(Content(), "[A]\na=5");
}

TEST_F(IniFileTest, LoneCarriageReturnOnTheLastLineIsNotMergedIntoALineEnd) {
  Given("[S]\nk=v\r");
  WriteAndSave("T", "t", "1");
  TIniFile file(Ini());
  EXPECT_EQ(file.ReadString("S", "k", ""), "v\r");
  EXPECT_EQ(file.ReadString("T", "t", ""), "1");
}

TEST_F(IniFileTest, NothingIsEverDeleted) {
  Given("[B_GoSequnces]\nNoOfSeq=5\n[B_GoSequncesSeq4]\nCaption=Old\n");
  WriteAndSave("B_GoSequnces", "NoOfSeq", "2");
  EXPECT_EQ(Content(), "[B_GoSequnces]\nNoOfSeq=2\n[B_GoSequncesSeq4]\nCaption=Old\n");
}

TEST_F(IniFileTest, WritingTheSameKeyTwiceKeepsOneLine) {
  TIniFile file(Ini());
  file.WriteString("S", "k", "1");
  file.WriteString("s", "K", "2");
  EXPECT_EQ(file.ReadString("S", "k", ""), "2");
  file.UpdateFile();
  EXPECT_EQ(Content(), "[S]\nk=2\n");
}

TEST_F(IniFileTest, WrittenValuesReadBackTrimmed) {
  TIniFile file(Ini());
  file.WriteString("S", "k", "  padded  ");
  EXPECT_EQ(file.ReadString("S", "k", ""), "padded");
}

TEST_F(IniFileTest, LineBreaksInAValueCannotOpenASection) {
  {
    TIniFile file(Ini());
    file.WriteString("S", "Caption", "a\n[Evil]\r\nk=1");
    file.UpdateFile();
  }
  TIniFile file(Ini());
  EXPECT_EQ(file.ReadString("S", "Caption", ""), "a [Evil]  k=1");
  EXPECT_EQ(file.ReadString("Evil", "k", "none"), "none");
}

TEST_F(IniFileTest, CrLfFileKeepsItsLineEnds) {
  Given("[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\n");
  TIniFile file(Ini());
  EXPECT_EQ(file.ReadString("A", "a", ""), "1");  // the CR is no part of the value
  file.WriteString("A", "a", "5");
  file.WriteString("A", "c", "3");
  file.WriteString("C", "d", "4");
  file.UpdateFile();
  EXPECT_EQ(Content(), "[A]\r\na=5\r\nc=3\r\n\r\n[B]\r\nb=2\r\n[C]\r\nd=4\r\n");
}

TEST_F(IniFileTest, MixedLineEndsStayAndNewLinesTakeTheCommonOne) {
  Given("[A]\r\na=1\nb=2\r\nc=3\r\n");
  WriteAndSave("A", "b", "7");
  WriteAndSave("A", "d", "8");
  EXPECT_EQ(Content(), "[A]\r\na=1\nb=7\r\nc=3\r\nd=8\r\n");
}

TEST_F(IniFileTest, StoreCanSaveAgainAfterMoreWrites) {
  TIniFile file(Ini());
  file.WriteString("S", "a", "1");
  file.UpdateFile();
  file.WriteString("S", "b", "2");
  file.UpdateFile();
  EXPECT_EQ(Content(), "[S]\na=1\nb=2\n");
}

TEST_F(IniFileTest, ExistingPermissionsAreKept) {
  Given("[S]\nk=1\n");
  ASSERT_EQ(chmod(Ini().c_str(), 0640), 0);
  WriteAndSave("S", "k", "2");
  EXPECT_EQ(ModeOf(Ini()), 0640u);
  EXPECT_EQ(Content(), "[S]\nk=2\n");
}

TEST_F(IniFileTest, SymbolicLinkStaysALink) {
  WriteRaw(Dir.File("real.ini"), "[S]\nk=1\n");
  ASSERT_EQ(symlink("real.ini", Ini().c_str()), 0);
  WriteAndSave("S", "k", "2");
  struct stat st {};
  ASSERT_EQ(lstat(Ini().c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(ReadRaw(Dir.File("real.ini")), "[S]\nk=2\n");
}

// --- file names and refused saves --------------------------------------------

TEST_F(IniFileTest, BackslashesAreFolderSeparators) {
  ASSERT_EQ(mkdir(Dir.File("bin").c_str(), 0755), 0);
  char previous[PATH_MAX];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(Dir.File("bin").c_str()), 0);
  {
    TIniFile file("..\\quorvane.ini");
    EXPECT_EQ(file.FileName(), "../quorvane.ini");
    file.WriteInteger("TTCvi_Address", "TTCviAddress", 1);
    file.UpdateFile();
  }
  ASSERT_EQ(chdir(previous), 0);
  EXPECT_EQ(Content(), "[TTCvi_Address]\nTTCviAddress=1\n");

  TIniFile nested(Dir.Path() + "\\bin\\x.ini");
  EXPECT_EQ(nested.FileName(), Dir.Path() + "/bin/x.ini");
}

TEST_F(IniFileTest, ReadOnlyFileIsRefusedAndLeftUntouched) {
  const std::string before = "[TTCvi_Address]\nTTCviAddress=16715776\n";
  Given(before);
  ASSERT_EQ(chmod(Ini().c_str(), 0444), 0);
  TIniFile file(Ini());
  file.WriteInteger("TTCvi_Address", "TTCviAddress", 5);
  file.WriteInteger("B_GoSequnces", "NoOfSeq", 0);
  try {
    file.UpdateFile();
    FAIL() << "a read-only file was written";
  } catch (const EFileWriteError& e) {
    EXPECT_EQ(e.Message(), "Unable to write to " + Ini());
  }
  EXPECT_EQ(Content(), before);
  EXPECT_EQ(ModeOf(Ini()), 0444u);
  EXPECT_EQ(Dir.Names(), std::vector<std::string>{"quorvane.ini"});

  // Made writable again, the same store saves everything.
  ASSERT_EQ(chmod(Ini().c_str(), 0644), 0);
  file.UpdateFile();
  EXPECT_EQ(Content(), "[TTCvi_Address]\nTTCviAddress=5\n[B_GoSequnces]\nNoOfSeq=0\n");
}

TEST_F(IniFileTest, ReadOnlyFileIsRefusedEvenWhenNothingDiffers) {
  // Closing with a read-only file reports it although the values are unchanged.
  Given("[S]\nk=1\n");
  ASSERT_EQ(chmod(Ini().c_str(), 0444), 0);
  TIniFile file(Ini());
  file.WriteString("S", "k", "1");
  EXPECT_THROW(file.UpdateFile(), EFileWriteError);
}

TEST_F(IniFileTest, ReadOnlyMessageNamesTheConvertedFileName) {
  ASSERT_EQ(mkdir(Dir.File("bin").c_str(), 0755), 0);
  Given("[S]\nk=1\n");
  ASSERT_EQ(chmod(Ini().c_str(), 0400), 0);
  char previous[PATH_MAX];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(Dir.File("bin").c_str()), 0);
  std::string message;
  try {
    TIniFile file("..\\quorvane.ini");
    file.WriteString("S", "k", "2");
    file.UpdateFile();
  } catch (const Exception& e) {
    message = e.Message();
  }
  ASSERT_EQ(chdir(previous), 0);
  EXPECT_EQ(message, "Unable to write to ../quorvane.ini");
  EXPECT_EQ(Content(), "[S]\nk=1\n");
}

TEST_F(IniFileTest, MissingFolderIsRefused) {
  TIniFile file(Dir.File("absent/quorvane.ini"));
  EXPECT_EQ(file.ReadString("S", "k", "d"), "d");
  file.WriteString("S", "k", "1");
  EXPECT_THROW(file.UpdateFile(), EFileWriteError);
  EXPECT_TRUE(Dir.Names().empty());
}

TEST_F(IniFileTest, FileThatCouldNotBeReadIsNeverOverwritten) {
  // A folder in the file's place: reading gave defaults, so saving would
  // replace whatever is there with our keys alone.
  ASSERT_EQ(mkdir(Ini().c_str(), 0755), 0);
  TIniFile file(Ini());
  file.WriteString("S", "k", "1");
  EXPECT_THROW(file.UpdateFile(), EFileWriteError);
  EXPECT_TRUE(std::filesystem::is_directory(Ini()));
}

TEST_F(IniFileTest, FileWithoutPermissionsIsNeitherReadNorReplaced) {
  Given("[S]\nk=secret\n");
  ASSERT_EQ(chmod(Ini().c_str(), 0), 0);
  TIniFile file(Ini());
  file.WriteString("S", "other", "1");
  EXPECT_THROW(file.UpdateFile(), EFileWriteError);
  ASSERT_EQ(chmod(Ini().c_str(), 0600), 0);
  EXPECT_EQ(Content(), "[S]\nk=secret\n");
}

}  // namespace

TEST_F(IniFileTest, TellsAbsentSectionsAndKeysFromEmptyOnes) {
  Given("[Seq]\nCaption=\n[empty]\n");
  TIniFile file(Ini());
  EXPECT_TRUE(file.SectionExists("seq"));
  EXPECT_TRUE(file.SectionExists("EMPTY"));
  EXPECT_FALSE(file.SectionExists("Seq0"));
  EXPECT_TRUE(file.KeyExists("SEQ", "caption"));
  EXPECT_FALSE(file.KeyExists("Seq", "NoOfVectors"));
  EXPECT_FALSE(file.KeyExists("Other", "Caption"));
}
