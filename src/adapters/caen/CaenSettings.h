#pragma once

// Which CAEN bridge the caen adapter opens: the keys "bridge", "link",
// "node" and "host" of the crate settings file (src/crate):
//   bridge = V2718   # required for the caen adapter: a name from BridgeName()
//   link = 0         # optical link, USB device number, or A4818/V4718 PID
//   node = 0         # CONET node in the optical daisy chain
//   host = vme-1     # V4718-ETH only: IPv4 address, or a host name looked
//                    # up (IPv4) when the bridge is opened

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace caen {

// The bridges and how the PC reaches them.
enum class Bridge {
  V1718,        // USB
  V2718,        // optical link of an A2818 (PCI) or A3818 (PCIe) card
  V2718_A4818,  // optical link of an A4818 USB adapter
  V3718,        // USB
  V3718_A2818,
  V3718_A3818,
  V3718_A4818,
  V4718,  // USB
  V4718_ETH,
  V4718_A2818,
  V4718_A3818,
  V4718_A4818,
};

struct Settings {
  Bridge Model = Bridge::V2718;
  std::uint32_t Link = 0;  // link or USB device number; the PID for A4818 and V4718 USB
  std::int16_t Node = 0;   // CONET node in the daisy chain
  std::string Host;        // V4718_ETH only
};

// The bridge's name in the settings file ("V2718-A4818").
const char* BridgeName(Bridge model);
// Every bridge, in the order of the enumeration.
const std::vector<Bridge>& AllBridges();

// True for the keys read by ReadBridgeKey.
bool IsBridgeKey(std::string_view key);
// Reads value of key (bridge, link, node or host) into settings. Empty when
// good; else why not, for a message the caller prefixes with file and line.
std::string ReadBridgeKey(std::string_view key, std::string_view value, Settings& settings);
// Empty when the keys read make a bridge (host given for the V4718-ETH and
// only for it); else why not.
std::string CheckBridge(const Settings& settings, bool haveHost);

}  // namespace caen
