// The controller dialogs leave the process's signal handlers alone and open on
// what is stored, selecting nothing they cannot read.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <csignal>

#include "controllers/form2_window.h"
#include "controllers/form8_window.h"
#include "shell/install_layout.h"
#include "support/temp_install.h"
#include "support/window_test.h"

namespace velox::ui {
namespace {

#ifndef _WIN32
// Taken before main, before anything could have started SDL.
std::pair<struct sigaction, struct sigaction> Handlers() {
  std::pair<struct sigaction, struct sigaction> h;
  sigaction(SIGTERM, nullptr, &h.first);
  sigaction(SIGINT, nullptr, &h.second);
  return h;
}
const auto kAtStart = Handlers();
#endif

using MappingLoadTest = testing::WindowTest;

TEST_F(MappingLoadTest, TheGamepadDialogLeavesSigtermAndSigintToTheProgram) {
#ifdef _WIN32
  GTEST_SKIP() << "no POSIX signals";
#else
  Form2Window::Instance().Show();  // starts SDL's joystick subsystem
  const auto now = Handlers();
  EXPECT_EQ(now.first.sa_handler, kAtStart.first.sa_handler);
  EXPECT_EQ(now.second.sa_handler, kAtStart.second.sa_handler);
  EXPECT_EQ(now.first.sa_flags, kAtStart.first.sa_flags);
#endif
}

TEST_F(MappingLoadTest, Form8OnAnUnknownModeSelectsNothingAndOffersNeitherMapping) {
  testing::WriteBytes(app / "Data/controller.cfg", " 3\r\n");
  QWidget* w = Form8Window::Instance().Show();
  for (const QAbstractButton* b : w->findChildren<QAbstractButton*>()) {
    const bool mapping = b->objectName() == "Command1" || b->objectName() == "Command2";
    EXPECT_FALSE(b->isChecked() || (mapping && b->isEnabled()))
        << b->objectName().toStdString();
  }
}

}  // namespace
}  // namespace velox::ui
