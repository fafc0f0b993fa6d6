#include "controllers/mapping_walk.h"

#include <algorithm>

#include "shell/excerpt.h"

namespace velox {

namespace {

std::string NameOf(int position) { return ControllerButtons()[position - 1].displayName; }

// X keycodes (evdev) of the digit row, "1" to "0", and of the three letter rows.
constexpr std::string_view kXkbDigitRow = "1234567890";       // keycodes 10 to 19
constexpr std::string_view kXkbTopRow = "QWERTYUIOP";         // 24 to 33
constexpr std::string_view kXkbHomeRow = "ASDFGHJKL";         // 38 to 46
constexpr std::string_view kXkbBottomRow = "ZXCVBNM";         // 52 to 58

std::optional<char> FromRow(std::string_view row, unsigned first, unsigned code) {
  if (code >= first && code < first + row.size()) return row[code - first];
  return std::nullopt;
}

bool IsLetterOrDigit(int c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'); }

// A pad's name as shown beside the mapping.
constexpr size_t kPadNameLength = 40;

}  // namespace

const std::array<int, kControllerButtonCount>& WalkOrder() {
  using enum ButtonName;
  static const std::array<int, kControllerButtonCount> order = [] {
    const std::array<ButtonName, kControllerButtonCount> names{
        LeftShoulder, PadUp,       PadDown,    PadLeft,  PadRight,   CentreButton, GripTrigger,
        RightShoulder, GreenButton, BlueButton, YellowUp, YellowDown, YellowLeft,   YellowRight};
    std::array<int, kControllerButtonCount> positions{};
    std::transform(names.begin(), names.end(), positions.begin(), [](ButtonName n) { return static_cast<int>(n); });
    return positions;
  }();
  return order;
}

int MappingWalk::Position() const { return Active() ? WalkOrder()[step_] : 0; }

bool MappingWalk::Advance() {
  if (!Active()) return false;
  if (++step_ >= kControllerButtonCount) Stop();
  return Active();
}

void MappingWalk::Back() {
  if (step_ > 0) --step_;
}

void MappingWalk::JumpTo(int position) {
  const auto& order = WalkOrder();
  const auto it = std::find(order.begin(), order.end(), position);
  if (it != order.end()) step_ = static_cast<int>(it - order.begin());
}

std::optional<int> NewlyPressedButton(std::uint32_t previous, std::uint32_t current) {
  for (int n = 1; n <= kJoystickButtonCount; ++n) {
    const std::uint32_t bit = std::uint32_t{1} << (n - 1);
    if (current == bit) return (previous & bit) ? std::nullopt : std::optional<int>(n);
  }
  return std::nullopt;
}

PositionSet PositionsHeld(const GamepadMapping& mapping, std::uint32_t buttons) {
  PositionSet held;
  for (int k = 0; k < kControllerButtonCount; ++k) {
    const int n = mapping.buttons[k];
    if (n >= 1 && n <= kJoystickButtonCount && (buttons >> (n - 1) & 1)) held.set(k);
  }
  return held;
}

std::optional<char> KeyNameForPress(const KeyPress& press) {
  if (press.keypad) return std::nullopt;
  if (press.source == NativeKeySource::WindowsVirtualKey && press.nativeCode != 0) {
    // The virtual key is the very code the emulator compares with.
    if (IsLetterOrDigit(static_cast<int>(press.nativeCode))) return static_cast<char>(press.nativeCode);
    return std::nullopt;
  }
  if (IsLetterOrDigit(press.character)) return static_cast<char>(press.character);
  if (press.source == NativeKeySource::XkbKeycode) {
    for (const auto& [row, first] : {std::pair{kXkbDigitRow, 10u}, std::pair{kXkbTopRow, 24u},
                                     std::pair{kXkbHomeRow, 38u}, std::pair{kXkbBottomRow, 52u}}) {
      if (auto name = FromRow(row, first, press.nativeCode)) return name;
    }
  }
  return std::nullopt;
}

std::array<std::vector<int>, kControllerButtonCount> SharedChoices(const std::array<int, kControllerButtonCount>& values,
                                                                   int none) {
  std::array<std::vector<int>, kControllerButtonCount> shared;
  for (int a = 0; a < kControllerButtonCount; ++a) {
    if (values[a] == none) continue;
    for (int b = 0; b < kControllerButtonCount; ++b) {
      if (b != a && values[b] == values[a]) shared[a].push_back(b + 1);
    }
  }
  return shared;
}

std::string JoinedNames(const std::vector<int>& positions) {
  std::string text;
  for (size_t i = 0; i < positions.size(); ++i) {
    if (i > 0) text += i + 1 == positions.size() ? " and " : ", ";
    text += NameOf(positions[i]);
  }
  return text;
}

std::string ConflictNote(int position, const std::vector<int>& others, std::string_view choice, bool highestWins) {
  std::string note = "Also used for " + JoinedNames(others);
  if (highestWins) {
    const int winner = std::max(position, *std::max_element(others.begin(), others.end()));
    note += "; once saved, " + std::string(choice) + " acts as " + NameOf(winner) + " only";
  }
  return note;
}

std::string WalkPrompt(WalkDevice device, int position, int step) {
  const char* what = device == WalkDevice::Keyboard ? "a key" : "a pad button";
  return std::string("Press ") + what + " for " + NameOf(position) + " (" + std::to_string(step) + " of " +
         std::to_string(kControllerButtonCount) + ") \u2014 Esc stops, Backspace clears, Tab skips";
}

std::string RefusedKeyHint(WalkDevice device, std::string_view keyText, bool keypad, int position, int step) {
  std::string reason;
  if (device == WalkDevice::Gamepad) {
    reason = "Keys cannot be chosen here";
  } else if (keypad) {
    reason = "Number pad keys cannot be chosen, use the digit row";
  } else if (keyText.empty()) {
    reason = "Only letters and digits can be chosen";
  } else {
    reason = std::string(keyText) + " cannot be chosen, only letters and digits";
  }
  // Short enough for two lines: the full prompt was shown just before.
  const char* what = device == WalkDevice::Keyboard ? "a key" : "a pad button";
  return reason + " \u2014 press " + what + " for " + NameOf(position) + " (" + std::to_string(step) + " of " +
         std::to_string(kControllerButtonCount) + ")";
}

std::string ShownPadName(std::string_view reported) {
  std::string name;
  for (char c : reported) {
    const auto u = static_cast<unsigned char>(c);
    const bool blank = u < 0x20 || u == 0x7F || c == ' ';
    if (blank) {
      if (!name.empty() && name.back() != ' ') name += ' ';
    } else {
      name += c;
    }
  }
  while (!name.empty() && name.back() == ' ') name.pop_back();
  if (name.empty()) return "Unnamed gamepad";
  return Shortened(name, kPadNameLength);
}

std::string PadStatusText(PadState state, std::string_view reportedName, int connected) {
  switch (state) {
    case PadState::NoSupport: return "No gamepad support: the SDL2 library could not be loaded";
    case PadState::None: return "No gamepad found \u2014 plug one in";
    case PadState::Connected: break;
  }
  std::string text = "Gamepad: " + ShownPadName(reportedName);
  if (connected > 1) text += " (" + std::to_string(connected) + " connected; this one is read)";
  return text;
}

}  // namespace velox
