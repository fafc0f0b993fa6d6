#include "controllers/form8_window.h"

#include <QApplication>
#include <QRadioButton>

#include "controller_window_fixture.h"
#include "controllers/form4_window.h"

namespace velox::ui {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::WriteBytes;

class Form8Test : public ControllerWindowTest {
 protected:
  Form8Window* Open() { return Form8Window::Instance().Show(); }
  static QRadioButton* Option(Form8Window* w, int n) {
    return w->findChild<QRadioButton*>(QStringLiteral("Option%1").arg(n));
  }
  static QString Selected(Form8Window* w) {
    QString name;
    for (int n = 1; n <= 6; ++n)
      if (Option(w, n)->isChecked()) name += Option(w, n)->objectName();
    return name;
  }
};

TEST_F(Form8Test, OptionsInTheirColumnWithCaptions) {
  Form8Window* w = Open();
  EXPECT_EQ(w->objectName(), "Form8");
  EXPECT_EQ(w->windowTitle(), "Velox Configurator v1.1.1");
  const std::vector<std::pair<int, QString>> column = {{5, "Default Mode (Keyboard)"},
                                                       {1, "1 Player - Keyboard"},
                                                       {2, "1 Player - Gamepad"},
                                                       {6, "1 Player - Adaptoid (Rumble Pack)"},
                                                       {3, "2 Players - Gamepad / Keyboard"},
                                                       {4, "2 Players - Gamepad / Gamepad"}};
  int lastY = -1;
  for (const auto& [n, caption] : column) {
    QRadioButton* o = Option(w, n);
    EXPECT_EQ(o->text(), caption);
    EXPECT_GT(o->y(), lastY) << "Option" << n;
    EXPECT_EQ(o->x(), Option(w, 5)->x());
    lastY = o->y();
  }
  EXPECT_EQ(Button(w, "Command1")->text(), "Configure Keyboard");
  EXPECT_EQ(Button(w, "Command2")->text(), "Configure GamePad");
  EXPECT_GT(Button(w, "Command1")->mapTo(w, QPoint()).x(), Option(w, 6)->mapTo(w, QPoint()).x());
  EXPECT_GT(Button(w, "Command2")->y(), Button(w, "Command1")->y());
  EXPECT_EQ(Button(w, "Command3")->text(), "Ok");
  EXPECT_EQ(Button(w, "Command4")->text(), "Cancel");
  EXPECT_GT(Button(w, "Command4")->x(), Button(w, "Command3")->x());
  EXPECT_GT(Button(w, "Command3")->y(), Option(w, 4)->y());
}

TEST_F(Form8Test, TabOrderStartsAtCancel) {
  Form8Window* w = Open();
  const QStringList order = {"Command4", "Command1", "Command2", "Command3", "Option1",
                             "Option2",  "Option3",  "Option5",  "Option4",  "Option6"};
  EXPECT_EQ(w->focusWidget(), Button(w, "Command4")) << "Cancel has the focus at first";
  QWidget* current = w->findChild<QWidget*>(order[0]);
  for (int i = 1; i < order.size(); ++i) {
    current = current->nextInFocusChain();
    while (current->focusPolicy() == Qt::NoFocus) current = current->nextInFocusChain();
    EXPECT_EQ(current->objectName(), order[i]);
  }
}

struct LoadCase {
  const char* file;  // nullptr: no mode file
  const char* selected;
  bool keyboard;
  bool gamepad;
};

class Form8LoadTest : public Form8Test, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(Form8LoadTest, SelectsTheStoredModeAndSetsTheButtons) {
  if (GetParam().file) WriteBytes(app / "Data/controller.cfg", GetParam().file);
  Form8Window* w = Open();
  EXPECT_EQ(Selected(w), GetParam().selected);
  EXPECT_EQ(Button(w, "Command1")->isEnabled(), GetParam().keyboard);
  EXPECT_EQ(Button(w, "Command2")->isEnabled(), GetParam().gamepad);
}

INSTANTIATE_TEST_SUITE_P(Files, Form8LoadTest,
                         ::testing::Values(LoadCase{nullptr, "Option5", false, false},
                                           LoadCase{"", "Option5", false, false},
                                           LoadCase{"1\r\n", "Option1", true, false},
                                           LoadCase{"2\r\n", "Option2", false, true},
                                           LoadCase{"3\r\n1\r\n", "Option3", true, true},
                                           LoadCase{"4\r\n", "Option4", false, true},
                                           LoadCase{"6\r\n", "Option6", false, false},
                                           LoadCase{" 3\r\n", "", false, false},
                                           LoadCase{"03\r\n", "", false, false}),
                         [](const ::testing::TestParamInfo<LoadCase>& info) {
                           return "Case" + std::to_string(info.index) + "_" +
                                  (*info.param.selected ? std::string(info.param.selected) : std::string("None"));
                         });

TEST_F(Form8Test, ButtonsFollowTheSelectionAtOnce) {
  WriteBytes(app / "Data/controller.cfg", "3\r\n");
  Form8Window* w = Open();
  const std::vector<std::tuple<int, bool, bool>> clicks = {{6, false, false}, {4, false, true}, {1, true, false},
                                                           {5, false, false}, {3, true, true},  {2, false, true}};
  for (const auto& [n, keyboard, gamepad] : clicks) {
    QTest::mouseClick(Option(w, n), Qt::LeftButton, {}, QPoint(6, Option(w, n)->height() / 2));
    ASSERT_TRUE(Option(w, n)->isChecked()) << "Option" << n;
    EXPECT_EQ(Button(w, "Command1")->isEnabled(), keyboard) << "Option" << n;
    EXPECT_EQ(Button(w, "Command2")->isEnabled(), gamepad) << "Option" << n;
  }
}

TEST_F(Form8Test, CancelKeepsTheStoredMode) {
  WriteBytes(app / "Data/controller.cfg", "2\r\n");
  Form8Window* w = Open();
  Option(w, 6)->click();
  QTest::mouseClick(Button(w, "Command4"), Qt::LeftButton);
  EXPECT_EQ(Form8Window::Instance().Get(), nullptr);
  EXPECT_EQ(ReadBytes(app / "Data/controller.cfg"), "2\r\n");
  EXPECT_EQ(Selected(Open()), "Option2");
}

TEST_F(Form8Test, EscapeClosesWithoutWriting) {
  WriteBytes(app / "Data/controller.cfg", "2\r\n");
  Form8Window* w = Open();
  Option(w, 1)->click();
  QTest::keyClick(w, Qt::Key_Escape);
  EXPECT_EQ(Form8Window::Instance().Get(), nullptr);
  EXPECT_EQ(ReadBytes(app / "Data/controller.cfg"), "2\r\n");
}

struct OkCase {
  int option;
  const char* modeFile;
  size_t padSize;  // 0: no velox.pad afterwards
};

class Form8OkTest : public Form8Test, public ::testing::WithParamInterface<OkCase> {};

TEST_P(Form8OkTest, OkOnTheDemoWritesTheModeAndProfileAndCloses) {
  testing::CopyDemo(app.path());
  WriteBytes(app / "velox.pad", "earlier");
  testing::CurrentDirectory here(app.path());
  Form8Window* w = Open();
  Option(w, GetParam().option)->click();
  QTest::keyClick(w, Qt::Key_Return);  // "Ok" is the default button
  EXPECT_TRUE(messages.isEmpty()) << messages.join("\n").toStdString();
  EXPECT_EQ(Form8Window::Instance().Get(), nullptr);
  EXPECT_EQ(ReadBytes(app / "Data/controller.cfg"), GetParam().modeFile);
  if (GetParam().padSize) {
    EXPECT_EQ(ReadBytes(app / "velox.pad").size(), GetParam().padSize);
  } else {
    EXPECT_FALSE(fs::exists(app / "velox.pad"));
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, Form8OkTest,
                         ::testing::Values(OkCase{1, "1\r\n", 837}, OkCase{2, "2\r\n", 1067}, OkCase{3, "3\r\n", 1030},
                                           OkCase{4, "4\r\n", 1067}, OkCase{5, "5\r\n", 0},
                                           OkCase{6, "6\r\n", 13}),
                         [](const ::testing::TestParamInfo<OkCase>& info) {
                           return "Option" + std::to_string(info.param.option);
                         });

TEST_F(Form8Test, OkWithoutAGamepadMappingSaysSoAndStaysOpen) {
  fs::create_directories(app / "Data");
  WriteBytes(app / "velox.pad", "earlier");
  Form8Window* w = Open();
  Option(w, 2)->click();
  QTest::mouseClick(Button(w, "Command3"), Qt::LeftButton);
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].contains("manette.cfg"));
  EXPECT_TRUE(messages[0].contains("the gamepad has not been configured yet"));
  EXPECT_TRUE(messages[0].contains("velox.pad was left unchanged"));
  EXPECT_EQ(Form8Window::Instance().Get(), w);
  EXPECT_EQ(ReadBytes(app / "Data/controller.cfg"), "2\r\n");
  EXPECT_EQ(ReadBytes(app / "velox.pad"), "earlier");

  // Fixed, a second "Ok" goes through.
  testing::CopyDemo(app.path());
  QTest::mouseClick(Button(w, "Command3"), Qt::LeftButton);
  EXPECT_EQ(messages.size(), 1);
  EXPECT_EQ(ReadBytes(app / "velox.pad").size(), 1067u);
}

TEST_F(Form8Test, OkWithoutTheDataFolderLeavesEverything) {
  WriteBytes(app / "velox.pad", "earlier");
  Form8Window* w = Open();
  Option(w, 1)->click();
  QTest::mouseClick(Button(w, "Command3"), Qt::LeftButton);
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].contains("controller.cfg"));
  EXPECT_TRUE(messages[0].contains("The stored controller mode and velox.pad were left unchanged"));
  EXPECT_NE(Form8Window::Instance().Get(), nullptr);
}

TEST_F(Form8Test, ConfigureKeyboardOpensForm4BesideIt) {
  testing::CopyDemo(app.path());
  WriteBytes(app / "Data/controller.cfg", "1\r\n");
  Form8Window* w = Open();
  QTest::mouseClick(Button(w, "Command1"), Qt::LeftButton);
  ASSERT_NE(Form4Window::Instance().Get(), nullptr);
  EXPECT_TRUE(w->isVisible());
  EXPECT_FALSE(w->isModal());
  EXPECT_FALSE(Form4Window::Instance().Get()->isModal());
  // Closing the mode dialog leaves the mapping dialog open.
  QTest::mouseClick(Button(w, "Command4"), Qt::LeftButton);
  EXPECT_NE(Form4Window::Instance().Get(), nullptr);
}

TEST_F(Form8Test, Screenshot) {
  testing::CopyDemo(app.path());
  Screenshot(Open());
}

}  // namespace
}  // namespace velox::ui
