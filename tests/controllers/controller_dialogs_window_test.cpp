#include <SDL.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QTest>

#include "controllers/form2_window.h"
#include "controllers/form4_window.h"
#include "controllers/form8_window.h"
#include "shell/install_layout.h"
#include "support/temp_install.h"
#include "ui/messages.h"

namespace velox::ui {
namespace {

using testing::ReadBytes;

class ControllerDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetAppFolderForTesting(app.path());
    SetMessageSinkForTesting([this](const QString&, const QString& text) { messages << text; });
  }
  void TearDown() override {
    SetMessageSinkForTesting(nullptr);
    for (QWidget* w : QApplication::topLevelWidgets()) w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  template <class T = QAbstractButton>
  static T* Child(QWidget* w, const QString& name) { return w->findChild<T*>(name); }
  static QComboBox* Combo(QWidget* w, int k) { return Child<QComboBox>(w, QStringLiteral("Combo%1").arg(k)); }
  static QAbstractButton* Option(QWidget* w, int n) { return Child(w, QStringLiteral("Option%1").arg(n)); }

  testing::TempFolder app;
  QStringList messages;
};

TEST_F(ControllerDialogTest, Form8SelectsTheStoredModeAndItsButtonsFollowTheOptions) {
  testing::WriteBytes(app / "Data/controller.cfg", "3\r\n1\r\n");
  Form8Window* w = Form8Window::Instance().Show();
  EXPECT_TRUE(Option(w, 3)->isChecked());
  // option clicked, then "Configure Keyboard" and "Configure GamePad" enabled
  for (const auto& [n, keyboard, gamepad] : std::vector<std::tuple<int, bool, bool>>{
           {6, false, false}, {4, false, true}, {1, true, false}, {5, false, false}, {2, false, true}, {3, true, true}}) {
    Option(w, n)->click();
    EXPECT_EQ(Child(w, "Command1")->isEnabled(), keyboard) << "Option" << n;
    EXPECT_EQ(Child(w, "Command2")->isEnabled(), gamepad) << "Option" << n;
  }
  QTest::mouseClick(Child(w, "Command1"), Qt::LeftButton);  // "Configure Keyboard" shows Form4 beside it
  QTest::keyClick(w, Qt::Key_Escape);
  EXPECT_EQ(Form8Window::Instance().Get(), nullptr);
  EXPECT_EQ(ReadBytes(app / "Data/controller.cfg"), "3\r\n1\r\n");
  ASSERT_TRUE(Form4Window::Instance().Get() && !Form4Window::Instance().Get()->isModal()) << "it outlives Form8";
}

TEST_F(ControllerDialogTest, Form8OkSaysWhatChangedWhenItFailsAndEnterIsOk) {
  testing::WriteBytes(app / "velox.pad", "earlier");
  Form8Window* w = Form8Window::Instance().Show();
  Option(w, 2)->click();
  QTest::mouseClick(Child(w, "Command3"), Qt::LeftButton);
  std::filesystem::create_directories(app / "Data");
  QTest::mouseClick(Child(w, "Command3"), Qt::LeftButton);
  ASSERT_EQ(messages.size(), 2);
  EXPECT_TRUE(messages[0].contains("controller.cfg") &&
              messages[0].contains("The stored controller mode and velox.pad were left unchanged"));
  EXPECT_TRUE(messages[1].contains("the gamepad has not been configured yet") &&
              messages[1].contains("The controller mode was saved; velox.pad was left unchanged"));
  EXPECT_EQ(Form8Window::Instance().Get(), w);
  EXPECT_EQ(ReadBytes(app / "Data/controller.cfg") + ReadBytes(app / "velox.pad"), "2\r\nearlier");
  testing::CopyDemo(app.path());
  testing::CurrentDirectory here(app.path());
  for (const auto& [n, size] : std::vector<std::pair<int, size_t>>{{2, 1067}, {1, 837}, {3, 1030}, {6, 13}, {5, 9}}) {
    w = Form8Window::Instance().Show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));  // so that focus moves as a user's would
    Option(w, n)->click();
    Option(w, n)->setFocus();  // Enter on an option, where no button has the focus, is "Ok"
    QTest::keyClick(Option(w, n), Qt::Key_Return);
    EXPECT_EQ(Form8Window::Instance().Get(), nullptr) << n;
    EXPECT_EQ(ReadBytes(app / "Data/controller.cfg"), std::to_string(n) + "\r\n");
    EXPECT_EQ(ReadBytes(app / "velox.pad").size(), size) << n;  // 9: "<missing>"
  }
  EXPECT_EQ(messages.size(), 2) << messages.join("\n").toStdString();
}

TEST_F(ControllerDialogTest, MappingOksWriteTheCombosOrSayWhyNot) {
  Form4Window* w4 = Form4Window::Instance().Show();  // no Data folder yet
  Combo(w4, 1)->setCurrentText("X");
  Combo(w4, 14)->setCurrentText("7");
  QTest::keyClick(Combo(w4, 9), Qt::Key_Return);
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].contains("clavier.cfg") && messages[0].contains("does not exist"));
  std::filesystem::create_directories(app / "Data");
  QTest::keyClick(Combo(w4, 9), Qt::Key_Return);
  EXPECT_EQ(Form4Window::Instance().Get(), nullptr);
  EXPECT_EQ(ReadBytes(app / "Data/clavier.cfg"),
            "88|45|45|45|45|45|45|45|45|45|45|45|45|55\r\nX|-|-|-|-|-|-|-|-|-|-|-|-|7\r\n");
  Form2Window* w2 = Form2Window::Instance().Show();
  // "Bouton 10" is not button 1; position 11 takes button 3 from position 2.
  for (const auto& [k, n] : std::vector<std::pair<int, int>>{{1, 2}, {2, 3}, {8, 1}, {10, 10}, {11, 3}, {14, 16}})
    Combo(w2, k)->setCurrentText(QStringLiteral("Bouton %1").arg(n));
  QTest::mouseClick(Child(w2, "Command1"), Qt::LeftButton);
  EXPECT_EQ(ReadBytes(app / "Data/manette.cfg"),
            "128-0|64-0|8-0|0-0|0-0|0-0|0-0|0-0|0-0|16-0|0-0|0-0|0-0|0-0|0-0|1-0\r\n"
            "Bouton 2|Bouton 3|---|---|---|---|---|Bouton 1|---|Bouton 10|Bouton 3|---|---|Bouton 16\r\n");
}

TEST_F(ControllerDialogTest, Form2ShowsTheOneButtonHeldOnAVirtualPad) {
  Form2Window* w = Form2Window::Instance().Show();  // starts SDL's joystick subsystem
  if (SDL_NumJoysticks() > 0) GTEST_SKIP() << "a real joystick is attached";
  const auto held = [w] {
    w->Form2_Timer1_Timer();
    return Child<QWidget>(w, "Text111")->property("text").toString();
  };
  const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 0, 16, 0);
  SDL_Joystick* pad = index >= 0 ? SDL_JoystickOpen(index) : nullptr;
  ASSERT_NE(pad, nullptr) << SDL_GetError();
  const auto press = [pad](int n, bool down) { SDL_JoystickSetVirtualButton(pad, n - 1, down); };
  press(5, true);
  EXPECT_EQ(held(), "Bouton 5");
  press(6, true);
  EXPECT_EQ(held(), "") << "two buttons together name none";
  SDL_JoystickClose(pad);
  SDL_JoystickDetachVirtual(index);
  EXPECT_EQ(held(), "") << "a pad unplugged while held is let go";
}

TEST_F(ControllerDialogTest, Screenshot) {
  testing::CopyDemo(app.path());
  const QString dir = qEnvironmentVariable("VELOX_SCREENSHOT_DIR");
  for (QWidget* w : std::vector<QWidget*>{Form8Window::Instance().Show(), Form4Window::Instance().Show(),
                                          Form2Window::Instance().Show()}) {
    w->adjustSize();
    const QPixmap shot = w->grab();
    ASSERT_FALSE(shot.isNull());
    EXPECT_TRUE(dir.isEmpty() || shot.save(dir + "/" + w->objectName() + ".png")) << w->objectName().toStdString();
  }
}

}  // namespace
}  // namespace velox::ui
