#include "controllers/multimedia_joystick.h"

#include <algorithm>

#include "controllers/joystick_sdl.h"
#include "shell/joystick_calls.h"

namespace velox {

namespace {
// Ids beyond these are not looked at (drivers offer 16).
constexpr unsigned kMaxIds = 16;
}  // namespace

std::uint32_t MultimediaJoystick::Read() {
  platform::JoystickCalls& calls = platform::Joysticks();
  std::uint32_t buttons = 0;
  const bool found = calls.ReadButtons(0, buttons) == platform::kJoyNoError;
  if (!found) buttons = 0;
  if (found != connected_) {
    connected_ = found;
    ++generation_;
    name_.clear();
    if (found && calls.Name(0, name_) != platform::kJoyNoError) name_.clear();
  }
  // Reading an id with no pad may be slow on some systems: one other id per read.
  others_.resize(std::min(calls.DeviceCount(), kMaxIds));
  if (others_.size() > 1) {
    if (nextOther_ >= others_.size()) nextOther_ = 1;
    std::uint32_t ignored = 0;
    const bool there = calls.ReadButtons(nextOther_, ignored) == platform::kJoyNoError;
    // A pad gone or come elsewhere may have renumbered the pads: joystick 0 may be another one now.
    if (there != others_[nextOther_] && connected_) {
      std::string name;
      if (calls.Name(0, name) != platform::kJoyNoError) name.clear();
      if (name != name_) {
        name_ = name;
        ++generation_;
      }
    }
    others_[nextOther_] = there;
    ++nextOther_;
  }
  return buttons;
}

int MultimediaJoystick::Count() const {
  return (connected_ ? 1 : 0) + static_cast<int>(std::count(others_.begin(), others_.end(), true));
}

#ifdef _WIN32
// On Windows the dialog reads the pad only through these (controllers/joystick_sdl.h).
namespace {
MultimediaJoystick& Pad() {
  static MultimediaJoystick pad;
  return pad;
}
}  // namespace

bool InitJoystickSubsystem() { return true; }  // winmm is linked: nothing to start
std::uint32_t ReadJoystickButtons() { return Pad().Read(); }
bool JoystickConnected() { return Pad().Connected(); }
std::string JoystickName() { return Pad().Name(); }
int JoystickCount() { return Pad().Count(); }
unsigned JoystickGeneration() { return Pad().Generation(); }
#endif

}  // namespace velox
