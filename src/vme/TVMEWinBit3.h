#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "vme/Bit3Api.h"
#include "vme/TVMEInterface.h"

// One open connection to the VME crate through the Bit3 adapter library,
// with the A24 non-privileged data address modifier (0x39) on every transfer.
class TVMEWinBit3 : public TVMEInterface {
 public:
  // maxTransfer: largest byte count of one library transfer, -1 = no limit.
  // Any other value below 1 is refused with TException before the adapter is
  // touched: splitting would never end. The calls are those of the adapter
  // library installed at construction (InstalledAdapterLibrary); with none
  // installed the connection is refused with TException.
  TVMEWinBit3(std::int32_t unit, std::int32_t logicalDevice, std::int32_t maxTransfer);
  // Closes the adapter. A refused close is traced at level 1 (as its EVME
  // message), never thrown out of the destructor.
  ~TVMEWinBit3() override;

  TVMEWinBit3(const TVMEWinBit3&) = delete;
  TVMEWinBit3& operator=(const TVMEWinBit3&) = delete;

  void ResetAdapter() override;
  void Write(std::uint32_t address, const void* data, std::uint32_t count) override;
  void Write32(std::uint32_t address, std::uint32_t value) override;
  void Write16(std::uint32_t address, std::uint16_t value) override;
  void Read(std::uint32_t address, void* data, std::uint32_t count) override;
  std::uint32_t Read32(std::uint32_t address) override;
  std::uint16_t Read16(std::uint32_t address) override;
  // The adapter library the connection was opened with (its release too,
  // for a vendor's library), and the device opened.
  VMEConnectionDescription Describe() const override;

  // The device name's buffer: the Bit3 library's names are short, but a CAEN
  // Ethernet bridge is named after its host (a DNS name of up to 253
  // characters) and must never be cut.
  static constexpr std::size_t kDeviceNameSize = 272;
  const char* GetDeviceName() const { return DeviceName; }
  bool IsBusy() const { return Busy; }

 private:
  void SetAddressModifiers();
  void SetAddressModifier(bt_info_t parameter);
  // "device " + DeviceName + the adapter's text for status.
  std::string Detail(bt_error_t status);
  std::string ErrorDescription(bt_error_t status);
  // A transfer that the library calls successful must have moved every byte.
  void CheckTransferred(std::size_t transferred, std::uint32_t count, bool write);
  void TraceValues(const char* prefix, std::uint32_t address, const void* data,
                   std::uint32_t count);

  std::shared_ptr<const AdapterLibrary> Library;  // keeps the calls alive while open
  const Bit3Calls* Calls = nullptr;
  bt_desc_t Handle = 0;
  char DeviceName[kDeviceNameSize] = {};
  std::int32_t ErrorTextSize = 256;
  std::unique_ptr<char[]> ErrorText;  // owned; also freed when construction fails
  bool Busy = false;
  std::int32_t MaxTransfer = -1;
};
