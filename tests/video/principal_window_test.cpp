#include "video/principal_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QRadioButton>
#include <QTest>
#include <cstdlib>

#include "shell/install_layout.h"
#include "support/temp_install.h"
#include "support/window_test.h"
#include "ui/messages.h"
#include "video/wrapper_catalogue.h"

namespace velox::ui {
namespace {

namespace fs = std::filesystem;

// The demo installation (choice 10) in one folder, the configurator run from another.
class PrincipalWindowTest : public ::testing::Test {
 protected:
  PrincipalWindowTest() : cd_(cwd.path()) {
    testing::CopyDemo(app.path());
    SetAppFolderForTesting(app.path());
    SetMessageSinkForTesting([this](const QString&, const QString& text) { messages << text; });
    testing::WriteBytes(cwd / "glide2x.dll", "old library");
  }
  ~PrincipalWindowTest() override {
    if (PrincipalWindow::Instance().Get()) PrincipalWindow::Instance().Get()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    SetMessageSinkForTesting(nullptr);
  }
  // Processing events delivers the activation, so that keys reach the window.
  PrincipalWindow* Open() { return w = PrincipalWindow::Instance().Show(), QCoreApplication::processEvents(), w; }
  QRadioButton* Option(int choice) { return w->findChild<QRadioButton*>(QString("Option%1").arg(choice)); }
  void Click(const char* name) {
    QAbstractButton* button = w->findChild<QAbstractButton*>(name);
    QTest::mouseClick(button, Qt::LeftButton, {}, testing::ClickPoint(button));
  }
  void Install(const char* option) { Click(option), Click("Command1"); }
  std::string Comment() const { return w->findChild<QLabel*>("comment")->text().toStdString(); }
  std::string ChoiceFile() const { return testing::ReadBytes(app / "Data/glide.cfg"); }
  bool Told(const std::string& text) const { return messages.join("\n").contains(QString::fromStdString(text)); }
  bool ToldFile(const fs::path& file) const { return messages.join("\n").contains(testing::Shown(file)); }

  testing::TempFolder app, cwd;
  testing::CurrentDirectory cd_;
  PrincipalWindow* w = nullptr;
  QStringList messages;
};

TEST_F(PrincipalWindowTest, TheDescriptionFollowsTheSelectionAndOkOrEnterInstallsItAndCloses) {
  EXPECT_EQ(Open()->SelectedChoice(), 10);
  Click("Option13");
  EXPECT_EQ(Comment(), "Run Velox HLE with 3DFX mode (default)");
  QTest::keyClick(Option(13), Qt::Key_Down);
  EXPECT_EQ(Comment(), WrapperCatalogue::ByChoice(1)->description) << "the keyboard moves the selection too";
  Click("Command1");
  EXPECT_EQ(PrincipalWindow::Instance().Get(), nullptr);
  EXPECT_EQ(ChoiceFile(), "1\r\n");
  testing::WriteBytes(app / "Data/glide.cfg", "07\r\n");
  EXPECT_FALSE(Open()->SelectedChoice());
  QTest::keyClick(w, Qt::Key_Return);
  EXPECT_EQ(PrincipalWindow::Instance().Get(), nullptr);
  EXPECT_EQ(ChoiceFile(), "\r\n");
}

TEST_F(PrincipalWindowTest, CancelAndEscapeLeaveEveryFileAsItWas) {
  for (bool escape : {false, true}) {
    Open();
    Click("Option3");
    escape ? QTest::keyClick(w, Qt::Key_Escape) : Click("Command2");
    EXPECT_EQ(PrincipalWindow::Instance().Get(), nullptr);
    EXPECT_EQ(testing::ReadBytes(cwd / "glide2x.dll") + ChoiceFile(), "old library10\r\n");
  }
}

TEST_F(PrincipalWindowTest, AFailedInstallIsExplainedAndTheDialogStaysOpen) {
  fs::remove(app / "Glide Wrapper/MuGlide/glide2x.dll");
  Open();
  Install("Option9");
  EXPECT_TRUE(Told("The library of the wrapper \"MuGlide\" could not be read: no such file."));
  EXPECT_TRUE(ToldFile(app / "Glide Wrapper/MuGlide/glide2x.dll") && Told("Nothing was changed."));
  EXPECT_EQ(testing::ReadBytes(cwd / "glide2x.dll"), "old library");
  testing::MakeReadOnly(app / "Data/glide.cfg");
  Install("Option12");
  EXPECT_TRUE(Told("The video choice could not be recorded: is read-only."));
  EXPECT_EQ(testing::ReadBytes(cwd / "glide2x.dll"), "placeholder wrapper library: X-Glide\r\n");
  testing::MakeReadOnly(cwd / "glide2x.dll");
  Install("Option13");
  EXPECT_TRUE(Told("The files of the earlier wrapper could not be removed: is read-only."));
  EXPECT_EQ(PrincipalWindow::Instance().Get(), w);
  EXPECT_EQ(ChoiceFile(), "10\r\n");
}

TEST_F(PrincipalWindowTest, EachConfigButtonStartsItsProgramAndAMissingOneIsReported) {
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
    testing::MarkerPipe marker(started);
    Click(button);
    ASSERT_TRUE(messages.isEmpty()) << button << ": " << messages.join("\n").toStdString();
    EXPECT_EQ(marker.Read(), "started\n") << button;
  }
  Click("config6");
  EXPECT_TRUE(Told("The wrapper's setup program could not be started: no such program."));
  EXPECT_TRUE(ToldFile(cwd / "Glide Wrapper/XGL200 v0.04a/Configurator.exe"));
  EXPECT_EQ(ChoiceFile(), "10\r\n");
}

TEST_F(PrincipalWindowTest, Screenshot) {
  const QPixmap shot = Open()->grab();
  EXPECT_FALSE(shot.isNull());
  if (const char* dir = std::getenv("VELOX_SCREENSHOT_DIR")) {
    EXPECT_TRUE(shot.save(QString::fromLocal8Bit(dir) + "/" + w->objectName() + ".png"));
  }
}

}  // namespace
}  // namespace velox::ui
