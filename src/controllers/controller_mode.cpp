#include "controllers/controller_mode.h"

#include "shell/install_layout.h"
#include "shell/line_file.h"

namespace velox {

const std::array<ControllerModeInfo, 6>& ControllerModes() {
  using enum ControllerMode;
  static const std::array<ControllerModeInfo, 6> table{{
      {Keyboard, "1", "Option1", "1 Player - Keyboard", true, false},
      {Gamepad, "2", "Option2", "1 Player - Gamepad", false, true},
      {GamepadKeyboard, "3", "Option3", "2 Players - Gamepad / Keyboard", true, true},
      {TwoGamepads, "4", "Option4", "2 Players - Gamepad / Gamepad", false, true},
      {Default, "5", "Option5", "Default Mode (Keyboard)", false, false},
      {Adaptoid, "6", "Option6", "1 Player - Adaptoid (Rumble Pack)", false, false},
  }};
  return table;
}

const ControllerModeInfo& ModeInfo(ControllerMode mode) { return ControllerModes()[static_cast<int>(mode) - 1]; }

std::optional<ControllerMode> ParseModeNumber(std::string_view line) {
  for (const ControllerModeInfo& info : ControllerModes()) {
    if (line == info.number) return info.mode;
  }
  return std::nullopt;
}

std::filesystem::path ModeFilePath(const std::filesystem::path& appFolder) {
  return JoinedPath(appFolder, "\\Data\\controller.cfg");
}

std::optional<ControllerMode> ReadControllerMode(const std::filesystem::path& appFolder) {
  const Result<std::string> bytes = ReadFileBytes(ModeFilePath(appFolder));
  if (!bytes) return ControllerMode::Default;
  const std::optional<std::string_view> line = FirstLine(*bytes);
  if (!line || line->empty()) return ControllerMode::Default;
  return ParseModeNumber(*line);
}

std::string ModeFileBytes(std::optional<ControllerMode> mode) {
  std::string out;
  AppendLine(out, mode ? ModeInfo(*mode).number : "");
  return out;
}

}  // namespace velox
