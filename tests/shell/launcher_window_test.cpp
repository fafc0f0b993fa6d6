#include "shell/launcher_window.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include "shell/install_layout.h"
#include "support/temp_install.h"
#include "ui/messages.h"
#include "ui/single_window.h"
#include "ui/velox_dialog.h"

namespace velox::ui {
namespace {

namespace fs = std::filesystem;

// A stand-in dialog that counts its loads and holds one editable value.
class StandInDialog : public VeloxDialog {
 public:
  StandInDialog() {
    setObjectName("StandIn");
    edit = new QLineEdit(this);
    new QVBoxLayout(this);
    layout()->addWidget(edit);
  }
  void Load() override {
    ++loads;
    edit->setText(QStringLiteral("loaded %1").arg(loads));
  }
  static inline int loads = 0;
  QLineEdit* edit;
};

class LauncherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetAppFolderForTesting(app.path());
    SetMessageSinkForTesting([this](const QString& title, const QString& text) {
      titles << title;
      messages << text;
    });
  }
  void TearDown() override { SetMessageSinkForTesting(nullptr); }

  QPushButton* Button(Form3Window& w, const char* name) { return w.findChild<QPushButton*>(name); }

  testing::TempFolder app;
  QStringList titles;
  QStringList messages;
};

TEST_F(LauncherTest, ShowsTheSixButtonsInOrderWithTheirCaptions) {
  Form3Window w(LauncherActions{});
  EXPECT_EQ(w.windowTitle(), "Velox Configurator v1.1.1");
  EXPECT_EQ(w.objectName(), "Form3");
  w.show();
  const char* names[] = {"Command2", "Command5", "Command4", "Command1", "Command6", "Command3"};
  const char* captions[] = {"Configure Video",          "Configure Controllers", "Configure Velox HLE",
                            "Configure Patches/Cheats", "VeloxHLE Guide",        "Run Velox HLE"};
  int lastY = -1;
  for (int i = 0; i < 6; ++i) {
    QPushButton* b = Button(w, names[i]);
    ASSERT_NE(b, nullptr) << names[i];
    EXPECT_EQ(b->text().remove(QLatin1Char('&')), captions[i]);  // "&" only underlines the Alt key
    EXPECT_EQ(b->parentWidget()->objectName(), "Frame1");
    EXPECT_GT(b->y(), lastY) << names[i] << " is out of order";
    lastY = b->y();
  }
  EXPECT_GT(Button(w, "Command3")->height(), Button(w, "Command6")->height());
  EXPECT_EQ(w.findChild<QLineEdit*>("Text1")->text(), QString::fromStdString(app.path().string()));
  // A dialog button without its dialog is there but cannot be pressed.
  EXPECT_FALSE(Button(w, "Command2")->isEnabled());
  for (const char* name : {"Text1", "Image1", "Image2"}) {
    EXPECT_FALSE(w.findChild<QWidget*>(name)->accessibleName().isEmpty()) << name;
  }
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
  EXPECT_EQ(first->windowTitle(), "Velox Configurator v1.1.1");
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

TEST_F(LauncherTest, RunStartsTheEmulatorFromTheCurrentDirectoryAndEnds) {
  testing::TempFolder cwd;
  fs::copy_file(testing::MarkerProgram(), cwd / "VELOX.exe");
  testing::CurrentDirectory cd(cwd.path());
  testing::MarkerPipe marker(cwd / "started-VELOX.exe.txt");
  int quits = 0;
  LauncherActions actions;
  actions.quit = [&] { ++quits; };
  Form3Window w(actions);
  QTest::mouseClick(Button(w, "Command3"), Qt::LeftButton);
  EXPECT_EQ(marker.Read(), "started\n");
  EXPECT_EQ(quits, 1);
  EXPECT_TRUE(messages.isEmpty());
  // Text1 still shows AppFolder, not the current directory.
  EXPECT_EQ(w.findChild<QLineEdit*>("Text1")->text(), QString::fromStdString(app.path().string()));
}

TEST_F(LauncherTest, RunWithoutTheEmulatorSaysSoAndStaysOpen) {
  testing::TempFolder cwd;
  testing::CurrentDirectory cd(cwd.path());
  int quits = 0;
  LauncherActions actions;
  actions.quit = [&] { ++quits; };
  Form3Window w(actions);
  QTest::mouseClick(Button(w, "Command3"), Qt::LeftButton);
  EXPECT_EQ(quits, 0);
  ASSERT_EQ(messages.size(), 1);
  EXPECT_EQ(titles[0], "Velox Configurator v1.1.1");
  EXPECT_TRUE(messages[0].contains("Velox HLE could not be started"));
  EXPECT_TRUE(messages[0].contains(QString::fromStdString((cwd / "VELOX.exe").string())));
  EXPECT_TRUE(messages[0].contains("no such program"));
}

TEST_F(LauncherTest, GuideOpensTheHelpFileOfTheCurrentDirectory) {
  testing::TempFolder cwd;
  testing::CurrentDirectory cd(cwd.path());
  QStringList opened;
  LauncherActions actions;
  actions.openDocument = [&](const QString& file) {
    opened << file;
    return true;
  };
  Form3Window w(actions);
  QTest::mouseClick(Button(w, "Command6"), Qt::LeftButton);
  EXPECT_TRUE(opened.isEmpty());
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].contains("Veloxhlp.hlp"));

  testing::WriteBytes(cwd / "Veloxhlp.hlp", "");
  QTest::mouseClick(Button(w, "Command6"), Qt::LeftButton);
  ASSERT_EQ(opened.size(), 1);
  EXPECT_EQ(opened[0], QString::fromStdString((cwd / "Veloxhlp.hlp").string()));
  EXPECT_EQ(messages.size(), 1);
}

TEST(LauncherScreenshot, RendersTheLauncher) {
  testing::TempFolder app;
  testing::CopyDemo(app.path());
  SetAppFolderForTesting(app.path());
  LauncherActions actions;
  actions.showVideo = actions.showControllers = actions.showSettings = actions.showPatches = [] {};
  Form3Window w(actions);
  w.show();
  const QPixmap shot = w.grab();
  ASSERT_FALSE(shot.isNull());
  EXPECT_GT(shot.width(), 200);
  if (qEnvironmentVariableIsSet("VELOX_SCREENSHOT_DIR")) {
    EXPECT_TRUE(shot.save(qEnvironmentVariable("VELOX_SCREENSHOT_DIR") + "/Form3.png"));
  }
}

}  // namespace
}  // namespace velox::ui
