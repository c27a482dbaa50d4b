// The group "RX": the TTCrx address list, the fine deskews, the coarse
// delays and the control register of the selected TTCrx, each sent as one
// long-format cycle with E = 0. Nothing is ever read back from a TTCrx.

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include "settings/RxAddresses.h"
#include "ttcvi/TTCrxRegisters.h"
#include "ui/DlgRxControlReg.h"
#include "ui/EventGuard.h"
#include "ui/FMain.h"
#include "ui/FMainControls.h"
#include "ui/FSelectValue.h"

using namespace frm_main;

void TfrmMain::BuildRxControls() {
  GroupBox1 = AddGroup(this, "GroupBox1", QStringLiteral("RX"), {kRight, 8, 196, 226});

  Panel7 = AddPanel(GroupBox1, "Panel7", {4, 17, 188, 56});
  AddLabel(Panel7, "lblRxAddres", QStringLiteral("Rx Addres"), {5, 4, 56, 21});
  cmbTTC = AddPickList(Panel7, "cmbTTC", {62, 4, 122, 21});
  eRxName = AddEdit(Panel7, "eRxName", QStringLiteral("Name"), {4, 30, 38, 21}, 4);
  eRxName->setToolTip(QStringLiteral("Name must be difrent!!!"));
  eRxAddres = AddEdit(Panel7, "eRxAddres", QStringLiteral("000000"), {45, 30, 52, 21}, 6);
  bAddRxAddres = AddButton(Panel7, "bAddRxAddres", QStringLiteral("Add"), {100, 29, 38, 23});
  bRxAddressDelete =
      AddButton(Panel7, "bRxAddressDelete", QStringLiteral("Delete"), {141, 29, 44, 23});

  struct Row {
    const char* label;
    const char* caption;
    const char* selector;
    TfrSelectValue** control;
    const char* hint;
  };
  const Row rows[] = {
      {"lblDeskew1", "Deskew 1", "frSelectReg0", &frSelectReg0, nullptr},
      {"lblDeskew2", "Deskew 2", "frSelectReg1", &frSelectReg1, nullptr},
      // The coarse delays shift these TTCrx outputs.
      {"lblCoarDel1", "Coar Del 1", "frSelectReg2", &frSelectReg2,
       "L1Accept, Brcst1, BcntRes, EvCntRes, Brcst<5:2>"},
      {"lblCoarDel2", "Coar Del 2", "frSelectReg3", &frSelectReg3, "BrcstStr2, Brs<7:6>"},
  };
  int y = 80;
  for (const Row& row : rows) {
    QLabel* label =
        AddLabel(GroupBox1, row.label, QString::fromLatin1(row.caption), {8, y, 66, 22});
    *row.control = Named(new TfrSelectValue(GroupBox1), row.selector, {80, y, 104, 22});
    if (row.hint != nullptr) {
      label->setToolTip(QString::fromLatin1(row.hint));
      (*row.control)->setToolTip(QString::fromLatin1(row.hint));
    }
    y += 26;
  }

  Panel5 = AddCaptionPanel(GroupBox1, "Panel5", QStringLiteral(" Control Register"),
                           {4, 186, 188, 34}, Qt::AlignLeft | Qt::AlignVCenter);
  pCntrolReg =
      AddLabel(Panel5, "pCntrolReg",
               QString::fromStdString(ttcrx::RegisterBits(ttcrx::kControlRegisterAtPowerUp)),
               {110, 7, 70, 20}, Qt::AlignCenter);
  pCntrolReg->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  pCntrolReg->setToolTip(QStringLiteral("Bouble Click to edit"));
}

void TfrmMain::BindRxControls() {
  Bind(frSelectReg0, &TfrSelectValue::TrackBarChange, this,
       [this] { frSelectReg0tbTrackBarChange(); });
  Bind(frSelectReg1, &TfrSelectValue::TrackBarChange, this,
       [this] { frSelectReg1tbTrackBarChange(); });
  Bind(frSelectReg2, &TfrSelectValue::TrackBarChange, this,
       [this] { frSelectReg2tbTrackBarChange(); });
  Bind(frSelectReg3, &TfrSelectValue::TrackBarChange, this,
       [this] { frSelectReg3tbTrackBarChange(); });
  // frSelectReg0's number box keeps the selector's own change handling.
  frSelectReg1->SetSpinEditHandler([this] { Guarded([this] { frSelectReg1seSpinEditChange(); }); });
  frSelectReg2->SetSpinEditHandler([this] { Guarded([this] { frSelectReg2seSpinEditChange(); }); });
  frSelectReg3->SetSpinEditHandler([this] { Guarded([this] { frSelectReg3seSpinEditChange(); }); });
  // A single click opens the dialog, as a button does: the left button
  // released over the panel. The first click of a double-click already does.
  BindEvent(
      pCntrolReg,
      [](QWidget* panel, QEvent* event) {
        if (event->type() != QEvent::MouseButtonRelease) return false;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        return mouse->button() == Qt::LeftButton &&
               panel->rect().contains(mouse->position().toPoint());
      },
      [this] { pCntrolRegClick(); });
  Bind(bAddRxAddres, &QPushButton::clicked, this, [this] { bAddRxAddresClick(); });
  Bind(bRxAddressDelete, &QPushButton::clicked, this, [this] { bRxAddressDeleteClick(); });
}

std::int32_t TfrmMain::SelectedRxAddress() const {
  return RxAddressOf(EntryTexts(cmbTTC), cmbTTC->currentIndex());
}

void TfrmMain::SendToSelectedRx(int subaddress, std::uint8_t value) {
  const std::int32_t address = SelectedRxAddress();
  Module->SendLongAsync(address, subaddress, value);
}

void TfrmMain::frSelectReg0tbTrackBarChange() {
  // The selector's number box already shows the new position.
  SendToSelectedRx(ttcrx::kFineDeskew1, ttcrx::DeskewCode(frSelectReg0->GetValue()));
}

void TfrmMain::frSelectReg1tbTrackBarChange() {
  SendToSelectedRx(ttcrx::kFineDeskew2, ttcrx::DeskewCode(frSelectReg1->GetValue()));
}

void TfrmMain::frSelectReg2tbTrackBarChange() {
  // Both coarse delays share one register: they go out together.
  SendToSelectedRx(ttcrx::kCoarseDelays,
                   ttcrx::CoarseDelayByte(frSelectReg2->GetValue(), frSelectReg3->GetValue()));
}

void TfrmMain::frSelectReg3tbTrackBarChange() { frSelectReg2tbTrackBarChange(); }

// The number boxes only do what every selector's box does: move the slider,
// whose change sends the register.
void TfrmMain::frSelectReg1seSpinEditChange() { frSelectReg1->seSpinEditChange(); }
void TfrmMain::frSelectReg2seSpinEditChange() { frSelectReg2->seSpinEditChange(); }
void TfrmMain::frSelectReg3seSpinEditChange() { frSelectReg3->seSpinEditChange(); }

void TfrmMain::pCntrolRegClick() {
  // Cancel sends nothing; the boxes keep what the operator changed.
  if (RxControlDialog().exec() != QDialog::Accepted) return;
  SendControlRegister();
}

void TfrmMain::SendControlRegister() {
  // The value is taken first: it shows even when no TTCrx can be addressed.
  const std::bitset<8> value = RxControlDialog().GetRegister();
  pCntrolReg->setText(QString::fromStdString(ttcrx::RegisterBits(value)));
  SendToSelectedRx(ttcrx::kControlRegister, static_cast<std::uint8_t>(value.to_ulong()));
}

void TfrmMain::bAddRxAddresClick() {
  // Stored as typed: the address is converted only when it is used.
  cmbTTC->addItem(QString::fromStdString(
      RxEntry(eRxName->text().toStdString(), eRxAddres->text().toStdString())));
  cmbTTC->setCurrentIndex(cmbTTC->count() - 1);
}

void TfrmMain::bRxAddressDeleteClick() {
  const int selected = cmbTTC->currentIndex();
  if (selected < 0) return;
  cmbTTC->removeItem(selected);
  cmbTTC->setCurrentIndex(-1);  // the operator picks the next target
}

void TfrmMain::ReadRxAddresses(TIniFile& file, const std::string& section, ListBudget& budget) {
  for (const std::string& entry : ReadRxAddressList(file, section, budget))
    cmbTTC->addItem(QString::fromStdString(entry));
}

void TfrmMain::WriteRxAddresses(TIniFile& file, const std::string& section) const {
  WriteRxAddressList(file, section, EntryTexts(cmbTTC));
}
