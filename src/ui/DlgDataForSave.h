#pragma once

#include <QDialog>

// "Dialog": the generic OK/Cancel dialog, a bevelled frame and the two
// buttons; created at start-up and shown by nobody.
class TOKBottomDlg : public QDialog {
  Q_OBJECT

 public:
  explicit TOKBottomDlg(QWidget* parent = nullptr);
};
