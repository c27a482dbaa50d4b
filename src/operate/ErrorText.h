#pragma once

#include <string>

// An error's message as the error box shows it: a full stop is added when the
// last character sorts above "." (compared as an unsigned byte, as the
// platform's message box did: letters, digits and any non-ASCII byte get it,
// ")" or " " do not). Programs without a window print this same text.
inline std::string ErrorBoxMessage(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}
