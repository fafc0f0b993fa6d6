// The gamepad mapping dialog left open and untouched: processor time and
// timer ticks per second, with no pad or with one of SDL's virtual pads
// plugged in (in this process, so the dialog sees it as a real one).
// Usage: velox_gamepad_idle [--pad] [seconds]   (run where a display is set)

#include <SDL.h>
#include <sys/resource.h>

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "controllers/form2_window.h"
#include "shell/install_layout.h"

namespace {

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  bool pad = false;
  int seconds = 10;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--pad") == 0) {
      pad = true;
    } else {
      seconds = std::atoi(argv[i]);
    }
  }
  velox::ui::Form2Window* w = velox::ui::Form2Window::Instance().Show();
  if (pad) {
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.nbuttons = 16;
    desc.name = "Idle Pad";
    if (SDL_JoystickAttachVirtualEx(&desc) < 0) {
      std::fprintf(stderr, "no virtual pad: %s\n", SDL_GetError());
      return 1;
    }
  }
  long ticks = 0;
  QObject::connect(w->Timer1(), &QTimer::timeout, [&ticks] { ++ticks; });
  double start = 0;
  QTimer::singleShot(2000, [&] {  // settled: the pad found, the window drawn
    ticks = 0;
    start = CpuSeconds();
    QTimer::singleShot(seconds * 1000, [&] {
      std::printf("%s: %.3f%% CPU, %.1f reads/s\n", pad ? "virtual pad" : "no pad",
                  100 * (CpuSeconds() - start) / seconds, static_cast<double>(ticks) / seconds);
      QApplication::quit();
    });
  });
  return QApplication::exec();
}
