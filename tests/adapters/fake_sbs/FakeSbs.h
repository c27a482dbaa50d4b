#pragma once

// The recording implementation behind the fake btapi.h, built as the shared
// library libbtp.so. It keeps a log of every library call with the
// arguments received, answers from a script (statuses queued per call,
// parameter values, a byte memory for transfers, error texts) and hands out
// real descriptors: a call with a descriptor that is not open is refused the
// way the library refuses it (BT_EDESC), and OpenDescriptors() shows one the
// connection left open. A device file that is not there is BT_EFAIL, as the
// library answers when the system's open fails. Device names, zero-length transfers and unknown
// statuses behave as the vendor documents them.
//
// This header does not include btapi.h, so that a test can include it
// beside the connection's own declarations of the calls: the vendor's
// numbers the tests need are repeated here, in this namespace.

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "CallScript.h"

namespace fake_sbs {

// Logical devices, parameters and statuses, as the Linux library numbers them.
enum Device : int { kDevNIO = 0, kDevDP = 1, kDevA16 = 2, kDevA32 = 3, kDevA24 = 5, kDevLM = 6 };
enum Parameter : int { kInfoDmaAmod = 4, kInfoPioAmod = 5 };
enum Status : int {
  kSuccess = 0,
  kEIO = 1,
  kENXIO = 2,
  kEINVAL = 4,
  kEACCESS = 5,
  kEDESC = 6,
  kEFAIL = 10,
  kENOPWR = 14,
};

enum class Call { GenName, Open, Close, StrError, Read, Write, GetInfo, SetInfo, Reset };

// One call as the library saw it; fields a call does not have stay zero.
struct Record {
  Call call = Call::GenName;
  const void* descriptor = nullptr;  // passed in; for Open the one handed out
  int unit = 0;                      // GenName
  int device = 0;                    // GenName
  std::size_t size = 0;              // GenName name size, StrError buffer size
  std::string text;                  // GenName, Open: device name; StrError: prefix
  unsigned long flags = 0;           // Open
  int parameter = 0;
  std::uint32_t value = 0;          // SetInfo: value passed; GetInfo: value answered
  unsigned long address = 0;        // Read, Write
  std::size_t count = 0;            // Read, Write
  std::vector<std::uint8_t> bytes;  // Write: bytes passed; Read: bytes delivered
  int status = kSuccess;            // StrError: status described; others: status returned
};

// Queued statuses per call (success when none) and the log: CallScript.
struct Library : CallScript<Call, int, Record> {
  std::map<int, std::uint32_t> parameters;       // what a fresh descriptor starts with
  std::map<unsigned long, std::uint8_t> memory;  // written bytes; reads answer from here
  std::map<int, std::string> texts;              // descriptions; null for others
  std::set<std::string> missing;                 // device files absent: bt_open gives BT_EFAIL
  bool strerrorGivesNull = false;
  std::size_t shortBy = 0;  // a successful transfer reports this many bytes fewer
};

// The one library state the calls answer from.
Library& State();
// Closes what is still open and starts from a fresh script and log.
void Reset();
// The next calls of this kind return these statuses, in order.
void Queue(Call call, std::initializer_list<int> statuses);
// The logged calls of one kind, in order.
std::vector<Record> CallsOf(Call call);
// Descriptors handed out by bt_open and not yet closed.
std::size_t OpenDescriptors();
// The device name the vendor's bt_gen_name makes: "/dev/btp" and the minor
// number (logical device << 5) + unit.
std::string DeviceName(int unit, int device);

}  // namespace fake_sbs
