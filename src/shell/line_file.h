#pragma once
// Line files: 8-bit text read and written one line at a time.
//
// A line ends at CR LF, at LF or at a lone CR; a last line without an ending is
// still a line; every other byte is kept exactly, NUL bytes included. Every line
// written ends with CR LF.

#include <cstring>
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
  // memchr finds each kind of line end at memory speed; the nearer one ends the line.
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  const char* nextLf = nullptr;
  const char* nextCr = nullptr;
  while (p < end) {
    if (nextLf < p) nextLf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
    if (nextLf == nullptr) nextLf = end;
    if (nextCr < p) nextCr = static_cast<const char*>(std::memchr(p, '\r', static_cast<size_t>(nextLf - p)));
    if (nextCr == nullptr) nextCr = nextLf;  // no CR before that LF: look again past it
    const char* stop = nextCr < nextLf ? nextCr : nextLf;
    visit(std::string_view(p, static_cast<size_t>(stop - p)));
    if (stop < end && *stop == '\r' && stop + 1 < end && stop[1] == '\n') ++stop;
    p = stop + 1;
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

// The whole file as bytes. Fails on a missing file, a folder, no permission,
// and on a read error anywhere in the file.
Result<std::string> ReadFileBytes(const std::filesystem::path& file);
// The first size bytes of the file (all of it when it is shorter).
Result<std::string> ReadFileStart(const std::filesystem::path& file, size_t size);

}  // namespace velox
