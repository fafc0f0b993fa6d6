#include "shell/joystick_calls.h"

namespace velox::platform {

namespace {
JoystickCalls*& Override() {
  static JoystickCalls* calls = nullptr;
  return calls;
}
}  // namespace

JoystickCalls& Joysticks() { return Override() ? *Override() : SystemJoystickCalls(); }
void SetJoystickCallsForTesting(JoystickCalls* calls) { Override() = calls; }

#ifndef _WIN32
// Linux reads the pad through SDL instead (controllers/joystick_sdl.cpp).
JoystickCalls& SystemJoystickCalls() {
  struct NoDriver final : JoystickCalls {
    unsigned DeviceCount() override { return 0; }
    unsigned ReadButtons(unsigned, std::uint32_t&) override { return kJoyNoDriver; }
    unsigned Name(unsigned, std::string&) override { return kJoyNoDriver; }
  };
  static NoDriver calls;
  return calls;
}
#endif

}  // namespace velox::platform
