#include "ui/BGoGroup.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QTabBar>

#include "base/Exception.h"
#include "base/Text.h"
#include "operate/ModuleSender.h"
#include "ttcvi/BChannelWord.h"
#include "ttcvi/RegisterMap.h"
#include "ui/DlgB_GoData.h"
#include "ui/ErrorBox.h"
#include "ui/EventGuard.h"
#include "ui/GroupControls.h"
#include "ui/PanelDialogs.h"
#include "ui/RxGroup.h"
#include "ui/SequenceItem.h"
#include "ui/WheelGuard.h"

using namespace group_controls;

BGoGroup::BGoGroup(QWidget* window) : QWidget(window) {
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
}

void BGoGroup::Bind(ModuleSender& sender, const PanelDialogs& dialogs, const RxGroup& rx) {
  Sender = &sender;
  Dialogs = &dialogs;
  Rx = &rx;
  ::Bind(
      TabControl1, &QTabBar::currentChanged, this, [this] { return "Tab " + TabCause(); },
      [this] { ReloadTab(); });
  // The four mode boxes write the shown channel's mode and remember it; the
  // calibration box only writes it.
  struct ModeBox {
    QCheckBox* Box;
    const char* Caption;
    void (BGoGroup::*Click)();
  };
  const ModeBox modes[] = {{chbEnable, " Enable", &BGoGroup::chbEnableClick},
                           {chbSync, " Asynchron", &BGoGroup::chbEnableClick},
                           {chSingle, " Repetetive", &BGoGroup::chbEnableClick},
                           {chbFIFO, " FIFO", &BGoGroup::chbEnableClick},
                           {chbCalibration, " Calibration", &BGoGroup::chbCalibrationClick}};
  for (const ModeBox& mode : modes) {
    ::Bind(
        mode.Box, &QCheckBox::toggled, this,
        [this, mode] { return TabCause() + mode.Caption + OnOff(mode.Box); },
        [this, mode] { (this->*mode.Click)(); });
  }
  ::Bind(
      chbRetransmit, &QCheckBox::toggled, this,
      [this] { return TabCause() + " Retransmit" + OnOff(chbRetransmit); },
      [this] { chbRetransmitClick(); });
  ::Bind(
      btB_GoSignal, &QPushButton::clicked, this, [this] { return "B-Go Signal of " + TabCause(); },
      [this] { Sender->Module().BGo.at(static_cast<std::size_t>(BGoChannel()))->Signal(); });
  ::Bind(
      bFIFO0Reset, &QPushButton::clicked, this, [this] { return "Reset FIFO of " + TabCause(); },
      [this] { bFIFO0ResetClick(); });
  ::Bind(
      bLoadFIFO, &QPushButton::clicked, this,
      [this] { return "Load FIFO of " + TabCause() + SelectedCause(); },
      [this] { bLoadFIFOClick(); });
  ::Bind(
      bFIFOStaus, &QPushButton::clicked, this, [this] { return "FIFO Staus of " + TabCause(); },
      [this] { bFIFOStausClick(); });
  ::Bind(
      bReadBGoSettings, &QPushButton::clicked, this,
      [this] { return "Read B-Go Settings of " + TabCause(); },
      [this] { bReadBGoSettingsClick(); });
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
}

int BGoGroup::BGoChannel() const { return TabControl1->currentIndex(); }

std::string BGoGroup::TabCause() const {
  return TabControl1->tabText(TabControl1->currentIndex()).toStdString();
}

std::string BGoGroup::SelectedCause() const {
  const int selected = SelectedSequence();
  return selected < 0 ? std::string() : " '" + SequenceAt(selected).text().toStdString() + "'";
}

void BGoGroup::ReloadTab() {
  // The shared boxes show the channel's remembered states; their own click
  // handling must not write the mode register meanwhile.
  const QScopedValueRollback<bool> updating(TabUpdating, true);
  const std::size_t n = static_cast<std::size_t>(BGoChannel());
  chbEnable->setChecked(BGoFlags[n][0]);
  chbSync->setChecked(BGoFlags[n][1]);
  chSingle->setChecked(BGoFlags[n][2]);
  chbFIFO->setChecked(BGoFlags[n][3]);
  // Not held back: a change writes CSR2 once with the unchanged bits.
  chbRetransmit->setChecked(!RetransmitBits[n]);
  RaisePendingError();  // a refused CSR2 write stops the action that reloads
  chbCalibration->setEnabled(BGoChannel() == ModuleSender::kCalibrationChannel);
}

void BGoGroup::chbEnableClick() {
  if (TabUpdating) return;
  const int n = BGoChannel();
  Sender->SendMode(n, chbEnable->isChecked(), chbSync->isChecked(), chSingle->isChecked(),
                   chbFIFO->isChecked(), chbCalibration->isChecked());
  // Remembered only once the module took them.
  BGoFlags[static_cast<std::size_t>(n)] = {chbEnable->isChecked(), chbSync->isChecked(),
                                           chSingle->isChecked(), chbFIFO->isChecked()};
}

void BGoGroup::chbCalibrationClick() {
  Sender->SendMode(BGoChannel(), chbEnable->isChecked(), chbSync->isChecked(),
                   chSingle->isChecked(), chbFIFO->isChecked(), chbCalibration->isChecked());
}

void BGoGroup::chbRetransmitClick() {
  RetransmitBits[static_cast<std::size_t>(BGoChannel())] = !chbRetransmit->isChecked();
  Sender->SendRetransmit(RetransmitBits);
}

void BGoGroup::bFIFO0ResetClick() {
  std::bitset<4> pulse = FIFOResetBits;
  pulse[static_cast<std::size_t>(BGoChannel())] = true;
  // A reset is a pulse: whatever the write's outcome, it must not fire again
  // with a later reset of another channel.
  const QScopedValueRollback<std::bitset<4>> request(FIFOResetBits, pulse);
  Sender->ResetFifos(FIFOResetBits);
}

void BGoGroup::bLoadFIFOClick() {
  const int selected = SelectedSequence();
  if (selected < 0) throw EListError(selected);
  Sender->LoadFifo(BGoChannel(), SequenceAt(selected).Words);
}

void BGoGroup::bFIFOStausClick() {
  const int n = BGoChannel();
  const std::uint16_t csr2 = Sender->Module().ReadCSR2();
  const auto channel = static_cast<unsigned>(n);
  QString status = QStringLiteral("LOADED");
  if (ttcvi::FIFOEmpty(channel).Of(csr2)) status = QStringLiteral("EMPTY");
  if (ttcvi::FIFOFull(channel).Of(csr2)) status = QStringLiteral("FULL");
  ShowInformationBox(QStringLiteral("B-Go Fifo [%1] %2").arg(n).arg(status));
}

void BGoGroup::bReadBGoSettingsClick() {
  const std::bitset<5> mode =
      Sender->Module().BGo.at(static_cast<std::size_t>(BGoChannel()))->ReadMode();
  // Calibration, FIFO, repetitive, asynchronous, enable.
  eBGoSeting->setText(QString::fromStdString(BitString(mode.to_ulong(), mode.size())));
}

int BGoGroup::SelectedSequence() const {
  const QList<QListWidgetItem*> selected = lbB_GoDataSeq->selectedItems();
  return selected.isEmpty() ? -1 : lbB_GoDataSeq->row(selected.front());
}

TSequenceItem& BGoGroup::SequenceAt(int row) const {
  return *static_cast<TSequenceItem*>(lbB_GoDataSeq->item(row));
}

std::vector<BGoDataSequence> BGoGroup::Sequences() const {
  std::vector<BGoDataSequence> sequences;
  sequences.reserve(static_cast<std::size_t>(lbB_GoDataSeq->count()));
  for (int row = 0; row < lbB_GoDataSeq->count(); ++row)
    sequences.push_back({TextToKeep(lbB_GoDataSeq->item(row)->text(),
                                    lbB_GoDataSeq->item(row)->data(kStoredTextRole)),
                         SequenceAt(row).Words});
  return sequences;
}

void BGoGroup::SetSequences(std::vector<BGoDataSequence> sequences) {
  for (BGoDataSequence& sequence : sequences) {
    auto* item = new TSequenceItem(ShownText(sequence.Name), std::move(sequence.Words));
    item->setData(kStoredTextRole, KeptBytes(sequence.Name));
    lbB_GoDataSeq->addItem(item);
  }
}

void BGoGroup::bAddDataClick() {
  // The dialog's "< Curr Rx" takes the low 16 bits of the selected TTCrx; no
  // TTCrx: the dialog does not open.
  const auto rx = static_cast<std::uint16_t>(Rx->SelectedRxAddress());
  BGoWords words;
  if (!Dialogs->Sequence().Execute(words, rx, false)) return;
  lbB_GoDataSeq->addItem(new TSequenceItem(Dialogs->Sequence().eName->text(), std::move(words)));
}

void BGoGroup::bDeleteDataClick() {
  const int selected = SelectedSequence();
  if (selected < 0) return;
  delete lbB_GoDataSeq->takeItem(selected);
  // The list would select the neighbouring line; a second Delete or a Load
  // FIFO must not act on a sequence the operator never picked.
  lbB_GoDataSeq->setCurrentRow(-1);
  lbB_GoDataSeq->clearSelection();
}

void BGoGroup::lbB_GoDataSeqDblClick() {
  const auto rx = static_cast<std::uint16_t>(Rx->SelectedRxAddress());
  const int selected = SelectedSequence();
  if (selected < 0) throw EListError(selected);
  TSequenceItem& line = SequenceAt(selected);
  // The dialog edits a copy: Cancel leaves the stored words as they were.
  BGoWords words = line.Words;
  TB_GoDataDlg& dialog = Dialogs->Sequence();
  dialog.eName->setText(line.text());
  if (!dialog.Execute(words, rx, true)) return;
  line.setText(dialog.eName->text());
  line.Words = std::move(words);
}

void BGoGroup::CopyTo(PreSettings& preset) const {
  for (std::size_t c = 0; c < 4; ++c) {
    for (std::size_t f = 0; f < 4; ++f) preset.BGoSettings[c][f] = BGoFlags[c][f];
    preset.BGoSettings[c][PreSettings::kRetransmitOff] = RetransmitBits[c];
  }
  preset.Calibration = chbCalibration->isChecked();
}

void BGoGroup::Show(const PreSettings& preset) {
  for (std::size_t c = 0; c < 4; ++c) {
    for (std::size_t f = 0; f < 4; ++f) BGoFlags[c][f] = preset.BGoSettings[c][f];
    RetransmitBits[c] = preset.BGoSettings[c][PreSettings::kRetransmitOff];
  }
  const QSignalBlocker quiet(chbCalibration);
  chbCalibration->setChecked(preset.Calibration);
}
