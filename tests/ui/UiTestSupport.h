#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

// Failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

// Finds a control by its object name (= its name in the panel's description);
// fails the test when it is missing or of another kind.
template <class T>
T* Control(QObject* root, const char* name) {
  T* control = root->findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(control, nullptr) << "no control '" << name << "' of the expected kind";
  return control;
}

// A window without a parent (a dialog, the bus log), by its object name;
// nullptr when there is none.
inline QWidget* TopLevel(const char* name) {
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (widget->objectName() == QLatin1String(name)) return widget;
  return nullptr;
}

// How a failure names a modal window: its kind, object name, title and, for a
// message box, its text.
inline std::string DescribeModal(QWidget* modal) {
  auto* box = qobject_cast<QMessageBox*>(modal);
  std::string text = (box != nullptr ? "message box '" : "modal window '") +
                     modal->objectName().toStdString() + "' (" + modal->metaObject()->className() +
                     "), title \"" + modal->windowTitle().toStdString() + "\"";
  if (box != nullptr) text += ", text \"" + box->text().toStdString() + "\"";
  return text;
}

// Closes a modal window as its Cancel, Escape or close button would.
inline void CloseModal(QWidget* modal) {
  if (auto* dialog = qobject_cast<QDialog*>(modal))
    dialog->reject();
  else
    modal->close();
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

// Answers the next modal windows in turn, one answer each, as they appear;
// the same dialog shown again counts as the next one. Texts() holds each
// message box's text (empty for a dialog), in order.
class ModalAnswers {
 public:
  explicit ModalAnswers(std::vector<ModalAnswer::Answer> answers) : Answers_(std::move(answers)) {
    Timer_.setInterval(0);
    QObject::connect(&Timer_, &QTimer::timeout, [this] { Poll(); });
    Timer_.start();
  }
  std::size_t Answered() const { return static_cast<std::size_t>(Texts_.size()); }
  const QStringList& Texts() const { return Texts_; }

 private:
  void Poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible() || Answered() == Answers_.size()) return;
    auto* box = qobject_cast<QMessageBox*>(modal);
    Texts_ << (box != nullptr ? box->text() : QString());
    Answers_[static_cast<std::size_t>(Texts_.size() - 1)](modal);
    if (Answered() == Answers_.size()) Timer_.stop();
  }
  std::vector<ModalAnswer::Answer> Answers_;
  QTimer Timer_;
  QStringList Texts_;
};

// An answer for one kind of modal window, e.g. As<TB_GoDataDlg>(...). Any
// other window that comes up in its place (an error box a fault brought up)
// fails the test with its text and is closed, so the answer never works on a
// window of another kind (which would crash the test rather than fail it).
template <class Window>
ModalAnswer::Answer As(std::function<void(Window*)> answer) {
  return [answer = std::move(answer)](QWidget* modal) {
    if (auto* window = qobject_cast<Window*>(modal)) return answer(window);
    ADD_FAILURE() << "expected a " << Window::staticMetaObject.className() << ", got a "
                  << DescribeModal(modal);
    CloseModal(modal);
  };
}

// Closes a modal window that nothing answers. An expected window is answered
// by a ModalAnswer(s) within a few turns of the event loop; one that keeps
// the test waiting in its exec() for LimitMs (an error box a fault brought
// up, a dialog an answer left open) fails the running test with its title and
// text and is closed, so the test goes on to its own checks instead of
// waiting for ctest's timeout. A modal window the test shows and drives
// itself is left alone: then no event loop runs, only the test's own
// processing of events. main() keeps one for the whole run.
class UnansweredModalCloser {
 public:
  static constexpr int LimitMs = 2000;
  UnansweredModalCloser() {
    Timer_.setInterval(100);
    QObject::connect(&Timer_, &QTimer::timeout, [this] { Poll(); });
    Timer_.start();
  }

 private:
  void Poll() {
    QWidget* modal =
        QThread::currentThread()->loopLevel() > 0 ? QApplication::activeModalWidget() : nullptr;
    if (modal != Seen_) {
      Seen_ = modal;
      Since_.start();
      return;
    }
    if (modal == nullptr || Since_.elapsed() < LimitMs) return;
    ADD_FAILURE() << "unanswered " << DescribeModal(modal) << "; closed after " << Since_.elapsed()
                  << " ms";
    Seen_ = nullptr;
    CloseModal(modal);
  }
  QTimer Timer_;
  QPointer<QWidget> Seen_;
  QElapsedTimer Since_;
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

// A fresh temporary folder tree for one test, with the working directory in
// its subfolder "bin": the panel's "..\\quorvane.ini" is then Root()/quorvane.ini.
// The previous working directory is restored and the tree removed at the end.
class ScopedWorkDir {
 public:
  ScopedWorkDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quorvane-ui-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    Root_ = pattern;
    std::filesystem::create_directory(Root_ / "bin");
    Previous_ = std::filesystem::current_path();
    std::filesystem::current_path(Root_ / "bin");
  }
  ~ScopedWorkDir() {
    std::error_code ignored;
    std::filesystem::current_path(Previous_, ignored);
    std::filesystem::permissions(IniPath(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(Root_, ignored);
  }
  ScopedWorkDir(const ScopedWorkDir&) = delete;
  ScopedWorkDir& operator=(const ScopedWorkDir&) = delete;

  const std::filesystem::path& Root() const { return Root_; }
  std::filesystem::path IniPath() const { return Root_ / "quorvane.ini"; }

 private:
  std::filesystem::path Root_;
  std::filesystem::path Previous_;
};

inline std::string ReadTextFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteTextFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}
