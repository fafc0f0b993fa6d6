#include "shell/safe_file.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>

#include "shell/line_file.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace velox {
namespace fs = std::filesystem;

namespace {

ReplaceFault& Fault() {
  static ReplaceFault fault;
  return fault;
}

int InjectedFault(std::string_view step, const fs::path& temp) {
  return Fault() ? Fault()(step, temp) : 0;
}

fs::path DefaultTemp(const fs::path& target) {
  fs::path name = target.filename();
  return target.parent_path() / ("." + name.string() + ".velox-new");
}

bool IsReadOnly(const fs::path& file) {
  std::error_code ec;
  const fs::file_status st = fs::status(file, ec);
  if (ec || !fs::is_regular_file(st)) return false;
  return (st.permissions() & (fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write)) ==
         fs::perms::none;
}

#ifndef _WIN32
// Writes all bytes to a new file at temp, flushed to disk. Returns errno or 0.
int WriteTemp(const fs::path& temp, std::string_view bytes, mode_t mode) {
  if (int e = InjectedFault("open", temp)) return e;
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  if (fd < 0) return errno;
  int error = 0;
  size_t done = 0;
  while (done < bytes.size()) {
    if ((error = InjectedFault("write", temp))) break;
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      error = errno;
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (!error) error = InjectedFault("sync", temp);
  if (!error && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && !error) error = errno;
  return error;
}

void SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}
#endif

}  // namespace

void SetReplaceFaultForTesting(ReplaceFault fault) { Fault() = std::move(fault); }

bool FileExists(const fs::path& file) {
  std::error_code ec;
  return fs::is_regular_file(file, ec);
}

Status ReplaceWholeFile(const fs::path& target, std::string_view bytes) {
  return ReplaceWholeFile(target, bytes, DefaultTemp(target));
}

Status ReplaceWholeFile(const fs::path& target, std::string_view bytes, const fs::path& temp) {
  std::error_code ec;
  if (fs::is_directory(target, ec)) return FileError{target, "is a folder, not a file"};
  if (IsReadOnly(target)) return FileError{target, "is read-only"};
  const fs::path folder = target.parent_path();
  if (!folder.empty() && !fs::is_directory(folder, ec)) {
    return FileError{target, "the folder " + folder.string() + " does not exist"};
  }
  if (fs::is_directory(temp, ec)) return FileError{temp, "is a folder, not a file"};

#ifdef _WIN32
  {
    std::FILE* f = _wfopen(temp.c_str(), L"wb");
    if (!f) return ErrnoError(temp);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size() &&
                         std::fflush(f) == 0 && _commit(_fileno(f)) == 0;
    const int error = errno;
    std::fclose(f);
    if (!written) {
      fs::remove(temp, ec);
      return ErrnoError(target, error);
    }
  }
  if (!MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    fs::remove(temp, ec);
    return FileError{target, "could not be replaced (Windows error " + std::to_string(GetLastError()) + ")"};
  }
  return {};
#else
  // Keep the permissions the file already had.
  mode_t mode = 0666;
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) mode = st.st_mode & 07777;

  if (int error = WriteTemp(temp, bytes, mode)) {
    fs::remove(temp, ec);
    return ErrnoError(target, error);
  }
  if (::stat(target.c_str(), &st) == 0) ::chmod(temp.c_str(), st.st_mode & 07777);
  int error = InjectedFault("rename", temp);
  if (!error && ::rename(temp.c_str(), target.c_str()) != 0) error = errno;
  if (error) {
    fs::remove(temp, ec);
    return ErrnoError(target, error);
  }
  SyncFolder(folder);
  return {};
#endif
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
  if (!fs::remove(file, ec) && ec) return ErrnoError(file, ec.value());
  return {};
}

}  // namespace velox
