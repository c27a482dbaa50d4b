#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "vme/VMEErrors.h"

namespace {

TEST(VMEErrors, MessagesAreComposedWithoutSeparators) {
  struct Case {
    const char* label;
    std::function<void()> raise;
    std::string message;
  };
  const Case cases[] = {
      {"TException keeps its text", [] { throw TException("abc"); }, "abc"},
      {"EVME of empty", [] { throw EVME(""); }, "VME Error"},
      {"EVME appends directly", [] { throw EVME("device N"); }, "VME Errordevice N"},
      {"EVMEOpen", [] { throw EVMEOpen("device N"); }, "VME Error: could not open device N"},
      {"EVMEWrite", [] { throw EVMEWrite("device Nx"); }, "VME Error: write error device Nx"},
      {"EVMERead", [] { throw EVMERead("device Nx"); }, "VME Error: read error device Nx"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    try {
      c.raise();
      ADD_FAILURE() << "nothing raised";
    } catch (const TException& e) {
      EXPECT_EQ(e.Message(), c.message);
      EXPECT_STREQ(e.what(), c.message.c_str());
      EXPECT_STREQ(e.GetText(), c.message.c_str());
    }
  }
}

TEST(VMEErrors, EVMEHandlerCatchesTheFamilyAndExceptionHandlerCatchesAll) {
  const std::function<void()> family[] = {
      [] { throw EVME("a"); },
      [] { throw EVMEOpen("b"); },
      [] { throw EVMEWrite("c"); },
      [] { throw EVMERead("d"); },
  };
  for (const auto& raise : family) {
    EXPECT_THROW(raise(), EVME);
    EXPECT_THROW(raise(), TException);
    EXPECT_THROW(raise(), Exception);
  }
  // The overlapping-use error is a TException but not an EVME.
  bool caughtAsEVME = false;
  try {
    try {
      throw TException("TVMEWinBit3::Write: parallel accesss");
    } catch (const EVME&) {
      caughtAsEVME = true;
    }
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "TVMEWinBit3::Write: parallel accesss");
  }
  EXPECT_FALSE(caughtAsEVME);
}

}  // namespace
