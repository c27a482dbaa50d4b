#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>

// Finds a control by its object name (= its name in the panel's description);
// fails the test when it is missing or of another kind.
template <class T>
T* Control(QObject* root, const char* name) {
  T* control = root->findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(control, nullptr) << "no control '" << name << "' of the expected kind";
  return control;
}

// Answers the next modal window (dialog or message box) that appears while
// the test goes on: answer runs with it once it is the active modal widget.
// Use before the action that opens the modal window.
class ModalAnswer {
 public:
  using Answer = std::function<void(QWidget* modal)>;
  explicit ModalAnswer(Answer answer) : Answer_(std::move(answer)) {
    Timer_.setInterval(0);
    QObject::connect(&Timer_, &QTimer::timeout, [this] { Poll(); });
    Timer_.start();
  }
  bool Answered() const { return Answered_; }
  QString Text() const { return Text_; }    // message box text, if it was one
  QString Title() const { return Title_; }  // window title

 private:
  void Poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) return;
    Timer_.stop();
    Answered_ = true;
    Title_ = modal->windowTitle();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) Text_ = box->text();
    Answer_(modal);
  }
  Answer Answer_;
  QTimer Timer_;
  bool Answered_ = false;
  QString Text_;
  QString Title_;
};

// Typical answers.
inline void PressOk(QWidget* modal) {
  if (auto* box = qobject_cast<QMessageBox*>(modal)) {
    box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->accept();
  } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
    dialog->accept();
  }
}
inline void PressCancel(QWidget* modal) {
  if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
}
