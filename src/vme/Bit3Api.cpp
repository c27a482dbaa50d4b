#include "vme/Bit3Api.h"

#include <utility>

namespace {

std::shared_ptr<const AdapterLibrary>& Installed() {
  static std::shared_ptr<const AdapterLibrary> installed;
  return installed;
}

}  // namespace

void InstallAdapterLibrary(AdapterLibrary library) {
  Installed() = std::make_shared<const AdapterLibrary>(std::move(library));
}

std::shared_ptr<const AdapterLibrary> InstalledAdapterLibrary() { return Installed(); }
