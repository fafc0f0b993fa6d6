#include "support/temp_install.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <set>

#include "shell/file_status.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>
#endif

namespace velox::testing {
namespace fs = std::filesystem;

TempFolder::TempFolder() {
  const fs::path base = fs::temp_directory_path();
  for (std::random_device rd; !fs::create_directory(path_ = base / ("velox-test-" + std::to_string(rd())));) {
  }
}

TempFolder::~TempFolder() {
  std::error_code ec;
  // Read-only files in it must not stop the clean-up.
  for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
  fs::remove_all(path_, ec);
}

CurrentDirectory::CurrentDirectory(const fs::path& folder) : previous_(fs::current_path()) { fs::current_path(folder); }
CurrentDirectory::~CurrentDirectory() {
  std::error_code ec;
  fs::current_path(previous_, ec);
}

void WriteBytes(const fs::path& file, std::string_view bytes) {
  if (file.has_parent_path()) fs::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << "could not write " << file;
}

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
}

std::string Listing(const fs::path& folder) {
  std::set<std::string> names;
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(folder)) {
    std::u8string name = e.path().lexically_relative(folder).generic_u8string();
    const bool file = !e.is_symlink() && !e.is_directory();
    if (e.is_symlink()) {
      name += u8"->" + fs::read_symlink(e).generic_u8string();
    } else if (!file) {
      name += u8"/";
    }
    names.insert(std::string(name.begin(), name.end()) + (file ? ":" + ReadBytes(e.path()) : ""));
  }
  std::string out;
  for (const std::string& name : names) out += (out.empty() ? "" : " ") + name;
  return out;
}

// Made absolute before any test changes the current directory: on Windows a
// path that begins with "/" belongs to whichever drive is current.
const fs::path kDemoFolder = fs::absolute(VELOX_DEMO_DIR);
const fs::path kMarkerProgram = fs::absolute(VELOX_MARKER_PROGRAM);

void CopyDemo(const fs::path& folder) {
  fs::copy(kDemoFolder, folder, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}
fs::path MarkerProgram() { return kMarkerProgram; }

namespace {

// Wakes on any change in a folder: a file made, written or renamed into it.
class FolderWatch {
 public:
#ifdef _WIN32
  explicit FolderWatch(const fs::path& folder)
      : handle_(FindFirstChangeNotificationW(folder.c_str(), FALSE,
                                             FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE |
                                                 FILE_NOTIFY_CHANGE_LAST_WRITE)) {}
  ~FolderWatch() { FindCloseChangeNotification(handle_); }
  bool Ok() const { return handle_ != INVALID_HANDLE_VALUE; }
  void Wait(std::chrono::milliseconds bound) {
    if (WaitForSingleObject(handle_, static_cast<DWORD>(bound.count())) == WAIT_OBJECT_0) {
      FindNextChangeNotification(handle_);
    }
  }

 private:
  HANDLE handle_;
#else
  explicit FolderWatch(const fs::path& folder) : fd_(inotify_init1(IN_CLOEXEC | IN_NONBLOCK)) {
    if (fd_ >= 0 && inotify_add_watch(fd_, folder.c_str(), IN_CREATE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO) < 0) {
      ::close(fd_);
      fd_ = -1;
    }
  }
  ~FolderWatch() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool Ok() const { return fd_ >= 0; }
  void Wait(std::chrono::milliseconds bound) {
    pollfd ready{fd_, POLLIN, 0};
    if (::poll(&ready, 1, static_cast<int>(bound.count())) > 0) {
      alignas(inotify_event) char events[4096];
      while (::read(fd_, events, sizeof events) > 0) {
      }
    }
  }

 private:
  int fd_;
#endif
};

}  // namespace

bool WaitForFolder(const fs::path& folder, const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(3);
  FolderWatch watch(folder);
  if (!watch.Ok()) return done();
  for (;;) {
    if (done()) return true;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    watch.Wait(left);
  }
}

std::string ReadMarker(const fs::path& file) {
  std::string text;
  const bool came = WaitForFolder(file.parent_path(), [&] {
    text = ReadBytes(file);
    return text != "<missing>" && text.ends_with('\n');
  });
  return came ? text : "<no marker>";
}

// Kept as paths: their native form is the system's own text, wide on Windows.
#ifdef _WIN32
ScopedEnvironment::ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
  if (const wchar_t* old = _wgetenv(fs::path(name_).c_str())) old_ = fs::path(old);
  Set(PathFromUtf8(value));
}
ScopedEnvironment::~ScopedEnvironment() { Set(old_.value_or(fs::path())); }  // empty: removed
void ScopedEnvironment::Set(const fs::path& value) { _wputenv_s(fs::path(name_).c_str(), value.c_str()); }
#else
ScopedEnvironment::ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
  if (const char* old = std::getenv(name)) old_ = fs::path(old);
  Set(PathFromUtf8(value));
}
ScopedEnvironment::~ScopedEnvironment() {
  if (old_) {
    Set(*old_);
  } else {
    ::unsetenv(name_.c_str());
  }
}
void ScopedEnvironment::Set(const fs::path& value) { ::setenv(name_.c_str(), value.c_str(), 1); }
#endif

fs::path FakeWine() {
  static const TempFolder bin;
  const fs::path wine = bin / "wine";
  if (!fs::exists(wine)) {
    WriteBytes(wine, "#!/bin/sh\necho \"$1\" > ran-by-wine.txt\n");
    fs::permissions(wine, fs::perms::owner_all);
  }
  return wine;
}

void MakeReadOnly(const fs::path& file) {
  fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
}

}  // namespace velox::testing
