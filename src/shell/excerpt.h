#pragma once
// Shortening a text shown to people: a damaged file may hold a field of
// megabytes, which no one reads and which a window or a message box would take
// seconds to lay out. Every shortened text is cut here, by one rule.

#include <cstddef>
#include <string>
#include <string_view>

namespace velox {

// A text quoted in a message.
inline constexpr size_t kExcerptLength = 80;

namespace detail {

// Where the character at i ends: a UTF-8 sequence (any other byte stands alone)
// or a UTF-16 surrogate pair.
inline size_t CharacterEnd(std::string_view text, size_t i) {
  const auto byte = [&](size_t at) { return static_cast<unsigned char>(text[at]); };
  const unsigned char lead = byte(i);
  const size_t length = lead >= 0xF0 && lead < 0xF8 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  size_t end = i + 1;
  while (end < i + length && end < text.size() && (byte(end) & 0xC0) == 0x80) ++end;
  return end;
}
inline size_t CharacterEnd(std::u16string_view text, size_t i) {
  const bool pair = text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                    text[i + 1] < 0xE000;
  return i + (pair ? 2 : 1);
}

template <class Char>
std::basic_string<Char> Shortened(std::basic_string_view<Char> text, size_t limit) {
  size_t keep = 0;  // where the first limit - 1 characters end
  size_t characters = 0;
  for (size_t i = 0; i < text.size(); i = detail::CharacterEnd(text, i)) {
    if (characters == limit) {
      while (keep > 0 && text[keep - 1] == Char(' ')) --keep;
      std::basic_string<Char> out(text.substr(0, keep));
      if constexpr (sizeof(Char) == 1) {
        out += "\u2026";
      } else {
        out += u'\u2026';
      }
      return out;
    }
    if (++characters < limit) keep = detail::CharacterEnd(text, i);
  }
  return std::basic_string<Char>(text);
}

}  // namespace detail

// The text whole when it has at most limit characters; else its first limit - 1,
// without the blanks that end them, and an ellipsis. Characters, not bytes: a
// cut never splits one (in UTF-8 text, a byte that starts no sequence counts as one).
inline std::string Shortened(std::string_view text, size_t limit) { return detail::Shortened(text, limit); }
inline std::u16string Shortened(std::u16string_view text, size_t limit) { return detail::Shortened(text, limit); }

// The text in double quotes, shortened to kExcerptLength characters.
inline std::string Excerpt(std::string_view text) { return "\"" + Shortened(text, kExcerptLength) + "\""; }

}  // namespace velox
