#include "ui/PanelDialogs.h"

#include "base/Exception.h"

namespace {
template <class Dialog>
Dialog& Attached(Dialog* dialog) {
  if (dialog == nullptr) throw Exception("The dialogs of the panel were not created");
  return *dialog;
}
}  // namespace

void PanelDialogs::Attach(TdlgRxControlRegister* rxControlRegister, TB_GoDataDlg* sequence,
                          TfrmDataForSave* dataForSave) {
  RxControlRegister_ = rxControlRegister;
  Sequence_ = sequence;
  DataForSave_ = dataForSave;
}

TdlgRxControlRegister& PanelDialogs::RxControlRegister() const {
  return Attached(RxControlRegister_);
}
TB_GoDataDlg& PanelDialogs::Sequence() const { return Attached(Sequence_); }
TfrmDataForSave& PanelDialogs::DataForSave() const { return Attached(DataForSave_); }
