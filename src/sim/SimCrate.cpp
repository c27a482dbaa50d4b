#include "sim/SimCrate.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>

#include "sim/CrateImpl.h"
#include "sim/SimSettings.h"

namespace sim {

namespace {

constexpr std::uint32_t kWindowFirst = 0x80;  // the TTCvi answers at base + 0x80..0xCB
constexpr std::uint32_t kWindowLast = 0xCB;
constexpr bt_devdata_t kModifierBits = 0x3F;  // an address modifier is six bits

const char* GenericText(bt_error_t status) {
  switch (status) {
    case kStatusBusError:
      return "VME bus error";
    case kStatusBadSize:
      return "transfer size not accepted by the register";
    case kStatusNotOpen:
      return "adapter handle not open";
    case kStatusNoDevice:
      return "no such device";
    case kStatusBadParameter:
      return "unknown adapter parameter";
    case kStatusBadArgument:
      return "invalid argument";
    case kStatusTooManyOpen:
      return "too many open handles";
    case kStatusAccessDenied:
      return "transfer not allowed by the handle's access flags";
    default:
      return nullptr;
  }
}

// The host integer a transfer's bytes form (the first four at most).
std::uint32_t Load(const void* buffer, std::size_t count) {
  if (count == 2) {
    std::uint16_t value;
    std::memcpy(&value, buffer, 2);
    return value;
  }
  std::uint32_t value = 0;
  std::memcpy(&value, buffer, count < 4 ? count : 4);
  return value;
}

}  // namespace

// ---- adapter ----

void Crate::Impl::PowerUp(std::uint32_t base) {
  Base = base;
  Handles.fill(OpenHandle{});
  DmaModifier = kAddressModifierAtPowerUp;
  PioModifier = kAddressModifierAtPowerUp;
  Pending.fill(0);
  Injected.fill(0);
  InjectedNext = 0;
  Resets = 0;
  LastStatus = 0;
  LastText[0] = '\0';
  CycleLog.Clear();
  Module.PowerUp();
}

Crate::Impl::OpenHandle* Crate::Impl::Find(bt_desc_t handle) {
  if (handle <= 0) return nullptr;
  OpenHandle& slot = Handles[static_cast<std::size_t>(handle) % kMaxOpenHandles];
  return slot.Id == handle ? &slot : nullptr;
}

unsigned Crate::Impl::OpenCount() const {
  unsigned count = 0;
  for (const OpenHandle& slot : Handles) count += slot.Id != 0;
  return count;
}

bt_error_t Crate::Impl::Fail(bt_error_t status, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vsnprintf(LastText, sizeof LastText, format, args);
  va_end(args);
  LastStatus = status;
  return status;
}

void Crate::Impl::FailNext(Call call, bt_error_t status) {
  Pending[static_cast<std::size_t>(call)] = status;
  if (status == 0) return;
  for (bt_error_t known : Injected)
    if (known == status) return;
  Injected[InjectedNext] = status;
  InjectedNext = (InjectedNext + 1) % kInjectedKept;
}

bt_error_t Crate::Impl::TakeFault(Call call) {
  bt_error_t& pending = Pending[static_cast<std::size_t>(call)];
  if (pending == 0) return 0;
  const bt_error_t status = pending;
  pending = 0;
  if (const char* meaning = GenericText(status))
    return Fail(status, "injected failure (status %d: %s)", static_cast<int>(status), meaning);
  return Fail(status, "injected failure (status %d)", static_cast<int>(status));
}

bt_error_t Crate::Impl::Open(bt_desc_t* handle, const char* name, bt_accessflag_t flags) {
  if (const bt_error_t injected = TakeFault(Call::Open)) return injected;
  if (handle == nullptr) return Fail(kStatusBadArgument, "invalid argument: null handle pointer");
  if (name == nullptr || std::strcmp(name, kDeviceName) != 0)
    return Fail(kStatusNoDevice, "no such device \"%.40s\" (the simulated crate has \"%s\")",
                name != nullptr ? name : "(null)", kDeviceName);
  if (flags == 0 || (flags & ~(BT_RD | BT_WR)) != 0)
    return Fail(kStatusBadArgument, "invalid argument: access flags %d (read 1, write 2)",
                static_cast<int>(flags));
  for (std::size_t slot = 0; slot < kMaxOpenHandles; ++slot) {
    if (Handles[slot].Id != 0) continue;
    constexpr bt_desc_t kLastSerial =
        std::numeric_limits<bt_desc_t>::max() / static_cast<bt_desc_t>(kMaxOpenHandles) - 1;
    if (NextSerial > kLastSerial) NextSerial = 1;
    Handles[slot].Id =
        NextSerial++ * static_cast<bt_desc_t>(kMaxOpenHandles) + static_cast<bt_desc_t>(slot);
    Handles[slot].Flags = flags;
    *handle = Handles[slot].Id;
    return BT_SUCCESS;
  }
  return Fail(kStatusTooManyOpen, "too many open handles (%zu)", kMaxOpenHandles);
}

bt_error_t Crate::Impl::GetInfo(bt_desc_t handle, bt_info_t parameter, bt_devdata_t* value) {
  if (const bt_error_t injected = TakeFault(Call::GetInfo)) return injected;
  if (Find(handle) == nullptr)
    return Fail(kStatusNotOpen, "adapter handle %d is not open", static_cast<int>(handle));
  if (value == nullptr) return Fail(kStatusBadArgument, "invalid argument: null value pointer");
  if (parameter == BT_INFO_DMA_AMOD) {
    *value = DmaModifier;
  } else if (parameter == BT_INFO_PIO_AMOD) {
    *value = PioModifier;
  } else {
    return Fail(kStatusBadParameter, "unknown adapter parameter %d (known: 6 and 13)",
                static_cast<int>(parameter));
  }
  return BT_SUCCESS;
}

bt_error_t Crate::Impl::SetInfo(bt_desc_t handle, bt_info_t parameter, bt_devdata_t value) {
  if (const bt_error_t injected = TakeFault(Call::SetInfo)) return injected;
  if (Find(handle) == nullptr)
    return Fail(kStatusNotOpen, "adapter handle %d is not open", static_cast<int>(handle));
  bt_devdata_t* target = parameter == BT_INFO_DMA_AMOD   ? &DmaModifier
                         : parameter == BT_INFO_PIO_AMOD ? &PioModifier
                                                         : nullptr;
  if (target == nullptr)
    return Fail(kStatusBadParameter, "unknown adapter parameter %d (known: 6 and 13)",
                static_cast<int>(parameter));
  if (value > kModifierBits)
    return Fail(kStatusBadArgument, "invalid argument: address modifier 0x%X is wider than 6 bits",
                static_cast<unsigned>(value));
  *target = value;
  return BT_SUCCESS;
}

bt_error_t Crate::Impl::Decode(bt_devaddr_t address, std::size_t count, std::uint32_t& offset) {
  const unsigned modifier = static_cast<unsigned>(PioModifier);
  if (PioModifier != kA24NonPrivilegedData)
    return Fail(kStatusBusError,
                "VME bus error: no module answers at 0x%06X with address modifier 0x%02X "
                "(the TTCvi answers to 0x39 only)",
                static_cast<unsigned>(address), modifier);
  offset = address - Base;
  if (offset < kWindowFirst || offset > kWindowLast)
    return Fail(kStatusBusError,
                "VME bus error: no module answers at 0x%06X with address modifier 0x%02X",
                static_cast<unsigned>(address), modifier);
  const unsigned width = TTCviModel::RegisterWidth(offset);
  if (width == 0)
    return Fail(kStatusBusError,
                "VME bus error: the TTCvi has no register at 0x%06X (offset 0x%02X)",
                static_cast<unsigned>(address), static_cast<unsigned>(offset));
  if (count != width / 8)
    return Fail(kStatusBadSize,
                "transfer of %zu bytes refused at 0x%06X: the register takes %u-byte (%u-bit) "
                "accesses only",
                count, static_cast<unsigned>(address), width / 8, width);
  return BT_SUCCESS;
}

template <bool kWrite, typename Buffer>
bt_error_t Crate::Impl::Transfer(bt_desc_t handle, Buffer* buffer, bt_devaddr_t address,
                                 std::size_t count, std::size_t* transferred) {
  if (transferred != nullptr) *transferred = 0;
  const bt_error_t injected = TakeFault(kWrite ? Call::Write : Call::Read);
  const OpenHandle* open = Find(handle);
  if (injected == 0) {
    if (open == nullptr)
      return Fail(kStatusNotOpen, "adapter handle %d is not open", static_cast<int>(handle));
    if (count == 0) return BT_SUCCESS;  // nothing to move: no bus cycle
    if (buffer == nullptr) return Fail(kStatusBadArgument, "invalid argument: null buffer");
    if ((open->Flags & (kWrite ? BT_WR : BT_RD)) == 0)
      return Fail(kStatusAccessDenied, "adapter handle %d was not opened for %s",
                  static_cast<int>(handle), kWrite ? "writing" : "reading");
  } else if (open == nullptr || count == 0 || buffer == nullptr) {
    return injected;  // failed before reaching the bus
  }

  BusCycle cycle;
  cycle.write = kWrite;
  cycle.address = address;
  cycle.addressModifier = PioModifier;
  cycle.width = count == 2 ? 16 : count == 4 ? 32 : 0;
  if constexpr (kWrite) cycle.value = Load(buffer, count);

  bt_error_t status = injected;
  std::uint32_t offset = 0;
  if (status == 0) status = Decode(address, count, offset);
  if (status == kStatusBadSize && injected == 0) cycle.width = 0;
  if (status == 0) {
    if constexpr (kWrite) {
      if (count == 2)
        Module.Write16(offset, static_cast<std::uint16_t>(cycle.value));
      else
        Module.Write32(offset, cycle.value);
    } else {
      Answer answer;
      if (count == 2) {
        std::uint16_t value = 0;
        answer = Module.Read16(offset, value);
        if (answer == Answer::Done) std::memcpy(buffer, &value, 2);
        cycle.value = value;
      } else {
        std::uint32_t value = 0;
        answer = Module.Read32(offset, value);
        if (answer == Answer::Done) std::memcpy(buffer, &value, 4);
        cycle.value = value;
      }
      if (answer != Answer::Done)
        status = Fail(kStatusBusError,
                      "VME bus error: the TTCvi register at 0x%06X (offset 0x%02X) is write-only",
                      static_cast<unsigned>(address), static_cast<unsigned>(offset));
    }
  }
  cycle.status = status;
  CycleLog.Push(cycle);
  if (status == 0 && transferred != nullptr) *transferred = count;
  return status;
}

bt_error_t Crate::Impl::Write(bt_desc_t handle, const void* buffer, bt_devaddr_t address,
                              std::size_t count, std::size_t* transferred) {
  return Transfer<true>(handle, buffer, address, count, transferred);
}

bt_error_t Crate::Impl::Read(bt_desc_t handle, void* buffer, bt_devaddr_t address,
                             std::size_t count, std::size_t* transferred) {
  return Transfer<false>(handle, buffer, address, count, transferred);
}

bt_error_t Crate::Impl::Reset(bt_desc_t handle) {
  if (const bt_error_t injected = TakeFault(Call::Reset)) return injected;
  if (Find(handle) == nullptr)
    return Fail(kStatusNotOpen, "adapter handle %d is not open", static_cast<int>(handle));
  ++Resets;  // the adapter only: the crate's modules keep their state
  return BT_SUCCESS;
}

bt_error_t Crate::Impl::Close(bt_desc_t handle) {
  if (const bt_error_t injected = TakeFault(Call::Close)) return injected;
  OpenHandle* open = Find(handle);
  if (open == nullptr)
    return Fail(kStatusNotOpen, "adapter handle %d is not open", static_cast<int>(handle));
  *open = OpenHandle{};
  return BT_SUCCESS;
}

const char* Crate::Impl::Describe(bt_error_t status, char* scratch) const {
  if (status == 0 || status == kStatusUndescribed) return nullptr;
  if (status == LastStatus && LastText[0] != '\0') return LastText;
  if (const char* text = GenericText(status)) return text;
  for (bt_error_t known : Injected) {
    if (known == status) {
      std::snprintf(scratch, kTextSize, "injected failure (status %d)", static_cast<int>(status));
      return scratch;
    }
  }
  return nullptr;
}

// ---- inspection ----

Crate& Crate::Instance() {
  // Built once, thread-safely, and never destroyed: a connection closed while
  // statics are torn down still finds its crate.
  static Crate* const crate = new Crate();
  return *crate;
}

Crate::Crate() : Impl_(new Impl) { PowerUp(); }

void Crate::PowerUp() { Impl_->PowerUp(kTTCviBase); }

void Crate::PowerUp(const CrateSettings& settings) { Impl_->PowerUp(settings.TTCviBase); }

std::uint32_t Crate::TTCviBase() const { return Impl_->Base; }

std::vector<BusCycle> Crate::Cycles() const { return Impl_->CycleLog.ToVector(); }
void Crate::ClearCycles() { Impl_->CycleLog.Clear(); }
std::uint64_t Crate::TotalCycles() const { return Impl_->CycleLog.TotalPushed(); }

void Crate::FailNext(Call call, bt_error_t status) { Impl_->FailNext(call, status); }

bool Crate::IsOpen() const { return Impl_->OpenCount() != 0; }
unsigned Crate::OpenHandleCount() const { return Impl_->OpenCount(); }
unsigned Crate::AdapterResetCount() const { return Impl_->Resets; }

bt_devdata_t Crate::Parameter(bt_info_t code) const {
  if (code == BT_INFO_DMA_AMOD) return Impl_->DmaModifier;
  if (code == BT_INFO_PIO_AMOD) return Impl_->PioModifier;
  return 0;
}

std::uint16_t Crate::CSR1() const { return Impl_->Module.CSR1(); }
std::uint16_t Crate::CSR2() const { return Impl_->Module.CSR2(); }
std::uint16_t Crate::BGoMode(int channel) const { return Impl_->Module.Mode(channel); }
std::size_t Crate::BGoFifoSize(int channel) const { return Impl_->Module.FifoSize(channel); }
std::vector<std::uint32_t> Crate::BGoFifo(int channel) const {
  return Impl_->Module.FifoWords(channel);
}
std::uint16_t Crate::LastWritten(std::uint32_t offset) const {
  return Impl_->Module.LastWritten(offset);
}
unsigned Crate::WriteCount(std::uint32_t offset) const { return Impl_->Module.WriteCount(offset); }
std::uint16_t Crate::InhibitDelay(int channel) const { return Impl_->Module.InhibitDelay(channel); }
std::uint16_t Crate::InhibitDuration(int channel) const {
  return Impl_->Module.InhibitDuration(channel);
}
std::uint16_t Crate::TrigWordAddress() const { return Impl_->Module.TrigWordAddress(); }
std::uint16_t Crate::TrigWordControl() const { return Impl_->Module.TrigWordControl(); }
std::uint64_t Crate::L1ACount() const { return Impl_->Module.L1ACount(); }
std::uint64_t Crate::BGoSignalCount(int channel) const {
  return Impl_->Module.SignalCount(channel);
}
std::uint64_t Crate::BGoLostWords(int channel) const { return Impl_->Module.LostWords(channel); }

std::uint8_t Crate::TTCrxRegister(std::uint16_t ttcrxAddress, int subaddress) const {
  return Impl_->Module.TTCrxRegister(ttcrxAddress, subaddress);
}
unsigned Crate::TTCrxWriteCount(std::uint16_t ttcrxAddress) const {
  return Impl_->Module.TTCrxWriteCount(ttcrxAddress);
}
std::vector<std::uint16_t> Crate::TTCrxReached() const { return Impl_->Module.TTCrxReached(); }

std::vector<BChannelCycle> Crate::BChannelCycles() const { return Impl_->Module.BChannelCycles(); }
void Crate::ClearBChannelCycles() { Impl_->Module.ClearBChannelCycles(); }
std::uint64_t Crate::TotalBChannelCycles() const { return Impl_->Module.TotalBChannelCycles(); }

}  // namespace sim
