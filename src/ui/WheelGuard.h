#pragma once

class QWidget;

// The mouse wheel changes a value that goes to the hardware only when the
// operator has put the focus on that control: a scroll over the window must
// not move a deskew slider or step a number box. Also makes the control take
// focus by click and tab but not by wheel.
void RequireFocusForWheel(QWidget* control);
