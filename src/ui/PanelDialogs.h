#pragma once

class TB_GoDataDlg;
class TdlgRxControlRegister;
class TfrmDataForSave;

// The dialogs the main window's groups open. They are created after the main
// window and handed over by the program entry; the window does not own them.
// A handler that needs one before it was handed over gets an error, never a
// crash.
class PanelDialogs {
 public:
  void Attach(TdlgRxControlRegister* rxControlRegister, TB_GoDataDlg* sequence,
              TfrmDataForSave* dataForSave);

  TdlgRxControlRegister& RxControlRegister() const;
  TB_GoDataDlg& Sequence() const;
  TfrmDataForSave& DataForSave() const;

 private:
  TdlgRxControlRegister* RxControlRegister_ = nullptr;
  TB_GoDataDlg* Sequence_ = nullptr;
  TfrmDataForSave* DataForSave_ = nullptr;
};
