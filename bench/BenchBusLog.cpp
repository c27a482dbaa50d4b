// What the bus log adds to one register access: a 16-bit write through the
// Bit3 connection on the simulated crate, with and without the logging
// connection in front of it (under an open cause, as every handler's
// accesses are). The goal is less than 100 ns per access.

#include <benchmark/benchmark.h>

#include <memory>

#include "buslog/BusCause.h"
#include "buslog/LoggingVME.h"
#include "sim/AdapterCalls.h"
#include "sim/SimCrate.h"
#include "vme/TVMEWinBit3.h"

namespace {

constexpr std::uint32_t kCSR1 = sim::kTTCviBase + 0x80;

struct PoweredUp {
  // Power-up closes every open handle, so it must precede the connection.
  PoweredUp() {
    InstallAdapterLibrary(sim::SimulatedAdapterLibrary());
    sim::Crate::Instance().PowerUp();
  }
};

void BM_Write16Direct(benchmark::State& state) {
  PoweredUp crate;
  TVMEWinBit3 connection(0, 2, -1);
  std::uint16_t value = 0;
  for (auto _ : state) connection.Write16(kCSR1, value++ & 0x7008);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Write16Direct);

void BM_Write16Logged(benchmark::State& state) {
  PoweredUp crate;
  BusLog log;
  LoggingVME connection(std::make_unique<TVMEWinBit3>(0, 2, -1), log);
  const BusCauseScope cause([] { return std::string("Apply preset 'Physics'"); });
  std::uint16_t value = 0;
  for (auto _ : state) connection.Write16(kCSR1, value++ & 0x7008);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Write16Logged);

// The log's share alone: one entry into a full ring.
void BM_LogEntry(benchmark::State& state) {
  BusLog log;
  const BusCauseScope cause([] { return std::string("Apply preset 'Physics'"); });
  std::uint32_t value = 0;
  for (auto _ : state) log.Add(BusAccess::Write, kCSR1, 2, value++);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LogEntry);

}  // namespace
