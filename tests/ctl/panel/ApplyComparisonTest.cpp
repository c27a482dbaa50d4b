// The window's Apply and quorvane-ctl apply on the simulated crate, from the
// same start state: the same bus cycles, the command's preceded only by its
// read of CSR1 (it has no shadow of its own).

#include <QRadioButton>
#include <sstream>

#include "ctl/Ctl.h"
#include "support/TempFolder.h"
#include "ui/PresetFile.h"
#include "ui/RadioGroup.h"
#include "ui/SimPanel.h"
#include "vme/TVMEWinBit3.h"

namespace {

struct Cycle {
  bool write;
  std::uint32_t address;
  unsigned width;
  std::uint32_t value;
  bt_error_t status;
  bool operator==(const Cycle&) const = default;
};
void PrintTo(const Cycle& c, std::ostream* out) {
  *out << (c.write ? "W" : "R") << c.width << std::hex << " 0x" << c.address << " 0x" << c.value
       << std::dec << " status " << c.status;
}

std::vector<Cycle> TakeCycles() {
  std::vector<Cycle> cycles;
  for (const sim::BusCycle& c : sim::Crate::Instance().Cycles())
    cycles.push_back({c.write, c.address, c.width, c.value, c.status});
  sim::Crate::Instance().ClearCycles();
  return cycles;
}

class ApplyComparison : public SimPanel {
 protected:
  void StartWith(const std::string& content) {
    Windows = {};
    WriteTextFile(Dir.IniPath(), content);
    SetUp();
  }
  int RunCtl(const std::vector<std::string>& arguments) {
    CtlEnvironment environment;
    environment.Out = &Out;
    environment.Err = &Err;
    environment.Select = [](const std::string&) {
      crate::CrateChoice choice;
      choice.Adapter = "sim";
      choice.ChosenBy = "the command line";
      choice.Simulated = true;
      return choice;
    };
    environment.Connect = [](const std::string&) -> std::unique_ptr<TVMEInterface> {
      return std::make_unique<TVMEWinBit3>(0, 2, -1);
    };
    environment.DefaultConfig = Dir.IniPath();
    // Not the panel's lock folder: here the two take turns on purpose.
    environment.LockFolders = {Locks.Path()};
    return ::RunCtl(arguments, environment);
  }

  TempFolder Locks;
  std::ostringstream Out;
  std::ostringstream Err;
};

TEST_F(ApplyComparison, WindowAndCommandSendTheSameCycles) {
  std::string missingRx = kPhysicsPresetFile;
  missingRx.replace(missingRx.find("RxName=rx1"), 10, "RxName=nobody");
  // Channel 0's retransmission off: the panel's Retransmit box (tab B-Go 0)
  // follows it and writes CSR2 once more.
  std::string retransmitOff = kPhysicsPresetFile;
  retransmitOff.replace(retransmitOff.find("B_Go14=1"), 8, "B_Go04=1");
  struct Case {
    std::string file;
    int status;
    std::string out;
    QStringList boxes;  // what the window shows, in order
  };
  const Case cases[] = {
      {kPhysicsPresetFile, 0, "B-Go Fifo [2] loaded\n", {"B-Go Fifo [2] loaded"}},
      {missingRx, 2, "", {"'' is not a valid integer value."}},
      {retransmitOff, 0, "B-Go Fifo [2] loaded\n", {"B-Go Fifo [2] loaded"}},
  };
  for (const Case& c : cases) {
    StartWith(c.file);
    // A start state the operator made: trigger source 2 besides start-up's orbit.
    QRadioButton* source = Find<TRadioGroup>("rgTriggerSource")->Button(2);
    ASSERT_NE(source, nullptr);
    QTest::mouseClick(source, Qt::LeftButton, {}, QPoint(7, source->height() / 2));
    ASSERT_EQ(Crate().CSR1(), 0x000A);
    TakeCycles();

    // The command first: the window's cycles depend on its controls and
    // shadows only, which the command does not touch.
    Out.str("");
    Err.str("");
    EXPECT_EQ(RunCtl({"apply", "Physics"}), c.status) << Err.str();
    EXPECT_EQ(Out.str(), c.out);
    if (c.status != 0) {
      EXPECT_NE(Err.str().find("Preset \"Physics\" is for TTCrx \"nobody\", which has no address"),
                std::string::npos)
          << Err.str();
    }
    std::vector<Cycle> command = TakeCycles();
    // The command checks the TTCrx before it opens the module; the window
    // stops at its first TTCrx write.
    if (c.status != 0) {
      EXPECT_TRUE(command.empty());
    }

    Find<QComboBox>("lbPresettings")->setCurrentIndex(0);
    std::vector<ModalAnswer::Answer> answers(static_cast<std::size_t>(c.boxes.size()), PressOk);
    ModalAnswers answer(answers);
    Click("bAplayPreset");
    EXPECT_EQ(answer.Texts(), c.boxes);
    const std::vector<Cycle> window = TakeCycles();

    EXPECT_GT(window.size(), 8u);  // at least rate, source, orbit and the inhibits
    if (c.status != 0) continue;
    ASSERT_FALSE(command.empty());
    EXPECT_EQ(command.front(), (Cycle{false, sim::kTTCviBase + 0x80, 16, 0x000A, 0}));
    command.erase(command.begin());
    EXPECT_EQ(command, window);
  }
}

}  // namespace
