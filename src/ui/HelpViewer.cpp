#include "ui/HelpViewer.h"

#include <QCoreApplication>
#include <QFile>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

namespace {

const char* const kGuidePage = ":/help/index.html";

QString LastFile;
int Requests = 0;
QPointer<QWidget> Window;

void DeleteWindow() { delete Window.data(); }

// The one help window: not modal, reused by every later request.
QWidget* HelpWindow() {
  if (Window) return Window;
  auto* window = new QWidget(nullptr, Qt::Window);
  window->setObjectName(QStringLiteral("HelpWindow"));
  window->setWindowTitle(QStringLiteral("Quorvane Help"));
  window->setWindowModality(Qt::NonModal);
  // Closing the main window ends the program even while the guide is open.
  window->setAttribute(Qt::WA_QuitOnClose, false);
  window->resize(720, 600);
  auto* browser = new QTextBrowser(window);
  browser->setObjectName(QStringLiteral("HelpBrowser"));
  browser->setOpenLinks(true);
  browser->setOpenExternalLinks(false);  // the guide links only to its own pages
  auto* layout = new QVBoxLayout(window);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser);
  Window = window;
  // The window has no owner; it goes before the application's widgets do.
  static const bool cleanupRegistered = (qAddPostRoutine(DeleteWindow), true);
  (void)cleanupRegistered;
  return window;
}

}  // namespace

// The guide is compiled into this static library; make sure it is linked in.
static void InitGuideResource() { Q_INIT_RESOURCE(help); }

namespace HelpViewer {

void Show(const QString& helpFile, unsigned command, unsigned long /*data*/) {
  LastFile = helpFile;
  ++Requests;
  static const bool resourceReady = (InitGuideResource(), true);
  (void)resourceReady;
  if (command != kHelpContents) return;
  if (!QFile::exists(QString::fromLatin1(kGuidePage))) return;  // no guide shipped
  QWidget* window = HelpWindow();
  auto* browser = window->findChild<QTextBrowser*>(QStringLiteral("HelpBrowser"));
  if (browser != nullptr)
    browser->setSource(QUrl(QStringLiteral("qrc") + QLatin1String(kGuidePage)));
  window->show();
  window->raise();
  window->activateWindow();
}

QString LastHelpFile() { return LastFile; }

int RequestCount() { return Requests; }

}  // namespace HelpViewer
