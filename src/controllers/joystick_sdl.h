#pragma once
// The gamepad as the mapping dialog sees it: the buttons value of the first
// joystick, joystick button n in bit n-1. On Windows it is read through the
// multimedia joystick calls, as the emulator reads it (multimedia_joystick.cpp);
// on Linux through SDL (joystick_sdl.cpp), whose numbers are Linux's own.

#include <cstdint>
#include <string>

namespace velox {

// Starts SDL's joystick subsystem on first use (not at program start); always
// true on Windows. False when it cannot be started; then no joystick is ever seen.
bool InitJoystickSubsystem();

// The buttons held on the first joystick now; 0 when there is none. A pad
// plugged in (or out) since the last call is taken into account.
std::uint32_t ReadJoystickButtons();

// Whether the last read found a joystick.
bool JoystickConnected();

// The name the joystick being read reports (UTF-8, as given), empty when none.
std::string JoystickName();

// How many joysticks are connected now; only the first opened is read.
int JoystickCount();

// Changes whenever the joystick being read is opened or let go: what is shown
// about it needs looking at only then.
unsigned JoystickGeneration();

}  // namespace velox
