// What every provider of the nine calls owes the connection, checked over
// each of them through the real TVMEWinBit3: the simulated crate, the SBS
// adapter over our fake libbtp and the CAEN adapter over our fake
// libCAENVME, each chosen as the program chooses it. A refused call raises
// the connection's error with the provider's own text, the connection stays
// usable, a refused close is traced, a missing text reads as unavailable.

#include <gtest/gtest.h>

#include <cerrno>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "adapters/AdapterTestSupport.h"
#include "crate/SelectAdapter.h"
#include "fake_caen/FakeCaen.h"
#include "fake_sbs/FakeSbs.h"
#include "sim/SimCrate.h"
#include "vme/TVMEWinBit3.h"

namespace {

using adapter_test::RaisedBy;

// The calls a provider can be made to refuse; the address-modifier
// parameters are asked while opening.
enum class Kind { Open, GetDma, SetDma, GetPio, SetPio, Write, Read, Reset, Close };

struct Provider {
  const char* name;
  const char* device;  // what the connection names in its messages
  void (*select)();    // a fresh library, installed as at start
  // Makes the next call of kind fail, with a text or (withText false)
  // without one; gives the text the provider has for it, or nothing when
  // this provider has no such call.
  std::optional<std::string> (*refuse)(Kind kind, bool withText);
  std::size_t (*open)();  // handles the library still holds
};

// ---- the simulated crate: it fails the next call of a kind, not the second ----

void SelectSim() { crate::SelectAdapter("sim", crate::CrateSettings{}); }

std::optional<std::string> RefuseSim(Kind kind, bool withText) {
  const std::map<Kind, sim::Call> calls = {
      {Kind::Open, sim::Call::Open},      {Kind::GetDma, sim::Call::GetInfo},
      {Kind::SetDma, sim::Call::SetInfo}, {Kind::Write, sim::Call::Write},
      {Kind::Read, sim::Call::Read},      {Kind::Reset, sim::Call::Reset},
      {Kind::Close, sim::Call::Close}};
  const auto call = calls.find(kind);
  if (call == calls.end()) return std::nullopt;
  const bt_error_t status = withText ? sim::kStatusInjected + 1 : sim::kStatusUndescribed;
  sim::Crate::Instance().FailNext(call->second, status);
  return withText ? "injected failure (status " + std::to_string(status) + ")" : "";
}

// ---- the SBS adapter ----

void SelectSbs() {
  using namespace fake_sbs;
  Reset();
  State().parameters = {{kInfoDmaAmod, 0x09}, {kInfoPioAmod, 0x09}};
  State().texts = {{kEFAIL, "operation failed"},
                   {kEACCESS, "permission denied"},
                   {kEIO, "remote bus error"},
                   {kENOPWR, "remote power off or cable disconnected"}};
  crate::CrateSettings settings;
  settings.SbsLibrary = QUORVANE_FAKE_SBS;
  crate::SelectAdapter("sbs", settings);
}

std::optional<std::string> RefuseSbs(Kind kind, bool withText) {
  using namespace fake_sbs;
  struct Refusal {
    fake_sbs::Call call;
    std::deque<int> statuses;
    const char* text;
  };
  // A transfer the driver refuses reaches the caller as errno: EIO, not BT_EACCESS.
  const std::map<Kind, Refusal> refusals = {
      {Kind::GetDma, {Call::GetInfo, {kEACCESS}, "permission denied"}},
      {Kind::SetDma, {Call::SetInfo, {kEACCESS}, "permission denied"}},
      {Kind::GetPio,
       {Call::GetInfo, {kSuccess, kENOPWR}, "remote power off or cable disconnected"}},
      {Kind::SetPio, {Call::SetInfo, {kSuccess, kEACCESS}, "permission denied"}},
      {Kind::Write, {Call::Write, {EIO}, "Input/output error"}},
      {Kind::Read, {Call::Read, {EIO}, "Input/output error"}},
      {Kind::Reset, {Call::Reset, {kENOPWR}, "remote power off or cable disconnected"}},
      {Kind::Close, {Call::Close, {kEIO}, "remote bus error"}}};
  State().strerrorGivesNull = !withText;
  if (kind == Kind::Open) {  // no device file: the library's BT_EFAIL, and what the system says
    State().missing.insert("/dev/btp160");
    return "operation failed; /dev/btp160 does not exist: load the SBS/Bit3 driver (btp) and "
           "create its device files";
  }
  const Refusal& refusal = refusals.at(kind);
  State().statuses[refusal.call] = refusal.statuses;
  return withText ? refusal.text : "";
}

// ---- the CAEN adapter: the bridge has no parameters to ask ----

void SelectCaen() {
  fake_caen::Reset();
  crate::CrateSettings settings;
  settings.HaveBridge = true;
  settings.Caen = {caen::Bridge::V2718, 1, 2, ""};
  settings.CaenLibrary = QUORVANE_FAKE_CAEN;
  crate::SelectAdapter("caen", settings);
}

std::optional<std::string> RefuseCaen(Kind kind, bool withText) {
  using fake_caen::Call;
  const std::map<Kind, std::pair<Call, CVErrorCodes>> refusals = {
      {Kind::Open, {Call::Init, cvCommError}},
      {Kind::Write, {Call::Write, cvBusError}},
      {Kind::Read, {Call::Read, cvBusError}},
      {Kind::Reset, {Call::SystemReset, cvTimeoutError}},
      {Kind::Close, {Call::End, cvCommError}}};
  const auto refusal = refusals.find(kind);
  if (refusal == refusals.end()) return std::nullopt;
  fake_caen::State().decodeGivesNull = !withText;
  fake_caen::Queue(refusal->second.first, {refusal->second.second});
  return withText ? fake_caen::Decoded(refusal->second.second) : "";
}

// Test names and failures name the provider, not its address.
void PrintTo(const Provider* provider, std::ostream* out) { *out << provider->name; }

const Provider kProviders[] = {
    {"sim", sim::kDeviceName, SelectSim, RefuseSim,
     [] { return std::size_t{sim::Crate::Instance().OpenHandleCount()}; }},
    {"sbs", "/dev/btp160", SelectSbs, RefuseSbs, fake_sbs::OpenDescriptors},
    {"caen", "caen-v2718-1-2", SelectCaen, RefuseCaen, fake_caen::OpenHandles},
};

class AdapterContract : public ::testing::TestWithParam<const Provider*> {
 protected:
  void SetUp() override { Provider().select(); }
  void TearDown() override {
    fake_sbs::Reset();
    fake_caen::Reset();
    sim::Crate::Instance().PowerUp();
  }
  const ::Provider& Provider() const { return *GetParam(); }

  adapter_test::TraceCapture trace;
};

TEST_P(AdapterContract, RefusedCallsRaiseTheConnectionsErrorsWithTheProvidersText) {
  struct Case {
    const char* label;
    Kind kind;
    void (*action)(TVMEWinBit3&);  // null: the failure is in opening
    const char* type;
    const char* head;  // the device name and the provider's text follow
  };
  const Case cases[] = {
      {"open", Kind::Open, nullptr, "EVMEOpen", "VME Error: could not open device "},
      {"get DMA modifier", Kind::GetDma, nullptr, "EVME", "VME Errordevice "},
      {"set DMA modifier", Kind::SetDma, nullptr, "EVME", "VME Errordevice "},
      {"get PIO modifier", Kind::GetPio, nullptr, "EVME", "VME Errordevice "},
      {"set PIO modifier", Kind::SetPio, nullptr, "EVME", "VME Errordevice "},
      {"write", Kind::Write, [](TVMEWinBit3& c) { c.Write16(0xFF1080, 1); }, "EVMEWrite",
       "VME Error: write error device "},
      {"read", Kind::Read, [](TVMEWinBit3& c) { c.Read32(0xFF10B0); }, "EVMERead",
       "VME Error: read error device "},
      {"reset", Kind::Reset, [](TVMEWinBit3& c) { c.ResetAdapter(); }, "EVME", "VME Errordevice "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Provider().select();
    const std::optional<std::string> text = Provider().refuse(c.kind, true);
    if (!text) continue;
    std::unique_ptr<TVMEWinBit3> connection;
    const auto raised = RaisedBy([&] {
      connection = std::make_unique<TVMEWinBit3>(0, 2, -1);
      if (c.action != nullptr) c.action(*connection);
    });
    ASSERT_TRUE(raised);
    EXPECT_EQ(raised->type, c.type);
    EXPECT_EQ(raised->message, c.head + std::string(Provider().device) + ": " + *text);
    if (c.action == nullptr) {
      EXPECT_FALSE(connection);
      EXPECT_EQ(Provider().open(), 0u);  // a half-opened connection is closed
      continue;
    }
    EXPECT_FALSE(connection->IsBusy());
    EXPECT_FALSE(RaisedBy([&] { connection->Write16(0xFF1080, 2); }));  // still usable
  }
}

TEST_P(AdapterContract, RefusedCloseIsTracedWithTheProvidersText) {
  DebugLog.Threshold = 1;
  std::string text;
  {
    TVMEWinBit3 connection(0, 2, -1);
    text = Provider().refuse(Kind::Close, true).value();
  }
  EXPECT_NE(trace.Text().find("VME Errordevice " + std::string(Provider().device) + ": " + text),
            std::string::npos)
      << trace.Text();
}

TEST_P(AdapterContract, MissingTextReadsAsUnavailable) {
  TVMEWinBit3 connection(0, 2, -1);
  ASSERT_EQ(Provider().refuse(Kind::Reset, false), "");
  const auto raised = RaisedBy([&] { connection.ResetAdapter(); });
  ASSERT_TRUE(raised);
  EXPECT_EQ(raised->message,
            "VME Errordevice " + std::string(Provider().device) + "error description anavailable");
}

INSTANTIATE_TEST_SUITE_P(EachProvider, AdapterContract,
                         ::testing::Values(&kProviders[0], &kProviders[1], &kProviders[2]),
                         [](const ::testing::TestParamInfo<const Provider*>& info) {
                           return std::string(info.param->name);
                         });

}  // namespace
