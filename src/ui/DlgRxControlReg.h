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

  // Bit i = box chb<i> ticked; the result is also remembered.
  std::bitset<8> GetRegister();
  // Remembers value and ticks box i exactly when bit i is set.
  void SetRegister(std::bitset<8> value);

  std::array<QCheckBox*, 8> chb;
  std::bitset<8> Register;  // the value last read from or set into the boxes
};
