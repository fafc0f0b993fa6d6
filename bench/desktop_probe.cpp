// The configurator as a user leaves it for the idle measurement: the launcher
// with the real wiring, and every window opened through its own buttons, the
// gamepad dialog (which polls the pad) included. With VELOX_PROBE_PAD=1 a
// virtual pad (SDL's, 16 buttons, nothing pressed) is plugged in once the
// gamepad dialog has started SDL, so that the idle cost with a pad shows too.

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>

#ifndef _WIN32
#include <dlfcn.h>
#endif

#include "app/default_actions.h"
#include "shell/launcher_window.h"

namespace {

QWidget* TopLevel(const char* name) {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == QLatin1String(name) && w->isVisible()) return w;
  }
  return nullptr;
}

void Click(QWidget* window, const char* button) {
  if (!window) return;
  if (auto* b = window->findChild<QAbstractButton*>(button)) b->click();
}

// The SDL that the gamepad dialog loaded, not a second copy.
void PlugInVirtualPad() {
#ifndef _WIN32
  void* sdl = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_NOLOAD);
  using Attach = int (*)(int type, int axes, int buttons, int hats);
  auto attach = sdl ? reinterpret_cast<Attach>(dlsym(sdl, "SDL_JoystickAttachVirtual")) : nullptr;
  if (attach) attach(/* SDL_JOYSTICK_TYPE_GAMECONTROLLER */ 1, 6, 16, 1);
#endif
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  velox::ui::Form3Window launcher(velox::ui::DefaultLauncherActions());
  launcher.show();
  QTimer::singleShot(0, [&] {
    for (const char* b : {"Command2", "Command5", "Command4", "Command1"}) Click(&launcher, b);
    QWidget* modes = TopLevel("Form8");
    Click(modes, "Option3");  // both mapping dialogs are enabled in this mode
    Click(modes, "Command1");
    Click(modes, "Command2");
    QWidget* settings = TopLevel("Form5");
    Click(settings, "Command1");
    Click(settings, "Command2");
    if (qEnvironmentVariable("VELOX_PROBE_PAD") == QLatin1String("1")) PlugInVirtualPad();
  });
  return QApplication::exec();
}
