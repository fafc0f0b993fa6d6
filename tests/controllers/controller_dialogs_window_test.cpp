#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QAbstractItemView>
#include <QLabel>
#include <QTest>
#include <algorithm>
#include <map>

#include "controllers/form2_window.h"
#include "controllers/form4_window.h"
#include "controllers/form8_window.h"
#include "controllers/controller_picture_window.h"
#include "shell/install_layout.h"
#include "shell/platform.h"
#include "support/temp_install.h"
#include "support/virtual_pad.h"
#include "support/window_test.h"
#include "ui/messages.h"

namespace velox::ui {
namespace {

using testing::ReadBytes;

class ControllerDialogTest : public testing::WindowTest {
 protected:
  template <class T = QAbstractButton>
  static T* Child(QWidget* w, const QString& name) { return w->findChild<T*>(name); }
  static QComboBox* Combo(QWidget* w, int k) { return Child<QComboBox>(w, QStringLiteral("Combo%1").arg(k)); }
  static QAbstractButton* Option(QWidget* w, int n) { return Child(w, QStringLiteral("Option%1").arg(n)); }

  // Shown, active (pad presses count only then) and with its file folder in place.
  template <class W>
  static W* ShowActive() {
    W* w = W::Instance().Show();
    w->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(w));
    return w;
  }
  static std::string Status(QWidget* w) { return Child<QLabel>(w, "WalkStatus")->text().toStdString(); }
  static std::string Description(QWidget* w, int k) { return Combo(w, k)->accessibleDescription().toStdString(); }
  static QString Held(QWidget* w) { return Child<QWidget>(w, "Text111")->property("text").toString(); }
  static std::string Text(QWidget* w, int k) { return Combo(w, k)->currentText().toStdString(); }
  static int Walking(QWidget* w) { return Child<ControllerPicture>(w, "Image1")->WalkPosition(); }
  static void Key(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(w->focusWidget() ? w->focusWidget() : w, key, mods);
  }

};

using testing::VirtualPad;

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
  // Each profile's bytes are profile_writer_test's; here, that each option's Ok wrote its mode and replaced the pad.
  for (int n : {2, 1, 3, 6, 5}) {
    const std::string pad = ReadBytes(app / "velox.pad");
    w = Form8Window::Instance().Show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));  // so that focus moves as a user's would
    Option(w, n)->click();
    Option(w, n)->setFocus();  // Enter on an option, where no button has the focus, is "Ok"
    QTest::keyClick(Option(w, n), Qt::Key_Return);
    EXPECT_EQ(Form8Window::Instance().Get(), nullptr) << n;
    EXPECT_EQ(ReadBytes(app / "Data/controller.cfg"), std::to_string(n) + "\r\n");
    EXPECT_NE(ReadBytes(app / "velox.pad"), pad) << n;
  }
  EXPECT_EQ(messages.size(), 2) << messages.join("\n").toStdString();
}

TEST_F(ControllerDialogTest, MappingOksWriteTheCombosOrSayWhyNot) {
  Form4Window* w4 = Form4Window::Instance().Show();  // no Data folder yet
  QTest::keyClick(Combo(w4, 9), Qt::Key_Return);
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].contains("clavier.cfg") && messages[0].contains("does not exist"));
  EXPECT_EQ(Form4Window::Instance().Get(), w4) << "it stays open to try again";
  std::filesystem::create_directories(app / "Data");
  Form2Window* w2 = Form2Window::Instance().Show();
  // "Bouton 10" is not button 1; position 11 takes button 3 from position 2.
  for (const auto& [k, n] : std::vector<std::pair<int, int>>{{1, 2}, {2, 3}, {8, 1}, {10, 10}, {11, 3}, {14, 16}})
    Combo(w2, k)->setCurrentText(QStringLiteral("Bouton %1").arg(n));
  QTest::mouseClick(Child(w2, "Command1"), Qt::LeftButton);
  EXPECT_EQ(ReadBytes(app / "Data/manette.cfg"),
            "128-0|64-0|8-0|0-0|0-0|0-0|0-0|0-0|0-0|16-0|0-0|0-0|0-0|0-0|0-0|1-0\r\n"
            "Bouton 2|Bouton 3|---|---|---|---|---|Bouton 1|---|Bouton 10|Bouton 3|---|---|Bouton 16\r\n");
}

TEST_F(ControllerDialogTest, Form2ChoosesByPressNamesThePadAndLightsItsButtons) {
  testing::CopyDemo(app.path());
  Form2Window* w = ShowActive<Form2Window>();
  if (testing::RealPadAttached()) GTEST_SKIP() << "a real joystick is attached";
  QLabel* pad = Child<QLabel>(w, "PadName");
  auto* picture = Child<ControllerPicture>(w, "Image1");
  EXPECT_EQ(pad->text().toStdString(), "No gamepad found \u2014 plug one in");  // on Windows from the real joyGetPosEx
  Combo(w, 11)->setFocus();
  w->Form2_Timer1_Timer();
  EXPECT_EQ(Text(w, 11) + Held(w).toStdString(), "---") << "nothing chosen, nothing held";
  EXPECT_EQ(Child<QLabel>(w, "PadNumbers")->isVisible(), !platform::kWindows) << "Linux says whose numbers these are";
  VirtualPad first("Velox Test Pad");
  ASSERT_TRUE(first.Ok());
  w->Form2_Timer1_Timer();
  EXPECT_EQ(pad->text().toStdString(), "Gamepad: Velox Test Pad");
  EXPECT_EQ(pad->accessibleName(), pad->text());
  EXPECT_LT(w->Timer1()->interval(), 250) << "a pad is read often, only while there is one";

  // Press to choose: the focused list takes the button, the focus moves to the next list in tab order.
  Combo(w, 11)->setFocus();
  first.Press(w, 1u << 11);
  EXPECT_EQ(Text(w, 11) + "/" + Held(w).toStdString(), "Bouton 12/Bouton 12");
  EXPECT_EQ(QApplication::focusWidget(), Combo(w, 12));
  for (std::uint32_t buttons : {1u << 11, 0b11000u, 0b10000u}) first.Press(w, buttons);
  EXPECT_EQ(Text(w, 12), "---") << "held since the last choice, a chord, what is left of it: none chooses";
  Combo(w, 8)->showPopup();  // a mouse user opened the list: the press goes there and closes it
  first.Press(w, 0);
  first.Press(w, 1u << 15);
  EXPECT_EQ(Text(w, 8) + (Combo(w, 8)->view()->isVisible() ? " open" : ""), "Bouton 16");
  EXPECT_EQ(QApplication::focusWidget(), Combo(w, 2)) << "from the last list back to the first";

  // Live mapping, unsaved choices included: the demo gives button 3 to the yellow left button.
  first.Press(w, 0b100 | 1u << 15);
  EXPECT_EQ(picture->Held().to_string(), "00000010001000") << "yellow left and blue button";
  EXPECT_EQ(Held(w), "") << "two buttons together name none";

  VirtualPad second("Second Pad");
  w->Form2_Timer1_Timer();
  EXPECT_EQ(pad->text().toStdString(), "Gamepad: Velox Test Pad (2 connected; this one is read)");
  first.Unplug();
  w->Form2_Timer1_Timer();
  EXPECT_TRUE(picture->Held().none() && Held(w).isEmpty()) << "let go with the pad";
  w->Form2_Timer1_Timer();
  EXPECT_EQ(pad->text().toStdString(), "Gamepad: Second Pad");
  second.Unplug();
  w->Form2_Timer1_Timer();
  EXPECT_EQ(pad->text().toStdString(), "No gamepad found \u2014 plug one in");
  EXPECT_EQ(w->Timer1()->interval(), 250);
  QTest::mouseClick(Child(w, "MapAllButton"), Qt::LeftButton);  // no pad now: the walk waits for one
  Key(w, Qt::Key_Z);
  EXPECT_EQ(Status(w), "Keys cannot be chosen here \u2014 press a pad button for Left shoulder (1 of 14)");
}

TEST_F(ControllerDialogTest, Form2WalkByPadButtonsThenOk) {
  testing::CopyDemo(app.path());
  Form2Window* w = ShowActive<Form2Window>();
  if (testing::RealPadAttached()) GTEST_SKIP() << "a real joystick is attached";
  VirtualPad pad("Velox Test Pad");
  ASSERT_TRUE(pad.Ok());
  w->Timer1()->stop();  // the pad is read only by the presses below, each handled before the next
  Child(w, "Command1")->setFocus();
  pad.Press(w, 1);  // pressed while no list has the focus, and held while the walk starts: no choice
  QTest::mouseClick(Child(w, "MapAllButton"), Qt::LeftButton);
  EXPECT_EQ(Status(w), "Press a pad button for Left shoulder (1 of 14) \u2014 Esc stops, Backspace clears, Tab skips");
  EXPECT_EQ(Description(w, 2), Status(w));
  w->Form2_Timer1_Timer();
  {
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    pad.Press(w, 1u << 4);
    EXPECT_EQ(Walking(w), 2) << "a press made while another window is in front";
  }
  w->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(w));
  for (int n = 1; n <= 14; ++n) {
    if (n == 7) {
      pad.Press(w, 0b11);  // a chord chooses nothing
      Key(w, Qt::Key_Z);   // nor does the keyboard
      EXPECT_TRUE(QString::fromStdString(Status(w)).startsWith("Keys cannot be chosen here")) << Status(w);
    }
    ASSERT_TRUE(Walking(w) && QApplication::focusWidget() == Combo(w, Walking(w))) << n << ": " << Status(w);
    pad.Press(w, 0);
    pad.Press(w, 1u << (n - 1));
  }
  EXPECT_EQ(Walking(w), 0);
  EXPECT_EQ(QApplication::focusWidget(), Child(w, "Command1")) << "Enter saves next";
  Key(w, Qt::Key_Return);
  EXPECT_EQ(ReadBytes(app / "Data/manette.cfg"),
            "0-32|8-0|4-0|2-0|1-0|16-0|32-0|0-16|64-0|128-0|0-8|0-4|0-2|0-1|0-0|0-0\r\n"
            "Bouton 9|Bouton 1|Bouton 8|Bouton 13|Bouton 11|Bouton 14|Bouton 12|Bouton 10|Bouton 7|Bouton 6|Bouton 2|"
            "Bouton 4|Bouton 3|Bouton 5\r\n");
  EXPECT_EQ(Form2Window::Instance().Get(), nullptr);
}

TEST_F(ControllerDialogTest, Form4WalkByKeysThenOk) {
  testing::CopyDemo(app.path());
  const bool joystickBefore = testing::JoystickStarted();
  Form4Window* w = ShowActive<Form4Window>();

  Key(w, Qt::Key_M, Qt::AltModifier);  // the button's mnemonic, which clicks it a moment later
  ASSERT_TRUE(testing::ClickHeldButtons(w) && Walking(w) == 2);
  // Each step: keys that choose nothing, then the key chosen.
  const std::map<int, std::vector<QKeyCombination>> refused{
      {1, {Qt::Key_F1}}, {2, {Qt::Key_Minus, Qt::KeypadModifier | Qt::Key_5, Qt::Key_Space}}, {3, {Qt::Key_Down, Qt::Key_Return}}};
  const Qt::Key chosen[] = {Qt::Key_Q, Qt::Key_T, Qt::Key_G, Qt::Key_F, Qt::Key_H, Qt::Key_Backspace, Qt::Key_1,
                            Qt::Key_W, Qt::Key_X, Qt::Key_A, Qt::Key_I, Qt::Key_K, Qt::Key_J, Qt::Key_L};
  for (int step = 0; step < 14; ++step) {
    const int position = Walking(w);
    for (QKeyCombination key : refused.contains(step) ? refused.at(step) : std::vector<QKeyCombination>{}) {
      Key(w, key.key(), key.keyboardModifiers());
      EXPECT_EQ(Walking(w), position) << QKeySequence(key).toString().toStdString();
      EXPECT_TRUE(QString::fromStdString(Status(w)).contains(key.keyboardModifiers() ? "Number pad keys cannot" : "only letters and digits"));
    }
    if (step == 9) {  // to blue and back
      Key(w, Qt::Key_A);
      Key(w, Qt::Key_Backtab, Qt::ShiftModifier);
    }
    EXPECT_EQ(Walking(w), position);
    Key(w, chosen[step]);
    if (step == 0) {
      QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, "q", true);
      QApplication::sendEvent(w->focusWidget(), &repeat);
      EXPECT_EQ(Text(w, 11), "T") << "a key held down fills one position only";
    }
  }
  EXPECT_EQ(Walking(w), 0);
  EXPECT_EQ(Status(w), "All 14 chosen \u2014 check them, then Ok saves them");
  EXPECT_EQ(Description(w, 6), "") << "the last list no longer asks for a key";
  EXPECT_EQ(Form4Window::Instance().Get(), w);
  EXPECT_EQ(ReadBytes(app / "Data/clavier.cfg"), "88|67|86|74|73|76|75|65|90|83|84|70|71|72\r\nX|C|V|J|I|L|K|A|Z|S|T|F|G|H\r\n")
      << "nothing is written before Ok";
  Key(w, Qt::Key_Return);
  EXPECT_EQ(ReadBytes(app / "Data/clavier.cfg"),
            "88|81|87|74|73|76|75|65|49|45|84|70|71|72\r\nX|Q|W|J|I|L|K|A|1|-|T|F|G|H\r\n");
  EXPECT_EQ(testing::JoystickStarted(), joystickBefore) << "the keyboard dialog leaves the joystick alone";
}

TEST_F(ControllerDialogTest, EscapeStopsAWalkAndKeepsItsChoicesThenClosesAsBefore) {
  testing::CopyDemo(app.path());
  Form4Window* w = ShowActive<Form4Window>();
  QTest::mouseClick(Child(w, "MapAllButton"), Qt::LeftButton);
  Key(w, Qt::Key_8);
  Key(w, Qt::Key_Tab);  // pad up kept
  EXPECT_EQ(Status(w), "Press a key for Pad down (3 of 14) \u2014 Esc stops, Backspace clears, Tab skips");
  Combo(w, 9)->setFocus();  // the player went to the grip trigger's list
  EXPECT_EQ(Walking(w), 9);
  Key(w, Qt::Key_Delete);
  EXPECT_EQ(Walking(w), 3);
  Key(w, Qt::Key_Escape);
  EXPECT_EQ(Walking(w), 0);
  EXPECT_EQ(Form4Window::Instance().Get(), w) << "Escape only stopped the walk";
  EXPECT_TRUE(QString::fromStdString(Status(w)).startsWith("Stopped"));
  EXPECT_EQ(Description(w, 3), "");
  const KeyboardMapping shown = w->ShownMapping();
  EXPECT_EQ(std::string(shown.keys.begin(), shown.keys.end()), "X8VJILKA-STFGH");
  Key(w, Qt::Key_X);
  EXPECT_EQ(Text(w, 3), "X") << "the list's own typing is back";
  Key(w, Qt::Key_Escape);
  EXPECT_EQ(Form4Window::Instance().Get(), nullptr);
  EXPECT_EQ(ReadBytes(app / "Data/clavier.cfg"), "88|67|86|74|73|76|75|65|90|83|84|70|71|72\r\nX|C|V|J|I|L|K|A|Z|S|T|F|G|H\r\n");
}

TEST_F(ControllerDialogTest, RepeatedChoicesAreMarkedWhileTheyLast) {
  testing::CopyDemo(app.path());
  Form4Window* w4 = Form4Window::Instance().Show();
  const auto marked = [w4] {
    std::string m;
    for (int k = 1; k <= 14; ++k) m += Combo(w4, k)->itemIcon(Combo(w4, k)->currentIndex()).isNull() ? '.' : 'x';
    return m;
  };
  const QString before = Combo(w4, 1)->accessibleDescription();
  EXPECT_EQ(marked(), "..............");
  Combo(w4, 11)->setCurrentText("X");  // as green
  EXPECT_EQ(marked(), "x.........x...");
  EXPECT_EQ(Description(w4, 1), "Also used for Pad up");
  EXPECT_EQ(Combo(w4, 11)->toolTip().toStdString(), "Also used for Green button");
  Combo(w4, 8)->setCurrentText("X");
  EXPECT_EQ(Description(w4, 1), "Also used for Blue button and Pad up");
  for (int k : {11, 8, 2}) Combo(w4, k)->setCurrentText("-");  // "-" repeated is no conflict
  EXPECT_EQ(marked(), "..............");
  for (int k = 1; k <= 14; ++k) EXPECT_EQ(Combo(w4, k)->toolTip().toStdString(), "") << k;
  EXPECT_EQ(Combo(w4, 1)->accessibleDescription(), before);
  Combo(w4, 1)->setCurrentText("T");
  EXPECT_TRUE(Combo(w4, 11)->itemIcon(Combo(w4, 11)->findText("T")).isNull()) << "the old entry's mark is gone";

  Form2Window* w2 = Form2Window::Instance().Show();
  Combo(w2, 13)->setCurrentText("Bouton 1");  // the demo has it at the blue button
  EXPECT_EQ(Description(w2, 8), "Also used for Pad down; once saved, Bouton 1 acts as Pad down only");
  EXPECT_FALSE(Combo(w2, 13)->itemIcon(Combo(w2, 13)->currentIndex()).isNull());
  QTest::mouseClick(Child(w2, "Command1"), Qt::LeftButton);
  EXPECT_EQ(ReadBytes(app / "Data/manette.cfg").substr(0, 10), "4-0|0-4|0-") << "still saved as it always was";
}

// A mnemonic holds its button down until a timer clicks it; the click is delivered at once.
void Alt(QWidget* w, Qt::Key key) {
  QTest::keyClick(w->focusWidget() ? w->focusWidget() : w, key, Qt::AltModifier);
  ASSERT_TRUE(testing::ClickHeldButtons(w));
}

TEST_F(ControllerDialogTest, ProfilesFillOnlyTheListsAndAreReplacedOnlyWhenTheAnswerIsYes) {
  testing::CopyDemo(app.path());
  Form4Window* w = ShowActive<Form4Window>();
  EXPECT_FALSE(Child(w, "DeleteProfile")->isEnabled()) << "no profile to delete yet";
  Combo(w, 1)->setCurrentText("W");
  answers = {"LPT1.txt", "Laptop"};
  Alt(w, Qt::Key_S);
  Combo(w, 1)->setCurrentText("Q");
  answers = {"LAPTOP", "", "laptop", "yes"};
  Alt(w, Qt::Key_S);
  const QString ask = "Save the choices shown as the profile named:";
  const QString replace = "A profile named \"Laptop\" already exists. Replace it with the choices shown?";
  EXPECT_EQ(messages, (QStringList{ask, "\"LPT1.txt\" is the name of a device on Windows and cannot name a file.", ask, ask,
                                   replace, ask, replace}));
  const std::string q = "81|67|86|74|73|76|75|65|90|83|84|70|71|72\r\nQ|C|V|J|I|L|K|A|Z|S|T|F|G|H\r\n";
  EXPECT_EQ(ReadBytes(app / "Data/Profiles/Keyboard/Laptop.cfg"), q);
  EXPECT_EQ(Child<QComboBox>(w, "ProfileList")->count(), 1);
  Child<QComboBox>(w, "ProfileList")->setFocus();
  for (const auto& [key, modifier] : {std::pair{Qt::Key_Return, Qt::NoModifier}, {Qt::Key_Enter, Qt::KeypadModifier}}) {
    Combo(w, 1)->setCurrentText("7");
    Key(w, key, modifier);  // loads; it is not "Ok"
    EXPECT_EQ(Text(w, 1), "Q");
  }
  EXPECT_EQ(ReadBytes(app / "Data/clavier.cfg"), "88|67|86|74|73|76|75|65|90|83|84|70|71|72\r\nX|C|V|J|I|L|K|A|Z|S|T|F|G|H\r\n");
  Alt(w, Qt::Key_O);
  EXPECT_EQ(ReadBytes(app / "Data/clavier.cfg"), q);
}

TEST_F(ControllerDialogTest, Form2OffersThePadsLatestProfileAndCancelDropsALoad) {
  testing::CopyDemo(app.path());
  const std::string stored = ReadBytes(app / "Data/manette.cfg");
  const std::filesystem::path folder = app / "Data/Profiles/Gamepad";
  testing::WriteBytes(folder / "Old.cfg", "0-0|64-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0\r\nVelox Test Pad\r\n"
                                          "Bouton 2|---|---|---|---|---|---|---|---|---|---|---|---|---\r\n");
  testing::WriteBytes(folder / "New.cfg", "0-0|0-0|0-0|0-0|1-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0\r\nVelox Test Pad\r\n"
                                          "---|---|---|---|---|---|---|---|---|---|---|---|---|Bouton 5\r\n");
  testing::WriteBytes(folder / "Bad.cfg", "Bouton 1\r\n");
  std::filesystem::last_write_time(folder / "Old.cfg", std::filesystem::last_write_time(folder / "New.cfg") - std::chrono::hours(1));
  Form2Window* w = ShowActive<Form2Window>();
  auto* list = Child<QComboBox>(w, "ProfileList");
  list->setCurrentText("Bad");
  Alt(w, Qt::Key_L);
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].startsWith("The profile \"Bad\" could not be loaded: it is not a gamepad profile, or it is damaged.") &&
              messages[0].contains(testing::Shown(folder / "Bad.cfg")))
      << messages[0].toStdString();
  EXPECT_EQ(w->ShownMapping(), ReadGamepadMapping(app.path())) << "nothing half-filled";
  for (const char* answer : {"", "yes"}) {
    answers = {answer};
    Alt(w, Qt::Key_D);
  }
  EXPECT_EQ(messages.mid(1), QStringList(2, "Delete the profile \"Bad\"? Its file is removed for good."));
  EXPECT_EQ(list->count(), 2);
  list->setCurrentText("Old");
  Alt(w, Qt::Key_L);
  EXPECT_EQ(Text(w, 1), "Bouton 2");
  QTest::mouseClick(Child(w, "Command2"), Qt::LeftButton);
  EXPECT_EQ(ReadBytes(app / "Data/manette.cfg"), stored);

  w = ShowActive<Form2Window>();
  if (testing::RealPadAttached()) GTEST_SKIP() << "a real joystick is attached";
  VirtualPad pad("Velox Test Pad");
  ASSERT_TRUE(pad.Ok());
  pad.Press(w, 0);
  EXPECT_EQ(Child<QLabel>(w, "ProfileOffer")->text(), "Profile \"New\" was saved with this pad");
  EXPECT_EQ(Text(w, 14), "---") << "offered, not loaded";
  Alt(w, Qt::Key_U);
  EXPECT_EQ(Text(w, 14) + Text(w, 1), "Bouton 5---");
  EXPECT_FALSE(Child(w, "UseProfile")->isVisible());
}

}  // namespace
}  // namespace velox::ui
