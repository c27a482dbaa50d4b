#include "ui/BGoGroup.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabBar>

#include "base/Exception.h"
#include "base/Text.h"
#include "ui/DlgB_GoData.h"
#include "ui/ErrorBox.h"
#include "ui/EventGuard.h"
#include "ui/GroupControls.h"
#include "ui/PanelDialogs.h"
#include "ui/WheelGuard.h"

using namespace group_controls;

BGoGroup::BGoGroup(QWidget* window, PanelModel& model, const PanelDialogs& dialogs)
    : QWidget(window), Model(model), Dialogs(dialogs) {
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
  QFrame* page = Named(new QFrame(this), "TabControl1Page",
                       {kMiddle, 8 + tabHeight - 1, 321, 225 - tabHeight + 1});
  page->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
  TabControl1->raise();  // the selected tab joins the page

  QGroupBox* GroupBox3 = AddGroup(page, "GroupBox3", QStringLiteral("Setings"), {6, 6, 108, 120});
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

  AddLabel(page, "Label15", QStringLiteral("Data"), {122, 6, 40, 14});
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
  FitToControls(this);

  ::Bind(
      TabControl1, &QTabBar::currentChanged, this, [this] { return "Tab " + TabCause(); },
      [this] { Model.ShowChannel(TabControl1->currentIndex()); });
  // The four mode boxes write the shown channel's mode and remember it; the
  // calibration box only writes it.
  struct ModeBox {
    QCheckBox* Box;
    const char* Caption;
  };
  const ModeBox modes[] = {{chbEnable, " Enable"},
                           {chbSync, " Asynchron"},
                           {chSingle, " Repetetive"},
                           {chbFIFO, " FIFO"}};
  for (int flag = 0; flag < 4; ++flag) {
    const ModeBox mode = modes[flag];
    ::Bind(
        mode.Box, &QCheckBox::toggled, this,
        [this, mode] { return TabCause() + mode.Caption + OnOff(mode.Box); },
        [this, flag, mode] { Model.SetModeBox(flag, mode.Box->isChecked()); });
  }
  ::Bind(
      chbCalibration, &QCheckBox::toggled, this,
      [this] { return TabCause() + " Calibration" + OnOff(chbCalibration); },
      [this] { Model.SetCalibrationBox(chbCalibration->isChecked()); });
  ::Bind(
      chbRetransmit, &QCheckBox::toggled, this,
      [this] { return TabCause() + " Retransmit" + OnOff(chbRetransmit); },
      [this] { Model.SetRetransmitBox(chbRetransmit->isChecked()); });
  ::Bind(
      btB_GoSignal, &QPushButton::clicked, this, [this] { return "B-Go Signal of " + TabCause(); },
      [this] { Model.SignalBGo(); });
  ::Bind(
      bFIFO0Reset, &QPushButton::clicked, this, [this] { return "Reset FIFO of " + TabCause(); },
      [this] { Model.ResetShownFifo(); });
  ::Bind(
      bLoadFIFO, &QPushButton::clicked, this,
      [this] { return "Load FIFO of " + TabCause() + SelectedCause(); },
      [this] { Model.LoadFifo(SelectedSequence()); });
  ::Bind(
      bFIFOStaus, &QPushButton::clicked, this, [this] { return "FIFO Staus of " + TabCause(); },
      [this] {
        const QString status = QString::fromStdString(Model.FifoStatus());
        ShowInformationBox(
            QStringLiteral("B-Go Fifo [%1] %2").arg(Model.State().ShownChannel).arg(status));
      });
  ::Bind(
      bReadBGoSettings, &QPushButton::clicked, this,
      [this] { return "Read B-Go Settings of " + TabCause(); }, [this] { Model.ReadBGoMode(); });
  ::Bind(
      bAddData, &QPushButton::clicked, this, [this] { return "Add sequence on " + TabCause(); },
      [this] { bAddDataClick(); });
  ::Bind(
      bDeleteData, &QPushButton::clicked, this,
      [this] { return "Delete sequence" + SelectedCause(); }, [this] { bDeleteDataClick(); });
  // A double-click anywhere on the list, on a line or beside the lines.
  SetCause(lbB_GoDataSeq, [this] { return "Edit sequence" + SelectedCause(); });
  BindEvent(
      lbB_GoDataSeq->viewport(),
      [](QWidget*, QEvent* event) { return event->type() == QEvent::MouseButtonDblClick; },
      [this] { lbB_GoDataSeqDblClick(); });

  DrawPage();
  DrawSequences();
  DrawReadOut();
  Model.AddListener(*this);
}

BGoGroup::~BGoGroup() { Model.RemoveListener(*this); }

void BGoGroup::Changed(PanelPart part) {
  switch (part) {
    case PanelPart::BGoPage:
      DrawPage();
      break;
    case PanelPart::Sequences:
      DrawSequences();
      break;
    case PanelPart::ReadOuts:
      DrawReadOut();
      break;
    default:
      break;
  }
}

void BGoGroup::DrawPage() {
  const PanelState& state = Model.State();
  // Drawing sends nothing: the boxes' own handlers write the mode and CSR2.
  const QSignalBlocker quietTabs(TabControl1);
  TabControl1->setCurrentIndex(state.ShownChannel);
  QCheckBox* const boxes[] = {chbEnable, chbSync, chSingle, chbFIFO};
  for (std::size_t flag = 0; flag < 4; ++flag) {
    const QSignalBlocker quiet(boxes[flag]);
    boxes[flag]->setChecked(state.ModeBoxes[flag]);
  }
  const QSignalBlocker quietCalibration(chbCalibration);
  chbCalibration->setChecked(state.CalibrationBox);
  chbCalibration->setEnabled(state.ShownChannel == ModuleSender::kCalibrationChannel);
  const QSignalBlocker quietRetransmit(chbRetransmit);
  chbRetransmit->setChecked(state.RetransmitBox);
}

void BGoGroup::DrawSequences() {
  const std::vector<BGoDataSequence>& sequences = Model.State().Sequences;
  // Only what differs: the operator's selection stays on its line when
  // sequences are added or one is edited.
  const QSignalBlocker quiet(lbB_GoDataSeq);
  while (static_cast<std::size_t>(lbB_GoDataSeq->count()) > sequences.size())
    delete lbB_GoDataSeq->takeItem(lbB_GoDataSeq->count() - 1);
  for (std::size_t row = 0; row < sequences.size(); ++row) {
    const QString name = ShownText(sequences[row].Name);
    QListWidgetItem* line = lbB_GoDataSeq->item(static_cast<int>(row));
    if (line == nullptr)
      lbB_GoDataSeq->addItem(name);
    else if (line->text() != name)
      line->setText(name);
  }
}

void BGoGroup::DrawReadOut() {
  const std::optional<std::bitset<5>>& mode = Model.State().BGoMode;
  // Calibration, FIFO, repetitive, asynchronous, enable.
  if (mode) eBGoSeting->setText(QString::fromStdString(BitString(mode->to_ulong(), mode->size())));
}

std::string BGoGroup::TabCause() const {
  return TabControl1->tabText(TabControl1->currentIndex()).toStdString();
}

std::string BGoGroup::SelectedCause() const {
  const int selected = SelectedSequence();
  return selected < 0 ? std::string()
                      : " '" + lbB_GoDataSeq->item(selected)->text().toStdString() + "'";
}

int BGoGroup::SelectedSequence() const {
  const QList<QListWidgetItem*> selected = lbB_GoDataSeq->selectedItems();
  return selected.isEmpty() ? -1 : lbB_GoDataSeq->row(selected.front());
}

void BGoGroup::bAddDataClick() {
  // The dialog's "< Curr Rx" takes the low 16 bits of the selected TTCrx; no
  // TTCrx: the dialog does not open.
  const auto rx = static_cast<std::uint16_t>(Model.SelectedRxAddress());
  std::optional<BGoDataSequence> added = Dialogs.Sequence().Execute(std::nullopt, rx);
  if (added) Model.AddSequence(std::move(*added));
}

void BGoGroup::bDeleteDataClick() {
  const int selected = SelectedSequence();
  if (selected < 0) return;
  Model.DeleteSequence(selected);
  // The list would select the neighbouring line; a second Delete or a Load
  // FIFO must not act on a sequence the operator never picked.
  lbB_GoDataSeq->setCurrentRow(-1);
  lbB_GoDataSeq->clearSelection();
}

void BGoGroup::lbB_GoDataSeqDblClick() {
  const auto rx = static_cast<std::uint16_t>(Model.SelectedRxAddress());
  const int selected = SelectedSequence();
  if (selected < 0) throw EListError(selected);
  // The dialog edits a copy: Cancel leaves the sequence as it was.
  std::optional<BGoDataSequence> edited = Dialogs.Sequence().Execute(
      Model.State().Sequences.at(static_cast<std::size_t>(selected)), rx);
  if (edited) Model.ReplaceSequence(selected, std::move(*edited));
}
