#include "ui/FMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "base/Exception.h"
#include "base/ScopeExit.h"
#include "buslog/BusCause.h"
#include "operate/ModuleSender.h"
#include "operate/ModuleSession.h"
#include "operate/PanelModel.h"
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

  // "..\quorvane.ini": the file lies in the parent of the working directory.
  IniFileName = "..\\quorvane.ini";
  {
    TIniFile file(IniFileName);
    // Before the store reads it: a write in between then shows as a change.
    ReadAtStart = FileFingerprint::Take(file.FileName());
    TTCviAddress = ReadTTCviAddress(file, kTTCviAddressSection);
    // Every access is logged from the first on, start-up's under its own cause.
    BusLogFeed_ = std::make_unique<TBusLogFeed>(ReadBusLogSettings(file),
                                                static_cast<std::uint32_t>(TTCviAddress));
    const BusCauseScope startUp([] { return std::string("Start-up"); });

    // Opening touches no register; the first access waits for the module to
    // be ours alone, else the start ends naming its holder.
    Session_ = std::make_unique<ModuleSession>(
        factory, static_cast<std::uint32_t>(TTCviAddress), BusLogFeed_->Keeper(),
        SessionPlan{"quorvane", kPanelModuleWait, PanelLockFolders()});

    // A damaged file's counts may not make the lists cost without bound.
    ListBudget budget;
    StoredConfiguration stored;
    stored.TTCviAddress = TTCviAddress;
    stored.Sequences = ReadSequenceList(file, kSequenceSection, budget);
    stored.Presets = ReadPresetList(file, kPresetSection, budget);
    stored.RxAddresses = ReadRxAddressList(file, kRxAddressSection, budget);
    Model_ = std::make_unique<PanelModel>(Session_->Sender(), std::move(stored));

    // Reset, the four B-Go modes 0, the first CSR1 write (the orbit bit from
    // the box, every other field 0); the first TTCrx is the target, nothing
    // is sent to it now.
    Model_->StartUp();
  }  // the configuration file is released

  // The controls, with what they show, at fixed places as operators know the
  // panel (the window may be resized, its controls do not move), in the
  // focus order. Building them sends nothing.
  Csr = new CsrGroup(this, *Model_);
  BGo = new BGoGroup(this, *Model_, Dialogs_);
  Cycles = new CycleGroup(this, *Model_);
  Rx = new RxGroup(this, *Model_, Dialogs_);
  Presets = new PresetGroup(this, *Model_, Dialogs_);
  Corner = new CornerGroup(this, *BusLogFeed_, Session_->Describe(), TTCviAddress);

  SetCauseDescriber(this, [this](const QObject* control) {
    return control == this ? std::string("Close") : std::string();
  });
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

TTTCvi& TfrmMain::Module() const { return Session_->Module(); }

void TfrmMain::AttachDialogs(TdlgRxControlRegister* rxControlRegister, TB_GoDataDlg* bGoData,
                             TfrmDataForSave* dataForSave) {
  Dialogs_.Attach(rxControlRegister, bGoData, dataForSave);
}

void TfrmMain::AttachCrateMonitor(CrateMonitorFactory monitor) {
  // Real hardware has no monitor: the program learns what it drives from
  // the connection, never from the adapter library.
  Corner->OfferCrateMonitor(std::move(monitor), Session_ && Session_->Describe().Simulated);
}

StoredConfiguration TfrmMain::Stored() const { return Model_->Stored(); }

bool TfrmMain::FormClose(bool bySignal) {
  TIniFile file(IniFileName);
  // Another panel on the same file or a hand edit since start-up: saving
  // over it would lose that work unasked.
  if (ReadAtStart.ChangedOnDisk(file.FileName())) {
    switch (bySignal ? ChangedFileAnswer::Signal : AskAboutChangedFile(file.FileName())) {
      case ChangedFileAnswer::Overwrite:
        break;
      case ChangedFileAnswer::Keep:
        return true;
      case ChangedFileAnswer::Cancel:
        return false;
      case ChangedFileAnswer::Signal:
        SaveBeside(file.FileName());
        return true;
    }
  }
  WriteConfiguration(file, Stored());
  // The store keeps the writes until here; a file that cannot be written
  // raises "Unable to write to ../quorvane.ini" and the window stays open.
  file.UpdateFile();
  return true;
}

TfrmMain::ChangedFileAnswer TfrmMain::AskAboutChangedFile(const std::string& fileName) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Quorvane"),
                  QStringLiteral("%1 was changed by another program since this panel read it.\n\n"
                                 "Overwrite it with this panel's settings, keep it as it is and "
                                 "drop this panel's changes, or cancel the close?")
                      .arg(QString::fromStdString(fileName)),
                  QMessageBox::NoButton, this);
  box.setObjectName(QStringLiteral("FileChangedBox"));
  box.setTextFormat(Qt::PlainText);
  QPushButton* overwrite = box.addButton(QStringLiteral("Overwrite"), QMessageBox::AcceptRole);
  overwrite->setObjectName(QStringLiteral("Overwrite"));
  QPushButton* keep = box.addButton(QStringLiteral("Keep the file"), QMessageBox::DestructiveRole);
  keep->setObjectName(QStringLiteral("Keep"));
  QPushButton* cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
  cancel->setObjectName(QStringLiteral("Cancel"));
  // Enter or Escape must not lose anybody's work.
  box.setDefaultButton(cancel);
  box.setEscapeButton(cancel);
  ChangedFileBox = &box;
  box.exec();
  // Closed by a signal: nobody is there to choose.
  if (std::exchange(SignalPending, false)) return ChangedFileAnswer::Signal;
  if (box.clickedButton() == overwrite) return ChangedFileAnswer::Overwrite;
  if (box.clickedButton() == keep) return ChangedFileAnswer::Keep;
  return ChangedFileAnswer::Cancel;
}

void TfrmMain::SaveBeside(const std::string& fileName) {
  const std::string beside = MakeFileBeside(fileName);
  ScopeExit removeEmpty([&beside] { std::remove(beside.c_str()); });
  TIniFile file(beside);
  WriteConfiguration(file, Stored());
  file.UpdateFile();
  removeEmpty.Dismiss();
  const auto shown = [](const std::string& name) {
    return std::filesystem::absolute(name).lexically_normal().string();
  };
  std::fprintf(stderr,
               "quorvane: %s was changed by another program since the panel read it; it is left "
               "as it is, and the panel's settings are saved in %s\n",
               shown(fileName).c_str(), shown(beside).c_str());
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  const bool bySignal = std::exchange(SignalPending, false);
  bool closes = false;
  {
    const QScopedValueRollback<bool> inClose(InClose, true);
    Guarded(this, [&] { closes = FormClose(bySignal); });
  }
  if (closes) {
    event->accept();
    // Saved and done: nothing more goes to the module, and the next owner
    // (a panel started again, a script) need not wait for the process to end.
    Session_->Release();
    Released = true;
    emit Closed();
    return;
  }
  event->ignore();
  if (SignalPending) {
    CloseOnSignal();  // a signal came while the close's box was up: once more
  } else {
    Session_->AllowAccess();  // the panel goes on, the operator's again
  }
}

void TfrmMain::CloseOnSignal() {
  if (Released) return;  // closed already: the module is let go
  SignalPending = true;
  if (InClose) {
    if (ChangedFileBox) ChangedFileBox->reject();
    return;
  }
  Session_->StopAccess();
  if (SignalCloser == nullptr) {
    SignalCloser = new QTimer(this);
    SignalCloser->setInterval(0);
    connect(SignalCloser, &QTimer::timeout, this, [this] { GoOnClosingOnSignal(); });
  }
  SignalCloser->start();
}

void TfrmMain::GoOnClosingOnSignal() {
  // Every box of the action closes as the operator would close it, also one
  // it opens after the first: the action ends without anybody's answer.
  if (QWidget* modal = QApplication::activeModalWidget()) {
    if (auto* dialog = qobject_cast<QDialog*>(modal))
      dialog->reject();
    else
      modal->close();
    return;
  }
  // The close must not run inside the action's own loops: it waits until
  // the action has unwound to the main loop.
  if (event_guard::RunningLevel() != -1) return;
  SignalCloser->stop();
  close();
}
