#pragma once

#include <QListWidgetItem>
#include <utility>

#include "settings/BGoSequence.h"

// A line of the B-Go tab's sequence list: its text is the sequence's name
// and it owns the sequence's words.
class TSequenceItem : public QListWidgetItem {
 public:
  static constexpr int kType = QListWidgetItem::UserType + 1;

  TSequenceItem(const QString& name, BGoWords words)
      : QListWidgetItem(name, nullptr, kType), Words(std::move(words)) {}

  BGoWords Words;
};
