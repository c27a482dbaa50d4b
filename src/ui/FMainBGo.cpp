// The B-Go tab: four tabs over one page of controls acting on the channel
// of the selected tab, the list of B-Go data sequences, and the read-out of
// the channel's mode register below the tabs.

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>

#include "base/Exception.h"
#include "ttcvi/BChannelWord.h"
#include "ui/DlgB_GoData.h"
#include "ui/ErrorBox.h"
#include "ui/EventGuard.h"
#include "ui/FMain.h"
#include "ui/FMainControls.h"
#include "ui/SequenceItem.h"
#include "ui/WheelGuard.h"

using namespace frm_main;

namespace {

// Sets a flag for the length of a scope, also when a handler raises.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : Flag_(flag) { Flag_ = true; }
  ~FlagScope() { Flag_ = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& Flag_;
};

}  // namespace

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

void TfrmMain::BindBGoControls() {
  Bind(TabControl1, &QTabBar::currentChanged, this, [this] { TabControl1Change(); });
  for (QCheckBox* box : {chbEnable, chbSync, chSingle, chbFIFO})
    Bind(box, &QCheckBox::toggled, this, [this] { chbEnableClick(); });
  Bind(chbCalibration, &QCheckBox::toggled, this, [this] { chbCalibrationClick(); });
  Bind(chbRetransmit, &QCheckBox::toggled, this, [this] { chbRetransmitClick(); });
  Bind(btB_GoSignal, &QPushButton::clicked, this, [this] { btB_GoSignalClick(); });
  Bind(bFIFO0Reset, &QPushButton::clicked, this, [this] { bFIFO0ResetClick(); });
  Bind(bLoadFIFO, &QPushButton::clicked, this, [this] { bLoadFIFOClick(); });
  Bind(bFIFOStaus, &QPushButton::clicked, this, [this] { bFIFOStausClick(); });
  Bind(bReadBGoSettings, &QPushButton::clicked, this, [this] { bReadBGoSettingsClick(); });
  Bind(bAddData, &QPushButton::clicked, this, [this] { bAddDataClick(); });
  Bind(bDeleteData, &QPushButton::clicked, this, [this] { bDeleteDataClick(); });
  // A double-click anywhere on the list, on a line or beside the lines.
  BindEvent(
      lbB_GoDataSeq->viewport(),
      [](QWidget*, QEvent* event) { return event->type() == QEvent::MouseButtonDblClick; },
      [this] { lbB_GoDataSeqDblClick(); });
}

int TfrmMain::BGoChannel() const { return TabControl1->currentIndex(); }

B_Go& TfrmMain::ShownChannel() const {
  return *Module->BGo.at(static_cast<std::size_t>(BGoChannel()));
}

void TfrmMain::TabControl1Change() {
  // The shared boxes show the channel's remembered states; their own click
  // handling must not write the mode register meanwhile.
  FlagScope updating(TabUpdating);
  const std::size_t n = static_cast<std::size_t>(BGoChannel());
  chbEnable->setChecked(BGoFlags[n][0]);
  chbSync->setChecked(BGoFlags[n][1]);
  chSingle->setChecked(BGoFlags[n][2]);
  chbFIFO->setChecked(BGoFlags[n][3]);
  // Not held back: a change writes CSR2 once with the unchanged bits.
  chbRetransmit->setChecked(!RetransmitBits[n]);
  chbCalibration->setEnabled(BGoChannel() == kCalibrationChannel);
}

void TfrmMain::chbEnableClick() {
  if (TabUpdating) return;
  const int n = BGoChannel();
  const bool calibration = n == kCalibrationChannel && chbCalibration->isChecked();
  ShownChannel().SetMode(chbEnable->isChecked(), chbSync->isChecked(), chSingle->isChecked(),
                         chbFIFO->isChecked(), calibration);
  // Remembered only once the module took them.
  BGoFlags[static_cast<std::size_t>(n)] = {chbEnable->isChecked(), chbSync->isChecked(),
                                           chSingle->isChecked(), chbFIFO->isChecked()};
}

void TfrmMain::chbCalibrationClick() {
  ShownChannel().SetMode(chbEnable->isChecked(), chbSync->isChecked(), chSingle->isChecked(),
                         chbFIFO->isChecked(), chbCalibration->isChecked());
}

void TfrmMain::btB_GoSignalClick() { ShownChannel().Signal(); }

void TfrmMain::chbRetransmitClick() {
  RetransmitBits[static_cast<std::size_t>(BGoChannel())] = !chbRetransmit->isChecked();
  Module->SetRetransmit(RetransmitBits);
}

void TfrmMain::bFIFO0ResetClick() {
  const std::size_t n = static_cast<std::size_t>(BGoChannel());
  FIFOResetBits[n] = true;
  // A reset is a pulse: whatever the write's outcome, it must not fire again
  // with a later reset of another channel.
  struct ClearRequest {
    std::bitset<4>& Bits;
    std::size_t Channel;
    ~ClearRequest() { Bits[Channel] = false; }
  } clear{FIFOResetBits, n};
  Module->ResetBGoFIFOs(FIFOResetBits);
}

void TfrmMain::bLoadFIFOClick() {
  const int selected = SelectedSequence();
  if (selected < 0) throw EListError(selected);
  B_Go& channel = ShownChannel();
  for (const BChannelWord& word : SequenceAt(selected).Words) channel.WriteFIFO(word);
}

void TfrmMain::bFIFOStausClick() {
  const int n = BGoChannel();
  const std::uint16_t csr2 = Module->ReadCSR2();
  QString status = QStringLiteral("LOADED");
  if (csr2 & (1u << (2 * n))) status = QStringLiteral("EMPTY");
  if (csr2 & (1u << (2 * n + 1))) status = QStringLiteral("FULL");
  ShowInformationBox(QStringLiteral("B-Go Fifo [%1] %2").arg(n).arg(status));
}

void TfrmMain::bReadBGoSettingsClick() {
  const std::bitset<5> mode = ShownChannel().ReadMode();
  // Calibration, FIFO, repetitive, asynchronous, enable.
  eBGoSeting->setText(QString::fromStdString(mode.to_string('0', '1')));
}

int TfrmMain::SelectedSequence() const {
  const QList<QListWidgetItem*> selected = lbB_GoDataSeq->selectedItems();
  return selected.isEmpty() ? -1 : lbB_GoDataSeq->row(selected.front());
}

TSequenceItem& TfrmMain::SequenceAt(int row) const {
  return *static_cast<TSequenceItem*>(lbB_GoDataSeq->item(row));
}

std::vector<BGoDataSequence> TfrmMain::Sequences() const {
  std::vector<BGoDataSequence> sequences;
  sequences.reserve(static_cast<std::size_t>(lbB_GoDataSeq->count()));
  for (int row = 0; row < lbB_GoDataSeq->count(); ++row)
    sequences.push_back({lbB_GoDataSeq->item(row)->text().toStdString(), SequenceAt(row).Words});
  return sequences;
}

std::uint16_t TfrmMain::CurrentRxForEditor() const {
  // The dialog's "< Curr Rx" takes the low 16 bits of the selected TTCrx.
  return static_cast<std::uint16_t>(SelectedRxAddress());
}

void TfrmMain::bAddDataClick() {
  const std::uint16_t rx = CurrentRxForEditor();  // no TTCrx: the dialog does not open
  BGoWords words;
  if (!SequenceDialog().Execute(words, rx, false)) return;
  lbB_GoDataSeq->addItem(new TSequenceItem(SequenceDialog().eName->text(), std::move(words)));
}

void TfrmMain::bDeleteDataClick() {
  const int selected = SelectedSequence();
  if (selected < 0) return;
  delete lbB_GoDataSeq->takeItem(selected);
  // The list would select the neighbouring line; a second Delete or a Load
  // FIFO must not act on a sequence the operator never picked.
  lbB_GoDataSeq->setCurrentRow(-1);
  lbB_GoDataSeq->clearSelection();
}

void TfrmMain::lbB_GoDataSeqDblClick() {
  const std::uint16_t rx = CurrentRxForEditor();
  const int selected = SelectedSequence();
  if (selected < 0) throw EListError(selected);
  TSequenceItem& line = SequenceAt(selected);
  // The dialog edits a copy: Cancel leaves the stored words as they were.
  BGoWords words = line.Words;
  SequenceDialog().eName->setText(line.text());
  if (!SequenceDialog().Execute(words, rx, true)) return;
  line.setText(SequenceDialog().eName->text());
  line.Words = std::move(words);
}

void TfrmMain::ReadSequences(TIniFile& file, const std::string& section, ListBudget& budget) {
  for (BGoDataSequence& sequence : ReadSequenceList(file, section, budget))
    lbB_GoDataSeq->addItem(
        new TSequenceItem(QString::fromStdString(sequence.Name), std::move(sequence.Words)));
}

void TfrmMain::WriteSequences(TIniFile& file, const std::string& section) const {
  WriteSequenceList(file, section, Sequences());
}
