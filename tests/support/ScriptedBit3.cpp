#include "ScriptedBit3.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace scripted {

Script& Bit3() {
  static Script script;
  return script;
}

void QueueStatus(Call call, std::initializer_list<bt_error_t> statuses) {
  Bit3().Queue(call, statuses);
}

std::vector<Record> CallsOf(Call call) { return Bit3().CallsOf(call); }

std::string TextFor(bt_error_t status) {
  const auto text = Bit3().errorTexts.find(status);
  return text != Bit3().errorTexts.end() ? text->second : "status " + std::to_string(status);
}

namespace {

bt_error_t NextStatus(Call call) { return Bit3().Next(call, BT_SUCCESS); }

Record& Log(Call call, bt_desc_t handle, bt_error_t status) {
  Record& record = Bit3().Log(call, status);
  record.handle = handle;
  return record;
}

void CopyTerminated(const std::string& text, char* buffer, std::size_t size) {
  if (size == 0) return;
  const std::size_t length = std::min(text.size(), size - 1);
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
}

char* bt_gen_name(int unit, bt_dev_t logicalDevice, char* name, std::size_t maxLength) {
  Record& record = Log(Call::GenName, 0, BT_SUCCESS);
  record.unit = unit;
  record.device = logicalDevice;
  record.size = maxLength;
  record.buffer = name;
  CopyTerminated(Bit3().name, name, maxLength);
  record.text = name;
  return name;
}

bt_error_t bt_open(bt_desc_t* handle, const char* name, bt_accessflag_t flags) {
  const bt_error_t status = NextStatus(Call::Open);
  if (status == BT_SUCCESS) {
    *handle = Bit3().openHandle;
    ++Bit3().openHandles;
  }
  Record& record = Log(Call::Open, *handle, status);
  record.buffer = name;
  record.text = name;
  record.flags = flags;
  return status;
}

bt_error_t bt_get_info(bt_desc_t handle, bt_info_t parameter, bt_devdata_t* value) {
  const bt_error_t status = NextStatus(Call::GetInfo);
  if (status == BT_SUCCESS) *value = Bit3().parameters[parameter];
  Record& record = Log(Call::GetInfo, handle, status);
  record.parameter = parameter;
  record.value = status == BT_SUCCESS ? *value : 0;
  return status;
}

bt_error_t bt_set_info(bt_desc_t handle, bt_info_t parameter, bt_devdata_t value) {
  const bt_error_t status = NextStatus(Call::SetInfo);
  if (status == BT_SUCCESS) Bit3().parameters[parameter] = value;
  Record& record = Log(Call::SetInfo, handle, status);
  record.parameter = parameter;
  record.value = value;
  return status;
}

bt_error_t bt_write(bt_desc_t handle, const void* buffer, bt_devaddr_t address, std::size_t count,
                    std::size_t* transferred) {
  const bt_error_t status = NextStatus(Call::Write);
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  ++Bit3().transfers;
  if (Bit3().logTransfers) {
    Record& record = Log(Call::Write, handle, status);
    record.buffer = buffer;
    record.address = address;
    record.count = count;
    record.bytes.assign(bytes, bytes + count);
  }
  if (status == BT_SUCCESS)
    for (std::size_t i = 0; i < count; ++i) Bit3().memory[address + i] = bytes[i];
  *transferred = status != BT_SUCCESS ? 0 : Bit3().shortTransfer ? count / 2 : count;
  if (Bit3().onWrite) Bit3().onWrite();
  return status;
}

bt_error_t bt_read(bt_desc_t handle, void* buffer, bt_devaddr_t address, std::size_t count,
                   std::size_t* transferred) {
  const bt_error_t status = NextStatus(Call::Read);
  auto* bytes = static_cast<std::uint8_t*>(buffer);
  if (status == BT_SUCCESS)
    for (std::size_t i = 0; i < count; ++i) bytes[i] = Bit3().memory[address + i];
  ++Bit3().transfers;
  if (Bit3().logTransfers) {
    Record& record = Log(Call::Read, handle, status);
    record.buffer = buffer;
    record.address = address;
    record.count = count;
    if (status == BT_SUCCESS) record.bytes.assign(bytes, bytes + count);
  }
  *transferred = status != BT_SUCCESS ? 0 : Bit3().shortTransfer ? count / 2 : count;
  if (Bit3().onRead) Bit3().onRead();
  return status;
}

bt_error_t bt_reset(bt_desc_t handle) {
  const bt_error_t status = NextStatus(Call::Reset);
  Log(Call::Reset, handle, status);
  return status;
}

bt_error_t bt_close(bt_desc_t handle) {
  const bt_error_t status = NextStatus(Call::Close);
  if (status == BT_SUCCESS) --Bit3().openHandles;
  Log(Call::Close, handle, status);
  return status;
}

char* bt_strerror(bt_desc_t handle, bt_error_t status, const char* prefix, char* buffer,
                  std::size_t bufferSize) {
  Record& record = Log(Call::StrError, handle, status);
  record.text = prefix;
  record.buffer = buffer;
  record.size = bufferSize;
  if (Bit3().strerrorReturnsNull) return nullptr;
  CopyTerminated(std::string(prefix) + TextFor(status), buffer, bufferSize);
  return buffer;
}

}  // namespace

void ResetBit3() {
  Bit3() = Script();
  AdapterLibrary library;
  library.Calls = {bt_gen_name, bt_open,  bt_get_info, bt_set_info, bt_write,
                   bt_read,     bt_reset, bt_close,    bt_strerror};
  library.Name = "Scripted adapter";
  InstallAdapterLibrary(std::move(library));
}

}  // namespace scripted
