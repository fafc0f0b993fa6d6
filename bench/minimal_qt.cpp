// The yardstick for the desktop measurements: the smallest Qt Widgets program,
// one window with one button, built with the same compiler and flags.

#include <QApplication>
#include <QPushButton>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QPushButton button(QStringLiteral("Minimal"));
  button.setWindowTitle(QStringLiteral("Minimal Qt program"));
  button.show();
  return QApplication::exec();
}
