#include "ui/FMain.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QPushButton>

#include "base/Exception.h"
#include "buslog/BusCause.h"
#include "settings/BusLogSettings.h"
#include "settings/Configuration.h"
#include "settings/IniFile.h"
#include "settings/ListBudget.h"
#include "ttcvi/TTCrxRegisters.h"
#include "ui/BusLogFeed.h"
#include "ui/ControlCause.h"
#include "ui/EventGuard.h"
#include "ui/FBusLog.h"
#include "ui/FSelectValue.h"
#include "ui/HelpViewer.h"
#include "ui/ModulePanel.h"

TfrmMain::TfrmMain(const ConnectionFactory& factory, QWidget* parent) : QWidget(parent) {
  // Controls first, with their start states; their events are bound only
  // once everything exists, so building them sends nothing.
  BuildControls();

  FIFOResetBits.reset();
  RetransmitBits.reset();
  TabUpdating = false;

  // "..\quorvane.ini": the file lies in the parent of the working directory.
  IniFileName = "..\\quorvane.ini";
  {
    TIniFile file(IniFileName);
    TTCviAddress = ReadTTCviAddress(file, kTTCviAddressSection);
    // Every access is logged from the first on, start-up's under its own cause.
    BusLogFeed = std::make_unique<TBusLogFeed>(ReadBusLogSettings(file),
                                               static_cast<std::uint32_t>(TTCviAddress));
    const BusCauseScope startUp([] { return std::string("Start-up"); });

    Connection = factory();
    if (!Connection) throw Exception("VME Error: no VME connection was created");
    Connection = BusLogFeed->Record(std::move(Connection));
    Module = std::make_unique<TTTCvi>(Connection.get(), static_cast<std::uint32_t>(TTCviAddress));
    ShowConnection();

    frSelectReg0->SetMaxValue(ttcrx::kMaxFineDeskew);
    frSelectReg1->SetMaxValue(ttcrx::kMaxFineDeskew);
    frSelectReg2->SetMaxValue(ttcrx::kMaxCoarseDelay);
    frSelectReg3->SetMaxValue(ttcrx::kMaxCoarseDelay);

    // Selecting from code is no operator change: nothing is sent, and a
    // later pick of the item shown is none either.
    cbRanGenRate->setCurrentIndex(0);
    RateTextSent = cbRanGenRate->currentText();

    Module->Reset();
    for (const auto& channel : Module->BGo) channel->SetMode(false, false, false, false, false);
    // The first CSR1 write: the orbit bit from the box, every other field 0.
    Module->SetOrbitSignal(chbOrbitSignalSel->isChecked());

    // A damaged file's counts may not make the lists cost without bound.
    ListBudget budget;
    ReadSequences(file, kSequenceSection, budget);
    ReadPresets(file, kPresetSection, budget);
    ReadRxAddresses(file, kRxAddressSection, budget);
    // The first TTCrx is the target; nothing is sent to it now.
    cmbTTC->setCurrentIndex(cmbTTC->count() > 0 ? 0 : -1);
  }  // the configuration file is released

  SetCauseDescriber(this, [this](const QObject* control) { return DescribeCause(control); });
  BindEvents();
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::AttachDialogs(TdlgRxControlRegister* rxControlRegister, TB_GoDataDlg* bGoData,
                             TfrmDataForSave* dataForSave) {
  dlgRxControlRegister = rxControlRegister;
  B_GoDataDlg = bGoData;
  frmDataForSave = dataForSave;
}

namespace {
template <class Dialog>
Dialog& Attached(Dialog* dialog) {
  if (dialog == nullptr) throw Exception("The dialogs of the panel were not created");
  return *dialog;
}
}  // namespace

TdlgRxControlRegister& TfrmMain::RxControlDialog() const { return Attached(dlgRxControlRegister); }
TB_GoDataDlg& TfrmMain::SequenceDialog() const { return Attached(B_GoDataDlg); }
TfrmDataForSave& TfrmMain::DataForSaveDialog() const { return Attached(frmDataForSave); }

void TfrmMain::BindCornerControls() {
  Bind(bHelp, &QPushButton::clicked, this, [this] { bHelpClick(); });
}

void TfrmMain::ShowConnection() {
  const VMEConnectionDescription connection = Connection->Describe();
  const QString adapter = connection.Adapter.empty() ? QString::fromStdString(connection.Device)
                                                     : QString::fromStdString(connection.Adapter);
  const QString address =
      QStringLiteral("A24 0x%1")
          .arg(QString::number(static_cast<std::uint32_t>(TTCviAddress), 16).toUpper(), 6,
               QLatin1Char('0'));
  Panel6->SetConnection(adapter, address, QString::fromStdString(connection.Device));
}

void TfrmMain::FormClose() {
  TIniFile file(IniFileName);
  WriteTTCviAddress(file, kTTCviAddressSection, TTCviAddress);
  WriteSequences(file, kSequenceSection);
  WritePresets(file, kPresetSection);
  WriteRxAddresses(file, kRxAddressSection);
  // The store keeps the writes until here; a file that cannot be written
  // raises "Unable to write to ../quorvane.ini" and the window stays open.
  file.UpdateFile();
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  if (Guarded(this, [this] { FormClose(); })) {
    event->accept();
    emit Closed();
  } else {
    event->ignore();
  }
}

void TfrmMain::bHelpClick() {
  HelpViewer::Show(QStringLiteral("Vorura.hlp"), HelpViewer::kHelpContents, 0);
}
