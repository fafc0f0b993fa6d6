#pragma once
// A gamepad the gamepad dialog sees as plugged in: one of SDL's virtual pads on
// Linux; on Windows a fake pad behind the multimedia joystick calls, taking the
// next joystick id. Press sets its buttons and makes the dialog read them.

#include <cstdint>
#include <optional>
#include <string>

#include "controllers/form2_window.h"
#include "controllers/joystick_sdl.h"

#ifdef _WIN32
#include "support/fake_joystick.h"
#else
#include <SDL.h>
#endif

namespace velox::testing {

#ifdef _WIN32
class VirtualPad {
 public:
  explicit VirtualPad(const char* name) : name_(name) {
    if (!fake_) fake_.emplace();
    fake_->pads.push_back({name_});
  }
  ~VirtualPad() { Unplug(); }
  void Press(ui::Form2Window* w, std::uint32_t buttons) {
    for (FakeJoysticks::Pad& pad : fake_->pads)
      if (pad.name == name_) pad.buttons = buttons;
    w->Form2_Timer1_Timer();
  }
  // The pads after it move down an id, as the system renumbers them.
  void Unplug() {
    if (fake_ && std::erase_if(fake_->pads, [this](const FakeJoysticks::Pad& pad) { return pad.name == name_; }) &&
        fake_->pads.empty()) {
      fake_.reset();  // the system's calls again
    }
  }

 private:
  static inline std::optional<FakeJoysticks> fake_;
  std::string name_;  // one plugged-in pad's own
};

// Nothing to start on Windows: winmm is always there.
inline bool JoystickStarted() { return false; }
#else
class VirtualPad {
 public:
  explicit VirtualPad(const char* name) {
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.nbuttons = 20;
    desc.name = name;
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    pad_ = index >= 0 ? SDL_JoystickOpen(index) : nullptr;
    id_ = pad_ ? SDL_JoystickInstanceID(pad_) : -1;
  }
  ~VirtualPad() { Unplug(); }
  void Press(ui::Form2Window* w, std::uint32_t buttons) {
    for (int i = 0; i < 20; ++i) SDL_JoystickSetVirtualButton(pad_, i, (buttons >> i) & 1);
    w->Form2_Timer1_Timer();
  }
  void Unplug() {
    if (!pad_) return;
    SDL_JoystickClose(pad_);
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
      if (SDL_JoystickGetDeviceInstanceID(i) == id_) SDL_JoystickDetachVirtual(i);
    pad_ = nullptr;
  }

 private:
  SDL_JoystickID id_ = -1;
  SDL_Joystick* pad_ = nullptr;
};

inline bool JoystickStarted() { return SDL_WasInit(SDL_INIT_JOYSTICK) != 0; }
#endif

}  // namespace velox::testing
