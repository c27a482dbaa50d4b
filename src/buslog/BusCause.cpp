#include "buslog/BusCause.h"

namespace {

BusCause& Slot() noexcept {
  thread_local BusCause cause;
  return cause;
}

}  // namespace

const BusCause& CurrentBusCause() noexcept { return Slot(); }

void BusCauseScope::Open(std::string text) {
  if (text.empty()) return;
  Slot() = std::make_shared<const std::string>(std::move(text));
  Opened_ = true;
}

BusCauseScope::~BusCauseScope() {
  if (Opened_) Slot().reset();
}
