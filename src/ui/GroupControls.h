#pragma once

// Building blocks of the main window's control groups: every control gets
// its name (the object name tests and screenshots find it by), its place and
// its start state in one call. Places are given in the window's client area,
// in three columns and a bottom strip, as operators know the panel; a group
// then takes the room of its controls (FitToControls).

#include <QByteArray>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRect>
#include <QString>
#include <QVariant>
#include <string>
#include <vector>

#include "base/StoredText.h"
#include "ui/WheelGuard.h"

namespace group_controls {

// The three columns of the client area.
constexpr int kLeft = 8;      // CSR1, CSR2, inhibits
constexpr int kMiddle = 204;  // B-Go tab, asynchronous cycles, TRIGWORD
constexpr int kRight = 531;   // RX, presets, help

// The main window's spelling of the number-entry hint.
inline QString NumberHint() { return QStringLiteral("Decyamal or Hexadecymal (with x on begin)"); }

template <class T>
T* Named(T* control, const char* name, const QRect& place) {
  control->setObjectName(QString::fromLatin1(name));
  control->setGeometry(place);
  return control;
}

inline QPushButton* AddButton(QWidget* parent, const char* name, const QString& caption,
                              const QRect& place) {
  return Named(new QPushButton(caption, parent), name, place);
}

inline QCheckBox* AddCheckBox(QWidget* parent, const char* name, const QString& caption,
                              const QRect& place, bool checked) {
  auto* box = Named(new QCheckBox(caption, parent), name, place);
  box->setChecked(checked);
  return box;
}

inline QLabel* AddLabel(QWidget* parent, const char* name, const QString& text, const QRect& place,
                        Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
  auto* label = Named(new QLabel(text, parent), name, place);
  label->setAlignment(alignment);
  return label;
}

inline QLineEdit* AddEdit(QWidget* parent, const char* name, const QString& text,
                          const QRect& place, int maxLength = 0) {
  auto* edit = Named(new QLineEdit(text, parent), name, place);
  if (maxLength > 0) edit->setMaxLength(maxLength);
  return edit;
}

inline QLineEdit* AddReadOut(QWidget* parent, const char* name, const QRect& place) {
  auto* edit = AddEdit(parent, name, QString(), place);
  edit->setReadOnly(true);
  return edit;
}

// A raised panel.
inline QFrame* AddPanel(QWidget* parent, const char* name, const QRect& place) {
  auto* panel = Named(new QFrame(parent), name, place);
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  return panel;
}

// A raised panel with a caption: a label drawn as a panel.
inline QLabel* AddCaptionPanel(QWidget* parent, const char* name, const QString& caption,
                               const QRect& place, Qt::Alignment alignment) {
  auto* panel = AddLabel(parent, name, caption, place, alignment);
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  return panel;
}

inline QGroupBox* AddGroup(QWidget* parent, const char* name, const QString& title,
                           const QRect& place) {
  return Named(new QGroupBox(title, parent), name, place);
}

// A pick-only list. Its choice decides where later writes go (TTCrx address)
// or what they send (preset), so a stray scroll over it must not change it.
inline QComboBox* AddPickList(QWidget* parent, const char* name, const QRect& place) {
  auto* list = Named(new QComboBox(parent), name, place);
  RequireFocusForWheel(list);
  return list;
}

// Names come from the configuration file as bytes, not always UTF-8 (files
// written on Windows hold Windows-1252). An entry shows them decoded and
// keeps the bytes beside its text, so a name nobody edits is written back
// as it was read.
constexpr int kStoredTextRole = Qt::UserRole + 1;

inline QString ShownText(const std::string& stored) {
  return QString::fromStdString(StoredTextToUtf8(stored));
}
inline QVariant KeptBytes(const std::string& stored) { return QByteArray::fromStdString(stored); }

// What to write for an entry showing shown that keeps stored.
inline std::string TextToKeep(const QString& shown, const QVariant& stored) {
  return TextToStore(stored.toByteArray().toStdString(), shown.toStdString());
}

// Appends an entry read from the file, with data in the list's user role.
inline void AddStoredEntry(QComboBox* list, const std::string& stored, const QVariant& data = {}) {
  list->addItem(ShownText(stored), data);
  list->setItemData(list->count() - 1, KeptBytes(stored), kStoredTextRole);
}

// The text to write for entry i of a drop-down list.
inline std::string EntryText(const QComboBox* list, int i) {
  return TextToKeep(list->itemText(i), list->itemData(i, kStoredTextRole));
}

// The texts to write for a drop-down list's entries, in order.
inline std::vector<std::string> EntryTexts(const QComboBox* list) {
  std::vector<std::string> texts;
  texts.reserve(static_cast<std::size_t>(list->count()));
  for (int i = 0; i < list->count(); ++i) texts.push_back(EntryText(list, i));
  return texts;
}

// A check box's state for a cause text: " on" or " off".
inline std::string OnOff(const QCheckBox* box) { return box->isChecked() ? " on" : " off"; }

// Marks a TTCvi Mk II feature in the highlight colour (the tool-tip
// background, pale yellow). Buttons and check boxes fill with the button
// role by default; the mark is a window-coloured background for every kind.
void MarkMkII(QWidget* control);

// A group built with its controls placed in its parent's client area takes
// the room its controls cover and keeps them where they were; outside them
// it is no target for the mouse, so neighbouring groups never cover each
// other.
void FitToControls(QWidget* group);

}  // namespace group_controls
