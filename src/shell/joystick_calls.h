#pragma once
// The Windows multimedia joystick calls the gamepad is read through, the ones
// the emulator reads it with, behind one interface so that tests can put a
// fake pad (or none, or a failing driver) in their place on any system.

#include <cstdint>
#include <string>

namespace velox::platform {

// Result codes of those calls (mmsystem.h); any other than kJoyNoError is a failure.
inline constexpr unsigned kJoyNoError = 0;      // JOYERR_NOERROR
inline constexpr unsigned kJoyNoDriver = 6;     // MMSYSERR_NODRIVER
inline constexpr unsigned kJoyUnplugged = 167;  // JOYERR_UNPLUGGED: no pad at that id now

class JoystickCalls {
 public:
  virtual ~JoystickCalls() = default;
  // joyGetNumDevs: how many joystick ids the driver has room for, pads or not.
  virtual unsigned DeviceCount() = 0;
  // joyGetPosEx with JOY_RETURNBUTTONS; on success the buttons value as the
  // driver gives it, joystick button n in bit n-1.
  virtual unsigned ReadButtons(unsigned id, std::uint32_t& buttons) = 0;
  // joyGetDevCapsW: the pad's name (UTF-8), the maker's own where one is registered.
  virtual unsigned Name(unsigned id, std::string& name) = 0;
};

// The system's own calls: winmm's on Windows; elsewhere a driver that is never there.
JoystickCalls& SystemJoystickCalls();
// The calls in use: the system's, or those a test has set.
JoystickCalls& Joysticks();
// nullptr gives the system's calls back.
void SetJoystickCallsForTesting(JoystickCalls* calls);

}  // namespace velox::platform
