#include "controllers/gamepad_mapping.h"

#include <vector>

#include "controllers/mapping_fields.h"
#include "shell/install_layout.h"
#include "shell/line_file.h"
#include "shell/safe_file.h"

namespace velox {

std::string ChoiceText(int joystickButton) {
  if (joystickButton <= 0 || joystickButton > kJoystickButtonCount) return kNoJoystickButton;
  return "Bouton " + std::to_string(joystickButton);
}

std::optional<int> ParseChoice(std::string_view text) {
  for (int n = 0; n <= kJoystickButtonCount; ++n) {
    if (text == ChoiceText(n)) return n;
  }
  return std::nullopt;
}

JoystickMaskTable BuildJoystickMaskTable(const GamepadMapping& mapping) {
  JoystickMaskTable table{};
  for (const ControllerButton& button : ControllerButtons()) {
    const int chosen = mapping.buttons[button.position - 1];
    if (chosen >= 1 && chosen <= kJoystickButtonCount) table[chosen - 1] = button.mask;
  }
  return table;
}

std::filesystem::path GamepadMappingPath(const std::filesystem::path& appFolder) {
  return JoinedPath(appFolder, "\\Data\\manette.cfg");
}

GamepadMapping ParseGamepadChoices(std::string_view line) {
  GamepadMapping mapping;
  const std::vector<std::string_view> fields = SplitFields(line);
  for (size_t k = 0; k < mapping.buttons.size(); ++k) {
    if (k >= fields.size()) break;
    const std::optional<int> choice = ParseChoice(fields[k]);
    if (!choice) break;
    mapping.buttons[k] = *choice;
  }
  return mapping;
}

GamepadMapping ReadGamepadMapping(const std::filesystem::path& appFolder) {
  const Result<std::string> bytes = ReadFileBytes(GamepadMappingPath(appFolder));
  if (!bytes) return {};
  const std::optional<std::string_view> last = LastLine(*bytes);
  if (!last) return {};
  return ParseGamepadChoices(*last);
}

std::string GamepadMappingBytes(const GamepadMapping& mapping) {
  std::vector<std::string> masks;
  for (const ButtonMask& mask : BuildJoystickMaskTable(mapping)) masks.push_back(mask.Text());
  std::vector<std::string> choices;
  for (int chosen : mapping.buttons) choices.push_back(ChoiceText(chosen));
  std::string out;
  AppendLine(out, JoinFields(masks));
  AppendLine(out, JoinFields(choices));
  return out;
}

Status WriteGamepadMapping(const std::filesystem::path& appFolder, const GamepadMapping& mapping) {
  return ReplaceWholeFile(GamepadMappingPath(appFolder), GamepadMappingBytes(mapping));
}

std::string PressedButtonText(std::uint32_t buttons) {
  for (int n = 1; n <= kJoystickButtonCount; ++n) {
    if (buttons == (std::uint32_t{1} << (n - 1))) return ChoiceText(n);
  }
  return {};
}

}  // namespace velox
