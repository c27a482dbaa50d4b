#include "ui/ErrorBox.h"

#include <QApplication>
#include <QMessageBox>

#include "operate/ErrorText.h"

QString ErrorBoxText(const std::string& message) {
  return QString::fromStdString(ErrorBoxMessage(message));
}

namespace {

void ShowBox(QMessageBox::Icon icon, const QString& objectName, const QString& title,
             const QString& text) {
  QMessageBox box(icon, title, text, QMessageBox::Ok, QApplication::activeWindow());
  box.setObjectName(objectName);
  // Messages carry operator text and file names: never interpret them as markup.
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(QMessageBox::Ok);
  box.setEscapeButton(QMessageBox::Ok);
  box.exec();
}

}  // namespace

void ShowErrorBox(const std::string& message) {
  ShowBox(QMessageBox::Critical, QStringLiteral("ErrorBox"), QStringLiteral("Quorvane"),
          ErrorBoxText(message));
}

void ShowInformationBox(const QString& text) {
  ShowBox(QMessageBox::Information, QStringLiteral("InformationBox"),
          QApplication::applicationName(), text);
}
