// The mapping dialogs open on the stored mapping, and the gamepad dialog leaves
// the process's signal handlers as they were.

#include <SDL.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <csignal>

#include "controllers/form2_window.h"
#include "controllers/form4_window.h"
#include "controllers/form8_window.h"
#include "controllers/joystick_sdl.h"
#include "shell/install_layout.h"
#include "support/temp_install.h"
#include "ui/messages.h"

namespace velox::ui {
namespace {

#ifndef _WIN32
// Taken before main, before anything could have started SDL.
struct Handlers {
  struct sigaction term {}, interrupt {};
};
Handlers Current() {
  Handlers h;
  sigaction(SIGTERM, nullptr, &h.term);
  sigaction(SIGINT, nullptr, &h.interrupt);
  return h;
}
const Handlers kAtStart = Current();
#endif

QStringList Shown(QWidget* w) {
  QStringList texts;
  for (int k = 1; k <= 14; ++k) texts << w->findChild<QComboBox*>(QStringLiteral("Combo%1").arg(k))->currentText();
  return texts;
}

class MappingLoadTest : public ::testing::Test {
 protected:
  void SetUp() override { SetAppFolderForTesting(app.path()); }
  void TearDown() override {
    for (QWidget* w : QApplication::topLevelWidgets()) w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  testing::TempFolder app;
};

TEST_F(MappingLoadTest, BothDialogsShowTheStoredChoicesAndOkKeepsThem) {
  const std::string clavier = "88|67|86|74|73|76|75|65|90|83|84|70|71|55\r\nX|C|V|J|I|L|K|A|Z|S|T|F|G|7\r\n";
  const std::string manette =
      "128-0|64-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|16-0|0-0|0-0|0-0|0-0|0-0|1-0\r\n"
      "Bouton 2|---|---|---|---|---|---|Bouton 1|---|Bouton 10|---|---|---|Bouton 16\r\n";
  testing::WriteBytes(app / "Data/clavier.cfg", clavier);
  testing::WriteBytes(app / "Data/manette.cfg", manette);
  QWidget* keys = Form4Window::Instance().Show();
  EXPECT_EQ(Shown(keys).join("|"), "X|C|V|J|I|L|K|A|Z|S|T|F|G|7");
  QWidget* pad = Form2Window::Instance().Show();
  EXPECT_EQ(Shown(pad).join("|"), "Bouton 2|---|---|---|---|---|---|Bouton 1|---|Bouton 10|---|---|---|Bouton 16");
  QTest::mouseClick(keys->findChild<QAbstractButton*>("Command1"), Qt::LeftButton);
  QTest::mouseClick(pad->findChild<QAbstractButton*>("Command1"), Qt::LeftButton);
  EXPECT_EQ(testing::ReadBytes(app / "Data/clavier.cfg") + testing::ReadBytes(app / "Data/manette.cfg"),
            clavier + manette);
}

TEST_F(MappingLoadTest, TheGamepadDialogLeavesSigtermAndSigintToTheProgram) {
#ifdef _WIN32
  GTEST_SKIP() << "no POSIX signals";
#else
  Form2Window::Instance().Show();  // starts SDL's joystick subsystem
  const Handlers now = Current();
  EXPECT_EQ(now.term.sa_handler, kAtStart.term.sa_handler);
  EXPECT_EQ(now.interrupt.sa_handler, kAtStart.interrupt.sa_handler);
  EXPECT_EQ(now.term.sa_flags, kAtStart.term.sa_flags);
#endif
}

TEST_F(MappingLoadTest, Form8OnAnUnknownModeSelectsNothingAndOffersNeitherMapping) {
  testing::WriteBytes(app / "Data/controller.cfg", " 3\r\n");
  QWidget* w = Form8Window::Instance().Show();
  for (int n = 1; n <= 6; ++n) EXPECT_FALSE(w->findChild<QAbstractButton*>(QStringLiteral("Option%1").arg(n))->isChecked());
  EXPECT_FALSE(w->findChild<QAbstractButton*>("Command1")->isEnabled());
  EXPECT_FALSE(w->findChild<QAbstractButton*>("Command2")->isEnabled());
}

TEST_F(MappingLoadTest, EveryButtonOfAPadIsRead) {
  Form2Window::Instance().Show();  // starts SDL's joystick subsystem
  if (SDL_NumJoysticks() > 0) GTEST_SKIP() << "a real joystick is attached";
  const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 0, 16, 0);
  SDL_Joystick* pad = index >= 0 ? SDL_JoystickOpen(index) : nullptr;
  ASSERT_NE(pad, nullptr) << SDL_GetError();
  for (int n : {1, 16}) SDL_JoystickSetVirtualButton(pad, n - 1, 1);
  EXPECT_EQ(ReadJoystickButtons(), 0x8001u) << "buttons 1 and 16, the first and the last";
  SDL_JoystickClose(pad);
  SDL_JoystickDetachVirtual(index);
}

}  // namespace
}  // namespace velox::ui
