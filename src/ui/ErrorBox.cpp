#include "ui/ErrorBox.h"

#include <QApplication>
#include <QMessageBox>

QString ErrorBoxText(const std::string& message) {
  QString text = QString::fromStdString(message);
  // Compared as an unsigned byte, as the platform's message box did: letters,
  // digits and any non-ASCII byte get the full stop, ")" or " " do not.
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') text += '.';
  return text;
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
