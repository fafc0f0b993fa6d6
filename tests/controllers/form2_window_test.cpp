#include "controllers/form2_window.h"

#include <SDL.h>

#include <QLabel>
#include <QLineEdit>

#include "controller_window_fixture.h"
#include "controllers/joystick_sdl.h"

namespace velox::ui {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::WriteBytes;

class Form2Test : public ControllerWindowTest {
 protected:
  Form2Window* Open() { return Form2Window::Instance().Show(); }
  static QString Held(Form2Window* w) { return w->findChild<QLineEdit*>("Text111")->text(); }
};

// A gamepad of sixteen buttons made by SDL itself, plugged in for one test.
class VirtualPad {
 public:
  VirtualPad() {
    index_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 0, 16, 0);
    if (index_ >= 0) joystick_ = SDL_JoystickOpen(index_);
  }
  ~VirtualPad() { Unplug(); }
  void Unplug() {
    if (joystick_) SDL_JoystickClose(joystick_);
    if (index_ >= 0) SDL_JoystickDetachVirtual(index_);
    joystick_ = nullptr;
    index_ = -1;
  }
  bool ok() const { return joystick_ != nullptr; }
  // Joystick button n (1 to 16).
  void Set(int n, bool down) { SDL_JoystickSetVirtualButton(joystick_, n - 1, down ? SDL_PRESSED : SDL_RELEASED); }

 private:
  int index_ = -1;
  SDL_Joystick* joystick_ = nullptr;
};

TEST_F(Form2Test, ControlsAndTheirPlaces) {
  Form2Window* w = Open();
  EXPECT_EQ(w->objectName(), "Form2");
  EXPECT_EQ(w->findChild<QWidget*>("Frame1")->property("title").toString(), "Configure GamePad");
  EXPECT_EQ(w->findChild<QLabel*>("Label1")->text(), "Scan your GamePad buttons :");
  EXPECT_EQ(Button(w, "Command1")->text(), "Ok");
  EXPECT_EQ(Button(w, "Command2")->text(), "Cancel");
  for (int k = 1; k <= 14; ++k) {
    QComboBox* c = Combo(w, k);
    EXPECT_FALSE(c->isEditable());
    ASSERT_EQ(c->count(), 17);
    EXPECT_EQ(c->itemText(0), "---");
    EXPECT_EQ(c->itemText(16), "Bouton 16");
  }
  QWidget* picture = w->findChild<QWidget*>("Image1");
  QWidget* text = w->findChild<QWidget*>("Text111");
  EXPECT_GT(text->mapTo(w, QPoint()).y(), picture->mapTo(w, QPoint()).y() + picture->height() - 1);
  EXPECT_GT(text->mapTo(w, QPoint()).x(), Button(w, "Command2")->mapTo(w, QPoint()).x());
  EXPECT_TRUE(Held(w).isEmpty());
  // Polled at a human rate, and only while the dialog is loaded.
  ASSERT_NE(w->Timer1(), nullptr);
  EXPECT_TRUE(w->Timer1()->isActive());
  EXPECT_GE(w->Timer1()->interval(), 10);
  EXPECT_LE(w->Timer1()->interval(), 16);
}

TEST_F(Form2Test, LoadShowsTheChoicesUpToTheFirstBadField) {
  WriteBytes(app / "Data/manette.cfg", "x\r\nBouton 1|Bouton 2|Bouton 3|Bouton 17|Bouton 5\r\n");
  Form2Window* w = Open();
  const QStringList expected = {"Bouton 1", "Bouton 2", "Bouton 3", "---"};
  for (int k = 1; k <= 4; ++k) EXPECT_EQ(Combo(w, k)->currentText(), expected[k - 1]);
  EXPECT_EQ(Combo(w, 5)->currentText(), "---");
}

TEST_F(Form2Test, OkWritesTheMaskTableAndTheChoices) {
  fs::create_directories(app / "Data");
  Form2Window* w = Open();
  Combo(w, 2)->setCurrentText("Bouton 3");
  Combo(w, 11)->setCurrentText("Bouton 3");
  QTest::mouseClick(Button(w, "Command1"), Qt::LeftButton);
  EXPECT_EQ(Form2Window::Instance().Get(), nullptr);
  EXPECT_EQ(ReadBytes(app / "Data/manette.cfg"),
            "0-0|0-0|8-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0\r\n"
            "---|Bouton 3|---|---|---|---|---|---|---|---|Bouton 3|---|---|---\r\n");
}

TEST_F(Form2Test, CancelWritesNothing) {
  testing::CopyDemo(app.path());
  const std::string before = ReadBytes(app / "Data/manette.cfg");
  Form2Window* w = Open();
  EXPECT_EQ(Combo(w, 8)->currentText(), "Bouton 1");
  Combo(w, 8)->setCurrentText("Bouton 9");
  QTest::mouseClick(Button(w, "Command2"), Qt::LeftButton);
  EXPECT_EQ(ReadBytes(app / "Data/manette.cfg"), before);
  EXPECT_EQ(Combo(Open(), 8)->currentText(), "Bouton 1");
}

TEST_F(Form2Test, AReadOnlyFileIsToldAndTheDialogStays) {
  testing::CopyDemo(app.path());
  testing::MakeReadOnly(app / "Data/manette.cfg");
  const std::string before = ReadBytes(app / "Data/manette.cfg");
  Form2Window* w = Open();
  Combo(w, 1)->setCurrentText("Bouton 12");
  QTest::mouseClick(Button(w, "Command1"), Qt::LeftButton);
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].contains("manette.cfg"));
  EXPECT_TRUE(messages[0].contains("read-only"));
  EXPECT_EQ(Form2Window::Instance().Get(), w);
  EXPECT_EQ(ReadBytes(app / "Data/manette.cfg"), before);
}

TEST_F(Form2Test, ShowsTheButtonHeldOnAPadPluggedInWhileOpen) {
  ASSERT_TRUE(InitJoystickSubsystem());
  if (SDL_NumJoysticks() > 0) GTEST_SKIP() << "a real joystick is attached";
  Form2Window* w = Open();
  w->Form2_Timer1_Timer();
  EXPECT_TRUE(Held(w).isEmpty()) << "no pad yet";
  EXPECT_GE(w->Timer1()->interval(), 100) << "without a pad the dialog only looks for one now and then";
  EXPECT_TRUE(w->Timer1()->isActive());

  VirtualPad pad;
  ASSERT_TRUE(pad.ok()) << SDL_GetError();
  pad.Set(5, true);
  w->Form2_Timer1_Timer();
  EXPECT_EQ(Held(w), "Bouton 5");
  EXPECT_LE(w->Timer1()->interval(), 16) << "a pad is read at a human rate";
  pad.Set(6, true);
  w->Form2_Timer1_Timer();
  EXPECT_EQ(Held(w), "") << "two buttons together name none";
  pad.Set(5, false);
  w->Form2_Timer1_Timer();
  EXPECT_EQ(Held(w), "Bouton 6");
  pad.Set(6, false);
  pad.Set(16, true);
  w->Form2_Timer1_Timer();
  EXPECT_EQ(Held(w), "Bouton 16");
  pad.Set(16, false);
  w->Form2_Timer1_Timer();
  EXPECT_EQ(Held(w), "");
  pad.Set(1, true);
  EXPECT_EQ(ReadJoystickButtons(), 1u);
  pad.Unplug();
  EXPECT_EQ(ReadJoystickButtons(), 0u) << "a pad unplugged while held is let go";
}

TEST_F(Form2Test, Screenshot) {
  testing::CopyDemo(app.path());
  Screenshot(Open());
}

}  // namespace
}  // namespace velox::ui
