#include "controllers/keyboard_mapping.h"

#include <algorithm>
#include <vector>

#include "controllers/mapping_fields.h"
#include "shell/install_layout.h"
#include "shell/line_file.h"
#include "shell/safe_file.h"

namespace velox {

const std::array<char, 37>& KeyNames() {
  static const std::array<char, 37> names = [] {
    std::array<char, 37> n{};
    size_t i = 0;
    for (char c = '0'; c <= '9'; ++c) n[i++] = c;
    for (char c = 'A'; c <= 'Z'; ++c) n[i++] = c;
    n[i] = kNoKey;
    return n;
  }();
  return names;
}

bool IsKeyName(std::string_view text) {
  return text.size() == 1 && std::find(KeyNames().begin(), KeyNames().end(), text[0]) != KeyNames().end();
}

std::filesystem::path KeyboardMappingPath(const std::filesystem::path& appFolder) {
  return JoinedPath(appFolder, "\\Data\\clavier.cfg");
}

KeyboardMapping ParseKeyboardNames(std::string_view line) {
  KeyboardMapping mapping;
  const std::vector<std::string_view> fields = SplitFields(line);
  for (size_t k = 0; k < mapping.keys.size(); ++k) {
    if (k >= fields.size() || !IsKeyName(fields[k])) break;
    mapping.keys[k] = fields[k][0];
  }
  return mapping;
}

KeyboardMapping ReadKeyboardMapping(const std::filesystem::path& appFolder) {
  const Result<std::string> bytes = ReadFileBytes(KeyboardMappingPath(appFolder));
  if (!bytes) return {};
  const std::optional<std::string_view> last = LastLine(*bytes);
  if (!last) return {};
  return ParseKeyboardNames(*last);
}

std::string KeyboardMappingBytes(const KeyboardMapping& mapping) {
  std::vector<std::string> codes;
  std::vector<std::string> names;
  for (char key : mapping.keys) {
    codes.push_back(std::to_string(KeyCode(key)));
    names.emplace_back(1, key);
  }
  std::string out;
  AppendLine(out, JoinFields(codes));
  AppendLine(out, JoinFields(names));
  return out;
}

Status WriteKeyboardMapping(const std::filesystem::path& appFolder, const KeyboardMapping& mapping) {
  return ReplaceWholeFile(KeyboardMappingPath(appFolder), KeyboardMappingBytes(mapping));
}

}  // namespace velox
