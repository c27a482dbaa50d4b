#include "ui/ControlCause.h"

#include <exception>

namespace {

// Held as a child of what it describes, so it goes with it.
class Describer : public QObject {
 public:
  Describer(QObject* described, CauseDescriber describe)
      : QObject(described), Describe(std::move(describe)) {}
  CauseDescriber Describe;
};

// The describer held by object itself, if any.
const Describer* DescriberOf(const QObject* object) {
  for (const QObject* child : object->children())
    if (const auto* describer = dynamic_cast<const Describer*>(child)) return describer;
  return nullptr;
}

std::string NameOf(const QObject* control) {
  for (const QObject* object = control; object != nullptr; object = object->parent())
    if (!object->objectName().isEmpty()) return object->objectName().toStdString();
  return {};
}

}  // namespace

void SetCauseDescriber(QObject* object, CauseDescriber describer) {
  delete DescriberOf(object);
  new Describer(object, std::move(describer));
}

std::string DescribeCause(const QObject* control) {
  for (const QObject* object = control; object != nullptr; object = object->parent()) {
    const Describer* describer = DescriberOf(object);
    if (describer == nullptr) continue;
    try {
      std::string text = describer->Describe(control);
      if (!text.empty()) return text;
    } catch (const std::exception&) {
      // A description is no reason to stop a handler.
    }
    break;
  }
  return NameOf(control);
}
