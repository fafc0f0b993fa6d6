#include "shell/safe_file.h"

#include <algorithm>
#include <cerrno>
#include <string>
#include <system_error>

#include "shell/line_file.h"
#include "shell/platform.h"

namespace velox {
namespace fs = std::filesystem;
using platform::Files;
using platform::NativeFile;
using platform::OsError;

namespace {

bool IsReadOnly(const fs::path& file) {
  std::error_code ec;
  const fs::file_status st = fs::status(file, ec);
  if (ec || !fs::is_regular_file(st)) return false;
  return (st.permissions() & (fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write)) ==
         fs::perms::none;
}

// The file a chain of symbolic links leads to (the path itself when it is no link).
Result<fs::path> FollowLinks(const fs::path& file) {
  fs::path real = file;
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(real, ec))) return real;
    const fs::path next = fs::read_symlink(real, ec);
    if (ec) return ErrnoError(file, ec.value());
    real = next.is_absolute() ? next : real.parent_path() / next;
  }
  return FileError{file, "is a link in a loop of links"};
}

// Writes all bytes to the new file, then flushes them to disk.
OsError WriteAll(NativeFile file, std::string_view bytes) {
  while (!bytes.empty()) {
    size_t written = 0;
    if (const OsError error = Files().Write(file, bytes.data(), bytes.size(), written)) return error;
    if (written == 0) return EIO;
    bytes.remove_prefix(written);
  }
  return Files().FlushToDisk(file);
}

// A scanner or indexer reading a file just written, or an editor, holds it for
// a moment; two seconds in all outlasts such holds by far, yet the user has
// not waited long when a program that keeps the file open is the cause. The
// first waits are short, as most holds are over within a few milliseconds.
constexpr int kFirstWaitMs = 10;
constexpr int kLongestWaitMs = 500;
constexpr int kPatienceMs = 2000;

// The call, tried again with growing waits while it fails as a brief hold may
// make it fail. A hold that outlasts them all is reported as one.
template <class Call>
OsError Patiently(const Call& call) {
  OsError error = call();
  int waited = 0;
  for (int wait = kFirstWaitMs; error && Files().MayClearSoon(error) && waited < kPatienceMs; wait *= 2) {
    const int ms = std::min({wait, kLongestWaitMs, kPatienceMs - waited});
    Files().Pause(ms);
    waited += ms;
    error = call();
  }
  return error && waited > 0 && Files().MayClearSoon(error) ? EBUSY : error;
}

OsError Remove(const fs::path& file) {
  return Patiently([&] { return Files().Remove(file); });
}

}  // namespace

fs::path DefaultTempFile(const fs::path& target) {
  fs::path name(".");
  name += target.filename();
  name += ".velox-new";
  return target.parent_path() / name;
}

bool FileExists(const fs::path& file) {
  std::error_code ec;
  return fs::is_regular_file(file, ec);
}

Status ReplaceWholeFile(const fs::path& target, std::string_view bytes) {
  return ReplaceWholeFile(target, bytes, DefaultTempFile(target));
}

Status ReplaceWholeFile(const fs::path& target, std::string_view bytes, const fs::path& givenTemp) {
  const Result<fs::path> followed = FollowLinks(target);
  if (!followed) return followed.error();
  const fs::path& real = *followed;
  // A rename cannot cross folders, so a linked file is rewritten beside itself.
  const fs::path temp = real == target ? givenTemp : DefaultTempFile(real);

  std::error_code ec;
  if (fs::is_directory(real, ec)) return FileError{target, "is a folder, not a file"};
  if (IsReadOnly(real)) return FileError{target, "is read-only"};
  const fs::path folder = real.parent_path();
  if (!folder.empty() && !fs::is_directory(folder, ec)) {
    return FileError{target, "the folder " + PathText(folder) + " does not exist"};
  }
  // The temporary name is ours: what a crash or someone else left there is removed, never written through.
  const fs::file_status left = fs::symlink_status(temp, ec);
  if (fs::is_directory(left)) return FileError{temp, "is a folder, not a file"};
  if (fs::exists(left)) {
    if (const OsError error = Remove(temp)) return ErrnoError(temp, error);
  }

  // Keep the permissions the file already had (POSIX; Windows has none to keep).
  const fs::file_status before = fs::status(real, ec);
  const int permissions = fs::is_regular_file(before) ? static_cast<int>(before.permissions() & fs::perms::mask) : -1;
  NativeFile file = 0;
  if (const OsError error = Files().CreateNew(temp, permissions, file)) return ErrnoError(temp, error);
  OsError error = WriteAll(file, bytes);
  if (const OsError closed = Files().Close(file); !error) error = closed;
  if (error) {
    (void)Remove(temp);
    return ErrnoError(temp, error);
  }
  if (const OsError replaced = Patiently([&] { return Files().Replace(temp, real); })) {
    (void)Remove(temp);
    return ErrnoError(target, replaced);
  }
  // The rename is done and the file whole; a folder that cannot be synced only
  // makes the rename less durable, which is no reason to report a failure.
  if constexpr (!platform::kWindows) (void)Files().SyncFolder(folder);
  return {};
}

Status CopyFileReplacing(const fs::path& source, const fs::path& target) {
  Result<std::string> bytes = ReadFileBytes(source);
  if (!bytes) return bytes.error();
  return ReplaceWholeFile(target, *bytes);
}

Status RemoveFileIfExists(const fs::path& file) {
  std::error_code ec;
  const fs::file_status st = fs::symlink_status(file, ec);
  if (ec || !fs::exists(st)) return {};
  if (fs::is_directory(st)) return FileError{file, "is a folder, not a file"};
  if (IsReadOnly(file)) return FileError{file, "is read-only"};
  if (const OsError error = Remove(file)) return ErrnoError(file, error);
  return {};
}

}  // namespace velox
