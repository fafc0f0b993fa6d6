#include "shell/launcher_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <cerrno>
#include <cstdlib>

#include "shell/install_layout.h"
#include "support/file_call_spy.h"
#include "support/temp_install.h"
#include "support/window_test.h"
#include "ui/single_window.h"
#include "ui/velox_dialog.h"
#include "velox_version.h"

namespace velox::ui {
namespace {

namespace fs = std::filesystem;

// A stand-in dialog that counts its loads and holds one editable value.
class StandInDialog : public VeloxDialog {
 public:
  StandInDialog() { (new QVBoxLayout(this))->addWidget(edit); }
  void Load() override { edit->setText(QStringLiteral("loaded %1").arg(++loads)); }
  static inline int loads = 0;
  QLineEdit* edit = new QLineEdit(this);
};

class LauncherTest : public testing::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    fs::create_directories(appFolder);
    SetAppFolderForTesting(appFolder);
  }

  QPushButton* Button(Form3Window& w, const char* name) { return w.findChild<QPushButton*>(name); }
  int Run() {  // clicks "Run Velox HLE"; how often the launcher then asked to quit
    int quits = 0;
    LauncherActions actions;
    actions.quit = [&] { ++quits; };
    Form3Window w(actions);
    QTest::mouseClick(Button(w, "Command3"), Qt::LeftButton);
    return quits;
  }

  // Letters beyond ASCII, as in a user's own folder names.
  const fs::path appFolder = app.path() / u8"Jeux vid\u00e9o" / u8"Jos\u00e9 \u30d3\u30c7\u30aa";
};

TEST_F(LauncherTest, ShowsItsFolderAndOffersNoDialogItCannotOpen) {
  Form3Window w(LauncherActions{});
  EXPECT_EQ(w.findChild<QLineEdit*>("Text1")->text(), testing::Shown(appFolder));
  EXPECT_FALSE(Button(w, "Command2")->isEnabled()) << "a dialog button without its dialog";
}

TEST_F(LauncherTest, ADialogIsShownOnceRaisedWithItsValuesAndReloadedAfterClosing) {
  StandInDialog::loads = 0;
  SingleWindow<StandInDialog> slot;
  LauncherActions actions;
  actions.showSettings = [&] { slot.Show(); };
  Form3Window w(actions);
  w.show();

  QTest::mouseClick(Button(w, "Command4"), Qt::LeftButton);
  StandInDialog* first = slot.Get();
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->isVisible());
  first->edit->setText("typed by the user");

  QTest::mouseClick(Button(w, "Command4"), Qt::LeftButton);
  EXPECT_EQ(slot.Get(), first);
  EXPECT_EQ(StandInDialog::loads, 1);
  EXPECT_EQ(first->edit->text(), "typed by the user");
  EXPECT_TRUE(w.isVisible()) << "the launcher stays usable";

  QPointer<StandInDialog> closed = first;
  first->close();
  EXPECT_EQ(slot.Get(), nullptr);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(closed.isNull()) << "closing drops the window";

  QTest::mouseClick(Button(w, "Command4"), Qt::LeftButton);
  ASSERT_NE(slot.Get(), nullptr);
  EXPECT_EQ(StandInDialog::loads, 2);
  EXPECT_EQ(slot.Get()->edit->text(), "loaded 2");
}

TEST_F(LauncherTest, RunStartsTheEmulatorOfTheCurrentDirectoryAndEndsOrSaysItIsMissing) {
  testing::TempFolder cwd;
  testing::CurrentDirectory cd(cwd.path());
  EXPECT_EQ(Run(), 0) << "stays open";
  ASSERT_EQ(messages.size(), 1);
  EXPECT_EQ(titles[0], "Velox Configurator v" VELOX_VERSION);
  for (const QString& part : {QString("Velox HLE could not be started"), testing::Shown(cwd / "VELOX.exe"),
                              QString("no such program")}) {
    EXPECT_TRUE(messages[0].contains(part)) << part.toStdString();
  }
  messages.clear();
  fs::copy_file(testing::MarkerProgram(), cwd / "VELOX.exe");
  ASSERT_EQ(Run(), 1) << messages.join("\n").toStdString();  // else the marker would never come
  EXPECT_EQ(testing::ReadMarker(cwd / "started-VELOX.exe.txt"), "started\n");
  EXPECT_TRUE(messages.isEmpty());
}

// A real Windows program in place of the emulator, in a folder named with
// letters beyond ASCII: on Linux "Run Velox HLE" starts it through Wine, on
// Windows (and under Wine) through CreateProcessW. It is started with no
// arguments, in the current directory.
TEST_F(LauncherTest, RunStartsAWindowsEmulatorInTheCurrentDirectory) {
  fs::path program;
#if defined(_WIN32)
  program = testing::MarkerProgram();
#elif defined(VELOX_WINDOWS_MARKER_PROGRAM)
  if (std::system("command -v wine >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "wine is not installed, so a Windows emulator cannot be started here";
  }
  program = VELOX_WINDOWS_MARKER_PROGRAM;
#else
  GTEST_SKIP() << "no MinGW-w64 compiler was found to build a Windows program to stand in for the emulator";
#endif
  testing::TempFolder cwd;
  const fs::path folder = cwd.path() / u8"Jeux vid\u00e9o" / u8"\u30d3\u30c7\u30aa";
  fs::create_directories(folder);
  fs::copy_file(program, folder / "VELOX.exe");
  testing::CurrentDirectory cd(folder);
  const fs::path launch = folder / "launch-VELOX.exe.txt";
  for (const char* locale : {"C.UTF-8", ""}) {  // "": none at all, where names are ASCII to the C library
    testing::ScopedEnvironment all("LC_ALL", locale), type("LC_CTYPE", ""), lang("LANG", "");
    fs::remove(launch);
    EXPECT_EQ(Run(), 1);
    EXPECT_TRUE(messages.isEmpty()) << messages.join("\n").toStdString();
    const std::string said = testing::ReadMarker(launch);
    ASSERT_NE(said, "<no marker>") << "the emulator never wrote " << launch << " in locale \"" << locale << "\"";
    EXPECT_THAT(said, ::testing::StartsWith("folder=" + testing::WindowsName(folder) + "\ncommand line="));
    // The program's own name closes the command line: no arguments follow it.
    const std::string line = said.substr(said.find("command line=") + 13);
    EXPECT_TRUE(line.ends_with("VELOX.exe\n") || line.ends_with("VELOX.exe\"\n")) << line;
  }
}

TEST_F(LauncherTest, GuideOpensTheHelpFileOfTheCurrentDirectory) {
  testing::TempFolder cwd;
  testing::CurrentDirectory cd(cwd.path());
  testing::FileCallSpy os;  // the desktop's program is never started
  Form3Window w(LauncherActions{});
  QTest::mouseClick(Button(w, "Command6"), Qt::LeftButton);
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].contains("Veloxhlp.hlp"));

  testing::WriteBytes(cwd / "Veloxhlp.hlp", "");
  QTest::mouseClick(Button(w, "Command6"), Qt::LeftButton);
  EXPECT_EQ(messages.size(), 1);
  os.Fail("open-document", EACCES);
  QTest::mouseClick(Button(w, "Command6"), Qt::LeftButton);
  ASSERT_EQ(messages.size(), 2);
  EXPECT_TRUE(messages[1].contains("guide could not be opened")) << messages[1].toStdString();
  EXPECT_EQ(os.Only("open-document"), std::vector<std::string>(2, "open-document Veloxhlp.hlp"));
}

}  // namespace
}  // namespace velox::ui
