#pragma once
// The gamepad mapping: which joystick button (1 to 16, or none) acts as each
// controller button, stored in Data\manette.cfg as the joystick mask table
// (read by the profile writer) and the fourteen choices (read back by the
// gamepad mapping dialog).

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "controllers/controller_button.h"
#include "shell/file_status.h"

namespace velox {

inline constexpr int kJoystickButtonCount = 16;
inline constexpr const char* kNoJoystickButton = "---";

// The choice texts: 0 is "---", n is "Bouton n".
std::string ChoiceText(int joystickButton);
// The joystick button a choice names (0 for "---"), or nothing for any other text.
std::optional<int> ParseChoice(std::string_view text);

struct GamepadMapping {
  std::array<int, kControllerButtonCount> buttons{};  // position k at index k-1; 0 = none
  friend bool operator==(const GamepadMapping&, const GamepadMapping&) = default;
};

// Entry n-1 is the mask of the controller button that joystick button n stands for.
using JoystickMaskTable = std::array<ButtonMask, kJoystickButtonCount>;

// When several positions choose one joystick button, the highest position wins.
JoystickMaskTable BuildJoystickMaskTable(const GamepadMapping& mapping);

std::filesystem::path GamepadMappingPath(const std::filesystem::path& appFolder);

// Reading stops at the first missing or unknown field; later positions keep "---".
GamepadMapping ParseGamepadChoices(std::string_view line);
// Reads the file's last line; a missing or empty file gives a fresh mapping.
GamepadMapping ReadGamepadMapping(const std::filesystem::path& appFolder);

std::string GamepadMappingBytes(const GamepadMapping& mapping);
Status WriteGamepadMapping(const std::filesystem::path& appFolder, const GamepadMapping& mapping);

// "Bouton n" when joystick button n alone of buttons 1 to 16 is held and no other
// button at all; else empty.
std::string PressedButtonText(std::uint32_t buttons);

}  // namespace velox
