// Trigger source, random rate, orbit, L1A FIFO, CSR read-outs, B-Go FIFO
// reset, module reset and inhibits.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <algorithm>
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
  RateTextSent = cbRanGenRate->currentText();
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
  // in range, as the click took the focus from it. A click from code while a
  // box still holds a typed 5000 must not reach a 12-bit register either.
  const auto value = [](const TSpinEdit* box) {
    return std::clamp(box->Value(), box->minimum(), box->maximum());
  };
  Module->SetInhibit0(value(cseInh0Delay), value(cseInh0Duration));
  Module->SetInhibit1(value(cseInh1Delay), value(cseInh1Duration));
  Module->SetInhibit2(value(cseInh2Delay), value(cseInh2Duration));
  Module->SetInhibit3(value(cseInh3Delay), value(cseInh3Duration));
}
