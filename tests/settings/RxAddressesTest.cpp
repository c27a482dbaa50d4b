#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Exception.h"
#include "settings/IniFile.h"
#include "settings/RxAddresses.h"
#include "support/TempFolder.h"

namespace {

using Entries = std::vector<std::string>;

std::string ConversionError(const Entries& entries, int selected) {
  try {
    RxAddressOf(entries, selected);
  } catch (const EConvertError& error) {
    return error.Message();
  }
  return "no error";
}

TEST(RxAddresses, EntryIsNameEqualsAddressAsTyped) {
  EXPECT_EQ(RxEntry("Rx1", "000123"), "Rx1=000123");
  EXPECT_EQ(RxEntryName("Rx1=000123"), "Rx1");
  EXPECT_EQ(RxEntryName("a=b=c"), "a");
  EXPECT_EQ(RxEntryName("no equals"), "");
}

TEST(RxAddresses, AddressIsConvertedByTheNumberRule) {
  struct Case {
    std::string entry;
    std::int32_t address;
  };
  const Case cases[] = {{"Rx=x3F", 63}, {"Rx=000123", 123}, {"Rx=$1F", 31}, {"Rx=0x10", 16}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entry);
    EXPECT_EQ(RxAddressOf({c.entry}, 0), c.address);
  }
}

TEST(RxAddresses, LookupGoesByNameWithoutRegardToCase) {
  const Entries entries = {"A=1", "a=2", "B=3"};
  EXPECT_EQ(RxAddressOf(entries, 0), 1);
  EXPECT_EQ(RxAddressOf(entries, 1), 1);  // the first "a" wins
  EXPECT_EQ(RxAddressOf(entries, 2), 3);
  EXPECT_EQ(FindRxEntry(entries, "b"), 2);
  EXPECT_EQ(FindRxEntry({"plain", "x=1"}, "plain"), -1);  // no "=", no name
  EXPECT_EQ(FindRxEntry({"=7"}, ""), 0);                  // an empty name is a name
}

TEST(RxAddresses, NoAddressRaisesTheConversionErrorWithTheText) {
  EXPECT_EQ(ConversionError({}, -1), "'' is not a valid integer value");
  EXPECT_EQ(ConversionError({"Rx=5"}, -1), "'' is not a valid integer value");
  EXPECT_EQ(ConversionError({"Rx="}, 0), "'' is not a valid integer value");
  EXPECT_EQ(ConversionError({"Rx=12a"}, 0), "'12a' is not a valid integer value");
  EXPECT_EQ(ConversionError({"plain"}, 0), "'' is not a valid integer value");
  EXPECT_EQ(ConversionError({"Rx=1"}, 5), "'' is not a valid integer value");
}

class RxAddressFile : public ::testing::Test {
 protected:
  std::string Ini() const { return Dir.File("quorvane.ini"); }
  TempFolder Dir;
};

TEST_F(RxAddressFile, LinesAreStoredUnchangedAndReadBack) {
  const Entries entries = {"Rx1=000001", "Rx2=x1F", "odd line", "=5"};
  {
    TIniFile file(Ini());
    WriteRxAddressList(file, "Rx_Addresses", entries);
    file.UpdateFile();
  }
  EXPECT_EQ(ReadRaw(Ini()),
            "[Rx_Addresses]\nNoOfRxAddresses=4\nRxAddress0=Rx1=000001\nRxAddress1=Rx2=x1F\n"
            "RxAddress2=odd line\nRxAddress3==5\n");
  TIniFile file(Ini());
  ListBudget budget;
  EXPECT_EQ(ReadRxAddressList(file, "Rx_Addresses", budget), entries);
}

TEST_F(RxAddressFile, CountRulesTheListAndAbsentEntriesAreEmpty) {
  WriteRaw(Ini(),
           "[Rx_Addresses]\nNoOfRxAddresses=3\nRxAddress0=A=1\nRxAddress2=C=3\n"
           "RxAddress3=left over\n");
  TIniFile file(Ini());
  ListBudget budget;
  EXPECT_EQ(ReadRxAddressList(file, "Rx_Addresses", budget), (Entries{"A=1", "", "C=3"}));

  WriteRaw(Ini(), "[Rx_Addresses]\nNoOfRxAddresses=-4\nRxAddress0=A=1\n");
  TIniFile negative(Ini());
  EXPECT_TRUE(ReadRxAddressList(negative, "Rx_Addresses", budget).empty());
}

TEST_F(RxAddressFile, HugeCountCostsOnlyTheBudget) {
  WriteRaw(Ini(),
           "[Rx_Addresses]\nNoOfRxAddresses=2147483647\nRxAddress0=A=1\nRxAddress1000=B=2\n");
  TIniFile file(Ini());
  ListBudget budget(100);
  const Entries entries = ReadRxAddressList(file, "Rx_Addresses", budget);
  ASSERT_EQ(entries.size(), 101u);  // the first entry, then 100 absent ones before the far one
  EXPECT_EQ(entries[0], "A=1");
  EXPECT_TRUE(budget.Spent());
}

}  // namespace
