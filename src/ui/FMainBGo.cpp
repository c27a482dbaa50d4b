// The B-Go tab: four tabs over one page of controls acting on the channel
// of the selected tab, the list of B-Go data sequences, and the read-out of
// the channel's mode register below the tabs.

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>

#include "ui/EventGuard.h"
#include "ui/FMain.h"
#include "ui/FMainControls.h"
#include "ui/WheelGuard.h"

using namespace frm_main;

void TfrmMain::BuildBGoControls() {
  // Four tabs over one page: the page's controls act on the channel of the
  // selected tab.
  TabControl1 = new QTabBar(this);
  TabControl1->setObjectName(QStringLiteral("TabControl1"));
  TabControl1->setDrawBase(false);
  TabControl1->setExpanding(false);
  for (int channel = 0; channel < 4; ++channel) {
    TabControl1->addTab(QStringLiteral("B-Go %1").arg(channel));
  }
  TabControl1->setCurrentIndex(0);
  // Changing the tab reloads the shared boxes, which can write CSR2: the
  // wheel switches tabs only when the operator has put the focus there.
  RequireFocusForWheel(TabControl1);
  const int tabHeight = TabControl1->sizeHint().height();
  TabControl1->setGeometry(kMiddle + 2, 8, 319, tabHeight);
  TabControl1Page = Named(new QFrame(this), "TabControl1Page",
                          {kMiddle, 8 + tabHeight - 1, 321, 225 - tabHeight + 1});
  TabControl1Page->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
  TabControl1->raise();  // the selected tab joins the page
  QWidget* page = TabControl1Page;

  GroupBox3 = AddGroup(page, "GroupBox3", QStringLiteral("Setings"), {6, 6, 108, 120});
  chbEnable = AddCheckBox(GroupBox3, "chbEnable", QStringLiteral("Enable"), {8, 18, 96, 18}, false);
  chbSync = AddCheckBox(GroupBox3, "chbSync", QStringLiteral("Asynchron"), {8, 37, 96, 18}, false);
  chSingle =
      AddCheckBox(GroupBox3, "chSingle", QStringLiteral("Repetetive"), {8, 56, 96, 18}, false);
  chbFIFO = AddCheckBox(GroupBox3, "chbFIFO", QStringLiteral("FIFO"), {8, 75, 96, 18}, false);
  chbCalibration = AddCheckBox(GroupBox3, "chbCalibration", QStringLiteral("Calibration"),
                               {8, 95, 82, 18}, false);
  MarkMkII(chbCalibration);
  chbCalibration->setEnabled(false);  // only channel 2 has a calibration mode

  chbRetransmit =
      AddCheckBox(page, "chbRetransmit", QStringLiteral("Retransmit"), {14, 134, 96, 18}, true);

  Label15 = AddLabel(page, "Label15", QStringLiteral("Data"), {122, 6, 40, 14});
  lbB_GoDataSeq = Named(new QListWidget(page), "lbB_GoDataSeq", {122, 22, 112, 110});
  bAddData = AddButton(page, "bAddData", QStringLiteral("Add"), {240, 22, 74, 22});
  bDeleteData = AddButton(page, "bDeleteData", QStringLiteral("Delete"), {240, 48, 74, 22});
  bLoadFIFO = AddButton(page, "bLoadFIFO", QStringLiteral("Load FIFO"), {240, 84, 74, 22});
  btB_GoSignal = AddButton(page, "btB_GoSignal", QStringLiteral("B-Go Signal"), {240, 110, 74, 22});
  bFIFO0Reset = AddButton(page, "bFIFO0Reset", QStringLiteral("Reset FIFO"), {122, 164, 86, 24});
  bFIFOStaus = AddButton(page, "bFIFOStaus", QStringLiteral("FIFO Staus"), {214, 164, 86, 24});

  bReadBGoSettings = AddButton(this, "bReadBGoSettings", QStringLiteral("Read B-Go Settings"),
                               {kMiddle, 237, 112, 24});
  eBGoSeting = AddReadOut(this, "eBGoSeting", {kMiddle + 116, 239, 60, 20});
}

void TfrmMain::BindBGoControls() {}
