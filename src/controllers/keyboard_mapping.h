#pragma once
// The keyboard mapping: one key name per controller button, stored in
// Data\clavier.cfg as a line of key codes (read by the profile writer) and a
// line of key names (read back by the keyboard mapping dialog).

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

#include "controllers/controller_button.h"
#include "shell/file_status.h"

namespace velox {

// "0"-"9", "A"-"Z", then "-" for no key, in the order the dialog lists them.
const std::array<char, 37>& KeyNames();
inline constexpr char kNoKey = '-';

bool IsKeyName(std::string_view text);
// The key code of a key name is its character code: "A" is 65, "-" is 45.
inline int KeyCode(char keyName) { return static_cast<unsigned char>(keyName); }

struct KeyboardMapping {
  std::array<char, kControllerButtonCount> keys;  // position k at index k-1

  KeyboardMapping() { keys.fill(kNoKey); }
  friend bool operator==(const KeyboardMapping&, const KeyboardMapping&) = default;
};

std::filesystem::path KeyboardMappingPath(const std::filesystem::path& appFolder);

// The mapping that a line of key names gives: reading stops at the first
// missing or unknown field, and the positions after it keep "-".
KeyboardMapping ParseKeyboardNames(std::string_view line);
// Reads the file's last line; a missing or empty file gives a fresh mapping.
KeyboardMapping ReadKeyboardMapping(const std::filesystem::path& appFolder);

// The two lines, each ended by CR LF.
std::string KeyboardMappingBytes(const KeyboardMapping& mapping);
Status WriteKeyboardMapping(const std::filesystem::path& appFolder, const KeyboardMapping& mapping);

}  // namespace velox
