#pragma once

// A freshly powered-up crate with one handle open for reading and writing
// and both address-modifier parameters at 0x39, as a connection leaves them.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "sim/AdapterCalls.h"
#include "sim/SimCrate.h"
#include "vme/Bit3Api.h"

// The crate's tests call the nine calls directly.
using sim::bt_close;
using sim::bt_gen_name;
using sim::bt_get_info;
using sim::bt_open;
using sim::bt_read;
using sim::bt_reset;
using sim::bt_set_info;
using sim::bt_strerror;
using sim::bt_write;

class SimTest : public ::testing::Test {
 public:  // the tests' helper lambdas use these too
  sim::Crate& crate = sim::Crate::Instance();
  bt_desc_t handle = 0;

  void SetUp() override {
    crate.PowerUp();
    ASSERT_EQ(bt_open(&handle, sim::kDeviceName, BT_RD | BT_WR), BT_SUCCESS);
    ASSERT_EQ(bt_set_info(handle, BT_INFO_DMA_AMOD, sim::kA24NonPrivilegedData), BT_SUCCESS);
    ASSERT_EQ(bt_set_info(handle, BT_INFO_PIO_AMOD, sim::kA24NonPrivilegedData), BT_SUCCESS);
  }

  void TearDown() override { crate.PowerUp(); }

  static std::uint32_t At(std::uint32_t offset) { return sim::kTTCviBase + offset; }

  bt_error_t Write16(std::uint32_t offset, std::uint16_t value) {
    std::size_t done = 0;
    return bt_write(handle, &value, At(offset), 2, &done);
  }
  bt_error_t Write32(std::uint32_t offset, std::uint32_t value) {
    std::size_t done = 0;
    return bt_write(handle, &value, At(offset), 4, &done);
  }
  // The register's value; a failed read fails the test.
  std::uint16_t Read16(std::uint32_t offset) {
    std::uint16_t value = 0xDEAD;
    std::size_t done = 0;
    const bt_error_t status = bt_read(handle, &value, At(offset), 2, &done);
    EXPECT_EQ(status, BT_SUCCESS) << "offset 0x" << std::hex << offset << Describe(status);
    return value;
  }

  // bt_strerror's text for status, or "(null)".
  std::string Describe(bt_error_t status) {
    char text[256];
    const char* result = bt_strerror(handle, status, "", text, sizeof text);
    return result != nullptr ? std::string(result) : std::string("(null)");
  }

  // A long-format asynchronous cycle as two 16-bit writes at 0xC0 and 0xC2.
  void SendLong(std::uint16_t ttcrx, bool external, std::uint8_t sub, std::uint8_t data) {
    const auto first = static_cast<std::uint16_t>(0x8000 | ((ttcrx & 0x3FFF) << 1) | external);
    const auto second = static_cast<std::uint16_t>((sub << 8) | data);
    ASSERT_EQ(Write16(0xC0, first), BT_SUCCESS);
    ASSERT_EQ(Write16(0xC2, second), BT_SUCCESS);
  }
};
