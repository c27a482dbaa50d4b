// The part of the nine adapter calls that the SBS/Bit3 Linux library cannot
// answer as the connection asks: the logical device numbering. The other
// calls go from TVMEWinBit3 straight to the library (SbsBit3Api.h).

#include "adapters/sbs/SbsBit3Api.h"
#include "vme/AdapterIdentity.h"

namespace {

// The connection's logical device numbers (those of the Windows library) and
// the same windows in the Linux library.
struct LogicalDevice {
  std::int32_t Number;
  bt_dev_t Device;
};

constexpr LogicalDevice kDevices[] = {
    {0, BT_DEV_DP},  {1, BT_DEV_A16}, {2, BT_DEV_A24},
    {3, BT_DEV_A32}, {4, BT_DEV_LM},  {5, BT_DEV_NIO},
};

}  // namespace

char* bt_gen_name(int unit, std::int32_t logicalDevice, char* name, std::size_t maxLength) {
  if (name == nullptr || maxLength == 0) return name;
  name[0] = '\0';
  for (const LogicalDevice& device : kDevices) {
    if (device.Number != logicalDevice) continue;
    // The vendor's call, chosen by its bt_dev_t argument.
    if (bt_gen_name(unit, device.Device, name, maxLength) == nullptr) name[0] = '\0';
    break;
  }
  // Always our buffer: the connection opens whatever it gets, and an empty
  // name is refused by bt_open with a status the operator can read.
  return name;
}

AdapterIdentity ProvidedAdapter() { return {"SBS/Bit3 PCI-to-VME", false}; }
