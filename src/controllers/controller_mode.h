#pragma once
// The six controller modes and the mode file Data\controller.cfg.

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace velox {

enum class ControllerMode : int {
  Keyboard = 1,         // "1 Player - Keyboard"
  Gamepad = 2,          // "1 Player - Gamepad"
  GamepadKeyboard = 3,  // "2 Players - Gamepad / Keyboard"
  TwoGamepads = 4,      // "2 Players - Gamepad / Gamepad"
  Default = 5,          // "Default Mode (Keyboard)"
  Adaptoid = 6,         // "1 Player - Adaptoid (Rumble Pack)"
};

struct ControllerModeInfo {
  ControllerMode mode;
  const char* number;  // as stored in the mode file
  const char* option;  // "Option1"
  const char* caption;
  bool keyboardEnabled;  // "Configure Keyboard"
  bool gamepadEnabled;   // "Configure GamePad"
};

const std::array<ControllerModeInfo, 6>& ControllerModes();
const ControllerModeInfo& ModeInfo(ControllerMode mode);

// The mode that a stored line names: exactly "1" to "6", nothing else.
std::optional<ControllerMode> ParseModeNumber(std::string_view line);

// The mode the dialog selects when it opens: a missing, unreadable or empty
// file means the default mode; a line that names no mode selects none.
std::optional<ControllerMode> ReadControllerMode(const std::filesystem::path& appFolder);

// The mode file's bytes: the number, or an empty line for no mode, then CR LF.
std::string ModeFileBytes(std::optional<ControllerMode> mode);

std::filesystem::path ModeFilePath(const std::filesystem::path& appFolder);

}  // namespace velox
