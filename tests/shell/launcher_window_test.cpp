#include "shell/launcher_window.h"

#include <cerrno>
#include <cstdlib>

#include "app/default_actions.h"
#include "settings/form5_window.h"
#include "support/file_call_spy.h"
#include "support/window_test.h"
#include "velox_version.h"

namespace velox::ui {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// An installation in a folder named with letters beyond ASCII, as a user's own folders are; run from another.
class LauncherTest : public testing::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    fs::create_directories(appFolder);
    SetAppFolderForTesting(appFolder);
  }
  static void Click(Form3Window& w, const char* name) {
    QTest::mouseClick(w.findChild<QPushButton*>(name), Qt::LeftButton);
  }
  int Run() {  // clicks "Run Velox HLE"; how often the launcher then asked to quit
    int quits = 0;
    LauncherActions actions;
    actions.quit = [&] { ++quits; };
    Form3Window w(actions);
    Click(w, "Command3");
    return quits;
  }

  const fs::path appFolder = app.path() / u8"Jeux vid\u00e9o" / u8"Jos\u00e9 \u30d3\u30c7\u30aa";
  testing::TempFolder cwd;
  testing::CurrentDirectory here{cwd.path()};
};

TEST_F(LauncherTest, EachButtonShowsItsOwnDialogOnceAndReloadsItAfterClosing) {
  Form3Window bare(LauncherActions{});
  EXPECT_EQ(bare.findChild<QLineEdit*>("Text1")->text(), testing::Shown(appFolder));
  EXPECT_FALSE(bare.findChild<QPushButton*>("Command2")->isEnabled()) << "a dialog button without its dialog";

  Form3Window w(DefaultLauncherActions());
  w.show();
  for (const auto& [button, shown] : {std::pair{"Command2", "Form3 principal"}, {"Command5", "Form3 Form8"},
                                      {"Command4", "Form3 Form5"}, {"Command1", "Form1 Form3"}}) {
    Click(w, button);
    EXPECT_EQ(ShownWindows(), shown) << "the launcher stays usable";
    CloseAll();
    w.show();
  }
  testing::WriteBytes(appFolder / "velox.ini", "[default]\r\nrompath=a\r\n");
  Click(w, "Command4");
  const QPointer<Form5Window> first = Form5Window::Instance().Get();
  ASSERT_NE(first, nullptr) << "Configure Velox HLE shows the settings dialog";
  first->Text1()->setText("typed by the user");
  Click(w, "Command4");
  EXPECT_EQ(Form5Window::Instance().Get(), first);
  EXPECT_EQ(first->Text1()->text(), "typed by the user") << "raised with its values";
  first->close();
  EXPECT_EQ(Form5Window::Instance().Get(), nullptr);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(first.isNull()) << "closing drops the window";
  Click(w, "Command4");
  EXPECT_EQ(Form5Window::Instance().Get()->Text1()->text(), "a") << "loaded afresh";
}

TEST_F(LauncherTest, RunAndGuideUseTheCurrentDirectoryAndSayWhatIsMissing) {
  EXPECT_EQ(Run(), 0) << "stays open";
  EXPECT_EQ(titles, QStringList{"Velox Configurator v" VELOX_VERSION});
  EXPECT_THAT(Said(), ::testing::ElementsAre(AllOf(HasSubstr("Velox HLE could not be started"),
                                                   HasSubstr(testing::Shown(cwd / "VELOX.exe").toStdString()),
                                                   HasSubstr("no such program"))));
  messages.clear();
  fs::copy_file(testing::MarkerProgram(), cwd / "VELOX.exe");
  ASSERT_EQ(Run(), 1) << messages.join("\n").toStdString();  // else the marker would never come
  EXPECT_EQ(testing::ReadMarker(cwd / "started-VELOX.exe.txt"), "started\n");
  EXPECT_TRUE(messages.isEmpty());

  // "Guide" opens the help file of the current directory too.
  testing::FileCallSpy os;  // the desktop's program is never started
  Form3Window w(LauncherActions{});
  Click(w, "Command6");
  testing::WriteBytes(cwd / "Veloxhlp.hlp", "");
  Click(w, "Command6");
  os.Fail("open-document", EACCES);
  Click(w, "Command6");
  EXPECT_THAT(Said(), ::testing::ElementsAre(HasSubstr("Veloxhlp.hlp"), HasSubstr("guide could not be opened")));
  EXPECT_EQ(os.Only("open-document"), std::vector<std::string>(2, "open-document Veloxhlp.hlp"));
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

}  // namespace
}  // namespace velox::ui
