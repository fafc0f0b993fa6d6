#include "controllers/joystick_sdl.h"

#include <SDL.h>

#include <cstdlib>

namespace velox {

namespace {

enum class InitState { NotTried, Ready, Failed };
InitState g_state = InitState::NotTried;
SDL_Joystick* g_joystick = nullptr;

void ShutDown() {
  if (g_joystick) SDL_JoystickClose(g_joystick);
  g_joystick = nullptr;
  SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

}  // namespace

bool InitJoystickSubsystem() {
  if (g_state == InitState::NotTried) {
    // The dialog is not an SDL window: without this hint SDL would drop the
    // pad's input whenever it believes the program is in the background.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    // SDL may leave a stale message in SDL_GetError even when it succeeds: only
    // the return code counts.
    g_state = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0 ? InitState::Ready : InitState::Failed;
    if (g_state == InitState::Ready) {
      // Nobody drains SDL's event queue; state is read by polling instead.
      SDL_JoystickEventState(SDL_IGNORE);
      std::atexit(ShutDown);
    }
  }
  return g_state == InitState::Ready;
}

std::uint32_t ReadJoystickButtons() {
  if (!InitJoystickSubsystem()) return 0;
  // Refreshes button states and detects pads plugged in or out.
  SDL_JoystickUpdate();
  if (g_joystick && !SDL_JoystickGetAttached(g_joystick)) {
    SDL_JoystickClose(g_joystick);
    g_joystick = nullptr;
  }
  if (!g_joystick) {
    if (SDL_NumJoysticks() <= 0) return 0;
    g_joystick = SDL_JoystickOpen(0);
    if (!g_joystick) return 0;
    SDL_JoystickUpdate();
  }
  std::uint32_t buttons = 0;
  const int count = SDL_JoystickNumButtons(g_joystick);
  for (int i = 0; i < count && i < 32; ++i) {
    if (SDL_JoystickGetButton(g_joystick, i)) buttons |= std::uint32_t{1} << i;
  }
  return buttons;
}

}  // namespace velox
