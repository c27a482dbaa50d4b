// The bus log and the crate monitor, beside the panel's own controls: two
// small buttons in the free room right of Help, each showing an action with
// its keyboard shortcut (Ctrl+L, Ctrl+M). Their windows are not modal, are
// made when first opened and keep their state until the program ends. The
// crate monitor is offered only when the program was built with one and the
// connection is simulated.

#include <QAction>
#include <QKeySequence>
#include <QToolButton>

#include "ui/BusLogFeed.h"
#include "ui/EventGuard.h"
#include "ui/FBusLog.h"
#include "ui/FMain.h"
#include "ui/FMainControls.h"

using namespace frm_main;

namespace {

// A button for action; the action carries the name, the caption and the
// shortcut, so the button itself stays unnamed.
QToolButton* AddToolButton(QWidget* parent, QAction* action, const QRect& place) {
  auto* button = new QToolButton(parent);
  button->setDefaultAction(action);
  button->setToolButtonStyle(Qt::ToolButtonTextOnly);
  button->setGeometry(place);
  return button;
}

QAction* AddAction(QWidget* window, const char* name, const QString& caption, Qt::Key key,
                   const QString& hint) {
  auto* action = new QAction(caption, window);
  action->setObjectName(QString::fromLatin1(name));
  action->setShortcut(QKeySequence(Qt::CTRL | key));
  action->setToolTip(hint);
  window->addAction(action);  // the shortcut works wherever the focus is in the window
  return action;
}

// Shows or hides the action with its button.
void Offer(QAction* action, bool offered) {
  action->setVisible(offered);
  for (QObject* view : action->associatedObjects())
    if (auto* button = qobject_cast<QToolButton*>(view)) button->setVisible(offered);
}

void Present(QWidget* window) {
  window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace

void TfrmMain::BuildToolControls() {
  actBusLog = AddAction(this, "actBusLog", QStringLiteral("Bus log"), Qt::Key_L,
                        QStringLiteral("Every bus access of this session and the control that "
                                       "caused it (Ctrl+L)"));
  AddToolButton(this, actBusLog, {kRight + 81, 360, 90, 25});

  actCrateMonitor = AddAction(this, "actCrateMonitor", QStringLiteral("Crate monitor"), Qt::Key_M,
                              QStringLiteral("The simulated crate's registers, FIFOs, B channel "
                                             "and TTCrx receivers (Ctrl+M)"));
  AddToolButton(this, actCrateMonitor, {kRight + 81, 391, 90, 25});
  Offer(actCrateMonitor, false);
}

void TfrmMain::BindToolControls() {
  Bind(actBusLog, &QAction::triggered, this, [this] { actBusLogExecute(); });
  Bind(actCrateMonitor, &QAction::triggered, this, [this] { actCrateMonitorExecute(); });
}

void TfrmMain::AttachCrateMonitor(CrateMonitorFactory monitor) {
  CrateMonitor = std::move(monitor);
  // Real hardware has no monitor: the program learns what it drives from
  // the connection, never from the adapter library.
  Offer(actCrateMonitor, CrateMonitor && Connection && Connection->Describe().Simulated);
}

void TfrmMain::actBusLogExecute() {
  if (!frmBusLog) frmBusLog = std::make_unique<TfrmBusLog>(*BusLogFeed);
  Present(frmBusLog.get());
}

void TfrmMain::actCrateMonitorExecute() {
  if (!actCrateMonitor->isVisible()) return;
  if (!frmCrateMonitor) frmCrateMonitor = CrateMonitor(*BusLogFeed);
  if (frmCrateMonitor) Present(frmCrateMonitor.get());
}
