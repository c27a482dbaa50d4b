#include "ui/DlgDataForSave.h"

#include "ui/DialogFrame.h"

TOKBottomDlg::TOKBottomDlg(QWidget* parent) : QDialog(parent) {
  DialogFrame frame = BeginDialogFrame(this, "OKBottomDlg", "Dialog");
  EndDialogFrame(this, frame, QSize(313, 214));
}
