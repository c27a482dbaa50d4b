#pragma once

// A vendor's shared library loaded at start (dlopen) and the functions taken
// from it (dlsym). Every failure is an Exception whose message tells the
// operator which file, which symbol, and what to install or set.

#include <string>

namespace adapters {

// What the operator is told to do about a library that cannot be used.
struct VendorAdvice {
  std::string Library;  // "the SBS/Bit3 library"
  std::string Install;  // "install the SBS/Bit3 Linux driver package (1003) with libbtp"
  std::string Setting;  // "sbs.library", the crate settings key naming another file
};

class VendorLibrary {
 public:
  // Loads file (a name searched as the dynamic loader searches, or a path).
  // A missing file, a file that is not a shared library, or one of another
  // architecture is refused with the loader's reason and the advice.
  VendorLibrary(const std::string& file, VendorAdvice advice);
  // Unloads the library unless Keep() was called.
  ~VendorLibrary();
  VendorLibrary(const VendorLibrary&) = delete;
  VendorLibrary& operator=(const VendorLibrary&) = delete;

  // The function named symbol; a library without it is refused, with why
  // (tooOld, e.g. "CAENVMELib 3.3 or later has it") when given.
  template <typename Function>
  Function Take(const char* symbol, const std::string& tooOld = {}) const {
    return reinterpret_cast<Function>(Address(symbol, tooOld));
  }
  // The function named symbol, or null.
  template <typename Function>
  Function Find(const char* symbol) const {
    return reinterpret_cast<Function>(FindAddress(symbol));
  }

  // The library stays loaded to the end of the process: its functions are
  // the program's adapter calls from now on.
  void Keep() { Kept_ = true; }
  // The file the loader actually loaded ("/usr/lib/libCAENVME.so").
  const std::string& Path() const { return Path_; }
  // The name of the file behind Path, links followed: a library installed
  // with its version in the name says it ("libbtp.so.1.3").
  std::string RealName() const;

 private:
  void* Address(const char* symbol, const std::string& tooOld) const;
  void* FindAddress(const char* symbol) const;

  void* Handle_ = nullptr;
  std::string File_;
  std::string Path_;
  VendorAdvice Advice_;
  bool Kept_ = false;
};

}  // namespace adapters
