#pragma once

#include <exception>
#include <string>
#include <utility>

// The common error base of the whole program. Every error an operator can see
// derives from it and carries its complete message; the event-handler guard
// and the program entry catch it and show the message in the error box.
class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : Message_(std::move(message)) {}

  const std::string& Message() const noexcept { return Message_; }
  const char* what() const noexcept override { return Message_.c_str(); }

 private:
  std::string Message_;
};

// "'%s' is not a valid integer value": a typed or stored number that breaks
// the number entry rule. The text is quoted whole, as entered.
class EConvertError : public Exception {
 public:
  explicit EConvertError(const std::string& text)
      : Exception("'" + text + "' is not a valid integer value") {}

 protected:
  // A number that reads but is not one its use allows: a message of its own.
  struct OwnMessage {};
  EConvertError(OwnMessage, std::string message) : Exception(std::move(message)) {}
};

// "List index out of bounds (%d)": a list operation with nothing selected.
class EListError : public Exception {
 public:
  explicit EListError(int index)
      : Exception("List index out of bounds (" + std::to_string(index) + ")") {}
};

// "Unable to write to %s": the configuration file could not be written.
class EFileWriteError : public Exception {
 public:
  explicit EFileWriteError(const std::string& fileName)
      : Exception("Unable to write to " + fileName) {}
};

// "Unable to read %s: cause": the configuration file exists but could not be
// read (no permission, an I/O error, no regular file).
class EFileReadError : public Exception {
 public:
  EFileReadError(const std::string& fileName, const std::string& cause)
      : Exception("Unable to read " + fileName + ": " + cause) {}
};
