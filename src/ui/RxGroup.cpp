#include "ui/RxGroup.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>

#include "settings/RxAddresses.h"
#include "ttcvi/TTCrxRegisters.h"
#include "ui/DlgRxControlReg.h"
#include "ui/EventGuard.h"
#include "ui/FSelectValue.h"
#include "ui/GroupControls.h"
#include "ui/PanelDialogs.h"

using namespace group_controls;

RxGroup::RxGroup(QWidget* window, PanelModel& model, const PanelDialogs& dialogs)
    : QWidget(window), Model(model), Dialogs(dialogs) {
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

  DrawList();
  DrawRx();
  BindHandlers();
  Model.AddListener(*this);
}

RxGroup::~RxGroup() { Model.RemoveListener(*this); }

void RxGroup::BindHandlers() {
  const char* const causes[] = {"Deskew 1 of ", "Deskew 2 of ", "Coar Del 1 of ", "Coar Del 2 of "};
  for (int n = 0; n < 4; ++n) {
    // The selector's number box already shows the new position.
    ::Bind(
        frSelectReg[n], &TfrSelectValue::TrackBarChange, this,
        [this, cause = causes[n]] { return cause + Model.SelectedRxCause(); },
        [this, n] {
          Model.SetSelector(static_cast<PanelModel::Selector>(n), frSelectReg[n]->GetValue());
        });
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
  SetCause(pCntrolReg, [this] { return "Control Register of " + Model.SelectedRxCause(); });
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
      [this] { return "Delete TTCrx address " + Model.SelectedRxCause(); },
      [this] { Model.DeleteRxAddress(cmbTTC->currentIndex()); });
  // Any change of the selection, the operator's or code's: the list's
  // redraw sets it with the list's signals blocked.
  ::Bind(cmbTTC, &QComboBox::currentIndexChanged, this,
         [this] { Model.SelectRx(cmbTTC->currentIndex()); });
}

void RxGroup::Changed(PanelPart part) {
  if (part == PanelPart::RxList) DrawList();
  if (part == PanelPart::Rx) DrawRx();
}

void RxGroup::DrawList() {
  const QSignalBlocker quiet(cmbTTC);
  cmbTTC->clear();
  for (const std::string& entry : Model.State().RxAddresses) AddStoredEntry(cmbTTC, entry);
  cmbTTC->setCurrentIndex(Model.State().SelectedRx);
}

void RxGroup::DrawRx() {
  const PanelState& state = Model.State();
  if (cmbTTC->currentIndex() != state.SelectedRx) {
    const QSignalBlocker quiet(cmbTTC);
    cmbTTC->setCurrentIndex(state.SelectedRx);
  }
  for (std::size_t n = 0; n < 4; ++n)
    if (frSelectReg[n]->GetValue() != state.Selectors[n])
      frSelectReg[n]->SetValueQuietly(state.Selectors[n]);
  pCntrolReg->setText(QString::fromStdString(ttcrx::RegisterBits(state.ControlRegisterShown)));
}

void RxGroup::pCntrolRegClick() {
  std::bitset<8> boxes = Model.State().ControlRegisterBoxes;
  // Cancel sends nothing; the boxes keep what the operator changed.
  if (!Dialogs.RxControlRegister().Execute(boxes)) {
    Model.SetControlRegisterBoxes(boxes);
    return;
  }
  Model.SendControlRegister(boxes);
}

void RxGroup::bAddRxAddresClick() {
  // Stored as typed: the address is converted only when it is used. A
  // number that no TTCrx can have is refused now, before it is kept.
  const std::string address = eRxAddres->text().toStdString();
  CheckRxAddressText(address);
  Model.AddRxAddress(eRxName->text().toStdString(), address);
}
