#pragma once

// The crate's state behind Crate and the nine adapter calls: the adapter
// (handles, parameters, injected faults, the last failure's text), the bus
// cycle ring and the TTCvi model.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "sim/Ring.h"
#include "sim/SimCrate.h"
#include "sim/TTCviModel.h"

namespace sim {

struct Crate::Impl {
  static constexpr std::size_t kCallKinds = 7;      // entries of Call
  static constexpr std::size_t kInjectedKept = 16;  // injected statuses bt_strerror knows
  static constexpr std::size_t kTextSize = 256;

  struct OpenHandle {
    bt_desc_t Id = 0;  // 0: slot free
    bt_accessflag_t Flags = 0;
  };

  void PowerUp(std::uint32_t base);

  bt_error_t Open(bt_desc_t* handle, const char* name, bt_accessflag_t flags);
  bt_error_t GetInfo(bt_desc_t handle, bt_info_t parameter, bt_devdata_t* value);
  bt_error_t SetInfo(bt_desc_t handle, bt_info_t parameter, bt_devdata_t value);
  bt_error_t Write(bt_desc_t handle, const void* buffer, bt_devaddr_t address, std::size_t count,
                   std::size_t* transferred);
  bt_error_t Read(bt_desc_t handle, void* buffer, bt_devaddr_t address, std::size_t count,
                  std::size_t* transferred);
  bt_error_t Reset(bt_desc_t handle);
  bt_error_t Close(bt_desc_t handle);
  // The description of status, or null when the library never produces it.
  // scratch (at least kTextSize characters) may hold the text.
  const char* Describe(bt_error_t status, char* scratch) const;

  void FailNext(Call call, bt_error_t status);
  unsigned OpenCount() const;

  // Adapter.
  std::array<OpenHandle, kMaxOpenHandles> Handles{};
  bt_desc_t NextSerial = 1;  // never reset, so a stale handle never names a new one
  bt_devdata_t DmaModifier = kAddressModifierAtPowerUp;  // parameter 6
  bt_devdata_t PioModifier = kAddressModifierAtPowerUp;  // parameter 13, used by transfers
  std::array<bt_error_t, kCallKinds> Pending{};
  std::array<bt_error_t, kInjectedKept> Injected{};
  std::size_t InjectedNext = 0;
  unsigned Resets = 0;
  bt_error_t LastStatus = 0;
  char LastText[kTextSize] = {};

  std::uint32_t Base = kTTCviBase;  // the TTCvi's A24 base address

  Ring<BusCycle, kCycleRingCapacity> CycleLog;
  TTCviModel Module;

 private:
  OpenHandle* Find(bt_desc_t handle);
  bt_error_t TakeFault(Call call);
  bt_error_t Fail(bt_error_t status, const char* format, ...) __attribute__((format(printf, 3, 4)));
  template <bool kWrite, typename Buffer>
  bt_error_t Transfer(bt_desc_t handle, Buffer* buffer, bt_devaddr_t address, std::size_t count,
                      std::size_t* transferred);
  // Decodes a transfer's address and size; on success offset is the TTCvi
  // register's offset and the access width matches the register.
  bt_error_t Decode(bt_devaddr_t address, std::size_t count, std::uint32_t& offset);
};

}  // namespace sim
