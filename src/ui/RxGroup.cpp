#include "ui/RxGroup.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include "operate/ModuleSender.h"
#include "settings/RxAddresses.h"
#include "ttcvi/TTCrxRegisters.h"
#include "ui/DlgRxControlReg.h"
#include "ui/EventGuard.h"
#include "ui/FSelectValue.h"
#include "ui/GroupControls.h"
#include "ui/PanelDialogs.h"

using namespace group_controls;

RxGroup::RxGroup(QWidget* window) : QWidget(window) {
  QGroupBox* GroupBox1 = AddGroup(this, "GroupBox1", QStringLiteral("RX"), {kRight, 8, 196, 226});

  QFrame* Panel7 = AddPanel(GroupBox1, "Panel7", {4, 17, 188, 56});
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
    const char* hint;
    int maximum;
  };
  const Row rows[] = {
      {"lblDeskew1", "Deskew 1", "frSelectReg0", nullptr, ttcrx::kMaxFineDeskew},
      {"lblDeskew2", "Deskew 2", "frSelectReg1", nullptr, ttcrx::kMaxFineDeskew},
      // The coarse delays shift these TTCrx outputs.
      {"lblCoarDel1", "Coar Del 1", "frSelectReg2",
       "L1Accept, Brcst1, BcntRes, EvCntRes, Brcst<5:2>", ttcrx::kMaxCoarseDelay},
      {"lblCoarDel2", "Coar Del 2", "frSelectReg3", "BrcstStr2, Brs<7:6>", ttcrx::kMaxCoarseDelay},
  };
  int y = 80;
  for (std::size_t n = 0; n < 4; ++n) {
    const Row& row = rows[n];
    QLabel* label =
        AddLabel(GroupBox1, row.label, QString::fromLatin1(row.caption), {8, y, 66, 22});
    frSelectReg[n] = Named(new TfrSelectValue(GroupBox1), row.selector, {80, y, 104, 22});
    if (row.hint != nullptr) {
      label->setToolTip(QString::fromLatin1(row.hint));
      frSelectReg[n]->setToolTip(QString::fromLatin1(row.hint));
    }
    y += 26;
  }

  QLabel* Panel5 = AddCaptionPanel(GroupBox1, "Panel5", QStringLiteral(" Control Register"),
                                   {4, 186, 188, 34}, Qt::AlignLeft | Qt::AlignVCenter);
  pCntrolReg =
      AddLabel(Panel5, "pCntrolReg",
               QString::fromStdString(ttcrx::RegisterBits(ttcrx::kControlRegisterAtPowerUp)),
               {110, 7, 70, 20}, Qt::AlignCenter);
  pCntrolReg->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  pCntrolReg->setToolTip(QStringLiteral("Bouble Click to edit"));
  FitToControls(this);

  // The selectors' ranges; nothing is bound yet, so nothing is sent.
  for (std::size_t n = 0; n < 4; ++n) frSelectReg[n]->SetMaxValue(rows[n].maximum);
}

void RxGroup::Bind(ModuleSender& sender, const PanelDialogs& dialogs) {
  Sender = &sender;
  Dialogs = &dialogs;
  const char* const causes[] = {"Deskew 1 of ", "Deskew 2 of ", "Coar Del 1 of ", "Coar Del 2 of "};
  for (int n = 0; n < 4; ++n) {
    ::Bind(
        frSelectReg[n], &TfrSelectValue::TrackBarChange, this,
        [this, cause = causes[n]] { return cause + SelectedRxCause(); },
        [this, n] { n < 2 ? SendDeskew(n) : SendCoarseDelays(); });
  }
  // The number boxes only do what every selector's box does: move the
  // slider, whose change sends the register. frSelectReg0's box keeps the
  // selector's own change handling.
  for (int n = 1; n < 4; ++n) {
    TfrSelectValue* selector = frSelectReg[n];
    selector->SetSpinEditHandler(
        [selector] { Guarded([selector] { selector->seSpinEditChange(); }); });
  }
  // A single click opens the dialog, as a button does: the left button
  // released over the panel. The first click of a double-click already does.
  SetCause(pCntrolReg, [this] { return "Control Register of " + SelectedRxCause(); });
  BindEvent(
      pCntrolReg,
      [](QWidget* panel, QEvent* event) {
        if (event->type() != QEvent::MouseButtonRelease) return false;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        return mouse->button() == Qt::LeftButton &&
               panel->rect().contains(mouse->position().toPoint());
      },
      [this] { pCntrolRegClick(); });
  ::Bind(bAddRxAddres, &QPushButton::clicked, this, "Add TTCrx address",
         [this] { bAddRxAddresClick(); });
  ::Bind(
      bRxAddressDelete, &QPushButton::clicked, this,
      [this] { return "Delete TTCrx address " + SelectedRxCause(); },
      [this] { bRxAddressDeleteClick(); });
}

std::int32_t RxGroup::SelectedRxAddress() const {
  return RxAddressOf(EntryTexts(cmbTTC), cmbTTC->currentIndex());
}

std::string RxGroup::SelectedRxCause() const {
  const int selected = cmbTTC->currentIndex();
  if (selected < 0) return "no TTCrx";
  const std::string entry = cmbTTC->itemText(selected).toStdString();
  const std::string name = RxEntryName(entry);
  return name.empty() ? entry : name;
}

void RxGroup::SendDeskew(int selector) {
  // The selector's number box already shows the new position.
  const int step = frSelectReg[selector]->GetValue();
  if (selector == 0)
    Sender->SendDeskew1(SelectedRxAddress(), step);
  else
    Sender->SendDeskew2(SelectedRxAddress(), step);
}

void RxGroup::SendCoarseDelays() {
  // Both coarse delays share one register: they go out together.
  Sender->SendCoarseDelays(SelectedRxAddress(), frSelectReg[2]->GetValue(),
                           frSelectReg[3]->GetValue());
}

void RxGroup::pCntrolRegClick() {
  // Cancel sends nothing; the boxes keep what the operator changed.
  if (Dialogs->RxControlRegister().exec() != QDialog::Accepted) return;
  // The value is taken first: it shows even when no TTCrx can be addressed.
  const std::bitset<8> value = Dialogs->RxControlRegister().GetRegister();
  ShowControlRegister(value);
  Sender->SendControlRegister(SelectedRxAddress(), value);
}

void RxGroup::bAddRxAddresClick() {
  // Stored as typed: the address is converted only when it is used. A
  // number that no TTCrx can have is refused now, before it is kept.
  const std::string address = eRxAddres->text().toStdString();
  CheckRxAddressText(address);
  cmbTTC->addItem(QString::fromStdString(RxEntry(eRxName->text().toStdString(), address)));
  cmbTTC->setCurrentIndex(cmbTTC->count() - 1);
}

void RxGroup::bRxAddressDeleteClick() {
  const int selected = cmbTTC->currentIndex();
  if (selected < 0) return;
  cmbTTC->removeItem(selected);
  cmbTTC->setCurrentIndex(-1);  // the operator picks the next target
}

std::vector<std::string> RxGroup::Addresses() const { return EntryTexts(cmbTTC); }

void RxGroup::SetAddresses(const std::vector<std::string>& entries) {
  for (const std::string& entry : entries) AddStoredEntry(cmbTTC, entry);
}

void RxGroup::SelectFirst() { cmbTTC->setCurrentIndex(cmbTTC->count() > 0 ? 0 : -1); }

void RxGroup::CopyTo(PreSettings& preset) const {
  preset.Deskew1 = frSelectReg[0]->GetValue();
  preset.Deskew2 = frSelectReg[1]->GetValue();
  preset.CoarDel1 = frSelectReg[2]->GetValue();
  preset.CoarDel2 = frSelectReg[3]->GetValue();
  // The boxes as they are now, even if their last change was cancelled.
  preset.RxControlRegister = Dialogs->RxControlRegister().GetRegister();
  const int rx = cmbTTC->currentIndex();
  preset.RxName = rx < 0 ? std::string() : RxEntryName(EntryText(cmbTTC, rx));
}

void RxGroup::Show(const PreSettings& preset) {
  frSelectReg[0]->SetValueQuietly(preset.Deskew1);
  frSelectReg[1]->SetValueQuietly(preset.Deskew2);
  frSelectReg[2]->SetValueQuietly(preset.CoarDel1);
  frSelectReg[3]->SetValueQuietly(preset.CoarDel2);
  cmbTTC->setCurrentIndex(FindRxEntry(EntryTexts(cmbTTC), preset.RxName));
  Dialogs->RxControlRegister().SetRegister(preset.RxControlRegister);
}

void RxGroup::ShowControlRegister(std::bitset<8> value) {
  pCntrolReg->setText(QString::fromStdString(ttcrx::RegisterBits(value)));
}
