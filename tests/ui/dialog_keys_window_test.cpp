// Enter acts on the button that has the focus, in every dialog: a user who tabs
// to "Cancel" and presses Enter must never get "Ok" instead.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <functional>
#include <map>

#include "app/default_actions.h"
#include "controllers/form2_window.h"
#include "controllers/form4_window.h"
#include "controllers/form8_window.h"
#include "settings/folder_picker_window.h"
#include "settings/form1_window.h"
#include "settings/form5_window.h"
#include "shell/install_layout.h"
#include "support/temp_install.h"
#include "support/window_test.h"
#include "ui/messages.h"
#include "video/principal_window.h"

namespace velox::ui {
namespace {

namespace fs = std::filesystem;

std::map<std::string, std::string> Snapshot(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) files[entry.path().lexically_relative(folder).string()] = testing::ReadBytes(entry.path());
  }
  return files;
}

QWidget* Shown(const char* name) {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == name && w->isVisible()) return w;
  }
  return nullptr;
}

void CloseAll() {
  for (QWidget* top : QApplication::topLevelWidgets()) top->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

template <class W>
QWidget* Open(const char* option = nullptr) {
  QWidget* w = W::Instance().Show();
  if (option) w->findChild<QRadioButton*>(option)->click();
  return w;
}

// The demo installation, and a current directory of its own that must stay empty.
class DialogKeysTest : public testing::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    testing::CopyDemo(app.path());
  }
  testing::TempFolder cwd;
  testing::CurrentDirectory here{cwd.path()};
};

struct EnterCase {
  std::function<QWidget*()> open;
  const char* button;
  std::vector<const char*> openAfter;  // windows shown after Enter; the dialog is gone unless listed
  const char* told = nullptr;          // part of the one message expected, if any
  bool plain = false;                  // the button leaves Enter to the dialog (autoDefault off)
};
const EnterCase kEnterCases[] = {
    {[] { return Open<Form8Window>(); }, "Command4", {}},
    {[] { return Open<Form8Window>(); }, "Command4", {}, nullptr, true},
    {[] { return Open<Form5Window>(); }, "Command1", {"Form5", "Form6"}, nullptr, true},
    {[] { return Open<Form8Window>("Option1"); }, "Command1", {"Form8", "Form4"}},
    {[] { return Open<Form8Window>("Option3"); }, "Command2", {"Form8", "Form2"}},
    {[] { return Open<Form5Window>(); }, "Command1", {"Form5", "Form6"}},
    {[] { return Open<Form5Window>(); }, "Command2", {"Form5", "Form7"}},
    {[] { return Open<Form5Window>(); }, "Command4", {}},
    {[] { return Open<PrincipalWindow>("Option3"); }, "Command2", {}},
    {[] { return Open<PrincipalWindow>("Option3"); }, "config1", {"principal"}, "could not be started"},
    {[] { return Open<Form4Window>(); }, "Command2", {}},
    {[] { return Open<Form2Window>(); }, "Command2", {}},
    {[] {
       Open<Form5Window>();
       return Form6Window::Instance().Show();
     },
     "Command2", {"Form5"}},
};

// Return, and Enter of the number pad.
class EnterKeyTest : public DialogKeysTest, public ::testing::WithParamInterface<std::tuple<EnterCase, Qt::Key>> {};

TEST_P(EnterKeyTest, PressesTheFocusedButtonAndNeverOk) {
  const auto& [c, key] = GetParam();
  const auto before = Snapshot(app.path());
  QWidget* w = c.open();
  ASSERT_TRUE(QTest::qWaitForWindowActive(w));
  auto* button = w->findChild<QPushButton*>(c.button);
  ASSERT_TRUE(button && button->isEnabled());
  if (c.plain) button->setAutoDefault(false);
  button->setFocus();
  QTest::keyClick(QApplication::focusWidget(), key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);

  std::vector<std::string> shown;
  for (const char* name : {"Form8", "Form4", "Form2", "Form5", "Form6", "Form7", "principal"}) {
    if (Shown(name)) shown.emplace_back(name);
  }
  EXPECT_EQ(shown, std::vector<std::string>(c.openAfter.begin(), c.openAfter.end()));
  EXPECT_EQ(Snapshot(app.path()), before) << "nothing is written";
  EXPECT_TRUE(fs::is_empty(cwd.path()));
  ASSERT_EQ(messages.size(), c.told ? 1 : 0) << messages.join("\n").toStdString();
  if (c.told) {
    EXPECT_TRUE(messages[0].contains(c.told)) << messages[0].toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(Dialogs, EnterKeyTest,
                         ::testing::Combine(::testing::ValuesIn(kEnterCases),
                                            ::testing::Values(Qt::Key_Return, Qt::Key_Enter)),
                         [](const auto& info) {
                           const bool keypad = std::get<1>(info.param) == Qt::Key_Enter;
                           return std::to_string(info.index) + "_" + std::get<0>(info.param).button +
                                  (keypad ? "_KeypadEnter" : "_Return");
                         });

// The editor has no "Ok": Enter presses "Enable" or "Disable" only when that button has the focus.
TEST_F(DialogKeysTest, TheEditorSwitchesOnlyByItsFocusedButton) {
  const std::string file = "[g]\r\npatch=1\r\n//patch=2\r\n";
  testing::WriteBytes(cwd / "velox.ini", file);
  QWidget* w = Form1Window::Instance().Show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(w));
  auto* combo = w->findChild<QComboBox*>("Combo1");
  combo->setFocus();
  QTest::keyClick(combo, Qt::Key_Down);
  auto* list = w->findChild<QListWidget*>("List1");
  list->setFocus();
  list->setCurrentRow(1, QItemSelectionModel::ClearAndSelect);
  QTest::keyClick(list, Qt::Key_Return);
  EXPECT_EQ(testing::ReadBytes(cwd / "velox.ini"), file) << "Enter in the list switches nothing";
  list->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
  auto* disable = w->findChild<QPushButton*>("Command2");
  disable->setFocus();
  QTest::keyClick(disable, Qt::Key_Return);
  EXPECT_EQ(testing::ReadBytes(cwd / "velox.ini"), "[g]\r\n//patch=1\r\n//patch=2\r\n");
}

TEST_F(DialogKeysTest, EachLauncherActionOpensItsOwnDialog) {
  const LauncherActions actions = DefaultLauncherActions();
  for (const auto& [action, name] : {std::pair{actions.showVideo, "principal"}, {actions.showControllers, "Form8"},
                                     {actions.showSettings, "Form5"}, {actions.showPatches, "Form1"}}) {
    action();
    const auto tops = QApplication::topLevelWidgets();
    EXPECT_TRUE(Shown(name) && std::ranges::count_if(tops, &QWidget::isVisible) == 1) << name;
    CloseAll();
  }
}

}  // namespace
}  // namespace velox::ui
