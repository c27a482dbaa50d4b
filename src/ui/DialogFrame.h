#pragma once

#include <QSize>

class QDialog;
class QFrame;
class QPushButton;

// The frame every dialog of the panel shares: a bevelled frame around the
// content and the buttons "OK" (default: Enter) and "Cancel" (Escape),
// centred along the bottom. Closing by the window frame is Cancel, as for
// any QDialog.
struct DialogFrame {
  QFrame* Bevel = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;
};

// Creates the bevel; the dialog then fills it (give it a layout).
DialogFrame BeginDialogFrame(QDialog* dialog, const char* objectName, const char* caption);

// Adds the buttons (last in the tab order) and fixes the dialog's size:
// clientSize, grown where the content would not fit with the fonts in use.
void EndDialogFrame(QDialog* dialog, DialogFrame& frame, QSize clientSize);
