#pragma once
// The launcher's wiring to the real dialogs, shared by the program and the
// desktop measurement probe so that both open exactly the same windows.

#include "shell/launcher_window.h"

namespace velox::ui {

LauncherActions DefaultLauncherActions();

}  // namespace velox::ui
