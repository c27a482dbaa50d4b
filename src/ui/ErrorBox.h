#pragma once

#include <QString>
#include <string>

// The error box: modal, titled with the application title "Quorvane", error
// icon, one OK button. A "." is appended when the message's last character
// sorts above ".".
QString ErrorBoxText(const std::string& message);
void ShowErrorBox(const std::string& message);

// The standard information box with one OK button.
void ShowInformationBox(const QString& text);
