#include "settings/form5_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "settings/folder_picker_window.h"
#include "shell/install_layout.h"
#include "shell/safe_file.h"
#include "support/temp_install.h"
#include "ui/messages.h"

namespace velox::ui {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

class Form5Test : public ::testing::Test {
 protected:
  void SetUp() override {
    SetAppFolderForTesting(app.path());
    SetMessageSinkForTesting([this](const QString&, const QString& text) { messages << text; });
  }
  void TearDown() override {
    for (QWidget* w : {static_cast<QWidget*>(Form6Window::Instance().Get()),
                       static_cast<QWidget*>(Form7Window::Instance().Get()),
                       static_cast<QWidget*>(Form5Window::Instance().Get())}) {
      if (w) w->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    SetMessageSinkForTesting(nullptr);
    SetReplaceFaultForTesting(nullptr);
  }

  Form5Window* Open(const std::string& file) {
    testing::WriteBytes(ini, file);
    return Form5Window::Instance().Show();
  }
  template <class T>
  T* Find(QWidget* w, const char* name) {
    T* child = w->findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
  }
  void Click(QWidget* w, const char* name) { QTest::mouseClick(Find<QAbstractButton>(w, name), Qt::LeftButton); }

  testing::TempFolder app;
  fs::path ini = app / "velox.ini";
  QStringList messages;
};

TEST_F(Form5Test, ShowsEveryControlInItsRowWithItsCaption) {
  Form5Window* w = Open("[default]\r\n");
  EXPECT_EQ(w->objectName(), "Form5");
  EXPECT_EQ(w->windowTitle(), "Velox Configurator v1.1.1");
  EXPECT_EQ(Find<QGroupBox>(w, "Frame1")->title(), "Configure Velox HLE");
  struct Row {
    const char* label;
    const char* caption;
    const char* control;
  } rows[] = {{"Label1", "- Roms Folder :", "Text1"},
              {"Label2", "- Saves Folder :", "Text2"},
              {"Label4", "- Screen Resolution :", "Combo1"},
              {"Label5", "- Windowed Resolution :", "Combo2"},
              {"Label3", "- Sound Emulation :", "Check1"}};
  int lastY = -1;
  for (const Row& row : rows) {
    QLabel* label = Find<QLabel>(w, row.label);
    QWidget* control = Find<QWidget>(w, row.control);
    EXPECT_EQ(label->text(), row.caption);
    EXPECT_GT(label->y(), lastY) << row.label;
    EXPECT_LT(std::abs(label->geometry().center().y() - control->geometry().center().y()), 6) << row.control;
    lastY = label->y();
  }
  EXPECT_EQ(Find<QPushButton>(w, "Command1")->text(), "Change");
  EXPECT_EQ(Find<QPushButton>(w, "Command2")->text(), "Change");
  EXPECT_EQ(Find<QCheckBox>(w, "Check1")->text(), "Yes");
  EXPECT_EQ(Find<QCheckBox>(w, "Check2")->text(), "No");
  EXPECT_EQ(Find<QPushButton>(w, "Command3")->text(), "Ok");
  EXPECT_EQ(Find<QPushButton>(w, "Command4")->text(), "Cancel");
  EXPECT_GT(Find<QPushButton>(w, "Command3")->y(), lastY);
  const QStringList eight = {"320 x 240",  "512 x 384",  "640 x 480",   "800 x 600",
                             "1024 x 768", "1152 x 864", "1280 x 1024", "1600 x 1200"};
  for (const char* name : {"Combo1", "Combo2"}) {
    QComboBox* combo = Find<QComboBox>(w, name);
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    EXPECT_EQ(items, eight) << name;
    EXPECT_FALSE(combo->isEditable());
    EXPECT_FALSE(combo->accessibleName().isEmpty());
  }
}

TEST_F(Form5Test, OkRightAfterLoadingRewritesTheSameBytes) {
  const std::string file =
      "[default]\r\nrompath=C:\\Velox\\Roms\r\nsavepath=\r\nresolution=640,480\r\nviewport=800,600\r\nsound=0\r\n"
      "[Game]\r\npatch=1\r\n";
  Form5Window* w = Open(file);
  EXPECT_EQ(Find<QLineEdit>(w, "Text1")->text(), "C:\\Velox\\Roms");
  EXPECT_EQ(Find<QLineEdit>(w, "Text2")->text(), "");
  EXPECT_EQ(Find<QComboBox>(w, "Combo1")->currentText(), "640 x 480");
  EXPECT_EQ(Find<QComboBox>(w, "Combo2")->currentText(), "800 x 600");
  EXPECT_FALSE(Find<QCheckBox>(w, "Check1")->isChecked());
  EXPECT_TRUE(Find<QCheckBox>(w, "Check2")->isChecked());
  Click(w, "Command3");
  EXPECT_EQ(testing::ReadBytes(ini), file);
  EXPECT_EQ(Form5Window::Instance().Get(), nullptr) << "Ok closes the dialog";
  EXPECT_TRUE(messages.isEmpty());
}

TEST_F(Form5Test, ResolutionsTheListLacksShowNoChoiceAndKeepTheirLines) {
  struct Case {
    const char* lines;
    const char* shown1;
    const char* shown2;
  } cases[] = {
      {"resolution=1920,1080\r\nviewport=800,600\r\n", "", "800 x 600"},
      {"resolution=800,600\r\nresolution=1920,1080\r\n", "800 x 600", ""},
      {"resolution=1920,1080\r\nviewport=640,480\r\nviewport=1024,768\r\n", "", "1024 x 768"},
  };
  for (const Case& c : cases) {
    const std::string file = std::string("[default]\r\n") + c.lines;
    Form5Window* w = Open(file);
    EXPECT_EQ(Find<QComboBox>(w, "Combo1")->currentText(), c.shown1) << c.lines;
    EXPECT_EQ(Find<QComboBox>(w, "Combo2")->currentText(), c.shown2) << c.lines;
    Click(w, "Command3");
    if (std::string(c.shown1).empty()) {
      EXPECT_THAT(testing::ReadBytes(ini), HasSubstr("resolution=1920,1080\r\n")) << c.lines;
    }
    EXPECT_THAT(testing::ReadBytes(ini), ::testing::Not(HasSubstr("resolution=\r\n")));
    EXPECT_THAT(testing::ReadBytes(ini), ::testing::Not(HasSubstr("viewport=\r\n")));
  }
}

TEST_F(Form5Test, ChangedValuesAreWrittenAsTypedAndChosen) {
  Form5Window* w = Open("[default]\r\nrompath=old\r\nsavepath=old\r\nresolution=640,480\r\nsound=1\r\n");
  QLineEdit* text1 = Find<QLineEdit>(w, "Text1");
  text1->clear();
  QTest::keyClicks(text1, "  D:\\My Roms\\Caf");
  text1->insert(QString::fromUtf8("\u00e9 \u20ac "));  // typed through an input method
  Find<QComboBox>(w, "Combo1")->setCurrentIndex(7);
  Click(w, "Check2");
  Click(w, "Command3");
  EXPECT_EQ(testing::ReadBytes(ini),
            "[default]\r\nrompath=  D:\\My Roms\\Caf\xE9 \x80 \r\nsavepath=old\r\nresolution=1600,1200\r\nsound=0\r\n");
}

TEST_F(Form5Test, EightBitTextIsShownDecoded) {
  Form5Window* w = Open("[default]\r\nrompath=C:\\Jeux\\\xC9t\xE9\r\n");
  EXPECT_EQ(Find<QLineEdit>(w, "Text1")->text(), QString::fromUtf8("C:\\Jeux\\\u00c9t\u00e9"));
}

TEST_F(Form5Test, ACharacterTheFileCannotHoldIsRefusedAndNothingIsWritten) {
  const std::string file = "[default]\r\nsavepath=x\r\n";
  Form5Window* w = Open(file);
  Find<QLineEdit>(w, "Text2")->setText(QString::fromUtf8("C:\\\u0141\u00f3d\u017a"));
  Click(w, "Command3");
  ASSERT_EQ(messages.size(), 1);
  EXPECT_THAT(messages[0].toStdString(), HasSubstr("Saves Folder"));
  EXPECT_THAT(messages[0].toStdString(), HasSubstr("Nothing was written"));
  EXPECT_EQ(testing::ReadBytes(ini), file);
  EXPECT_EQ(Form5Window::Instance().Get(), w) << "the dialog stays open";
}

TEST_F(Form5Test, TheSoundBoxesActAsAPairAndAFileWithoutSoundGainsNone) {
  const std::string file = "[default]\r\nrompath=r\r\n";
  Form5Window* w = Open(file);
  QCheckBox* yes = Find<QCheckBox>(w, "Check1");
  QCheckBox* no = Find<QCheckBox>(w, "Check2");
  EXPECT_FALSE(yes->isChecked());
  EXPECT_FALSE(no->isChecked());
  Click(w, "Check1");
  EXPECT_TRUE(yes->isChecked());
  EXPECT_FALSE(no->isChecked());
  Click(w, "Check1");
  EXPECT_FALSE(yes->isChecked());
  EXPECT_TRUE(no->isChecked()) << "a click on the checked box moves the check to its partner";
  Click(w, "Check1");
  EXPECT_TRUE(yes->isChecked());
  EXPECT_FALSE(no->isChecked());
  Click(w, "Command3");
  EXPECT_EQ(testing::ReadBytes(ini), file);
}

TEST_F(Form5Test, CancelAndEscapeWriteNothing) {
  const std::string file = "[default]\nrompath=a\nresolution=640,480\nsound=1";
  for (bool escape : {false, true}) {
    Form5Window* w = Open(file);
    Find<QLineEdit>(w, "Text1")->setText("changed");
    Find<QComboBox>(w, "Combo1")->setCurrentIndex(0);
    Click(w, "Check2");
    if (escape) {
      QTest::keyClick(w, Qt::Key_Escape);
    } else {
      Click(w, "Command4");
    }
    EXPECT_EQ(Form5Window::Instance().Get(), nullptr);
    EXPECT_EQ(testing::ReadBytes(ini), file);
  }
}

TEST_F(Form5Test, EnterConfirmsLikeOk) {
  Form5Window* w = Open("[default]\r\nrompath=a\r\n");
  QLineEdit* text1 = Find<QLineEdit>(w, "Text1");
  text1->setText("b");
  QTest::keyClick(text1, Qt::Key_Return);
  EXPECT_EQ(testing::ReadBytes(ini), "[default]\r\nrompath=b\r\n");
}

TEST_F(Form5Test, AMissingFileIsToldAndNeverCreated) {
  Form5Window* w = Form5Window::Instance().Show();
  ASSERT_EQ(messages.size(), 1);
  EXPECT_THAT(messages[0].toStdString(), HasSubstr("could not be read"));
  EXPECT_THAT(messages[0].toStdString(), HasSubstr("velox.ini"));
  Find<QLineEdit>(w, "Text1")->setText("D:\\roms");
  Click(w, "Command3");
  ASSERT_EQ(messages.size(), 2);
  EXPECT_THAT(messages[1].toStdString(), HasSubstr("could not be saved"));
  EXPECT_FALSE(fs::exists(ini));
  EXPECT_FALSE(fs::exists(app / "-velox-.ini"));
  EXPECT_EQ(Form5Window::Instance().Get(), w);
  EXPECT_EQ(Find<QLineEdit>(w, "Text1")->text(), "D:\\roms");
}

TEST_F(Form5Test, AFailedRewriteIsToldAndKeepsTheFileAndTheDialog) {
  const std::string file = "[default]\r\nrompath=a\r\n";
  Form5Window* w = Open(file);
  SetReplaceFaultForTesting([](std::string_view step, const fs::path&) { return step == "rename" ? EACCES : 0; });
  Find<QLineEdit>(w, "Text1")->setText("b");
  Click(w, "Command3");
  ASSERT_EQ(messages.size(), 1);
  EXPECT_THAT(messages[0].toStdString(), HasSubstr("left as it was"));
  EXPECT_EQ(testing::ReadBytes(ini), file);
  EXPECT_EQ(Form5Window::Instance().Get(), w);
}

// Folder pickers

QTreeWidgetItem* ItemNamed(QTreeWidget* tree, const QString& name) {
  const QList<QTreeWidgetItem*> found = tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
  return found.isEmpty() ? nullptr : found.front();
}

TEST_F(Form5Test, APickerStartsAtTheBoxsFolderOpensSubfoldersAndPutsItsFolderBack) {
  fs::create_directories(app / "roms" / "Arcade");
  fs::create_directories(app / "roms" / "racing");
  Form5Window* w = Open("[default]\r\n");
  const QString roms = QString::fromStdString((app / "roms").string());
  Find<QLineEdit>(w, "Text1")->setText(roms);
  Click(w, "Command1");
  Form6Window* picker = Form6Window::Instance().Get();
  ASSERT_NE(picker, nullptr);
  EXPECT_EQ(Find<QGroupBox>(picker, "Frame1")->title(), "Roms Folder");
  EXPECT_EQ(picker->CurrentFolder(), roms);
  QTreeWidget* dir = Find<QTreeWidget>(picker, "Dir1");
  QTreeWidgetItem* current = dir->currentItem();
  ASSERT_NE(current, nullptr);
  EXPECT_EQ(current->text(0), "roms");
  ASSERT_EQ(current->childCount(), 2);
  EXPECT_EQ(current->child(0)->text(0), "Arcade");
  EXPECT_EQ(current->child(1)->text(0), "racing");
  EXPECT_EQ(dir->topLevelItem(0)->text(0), "/");

  QTreeWidgetItem* racing = ItemNamed(dir, "racing");
  ASSERT_NE(racing, nullptr);
  const QPoint at = dir->visualItemRect(racing).center();
  QTest::mouseClick(dir->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(dir->viewport(), Qt::LeftButton, {}, at);
  EXPECT_EQ(picker->CurrentFolder(), roms + "/racing");
  EXPECT_EQ(Find<QLineEdit>(w, "Text1")->text(), roms) << "nothing reaches the box before Ok";

  // Enter on the parent opens it instead of confirming.
  dir->setCurrentItem(ItemNamed(dir, "roms"));
  QTest::keyClick(dir, Qt::Key_Return);
  EXPECT_EQ(picker->CurrentFolder(), roms);
  ASSERT_NE(Form6Window::Instance().Get(), nullptr);

  Click(picker, "Command1");
  EXPECT_EQ(Form6Window::Instance().Get(), nullptr);
  EXPECT_EQ(Find<QLineEdit>(w, "Text1")->text(), roms);
  EXPECT_TRUE(fs::exists(ini)) << "a picker writes no file";
}

TEST_F(Form5Test, APickerFallsBackToTheRootForAMissingFolderOrAnUnusableDrive) {
  Form5Window* w = Open("[default]\r\n");
  Find<QLineEdit>(w, "Text2")->setText(QString::fromStdString((app / "gone").string()));
  Click(w, "Command2");
  Form7Window* picker = Form7Window::Instance().Get();
  ASSERT_NE(picker, nullptr);
  EXPECT_EQ(picker->objectName(), "Form7");
  EXPECT_EQ(Find<QGroupBox>(picker, "Frame1")->title(), "Saves Folder");
  EXPECT_EQ(picker->CurrentFolder(), FolderPickerWindow::FallbackFolder());
  EXPECT_EQ(picker->CurrentDrive(), FolderPickerWindow::FallbackDrive());

  QComboBox* drives = Find<QComboBox>(picker, "Drive1");
  EXPECT_EQ(drives->itemText(0), "/");
  ASSERT_TRUE(picker->OpenFolder(QString::fromStdString(app.path().string())));
  drives->addItem("/no/such/volume");
  drives->setCurrentIndex(drives->count() - 1);
  EXPECT_EQ(picker->CurrentFolder(), "/");
  EXPECT_EQ(picker->CurrentDrive(), "/");

  Click(picker, "Command1");
  EXPECT_EQ(Find<QLineEdit>(w, "Text2")->text(), "/") << "a root keeps its separator";
}

TEST_F(Form5Test, CancelInAPickerKeepsTheBox) {
  Form5Window* w = Open("[default]\r\n");
  Find<QLineEdit>(w, "Text1")->setText("");
  Click(w, "Command1");
  Form6Window* picker = Form6Window::Instance().Get();
  ASSERT_NE(picker, nullptr);
  EXPECT_EQ(picker->CurrentFolder(), "/");
  Click(picker, "Command2");
  EXPECT_EQ(Form6Window::Instance().Get(), nullptr);
  EXPECT_EQ(Find<QLineEdit>(w, "Text1")->text(), "");
}

TEST_F(Form5Test, OkInAPickerAfterTheSettingsDialogClosedChangesNothing) {
  const std::string file = "[default]\r\nrompath=a\r\n";
  Form5Window* w = Open(file);
  Click(w, "Command1");
  Form6Window* picker = Form6Window::Instance().Get();
  ASSERT_NE(picker, nullptr);
  Click(w, "Command4");
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  Click(picker, "Command1");
  ASSERT_EQ(messages.size(), 1);
  EXPECT_THAT(messages[0].toStdString(), HasSubstr("closed"));
  EXPECT_EQ(Form6Window::Instance().Get(), nullptr);
  EXPECT_EQ(testing::ReadBytes(ini), file);
}

TEST_F(Form5Test, Screenshot) {
  testing::CopyDemo(app.path());
  for (const char* folder : {"Roms/Arcade", "Roms/Puzzle", "Roms/Racing", "Roms/Sports"}) {
    fs::create_directories(app / folder);
  }
  Form5Window* w = Form5Window::Instance().Show();
  EXPECT_TRUE(messages.isEmpty());
  Find<QLineEdit>(w, "Text1")->setText(QString::fromStdString((app / "Roms").string()));
  Click(w, "Command1");
  Form6Window* picker = Form6Window::Instance().Get();
  ASSERT_NE(picker, nullptr);
  Find<QLineEdit>(w, "Text1")->setText("C:\\Velox\\Roms");
  const QString dir = qEnvironmentVariable("VELOX_SCREENSHOT_DIR");
  for (QWidget* window : {static_cast<QWidget*>(w), static_cast<QWidget*>(picker)}) {
    const QPixmap shot = window->grab();
    EXPECT_FALSE(shot.isNull());
    if (!dir.isEmpty()) {
      EXPECT_TRUE(shot.save(QDir(dir).filePath(window->objectName() + ".png")));
    }
  }
}

}  // namespace
}  // namespace velox::ui
