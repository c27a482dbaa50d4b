#pragma once

// The recording implementation behind the fake btapi.h. It keeps a log of
// every library call with the arguments received, answers from a script
// (statuses queued per call, parameter values, a byte memory for transfers,
// error texts) and hands out real descriptors: a call with a descriptor that
// is not open is refused the way the library refuses it (BT_EDESC), and
// OpenDescriptors() shows one the connection left open.

#include <btapi.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace fake_sbs {

enum class Call { GenName, Open, Close, StrError, Read, Write, GetInfo, SetInfo, Reset };

// One call as the library saw it; fields a call does not have stay zero.
struct Record {
  Call call = Call::GenName;
  bt_desc_t descriptor = nullptr;  // passed in; for Open the one handed out
  int unit = 0;                    // GenName
  bt_dev_t device = BT_DEV_NIO;    // GenName
  std::size_t size = 0;            // GenName name size, StrError buffer size
  std::string text;                // GenName, Open: device name; StrError: prefix
  bt_accessflag_t flags = 0;       // Open
  bt_info_t parameter = BT_MIN_INFO;
  bt_devdata_t value = 0;           // SetInfo: value passed; GetInfo: value answered
  bt_devaddr_t address = 0;         // Read, Write
  std::size_t count = 0;            // Read, Write
  std::vector<std::uint8_t> bytes;  // Write: bytes passed; Read: bytes delivered
  bt_error_t status = BT_SUCCESS;   // StrError: status described; others: status returned
};

struct Library {
  std::map<Call, std::deque<bt_error_t>> statuses;  // next statuses per call; success when empty
  std::map<bt_info_t, bt_devdata_t> parameters;     // what a fresh descriptor starts with
  std::map<bt_devaddr_t, std::uint8_t> memory;      // written bytes; reads answer from here
  std::map<bt_error_t, std::string> texts;          // descriptions; "error N" otherwise
  bool strerrorGivesNull = false;
  std::vector<Record> log;
};

// The one library state the calls answer from.
Library& State();
// Closes what is still open and starts from a fresh script and log.
void Reset();
// The next calls of this kind return these statuses, in order.
void Queue(Call call, std::initializer_list<bt_error_t> statuses);
// The logged calls of one kind, in order.
std::vector<Record> CallsOf(Call call);
// Descriptors handed out by bt_open and not yet closed.
std::size_t OpenDescriptors();
// What bt_strerror writes for a status after the given prefix.
std::string Description(bt_error_t status);
// The device name bt_gen_name makes for a unit and logical device.
std::string DeviceName(int unit, bt_dev_t device);

}  // namespace fake_sbs
