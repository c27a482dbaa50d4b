// The software path of one register write: TTTCvi -> TVMEWinBit3 (guard,
// aligned copy, trace calls) -> the adapter library (here the simulated
// crate). On real hardware a VME single cycle takes about a microsecond; the
// software around it must stay well below that.

#include <benchmark/benchmark.h>

#include "sim/AdapterCalls.h"
#include "sim/SimCrate.h"
#include "ttcvi/TTTCvi.h"
#include "vme/TVMEWinBit3.h"

namespace {

// A powered-up simulated crate, the Bit3 connection and the module on it.
struct Bench {
  // Power-up first: it closes every open handle, so it must precede the connection.
  struct PoweredUp {
    PoweredUp() {
      InstallAdapterLibrary(sim::SimulatedAdapterLibrary());
      sim::Crate::Instance().PowerUp();
    }
  } Crate;
  TVMEWinBit3 Connection{0, 2, -1};
  TTTCvi Module{&Connection, sim::kTTCviBase};
};

void BM_RegisterWrite16(benchmark::State& state) {
  Bench bench;
  TTTCvi& module = bench.Module;
  std::uint16_t value = 0;
  for (auto _ : state) module.WriteCSR1(value++ & 0x7008);  // one 16-bit write at CSR1
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RegisterWrite16);

void BM_CSR1Write(benchmark::State& state) {
  Bench bench;
  TTTCvi& module = bench.Module;
  int rate = 0;
  for (auto _ : state) module.SetRandomRate(rate++ & 7);  // shadow update + one CSR1 write
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CSR1Write);

void BM_LongAsyncCycle(benchmark::State& state) {
  Bench bench;
  TTTCvi& module = bench.Module;
  int data = 0;
  for (auto _ : state) module.SendLongAsync(0x1234, 0, data++ & 0xFF);  // two writes
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LongAsyncCycle);

}  // namespace
