#pragma once

#include <QString>

// The help-viewer layer. Asked for the contents page of a help file, it shows
// the operator's guide that ships with the program in a help window that is
// not modal, and returns at once, as a help viewer does. When no guide is
// shipped it shows nothing.
namespace HelpViewer {

constexpr unsigned kHelpContents = 3;  // help command: show contents

void Show(const QString& helpFile, unsigned command, unsigned long data);

// For tests: the help file of the last request and the number of requests.
QString LastHelpFile();
int RequestCount();

}  // namespace HelpViewer
