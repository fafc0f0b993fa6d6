#include "controllers/joystick_sdl.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <type_traits>

#include "shell/platform.h"

namespace velox {

namespace {

// SDL is loaded when the gamepad is first needed, not linked: the library and
// the thirty-odd sound and display libraries it pulls in would otherwise cost
// every start of the configurator, though most runs never open the gamepad dialog.
struct SdlApi {
  decltype(&SDL_SetHint) SetHint = nullptr;
  decltype(&SDL_InitSubSystem) InitSubSystem = nullptr;
  decltype(&SDL_QuitSubSystem) QuitSubSystem = nullptr;
  decltype(&SDL_JoystickEventState) JoystickEventState = nullptr;
  decltype(&SDL_JoystickUpdate) JoystickUpdate = nullptr;
  decltype(&SDL_NumJoysticks) NumJoysticks = nullptr;
  decltype(&SDL_JoystickOpen) JoystickOpen = nullptr;
  decltype(&SDL_JoystickClose) JoystickClose = nullptr;
  decltype(&SDL_JoystickGetAttached) JoystickGetAttached = nullptr;
  decltype(&SDL_JoystickNumButtons) JoystickNumButtons = nullptr;
  decltype(&SDL_JoystickGetButton) JoystickGetButton = nullptr;
  decltype(&SDL_JoystickName) JoystickName = nullptr;

  bool Load() {
    void* library = platform::LoadSharedLibrary(platform::SdlLibraryName());
    const auto find = [library](const char* name) { return platform::FindSymbol(library, name); };
    bool all = true;
    const auto bind = [&](auto& function, const char* name) {
      function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(find(name));
      all = all && function != nullptr;
    };
    bind(SetHint, "SDL_SetHint");
    bind(InitSubSystem, "SDL_InitSubSystem");
    bind(QuitSubSystem, "SDL_QuitSubSystem");
    bind(JoystickEventState, "SDL_JoystickEventState");
    bind(JoystickUpdate, "SDL_JoystickUpdate");
    bind(NumJoysticks, "SDL_NumJoysticks");
    bind(JoystickOpen, "SDL_JoystickOpen");
    bind(JoystickClose, "SDL_JoystickClose");
    bind(JoystickGetAttached, "SDL_JoystickGetAttached");
    bind(JoystickNumButtons, "SDL_JoystickNumButtons");
    bind(JoystickGetButton, "SDL_JoystickGetButton");
    bind(JoystickName, "SDL_JoystickName");
    return all;
  }
};

enum class InitState { NotTried, Ready, Failed };
InitState g_state = InitState::NotTried;
SdlApi g_sdl;
SDL_Joystick* g_joystick = nullptr;
unsigned g_generation = 0;

void ShutDown() {
  if (g_joystick) g_sdl.JoystickClose(g_joystick);
  g_joystick = nullptr;
  g_sdl.QuitSubSystem(SDL_INIT_JOYSTICK);
}

}  // namespace

bool InitJoystickSubsystem() {
  if (g_state == InitState::NotTried) {
    g_state = InitState::Failed;
    if (!g_sdl.Load()) return false;
    // The dialog is not an SDL window: without this hint SDL would drop the
    // pad's input whenever it believes the program is in the background.
    g_sdl.SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    // SDL would take over SIGINT and SIGTERM and only queue a quit event that
    // nobody reads: the configurator must stay stoppable like any program.
    g_sdl.SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // SDL may leave a stale message in SDL_GetError even when it succeeds: only
    // the return code counts.
    if (g_sdl.InitSubSystem(SDL_INIT_JOYSTICK) == 0) {
      g_state = InitState::Ready;
      // Nobody drains SDL's event queue; state is read by polling instead.
      g_sdl.JoystickEventState(SDL_IGNORE);
      std::atexit(ShutDown);
    }
  }
  return g_state == InitState::Ready;
}

bool JoystickConnected() { return g_joystick != nullptr; }

std::string JoystickName() {
  const char* name = g_joystick ? g_sdl.JoystickName(g_joystick) : nullptr;
  return name ? name : "";
}

unsigned JoystickGeneration() { return g_generation; }

int JoystickCount() { return g_state == InitState::Ready ? std::max(g_sdl.NumJoysticks(), 0) : 0; }

std::uint32_t ReadJoystickButtons() {
  if (!InitJoystickSubsystem()) return 0;
  // Refreshes button states and detects pads plugged in or out.
  g_sdl.JoystickUpdate();
  if (g_joystick && !g_sdl.JoystickGetAttached(g_joystick)) {
    g_sdl.JoystickClose(g_joystick);
    g_joystick = nullptr;
    ++g_generation;
  }
  if (!g_joystick) {
    if (g_sdl.NumJoysticks() <= 0) return 0;
    g_joystick = g_sdl.JoystickOpen(0);
    if (!g_joystick) return 0;
    ++g_generation;
    g_sdl.JoystickUpdate();
  }
  std::uint32_t buttons = 0;
  const int count = g_sdl.JoystickNumButtons(g_joystick);
  for (int i = 0; i < count && i < 32; ++i) {
    if (g_sdl.JoystickGetButton(g_joystick, i)) buttons |= std::uint32_t{1} << i;
  }
  return buttons;
}

}  // namespace velox
