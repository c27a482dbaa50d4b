#include "ui/FMain.h"

#include <QCloseEvent>

#include "base/Exception.h"
#include "buslog/BusCause.h"
#include "operate/ModuleLock.h"
#include "operate/ModuleSender.h"
#include "settings/BusLogSettings.h"
#include "settings/Configuration.h"
#include "settings/IniFile.h"
#include "settings/ListBudget.h"
#include "settings/RxAddresses.h"
#include "ttcvi/TTTCvi.h"
#include "ui/BGoGroup.h"
#include "ui/BusLogFeed.h"
#include "ui/ControlCause.h"
#include "ui/CornerGroup.h"
#include "ui/CsrGroup.h"
#include "ui/CycleGroup.h"
#include "ui/EventGuard.h"
#include "ui/PresetGroup.h"
#include "ui/RxGroup.h"

namespace {

constexpr int kClientWidth = 735;
constexpr int kClientHeight = 600;
// The panel's captions are sized for a small font; at this size even a wide
// sans font keeps every caption inside its control.
constexpr double kFontPointSize = 7.5;

}  // namespace

TfrmMain::TfrmMain(const ConnectionFactory& factory, QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("Quorvane"));
  QFont small = font();
  small.setPointSizeF(kFontPointSize);
  setFont(small);
  resize(kClientWidth, kClientHeight);

  // Controls first, with their start states, at fixed places as operators
  // know the panel (the window may be resized, its controls do not move).
  // Their events are bound only once everything exists, so building them
  // sends nothing.
  Csr = new CsrGroup(this);
  BGo = new BGoGroup(this);
  Cycles = new CycleGroup(this);
  Rx = new RxGroup(this);
  Presets = new PresetGroup(this);
  Corner = new CornerGroup(this);

  // "..\quorvane.ini": the file lies in the parent of the working directory.
  IniFileName = "..\\quorvane.ini";
  {
    TIniFile file(IniFileName);
    TTCviAddress = ReadTTCviAddress(file, kTTCviAddressSection);
    // Every access is logged from the first on, start-up's under its own cause.
    BusLogFeed_ = std::make_unique<TBusLogFeed>(ReadBusLogSettings(file),
                                                static_cast<std::uint32_t>(TTCviAddress));
    const BusCauseScope startUp([] { return std::string("Start-up"); });

    Connection = factory();
    if (!Connection) throw Exception("VME Error: no VME connection was created");
    // Opening touches no register; the first access waits for the module to
    // be ours alone, else the start ends naming its holder.
    const VMEConnectionDescription opened = Connection->Describe();
    Lock_ = std::make_unique<ModuleLock>(
        ModuleIdentity{opened.Kind, opened.Device, static_cast<std::uint32_t>(TTCviAddress),
                       opened.Adapter},
        "quorvane", kPanelModuleWait, PanelLockFolders());
    Connection = BusLogFeed_->Record(std::move(Connection));
    Module_ = std::make_unique<TTTCvi>(Connection.get(), static_cast<std::uint32_t>(TTCviAddress));
    Sender = std::make_unique<ModuleSender>(*Module_);
    Corner->ShowConnection(Connection->Describe(), TTCviAddress);

    Csr->ShowFirstRate();
    Module_->Reset();
    for (int channel = 0; channel < 4; ++channel)
      Sender->SendMode(channel, false, false, false, false, false);
    // The first CSR1 write: the orbit bit from the box, every other field 0.
    Csr->SendOrbit(*Sender);

    // A damaged file's counts may not make the lists cost without bound.
    ListBudget budget;
    BGo->SetSequences(ReadSequenceList(file, kSequenceSection, budget));
    Presets->SetPresets(ReadPresetList(file, kPresetSection, budget));
    Rx->SetAddresses(ReadRxAddressList(file, kRxAddressSection, budget));
    // The first TTCrx is the target; nothing is sent to it now.
    Rx->SelectFirst();
  }  // the configuration file is released

  SetCauseDescriber(this, [this](const QObject* control) {
    return control == this ? std::string("Close") : std::string();
  });
  Csr->Bind(*Sender);
  BGo->Bind(*Sender, Dialogs_, *Rx);
  Cycles->Bind(*Sender, *Rx);
  Rx->Bind(*Sender, Dialogs_);
  Presets->Bind(*Sender, Dialogs_, {*Csr, *Rx, *BGo});
  Corner->Bind(*BusLogFeed_);
}

TfrmMain::~TfrmMain() {
  // The groups' windows and handlers use the module and the bus log: they go
  // first.
  delete Corner;
  delete Presets;
  delete Rx;
  delete Cycles;
  delete BGo;
  delete Csr;
}

void TfrmMain::AttachDialogs(TdlgRxControlRegister* rxControlRegister, TB_GoDataDlg* bGoData,
                             TfrmDataForSave* dataForSave) {
  Dialogs_.Attach(rxControlRegister, bGoData, dataForSave);
}

void TfrmMain::AttachCrateMonitor(CrateMonitorFactory monitor) {
  // Real hardware has no monitor: the program learns what it drives from
  // the connection, never from the adapter library.
  Corner->OfferCrateMonitor(std::move(monitor), Connection && Connection->Describe().Simulated);
}

void TfrmMain::FormClose() {
  TIniFile file(IniFileName);
  WriteConfiguration(file, {TTCviAddress, BGo->Sequences(), Presets->Presets(), Rx->Addresses()});
  // The store keeps the writes until here; a file that cannot be written
  // raises "Unable to write to ../quorvane.ini" and the window stays open.
  file.UpdateFile();
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  if (Guarded(this, [this] { FormClose(); })) {
    event->accept();
    // Saved and done: nothing more goes to the module, and the next owner
    // (a panel started again, a script) need not wait for the process to end.
    Lock_.reset();
    emit Closed();
  } else {
    event->ignore();
  }
}
