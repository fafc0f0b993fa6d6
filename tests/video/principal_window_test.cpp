#include "video/principal_window.h"

#include <QAccessible>
#include <optional>

#include "support/file_call_spy.h"
#include "support/window_test.h"
#include "video/wrapper_catalogue.h"

namespace velox::ui {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// The demo installation (choice 10) in one folder, the configurator run from another.
class PrincipalWindowTest : public testing::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    testing::CopyDemo(app.path());
    for (const char* f : {"Config.ini", "OpenGLide.ini"}) testing::WriteBytes(cwd / f, f);
    testing::WriteBytes(cwd / "glide2x.dll", "old library");
  }
  // Processing events delivers the activation, so that keys reach the window.
  PrincipalWindow* Open() {
    w = PrincipalWindow::Instance().Show();
    QCoreApplication::processEvents();
    return w;
  }
  QRadioButton* Option(int choice) { return w->findChild<QRadioButton*>(QString("Option%1").arg(choice)); }
  void Click(const char* name) { w->findChild<QAbstractButton*>(name)->click(); }
  std::string Comment() const { return w->findChild<QLabel*>("comment")->text().toStdString(); }
  std::string ChoiceFile() const { return testing::ReadBytes(app / "Data/glide.cfg"); }

  testing::TempFolder cwd;
  testing::CurrentDirectory cd_{cwd.path()};
  PrincipalWindow* w = nullptr;
};

TEST_F(PrincipalWindowTest, EachOptionShowsItsCaptionAndDescriptionAndOkOrEnterInstallsItAndCloses) {
  EXPECT_EQ(Open()->SelectedChoice(), 10);
  // Messages name a wrapper by its catalogue caption: the same the user reads beside its option.
  for (int choice = 1; choice <= 14; ++choice) {
    EXPECT_EQ(Option(choice)->text().remove('&').toStdString(), WrapperCatalogue::ByChoice(choice)->caption) << choice;
  }
  Click("Option13");
  EXPECT_EQ(Comment(), "Run Velox HLE with 3DFX mode (default)");
  Option(13)->setFocus();
  QTest::keyClick(Option(13), Qt::Key_Down);
  EXPECT_EQ(Comment(), WrapperCatalogue::ByChoice(1)->description) << "the keyboard moves the selection too";
  EXPECT_EQ(QAccessible::queryAccessibleInterface(Option(1))->text(QAccessible::Description).toStdString(), Comment())
      << "told by the option too";
  Click("Command1");
  EXPECT_EQ(PrincipalWindow::Instance().Get(), nullptr);
  EXPECT_EQ(ChoiceFile(), "1\r\n");
  testing::WriteBytes(app / "Data/glide.cfg", "07\r\n");
  EXPECT_FALSE(Open()->SelectedChoice());
  QTest::keyClick(w, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(PrincipalWindow::Instance().Get(), nullptr);
  EXPECT_EQ(ChoiceFile(), "\r\n");
}

// Another program keeps glide2x.dll open past every retry, for one case.
std::optional<testing::FileCallSpy> held;
void HoldTheLibrary() {
  held.emplace().before = [](std::string_view, const fs::path& file) { return file == "glide2x.dll" ? EBUSY : 0; };
}

struct FailureCase {
  const char* option;
  std::function<void(const fs::path& app, const fs::path& cwd)> breakIt;
  std::string problem;  // first paragraph, the cause included
  const char* failing;  // the file named, relative to the app ("app:") or current folder
  std::string state;    // last paragraph, exactly
  const char* library;  // glide2x.dll afterwards
};
const std::string earlier = " The choice file still holds the earlier choice.";
const std::string deleted = "Already changed in the current folder: Config.ini was deleted; OpenGLide.ini was deleted";
const std::string xGlide = deleted + "; glide2x.dll now holds the library of \"X-Glide\".";
const FailureCase kFailures[] = {
    {"Option9", [](auto& app, auto&) { fs::remove(app / "Glide Wrapper/MuGlide/glide2x.dll"); },
     "The library of the wrapper \"MuGlide\" could not be read: no such file.", "app:Glide Wrapper/MuGlide/glide2x.dll",
     "Nothing was changed in the current folder." + earlier, "old library"},
    {"Option12", [](auto& app, auto&) { testing::MakeReadOnly(app / "Data/glide.cfg"); },
     "The video choice could not be recorded: is read-only.", "app:Data/glide.cfg", xGlide + earlier,
     "placeholder wrapper library: X-Glide\r\n"},
    {"Option12", [](auto& app, auto&) { fs::remove_all(app / "Data"); }, "The video choice could not be recorded",
     "app:Data/glide.cfg",
     xGlide + " No choice file was written; the dialog will show \"3DFX Mode (default)\" when it opens next.",
     "placeholder wrapper library: X-Glide\r\n"},
    {"Option3", [](auto&, auto& cwd) { testing::MakeReadOnly(cwd / "OpenGLide.ini"); },
     "The wrapper \"Clide v2.4\" could not be installed: is read-only.", "OpenGLide.ini",
     "Already changed in the current folder: Config.ini was deleted. glide2x.dll was left as it was." + earlier,
     "old library"},
    {"Option13", [](auto&, auto& cwd) { testing::MakeReadOnly(cwd / "glide2x.dll"); },
     "The files of the earlier wrapper could not be removed: is read-only.", "glide2x.dll",
     deleted + ". glide2x.dll was left as it was." + earlier, "old library"},
    {"Option13", [](auto&, auto&) { HoldTheLibrary(); },
     "The files of the earlier wrapper could not be removed: is in use, held open by another program; most likely "
     "Velox HLE is running: close Velox HLE, then choose again.",
     "glide2x.dll", deleted + ". glide2x.dll was left as it was." + earlier, "old library"},
};
class PrincipalFailure : public PrincipalWindowTest, public ::testing::WithParamInterface<FailureCase> {};

// Each failure tells what was already changed before it, and the dialog stays open.
TEST_P(PrincipalFailure, AFailedInstallSaysWhatItAlreadyChangedAndTheDialogStaysOpen) {
  const FailureCase& c = GetParam();
  Open();
  c.breakIt(app.path(), cwd.path());
  Click(c.option);
  Click("Command1");
  EXPECT_EQ(PrincipalWindow::Instance().Get(), w);
  ASSERT_EQ(messages.size(), 1);
  const QStringList parts = messages[0].split("\n\n");
  ASSERT_EQ(parts.size(), 3) << messages[0].toStdString();
  EXPECT_TRUE(parts[0].startsWith(QString::fromStdString(c.problem))) << parts[0].toStdString();
  const std::string failing = c.failing;
  EXPECT_EQ(parts[1], "File: " + testing::Shown(failing.starts_with("app:") ? app / failing.substr(4) : cwd / failing));
  EXPECT_EQ(parts[2].toStdString(), c.state);
  EXPECT_EQ(testing::ReadBytes(cwd / "glide2x.dll"), c.library);
  held.reset();
}

INSTANTIATE_TEST_SUITE_P(Steps, PrincipalFailure, ::testing::ValuesIn(kFailures), [](const auto& info) {
  return std::to_string(info.index) + "_" + info.param.option;
});

TEST_F(PrincipalWindowTest, EachConfigButtonStartsItsProgramInTheCurrentDirectoryOrSaysWhichIsMissing) {
  const std::pair<const char*, const char*> buttons[] = {
      {"config4", "Glide Wrapper/GL2ide rev A3/Gl2ideConfig.exe"},
      {"config10_0", "Glide Wrapper/GL2ideal v1.6/GL2Ideal_Config.exe"},
      {"config10_1", "Glide Wrapper/GL2ideal v1.6/GL2Ideal_Config.exe"},
      {"config11", "Glide Wrapper/Clide v2.4/Clide Setup.exe"}};
  Open();
  for (const auto& [button, placed] : buttons) {
    const fs::path program = cwd / placed, started = cwd / ("started-" + program.filename().string() + ".txt");
    fs::create_directories(program.parent_path());
    if (!fs::exists(program)) fs::copy_file(testing::MarkerProgram(), program);
    fs::remove(started);
    Click(button);
    ASSERT_TRUE(messages.isEmpty()) << button << ": " << messages.join("\n").toStdString();
    EXPECT_EQ(testing::ReadMarker(started), "started\n") << button;
  }
  Click("config6");
  const std::string missing = testing::Shown(cwd / "Glide Wrapper/XGL200 v0.04a/Configurator.exe").toStdString();
  EXPECT_THAT(Said(), ::testing::ElementsAre(AllOf(HasSubstr("could not be started: no such program."),
                                                   HasSubstr("File: " + missing))));
  EXPECT_EQ(ChoiceFile(), "10\r\n");
}

}  // namespace
}  // namespace velox::ui
