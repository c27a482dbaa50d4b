#include "ui/GroupControls.h"

#include <QPalette>
#include <QRegion>

namespace group_controls {

void MarkMkII(QWidget* control) {
  QPalette marked = control->palette();
  marked.setColor(QPalette::Window, marked.color(QPalette::ToolTipBase));
  marked.setColor(QPalette::WindowText, marked.color(QPalette::ToolTipText));
  control->setPalette(marked);
  control->setBackgroundRole(QPalette::Window);
  control->setAutoFillBackground(true);
}

void FitToControls(QWidget* group) {
  // Hidden controls count too: they may be shown later (the crate monitor's).
  QList<QWidget*> controls;
  for (QObject* child : group->children())
    if (auto* control = qobject_cast<QWidget*>(child)) controls << control;
  QRect room;
  for (const QWidget* control : controls) room |= control->geometry();
  QRegion covered;
  for (QWidget* control : controls) {
    control->move(control->pos() - room.topLeft());
    covered += control->geometry();
  }
  group->setGeometry(room);
  group->setMask(covered);
}

}  // namespace group_controls
