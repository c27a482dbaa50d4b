// The crate monitor: offered on the simulated crate only, and following it
// live as the operator works.

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QSlider>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>

#include "SimPanel.h"
#include "monitor/FCrateMonitor.h"
#include "sim/SimSettings.h"
#include "support/ExampleConfigFile.h"
#include "support/RecordingVME.h"
#include "ui/BusLogFeed.h"
#include "ui/FSelectValue.h"

namespace {

// The button that shows action.
QToolButton* ButtonOf(QAction* action) {
  for (QObject* view : action->associatedObjects())
    if (auto* button = qobject_cast<QToolButton*>(view)) return button;
  return nullptr;
}

class CrateMonitor : public SimPanel {
 protected:
  // The program as a build with the simulated crate starts it.
  void SetUp() override { StartWith(std::string()); }
  void TearDown() override { Crate().PowerUp(); }

  void StartWith(const std::string& content) {
    Windows = {};
    if (!content.empty()) WriteTextFile(Dir.IniPath(), content);
    Windows = CreateQuorvaneWindows(OpenBit3Connection, OpenCrateMonitor);
    Main = Windows.frmMain.get();
    Main->show();
    QApplication::setActiveWindow(Main);
    ASSERT_TRUE(QTest::qWaitForWindowActive(Main));
  }

  // Opens the monitor with its button.
  TfrmCrateMonitor* Open() {
    QToolButton* button = ButtonOf(Find<QAction>("actCrateMonitor"));
    EXPECT_NE(button, nullptr);
    if (button == nullptr) return nullptr;
    QTest::mouseClick(button, Qt::LeftButton);
    return qobject_cast<TfrmCrateMonitor*>(TopLevel("frmCrateMonitor"));
  }
};

TEST_F(CrateMonitor, IsOfferedOnlyWhenTheCrateIsSimulated) {
  auto* action = Find<QAction>("actCrateMonitor");
  EXPECT_TRUE(action->isVisible());
  EXPECT_TRUE(ButtonOf(action)->isVisible());
  EXPECT_EQ(action->shortcut(), QKeySequence(QStringLiteral("Ctrl+M")));
  QTest::keyClick(Main, Qt::Key_M, Qt::ControlModifier);
  ASSERT_NE(TopLevel("frmCrateMonitor"), nullptr);
  EXPECT_TRUE(TopLevel("frmCrateMonitor")->isVisible());
  EXPECT_EQ(TopLevel("frmCrateMonitor")->windowTitle(), QStringLiteral("Crate monitor"));

  struct Case {
    const char* what;
    ConnectionFactory connection;
    CrateMonitorFactory monitor;
  };
  const Case cases[] = {
      {"real hardware", [] { return std::make_unique<RecordingVME>(); }, OpenCrateMonitor},
      {"a build without the simulated crate", OpenBit3Connection, CrateMonitorFactory()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Windows = {};
    Windows = CreateQuorvaneWindows(c.connection, c.monitor);
    TfrmMain* main = Windows.frmMain.get();
    main->show();
    auto* hidden = Control<QAction>(main, "actCrateMonitor");
    EXPECT_FALSE(hidden->isVisible());
    EXPECT_FALSE(ButtonOf(hidden)->isVisible());
    hidden->trigger();
    EXPECT_EQ(TopLevel("frmCrateMonitor"), nullptr);
  }
}

TEST_F(CrateMonitor, ShowsTheFifosWordsAfterLoadFifo) {
  StartWith(kExampleConfigFile);  // sequence Trig: 0x80000005, 0x00000001
  TfrmCrateMonitor* monitor = Open();
  ASSERT_NE(monitor, nullptr);
  EXPECT_EQ(monitor->lbFifo[0]->count(), 0);
  EXPECT_EQ(monitor->pbFifo[0]->value(), 0);

  Find<QListWidget>("lbB_GoDataSeq")->setCurrentRow(0);
  Click("bLoadFIFO");
  ASSERT_TRUE(QTest::qWaitFor([&] { return monitor->lbFifo[0]->count() == 2; }));
  EXPECT_EQ(monitor->lbFifo[0]->item(0)->text(),
            QStringLiteral("0x80000005  long: TTCrx 0, internal, subaddress 0x00, data 0x05"));
  EXPECT_EQ(monitor->lbFifo[0]->item(1)->text(), QStringLiteral("0x00000001  short: command 0x00"));
  EXPECT_EQ(monitor->pbFifo[0]->value(), 2);
  EXPECT_EQ(monitor->pbFifo[1]->value(), 0);
  const QTreeWidgetItem* csr2 = monitor->tvRegisters->topLevelItem(1);
  EXPECT_EQ(csr2->text(0), QStringLiteral("CSR2"));
  EXPECT_EQ(csr2->child(0)->text(2), QStringLiteral("loaded"));  // FIFO 0
  EXPECT_EQ(csr2->child(1)->text(2), QStringLiteral("empty"));   // FIFO 1

  // Watching touches no bus: neither the crate nor the log sees anything.
  const std::uint64_t cycles = Crate().TotalCycles();
  const std::uint64_t logged = Main->BusLog().Log().Total();
  monitor->Refresh();
  EXPECT_EQ(Crate().TotalCycles(), cycles);
  EXPECT_EQ(Main->BusLog().Log().Total(), logged);
}

TEST_F(CrateMonitor, ShowsATTCrxsDeskewAfterASliderMove) {
  StartWith(kExampleConfigFile);  // Rx1 = 1, selected
  TfrmCrateMonitor* monitor = Open();
  ASSERT_NE(monitor, nullptr);
  EXPECT_EQ(monitor->tvReceivers->rowCount(), 0);

  Control<QSlider>(Find<TfrSelectValue>("frSelectReg0"), "tbTrackBar")->setValue(100);
  ASSERT_TRUE(QTest::qWaitFor([&] { return monitor->tvReceivers->rowCount() == 1; }));
  auto cell = [&](int column) { return monitor->tvReceivers->item(0, column)->text(); };
  EXPECT_EQ(cell(0), QStringLiteral("1 (0x0001)"));
  EXPECT_EQ(cell(1), QStringLiteral("100 (0xAA)"));  // step 100: n = 10, m = 10
  EXPECT_EQ(cell(2), QStringLiteral("30 (0x00)"));   // never written: the power-up byte is step 30
  EXPECT_EQ(cell(5), QStringLiteral("10010011"));    // the control register at power-up
  EXPECT_EQ(cell(6), QStringLiteral("1"));

  Find<TfrSelectValue>("frSelectReg0")->SetValue(239);
  ASSERT_TRUE(QTest::qWaitFor([&] { return cell(1) == QStringLiteral("239 (0xEF)"); }));
  const QTableWidget* traffic = monitor->tvBChannel;
  EXPECT_EQ(traffic->item(0, 3)->text(),
            QStringLiteral("long: TTCrx 1, internal, subaddress 0x00, data 0xEF"));
}

TEST_F(CrateMonitor, FollowsTheCrateAtTheBaseItsSettingsName) {
  Windows = {};
  Crate().PowerUp(sim::CrateSettings{0xEE0000});
  StartWith("[TTCvi_Address]\nTTCviAddress=0xEE0000\n");
  TfrmCrateMonitor* monitor = Open();
  ASSERT_NE(monitor, nullptr);
  EXPECT_TRUE(monitor->lblCrate->text().contains(QStringLiteral("A24 0xEE0000")))
      << monitor->lblCrate->text().toStdString();
  const QTreeWidgetItem* csr1 = monitor->tvRegisters->topLevelItem(0);
  EXPECT_EQ(csr1->text(1), QStringLiteral("0x0008"));  // start-up's write: internal orbit
  EXPECT_EQ(csr1->child(1)->text(2), QStringLiteral("internal"));
  EXPECT_EQ(Main->BusLog().RegisterLabel(0xEE0080), "CSR1 (0x80)");
}

}  // namespace
