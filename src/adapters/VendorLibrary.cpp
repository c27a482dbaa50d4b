#include "adapters/VendorLibrary.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>

#include <filesystem>

#include "base/Exception.h"
#include "base/RegularFile.h"

namespace adapters {

namespace {

// Why the loader must not be given file, or empty. A path (a name with a "/")
// that is no regular file once links are followed is refused before the
// loader opens it: a FIFO would block that open for ever. A bare name is the
// loader's to search.
std::string NotALibraryFile(const std::string& file) {
  struct stat status {};
  if (file.find('/') == std::string::npos || stat(file.c_str(), &status) != 0 ||
      S_ISREG(status.st_mode))
    return {};
  return "it is " + NotRegularKind(status.st_mode) + ", not a regular file";
}

}  // namespace

VendorLibrary::VendorLibrary(const std::string& file, VendorAdvice advice)
    : File_(file), Advice_(std::move(advice)) {
  auto refused = [this, &file](const std::string& reason) {
    return Exception(Advice_.Library + " \"" + file + "\" cannot be loaded (" + reason +
                     "): " + Advice_.Install + ", or name its file with \"" + Advice_.Setting +
                     " = <path>\" in the crate settings file");
  };
  if (const std::string why = NotALibraryFile(file); !why.empty()) throw refused(why);
  // RTLD_NOW: a library missing a function it needs itself fails here, at
  // start, not at the first access. RTLD_LOCAL: its names stay its own.
  dlerror();
  Handle_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (Handle_ == nullptr) {
    const char* reason = dlerror();
    throw refused(reason != nullptr ? reason : "unknown reason");
  }
  Path_ = file;
  link_map* map = nullptr;
  if (dlinfo(Handle_, RTLD_DI_LINKMAP, &map) == 0 && map != nullptr && map->l_name != nullptr &&
      *map->l_name != '\0')
    Path_ = map->l_name;
}

VendorLibrary::~VendorLibrary() {
  if (Handle_ != nullptr && !Kept_) dlclose(Handle_);
}

std::string VendorLibrary::RealName() const {
  std::error_code error;
  const std::filesystem::path real = std::filesystem::canonical(Path_, error);
  return (error ? std::filesystem::path(Path_) : real).filename().string();
}

void* VendorLibrary::FindAddress(const char* symbol) const {
  dlerror();
  void* address = dlsym(Handle_, symbol);
  return dlerror() == nullptr ? address : nullptr;
}

void* VendorLibrary::Address(const char* symbol, const std::string& tooOld) const {
  if (void* address = FindAddress(symbol)) return address;
  std::string message = Path_ + " has no function " + symbol + ": ";
  if (!tooOld.empty())
    message += "the library is too old (" + tooOld + "); ";
  else
    message += "it is not " + Advice_.Library + ", or not a release this program can use; ";
  throw Exception(message + Advice_.Install + ", or name another file with \"" + Advice_.Setting +
                  " = <path>\" in the crate settings file");
}

}  // namespace adapters
