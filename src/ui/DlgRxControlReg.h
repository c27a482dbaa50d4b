#pragma once

#include <QDialog>
#include <array>
#include <bitset>

class QCheckBox;

// "Rx Control Register": the eight bits of the TTCrx control register,
// chb0 (bit 0) at the top. Power-up ticks: bits 0, 1, 4, 7 (0x93).
class TdlgRxControlRegister : public QDialog {
  Q_OBJECT

 public:
  explicit TdlgRxControlRegister(QWidget* parent = nullptr);

  // Shows boxes (bit i ticks chb<i>) and lets the operator edit them; true
  // for OK. Either way boxes come back as the operator left them: a cancelled
  // change is kept in the boxes, it is only not sent.
  bool Execute(std::bitset<8>& boxes);

 private:
  void ShowBoxes(std::bitset<8> value);
  std::bitset<8> Boxes() const;

  std::array<QCheckBox*, 8> chb{};
};
