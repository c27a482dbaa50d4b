#include "ui/CornerGroup.h"

#include <QAction>
#include <QKeySequence>
#include <QPushButton>
#include <QToolButton>

#include "ui/BusLogFeed.h"
#include "ui/EventGuard.h"
#include "ui/FBusLog.h"
#include "ui/GroupControls.h"
#include "ui/HelpViewer.h"
#include "ui/ModulePanel.h"
#include "vme/TVMEInterface.h"

using namespace group_controls;

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

QAction* AddAction(QWidget* group, const char* name, const QString& caption, Qt::Key key,
                   const QString& hint) {
  auto* action = new QAction(caption, group);
  action->setObjectName(QString::fromLatin1(name));
  action->setShortcut(QKeySequence(Qt::CTRL | key));
  action->setToolTip(hint);
  // The shortcut works wherever the focus is in the window.
  group->window()->addAction(action);
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

CornerGroup::CornerGroup(QWidget* window, TBusLogFeed& feed,
                         const VMEConnectionDescription& connection, std::int32_t address)
    : QWidget(window), Feed(feed) {
  bHelp = AddButton(this, "bHelp", QStringLiteral("Help"), {kRight, 360, 75, 25});

  Panel6 = Named(new TModulePanel(this), "Panel6", {622, 487, 105, 105});

  QLabel* Panel8 =
      AddCaptionPanel(this, "Panel8", QStringLiteral("Yellow things available only in TTCvi Mk II"),
                      {402, 575, 216, 17}, Qt::AlignCenter);
  Panel8->setFrameStyle(QFrame::NoFrame);
  MarkMkII(Panel8);

  actBusLog = AddAction(this, "actBusLog", QStringLiteral("Bus log"), Qt::Key_L,
                        QStringLiteral("Every bus access of this session and the control that "
                                       "caused it (Ctrl+L)"));
  AddToolButton(this, actBusLog, {kRight + 81, 360, 90, 25});

  actCrateMonitor = AddAction(this, "actCrateMonitor", QStringLiteral("Crate monitor"), Qt::Key_M,
                              QStringLiteral("The simulated crate's registers, FIFOs, B channel "
                                             "and TTCrx receivers (Ctrl+M)"));
  AddToolButton(this, actCrateMonitor, {kRight + 81, 391, 90, 25});
  Offer(actCrateMonitor, false);
  FitToControls(this);
  ShowConnection(connection, address);

  ::Bind(bHelp, &QPushButton::clicked, this, "Help",
         [] { HelpViewer::Show(QStringLiteral("Vorura.hlp"), HelpViewer::kHelpContents, 0); });
  ::Bind(actBusLog, &QAction::triggered, this, "Bus log", [this] { actBusLogExecute(); });
  ::Bind(actCrateMonitor, &QAction::triggered, this, "Crate monitor",
         [this] { actCrateMonitorExecute(); });
}

CornerGroup::~CornerGroup() = default;

void CornerGroup::ShowConnection(const VMEConnectionDescription& connection, std::int32_t address) {
  const QString adapter = connection.Adapter.empty() ? QString::fromStdString(connection.Device)
                                                     : QString::fromStdString(connection.Adapter);
  const QString shown = QStringLiteral("A24 0x%1")
                            .arg(QString::number(static_cast<std::uint32_t>(address), 16).toUpper(),
                                 6, QLatin1Char('0'));
  Panel6->SetConnection(adapter, shown, QString::fromStdString(connection.Device));
}

void CornerGroup::OfferCrateMonitor(CrateMonitorFactory monitor, bool simulated) {
  CrateMonitor = std::move(monitor);
  Offer(actCrateMonitor, CrateMonitor && simulated);
}

void CornerGroup::actBusLogExecute() {
  if (!frmBusLog) frmBusLog = std::make_unique<TfrmBusLog>(Feed);
  Present(frmBusLog.get());
}

void CornerGroup::actCrateMonitorExecute() {
  if (!actCrateMonitor->isVisible()) return;
  if (!frmCrateMonitor) frmCrateMonitor = CrateMonitor(Feed);
  if (frmCrateMonitor) Present(frmCrateMonitor.get());
}
