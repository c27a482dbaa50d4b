#pragma once

// The whole program on the simulated crate: the five windows built as the
// program entry builds them, with the main window's connection the real Bit3
// connection over the simulated adapter library. Tests act on the real
// controls and check what an operator would check on the crate.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "UiTestSupport.h"
#include "sim/SimCrate.h"
#include "ui/Application.h"
#include "ui/FMain.h"

class SimPanel : public ::testing::Test {
 protected:
  void SetUp() override {
    Crate().PowerUp();
    Windows = CreateQuorvaneWindows(OpenBit3Connection);
    Main = Windows.frmMain.get();
    Main->show();
    QApplication::setActiveWindow(Main);
    ASSERT_TRUE(QTest::qWaitForWindowActive(Main));
    Crate().ClearCycles();  // start-up has its own tests
    Crate().ClearBChannelCycles();
  }

  static sim::Crate& Crate() { return sim::Crate::Instance(); }

  template <class T>
  T* Find(const char* name) {
    return Control<T>(Main, name);
  }
  void Click(const char* button) { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }
  // An operator's click on a check box (toggles it).
  void Toggle(const char* box) { Find<QCheckBox>(box)->click(); }
  // Replaces an edit's text as an operator does: select all, type.
  void Type(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    if (text.isEmpty())
      QTest::keyClick(edit, Qt::Key_Delete);
    else
      QTest::keyClicks(edit, text);
  }
  void Type(const char* edit, const QString& text) { Type(Find<QLineEdit>(edit), text); }

  // Adds a TTCrx entry with the RX group's Add button; it becomes the target.
  void AddRx(const QString& name, const QString& address) {
    Type("eRxName", name);
    Type("eRxAddres", address);
    Click("bAddRxAddres");
  }

  // The long-format cycles that reached a TTCrx register (E = 0), oldest first.
  static std::vector<sim::BChannelCycle> RxRegisterCycles() {
    std::vector<sim::BChannelCycle> cycles;
    for (const sim::BChannelCycle& cycle : Crate().BChannelCycles())
      if (cycle.longFormat && !cycle.external) cycles.push_back(cycle);
    return cycles;
  }

  static QStringList EntryTextsOf(const QComboBox* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) texts << list->itemText(i);
    return texts;
  }

  // Runs action while answering the error or information box it shows with
  // OK; returns the box's text (empty when none appeared).
  template <class Action>
  QString AnsweredBox(Action action) {
    ModalAnswer answer(PressOk);
    action();
    return answer.Answered() ? answer.Text() : QString();
  }

  ScopedWorkDir Dir;  // first: outlives the windows
  QuorvaneWindows Windows;
  TfrmMain* Main = nullptr;
};
