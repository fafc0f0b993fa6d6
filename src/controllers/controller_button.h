#pragma once
// The fourteen buttons of the console controller. Position k belongs to the
// combo Combo<k> of both mapping dialogs; each button owns one bit of the
// controller's 16-bit button state, written "low-high" ("64-0").

#include <array>
#include <cstdint>
#include <string>

namespace velox {

inline constexpr int kControllerButtonCount = 14;

// Named by position, 1 to 14.
enum class ButtonName : int {
  GreenButton = 1,
  LeftShoulder,
  RightShoulder,
  YellowLeft,
  YellowUp,
  YellowRight,
  YellowDown,
  BlueButton,
  GripTrigger,
  CentreButton,
  PadUp,
  PadLeft,
  PadDown,
  PadRight,
};

struct ButtonMask {
  std::uint8_t low = 0;
  std::uint8_t high = 0;

  // "A-B", e.g. "0-32"; "0-0" names no button.
  std::string Text() const;
  friend bool operator==(const ButtonMask&, const ButtonMask&) = default;
};

struct ControllerButton {
  int position;
  ButtonName name;
  const char* combo;    // "Combo1"
  const char* id;       // "GreenButton"
  const char* caption;  // in running text: "green button"
  // What the player reads and hears as the button's name, in lists, labels
  // and messages: "Green button".
  const char* displayName;
  ButtonMask mask;
};

const std::array<ControllerButton, kControllerButtonCount>& ControllerButtons();
const ControllerButton& ButtonAt(ButtonName name);

}  // namespace velox
