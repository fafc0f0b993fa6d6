#include "shell/text_encoding.h"

namespace velox {

namespace {

// Bytes 0x80 to 0x9F; 0 marks the five bytes the code page leaves undefined,
// which decode to the C1 control of the same value so that they round-trip.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t DecodeByte(unsigned char b) {
  if (b >= 0x80 && b < 0xA0 && kHighControls[b - 0x80] != 0) return kHighControls[b - 0x80];
  return b;
}

}  // namespace

std::u16string DecodeWindows1252(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size());
  for (char c : bytes) text.push_back(DecodeByte(static_cast<unsigned char>(c)));
  return text;
}

std::optional<std::string> EncodeWindows1252(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (char16_t c : text) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      bytes.push_back(static_cast<char>(c));
      continue;
    }
    bool found = false;
    for (int i = 0; i < 32; ++i) {
      const char16_t mapped = kHighControls[i] != 0 ? kHighControls[i] : static_cast<char16_t>(0x80 + i);
      if (mapped == c) {
        bytes.push_back(static_cast<char>(0x80 + i));
        found = true;
        break;
      }
    }
    if (!found) return std::nullopt;
  }
  return bytes;
}

}  // namespace velox
