#ifndef _WIN32
#include <dlfcn.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>

#include "shell/line_file.h"
#include "shell/platform.h"

extern char** environ;

namespace velox::platform {
namespace fs = std::filesystem;

namespace {

class PosixFileCalls final : public FileCalls {
 public:
  OsError CreateNew(const fs::path& file, int permissions, NativeFile& out) override {
    const mode_t mode = permissions < 0 ? 0666 : static_cast<mode_t>(permissions);
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0) return errno;
    // The mode of the file it replaces, whatever the umask says.
    if (permissions >= 0 && ::fchmod(fd, mode) != 0) {
      const int error = errno;
      ::close(fd);
      ::unlink(file.c_str());
      return error;
    }
    out = fd;
    return 0;
  }
  OsError OpenForReading(const fs::path& file, NativeFile& out) override {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    out = fd;
    return 0;
  }
  OsError Read(NativeFile file, char* buffer, std::size_t size, std::size_t& got) override {
    for (;;) {
      const ssize_t n = ::read(static_cast<int>(file), buffer, size);
      if (n >= 0) {
        got = static_cast<std::size_t>(n);
        return 0;
      }
      if (errno != EINTR) return errno;
    }
  }
  OsError Write(NativeFile file, const char* data, std::size_t size, std::size_t& written) override {
    for (;;) {
      const ssize_t n = ::write(static_cast<int>(file), data, size);
      if (n >= 0) {
        written = static_cast<std::size_t>(n);
        return 0;
      }
      if (errno != EINTR) return errno;
    }
  }
  OsError FlushToDisk(NativeFile file) override { return ::fsync(static_cast<int>(file)) == 0 ? 0 : errno; }
  OsError Close(NativeFile file) override { return ::close(static_cast<int>(file)) == 0 ? 0 : errno; }
  OsError Replace(const fs::path& from, const fs::path& to) override {
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
  }
  OsError SyncFolder(const fs::path& folder) override {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    const int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return error;
  }
  OsError Remove(const fs::path& file) override { return ::unlink(file.c_str()) == 0 ? 0 : errno; }
  // An open file never stops a rename or an unlink here: EACCES and EBUSY mean what they say.
  bool MayClearSoon(OsError) override { return false; }
  void Pause(int milliseconds) override { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }
  Status OpenDocument(const fs::path& document) override;
};

}  // namespace

FileCalls& SystemFileCalls() {
  static PosixFileCalls calls;
  return calls;
}

fs::path ExecutablePath() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path() : exe;
}

fs::path FindOnPath(std::string_view name) {
  const char* pathVar = std::getenv("PATH");
  if (!pathVar) return {};
  const std::string_view paths = pathVar;
  size_t start = 0;
  while (start <= paths.size()) {
    size_t end = paths.find(':', start);
    if (end == std::string_view::npos) end = paths.size();
    const std::string_view folder = paths.substr(start, end - start);
    const fs::path candidate = fs::path(folder.empty() ? std::string_view(".") : folder) / name;
    std::error_code ec;
    if (fs::is_regular_file(candidate, ec) && ::access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return {};
}

namespace {

// The character set a child's C library takes from the environment: that of the first of LC_ALL, LC_CTYPE and
// LANG that is set, or ASCII (the "C" locale) when none is. Not nl_langinfo: Qt moves its own process to UTF-8,
// and a child does not inherit that.
bool EnvironmentLocaleIsUtf8() {
  std::string locale;
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    if (const char* value = std::getenv(name); value && *value) {
      locale = value;
      break;
    }
  }
  const size_t dot = locale.find('.');
  if (dot == std::string::npos) return false;
  std::string codeset;
  for (char c : locale.substr(dot + 1, locale.find('@', dot) - dot - 1)) {
    if (c != '-') codeset += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  }
  return codeset == "utf8";
}

}  // namespace

OsError StartProcess(const std::vector<fs::path>& arguments, bool utf8Locale) {
  if (arguments.empty()) return EINVAL;
  std::vector<char*> argv;
  for (const fs::path& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  char** environment = environ;
  std::vector<char*> changed;
  if (utf8Locale && !EnvironmentLocaleIsUtf8()) {
    static char utf8[] = "LC_ALL=C.UTF-8";
    for (char** e = environ; *e; ++e) {
      if (!std::string_view(*e).starts_with("LC_ALL=")) changed.push_back(*e);
    }
    changed.push_back(utf8);
    changed.push_back(nullptr);
    environment = changed.data();
  }

  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  // Its own session, so the program outlives the configurator and its terminal.
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
  pid_t pid = 0;
  const int error = posix_spawn(&pid, argv[0], nullptr, &attr, argv.data(), environment);
  posix_spawnattr_destroy(&attr);
  if (error != 0) return error;

  // Reap the child when it ends, so that no zombie is left behind; nothing waits on this.
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return 0;
}

void LetAnotherProgramComeForward() {}

Status PosixFileCalls::OpenDocument(const fs::path& document) {
  std::error_code ec;
  const fs::path shown = fs::absolute(document, ec);
  if (!fs::is_regular_file(document, ec)) return FileError{shown, "no such file"};
  // The freedesktop opener, or GLib's where only that is installed.
  std::vector<fs::path> command;
  if (fs::path opener = FindOnPath("xdg-open"); !opener.empty()) {
    command = {opener, shown};
  } else if (fs::path gio = FindOnPath("gio"); !gio.empty()) {
    command = {gio, "open", shown};
  } else {
    return FileError{shown, "no program is set to open it"};
  }
  if (const OsError error = StartProcess(command)) return ErrnoError(shown, error);
  return {};
}

void* LoadSharedLibrary(const char* name) { return ::dlopen(name, RTLD_NOW | RTLD_LOCAL); }
void* FindSymbol(void* library, const char* name) { return library ? ::dlsym(library, name) : nullptr; }
const char* SdlLibraryName() { return "libSDL2-2.0.so.0"; }

std::vector<fs::path> ListDrives() {
  const Result<std::string> table = ReadFileBytes("/proc/self/mounts");
  return VolumesOfMountTable(table ? *table : std::string());
}

fs::path DriveOf(const fs::path& folder) {
  std::error_code ec;
  return VolumeOf(fs::absolute(folder, ec).lexically_normal(), ListDrives());
}

fs::path DriveRoot(const fs::path& drive) { return drive; }
fs::path FallbackFolder() { return "/"; }

}  // namespace velox::platform
#endif
