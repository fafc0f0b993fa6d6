// Velox Configurator: the launcher and every dialog it opens.

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>

#include "settings/form1_window.h"
#include "settings/form5_window.h"
#include "shell/launcher_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Velox Configurator"));

  velox::ui::LauncherActions actions;
  actions.showSettings = [] { velox::ui::Form5Window::Instance().Show(); };
  actions.showPatches = [] { velox::ui::Form1Window::Instance().Show(); };
  // Ending at once: no dialog runs any step, so nothing unsaved is written.
  actions.quit = [] { QCoreApplication::exit(0); };

  velox::ui::Form3Window launcher(std::move(actions));
  launcher.show();
  return QApplication::exec();
}
