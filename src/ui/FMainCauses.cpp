// What each control of the main window does, in the operator's words, as the
// bus log names the cause of an access: "Apply preset 'Physics'", "Deskew 1
// of Rx1", "B-Go 2 FIFO on". The one place that knows the controls' meaning
// for the log; the handler guard asks it when a handler starts, so the
// descriptions take the state of that moment (the selected TTCrx, preset,
// tab).

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QTabBar>
#include <string_view>

#include "settings/RxAddresses.h"
#include "ui/FMain.h"
#include "ui/RadioGroup.h"

namespace {

std::string Text(const QString& text) { return text.toStdString(); }

std::string OnOff(const QCheckBox* box) { return box->isChecked() ? " on" : " off"; }

// The selected TTCrx by its name in the address list.
std::string Rx(const TfrmMain& w) {
  const int selected = w.cmbTTC->currentIndex();
  if (selected < 0) return "no TTCrx";
  const std::string name = RxEntryName(Text(w.cmbTTC->itemText(selected)));
  return name.empty() ? Text(w.cmbTTC->itemText(selected)) : name;
}

// The B-Go channel of the tab shown.
std::string Tab(const TfrmMain& w) {
  return Text(w.TabControl1->tabText(w.TabControl1->currentIndex()));
}

std::string Selected(const QListWidget* list) {
  const QList<QListWidgetItem*> selected = list->selectedItems();
  return selected.isEmpty() ? std::string() : " '" + Text(selected.front()->text()) + "'";
}

struct Cause {
  std::string_view Control;  // object name
  std::string (*Describe)(const TfrmMain& w);
};

// Controls without an entry are named by their object name.
const Cause kCauses[] = {
    {"rgTriggerSource",
     [](const TfrmMain& w) {
       const int source = w.rgTriggerSource->ItemIndex();
       return "Trigger Source " +
              (source < 0 ? std::string("none") : Text(w.rgTriggerSource->ItemText(source)));
     }},
    {"btVMETriger", [](const TfrmMain&) { return std::string("VME trigger (Triger)"); }},
    {"cbRanGenRate",
     [](const TfrmMain& w) { return "Random rate '" + Text(w.cbRanGenRate->currentText()) + "'"; }},
    {"chbOrbitSignalSel",
     [](const TfrmMain& w) {
       return std::string("Orbit Signal ") +
              (w.chbOrbitSignalSel->isChecked() ? "internal" : "external");
     }},
    {"bL1AFIFOReset", [](const TfrmMain&) { return std::string("L1A FIFO Reset"); }},
    {"Button1", [](const TfrmMain&) { return std::string("READ CSR1"); }},
    {"btReadCSR2", [](const TfrmMain&) { return std::string("READ CSR2"); }},
    {"btCSR2ResetFIFO", [](const TfrmMain&) { return std::string("RESET B-Go FIFO"); }},
    {"btAplayInhSetings", [](const TfrmMain&) { return std::string("Apply inhibits"); }},
    {"bReset", [](const TfrmMain&) { return std::string("Reset TTCvi"); }},
    {"TabControl1", [](const TfrmMain& w) { return "Tab " + Tab(w); }},
    {"chbEnable", [](const TfrmMain& w) { return Tab(w) + " Enable" + OnOff(w.chbEnable); }},
    {"chbSync", [](const TfrmMain& w) { return Tab(w) + " Asynchron" + OnOff(w.chbSync); }},
    {"chSingle", [](const TfrmMain& w) { return Tab(w) + " Repetetive" + OnOff(w.chSingle); }},
    {"chbFIFO", [](const TfrmMain& w) { return Tab(w) + " FIFO" + OnOff(w.chbFIFO); }},
    {"chbCalibration",
     [](const TfrmMain& w) { return Tab(w) + " Calibration" + OnOff(w.chbCalibration); }},
    {"chbRetransmit",
     [](const TfrmMain& w) { return Tab(w) + " Retransmit" + OnOff(w.chbRetransmit); }},
    {"btB_GoSignal", [](const TfrmMain& w) { return "B-Go Signal of " + Tab(w); }},
    {"bFIFO0Reset", [](const TfrmMain& w) { return "Reset FIFO of " + Tab(w); }},
    {"bLoadFIFO",
     [](const TfrmMain& w) { return "Load FIFO of " + Tab(w) + Selected(w.lbB_GoDataSeq); }},
    {"bFIFOStaus", [](const TfrmMain& w) { return "FIFO Staus of " + Tab(w); }},
    {"bReadBGoSettings", [](const TfrmMain& w) { return "Read B-Go Settings of " + Tab(w); }},
    {"bAddData", [](const TfrmMain& w) { return "Add sequence on " + Tab(w); }},
    {"bDeleteData",
     [](const TfrmMain& w) { return "Delete sequence" + Selected(w.lbB_GoDataSeq); }},
    {"lbB_GoDataSeq",
     [](const TfrmMain& w) { return "Edit sequence" + Selected(w.lbB_GoDataSeq); }},
    {"bLFACSend", [](const TfrmMain& w) { return "Long-format Send to " + Rx(w); }},
    {"chbLFACExt", [](const TfrmMain&) { return std::string("External subadres"); }},
    {"bSFACSend", [](const TfrmMain&) { return std::string("Short-format Send"); }},
    {"chbTRIGRegEnable",
     [](const TfrmMain& w) { return "TRIGWORD Enable" + OnOff(w.chbTRIGRegEnable); }},
    {"chbTrigRegExt", [](const TfrmMain&) { return std::string("TRIGWORD External subadres"); }},
    {"bTRIGRegSet", [](const TfrmMain& w) { return "TRIGWORD Set for " + Rx(w); }},
    {"frSelectReg0", [](const TfrmMain& w) { return "Deskew 1 of " + Rx(w); }},
    {"frSelectReg1", [](const TfrmMain& w) { return "Deskew 2 of " + Rx(w); }},
    {"frSelectReg2", [](const TfrmMain& w) { return "Coar Del 1 of " + Rx(w); }},
    {"frSelectReg3", [](const TfrmMain& w) { return "Coar Del 2 of " + Rx(w); }},
    {"pCntrolReg", [](const TfrmMain& w) { return "Control Register of " + Rx(w); }},
    {"bAddRxAddres", [](const TfrmMain&) { return std::string("Add TTCrx address"); }},
    {"bRxAddressDelete", [](const TfrmMain& w) { return "Delete TTCrx address " + Rx(w); }},
    {"bAplayPreset",
     [](const TfrmMain& w) {
       return "Apply preset '" + Text(w.lbPresettings->currentText()) + "'";
     }},
    {"bAddPreset", [](const TfrmMain&) { return std::string("Add preset"); }},
    {"bDeletePreset",
     [](const TfrmMain& w) {
       return "Delete preset '" + Text(w.lbPresettings->currentText()) + "'";
     }},
    {"bHelp", [](const TfrmMain&) { return std::string("Help"); }},
    {"actBusLog", [](const TfrmMain&) { return std::string("Bus log"); }},
    {"actCrateMonitor", [](const TfrmMain&) { return std::string("Crate monitor"); }},
};

}  // namespace

std::string TfrmMain::DescribeCause(const QObject* control) const {
  if (control == this) return "Close";
  // The control itself, or the control a part belongs to (the rate box's
  // editor, the sequence list's viewport, a selector's slider).
  for (const QObject* object = control; object != nullptr && object != this;
       object = object->parent()) {
    const std::string name = object->objectName().toStdString();
    for (const Cause& cause : kCauses)
      if (cause.Control == name) return cause.Describe(*this);
  }
  return {};
}
