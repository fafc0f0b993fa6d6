#pragma once
// A gamepad the gamepad dialog sees as plugged in: one of SDL's virtual pads on
// Linux; on Windows a fake pad behind the multimedia joystick calls, the first
// one living at joystick 0. Press sets its buttons and makes the dialog read them.

#include <cstdint>
#include <list>
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
    if (Plugged().empty()) Fake().emplace();
    Plugged().push_back(this);
    Sync();
  }
  ~VirtualPad() { Unplug(); }
  bool Ok() const { return true; }
  void Press(ui::Form2Window* w, std::uint32_t buttons) {
    buttons_ = buttons;
    Sync();
    w->Form2_Timer1_Timer();
  }
  void Unplug() {
    if (!std::erase(Plugged(), this)) return;
    Sync();
    if (Plugged().empty()) Fake().reset();  // the system's calls again
  }

 private:
  static std::list<VirtualPad*>& Plugged() {
    static std::list<VirtualPad*> pads;
    return pads;
  }
  static std::optional<FakeJoysticks>& Fake() {
    static std::optional<FakeJoysticks> fake;
    return fake;
  }
  // Pads take the ids in the order plugged in: one unplugged leaves its id to the next.
  static void Sync() {
    if (!Fake()) return;
    Fake()->pads.clear();
    for (const VirtualPad* pad : Plugged()) Fake()->pads.push_back({pad->name_, pad->buttons_});
  }
  std::string name_;
  std::uint32_t buttons_ = 0;
};

// A real pad would stand beside the virtual ones.
inline bool RealPadAttached() { return JoystickCount() > 0; }
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
  bool Ok() const { return pad_ != nullptr; }
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

inline bool RealPadAttached() { return SDL_NumJoysticks() > 0; }
inline bool JoystickStarted() { return SDL_WasInit(SDL_INIT_JOYSTICK) != 0; }
#endif

}  // namespace velox::testing
