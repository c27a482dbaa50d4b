#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "settings/BGoSequence.h"
#include "settings/PreSettings.h"
#include "ttcvi/TTTCvi.h"
#include "ui/Application.h"
#include "vme/TVMEInterface.h"

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabBar;
class TB_GoDataDlg;
class TBusLogFeed;
class TfrmBusLog;
class TdlgRxControlRegister;
class TfrmDataForSave;
class TfrSelectValue;
class TIniFile;
class TSequenceItem;
class ListBudget;
class TModulePanel;
class TRadioGroup;
class TSpinEdit;

// The main window: every control of the panel, the one TTTCvi it drives and
// the configuration it loads at start and saves at close. Building it does
// all start-up work (configuration, adapter, module reset); an error on the
// way leaves the constructor and no window exists.
class TfrmMain : public QWidget {
  Q_OBJECT

 public:
  explicit TfrmMain(const ConnectionFactory& factory = OpenBit3Connection,
                    QWidget* parent = nullptr);
  ~TfrmMain() override;

  TfrmMain(const TfrmMain&) = delete;
  TfrmMain& operator=(const TfrmMain&) = delete;

  // The dialogs are created after the main window; the program entry hands
  // them over here. The window does not own them.
  void AttachDialogs(TdlgRxControlRegister* rxControlRegister, TB_GoDataDlg* bGoData,
                     TfrmDataForSave* dataForSave);
  // The dialogs handed over by AttachDialogs; an error, never a crash, if a
  // handler needs one before it was handed over.
  TdlgRxControlRegister& RxControlDialog() const;
  TB_GoDataDlg& SequenceDialog() const;
  TfrmDataForSave& DataForSaveDialog() const;
  // The program entry of a build with the simulated crate hands over how to
  // open the crate monitor; the window offers it when its connection is
  // simulated (FMainTools.cpp).
  void AttachCrateMonitor(CrateMonitorFactory monitor);

  // Saves the configuration; raises EFileWriteError when the file cannot be
  // written. closeEvent runs it through the handler guard.
  void FormClose();
  void bHelpClick();

  // Trigger, orbit, inhibit and CSR controls (FMainCsr.cpp).
  void rgTriggerSourceClick();
  void btVMETrigerClick();
  void cbRanGenRateChange();
  void chbOrbitSignalSelClick();
  void bL1AFIFOResetClick();
  void Button1Click();
  void btReadCSR2Click();
  void btCSR2ResetFIFOClick();
  void bResetClick();
  void btAplayInhSetingsClick();

  // The rate list's index as the operator left it: the item whose text the
  // box shows exactly, or -1 for a typed text that matches no item.
  int RanGenRateIndex() const;

  // Asynchronous B-channel cycles and TRIGWORD (FMainCycles.cpp).
  void bLFACSendClick();
  void chbLFACExtClick();
  void bSFACSendClick();
  void chbTRIGRegEnableClick();
  void bTRIGRegSetClick();

  // Presets (FMainPresets.cpp).
  void bAddPresetClick();
  void bDeletePresetClick();
  void bAplayPresetClick();
  std::vector<NamedPreset> Presets() const;
  void ReadPresets(TIniFile& file, const std::string& section, ListBudget& budget);
  void WritePresets(TIniFile& file, const std::string& section) const;

  // B-Go channels and the B-Go data sequences (FMainBGo.cpp).
  void TabControl1Change();
  void chbEnableClick();
  void chbCalibrationClick();
  void btB_GoSignalClick();
  void chbRetransmitClick();
  void bFIFO0ResetClick();
  void bLoadFIFOClick();
  void bFIFOStausClick();
  void bReadBGoSettingsClick();
  void bAddDataClick();
  void bDeleteDataClick();
  void lbB_GoDataSeqDblClick();
  // The sequences of lbB_GoDataSeq, in list order, and the selected line
  // (-1: none).
  std::vector<BGoDataSequence> Sequences() const;
  int SelectedSequence() const;
  void ReadSequences(TIniFile& file, const std::string& section, ListBudget& budget);
  void WriteSequences(TIniFile& file, const std::string& section) const;

  // TTCrx settings (FMainRx.cpp).
  void frSelectReg0tbTrackBarChange();
  void frSelectReg1tbTrackBarChange();
  void frSelectReg2tbTrackBarChange();
  void frSelectReg3tbTrackBarChange();
  void frSelectReg1seSpinEditChange();
  void frSelectReg2seSpinEditChange();
  void frSelectReg3seSpinEditChange();
  void pCntrolRegClick();
  void bAddRxAddresClick();
  void bRxAddressDeleteClick();
  // Shows the control register dialog's bits in pCntrolReg and sends them
  // to the selected TTCrx.
  void SendControlRegister();
  // The numeric address of the selected entry of cmbTTC, looked up by its
  // name; raises the conversion error when there is none or it is no number.
  std::int32_t SelectedRxAddress() const;
  // The TTCrx address list in the configuration file.
  void ReadRxAddresses(TIniFile& file, const std::string& section, ListBudget& budget);
  void WriteRxAddresses(TIniFile& file, const std::string& section) const;

  // The bus log and its windows, beside the panel's own controls
  // (FMainTools.cpp): they open the log and the crate monitor.
  void actBusLogExecute();
  void actCrateMonitorExecute();
  // What the operator did with control, for the bus log (FMainCauses.cpp).
  std::string DescribeCause(const QObject* control) const;

  // Window state besides the controls. The bus log records every access of
  // Connection, so it is declared first and outlives it; Connection is
  // declared before Module so that the module never outlives the connection
  // it uses.
  std::unique_ptr<TBusLogFeed> BusLogFeed;
  std::unique_ptr<TVMEInterface> Connection;
  std::unique_ptr<TTTCvi> Module;
  std::int32_t TTCviAddress = 0;
  std::string IniFileName;
  std::array<std::array<bool, 4>, 4> BGoFlags{};  // [channel][Enable, Asynchron, Repetetive, FIFO]
  std::bitset<4> FIFOResetBits;
  std::bitset<4> RetransmitBits;  // bit n = 1: retransmission off for channel n
  bool TabUpdating = false;
  QString RateTextSent;  // the rate box's text at its last change event

  TdlgRxControlRegister* dlgRxControlRegister = nullptr;
  TB_GoDataDlg* B_GoDataDlg = nullptr;
  TfrmDataForSave* frmDataForSave = nullptr;

  // CSR1 panel.
  QFrame* Panel3 = nullptr;
  QLabel* Label11 = nullptr;
  TRadioGroup* rgTriggerSource = nullptr;
  QPushButton* btVMETriger = nullptr;
  QComboBox* cbRanGenRate = nullptr;
  QLabel* Panel10 = nullptr;
  QLabel* Panel1 = nullptr;
  QCheckBox* chbOrbitSignalSel = nullptr;
  QPushButton* bL1AFIFOReset = nullptr;
  QPushButton* Button1 = nullptr;
  QLineEdit* eCSR1 = nullptr;

  // CSR2 panel.
  QFrame* Panel2 = nullptr;
  QLabel* Label10 = nullptr;
  QPushButton* btReadCSR2 = nullptr;
  QLineEdit* eCSR2 = nullptr;
  QPushButton* btCSR2ResetFIFO = nullptr;

  // Inhibits and reset.
  QGroupBox* GroupBox2 = nullptr;
  TSpinEdit* cseInh0Delay = nullptr;
  TSpinEdit* cseInh0Duration = nullptr;
  TSpinEdit* cseInh1Delay = nullptr;
  TSpinEdit* cseInh1Duration = nullptr;
  TSpinEdit* cseInh2Delay = nullptr;
  TSpinEdit* cseInh2Duration = nullptr;
  TSpinEdit* cseInh3Delay = nullptr;
  TSpinEdit* cseInh3Duration = nullptr;
  QPushButton* btAplayInhSetings = nullptr;
  QPushButton* bReset = nullptr;

  // B-Go tab: one page of controls shared by the four tabs.
  QTabBar* TabControl1 = nullptr;
  QFrame* TabControl1Page = nullptr;
  QGroupBox* GroupBox3 = nullptr;
  QCheckBox* chbEnable = nullptr;
  QCheckBox* chbSync = nullptr;
  QCheckBox* chSingle = nullptr;
  QCheckBox* chbFIFO = nullptr;
  QCheckBox* chbCalibration = nullptr;
  QCheckBox* chbRetransmit = nullptr;
  QLabel* Label15 = nullptr;
  QListWidget* lbB_GoDataSeq = nullptr;
  QPushButton* bAddData = nullptr;
  QPushButton* bDeleteData = nullptr;
  QPushButton* bLoadFIFO = nullptr;
  QPushButton* btB_GoSignal = nullptr;
  QPushButton* bFIFO0Reset = nullptr;
  QPushButton* bFIFOStaus = nullptr;
  QPushButton* bReadBGoSettings = nullptr;
  QLineEdit* eBGoSeting = nullptr;

  // Asynchronous cycles.
  QFrame* Panel4 = nullptr;
  QGroupBox* GroupBox4 = nullptr;
  QCheckBox* chbLFACExt = nullptr;
  QLineEdit* eLFACSubaddr = nullptr;
  QLineEdit* eLFACData = nullptr;
  QPushButton* bLFACSend = nullptr;
  QGroupBox* GroupBox5 = nullptr;
  QLineEdit* eSFACCommand = nullptr;
  QPushButton* bSFACSend = nullptr;

  // TRIGWORD (TTCvi Mk II).
  QGroupBox* GroupBox7 = nullptr;
  QCheckBox* chbTRIGRegEnable = nullptr;
  QCheckBox* chbTrigRegExt = nullptr;
  QLabel* lblTRIGRegSad = nullptr;
  QLineEdit* eTRIGRegSad = nullptr;
  QPushButton* bTRIGRegSet = nullptr;

  // TTCrx settings.
  QGroupBox* GroupBox1 = nullptr;
  QFrame* Panel7 = nullptr;
  QComboBox* cmbTTC = nullptr;
  QLineEdit* eRxName = nullptr;
  QLineEdit* eRxAddres = nullptr;
  QPushButton* bAddRxAddres = nullptr;
  QPushButton* bRxAddressDelete = nullptr;
  TfrSelectValue* frSelectReg0 = nullptr;  // fine deskew 1
  TfrSelectValue* frSelectReg1 = nullptr;  // fine deskew 2
  TfrSelectValue* frSelectReg2 = nullptr;  // coarse delay 1
  TfrSelectValue* frSelectReg3 = nullptr;  // coarse delay 2
  QLabel* Panel5 = nullptr;
  QLabel* pCntrolReg = nullptr;

  // Presets.
  QGroupBox* GroupBox6 = nullptr;
  QComboBox* lbPresettings = nullptr;
  QPushButton* bAplayPreset = nullptr;
  QPushButton* bAddPreset = nullptr;
  QPushButton* bDeletePreset = nullptr;
  QLineEdit* eNewPresetName = nullptr;

  QPushButton* bHelp = nullptr;
  TModulePanel* Panel6 = nullptr;
  QLabel* Panel8 = nullptr;

  // The bus log and the crate monitor: actions with their shortcuts, shown by
  // small buttons beside Help; their windows are made when first opened.
  QAction* actBusLog = nullptr;
  QAction* actCrateMonitor = nullptr;  // hidden unless the crate is simulated
  std::unique_ptr<TfrmBusLog> frmBusLog;
  std::unique_ptr<QWidget> frmCrateMonitor;

 signals:
  // The window accepted its close: the configuration is saved.
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // Each control group builds its controls with their start states, and
  // binds its handlers through the handler guard once start-up is done.
  // FMainLayout.cpp gives the order.
  void BuildControls();
  void BindEvents();
  void BuildCsrControls();  // FMainCsr.cpp
  void BuildCsr1Panel();
  void BuildCsr2Panel();
  void BuildInhibitGroup();
  void BindCsrControls();
  void BuildBGoControls();  // FMainBGo.cpp
  void BindBGoControls();
  void BuildCycleControls();  // FMainCycles.cpp
  void BuildAsyncCycles();
  void BuildTrigWordGroup();
  void BindCycleControls();
  void BuildRxControls();  // FMainRx.cpp
  void BindRxControls();
  void BuildPresetControls();  // FMainPresets.cpp
  void BindPresetControls();
  void BuildCornerControls();  // FMainLayout.cpp: help, Panel6, Panel8
  void BindCornerControls();   // FMain.cpp
  void BuildToolControls();    // FMainTools.cpp: bus log, crate monitor
  void BindToolControls();
  // Marks a TTCvi Mk II feature in the highlight colour.
  void MarkMkII(QWidget* control);
  // Tells Panel6 which adapter and base address the panel uses.
  void ShowConnection();
  // Keeps the rate list's index on the item whose text was typed (or none).
  void FollowTypedRate();
  // The B-Go channel of the tab shown, 0..3, and its channel object.
  int BGoChannel() const;
  B_Go& ShownChannel() const;
  TSequenceItem& SequenceAt(int row) const;
  std::uint16_t CurrentRxForEditor() const;
  static constexpr int kCalibrationChannel = 2;  // the Mk II calibration mode
  // One long-format cycle (E = 0) to a register of the selected TTCrx.
  void SendToSelectedRx(int subaddress, std::uint8_t value);

  CrateMonitorFactory CrateMonitor;
};

Q_DECLARE_METATYPE(PreSettings)
