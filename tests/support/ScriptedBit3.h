#pragma once

// A scripted stand-in for the adapter library, for the connection's tests:
// the nine calls as a table (ScriptedAdapterLibrary), answering from a
// script (statuses per call kind, parameter values, error texts, a byte
// memory for transfers) and logging every call with the arguments it
// received.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "CallScript.h"
#include "vme/Bit3Api.h"

namespace scripted {

enum class Call { GenName, Open, GetInfo, SetInfo, Write, Read, Reset, Close, StrError };

// One call as the library saw it. Fields a call does not have stay zero.
struct Record {
  Call call = Call::GenName;
  bt_desc_t handle = 0;             // handle passed; for Open the handle it leaves behind
  int unit = 0;                     // GenName
  bt_dev_t device = 0;              // GenName
  std::size_t size = 0;             // GenName maxLength, StrError buffer size
  const void* buffer = nullptr;     // name / transfer / text buffer as passed
  std::string text;                 // GenName, Open: name; StrError: prefix
  bt_accessflag_t flags = 0;        // Open
  bt_info_t parameter = 0;          // GetInfo, SetInfo
  bt_devdata_t value = 0;           // SetInfo: value passed; GetInfo: value answered
  bt_devaddr_t address = 0;         // Write, Read
  std::size_t count = 0;            // Write, Read
  std::vector<std::uint8_t> bytes;  // Write: bytes passed; Read: bytes delivered
  bt_error_t status = 0;            // StrError: status described; others: status returned
};

// Queued statuses per call kind (success when none) and the log: CallScript.
struct Script : CallScript<Call, bt_error_t, Record> {
  std::string name = "bt0_a24";                  // what bt_gen_name writes
  bt_desc_t openHandle = 7;                      // what a successful bt_open sets
  std::map<bt_info_t, bt_devdata_t> parameters;  // bt_get_info answers; bt_set_info stores
  std::map<bt_error_t, std::string> errorTexts;  // bt_strerror texts; else "status N"
  bool strerrorReturnsNull = false;
  bool shortTransfer = false;     // report half the count transferred (status unchanged)
  std::function<void()> onWrite;  // runs inside bt_write, after it is logged
  std::function<void()> onRead;   // runs inside bt_read, after it is logged
  std::map<bt_devaddr_t, std::uint8_t> memory;  // written bytes; reads answer from here
  bool logTransfers = true;                     // off: bt_write/bt_read only counted (long runs)

  std::size_t transfers = 0;  // bt_write and bt_read calls, logged or not
  int openHandles = 0;        // successful opens minus closes
};

// The one script the nine calls answer from.
Script& Bit3();
// A fresh script (default answers, empty log), and the scripted calls
// installed as the adapter library of the connections opened from now on.
void ResetBit3();
// The next calls of this kind return these statuses, in order.
void QueueStatus(Call call, std::initializer_list<bt_error_t> statuses);
// The logged calls of one kind, in order.
std::vector<Record> CallsOf(Call call);
// The text bt_strerror gives for status (without prefix), as scripted.
std::string TextFor(bt_error_t status);

}  // namespace scripted
