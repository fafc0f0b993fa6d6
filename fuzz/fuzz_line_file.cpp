// Line splitting must keep every byte but the line ends, whatever the input.

#include <cstdlib>
#include <string>

#include "shell/line_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto lines = velox::SplitLines(bytes);
  size_t kept = 0;
  for (const auto& line : lines) kept += line.size();
  size_t ends = 0;
  for (char c : bytes) ends += (c == '\r' || c == '\n');
  if (kept + ends != size) std::abort();
  const auto first = velox::FirstLine(bytes);
  const auto last = velox::LastLine(bytes);
  if (lines.empty() != !first.has_value() || lines.empty() != !last.has_value()) std::abort();
  if (!lines.empty() && (lines.front() != *first || lines.back() != *last)) std::abort();
  // Rewriting the lines and splitting again gives the same lines.
  if (velox::SplitLines(velox::JoinLines(lines)) != lines) std::abort();
  return 0;
}
