#include "ui/FMain.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "base/Exception.h"
#include "settings/ConfigFile.h"
#include "settings/IniFile.h"
#include "ui/EventGuard.h"
#include "ui/FSelectValue.h"
#include "ui/HelpViewer.h"
#include "ui/ModulePanel.h"
#include "ui/RadioGroup.h"

namespace {
const char* const kAddressSection = "TTCvi_Address";
}  // namespace

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
    TTCviAddress = ReadTTCviAddress(file, kAddressSection);

    Connection = factory();
    if (!Connection) throw Exception("VME Error: no VME connection was created");
    Module = std::make_unique<TTTCvi>(Connection.get(), static_cast<std::uint32_t>(TTCviAddress));
    ShowConnection();

    frSelectReg0->SetMaxValue(239);  // fine deskew: 240 steps
    frSelectReg1->SetMaxValue(239);
    frSelectReg2->SetMaxValue(15);  // coarse delays: 4 bits each
    frSelectReg3->SetMaxValue(15);

    // Selecting from code is no operator change: nothing is sent.
    cbRanGenRate->setCurrentIndex(0);

    Module->Reset();
    for (const auto& channel : Module->BGo) channel->SetMode(false, false, false, false, false);
    // The first CSR1 write: the orbit bit from the box, every other field 0.
    Module->SetOrbitSignal(chbOrbitSignalSel->isChecked());

    // The B-Go data sequences, the presets and the TTCrx addresses are not
    // kept in the file yet: their lists start empty.

    cmbTTC->setCurrentIndex(cmbTTC->count() > 0 ? 0 : -1);
  }  // the configuration file is released

  BindEvents();
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::AttachDialogs(TdlgRxControlRegister* rxControlRegister, TB_GoDataDlg* bGoData,
                             TfrmDataForSave* dataForSave) {
  dlgRxControlRegister = rxControlRegister;
  B_GoDataDlg = bGoData;
  frmDataForSave = dataForSave;
}

void TfrmMain::BindEvents() {
  Bind(rgTriggerSource, &TRadioGroup::Click, this, [this] { rgTriggerSourceClick(); });
  Bind(btVMETriger, &QPushButton::clicked, this, [this] { btVMETrigerClick(); });
  // The rate box changes on an operator's pick of another item and on every
  // edit of its text; a selection made from code is no change, and neither
  // is picking the item the box already shows.
  Bind(cbRanGenRate, &QComboBox::activated, this, [this] {
    if (cbRanGenRate->currentText() != RateTextSent) cbRanGenRateChange();
  });
  Bind(cbRanGenRate->lineEdit(), &QLineEdit::textEdited, this, [this] {
    FollowTypedRate();
    cbRanGenRateChange();
  });
  // A check box reports every change of its state, also one made from code.
  Bind(chbOrbitSignalSel, &QCheckBox::toggled, this, [this] { chbOrbitSignalSelClick(); });
  Bind(bL1AFIFOReset, &QPushButton::clicked, this, [this] { bL1AFIFOResetClick(); });
  Bind(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  Bind(btReadCSR2, &QPushButton::clicked, this, [this] { btReadCSR2Click(); });
  Bind(btCSR2ResetFIFO, &QPushButton::clicked, this, [this] { btCSR2ResetFIFOClick(); });
  Bind(bReset, &QPushButton::clicked, this, [this] { bResetClick(); });
  Bind(btAplayInhSetings, &QPushButton::clicked, this, [this] { btAplayInhSetingsClick(); });
  Bind(bHelp, &QPushButton::clicked, this, [this] { bHelpClick(); });
}

void TfrmMain::FollowTypedRate() {
  // Typing changes only the text; the list's index must follow it, or the
  // arrow keys and the wheel would step from the item shown before.
  QLineEdit* edit = cbRanGenRate->lineEdit();
  const QString text = edit->text();
  const int cursor = edit->cursorPosition();
  const QSignalBlocker quiet(cbRanGenRate);
  cbRanGenRate->setCurrentIndex(cbRanGenRate->findText(text));
  if (edit->text() != text) edit->setText(text);  // index -1 clears the text
  edit->setCursorPosition(cursor);
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
  WriteTTCviAddress(file, kAddressSection, TTCviAddress);
  // The sequences, presets and TTCrx addresses are not kept in the file yet.
  // The store keeps the writes until here; a file that cannot be written
  // raises "Unable to write to ../quorvane.ini" and the window stays open.
  file.UpdateFile();
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  if (Guarded([this] { FormClose(); })) {
    event->accept();
    emit Closed();
  } else {
    event->ignore();
  }
}

void TfrmMain::bHelpClick() {
  HelpViewer::Show(QStringLiteral("Vorura.hlp"), HelpViewer::kHelpContents, 0);
}
