#include "ui/DlgRxControlReg.h"

#include <QCheckBox>
#include <QFrame>
#include <QVBoxLayout>

#include "ui/DialogFrame.h"

namespace {

struct BitBox {
  const char* Caption;
  bool TickedAtStart;  // the TTCrx power-up value 0x93
};

constexpr std::array<BitBox, 8> kBits = {{
    {"Enable Bunch Counter operation", true},
    {"Enable Event Counter operation", true},
    {"SelClock40Des2", false},
    {"Enable Clock40Des2 output", false},
    {"Enable ClockL1Accept output", true},
    {"Enable Paralellel output bus", false},
    {"Enable Serial B output", false},
    {"Enable (non-deskewed) Clock40 output", true},
}};

}  // namespace

TdlgRxControlRegister::TdlgRxControlRegister(QWidget* parent) : QDialog(parent) {
  DialogFrame frame = BeginDialogFrame(this, "dlgRxControlRegister", "Rx Control Register");
  auto* boxes = new QVBoxLayout(frame.Bevel);
  boxes->setContentsMargins(16, 4, 16, 4);
  boxes->setSpacing(0);
  for (std::size_t bit = 0; bit < chb.size(); ++bit) {
    chb[bit] = new QCheckBox(QString::fromLatin1(kBits[bit].Caption), frame.Bevel);
    chb[bit]->setObjectName(QStringLiteral("chb%1").arg(bit));
    chb[bit]->setChecked(kBits[bit].TickedAtStart);
    boxes->addWidget(chb[bit]);
  }
  boxes->addStretch(1);
  EndDialogFrame(this, frame, QSize(313, 214));
}

bool TdlgRxControlRegister::Execute(std::bitset<8>& boxes) {
  ShowBoxes(boxes);
  const bool accepted = exec() == QDialog::Accepted;
  boxes = Boxes();
  return accepted;
}

void TdlgRxControlRegister::ShowBoxes(std::bitset<8> value) {
  for (std::size_t bit = 0; bit < chb.size(); ++bit) chb[bit]->setChecked(value[bit]);
}

std::bitset<8> TdlgRxControlRegister::Boxes() const {
  std::bitset<8> value;
  for (std::size_t bit = 0; bit < chb.size(); ++bit) value[bit] = chb[bit]->isChecked();
  return value;
}
