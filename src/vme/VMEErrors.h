#pragma once

#include <string>

#include "base/Exception.h"

// Errors of VME access. Each carries its complete operator message.
class TException : public Exception {
 public:
  explicit TException(std::string s) : Exception(std::move(s)) {}
  virtual const char* GetText() const { return Message().c_str(); }
};

// "VME Error" followed directly by the detail: no separator of its own.
class EVME : public TException {
 public:
  explicit EVME(const std::string& s) : TException("VME Error" + s) {}
};

class EVMEOpen : public EVME {
 public:
  explicit EVMEOpen(const std::string& s) : EVME(": could not open " + s) {}
};

class EVMEWrite : public EVME {
 public:
  explicit EVMEWrite(const std::string& s) : EVME(": write error " + s) {}
};

class EVMERead : public EVME {
 public:
  explicit EVMERead(const std::string& s) : EVME(": read error " + s) {}
};
