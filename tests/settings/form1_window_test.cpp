#include "settings/form1_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "shell/install_layout.h"
#include "shell/safe_file.h"
#include "support/temp_install.h"
#include "ui/messages.h"

namespace velox::ui {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

const std::string kFile =
    "[default]\r\n"
    "rompath=C:\\roms\r\n"
    "[Star Courier]\r\n"
    "alttitle=Star Courier Deluxe\r\n"
    "comment=Needs the loader\r\n"
    "bootloader=2\r\n"
    "//bootloader =1\r\n"
    "// patch=0x8000,1\r\n"
    "//just a note\r\n"
    "\r\n"
    "[Pixel Barn]\r\n"
    "patch=0x10,1\r\n"
    "[Star Courier]\r\n"
    "alttitle=Second\r\n"
    "bootloader=2\r\n";

class Form1Test : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessageSinkForTesting([this](const QString&, const QString& text) { messages << text; });
  }
  void TearDown() override {
    if (Form1Window* w = Form1Window::Instance().Get()) w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    SetMessageSinkForTesting(nullptr);
    SetReplaceFaultForTesting(nullptr);
  }

  Form1Window* Open(const std::string& file) {
    testing::WriteBytes(ini, file);
    return Form1Window::Instance().Show();
  }
  template <class T>
  T* Find(const char* name) {
    T* child = Form1Window::Instance().Get()->findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
  }
  void ChooseGame(int index) {
    QComboBox* combo = Find<QComboBox>("Combo1");
    combo->setCurrentIndex(index);
    emit combo->activated(index);
  }
  void SelectEntry(int row) {
    QListWidget* list = Find<QListWidget>("List1");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
  }
  QStringList Entries() {
    QStringList rows;
    QListWidget* list = Find<QListWidget>("List1");
    for (int i = 0; i < list->count(); ++i) rows << list->item(i)->text();
    return rows;
  }
  bool EnableOn() { return Find<QPushButton>("Command1")->isEnabled(); }
  bool DisableOn() { return Find<QPushButton>("Command2")->isEnabled(); }

  testing::TempFolder dir;
  testing::CurrentDirectory here{dir.path()};
  fs::path ini = dir / "velox.ini";
  QStringList messages;
};

TEST_F(Form1Test, ListsTheGamesWithDuplicatesAndShowsNothingYet) {
  Form1Window* w = Open(kFile);
  EXPECT_EQ(w->objectName(), "Form1");
  EXPECT_EQ(w->windowTitle(), "Velox Configurator v1.1.1");
  EXPECT_EQ(Find<QGroupBox>("Frame1")->title(), "Configure patches/cheats");
  QComboBox* combo = Find<QComboBox>("Combo1");
  ASSERT_EQ(combo->count(), 3);
  EXPECT_EQ(combo->itemText(0), "Star Courier");
  EXPECT_EQ(combo->itemText(1), "Pixel Barn");
  EXPECT_EQ(combo->itemText(2), "Star Courier");
  EXPECT_EQ(combo->currentIndex(), -1);
  EXPECT_FALSE(combo->isEditable());
  for (const char* label : {"Label1", "Label2", "Label3", "Label4"}) EXPECT_EQ(Find<QLabel>(label)->text(), "");
  EXPECT_EQ(Find<QListWidget>("List1")->count(), 0);
  EXPECT_EQ(Find<QPushButton>("Command1")->text(), "Enable");
  EXPECT_EQ(Find<QPushButton>("Command2")->text(), "Disable");
  EXPECT_FALSE(EnableOn());
  EXPECT_FALSE(DisableOn());
  EXPECT_TRUE(messages.isEmpty());
}

TEST_F(Form1Test, ChoosingAGameShowsItsFirstSection) {
  Open(kFile);
  ChooseGame(2);  // the duplicate name shows the first section of that name
  EXPECT_EQ(Find<QLabel>("Label1")->text(), "Title :");
  EXPECT_EQ(Find<QLabel>("Label2")->text(), "Comments :");
  EXPECT_EQ(Find<QLabel>("Label3")->text(), "Star Courier Deluxe");
  EXPECT_EQ(Find<QLabel>("Label4")->text(), "Needs the loader");
  EXPECT_EQ(Entries(), QStringList({"bootloader=2", "//bootloader =1", "// patch=0x8000,1", "//just a note", ""}));

  ChooseGame(1);
  EXPECT_EQ(Find<QLabel>("Label3")->text(), "Pixel Barn") << "no alttitle: the section's name";
  EXPECT_EQ(Find<QLabel>("Label4")->text(), "");
  EXPECT_EQ(Entries(), QStringList({"patch=0x10,1"}));
}

TEST_F(Form1Test, TheSelectedEntryEnablesAtMostTheButtonThatApplies) {
  Open(kFile);
  ChooseGame(0);
  struct Case {
    int row;
    bool enable;
    bool disable;
  } cases[] = {{0, false, true}, {1, true, false}, {2, true, false}, {3, false, false}, {4, false, true}};
  for (const Case& c : cases) {
    SelectEntry(c.row);
    EXPECT_EQ(EnableOn(), c.enable) << c.row;
    EXPECT_EQ(DisableOn(), c.disable) << c.row;
  }
  // The keyboard selects as well.
  QTest::keyClick(Find<QListWidget>("List1"), Qt::Key_Up);
  EXPECT_FALSE(EnableOn());
  EXPECT_FALSE(DisableOn());
}

TEST_F(Form1Test, EachSwitchIsWrittenAtOnceAndTheViewIsRefilledUnselected) {
  Open(kFile);
  ChooseGame(0);
  SelectEntry(2);
  QTest::mouseClick(Find<QPushButton>("Command1"), Qt::LeftButton);
  std::string expected = kFile;
  expected.replace(expected.find("// patch=0x8000,1"), 17, " patch=0x8000,1");
  EXPECT_EQ(testing::ReadBytes(ini), expected);
  EXPECT_EQ(Entries()[2], " patch=0x8000,1");
  EXPECT_TRUE(Find<QListWidget>("List1")->selectedItems().isEmpty());
  EXPECT_FALSE(EnableOn());
  EXPECT_FALSE(DisableOn());

  SelectEntry(2);
  QTest::mouseClick(Find<QPushButton>("Command2"), Qt::LeftButton);
  EXPECT_EQ(testing::ReadBytes(ini), kFile);

  SelectEntry(0);
  QTest::mouseClick(Find<QPushButton>("Command2"), Qt::LeftButton);
  expected = kFile;
  expected.replace(expected.find("bootloader=2"), 12, "//bootloader=2");
  EXPECT_EQ(testing::ReadBytes(ini), expected) << "the other section's equal line stays";
  EXPECT_FALSE(fs::exists(dir / "-velox-.ini"));
  EXPECT_TRUE(messages.isEmpty());
}

TEST_F(Form1Test, DisablingABlankEntryKeepsTheLinesAndEndsEveryLine) {
  const std::string file = "[g]\nx=1\n\ny";
  Open(file);
  ChooseGame(0);
  SelectEntry(1);
  ASSERT_TRUE(DisableOn());
  QTest::mouseClick(Find<QPushButton>("Command2"), Qt::LeftButton);
  EXPECT_EQ(testing::ReadBytes(ini), "[g]\r\nx=1\r\n\r\ny\r\n");
}

TEST_F(Form1Test, AMissingFileIsToldInTheWindow) {
  Form1Window* w = Form1Window::Instance().Show();
  ASSERT_NE(w, nullptr);
  ASSERT_EQ(messages.size(), 1);
  EXPECT_THAT(messages[0].toStdString(), HasSubstr("could not be listed"));
  EXPECT_THAT(messages[0].toStdString(), HasSubstr((dir / "velox.ini").string()));
  QComboBox* combo = Find<QComboBox>("Combo1");
  EXPECT_FALSE(combo->isEnabled());
  EXPECT_EQ(combo->placeholderText(), "velox.ini could not be read");
  EXPECT_FALSE(fs::exists(ini));
}

TEST_F(Form1Test, AFailedSwitchIsToldAndLeavesTheFile) {
  Open(kFile);
  ChooseGame(1);
  SelectEntry(0);
  SetReplaceFaultForTesting([](std::string_view step, const fs::path&) { return step == "write" ? ENOSPC : 0; });
  QTest::mouseClick(Find<QPushButton>("Command2"), Qt::LeftButton);
  ASSERT_EQ(messages.size(), 1);
  EXPECT_THAT(messages[0].toStdString(), HasSubstr("could not be disabled"));
  EXPECT_THAT(messages[0].toStdString(), HasSubstr("left as it was"));
  EXPECT_EQ(testing::ReadBytes(ini), kFile);
  EXPECT_EQ(Entries(), QStringList({"patch=0x10,1"}));
}

TEST_F(Form1Test, AnEntryChangedOnDiskMeanwhileIsToldNotGuessed) {
  Open(kFile);
  ChooseGame(1);
  SelectEntry(0);
  std::string changed = kFile;
  changed.replace(changed.find("patch=0x10,1"), 12, "patch=0x10,2");
  testing::WriteBytes(ini, changed);
  QTest::mouseClick(Find<QPushButton>("Command2"), Qt::LeftButton);
  ASSERT_EQ(messages.size(), 1);
  EXPECT_EQ(testing::ReadBytes(ini), changed);
  EXPECT_EQ(Entries(), QStringList({"patch=0x10,2"})) << "the view shows the file as it now is";
}

TEST_F(Form1Test, WorksOnTheSettingsFileOfTheCurrentDirectory) {
  testing::TempFolder app;
  testing::WriteBytes(app / "velox.ini", "[App Game]\r\npatch=1\r\n");
  SetAppFolderForTesting(app.path());
  Open("[Here Game]\r\npatch=1\r\n");
  EXPECT_EQ(Find<QComboBox>("Combo1")->itemText(0), "Here Game");
  ChooseGame(0);
  SelectEntry(0);
  QTest::mouseClick(Find<QPushButton>("Command2"), Qt::LeftButton);
  EXPECT_EQ(testing::ReadBytes(ini), "[Here Game]\r\n//patch=1\r\n");
  EXPECT_EQ(testing::ReadBytes(app / "velox.ini"), "[App Game]\r\npatch=1\r\n");
}

TEST_F(Form1Test, EightBitNamesAndEntriesAreShownDecodedAndSwitchedByTheirBytes) {
  Open("[Caf\xE9 Racer]\r\n//patch=\x81\xE9\r\n");
  EXPECT_EQ(Find<QComboBox>("Combo1")->itemText(0), QString::fromUtf8("Caf\u00e9 Racer"));
  ChooseGame(0);
  SelectEntry(0);
  QTest::mouseClick(Find<QPushButton>("Command1"), Qt::LeftButton);
  EXPECT_EQ(testing::ReadBytes(ini), "[Caf\xE9 Racer]\r\npatch=\x81\xE9\r\n");
}

TEST_F(Form1Test, Screenshot) {
  testing::CopyDemo(dir.path());
  Open(testing::ReadBytes(dir / "velox.ini"));
  EXPECT_TRUE(messages.isEmpty());
  QComboBox* combo = Find<QComboBox>("Combo1");
  ASSERT_GE(combo->count(), 6);
  ChooseGame(1);
  EXPECT_FALSE(Find<QLabel>("Label3")->text().isEmpty());
  SelectEntry(1);
  Form1Window* w = Form1Window::Instance().Get();
  const QPixmap shot = w->grab();
  EXPECT_FALSE(shot.isNull());
  const QString folder = qEnvironmentVariable("VELOX_SCREENSHOT_DIR");
  if (!folder.isEmpty()) {
    EXPECT_TRUE(shot.save(QDir(folder).filePath(w->objectName() + ".png")));
  }
}

}  // namespace
}  // namespace velox::ui
