// Trigger source, random rate, orbit, L1A FIFO, CSR read-outs, B-Go FIFO
// reset, module reset and inhibits.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <bitset>

#include "ui/FMain.h"
#include "ui/RadioGroup.h"
#include "ui/SpinEdit.h"

namespace {

constexpr int kVMETriggerSource = 4;
constexpr int kRandomTriggerSource = 5;

// A register as sixteen "0"/"1" characters, bit 15 first.
QString BitString(std::uint16_t value) {
  return QString::fromStdString(std::bitset<16>(value).to_string());
}

}  // namespace

int TfrmMain::RanGenRateIndex() const {
  // A typed text counts as an item only when it is that item's text exactly.
  return cbRanGenRate->findText(cbRanGenRate->currentText());
}

void TfrmMain::rgTriggerSourceClick() {
  const int source = rgTriggerSource->ItemIndex();
  btVMETriger->setEnabled(source == kVMETriggerSource);
  if (source == kRandomTriggerSource) {
    // The rate goes out first, with the previous source.
    cbRanGenRate->setEnabled(true);
    Module->SetRandomRate(RanGenRateIndex());
  } else {
    cbRanGenRate->setEnabled(false);
  }
  Module->SetTriggerSource(source);
}

void TfrmMain::btVMETrigerClick() { Module->VMETrigger(); }

void TfrmMain::cbRanGenRateChange() {
  // No item (-1) puts 7 in the rate field.
  Module->SetRandomRate(RanGenRateIndex());
}

void TfrmMain::chbOrbitSignalSelClick() { Module->SetOrbitSignal(chbOrbitSignalSel->isChecked()); }

void TfrmMain::bL1AFIFOResetClick() { Module->ResetL1AFIFO(true); }

void TfrmMain::Button1Click() {
  // The read completes before the edit changes: a failed read leaves it.
  const std::uint16_t value = Module->ReadCSR1();
  eCSR1->setText(BitString(value));
}

void TfrmMain::btReadCSR2Click() {
  const std::uint16_t value = Module->ReadCSR2();
  eCSR2->setText(BitString(value));
}

void TfrmMain::btCSR2ResetFIFOClick() { Module->ResetBGoFIFOs(std::bitset<4>(0b1111)); }

void TfrmMain::bResetClick() { Module->Reset(); }

void TfrmMain::btAplayInhSetingsClick() {
  // The values as they stand: a box the operator just left is already back
  // in range, as the click took the focus from it.
  Module->SetInhibit0(cseInh0Delay->Value(), cseInh0Duration->Value());
  Module->SetInhibit1(cseInh1Delay->Value(), cseInh1Duration->Value());
  Module->SetInhibit2(cseInh2Delay->Value(), cseInh2Duration->Value());
  Module->SetInhibit3(cseInh3Delay->Value(), cseInh3Duration->Value());
}
