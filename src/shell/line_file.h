#pragma once
// Line files: 8-bit text read and written one line at a time.
//
// A line ends at CR LF, at LF or at a lone CR; a last line without an ending is
// still a line; every other byte is kept exactly, NUL bytes included. Every line
// written ends with CR LF.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/file_status.h"

namespace velox {

// Calls visit(line) for each line of the bytes, in order.
template <class Visit>
void ForEachLine(std::string_view bytes, Visit&& visit) {
  size_t start = 0;
  const size_t n = bytes.size();
  while (start < n) {
    size_t end = start;
    while (end < n && bytes[end] != '\n' && bytes[end] != '\r') ++end;
    visit(bytes.substr(start, end - start));
    if (end < n && bytes[end] == '\r' && end + 1 < n && bytes[end + 1] == '\n') ++end;
    start = end + 1;
  }
}

std::vector<std::string> SplitLines(std::string_view bytes);

// The first line, or nothing when the bytes hold no line at all.
std::optional<std::string_view> FirstLine(std::string_view bytes);
// The last line, or nothing when the bytes hold no line at all.
std::optional<std::string_view> LastLine(std::string_view bytes);

// Each line followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);
void AppendLine(std::string& out, std::string_view line);

// The whole file as bytes. Fails on a missing file, a folder, no permission.
Result<std::string> ReadFileBytes(const std::filesystem::path& file);

}  // namespace velox
