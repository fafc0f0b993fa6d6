#include "shell/line_file.h"

#include <cerrno>
#include <cstdio>
#include <memory>

namespace velox {

std::vector<std::string> SplitLines(std::string_view bytes) {
  std::vector<std::string> lines;
  ForEachLine(bytes, [&](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

std::optional<std::string_view> FirstLine(std::string_view bytes) {
  if (bytes.empty()) return std::nullopt;
  size_t end = 0;
  while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r') ++end;
  return bytes.substr(0, end);
}

std::optional<std::string_view> LastLine(std::string_view bytes) {
  if (bytes.empty()) return std::nullopt;
  size_t end = bytes.size();
  // Drop the ending of the last line, if it has one.
  if (bytes[end - 1] == '\n') {
    --end;
    if (end > 0 && bytes[end - 1] == '\r') --end;
  } else if (bytes[end - 1] == '\r') {
    --end;
  }
  size_t start = end;
  while (start > 0 && bytes[start - 1] != '\n' && bytes[start - 1] != '\r') --start;
  return bytes.substr(start, end - start);
}

void AppendLine(std::string& out, std::string_view line) {
  out.append(line);
  out.append("\r\n");
}

std::string JoinLines(const std::vector<std::string>& lines) {
  size_t size = 0;
  for (const auto& line : lines) size += line.size() + 2;
  std::string out;
  out.reserve(size);
  for (const auto& line : lines) AppendLine(out, line);
  return out;
}

Result<std::string> ReadFileBytes(const std::filesystem::path& file) {
  std::error_code ec;
  if (std::filesystem::is_directory(file, ec)) return FileError{file, "is a folder, not a file"};
  struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  errno = 0;
  std::unique_ptr<std::FILE, Closer> f(std::fopen(file.string().c_str(), "rb"));
  if (!f) return ErrnoError(file, errno ? errno : ENOENT);
  // One allocation of the file's size and one read for the whole of it; the
  // loop only matters when the file grows while it is read.
  std::string bytes;
  std::error_code sizeError;
  const auto expected = std::filesystem::file_size(file, sizeError);
  size_t capacity = sizeError ? (1 << 16) : static_cast<size_t>(expected) + 1;
  size_t used = 0;
  for (;;) {
    bytes.resize(capacity);
    const size_t got = std::fread(bytes.data() + used, 1, capacity - used, f.get());
    used += got;
    if (used < capacity) {
      if (std::ferror(f.get())) return ErrnoError(file, errno ? errno : EIO);
      break;
    }
    capacity *= 2;
  }
  bytes.resize(used);
  return bytes;
}

}  // namespace velox
