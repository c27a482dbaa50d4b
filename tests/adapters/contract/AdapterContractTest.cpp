// What every provider of the nine calls owes the connection, checked over
// each of them through the real TVMEWinBit3: the simulated crate, the SBS
// adapter over our fake libbtp and the CAEN adapter over our fake
// libCAENVME, each chosen as the program chooses it. A refused call raises
// the connection's error with the provider's own text, the connection stays
// usable, a refused close is traced, a missing text reads as unavailable.

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
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

// ---- the simulated crate ----

void SelectSim() { crate::SelectAdapter("sim", crate::CrateSettings{}); }

std::optional<std::string> RefuseSim(Kind kind, bool withText) {
  sim::Call call = sim::Call::Open;
  switch (kind) {
    case Kind::Open:
      break;
    case Kind::GetDma:
      call = sim::Call::GetInfo;
      break;
    case Kind::SetDma:
      call = sim::Call::SetInfo;
      break;
    case Kind::GetPio:
    case Kind::SetPio:
      return std::nullopt;  // the crate fails the next call of a kind, not the second
    case Kind::Write:
      call = sim::Call::Write;
      break;
    case Kind::Read:
      call = sim::Call::Read;
      break;
    case Kind::Reset:
      call = sim::Call::Reset;
      break;
    case Kind::Close:
      call = sim::Call::Close;
      break;
  }
  const bt_error_t status = withText ? sim::kStatusInjected + 1 : sim::kStatusUndescribed;
  sim::Crate::Instance().FailNext(call, status);
  return withText ? "injected failure (status " + std::to_string(status) + ")" : "";
}

std::size_t OpenOnSim() { return sim::Crate::Instance().OpenHandleCount(); }

// ---- the SBS adapter ----

void SelectSbs() {
  fake_sbs::Reset();
  fake_sbs::State().parameters = {{fake_sbs::kInfoDmaAmod, 0x09}, {fake_sbs::kInfoPioAmod, 0x09}};
  fake_sbs::State().texts = {{fake_sbs::kEFAIL, "operation failed"},
                             {fake_sbs::kEACCESS, "permission denied"},
                             {fake_sbs::kEIO, "remote bus error"},
                             {fake_sbs::kENOPWR, "remote power off or cable disconnected"}};
  crate::CrateSettings settings;
  settings.SbsLibrary = QUORVANE_FAKE_SBS;
  crate::SelectAdapter("sbs", settings);
}

std::optional<std::string> RefuseSbs(Kind kind, bool withText) {
  using fake_sbs::Call;
  using fake_sbs::Queue;
  fake_sbs::State().strerrorGivesNull = !withText;
  switch (kind) {
    case Kind::Open:
      // The device file is not there: the library's BT_EFAIL, and what the
      // file system says.
      fake_sbs::State().missing.insert("/dev/btp160");
      return "operation failed; /dev/btp160 does not exist: load the SBS/Bit3 driver (btp) and "
             "create its device files";
    case Kind::GetDma:
      Queue(Call::GetInfo, {fake_sbs::kEACCESS});
      return "permission denied";
    case Kind::SetDma:
      Queue(Call::SetInfo, {fake_sbs::kEACCESS});
      return "permission denied";
    case Kind::GetPio:
      Queue(Call::GetInfo, {fake_sbs::kSuccess, fake_sbs::kENOPWR});
      return "remote power off or cable disconnected";
    case Kind::SetPio:
      Queue(Call::SetInfo, {fake_sbs::kSuccess, fake_sbs::kEACCESS});
      return "permission denied";
    case Kind::Write:
      // The driver's refusal reaches the caller as errno: EIO, not BT_EACCESS.
      Queue(Call::Write, {EIO});
      return "Input/output error";
    case Kind::Read:
      Queue(Call::Read, {EIO});
      return "Input/output error";
    case Kind::Reset:
      Queue(Call::Reset, {fake_sbs::kENOPWR});
      return withText ? "remote power off or cable disconnected" : "";
    case Kind::Close:
      Queue(Call::Close, {fake_sbs::kEIO});
      return "remote bus error";
  }
  return std::nullopt;
}

std::size_t OpenOnSbs() { return fake_sbs::OpenDescriptors(); }

// ---- the CAEN adapter ----

void SelectCaen() {
  fake_caen::Reset();
  crate::CrateSettings settings;
  settings.HaveBridge = true;
  settings.Caen.Model = caen::Bridge::V2718;
  settings.Caen.Link = 1;
  settings.Caen.Node = 2;
  settings.CaenLibrary = QUORVANE_FAKE_CAEN;
  crate::SelectAdapter("caen", settings);
}

std::optional<std::string> RefuseCaen(Kind kind, bool withText) {
  using fake_caen::Call;
  fake_caen::State().decodeGivesNull = !withText;
  auto refuse = [](Call call, CVErrorCodes status) {
    fake_caen::Queue(call, {status});
    return fake_caen::State().decodeGivesNull ? std::string() : fake_caen::Decoded(status);
  };
  switch (kind) {
    case Kind::Open:
      return refuse(Call::Init, cvCommError);
    case Kind::GetDma:
    case Kind::SetDma:
    case Kind::GetPio:
    case Kind::SetPio:
      return std::nullopt;  // the bridge has no such parameters to ask
    case Kind::Write:
      return refuse(Call::Write, cvBusError);
    case Kind::Read:
      return refuse(Call::Read, cvBusError);
    case Kind::Reset:
      return refuse(Call::SystemReset, cvTimeoutError);
    case Kind::Close:
      return refuse(Call::End, cvCommError);
  }
  return std::nullopt;
}

std::size_t OpenOnCaen() { return fake_caen::OpenHandles(); }

// Test names and failures name the provider, not its address.
void PrintTo(const Provider* provider, std::ostream* out) { *out << provider->name; }

const Provider kProviders[] = {
    {"sim", sim::kDeviceName, SelectSim, RefuseSim, OpenOnSim},
    {"sbs", "/dev/btp160", SelectSbs, RefuseSbs, OpenOnSbs},
    {"caen", "caen-v2718-1-2", SelectCaen, RefuseCaen, OpenOnCaen},
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
