// Velox Configurator: the launcher and every dialog it opens.

#include <QApplication>

#include "app/default_actions.h"
#include "shell/launcher_window.h"
#include "ui/text_box_font.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Velox Configurator"));
  velox::ui::EnsureReadableTextBoxes();

  velox::ui::Form3Window launcher(velox::ui::DefaultLauncherActions());
  launcher.show();
  return QApplication::exec();
}
