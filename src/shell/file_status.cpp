#include "shell/file_status.h"

#include <cerrno>
#include <cstring>

namespace velox {

std::string FileError::Describe() const {
  return file.string() + ": " + cause;
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
    default: cause = std::strerror(errorNumber); break;
  }
  return FileError{file, std::move(cause)};
}

FileError ErrnoError(const std::filesystem::path& file) {
  return ErrnoError(file, errno);
}

}  // namespace velox
