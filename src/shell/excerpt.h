#pragma once
// Quoting a text from a file in a message: a damaged file may hold a field of
// megabytes, which no one reads and which a message box would take seconds to lay out.

#include <string>
#include <string_view>

namespace velox {

inline constexpr size_t kExcerptLength = 80;

// The text in double quotes, cut to about kExcerptLength bytes with "..." when longer.
inline std::string Excerpt(std::string_view text) {
  std::string out = "\"";
  if (text.size() <= kExcerptLength) {
    out.append(text);
  } else {
    out.append(text.substr(0, kExcerptLength - 3));
    out.append("...");
  }
  out.push_back('"');
  return out;
}

}  // namespace velox
