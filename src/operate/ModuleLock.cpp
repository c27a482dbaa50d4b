#include "operate/ModuleLock.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

#include "base/RegularFile.h"
#include "base/Text.h"

namespace fs = std::filesystem;

namespace {

constexpr std::chrono::milliseconds kPoll{50};
constexpr mode_t kLockFileMode = 0644;  // others lock it through a read-only descriptor

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%06X", static_cast<unsigned>(value));
  return text;
}

// "the TTCvi at A24 0xFF1000 (Simulated crate, simbt0/a24)"
std::string Describe(const ModuleIdentity& module) {
  std::string where = module.Adapter.empty() ? module.Kind : module.Adapter;
  if (!module.Device.empty()) where += (where.empty() ? "" : ", ") + module.Device;
  return "the TTCvi at A24 " + Hex(module.Base) + (where.empty() ? "" : " (" + where + ")");
}

std::string UserName(uid_t uid) {
  passwd entry{};
  passwd* found = nullptr;
  char buffer[1024];
  if (getpwuid_r(uid, &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr &&
      found->pw_name != nullptr)
    return found->pw_name;
  return std::to_string(uid);
}

std::string SystemError(int error) { return std::strerror(error); }

std::string ReadWhole(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

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

// Why folder cannot take the lock files, or empty.
std::string FolderProblem(const fs::path& folder) {
  struct stat status {};
  if (stat(folder.c_str(), &status) != 0) return SystemError(errno);
  if (!S_ISDIR(status.st_mode)) return "it is not a folder";
  if (access(folder.c_str(), W_OK | X_OK) != 0) return SystemError(errno);
  // Without the sticky bit, whoever may write the folder may remove a lock
  // file someone holds, and the next program would lock a new one.
  if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0 && (status.st_mode & S_ISVTX) == 0)
    return "others may write to it but it has no sticky bit, so they could remove a lock";
  return {};
}

// The process holding the write flock on the file (device, inode), from the
// kernel's table of locks; nullopt when none is seen (let go just now, or the
// holder is out of sight).
std::optional<pid_t> LockHolder(dev_t device, ino_t inode) {
  std::ifstream table("/proc/locks");
  std::string line;
  while (std::getline(table, line)) {
    // "1: FLOCK  ADVISORY  WRITE 1234 fe:00:10953291 0 EOF"; "1: -> FLOCK ..." is a waiter.
    std::istringstream fields(line);
    std::string number, kind, advisory, access, file;
    long pid = 0;
    if (!(fields >> number >> kind >> advisory >> access >> pid >> file)) continue;
    if (kind != "FLOCK" || access != "WRITE" || pid <= 0) continue;
    unsigned high = 0, low = 0;  // the device's major and minor numbers, in hex
    unsigned long long node = 0;
    if (std::sscanf(file.c_str(), "%x:%x:%llu", &high, &low, &node) != 3) continue;
    if (high == major(device) && low == minor(device) && node == inode)
      return static_cast<pid_t>(pid);
  }
  return std::nullopt;
}

// What the system says of a process: its name, who started it, since when.
struct ProcessFacts {
  std::string Name;
  uid_t User = 0;
  std::time_t Started = 0;
};

std::optional<ProcessFacts> ReadProcess(pid_t pid) {
  const std::string folder = "/proc/" + std::to_string(pid);
  ProcessFacts facts;
  facts.Name = ReadWhole(folder + "/comm");
  if (!facts.Name.empty() && facts.Name.back() == '\n') facts.Name.pop_back();

  const std::string status = ReadWhole(folder + "/status");
  const std::size_t uid = status.find("\nUid:");
  if (facts.Name.empty() || uid == std::string::npos) return std::nullopt;
  facts.User = static_cast<uid_t>(std::strtoul(status.c_str() + uid + 5, nullptr, 10));

  // Field 22 of stat, the start in clock ticks after boot, counted past the
  // name's closing parenthesis (a name may hold blanks and parentheses).
  const std::string stat = ReadWhole(folder + "/stat");
  const std::size_t close = stat.rfind(')');
  const std::string boot = ReadWhole("/proc/stat");
  const std::size_t btime = boot.find("\nbtime ");
  if (close != std::string::npos && btime != std::string::npos) {
    std::istringstream fields(stat.substr(close + 1));
    std::string field;
    for (int n = 3; n < 22 && fields >> field;) ++n;
    unsigned long long ticks = 0;
    const long perSecond = sysconf(_SC_CLK_TCK);
    if (fields >> ticks && perSecond > 0)
      facts.Started = static_cast<std::time_t>(std::strtoll(boot.c_str() + btime + 7, nullptr, 10) +
                                               static_cast<long long>(ticks / perSecond));
  }
  return facts;
}

// What a holder wrote into its own file: "program=..", "pid=..", "since=<seconds since 1970>".
struct HolderNote {
  std::string Program;
  long long Pid = 0;
  std::time_t Since = 0;
};

HolderNote ReadNote(int descriptor) {
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
  HolderNote note;
  note.Program = value("program");
  note.Pid = std::strtoll(value("pid").c_str(), nullptr, 10);
  note.Since = static_cast<std::time_t>(std::strtoll(value("since").c_str(), nullptr, 10));
  return note;
}

// "10:02" today, else "2026-12-08 10:02".
std::string TimeText(std::time_t then) {
  const std::time_t now = std::time(nullptr);
  std::tm thenLocal{};
  std::tm nowLocal{};
  localtime_r(&then, &thenLocal);
  localtime_r(&now, &nowLocal);
  const bool today = thenLocal.tm_year == nowLocal.tm_year && thenLocal.tm_yday == nowLocal.tm_yday;
  char stamp[32];
  std::strftime(stamp, sizeof stamp, today ? "%H:%M" : "%Y-%m-%d %H:%M", &thenLocal);
  return stamp;
}

// "quorvane, pid 1234, user op, since 10:02", every name as printable text.
// Pid, user and start come from the system. The holder's own note gives the
// program's name and the time it took the lock only when the note is the
// holder's: written for that pid, into a file of the holder's user that no
// one else may write. Otherwise the process's name stands.
std::string HolderText(int descriptor, const fs::path& file) {
  struct stat status {};
  std::optional<pid_t> pid;
  if (fstat(descriptor, &status) == 0) pid = LockHolder(status.st_dev, status.st_ino);
  const std::optional<ProcessFacts> process = pid ? ReadProcess(*pid) : std::nullopt;
  if (!process) {
    return "another program" + (pid ? ", pid " + std::to_string(*pid) : std::string()) +
           " (lock file " + PrintableText(file.string()) + ")";
  }
  const HolderNote note = ReadNote(descriptor);
  const bool believed = note.Pid == *pid && status.st_uid == process->User &&
                        (status.st_mode & (S_IWGRP | S_IWOTH)) == 0 && status.st_nlink == 1;
  const std::string program = believed && !note.Program.empty() ? note.Program : process->Name;
  const std::time_t since = believed && note.Since > 0 ? note.Since : process->Started;
  std::string holder = PrintableText(program) + ", pid " + std::to_string(*pid) + ", user " +
                       PrintableText(UserName(process->User));
  if (since > 0) holder += ", since " + TimeText(since);
  return holder;
}

// Opens the lock file, making it when it is missing. A file another user
// made is opened, never replaced: in a sticky folder such as /run/lock the
// kernel refuses O_CREAT on it (protected_regular), so the create comes only
// after a plain open found nothing. Anything but a regular file is refused
// before it is opened (a FIFO's open would wait for ever). writable tells
// whether the descriptor may write: flock needs only a read-only one.
int OpenLockFile(const fs::path& file, bool& writable, std::string& why) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    writable = true;
    int descriptor = OpenRegularFile(file.c_str(), O_RDWR, 0, why);
    if (descriptor < 0 && errno == EACCES) {
      writable = false;
      descriptor = OpenRegularFile(file.c_str(), O_RDONLY, 0, why);
    }
    if (descriptor >= 0 || errno != ENOENT) return descriptor;
    descriptor = OpenRegularFile(file.c_str(), O_RDWR | O_CREAT | O_EXCL, kLockFileMode, why);
    if (descriptor >= 0) {
      writable = true;
      fchmod(descriptor, kLockFileMode);  // past the umask: other users must open it
      return descriptor;
    }
    if (errno != EEXIST) return -1;  // another program made it just now: open that one
  }
  return -1;
}

}  // namespace

std::vector<fs::path> ModuleLock::DefaultFolders() { return {"/run/lock"}; }

std::string ModuleLock::FileName(const ModuleIdentity& module) {
  std::string name = "quorvane";
  AppendPart(name, module.Kind);
  AppendPart(name, module.Device);
  char base[16];
  std::snprintf(base, sizeof base, "-%06x", static_cast<unsigned>(module.Base));
  return name + base + ".lock";
}

ModuleLock::ModuleLock(const ModuleIdentity& module, const std::string& program,
                       std::chrono::milliseconds wait, const std::vector<fs::path>& folders) {
  std::string refused;
  for (const fs::path& folder : folders) {
    const std::string problem = FolderProblem(folder);
    if (problem.empty()) {
      File_ = folder / FileName(module);
      break;
    }
    refused +=
        (refused.empty() ? "" : "; ") + folder.string() + " cannot be used (" + problem + ")";
  }
  if (File_.empty())
    throw EModuleLockFile(
        "No lock can be taken for " + Describe(module) + ": " +
        (refused.empty() ? std::string("no lock folder is given") : "the lock folder " + refused) +
        ". The lock folder must exist and be writable by all with the sticky bit (mode 1777, as "
        "Debian sets up /run/lock), so that every user's programs see the same locks");

  bool writable = true;
  std::string why;
  Descriptor_ = OpenLockFile(File_, writable, why);
  if (Descriptor_ < 0)
    throw EModuleLockFile("Cannot open the lock file " + File_.string() + " of " +
                          Describe(module) + ": " + why);

  const auto deadline = std::chrono::steady_clock::now() + wait;
  while (flock(Descriptor_, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    if (error == EINTR) continue;
    if (error != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
      const std::string holder = error == EWOULDBLOCK ? HolderText(Descriptor_, File_) : "";
      close(Descriptor_);
      Descriptor_ = -1;
      if (error != EWOULDBLOCK)
        throw EModuleLockFile("Cannot lock " + File_.string() + ": " + SystemError(error));
      std::string text = Describe(module);
      text[0] = 'T';
      throw EModuleInUse(text + " is in use by " + holder);
    }
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
        kPoll, deadline - std::chrono::steady_clock::now()));
  }

  // The note is written only into a file of our own with no other name (a
  // link planted by someone else must not make us overwrite its target), and
  // a file of ours left writable by all is closed to others first.
  struct stat status {};
  if (writable && fstat(Descriptor_, &status) == 0 && status.st_uid == geteuid() &&
      status.st_nlink == 1) {
    if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0) fchmod(Descriptor_, kLockFileMode);
    const std::string note = "program=" + program + "\npid=" + std::to_string(getpid()) +
                             "\nsince=" + std::to_string(std::time(nullptr)) + "\n";
    // Who holds it is only for others' messages: a failure here changes nothing.
    if (ftruncate(Descriptor_, 0) == 0) (void)!pwrite(Descriptor_, note.data(), note.size(), 0);
  }
}

ModuleLock::~ModuleLock() {
  if (Descriptor_ >= 0) close(Descriptor_);  // closing the file ends the lock
}
