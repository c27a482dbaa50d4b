#include "buslog/LoggingVME.h"

#include <cstring>
#include <exception>
#include <type_traits>

namespace {

// The host integer a block's first bytes form (at most four).
std::uint32_t Leading(const void* data, std::uint32_t count) {
  std::uint32_t value = 0;
  if (data != nullptr) std::memcpy(&value, data, count < 4 ? count : 4);
  return value;
}

}  // namespace

LoggingVME::LoggingVME(std::unique_ptr<TVMEInterface> connection, BusLog& log)
    : Connection_(std::move(connection)), Log_(log) {}

// Runs call; logs the access with value (for a read: what call returned),
// or with the error's message, which then goes on to the caller.
template <class Access>
auto LoggingVME::Logged(BusAccess access, std::uint32_t address, std::uint32_t bytes,
                        std::uint32_t value, Access&& call) {
  using Result = std::invoke_result_t<Access&>;
  try {
    if constexpr (std::is_void_v<Result>) {
      call();
      Log_.Add(access, address, bytes, value);
    } else {
      const Result result = call();
      Log_.Add(access, address, bytes, static_cast<std::uint32_t>(result));
      return result;
    }
  } catch (const std::exception& error) {
    Log_.Add(access, address, bytes, access == BusAccess::Read ? 0 : value, error.what());
    throw;
  } catch (...) {
    Log_.Add(access, address, bytes, access == BusAccess::Read ? 0 : value, "unknown error");
    throw;
  }
}

void LoggingVME::ResetAdapter() {
  Logged(BusAccess::Reset, 0, 0, 0, [this] { Connection_->ResetAdapter(); });
}

void LoggingVME::Write(std::uint32_t address, const void* data, std::uint32_t count) {
  Logged(BusAccess::Write, address, count, Leading(data, count),
         [&] { Connection_->Write(address, data, count); });
}

void LoggingVME::Write32(std::uint32_t address, std::uint32_t value) {
  Logged(BusAccess::Write, address, 4, value, [&] { Connection_->Write32(address, value); });
}

void LoggingVME::Write16(std::uint32_t address, std::uint16_t value) {
  Logged(BusAccess::Write, address, 2, value, [&] { Connection_->Write16(address, value); });
}

void LoggingVME::Read(std::uint32_t address, void* data, std::uint32_t count) {
  // Logged with what arrived in the block's first bytes.
  Logged(BusAccess::Read, address, count, 0, [&] {
    Connection_->Read(address, data, count);
    return Leading(data, count);
  });
}

std::uint32_t LoggingVME::Read32(std::uint32_t address) {
  return Logged(BusAccess::Read, address, 4, 0, [&] { return Connection_->Read32(address); });
}

std::uint16_t LoggingVME::Read16(std::uint32_t address) {
  return Logged(BusAccess::Read, address, 2, 0, [&] { return Connection_->Read16(address); });
}
