#include "operate/ModuleLock.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <thread>

namespace fs = std::filesystem;

namespace {

constexpr std::chrono::milliseconds kPoll{50};

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%06X", static_cast<unsigned>(value));
  return text;
}

// "the TTCvi at A24 0xFF1000 (Simulated crate, simbt0/a24)"
std::string Describe(const ModuleIdentity& module) {
  std::string where = module.Adapter;
  if (!module.Device.empty()) where += (where.empty() ? "" : ", ") + module.Device;
  return "the TTCvi at A24 " + Hex(module.Base) + (where.empty() ? "" : " (" + where + ")");
}

std::string UserName() {
  if (const passwd* user = getpwuid(geteuid()); user != nullptr && user->pw_name != nullptr)
    return user->pw_name;
  return std::to_string(geteuid());
}

std::string SystemError(int error) { return std::strerror(error); }

// Lower-case letters and digits; every other run of characters becomes one "-".
void AppendPart(std::string& name, const std::string& part) {
  bool gap = !name.empty();
  for (unsigned char c : part) {
    if (std::isalnum(c)) {
      if (gap) name += '-';
      gap = false;
      name += static_cast<char>(std::tolower(c));
    } else {
      gap = !name.empty();
    }
  }
}

// What the holder wrote: "program=..", "pid=..", "user=..", "since=<seconds since 1970>".
std::string HolderText(int descriptor) {
  char buffer[512];
  const ssize_t length = pread(descriptor, buffer, sizeof buffer - 1, 0);
  if (length <= 0) return {};
  const std::string text(buffer, static_cast<std::size_t>(length));
  auto value = [&text](const std::string& key) {
    const std::size_t start = text.find(key + "=");
    if (start == std::string::npos) return std::string();
    const std::size_t from = start + key.size() + 1;
    return text.substr(from, text.find('\n', from) - from);
  };
  const std::string program = value("program");
  const std::string pid = value("pid");
  if (program.empty() || pid.empty()) return {};
  std::string holder = program + ", pid " + pid;
  if (const std::string user = value("user"); !user.empty()) holder += ", user " + user;
  const std::string since = value("since");
  char* end = nullptr;
  const long long seconds = std::strtoll(since.c_str(), &end, 10);
  if (!since.empty() && end != nullptr && *end == '\0') {
    const std::time_t then = static_cast<std::time_t>(seconds);
    const std::time_t now = std::time(nullptr);
    std::tm thenLocal{};
    std::tm nowLocal{};
    localtime_r(&then, &thenLocal);
    localtime_r(&now, &nowLocal);
    const bool today =
        thenLocal.tm_year == nowLocal.tm_year && thenLocal.tm_yday == nowLocal.tm_yday;
    char stamp[32];
    std::strftime(stamp, sizeof stamp, today ? "%H:%M" : "%Y-%m-%d %H:%M", &thenLocal);
    holder += std::string(", since ") + stamp;
  }
  return holder;
}

// Opens the lock file, making it when it is missing. A file another user
// made is opened, never replaced: in a sticky folder such as /run/lock the
// kernel refuses O_CREAT on it (protected_regular), so the create comes only
// after a plain open found nothing. A new file is writable by everyone, so
// whoever holds the lock next can say so in it.
int OpenLockFile(const fs::path& file, bool& writable) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    writable = true;
    int descriptor = open(file.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (descriptor < 0 && errno == EACCES) {
      writable = false;  // the lock works on a read-only file too
      descriptor = open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    }
    if (descriptor >= 0 || errno != ENOENT) return descriptor;
    descriptor = open(file.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (descriptor >= 0) {
      writable = true;
      fchmod(descriptor, 0666);  // past the umask
      return descriptor;
    }
    if (errno != EEXIST) return -1;  // another program made it just now: open that one
  }
  return -1;
}

}  // namespace

std::vector<fs::path> ModuleLock::DefaultFolders() {
  std::vector<fs::path> folders = {"/run/lock"};
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR");
      runtime != nullptr && fs::path(runtime).is_absolute())
    folders.emplace_back(runtime);
  return folders;
}

std::string ModuleLock::FileName(const ModuleIdentity& module) {
  std::string name = "quorvane";
  AppendPart(name, module.Adapter);
  AppendPart(name, module.Device);
  char base[16];
  std::snprintf(base, sizeof base, "-%06x", static_cast<unsigned>(module.Base));
  return name + base + ".lock";
}

ModuleLock::ModuleLock(const ModuleIdentity& module, const std::string& program,
                       std::chrono::milliseconds wait, const std::vector<fs::path>& folders) {
  std::string tried;
  for (const fs::path& folder : folders) {
    if (access(folder.c_str(), W_OK | X_OK) == 0) {
      File_ = folder / FileName(module);
      break;
    }
    tried += (tried.empty() ? "" : ", ") + folder.string();
  }
  if (File_.empty())
    throw EModuleLockFile(
        "No folder can take the lock file of " + Describe(module) + " (" +
        (tried.empty() ? std::string("none given") : tried + " cannot be written") +
        "; set XDG_RUNTIME_DIR to a folder of your own)");

  bool writable = true;
  Descriptor_ = OpenLockFile(File_, writable);
  if (Descriptor_ < 0)
    throw EModuleLockFile("Cannot open the lock file " + File_.string() + " of " +
                          Describe(module) + ": " + SystemError(errno));

  const auto deadline = std::chrono::steady_clock::now() + wait;
  while (flock(Descriptor_, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    if (error == EINTR) continue;
    if (error != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
      const std::string holder = HolderText(Descriptor_);
      close(Descriptor_);
      Descriptor_ = -1;
      if (error != EWOULDBLOCK)
        throw EModuleLockFile("Cannot lock " + File_.string() + ": " + SystemError(error));
      std::string text = Describe(module);
      text[0] = 'T';
      throw EModuleInUse(
          text + " is in use by " +
          (holder.empty() ? "another program (lock file " + File_.string() + ")" : holder));
    }
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
        kPoll, deadline - std::chrono::steady_clock::now()));
  }

  if (writable) {
    const std::string holder = "program=" + program + "\npid=" + std::to_string(getpid()) +
                               "\nuser=" + UserName() +
                               "\nsince=" + std::to_string(std::time(nullptr)) + "\n";
    // Who holds it is only for others' messages: a failure here changes nothing.
    if (ftruncate(Descriptor_, 0) == 0) (void)!pwrite(Descriptor_, holder.data(), holder.size(), 0);
  }
}

ModuleLock::~ModuleLock() {
  if (Descriptor_ >= 0) close(Descriptor_);  // closing the file ends the lock
}
