// Start-up, close and help of the main window, and the program entry.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <filesystem>
#include <functional>
#include <memory>
#include <tuple>
#include <vector>

#include "UiTestSupport.h"
#include "operate/PanelModel.h"
#include "sim/SimCrate.h"
#include "support/RecordingVME.h"
#include "ui/Application.h"
#include "ui/FMain.h"
#include "ui/FSelectValue.h"
#include "ui/HelpViewer.h"
#include "ui/ModulePanel.h"
#include "ui/RadioGroup.h"
#include "vme/VMEErrors.h"

namespace {

using Log = std::vector<RecordingVME::Access>;
namespace fs = std::filesystem;

// The accesses of a normal start at a base address: reset, the four B-Go
// modes, then CSR1 with the internal orbit.
Log StartUpWrites(std::uint32_t base) {
  return {W16(base + 0x84, 0), W16(base + 0x90, 0), W16(base + 0x98, 0),
          W16(base + 0xA0, 0), W16(base + 0xA8, 0), W16(base + 0x80, 0x0008)};
}

// Passes every access on to a recorder that the test keeps.
class ForwardingVME : public TVMEInterface {
 public:
  explicit ForwardingVME(std::shared_ptr<RecordingVME> to) : To_(std::move(to)) {}
  void ResetAdapter() override { To_->ResetAdapter(); }
  void Write(std::uint32_t a, const void* d, std::uint32_t n) override { To_->Write(a, d, n); }
  void Write32(std::uint32_t a, std::uint32_t v) override { To_->Write32(a, v); }
  void Write16(std::uint32_t a, std::uint16_t v) override { To_->Write16(a, v); }
  void Read(std::uint32_t a, void* d, std::uint32_t n) override { To_->Read(a, d, n); }
  std::uint32_t Read32(std::uint32_t a) override { return To_->Read32(a); }
  std::uint16_t Read16(std::uint32_t a) override { return To_->Read16(a); }

 private:
  std::shared_ptr<RecordingVME> To_;
};

class StartUp : public ::testing::Test {
 protected:
  void SetUp() override { sim::Crate::Instance().PowerUp(); }

  // A factory for a recording connection; Vme points at it once made.
  ConnectionFactory Recording() {
    return [this] {
      auto connection = std::make_unique<RecordingVME>();
      Vme = connection.get();
      return connection;
    };
  }

  static std::vector<sim::BusCycle> SuccessfulWrites() {
    std::vector<sim::BusCycle> writes;
    for (const sim::BusCycle& cycle : sim::Crate::Instance().Cycles()) {
      if (cycle.write && cycle.status == 0) writes.push_back(cycle);
    }
    return writes;
  }

  // Runs the program entry on a recording connection; once its main window
  // shows, act runs with it. True when the program ended by itself: should
  // the loop outlive what act did, it is ended and the run fails, not hangs.
  bool RunUntilTheEnd(const std::function<void(QWidget* main)>& act) {
    return RunUntilTheEnd(Recording(), act);
  }
  bool RunUntilTheEnd(const ConnectionFactory& factory,
                      const std::function<void(QWidget* main)>& act) {
    bool acted = false;
    QTimer actor;
    actor.setInterval(0);
    QObject::connect(&actor, &QTimer::timeout, [&] {
      QWidget* main = TopLevel("frmMain");
      if (main == nullptr || !main->isVisible()) return;
      actor.stop();
      acted = true;
      act(main);
    });
    actor.start();
    bool loopOutlivedTheWindow = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
      loopOutlivedTheWindow = true;
      QApplication::exit(0);
    });
    watchdog.start(10000);
    EXPECT_EQ(RunQuorvane(factory), 0);
    EXPECT_TRUE(acted) << "the main window was never shown";
    return !loopOutlivedTheWindow;
  }

  ScopedWorkDir Dir;
  RecordingVME* Vme = nullptr;
};

TEST_F(StartUp, NormalStartThroughTheAdapterWritesResetModesAndCsr1) {
  auto window = std::make_unique<TfrmMain>(OpenBit3Connection);

  struct Expected {
    std::uint32_t offset;
    std::uint32_t value;
  };
  const Expected expected[] = {{0x84, 0}, {0x90, 0}, {0x98, 0}, {0xA0, 0}, {0xA8, 0}, {0x80, 8}};
  const std::vector<sim::BusCycle> cycles = sim::Crate::Instance().Cycles();
  ASSERT_EQ(cycles.size(), std::size(expected));
  for (std::size_t i = 0; i < cycles.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(cycles[i].write);
    EXPECT_EQ(cycles[i].address, sim::kTTCviBase + expected[i].offset);
    EXPECT_EQ(cycles[i].value, expected[i].value);
    EXPECT_EQ(cycles[i].width, 16u);
    EXPECT_EQ(cycles[i].addressModifier, sim::kA24NonPrivilegedData);
    EXPECT_EQ(cycles[i].status, 0);
  }
  EXPECT_EQ(sim::Crate::Instance().CSR1() & 0x707F, 0x0008);

  auto* panel = Control<TModulePanel>(window.get(), "Panel6");
  EXPECT_EQ(panel->Adapter(), QStringLiteral("Simulated crate"));
  EXPECT_EQ(panel->Address(), QStringLiteral("A24 0xFF1000"));
}

TEST_F(StartUp, ControlsAfterStartShowNoSourceAndTheFirstRate) {
  auto window = std::make_unique<TfrmMain>(OpenBit3Connection);
  EXPECT_EQ(Control<TRadioGroup>(window.get(), "rgTriggerSource")->ItemIndex(), -1);
  auto* rate = Control<QComboBox>(window.get(), "cbRanGenRate");
  EXPECT_EQ(rate->currentIndex(), 0);
  EXPECT_EQ(rate->currentText(), QStringLiteral("1 Hz"));
  EXPECT_FALSE(rate->isEnabled());
  EXPECT_FALSE(Control<QPushButton>(window.get(), "btVMETriger")->isEnabled());
  // Empty TTCrx address list: nothing selected.
  EXPECT_EQ(Control<QComboBox>(window.get(), "cmbTTC")->currentIndex(), -1);

  const int maxima[] = {239, 239, 15, 15};
  const char* selectors[] = {"frSelectReg0", "frSelectReg1", "frSelectReg2", "frSelectReg3"};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(selectors[i]);
    auto* selector = Control<TfrSelectValue>(window.get(), selectors[i]);
    EXPECT_EQ(Control<QSlider>(selector, "tbTrackBar")->maximum(), maxima[i]);
  }
  EXPECT_EQ(Control<TModulePanel>(window.get(), "Panel6")->Address(),
            QStringLiteral("A24 0xFF1000"));
  EXPECT_TRUE(window->Model().State().RetransmitOff.none());
  // No tab reload is under way: a mode box writes its channel's register.
  Control<QCheckBox>(window.get(), "chbEnable")->click();
  EXPECT_EQ(sim::Crate::Instance().BGoMode(0), 1);
}

TEST_F(StartUp, BaseAddressFromTheFileAddressesEveryRegisterAndIsSavedInDecimal) {
  WriteTextFile(Dir.IniPath(), "[TTCvi_Address]\nTTCviAddress=0xEE0000\n");
  auto window = std::make_unique<TfrmMain>(Recording());
  EXPECT_EQ(Vme->Log, StartUpWrites(0xEE0000));
  EXPECT_EQ(Control<TModulePanel>(window.get(), "Panel6")->Adapter(),
            QStringLiteral("Test connection"));
  EXPECT_EQ(Control<TModulePanel>(window.get(), "Panel6")->Address(),
            QStringLiteral("A24 0xEE0000"));

  window->show();
  Vme->Log.clear();
  EXPECT_TRUE(window->close());
  EXPECT_TRUE(Vme->Log.empty());  // nothing goes to the hardware at close
  const std::string saved = ReadTextFile(Dir.IniPath());
  EXPECT_NE(saved.find("TTCviAddress=15597568"), std::string::npos) << saved;
  EXPECT_EQ(saved.find("0xEE0000"), std::string::npos) << saved;
}

TEST_F(StartUp, WithoutAFileTheDefaultsAreUsedAndCloseCreatesIt) {
  ASSERT_FALSE(fs::exists(Dir.IniPath()));
  auto window = std::make_unique<TfrmMain>(Recording());
  EXPECT_EQ(Vme->Log, StartUpWrites(0xFF1000));
  EXPECT_FALSE(fs::exists(Dir.IniPath()));  // start-up writes no file

  window->show();
  EXPECT_TRUE(window->close());
  EXPECT_FALSE(window->isVisible());
  const std::string saved = ReadTextFile(Dir.IniPath());
  EXPECT_NE(saved.find("[TTCvi_Address]"), std::string::npos) << saved;
  EXPECT_NE(saved.find("TTCviAddress=16715776"), std::string::npos) << saved;
}

TEST_F(StartUp, AdapterThatCannotBeOpenedShowsTheErrorAndNoWindow) {
  sim::Crate::Instance().FailNext(sim::Call::Open, sim::kStatusInjected);
  bool mainWindowExisted = true;
  QWidget* boxParent = nullptr;
  ModalAnswer answer([&](QWidget* box) {
    mainWindowExisted = TopLevel("frmMain") != nullptr;
    boxParent = box->parentWidget();
    PressOk(box);
  });

  EXPECT_EQ(RunQuorvane(OpenBit3Connection), 0);
  EXPECT_TRUE(answer.Answered());
  EXPECT_EQ(answer.Title(), QStringLiteral("Quorvane"));
  EXPECT_TRUE(answer.Text().startsWith(QStringLiteral("VME Error: could not open device ")))
      << answer.Text().toStdString();
  EXPECT_FALSE(mainWindowExisted);
  EXPECT_EQ(boxParent, nullptr);
  EXPECT_TRUE(SuccessfulWrites().empty());
  EXPECT_EQ(TopLevel("frmMain"), nullptr);
}

TEST_F(StartUp, FailingStartUpWriteEndsTheStartThroughTheAdapter) {
  sim::Crate::Instance().FailNext(sim::Call::Write, sim::kStatusInjected);
  ModalAnswer answer(PressOk);
  EXPECT_EQ(RunQuorvane(OpenBit3Connection), 0);
  EXPECT_TRUE(answer.Answered());
  EXPECT_TRUE(answer.Text().startsWith(QStringLiteral("VME Error: write error device ")))
      << answer.Text().toStdString();
  EXPECT_TRUE(SuccessfulWrites().empty());  // the reset failed: nothing after it
}

TEST_F(StartUp, FailingStartUpWriteStopsConstructionWhereItFails) {
  // The recorder outlives the discarded window through a forwarding connection.
  auto recorder = std::make_shared<RecordingVME>();
  recorder->FailAccess(2);  // the mode write of channel 1
  const ConnectionFactory forwarding = [recorder] {
    return std::make_unique<ForwardingVME>(recorder);
  };
  EXPECT_THROW(TfrmMain window(forwarding), EVMEWrite);
  EXPECT_EQ(recorder->Log, (Log{W16(0xFF1084, 0), W16(0xFF1090, 0)}));
}

TEST_F(StartUp, FactoryWithoutAConnectionIsAnErrorNotACrash) {
  const ConnectionFactory none = [] { return std::unique_ptr<TVMEInterface>(); };
  EXPECT_THROW(TfrmMain window(none), Exception);
}

TEST_F(StartUp, ReadOnlyFileKeepsTheWindowOpenUntilItCanBeSaved) {
  WriteTextFile(Dir.IniPath(), "[TTCvi_Address]\nTTCviAddress=0xEE0000\n");
  auto window = std::make_unique<TfrmMain>(Recording());
  window->show();
  QSignalSpy closed(window.get(), &TfrmMain::Closed);

  fs::permissions(Dir.IniPath(),
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  {
    ModalAnswer answer(PressOk);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(answer.Answered());
    EXPECT_EQ(answer.Text(), QStringLiteral("Unable to write to ../quorvane.ini."));
  }
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(closed.count(), 0);
  EXPECT_EQ(ReadTextFile(Dir.IniPath()), "[TTCvi_Address]\nTTCviAddress=0xEE0000\n");

  fs::permissions(Dir.IniPath(), fs::perms::owner_write, fs::perm_options::add);
  EXPECT_TRUE(window->close());
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(closed.count(), 1);
  EXPECT_NE(ReadTextFile(Dir.IniPath()).find("TTCviAddress=15597568"), std::string::npos);
}

TEST_F(StartUp, HelpAsksForTheContentsOfVoruraEachTime) {
  auto window = std::make_unique<TfrmMain>(Recording());
  window->show();
  const int before = HelpViewer::RequestCount();
  auto* help = Control<QPushButton>(window.get(), "bHelp");
  QTest::mouseClick(help, Qt::LeftButton);
  EXPECT_EQ(HelpViewer::RequestCount(), before + 1);
  EXPECT_EQ(HelpViewer::LastHelpFile(), QStringLiteral("Vorura.hlp"));
  QTest::mouseClick(help, Qt::LeftButton);
  EXPECT_EQ(HelpViewer::RequestCount(), before + 2);
  EXPECT_EQ(Vme->Log, StartUpWrites(0xFF1000));  // help sends nothing
}

TEST_F(StartUp, ProgramRunsUntilTheMainWindowIsClosedEvenWithHelpOpen) {
  bool dialogsExisted = false;
  EXPECT_TRUE(RunUntilTheEnd([&](QWidget* main) {
    dialogsExisted = TopLevel("dlgRxControlRegister") != nullptr &&
                     TopLevel("B_GoDataDlg") != nullptr && TopLevel("OKBottomDlg") != nullptr &&
                     TopLevel("frmDataForSave") != nullptr;
    Control<QPushButton>(main, "bHelp")->click();  // a help window may stay open
    main->close();
  }));
  if (QWidget* help = TopLevel("HelpWindow")) help->hide();
  EXPECT_TRUE(dialogsExisted);
  EXPECT_NE(ReadTextFile(Dir.IniPath()).find("TTCviAddress=16715776"), std::string::npos);
  EXPECT_EQ(TopLevel("frmMain"), nullptr);  // all windows end with the run
}

TEST_F(StartUp, TerminationSignalClosesAndSavesLikeAClose) {
  EXPECT_TRUE(RunUntilTheEnd([](QWidget* main) {
    Control<QLineEdit>(main, "eRxName")->setText(QStringLiteral("Rx7"));
    Control<QLineEdit>(main, "eRxAddres")->setText(QStringLiteral("7"));
    Control<QPushButton>(main, "bAddRxAddres")->click();
    std::raise(SIGTERM);
  }));
  EXPECT_NE(ReadTextFile(Dir.IniPath()).find("RxAddress0=Rx7=7"), std::string::npos);
}

TEST_F(StartUp, CreatedWindowsHandTheDialogsToTheMainWindow) {
  QuorvaneWindows windows = CreateQuorvaneWindows(Recording());
  ASSERT_NE(windows.frmMain, nullptr);
  EXPECT_EQ(static_cast<void*>(&windows.frmMain->Dialogs().RxControlRegister()),
            static_cast<void*>(windows.dlgRxControlRegister.get()));
  EXPECT_EQ(static_cast<void*>(&windows.frmMain->Dialogs().Sequence()),
            static_cast<void*>(windows.B_GoDataDlg.get()));
  EXPECT_EQ(static_cast<void*>(&windows.frmMain->Dialogs().DataForSave()),
            static_cast<void*>(windows.frmDataForSave.get()));
  EXPECT_NE(windows.OKBottomDlg, nullptr);
  EXPECT_FALSE(windows.frmMain->isVisible());  // shown by the program entry only
}

// A preset that loads FIFOs 0 and 1, each load followed by its box.
constexpr const char* kTwoFifoPresetFile =
    "[PreSettings]\nNoOfPreSets=1\n[PreSettingsPreset0]\nRxName=Rx1\n[PreSettingsSeq0]\n"
    "NoOfVectors=1\n[PreSettingsSeq1]\nNoOfVectors=1\n[Rx_Addresses]\nNoOfRxAddresses=1\n"
    "RxAddress0=Rx1=5\n";

constexpr const char* kHandEdit = "; by hand\n[TTCvi_Address]\nTTCviAddress=0xEE0000\n";

// True when some program holds a module lock in the panel's lock folder.
bool ModuleHeld() {
  for (const auto& entry : fs::directory_iterator(PanelLockFolders().at(0))) {
    const int fd = open(entry.path().c_str(), O_RDONLY | O_CLOEXEC);
    const bool held = flock(fd, LOCK_EX | LOCK_NB) != 0;
    close(fd);
    if (held) return true;
  }
  return false;
}

// Here the file is also changed by hand while the panel runs: nobody is there
// to ask, so the settings go beside it.
TEST_F(StartUp, SignalDuringApplyStopsItAtItsBoxThenSavesAndLetsTheModuleGo) {
  WriteTextFile(Dir.IniPath(), kTwoFifoPresetFile);
  std::string box;
  std::size_t cyclesAtSignal = 0;
  bool heldWhenClosed = true;
  testing::internal::CaptureStderr();
  EXPECT_TRUE(RunUntilTheEnd(OpenBit3Connection, [&](QWidget* main) {
    QObject::connect(static_cast<TfrmMain*>(main), &TfrmMain::Closed,
                     [&] { heldWhenClosed = ModuleHeld(); });
    Control<QComboBox>(main, "lbPresettings")->setCurrentIndex(0);
    ModalAnswer answer([&](QWidget* modal) {
      box = DescribeModal(modal);
      cyclesAtSignal = sim::Crate::Instance().Cycles().size();
      WriteTextFile(Dir.IniPath(), kHandEdit);
      std::raise(SIGTERM);  // the box is left to the signal
    });
    Control<QPushButton>(main, "bAplayPreset")->click();
  }));
  const std::string told = testing::internal::GetCapturedStderr();
  EXPECT_NE(box.find("\"B-Go Fifo [0] loaded\""), std::string::npos) << box;
  EXPECT_EQ(sim::Crate::Instance().Cycles().size(), cyclesAtSignal);  // FIFO 1 never loaded
  EXPECT_FALSE(heldWhenClosed);
  EXPECT_EQ(ReadTextFile(Dir.IniPath()), kHandEdit);
  std::vector<fs::path> beside;
  for (const auto& entry : fs::directory_iterator(Dir.Root()))
    if (entry.is_regular_file() && entry.path() != Dir.IniPath()) beside.push_back(entry);
  ASSERT_EQ(beside.size(), 1u);
  EXPECT_NE(ReadTextFile(beside[0]).find("NoOfPreSets=1"), std::string::npos);
  EXPECT_NE(told.find(fs::canonical(beside[0]).string()), std::string::npos) << told;
}

TEST_F(StartUp, SignalDuringTheSaveErrorBoxTriesTheCloseAgainOnceItIsAnswered) {
  WriteTextFile(Dir.IniPath(), "");
  fs::permissions(Dir.IniPath(), fs::perms::owner_read);
  ModalAnswers answers({[](QWidget* modal) {
                          std::raise(SIGTERM);
                          QCoreApplication::processEvents();  // the signal reaches the panel
                          PressOk(modal);
                        },
                        PressOk});
  bool stayedOpen = false;
  QTimer further;  // the second box answered: the file is fixed, one more signal
  QObject::connect(&further, &QTimer::timeout, [&] {
    if (answers.Answered() < 2 || QApplication::activeModalWidget() != nullptr) return;
    further.stop();
    stayedOpen = TopLevel("frmMain")->isVisible();
    fs::permissions(Dir.IniPath(), fs::perms::owner_write, fs::perm_options::add);
    std::raise(SIGTERM);
  });
  further.start(0);
  EXPECT_TRUE(RunUntilTheEnd([](QWidget* main) { EXPECT_FALSE(main->close()); }));
  EXPECT_EQ(answers.Texts(), QStringList(2, QStringLiteral("Unable to write to ../quorvane.ini.")));
  EXPECT_TRUE(stayedOpen);
  EXPECT_NE(ReadTextFile(Dir.IniPath()).find("TTCviAddress=16715776"), std::string::npos);
}

TEST_F(StartUp, FileChangedSinceStartIsSavedOverOnlyWhenTheOperatorSaysSo) {
  const std::tuple<const char*, bool, std::string> cases[] = {
      {"Overwrite", true, "; by hand\n[TTCvi_Address]\nTTCviAddress=16715776\n"},
      {"Keep", true, kHandEdit},
      {"Cancel", false, kHandEdit}};
  for (const auto& [button, closes, saved] : cases) {
    SCOPED_TRACE(button);
    fs::remove(Dir.IniPath());
    auto window = std::make_unique<TfrmMain>(Recording());
    window->show();
    WriteTextFile(Dir.IniPath(), kHandEdit);
    ModalAnswer answer([&](QWidget* modal) {
      EXPECT_EQ(modal->objectName(), QStringLiteral("FileChangedBox"));
      if (auto* pressed = Control<QPushButton>(modal, button))
        pressed->click();
      else
        CloseModal(modal);
    });
    EXPECT_EQ(window->close(), closes);
    EXPECT_EQ(answer.Title(), QStringLiteral("Quorvane"));
    EXPECT_EQ(ReadTextFile(Dir.IniPath()).substr(0, saved.size()), saved);
  }
}

}  // namespace
