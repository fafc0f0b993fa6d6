// Velox Configurator: the launcher and every dialog it opens.

#include <QApplication>

#include "app/default_actions.h"
#include "shell/install_layout.h"
#include "shell/launcher_window.h"
#include "shell/single_instance.h"
#include "ui/text_box_font.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Velox Configurator"));
  velox::ui::EnsureReadableTextBoxes();

  velox::ui::SingleInstance instance(velox::AppFolder());
  if (!instance.IsFirst()) return 0;

  velox::ui::Form3Window launcher(velox::ui::DefaultLauncherActions());
  QObject::connect(&instance, &velox::ui::SingleInstance::comeForwardAsked, &launcher,
                   [&launcher] { velox::ui::BringForward(launcher); });
  launcher.show();
  return QApplication::exec();
}
