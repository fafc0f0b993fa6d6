// The configurator as a user leaves it for the idle measurement: the launcher
// with the real wiring, and every window opened through its own buttons, the
// gamepad dialog (which polls the pad) included.

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>

#include "shell/launcher_window.h"
#include "ui/default_actions.h"

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
  });
  return QApplication::exec();
}
