#pragma once
// Pads at joystick ids 0, 1, ... as the multimedia joystick calls report them,
// in place of the system's calls while it lives.

#include <cstdint>
#include <string>
#include <vector>

#include "shell/joystick_calls.h"

namespace velox::testing {

class FakeJoysticks final : public platform::JoystickCalls {
 public:
  struct Pad {
    std::string name;
    std::uint32_t buttons = 0;  // given even when the read fails, as a stale record would
    unsigned result = platform::kJoyNoError;
    unsigned nameResult = platform::kJoyNoError;
  };
  FakeJoysticks() { platform::SetJoystickCallsForTesting(this); }
  ~FakeJoysticks() override { platform::SetJoystickCallsForTesting(nullptr); }

  std::vector<Pad> pads;  // by id; an id past the last has none

  unsigned DeviceCount() override { return 2; }  // what joyGetNumDevs says
  unsigned ReadButtons(unsigned id, std::uint32_t& buttons) override {
    if (id >= pads.size()) return platform::kJoyUnplugged;
    buttons = pads[id].buttons;
    return pads[id].result;
  }
  unsigned Name(unsigned id, std::string& name) override {
    if (id >= pads.size()) return platform::kJoyUnplugged;
    name = pads[id].name;
    return pads[id].nameResult;
  }
};

}  // namespace velox::testing
