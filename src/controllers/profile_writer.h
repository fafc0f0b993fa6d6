#pragma once
// The controller profile "velox.pad": a header, byte records (a 24-bit target
// address in the emulator's memory and the bytes to place there), an end mark.
// Composed from fixed records, the gamepad's button masks and the keyboard's
// key codes, and the "Ok" of the controller mode dialog that writes it.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "controllers/controller_button.h"
#include "controllers/controller_mode.h"
#include "controllers/gamepad_mapping.h"
#include "shell/file_status.h"

namespace velox {

enum class ProfileKind {
  Keyboard,   // mode "1"
  Gamepad,    // modes "2" and "4"
  TwoPlayer,  // mode "3"
};

using KeyCodes = std::array<std::uint8_t, kControllerButtonCount>;  // field i: position i+1

// The fixed values of the kinds that use no mapping of that sort.
const JoystickMaskTable& KeyboardProfileMasks();
const KeyCodes& GamepadProfileKeyCodes();

// The fields of line 1 of a mapping file, split at "|".
Result<std::vector<std::string>> ReadMappingLine(const std::filesystem::path& file);
// A field is a number only when it is plain decimal digits with a value of 0 to 255.
std::optional<std::uint8_t> ParseByte(std::string_view field);
// Fields 0 to 13 as key codes; further fields are ignored.
Result<KeyCodes> KeyCodesFromFields(const std::vector<std::string>& fields, const std::filesystem::path& file);
// Fields 0 to 15, each "low-high", as masks; parts after the second are ignored.
Result<JoystickMaskTable> MasksFromFields(const std::vector<std::string>& fields, const std::filesystem::path& file);

// From the header 01 40 to the end mark 00 (without the closing CR LF).
std::string ComposeProfile(ProfileKind kind, const JoystickMaskTable& masks, const KeyCodes& keys);
// The composed bytes and CR LF, to the joined "\velox.pad".
Status WriteProfile(const std::filesystem::path& appFolder, std::string_view composed);

// What "Ok" did before it stopped, so that the user can be told what changed.
struct ControllerOkProgress {
  bool profileDeleted = false;  // mode "5" removed velox.pad
  bool modeStored = false;      // Data\controller.cfg holds the new mode
};

// The "Ok" of the controller mode dialog: stores the mode, then brings velox.pad
// in line with it. Every mapping is read and converted before velox.pad is
// touched, so a failure leaves it as it was.
Status RunControllerOk(const std::filesystem::path& appFolder, std::optional<ControllerMode> mode,
                       ControllerOkProgress* progress = nullptr);

}  // namespace velox
