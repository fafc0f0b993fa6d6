// The three controller dialogs walked as a player would: the mode dialog and
// the profile its Ok writes, the keyboard mapping, and the gamepad mapping
// with a virtual pad.

#include <gmock/gmock.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <csignal>
#include <sstream>

#include "controllers/controller_picture_window.h"
#include "controllers/form2_window.h"
#include "controllers/form4_window.h"
#include "controllers/form8_window.h"
#include "shell/platform.h"
#include "support/virtual_pad.h"
#include "support/window_test.h"

namespace velox::ui {
namespace {

namespace fs = std::filesystem;
using ::testing::AllOf, ::testing::ElementsAre, ::testing::HasSubstr;
using testing::ReadBytes, testing::VirtualPad, testing::WriteBytes;

#ifndef _WIN32
// SIGTERM's and SIGINT's handlers, first taken before main, before anything could have started SDL.
std::pair<void (*)(int), void (*)(int)> Handlers() {
  struct sigaction term {};
  struct sigaction interrupt {};
  sigaction(SIGTERM, nullptr, &term);
  sigaction(SIGINT, nullptr, &interrupt);
  return {term.sa_handler, interrupt.sa_handler};
}
const auto kAtStart = Handlers();
#endif

// A whole velox.pad, typed in as hexadecimal text under tests/data.
std::string GoldenProfile(const std::string& name) {
  std::istringstream text(ReadBytes(fs::path(VELOX_DEMO_DIR).parent_path() / "tests/data" / (name + ".pad.hex")));
  std::string bytes;
  for (std::string line; std::getline(text, line);) {
    std::istringstream words(line.starts_with("#") ? "" : line);
    for (std::string token; words >> token;) bytes.push_back(static_cast<char>(std::stoi(token, nullptr, 16)));
  }
  return bytes;
}

class ControllerDialogTest : public testing::WindowTest {
 protected:
  template <class T = QAbstractButton>
  static T* Child(QWidget* w, const QString& name) { return w->findChild<T*>(name); }
  static QComboBox* Combo(QWidget* w, int k) { return Child<QComboBox>(w, QStringLiteral("Combo%1").arg(k)); }
  static QAbstractButton* Option(QWidget* w, int n) { return Child(w, QStringLiteral("Option%1").arg(n)); }
  // Shown and active: pad presses count only then, and the focus moves as a player's would.
  template <class W>
  static W* ShowActive() {
    W* w = W::Instance().Show();
    EXPECT_TRUE(QTest::qWaitForWindowActive(w));
    return w;
  }
  static std::string Status(QWidget* w) { return Child<QLabel>(w, "WalkStatus")->text().toStdString(); }
  static std::string Description(QWidget* w, int k) { return Combo(w, k)->accessibleDescription().toStdString(); }
  static std::string Held(QWidget* w) { return Child<QWidget>(w, "Text111")->property("text").toString().toStdString(); }
  static std::string Text(QWidget* w, int k) { return Combo(w, k)->currentText().toStdString(); }
  static int Walking(QWidget* w) { return Child<ControllerPicture>(w, "Image1")->WalkPosition(); }
  static void Key(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(w->focusWidget() ? w->focusWidget() : w, key, mods);
  }
  // A mnemonic holds its button down until a timer clicks it; the click is delivered at once.
  static void Alt(QWidget* w, Qt::Key key) {
    Key(w, key, Qt::AltModifier);
    ASSERT_TRUE(testing::ClickHeldButtons(w));
  }
};

TEST_F(ControllerDialogTest, Form8OpensOnTheStoredModeAndOkWritesItsProfileOrSaysWhatChanged) {
  testing::TempFolder elsewhere;
  testing::CurrentDirectory here(elsewhere.path());  // modes 5 and 6 work on the bare velox.pad found there
  WriteBytes(app / "Data/controller.cfg", " 3\r\n");
  Form8Window* w = Form8Window::Instance().Show();
  EXPECT_FALSE(Child(w, "Command1")->isEnabled() || Child(w, "Command2")->isEnabled()) << "no mapping offered";
  QTest::mouseClick(Child(w, "Command3"), Qt::LeftButton);
  EXPECT_EQ(ReadBytes(app / "Data/controller.cfg") + ReadBytes(app / "velox.pad"), "\r\n<missing>") << "no mode chosen";

  WriteBytes(app / "Data/controller.cfg", "3\r\n1\r\n");
  w = Form8Window::Instance().Show();
  EXPECT_TRUE(Option(w, 3)->isChecked());
  QTest::mouseClick(Child(w, "Command1"), Qt::LeftButton);  // "Configure Keyboard" shows Form4 beside it
  QTest::keyClick(w, Qt::Key_Escape);
  Form4Window* w4 = Form4Window::Instance().Get();
  EXPECT_TRUE(!Form8Window::Instance().Get() && w4 && !w4->isModal()) << "Form4 outlives Form8";

  // Mode 5 deletes velox.pad before it stores the mode; the second time there is none to delete.
  fs::remove_all(app / "Data");
  WriteBytes(elsewhere / "velox.pad", "bare");
  w = Form8Window::Instance().Show();
  Option(w, 5)->click();
  QTest::mouseClick(Child(w, "Command3"), Qt::LeftButton);
  QTest::mouseClick(Child(w, "Command3"), Qt::LeftButton);
  fs::create_directories(app / "Data");
  Option(w, 2)->click();
  QTest::mouseClick(Child(w, "Command3"), Qt::LeftButton);
  EXPECT_THAT(Said(), ElementsAre(AllOf(HasSubstr("controller.cfg"),
                                        HasSubstr("mode was left unchanged; velox.pad had already been deleted")),
                                  HasSubstr("The stored controller mode and velox.pad were left unchanged"),
                                  AllOf(HasSubstr("manette.cfg"), HasSubstr("the gamepad has not been configured yet"),
                                        HasSubstr("The controller mode was saved; velox.pad was left unchanged"))));
  EXPECT_EQ(Form8Window::Instance().Get(), w);

  // Only line one counts, and of it only the first two parts of 16 (or 14) fields.
  WriteBytes(app / "Data/manette.cfg", "1-100-7|4-101|7-102|10-103|13-104|16-105|19-106|22-107|25-108|28-109|31-110|"
                                       "34-111|37-112|40-113|43-114|46-115|x\r\nBouton 1\r\n");
  WriteBytes(app / "Data/clavier.cfg", "65|66|67|68|69|70|71|72|73|74|75|76|77|78|999\r\nA\r\n");
  const std::string adaptoid("\x01\x40\x00\r\n", 5);
  WriteBytes(app / "Data/adaptoid.cfg", adaptoid);
  // The option; "Configure Keyboard" and "Configure GamePad" enabled; velox.pad in the installation, and the bare one.
  for (const auto& [n, keyboard, pad, installed, bare] : std::vector<std::tuple<int, bool, bool, std::string, std::string>>{
           {6, false, false, "<missing>", adaptoid}, {2, false, true, GoldenProfile("gamepad"), adaptoid},
           {4, false, true, GoldenProfile("gamepad"), adaptoid}, {1, true, false, GoldenProfile("keyboard"), adaptoid},
           {3, true, true, GoldenProfile("two-player"), adaptoid}, {5, false, false, GoldenProfile("two-player"), "<missing>"}}) {
    w = ShowActive<Form8Window>();
    Option(w, n)->click();
    EXPECT_EQ(std::pair(Child(w, "Command1")->isEnabled(), Child(w, "Command2")->isEnabled()), std::pair(keyboard, pad)) << n;
    Option(w, n)->setFocus();  // Enter on an option, where no button has the focus, is "Ok"
    QTest::keyClick(Option(w, n), Qt::Key_Return);
    EXPECT_EQ(ReadBytes(app / "Data/controller.cfg"), std::to_string(n) + "\r\n");
    EXPECT_EQ(std::pair(ReadBytes(app / "velox.pad"), ReadBytes(elsewhere / "velox.pad")), std::pair(installed, bare)) << n;
  }
  EXPECT_EQ(messages.size(), 3);
}

TEST_F(ControllerDialogTest, Form4MarksRepeatsKeepsProfilesMapsByKeysAndWritesOnlyOnOk) {
  testing::CopyDemo(app.path());
  const std::string demo = ReadBytes(app / "Data/clavier.cfg");
  const bool joystickBefore = testing::JoystickStarted();
  Form4Window* w = ShowActive<Form4Window>();

  // Repeated choices are marked while they last.
  const auto marked = [w] {
    std::string m;
    for (int k = 1; k <= 14; ++k) m += Combo(w, k)->itemIcon(Combo(w, k)->currentIndex()).isNull() ? '.' : 'x';
    return m;
  };
  for (int k : {11, 8, 2}) Combo(w, k)->setCurrentText("X");  // as the green button
  EXPECT_EQ(marked(), "xx.....x..x...");
  EXPECT_EQ(Description(w, 1), "Also used for Left shoulder, Blue button and Pad up");
  EXPECT_EQ(Combo(w, 11)->toolTip().toStdString(), "Also used for Green button, Left shoulder and Blue button");
  for (int k : {11, 8, 2}) Combo(w, k)->setCurrentText("-");  // "-" repeated is no conflict
  EXPECT_EQ(marked() + Combo(w, 11)->toolTip().toStdString() + Description(w, 1), "..............");
  EXPECT_TRUE(Combo(w, 11)->itemIcon(Combo(w, 11)->findText("X")).isNull()) << "the old entry's mark is gone";

  // Profiles: a name Windows refuses is asked again; one in another letter case replaces only on yes, and stays chosen.
  WriteBytes(app / "Data/Profiles/Keyboard/Arcade.cfg", demo);
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
  EXPECT_EQ(ReadBytes(app / "Data/Profiles/Keyboard/Laptop.cfg"),
            "81|45|86|74|73|76|75|45|90|83|45|70|71|72\r\nQ|-|V|J|I|L|K|-|Z|S|-|F|G|H\r\n");
  Child<QComboBox>(w, "ProfileList")->setFocus();
  for (const auto& [key, modifier] : {std::pair{Qt::Key_Return, Qt::NoModifier}, {Qt::Key_Enter, Qt::KeypadModifier}}) {
    Combo(w, 1)->setCurrentText("7");
    Key(w, key, modifier);  // loads; it is not "Ok"
    EXPECT_EQ(Text(w, 1), "Q");
  }

  // Map by pressing, by its mnemonic. A key held down fills one position only.
  Alt(w, Qt::Key_M);
  QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, "q", true);
  QApplication::sendEvent(w->focusWidget(), &repeat);
  EXPECT_EQ(Walking(w), 2);
  // Each key, the position asked for after it (0: all done), and for a key that chooses nothing what it says.
  const std::vector<std::tuple<QKeyCombination, int, const char*>> keys{
      {Qt::ShiftModifier | Qt::Key_Backtab, 2, ""}, {Qt::Key_Q, 11, ""},
      {Qt::Key_F1, 11, "F1 cannot be chosen, only letters and digits \u2014 press a key for Pad up (2 of 14)"},
      {Qt::Key_T, 13, ""}, {Qt::Key_Minus, 13, "only letters and digits"},
      {Qt::KeypadModifier | Qt::Key_5, 13, "Number pad keys cannot be chosen, use the digit row"},
      {Qt::Key_Space, 13, "only letters and digits"}, {Qt::Key_G, 12, ""}, {Qt::Key_Down, 12, "only letters and digits"},
      {Qt::Key_Return, 12, "only letters and digits"}, {Qt::Key_F, 14, ""}, {Qt::Key_H, 10, ""}, {Qt::Key_Backspace, 9, ""},
      {Qt::Key_1, 3, ""}, {Qt::Key_W, 1, ""}, {Qt::Key_X, 8, ""}, {Qt::Key_A, 5, ""},
      {Qt::ShiftModifier | Qt::Key_Backtab, 8, ""},
      {Qt::Key_A, 5, ""}, {Qt::Key_I, 7, ""}, {Qt::Key_K, 4, ""}, {Qt::Key_J, 6, ""}, {Qt::Key_L, 0, ""}};
  for (const auto& [key, next, said] : keys) {
    Key(w, key.key(), key.keyboardModifiers());
    EXPECT_EQ(Walking(w), next) << QKeySequence(key).toString().toStdString();
    EXPECT_TRUE(QString::fromStdString(Status(w)).contains(said)) << Status(w);
  }
  EXPECT_EQ(Status(w), "All 14 chosen \u2014 check them, then Ok saves them");
  EXPECT_EQ(Description(w, 6), "") << "the last list no longer asks for a key";
  EXPECT_EQ(ReadBytes(app / "Data/clavier.cfg"), demo) << "nothing is written before Ok";

  // Ok, which has the focus now, fails without the Data folder, and the dialog stays to try again.
  EXPECT_EQ(QApplication::focusWidget(), Child(w, "Command1"));
  fs::rename(app / "Data", app / "Gone");
  Key(w, Qt::Key_Return);
  EXPECT_THAT(Said().back(), AllOf(HasSubstr("clavier.cfg"), HasSubstr("does not exist")));
  fs::rename(app / "Gone", app / "Data");
  Key(w, Qt::Key_Return);
  const std::string walked = "88|81|87|74|73|76|75|65|49|45|84|70|71|72\r\nX|Q|W|J|I|L|K|A|1|-|T|F|G|H\r\n";
  EXPECT_EQ(ReadBytes(app / "Data/clavier.cfg"), walked);

  // Escape stops a walk and keeps its choices; then it closes the dialog as before, writing nothing.
  w = ShowActive<Form4Window>();
  QTest::mouseClick(Child(w, "MapAllButton"), Qt::LeftButton);
  Key(w, Qt::Key_8);
  Key(w, Qt::Key_Tab);  // pad up kept
  EXPECT_EQ(Status(w), "Press a key for Pad down (3 of 14) \u2014 Esc stops, Backspace clears, Tab skips");
  Combo(w, 9)->setFocus();  // the player went to the grip trigger's list
  Key(w, Qt::Key_Delete);
  EXPECT_EQ(Walking(w), 3) << "cleared the grip trigger, then on from there";
  Key(w, Qt::Key_Escape);
  EXPECT_TRUE(QString::fromStdString(Status(w)).startsWith("Stopped"));
  EXPECT_EQ(Description(w, 3), "");
  Key(w, Qt::Key_X);
  const KeyboardMapping shown = w->ShownMapping();
  EXPECT_EQ(std::string(shown.keys.begin(), shown.keys.end()), "X8XJILKA--TFGH") << "the list's own typing is back";
  Key(w, Qt::Key_Escape);
  EXPECT_EQ(Form4Window::Instance().Get(), nullptr);
  EXPECT_EQ(ReadBytes(app / "Data/clavier.cfg"), walked);
  EXPECT_EQ(testing::JoystickStarted(), joystickBefore) << "the keyboard dialog leaves the joystick alone";
}

TEST_F(ControllerDialogTest, Form2KeepsProfilesNamesThePadChoosesByPressAndWalksByPadButtons) {
  testing::CopyDemo(app.path());
  const std::string stored = ReadBytes(app / "Data/manette.cfg");
  const fs::path folder = app / "Data/Profiles/Gamepad";
  WriteBytes(folder / "New.cfg", "0-0|0-0|0-0|0-0|1-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0\r\nVelox Test Pad\r\n"
                                 "---|---|---|---|---|---|---|---|---|---|---|---|---|Bouton 5\r\n");
  WriteBytes(folder / "Torn.cfg", "Bouton 1\r\n");
  Form2Window* w = ShowActive<Form2Window>();
#ifndef _WIN32
  EXPECT_EQ(Handlers(), kAtStart) << "SDL's joystick subsystem leaves SIGTERM and SIGINT to the program";
#endif
  Child<QComboBox>(w, "ProfileList")->setCurrentText("Torn");
  Alt(w, Qt::Key_L);
  answers = {"", "yes"};
  Alt(w, Qt::Key_D);
  Alt(w, Qt::Key_D);
  const std::string asked = "Delete the profile \"Torn\"? Its file is removed for good.";
  EXPECT_THAT(Said(), ElementsAre(AllOf(HasSubstr("The profile \"Torn\" could not be loaded: it is not a gamepad profile"),
                                        HasSubstr(testing::Shown(folder / "Torn.cfg").toStdString())), asked, asked));
  EXPECT_EQ(w->ShownMapping(), ReadGamepadMapping(app.path())) << "nothing half-filled";
  Alt(w, Qt::Key_L);  // the last entry gone, the one left is chosen
  EXPECT_EQ(Text(w, 14) + Text(w, 1), "Bouton 5---");
  QTest::mouseClick(Child(w, "Command2"), Qt::LeftButton);
  EXPECT_EQ(ReadBytes(app / "Data/manette.cfg"), stored) << "Cancel drops the load";

  w = ShowActive<Form2Window>();
  Combo(w, 13)->setCurrentText("Bouton 1");  // the demo has it at the blue button
  EXPECT_EQ(Description(w, 8), "Also used for Pad down; once saved, Bouton 1 acts as Pad down only");
  if (JoystickCount() > 0) GTEST_SKIP() << "a real joystick is attached";
  w->Timer1()->stop();  // the pad is read only by the presses below, each handled before the next
  QLabel* pad = Child<QLabel>(w, "PadName");
  auto* picture = Child<ControllerPicture>(w, "Image1");
  EXPECT_EQ(pad->text().toStdString(), "No gamepad found \u2014 plug one in");  // on Windows from the real joyGetPosEx
  VirtualPad first("Velox Test Pad");
  w->Form2_Timer1_Timer();
  EXPECT_EQ(pad->text().toStdString(), "Gamepad: Velox Test Pad");
  EXPECT_EQ(pad->accessibleName(), pad->text());
  EXPECT_LT(w->Timer1()->interval(), 250) << "a pad is read often, only while there is one";
  EXPECT_EQ(Child<QLabel>(w, "ProfileOffer")->text(), "Profile \"New\" was saved with this pad");

  // Press to choose: the focused list takes the button, the focus moves to the next list in tab order.
  Combo(w, 11)->setFocus();
  first.Press(w, 1u << 11);
  EXPECT_EQ(Text(w, 11) + "/" + Held(w), "Bouton 12/Bouton 12");
  EXPECT_EQ(QApplication::focusWidget(), Combo(w, 12));
  for (std::uint32_t buttons : {1u << 11, 0b11000u, 0b10000u, 1u << 16}) first.Press(w, buttons);
  EXPECT_EQ(QApplication::focusWidget(), Combo(w, 12)) << "held since the last choice, a chord, what is left of it, button 17";
  EXPECT_EQ(Held(w), "") << "button 17 names none";
  Combo(w, 8)->showPopup();  // a mouse user opened the list: the press goes there and closes it
  first.Press(w, 1u << 15);
  EXPECT_EQ(Text(w, 8) + (Combo(w, 8)->view()->isVisible() ? " open" : ""), "Bouton 16");
  EXPECT_EQ(QApplication::focusWidget(), Combo(w, 2)) << "from the last list back to the first";

  // Live mapping, unsaved choices included: the demo gives button 3 to the yellow left button.
  first.Press(w, 0b100 | 1u << 15);
  EXPECT_EQ(picture->Held().to_string(), "00000010001000") << "yellow left and blue button";
  EXPECT_EQ(Held(w), "") << "two buttons together name none";
  EXPECT_EQ(Text(w, 14), "---") << "offered, not loaded";
  Alt(w, Qt::Key_U);
  EXPECT_EQ(Text(w, 14) + Text(w, 1), "Bouton 5---");
  EXPECT_FALSE(Child(w, "UseProfile")->isVisible());

  VirtualPad second("Second Pad");
  w->Form2_Timer1_Timer();
  EXPECT_EQ(pad->text().toStdString(), "Gamepad: Velox Test Pad (2 connected; this one is read)");
  first.Unplug();
  w->Form2_Timer1_Timer();
  EXPECT_TRUE(picture->Held().none() && Held(w).empty()) << "let go with the pad";
  w->Form2_Timer1_Timer();
  EXPECT_EQ(pad->text().toStdString(), "Gamepad: Second Pad");
  second.Unplug();
  w->Form2_Timer1_Timer();
  EXPECT_EQ(pad->text().toStdString(), "No gamepad found \u2014 plug one in");
  EXPECT_EQ(w->Timer1()->interval(), 250);

  // Map by pressing with no pad: the walk waits for one, and keys choose nothing.
  QTest::mouseClick(Child(w, "MapAllButton"), Qt::LeftButton);
  EXPECT_EQ(Description(w, 2), "Press a pad button for Left shoulder (1 of 14) \u2014 Esc stops, Backspace clears, Tab skips");
  Key(w, Qt::Key_Z);
  EXPECT_EQ(Status(w), "Keys cannot be chosen here \u2014 press a pad button for Left shoulder (1 of 14)");
  VirtualPad third("Velox Test Pad");
  ShowActive<Form8Window>();
  third.Press(w, 1u << 4);
  EXPECT_EQ(Walking(w), 2) << "a press made while another window is in front";
  ShowActive<Form2Window>();
  third.Press(w, 1);  // the walk's order and its end are the keyboard dialog's test
  EXPECT_EQ(Text(w, 2) + "/" + std::to_string(Walking(w)), "Bouton 1/11");
  EXPECT_EQ(QApplication::focusWidget(), Combo(w, 11));
}

}  // namespace
}  // namespace velox::ui
