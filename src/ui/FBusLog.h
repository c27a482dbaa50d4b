#pragma once

// The bus log window: every bus access of the session the log still keeps,
// newest at the bottom, with the control that caused it. Not modal; it
// follows new entries as they come, can be narrowed to one register and to
// the controls whose description contains a text, and saves what it shows as
// CSV or as aligned text.

#include <QWidget>
#include <string>
#include <vector>

#include "buslog/BusLog.h"
#include "buslog/BusLogFormat.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class TBusLogFeed;
class TBusLogModel;
class TBusLogFilter;

class TfrmBusLog : public QWidget {
  Q_OBJECT

 public:
  // feed must outlive the window.
  explicit TfrmBusLog(TBusLogFeed& feed, QWidget* parent = nullptr);
  ~TfrmBusLog() override;

  // The entries the table shows now, top to bottom.
  std::vector<BusLogEntry> ShownEntries() const;
  // Writes the entries shown to file in format. Raises EFileWriteError.
  void SaveShown(const std::string& file, BusLogFormat format);

  // The window's controls are found by their object names (cbRegister,
  // eControl, chbFollow, bSave, lblShown, tvLog).

 private:
  // Asks for a file with the standard file dialog and saves there; the
  // format follows the chosen filter, or the name's ending (.txt: text).
  void bSaveClick();
  void cbRegisterChange();
  void eControlChange();
  void Follow();
  void ShowCount();

  QComboBox* cbRegister = nullptr;  // "All registers", then each register of the module
  QLineEdit* eControl = nullptr;    // part of a control's description; empty: every control
  QCheckBox* chbFollow = nullptr;   // keep the newest entry in view
  QPushButton* bSave = nullptr;
  QLabel* lblShown = nullptr;  // how many entries are shown, of how many kept
  QTableView* tvLog = nullptr;

  TBusLogFeed& Feed_;
  TBusLogModel* Model_ = nullptr;
  TBusLogFilter* Filter_ = nullptr;
};
