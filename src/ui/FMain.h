#pragma once

#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>

#include "settings/FileChange.h"
#include "ui/PanelDialogs.h"
#include "ui/PanelStart.h"
#include "vme/TVMEInterface.h"

class BGoGroup;
class CornerGroup;
class CsrGroup;
class CycleGroup;
class ModuleSession;
class ModuleSender;
class PanelModel;
class PresetGroup;
class QMessageBox;
class QTimer;
class RxGroup;
struct StoredConfiguration;
class TBusLogFeed;
class TTTCvi;

// The main window: the panel's control groups, the one TTTCvi they drive and
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
  const PanelDialogs& Dialogs() const { return Dialogs_; }
  // The program entry of a build with the simulated crate hands over how to
  // open the crate monitor; the window offers it when its connection is
  // simulated.
  void AttachCrateMonitor(CrateMonitorFactory monitor);

  // The module the panel drives and the log of every access to it.
  TTTCvi& Module() const;
  TBusLogFeed& BusLog() const { return *BusLogFeed_; }
  // What the panel holds and sends; the groups are its views.
  const PanelModel& Model() const { return *Model_; }

  // A signal (logout, kill, Ctrl+C) asks the panel to end. The action under
  // way stops at once: nothing more reaches the bus, and every box it has
  // open closes as if the operator had closed it. Once it has unwound, the
  // window closes as on a click, saving first; a configuration file changed
  // by another program is then left as it is and the settings go to a new
  // file beside it (named on standard error), as nobody is there to answer.
  // During the close itself, the question about a changed file is answered
  // that way; its error box stays for the operator, and the close is tried
  // again once it is answered.
  void CloseOnSignal();

 signals:
  // The window accepted its close: the configuration is saved (or, changed
  // by another program, kept as it is at the operator's word).
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // Saves the configuration; raises EFileWriteError when the file cannot be
  // written. False when the operator cancelled the close.
  bool FormClose(bool bySignal);
  StoredConfiguration Stored() const;
  enum class ChangedFileAnswer { Overwrite, Keep, Cancel, Signal };
  ChangedFileAnswer AskAboutChangedFile(const std::string& fileName);
  // Saves the settings in a new file beside fileName, which stays as it is.
  void SaveBeside(const std::string& fileName);
  void GoOnClosingOnSignal();

  // The bus log records every access of the session's connection, so it
  // is declared before the session and outlives it; the model sends through
  // the session, so it goes first.
  std::unique_ptr<TBusLogFeed> BusLogFeed_;
  std::unique_ptr<ModuleSession> Session_;
  std::unique_ptr<PanelModel> Model_;
  // The close let the module go: nothing more reaches the bus.
  bool Released = false;
  std::int32_t TTCviAddress = 0;
  std::string IniFileName;
  // The file as start-up found it, before it read it.
  FileFingerprint ReadAtStart;
  // A signal asked for the close that has not run yet.
  bool SignalPending = false;
  bool InClose = false;
  QTimer* SignalCloser = nullptr;
  QPointer<QMessageBox> ChangedFileBox;
  PanelDialogs Dialogs_;

  // The control groups, children of the window, in the order they are built
  // (and the focus moves): left column, B-Go tab, cycles, RX, presets,
  // corner.
  CsrGroup* Csr = nullptr;
  BGoGroup* BGo = nullptr;
  CycleGroup* Cycles = nullptr;
  RxGroup* Rx = nullptr;
  PresetGroup* Presets = nullptr;
  CornerGroup* Corner = nullptr;
};
