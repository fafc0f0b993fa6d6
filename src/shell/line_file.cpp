#include "shell/line_file.h"

#include <algorithm>
#include <cstdint>
#include <system_error>

#include "shell/platform.h"

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

namespace {

// Reads up to limit bytes; every failure of a read fails the whole, so a file is
// never taken for shorter than it is.
Result<std::string> ReadUpTo(const std::filesystem::path& file, size_t limit) {
  using platform::Files;
  std::error_code ec;
  if (std::filesystem::is_directory(file, ec)) return FileError{file, "is a folder, not a file"};
  platform::NativeFile f = 0;
  if (const platform::OsError error = Files().OpenForReading(file, f)) return ErrnoError(file, error);
  // One allocation of the file's size and one read for the whole of it; the
  // loop only matters when the file grows while it is read, or the system
  // gives it in parts (a pipe, /proc).
  const auto expected = std::filesystem::file_size(file, ec);
  size_t capacity = ec || expected == 0 ? (size_t{1} << 16) : static_cast<size_t>(expected) + 1;
  std::string bytes;
  size_t used = 0;
  while (used < limit) {
    if (used == bytes.size()) bytes.resize(std::min(limit, std::max(capacity, bytes.size() * 2)));
    size_t got = 0;
    if (const platform::OsError error = Files().Read(f, bytes.data() + used, bytes.size() - used, got)) {
      (void)Files().Close(f);
      return ErrnoError(file, error);
    }
    if (got == 0) break;
    used += got;
  }
  (void)Files().Close(f);
  bytes.resize(used);
  return bytes;
}

}  // namespace

Result<std::string> ReadFileBytes(const std::filesystem::path& file) { return ReadUpTo(file, SIZE_MAX); }

Result<std::string> ReadFileStart(const std::filesystem::path& file, size_t size) { return ReadUpTo(file, size); }

}  // namespace velox
