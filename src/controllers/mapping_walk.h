#pragma once
// Mapping by pressing: the walk through the fourteen console buttons, which
// key or pad button a press chooses, repeated choices, and the texts that
// tell the player about them. Shared by both mapping dialogs.

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "controllers/controller_button.h"
#include "controllers/gamepad_mapping.h"

namespace velox {

using PositionSet = std::bitset<kControllerButtonCount>;  // bit k-1 for position k

// The positions in the order the walk asks for them: across the controller as
// the hands lie on it, left hand, centre, right hand; each cross up, down,
// left, right.
const std::array<int, kControllerButtonCount>& WalkOrder();

class MappingWalk {
 public:
  void Start() { step_ = 0; }
  void Stop() { step_ = -1; }
  bool Active() const { return step_ >= 0; }
  // The position asked for now; 0 when no walk runs.
  int Position() const;
  // 1 to 14: how far the walk has come.
  int Step() const { return step_ + 1; }
  // Moves on; after the last position the walk ends and this gives false.
  bool Advance();
  // One step back; stays at the first.
  void Back();
  // Continues from this position (the player went to its list).
  void JumpTo(int position);

 private:
  int step_ = -1;
};

// A pad press chooses only when exactly one of buttons 1 to 16 is held and it
// was not held at the previous read: chords, a button left over when a chord
// is released, and a button still held from before choose nothing.
std::optional<int> NewlyPressedButton(std::uint32_t previous, std::uint32_t current);

// The positions whose joystick button is held now.
PositionSet PositionsHeld(const GamepadMapping& mapping, std::uint32_t buttons);

// A key press as the window system reports it. `character` is the key's
// upper-case letter or digit as the keyboard layout gives it, 0 for others.
// The native code, where known, names the key as the emulator will see it.
enum class NativeKeySource { None, WindowsVirtualKey, XkbKeycode };
struct KeyPress {
  int character = 0;
  bool keypad = false;
  NativeKeySource source = NativeKeySource::None;
  unsigned nativeCode = 0;
};

// The key name ("0"-"9", "A"-"Z") the emulator will know this key by, or
// nothing when it is none of those 36 keys. Number pad keys are different
// keys to the emulator and are refused; on layouts whose digit row or letters
// give other characters the key's place on the keyboard decides, as it does
// for the emulator.
std::optional<char> KeyNameForPress(const KeyPress& press);

// For each position, the other positions that hold the same value; positions
// holding `none` share nothing.
std::array<std::vector<int>, kControllerButtonCount> SharedChoices(const std::array<int, kControllerButtonCount>& values,
                                                                   int none);

// "Pad up", "Pad up and Blue button", "Pad up, Pad left and Blue button".
std::string JoinedNames(const std::vector<int>& positions);

// What a list whose choice is also made elsewhere says about it. For the
// gamepad, where the highest position takes the pad button when saved, it
// says which console button that is.
std::string ConflictNote(int position, const std::vector<int>& others, std::string_view choice, bool highestWins);

enum class WalkDevice { Keyboard, Gamepad };

// "Press a key for Pad up (2 of 14) — Esc stops, Backspace clears, Tab skips"
std::string WalkPrompt(WalkDevice device, int position, int step);
// A key the walk cannot take, and what to press instead; `keyText` names the
// key ("F1"), may be empty.
std::string RefusedKeyHint(WalkDevice device, std::string_view keyText, bool keypad, int position, int step);

// The pad's name as shown: control characters made blanks, runs of blanks
// made one, at most 40 characters (a line of the dialog with the count);
// "Unnamed gamepad" when nothing is left.
std::string ShownPadName(std::string_view reported);

enum class PadState { NoSupport, None, Connected };
// "Gamepad: <name>", with a word on which one is read when several are
// connected; or "No gamepad found — plug one in".
std::string PadStatusText(PadState state, std::string_view reportedName, int connected);

}  // namespace velox
