#include "video/principal_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <cstdlib>

#include "shell/install_layout.h"
#include "support/temp_install.h"
#include "ui/messages.h"
#include "video/wrapper_catalogue.h"

namespace velox::ui {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::WriteBytes;

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The demo installation in one folder, the configurator run from another.
class PrincipalWindowTest : public ::testing::Test {
 protected:
  PrincipalWindowTest() : cd_(cwd.path()) {
    testing::CopyDemo(app.path());
    SetAppFolderForTesting(app.path());
    SetMessageSinkForTesting([this](const QString&, const QString& text) { messages << text; });
  }
  ~PrincipalWindowTest() override {
    if (PrincipalWindow* w = PrincipalWindow::Instance().Get()) w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    SetMessageSinkForTesting(nullptr);
  }

  PrincipalWindow* Open() {
    PrincipalWindow* w = PrincipalWindow::Instance().Show();
    // Delivers the activation that the show requested, so that keys reach the window.
    QCoreApplication::processEvents();
    return w;
  }
  template <class T = QWidget>
  static T* Child(QWidget* w, const char* name) {
    T* child = w->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
  }
  static QRadioButton* Option(QWidget* w, int choice) {
    return Child<QRadioButton>(w, ("Option" + std::to_string(choice)).c_str());
  }
  static QString Comment(QWidget* w) { return Child<QLabel>(w, "comment")->text(); }
  static std::vector<int> Checked(QWidget* w) {
    std::vector<int> checked;
    for (int choice = 1; choice <= 14; ++choice) {
      if (Option(w, choice)->isChecked()) checked.push_back(choice);
    }
    return checked;
  }
  std::string Cwd(const char* name) const { return ReadBytes(cwd / name); }
  std::string ChoiceFile() const { return ReadBytes(app / "Data/glide.cfg"); }

  testing::TempFolder app;
  testing::TempFolder cwd;
  QStringList messages;

 private:
  testing::CurrentDirectory cd_;
};

TEST_F(PrincipalWindowTest, ShowsTheFourteenChoicesInTwoColumnsWithTheirSetupButtons) {
  PrincipalWindow* w = Open();
  EXPECT_EQ(w->objectName(), "principal");
  EXPECT_EQ(w->windowTitle(), "Velox Configurator v1.1.1");
  auto* frame = Child<QGroupBox>(w, "Frame1");
  EXPECT_EQ(frame->title(), "Configure Video (Glide Wrapper)");

  const QRadioButton* topLeft = Option(w, 13);
  const QRadioButton* topRight = Option(w, 7);
  EXPECT_GT(topRight->x(), topLeft->x() + topLeft->width());
  for (const WrapperEntry& e : WrapperCatalogue::Entries()) {
    QRadioButton* option = Option(w, e.choice);
    EXPECT_EQ(option->text(), Q(e.caption));
    EXPECT_TRUE(frame->isAncestorOf(option));
    const QRadioButton* top = e.column == WrapperColumn::kLeft ? topLeft : topRight;
    EXPECT_EQ(option->x(), top->x()) << e.caption;
    // Rows are evenly spaced and shared by both columns.
    const int rowHeight = Option(w, 1)->y() - topLeft->y();
    EXPECT_GT(rowHeight, 0);
    EXPECT_EQ(option->y(), topLeft->y() + (e.row - 1) * rowHeight) << e.caption;
    EXPECT_GE(option->width(), option->sizeHint().width()) << "caption clipped: " << e.caption;
  }

  const std::pair<const char*, int> beside[] = {{"config11", 3}, {"config1", 4},    {"config3", 5},
                                                {"config4", 6},  {"config10_1", 7}, {"config10_0", 14},
                                                {"config5", 10}, {"config6", 11}};
  for (const auto& [name, choice] : beside) {
    auto* button = Child<QPushButton>(w, name);
    const QRadioButton* option = Option(w, choice);
    EXPECT_EQ(button->text(), "Config");
    EXPECT_TRUE(frame->isAncestorOf(button));
    EXPECT_GE(button->x(), option->x() + option->sizeHint().width()) << name;
    EXPECT_LT(std::abs(button->geometry().center().y() - option->geometry().center().y()), 3) << name;
  }
  auto* group = w->findChild<QButtonGroup*>("config10");
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->buttons().size(), 2);
  EXPECT_EQ(group->id(Child<QPushButton>(w, "config10_0")), 0);
  EXPECT_EQ(group->id(Child<QPushButton>(w, "config10_1")), 1);

  auto* shape = Child<QWidget>(w, "Shape1");
  auto* label = Child<QLabel>(w, "Label1");
  EXPECT_EQ(label->text(), "Comments :");
  EXPECT_TRUE(shape->isAncestorOf(label));
  EXPECT_TRUE(shape->isAncestorOf(Child<QLabel>(w, "comment")));
  EXPECT_GT(shape->y(), Option(w, 6)->y());

  auto* ok = Child<QPushButton>(w, "Command1");
  auto* cancel = Child<QPushButton>(w, "Command2");
  EXPECT_EQ(ok->text(), "Ok");
  EXPECT_EQ(cancel->text(), "Cancel");
  EXPECT_TRUE(frame->isAncestorOf(ok));
  EXPECT_GT(ok->y(), shape->y() + shape->height() - 1);
  EXPECT_EQ(ok->y(), cancel->y());
  EXPECT_LT(ok->x(), cancel->x());
  EXPECT_LT(cancel->x() + cancel->width(), frame->width() / 2) << "at the bottom left";
  EXPECT_FALSE(Child<QLabel>(w, "comment")->accessibleName().isEmpty());
}

struct LoadCase {
  const char* name;
  const char* file;  // null: no choice file
  std::vector<int> checked;
  int described;  // 0: the comment stays empty
};

class PrincipalLoadTest : public PrincipalWindowTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(PrincipalLoadTest, SelectsTheRecordedChoiceAndShowsItsDescription) {
  if (GetParam().file) {
    WriteBytes(app / "Data/glide.cfg", GetParam().file);
  } else {
    fs::remove(app / "Data/glide.cfg");
  }
  PrincipalWindow* w = Open();
  EXPECT_EQ(Checked(w), GetParam().checked);
  const int d = GetParam().described;
  EXPECT_EQ(Comment(w), d ? Q(WrapperCatalogue::ByChoice(d)->description) : QString());
}

INSTANTIATE_TEST_SUITE_P(Files, PrincipalLoadTest,
                         ::testing::Values(LoadCase{"Default", "13\r\n", {13}, 13},
                                           LoadCase{"Missing", nullptr, {13}, 13},
                                           LoadCase{"SecondLineIgnored", "7\r\n2\r\n", {7}, 7},
                                           LoadCase{"LeadingBlank", " 7\r\n", {}, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrincipalWindowTest, TheDescriptionFollowsTheSelectionAtOnceAndFitsItsFrame) {
  PrincipalWindow* w = Open();
  EXPECT_EQ(Comment(w), Q(WrapperCatalogue::ByChoice(10)->description));
  QTest::mouseClick(Option(w, 9), Qt::LeftButton);
  EXPECT_EQ(Comment(w), Q(WrapperCatalogue::ByChoice(9)->description));
  // The keyboard moves the selection too.
  Option(w, 9)->setFocus();
  QTest::keyClick(Option(w, 9), Qt::Key_Down);
  EXPECT_EQ(Checked(w), std::vector<int>{10});
  EXPECT_EQ(Comment(w), Q(WrapperCatalogue::ByChoice(10)->description));

  auto* comment = Child<QLabel>(w, "comment");
  auto* shape = Child<QWidget>(w, "Shape1");
  for (const WrapperEntry& e : WrapperCatalogue::Entries()) {
    QTest::mouseClick(Option(w, e.choice), Qt::LeftButton);
    EXPECT_TRUE(shape->contentsRect().contains(comment->geometry())) << e.caption;
    EXPECT_LE(comment->heightForWidth(comment->width()), comment->height()) << "clipped: " << e.caption;
  }
}

TEST_F(PrincipalWindowTest, OkInstallsTheSelectedWrapperAndCloses) {
  WriteBytes(cwd / "Config.ini", "c");
  WriteBytes(cwd / "OpenGLide.ini", "o");
  WriteBytes(cwd / "glide2x.dll", "old library");
  PrincipalWindow* w = Open();
  QTest::mouseClick(Option(w, 2), Qt::LeftButton);
  QTest::mouseClick(Child<QPushButton>(w, "Command1"), Qt::LeftButton);
  EXPECT_EQ(PrincipalWindow::Instance().Get(), nullptr);
  EXPECT_TRUE(messages.isEmpty()) << messages.join("\n").toStdString();
  EXPECT_EQ(Cwd("glide2x.dll"), "placeholder wrapper library: Boost Wrapper build 166\r\n");
  EXPECT_EQ(Cwd("Config.ini"), "<missing>");
  EXPECT_EQ(Cwd("OpenGLide.ini"), "<missing>");
  EXPECT_EQ(ChoiceFile(), "2\r\n");
}

TEST_F(PrincipalWindowTest, EnterIsOkAndWithNothingSelectedRecordsAnEmptyLine) {
  WriteBytes(app / "Data/glide.cfg", "07\r\n");
  WriteBytes(cwd / "glide2x.dll", "old library");
  PrincipalWindow* w = Open();
  QTest::keyClick(w, Qt::Key_Return);
  EXPECT_EQ(PrincipalWindow::Instance().Get(), nullptr);
  EXPECT_EQ(Cwd("glide2x.dll"), "<missing>");
  EXPECT_EQ(ChoiceFile(), "\r\n");
  EXPECT_EQ(Checked(Open()), std::vector<int>{13}) << "the next load falls back on the 3DFX mode";
}

TEST_F(PrincipalWindowTest, CancelAndEscapeLeaveEveryFileAsItWas) {
  WriteBytes(cwd / "Config.ini", "c");
  WriteBytes(cwd / "OpenGLide.ini", "o");
  WriteBytes(cwd / "glide2x.dll", "old library");
  for (bool escape : {false, true}) {
    PrincipalWindow* w = Open();
    QTest::mouseClick(Option(w, 3), Qt::LeftButton);
    if (escape) {
      QTest::keyClick(w, Qt::Key_Escape);
    } else {
      QTest::mouseClick(Child<QPushButton>(w, "Command2"), Qt::LeftButton);
    }
    EXPECT_EQ(PrincipalWindow::Instance().Get(), nullptr);
    EXPECT_EQ(Cwd("Config.ini"), "c");
    EXPECT_EQ(Cwd("OpenGLide.ini"), "o");
    EXPECT_EQ(Cwd("glide2x.dll"), "old library");
    EXPECT_EQ(ChoiceFile(), "10\r\n");
  }
  EXPECT_EQ(Checked(Open()), std::vector<int>{10});
}

TEST_F(PrincipalWindowTest, AFailedInstallIsExplainedAndTheDialogStaysOpen) {
  WriteBytes(cwd / "glide2x.dll", "old library");
  fs::remove(app / "Glide Wrapper/MuGlide/glide2x.dll");
  PrincipalWindow* w = Open();
  QTest::mouseClick(Option(w, 9), Qt::LeftButton);
  QTest::mouseClick(Child<QPushButton>(w, "Command1"), Qt::LeftButton);
  EXPECT_EQ(PrincipalWindow::Instance().Get(), w);
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].contains("The library of the wrapper \"MuGlide\" could not be read: no such file."));
  EXPECT_TRUE(messages[0].contains(QString::fromStdString((app / "Glide Wrapper/MuGlide/glide2x.dll").string())));
  EXPECT_TRUE(messages[0].contains("Nothing was changed."));
  EXPECT_EQ(Cwd("glide2x.dll"), "old library");
  EXPECT_EQ(ChoiceFile(), "10\r\n");

  // The choice file cannot be replaced: the library is in, the old record stays, and the user is told.
  testing::MakeReadOnly(app / "Data/glide.cfg");
  QTest::mouseClick(Option(w, 12), Qt::LeftButton);
  QTest::mouseClick(Child<QPushButton>(w, "Command1"), Qt::LeftButton);
  EXPECT_EQ(PrincipalWindow::Instance().Get(), w);
  ASSERT_EQ(messages.size(), 2);
  EXPECT_TRUE(messages[1].contains("The video choice could not be recorded: is read-only."));
  EXPECT_TRUE(messages[1].contains("glide.cfg"));
  EXPECT_EQ(Cwd("glide2x.dll"), "placeholder wrapper library: X-Glide\r\n");
  EXPECT_EQ(ChoiceFile(), "10\r\n");

  // A library in the current folder that cannot be deleted.
  testing::MakeReadOnly(cwd / "glide2x.dll");
  QTest::mouseClick(Option(w, 13), Qt::LeftButton);
  QTest::mouseClick(Child<QPushButton>(w, "Command1"), Qt::LeftButton);
  ASSERT_EQ(messages.size(), 3);
  EXPECT_TRUE(messages[2].contains("The files of the earlier wrapper could not be removed: is read-only."));
  EXPECT_TRUE(messages[2].contains(QString::fromStdString((cwd / "glide2x.dll").string())));
}

TEST_F(PrincipalWindowTest, ConfigButtonsStartTheirSetupProgramsAndChangeNothingElse) {
  for (const char* program :
       {"Glide Wrapper/GL2ide rev A3/Gl2ideConfig.exe", "Glide Wrapper/GL2ideal v1.6/GL2Ideal_Config.exe"}) {
    fs::create_directories((cwd / program).parent_path());
    fs::copy_file(testing::MarkerProgram(), cwd / program);
  }
  PrincipalWindow* w = Open();
  {
    // Beside "GL2IDE rev C", but rev A3's program.
    testing::MarkerPipe marker(cwd / "started-Gl2ideConfig.exe.txt");
    QTest::mouseClick(Child<QPushButton>(w, "config4"), Qt::LeftButton);
    EXPECT_EQ(marker.Read(), "started\n");
  }
  for (const char* member : {"config10_0", "config10_1"}) {
    // Beside "MGlide v1.246H" and "GL2Ideal v1.6" alike.
    fs::remove(cwd / "started-GL2Ideal_Config.exe.txt");
    testing::MarkerPipe marker(cwd / "started-GL2Ideal_Config.exe.txt");
    QTest::mouseClick(Child<QPushButton>(w, member), Qt::LeftButton);
    EXPECT_EQ(marker.Read(), "started\n") << member;
  }
  EXPECT_TRUE(messages.isEmpty()) << messages.join("\n").toStdString();
  EXPECT_EQ(PrincipalWindow::Instance().Get(), w);
  EXPECT_EQ(Checked(w), std::vector<int>{10});
  EXPECT_EQ(ChoiceFile(), "10\r\n");
  EXPECT_EQ(Cwd("glide2x.dll"), "<missing>");

  QTest::mouseClick(Child<QPushButton>(w, "config6"), Qt::LeftButton);
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].contains("The wrapper's setup program could not be started: no such program."));
  EXPECT_TRUE(
      messages[0].contains(QString::fromStdString((cwd / "Glide Wrapper/XGL200 v0.04a/Configurator.exe").string())));
}

TEST_F(PrincipalWindowTest, TabVisitsTheChoicesTheSetupButtonsThenOkAndCancel) {
  PrincipalWindow* w = Open();
  ASSERT_EQ(QApplication::activeWindow(), w);
  Option(w, 10)->setFocus();
  QStringList visited;
  for (int i = 0; i < 11; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    visited << QApplication::focusWidget()->objectName();
  }
  // The choices are one stop (arrows move within them), the setup buttons follow in reading order.
  EXPECT_EQ(visited.join(" ").toStdString(),
            "config11 config1 config3 config4 config10_1 config10_0 config5 config6 Command1 Command2 Option10");
  EXPECT_TRUE(w->findChild<QPushButton*>("Command1")->isDefault());
}

TEST_F(PrincipalWindowTest, Screenshot) {
  PrincipalWindow* w = Open();
  ASSERT_EQ(Checked(w), std::vector<int>{10});
  const QPixmap shot = w->grab();
  EXPECT_FALSE(shot.isNull());
  if (const char* dir = std::getenv("VELOX_SCREENSHOT_DIR")) {
    EXPECT_TRUE(shot.save(QString::fromLocal8Bit(dir) + "/" + w->objectName() + ".png"));
  }
}

}  // namespace
}  // namespace velox::ui
