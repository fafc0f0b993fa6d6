#include "app/default_actions.h"

#include <QCoreApplication>

#include "controllers/form8_window.h"
#include "settings/form1_window.h"
#include "settings/form5_window.h"
#include "video/principal_window.h"

namespace velox::ui {

LauncherActions DefaultLauncherActions() {
  LauncherActions actions;
  actions.showVideo = [] { PrincipalWindow::Instance().Show(); };
  actions.showControllers = [] { Form8Window::Instance().Show(); };
  actions.showSettings = [] { Form5Window::Instance().Show(); };
  actions.showPatches = [] { Form1Window::Instance().Show(); };
  // Ending at once: no dialog runs any step, so nothing unsaved is written.
  actions.quit = [] { QCoreApplication::exit(0); };
  return actions;
}

}  // namespace velox::ui
