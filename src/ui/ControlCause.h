#pragma once

// What the operator did with a control, in words, for the bus log: "Apply
// preset 'Physics'", "Deskew 1 of Rx1". Each control is given its describer
// where its handler is bound (SetCause, Bind in EventGuard.h), a window one
// for itself; the handler guard asks it when a handler starts and opens that
// cause for the handler's bus accesses.

#include <QObject>
#include <functional>
#include <string>

// control: the object whose signal or event fired (a control, a part of
// one, or the window itself).
using CauseDescriber = std::function<std::string(const QObject* control)>;

// object's describer (a control's or a window's); it lives as long as object.
void SetCauseDescriber(QObject* object, CauseDescriber describer);

// What the describer of control, or of its nearest ancestor that has one,
// makes of it; else the object name of control or its nearest named
// ancestor. Never raises: a describer that raises counts as none.
std::string DescribeCause(const QObject* control);
