#pragma once
// The emulator's files hold 8-bit text in the Windows-1252 code page. Windows
// show it decoded; what a user types is encoded back the same way.

#include <optional>
#include <string>
#include <string_view>

namespace velox {

std::u16string DecodeWindows1252(std::string_view bytes);

// Nothing when a character has no Windows-1252 byte.
std::optional<std::string> EncodeWindows1252(std::u16string_view text);

}  // namespace velox
