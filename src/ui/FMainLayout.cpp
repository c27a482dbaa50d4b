// The main window's frame and the order in which its control groups are
// built. Each group builds, binds and handles its controls in its own file:
// FMainCsr.cpp (CSR1, CSR2, inhibits), FMainBGo.cpp (the B-Go tab),
// FMainCycles.cpp (asynchronous cycles, TRIGWORD), FMainRx.cpp (TTCrx
// settings), FMainPresets.cpp (presets). Places are fixed, in three columns
// and a bottom strip, as operators know the panel; the window may be resized
// but its controls do not move.

#include <QLabel>
#include <QPushButton>

#include "ui/FMain.h"
#include "ui/FMainControls.h"
#include "ui/ModulePanel.h"

using namespace frm_main;

namespace {

constexpr int kClientWidth = 735;
constexpr int kClientHeight = 600;
// The panel's captions are sized for a small font; at this size even a wide
// sans font keeps every caption inside its control.
constexpr double kFontPointSize = 7.5;

}  // namespace

void TfrmMain::BuildControls() {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("Quorvane"));
  QFont small = font();
  small.setPointSizeF(kFontPointSize);
  setFont(small);
  resize(kClientWidth, kClientHeight);

  BuildCsrControls();
  BuildBGoControls();
  BuildCycleControls();
  BuildRxControls();
  BuildPresetControls();
  BuildCornerControls();
  BuildToolControls();
}

void TfrmMain::BindEvents() {
  BindCsrControls();
  BindBGoControls();
  BindCycleControls();
  BindRxControls();
  BindPresetControls();
  BindCornerControls();
  BindToolControls();
}

void TfrmMain::MarkMkII(QWidget* control) {
  // The Mk II features wear the tool-tip background (pale yellow). Buttons
  // and check boxes fill with the button role by default; the mark is a
  // window-coloured background for every kind.
  QPalette marked = control->palette();
  marked.setColor(QPalette::Window, marked.color(QPalette::ToolTipBase));
  marked.setColor(QPalette::WindowText, marked.color(QPalette::ToolTipText));
  control->setPalette(marked);
  control->setBackgroundRole(QPalette::Window);
  control->setAutoFillBackground(true);
}

void TfrmMain::BuildCornerControls() {
  bHelp = AddButton(this, "bHelp", QStringLiteral("Help"), {kRight, 360, 75, 25});

  Panel6 = Named(new TModulePanel(this), "Panel6", {622, 487, 105, 105});

  Panel8 =
      AddCaptionPanel(this, "Panel8", QStringLiteral("Yellow things available only in TTCvi Mk II"),
                      {402, 575, 216, 17}, Qt::AlignCenter);
  Panel8->setFrameStyle(QFrame::NoFrame);
  MarkMkII(Panel8);
}
