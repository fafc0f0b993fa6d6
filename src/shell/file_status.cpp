#include "shell/file_status.h"

#include <cerrno>
#include <cstring>

namespace velox {

std::string PathText(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::filesystem::path PathFromUtf8(std::string_view text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string FileError::Describe() const {
  return PathText(file) + ": " + cause;
}

FileError ErrnoError(const std::filesystem::path& file, int errorNumber) {
  std::string cause;
  switch (errorNumber) {
    case ENOENT: cause = "no such file or folder"; break;
    case EACCES:
    case EPERM: cause = "permission denied"; break;
    case EROFS: cause = "the file system is read-only"; break;
    case ENOSPC: cause = "the disk is full"; break;
#ifdef EDQUOT
    case EDQUOT: cause = "the disk quota is exhausted"; break;
#endif
    case EISDIR: cause = "is a folder, not a file"; break;
    case ENOTDIR: cause = "a part of the path is not a folder"; break;
    case EIO: cause = "input/output error"; break;
    case EBUSY: return FileError{file, "is in use, held open by another program", true};
    case EEXIST: cause = "something of that name is in the way"; break;
    case ENOEXEC: cause = "is not a program that can be started"; break;
    default:
      // A Windows error with no C counterpart keeps its own number.
      cause = errorNumber < 0 ? "failed (Windows error " + std::to_string(-errorNumber) + ")"
                              : std::string(std::strerror(errorNumber));
      break;
  }
  return FileError{file, std::move(cause)};
}

FileError ErrnoError(const std::filesystem::path& file) {
  return ErrnoError(file, errno);
}

}  // namespace velox
