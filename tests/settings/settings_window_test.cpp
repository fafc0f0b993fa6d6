#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTest>
#include <QtWidgets>

#include "settings/folder_picker_window.h"
#include "settings/form1_window.h"
#include "settings/form5_window.h"
#include "shell/install_layout.h"
#include "shell/safe_file.h"
#include "support/file_call_spy.h"
#include "support/temp_install.h"
#include "support/window_test.h"
#include "ui/messages.h"

namespace velox::ui {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

const std::string kGames =
    "[default]\r\nrompath=C:\\roms\r\n[Star Courier]\r\nalttitle=Star Courier Deluxe\r\ncomment=Needs the loader\r\n"
    "bootloader=2\r\n//bootloader =1\r\n// patch=0x8000,\xB9\r\n//a note\r\n\r\n[Pixel B\xE4rn]\r\npatch=0x10,1\r\n"
    "[Star Courier]\r\nalttitle=Second\r\nbootloader=2\r\n";

// Form5 works in AppFolder and Form1 in the current directory: both are the test's folder unless a test moves one.
class SettingsWindowTest : public testing::WindowTest {
 protected:
  template <class W>
  W* Open(const std::string& file) { testing::WriteBytes(ini, file); return W::Instance().Show(); }
  template <class T = QWidget>
  T* Find(QWidget* w, const char* name) {
    T* child = w ? w->findChild<T*>(name) : nullptr;
    EXPECT_NE(child, nullptr) << name;
    return child;
  }
  QLineEdit* Box(QWidget* w, const char* name) { return Find<QLineEdit>(w, name); }
  void Click(QWidget* w, const char* name) { QTest::mouseClick(Find<QAbstractButton>(w, name), Qt::LeftButton); }
  std::string Buttons(QWidget* w) {  // "10": only Enable (Command1) is on; "01": only Disable
    return std::to_string(Find(w, "Command1")->isEnabled()) + std::to_string(Find(w, "Command2")->isEnabled());
  }
  void ChooseGame(QWidget* w, int i) {
    Find<QComboBox>(w, "Combo1")->setCurrentIndex(i - 1);
    QTest::keyClick(Find(w, "Combo1"), Qt::Key_Down);  // picked with the keyboard, as a user may
  }
  void SelectEntry(QWidget* w, int row) {
    QListWidget* list = Find<QListWidget>(w, "List1");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
  }
  QStringList Entries(QWidget* w) {
    QStringList rows;
    for (auto* item : Find<QListWidget>(w, "List1")->findItems("", Qt::MatchContains)) rows << item->text();
    return rows;
  }

  testing::CurrentDirectory here{app.path()};
  fs::path ini = app / "velox.ini";
};

TEST_F(SettingsWindowTest, Form5OkAtOnceRewritesWhatItShows) {
  const std::string head = "[default]\r\nrompath=C:\\Jeux\\\xC9t\xE9\r\nsavepath=\r\nresolution=1920,1080\r\n";
  const std::string tail = "sound=0\r\n[Game]\r\npatch=1\r\n";
  Form5Window* w = Open<Form5Window>(head + "viewport=640,480\r\nviewport=800,600\r\nviewport=1600,900\r\n" + tail);
  EXPECT_EQ(Box(w, "Text1")->text(), "C:\\Jeux\\\u00c9t\u00e9");
  EXPECT_EQ(Find<QComboBox>(w, "Combo1")->currentIndex(), -1) << "a resolution the list lacks";
  EXPECT_EQ(Find<QComboBox>(w, "Combo2")->currentText(), "800 x 600") << "the last one the list holds";
  EXPECT_TRUE(Find<QCheckBox>(w, "Check2")->isChecked());
  Click(w, "Command3");
  EXPECT_EQ(testing::ReadBytes(ini), head + "viewport=800,600\r\nviewport=800,600\r\nviewport=800,600\r\n" + tail);
}

TEST_F(SettingsWindowTest, Form5EnterWritesTheFolderAsTypedAndTheSoundBoxesArePartners) {
  Form5Window* w = Open<Form5Window>("[default]\nrompath=a\nresolution=640,480");
  QCheckBox *yes = Find<QCheckBox>(w, "Check1"), *no = Find<QCheckBox>(w, "Check2");
  EXPECT_FALSE(yes->isChecked() || no->isChecked()) << "the file has no sound line";
  Click(w, "Check1");
  Click(w, "Check1");  // the checked box passes its check to its partner
  EXPECT_TRUE(!yes->isChecked() && no->isChecked());
  Click(w, "Check2");  // and back again
  EXPECT_TRUE(yes->isChecked() && !no->isChecked());
  Click(w, "Check1");
  Box(w, "Text1")->clear();
  QTest::keyClicks(Box(w, "Text1"), "  D:\\Caf");
  Box(w, "Text1")->insert("\u00e9 \u20ac ");  // typed through an input method
  Find<QComboBox>(w, "Combo1")->setCurrentIndex(7);
  QTest::keyClick(Box(w, "Text1"), Qt::Key_Return);
  EXPECT_EQ(Form5Window::Instance().Get(), nullptr);
  EXPECT_EQ(testing::ReadBytes(ini), "[default]\r\nrompath=  D:\\Caf\xE9 \x80 \r\nresolution=1600,1200\r\n");
}

TEST_F(SettingsWindowTest, BothDialogsTellFailuresAndKeepTheFile) {
  Form5Window* w = Form5Window::Instance().Show();
  EXPECT_FALSE(Find(Form1Window::Instance().Show(), "Combo1")->isEnabled());
  Box(w, "Text1")->setText("D:\\roms");
  Click(w, "Command3");
  testing::WriteBytes(ini, "[default]\r\nrompath=a\r\nsavepath=x\r\n");
  testing::FileCallSpy spy;
  spy.before = [](std::string_view call, const fs::path&) { return call == "replace" ? EACCES : 0; };
  Click(w, "Command3");
  Box(w, "Text2")->setText("C:\\\u0141\u00f3d\u017a");
  Click(w, "Command3");
  EXPECT_THAT(Said(), ElementsAre(AllOf(HasSubstr("could not be read"), HasSubstr("velox.ini")),
                                    AllOf(HasSubstr("could not be listed"), HasSubstr(testing::Shown(ini).toStdString())),
                                    HasSubstr("could not be saved"), HasSubstr("left as it was"),
                                    AllOf(HasSubstr("Saves Folder"), HasSubstr("Nothing was written"))));
  EXPECT_EQ(testing::ReadBytes(ini), "[default]\r\nrompath=a\r\nsavepath=x\r\n");
  EXPECT_EQ(Form5Window::Instance().Get(), w);
}

TEST_F(SettingsWindowTest, Form5RefusesFoldersThatWouldBreakTheirLineAndKeepsLongOnesWhole) {
  // Every byte a folder name may hold comes back as it was, the code page's edges included.
  const std::string file = "[default]\r\nrompath=" + std::string(40000, 'r') +
                           "\r\nsavepath=s\x80\x9F\xA0\xFF\r\nresolution=320,240\r\nviewport=320,240\r\n[g]\r\npatch=1\r\n";
  const std::pair<QString, const char*> pasted[] = {{"D:\\New\n[notes]\nx=1", "holds a line feed (LF)"},
                                                    {"D:\\New\r", "holds a carriage return (CR)"},
                                                    {QString("D:\\a") + QChar(0) + "b", "holds a NUL character"}};
  for (const auto& [text, problem] : pasted) {
    Form5Window* w = Open<Form5Window>(file);
    EXPECT_EQ(Box(w, "Text1")->text().size(), 40000) << "kept whole, past the box's usual limit";
    Box(w, "Text2")->setText(text);
    Click(w, "Command3");
    EXPECT_THAT(Said(), ElementsAre(AllOf(HasSubstr("Saves Folder"), HasSubstr(problem), HasSubstr("Nothing was written"))));
    EXPECT_EQ(Form5Window::Instance().Get(), w) << "the dialog stays open";
    EXPECT_EQ(Box(w, "Text2")->text(), text) << "with the user's values";
    EXPECT_EQ(testing::ReadBytes(ini), file);
    Click(w, "Command4");
    messages.clear();
  }
  Form5Window* w = Open<Form5Window>(file);
  EXPECT_EQ(Find<QComboBox>(w, "Combo1")->currentText() + Find<QComboBox>(w, "Combo2")->currentText(),
            "320 x 240320 x 240") << "the first entry is a choice like any other";
  Click(w, "Command3");
  EXPECT_THAT(Said(), ElementsAre());
  EXPECT_EQ(testing::ReadBytes(ini), file) << "a 40,000-character folder is written back whole";
}

TEST_F(SettingsWindowTest, Form5AfterAFailedLoadWritesOnlyWhatTheUserEntered) {
  Form5Window* w = Form5Window::Instance().Show();  // no velox.ini yet
  EXPECT_THAT(Said(), ElementsAre(HasSubstr("could not be read")));
  const std::string restored = "[default]\r\nrompath=C:\\roms\r\nsavepath=C:\\saves\r\nresolution=640,480\r\n"
                               "viewport=800,600\r\nsound=1\r\n";
  testing::WriteBytes(ini, restored);
  Box(w, "Text2")->setText("D:\\saves");
  Find<QComboBox>(w, "Combo1")->setCurrentIndex(0);  // "320 x 240", the first entry
  Click(w, "Command3");
  EXPECT_EQ(Form5Window::Instance().Get(), nullptr);
  EXPECT_EQ(testing::ReadBytes(ini), "[default]\r\nrompath=C:\\roms\r\nsavepath=D:\\saves\r\nresolution=320,240\r\n"
                                     "viewport=800,600\r\nsound=1\r\n");
}

TEST_F(SettingsWindowTest, PickersStartAtTheBoxsFolderOrFallBackToTheRootAndPutTheirFolderBack) {
#ifdef _WIN32
  const QString root = "C:\\", rootDrive = "C:";
#else
  const QString root = "/", rootDrive = "/";
#endif
  const fs::path base = app.path() / u8"Jeux vid\u00e9o" / u8"\u30d3\u30c7\u30aa";
  fs::create_directories(base / "roms" / "Arcade");
  fs::create_directories(base / "roms" / "racing");
  const QString roms = testing::Shown(base / "roms"), gone = testing::Shown(base / "roms" / "gone");
  Form5Window* w = Open<Form5Window>("[default]\r\n");
  Box(w, "Text1")->setText(testing::Shown(base / "roms" / "Arcade"));
  Click(w, "Command1");
  Form6Window* picker = Form6Window::Instance().Get();
  ASSERT_NE(picker, nullptr);
  EXPECT_EQ(picker->CurrentFolder(), testing::Shown(base / "roms" / "Arcade"));
  QTreeWidget* tree = Find<QTreeWidget>(picker, "Dir1");
  EXPECT_FALSE(tree->findItems(u8"\u30d3\u30c7\u30aa", Qt::MatchRecursive).isEmpty()) << "folder names keep their letters";
  for (const auto& [key, modifier] : {std::pair{Qt::Key_Return, Qt::NoModifier}, {Qt::Key_Enter, Qt::KeypadModifier}}) {
    ASSERT_TRUE(picker->OpenFolder(testing::Shown(base / "roms" / "Arcade")));
    tree->setCurrentItem(tree->findItems("roms", Qt::MatchRecursive).value(0));
    QTest::keyClick(tree, key, modifier);  // opens the folder instead of confirming
    EXPECT_EQ(picker->CurrentFolder(), roms);
  }
  const QPoint at = tree->visualItemRect(tree->findItems("racing", Qt::MatchRecursive).value(0)).center();
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
  EXPECT_EQ(Box(w, "Text1")->text(), testing::Shown(base / "roms" / "Arcade")) << "nothing reaches the box before Ok";
  Click(picker, "Command1");
  EXPECT_EQ(Box(w, "Text1")->text(), testing::Shown(base / "roms" / "racing"));

  Box(w, "Text2")->setText(gone);
  Click(w, "Command2");
  Form7Window* saves = Form7Window::Instance().Get();
  ASSERT_NE(saves, nullptr);
  EXPECT_EQ(saves->CurrentFolder() + saves->CurrentDrive(), root + rootDrive);
  ASSERT_TRUE(saves->OpenFolder(roms));
  Find<QComboBox>(saves, "Drive1")->addItem("/no/such/volume");
  Find<QComboBox>(saves, "Drive1")->setCurrentIndex(Find<QComboBox>(saves, "Drive1")->count() - 1);
  EXPECT_EQ(saves->CurrentFolder() + saves->CurrentDrive(), root + rootDrive);
  Click(saves, "Command2");
  EXPECT_EQ(Box(w, "Text2")->text(), gone) << "Cancel keeps the box";
  Click(w, "Command2");
  Click(Form7Window::Instance().Get(), "Command1");
  EXPECT_EQ(Box(w, "Text2")->text(), root) << "a root keeps its separator";

  // Ok once the settings dialog is gone has no box to fill.
  Click(w, "Command1");
  picker = Form6Window::Instance().Get();
  Click(w, "Command4");
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  Click(picker, "Command1");
  EXPECT_THAT(Said(), ElementsAre(HasSubstr("closed")));
  EXPECT_EQ(testing::ReadBytes(ini), "[default]\r\n");
}

TEST_F(SettingsWindowTest, Form1ShowsTheFirstSectionOfAGameAndWritesEachSwitchAtOnce) {
  SetAppFolderForTesting(app / "elsewhere");  // the editor keeps to the current directory
  Form1Window* w = Open<Form1Window>(kGames);
  EXPECT_EQ(Find<QComboBox>(w, "Combo1")->count(), 3);
  EXPECT_EQ(Find<QComboBox>(w, "Combo1")->itemText(1), "Pixel B\u00e4rn");
  EXPECT_EQ(Find<QLabel>(w, "Label1")->text(), "");
  EXPECT_EQ(Buttons(w), "00");
  ChooseGame(w, 2);
  EXPECT_EQ(Find<QLabel>(w, "Label1")->text() + Find<QLabel>(w, "Label3")->text() + Find<QLabel>(w, "Label4")->text(),
            "Title :Star Courier DeluxeNeeds the loader");
  EXPECT_EQ(Entries(w), QStringList({"bootloader=2", "//bootloader =1", "// patch=0x8000,\u00b9", "//a note", ""}));
  const char* buttons[] = {"01", "10", "10", "00", "01"};
  for (int row = 0; row < 5; ++row) {
    SelectEntry(w, row);
    EXPECT_EQ(Buttons(w), buttons[row]) << row;
  }
  QTest::keyClick(Find(w, "List1"), Qt::Key_Up);  // the keyboard selects as well
  EXPECT_EQ(Buttons(w), "00");

  SelectEntry(w, 2);
  Click(w, "Command1");
  std::string expected = kGames;
  EXPECT_EQ(testing::ReadBytes(ini), expected.replace(expected.find("// patch="), 9, " patch="));
  // The switched entry stays selected, so the other button undoes it at once.
  EXPECT_EQ(Find<QListWidget>(w, "List1")->selectedItems(), QList{Find<QListWidget>(w, "List1")->item(2)});
  EXPECT_EQ(Buttons(w), "01");
  Click(w, "Command2");
  EXPECT_EQ(testing::ReadBytes(ini), kGames);

  // An entry changed on disk meanwhile is told, not guessed, and the view shows the file as it now is.
  ChooseGame(w, 1);
  SelectEntry(w, 0);
  testing::WriteBytes(ini, expected = kGames.substr(0, kGames.find("patch=0x10,1")) + "patch=0x10,2\r\n");
  Click(w, "Command2");
  EXPECT_THAT(Said(), ElementsAre(HasSubstr("could not be disabled")));
  EXPECT_EQ(testing::ReadBytes(ini), expected);
  EXPECT_EQ(Entries(w), QStringList({"patch=0x10,2"}));
}

TEST_F(SettingsWindowTest, PickersRefuseAFolderWhoseNameHoldsALineBreak) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows allows no line break in a folder name";
#endif
  const fs::path odd = app / "new\n[notes]";
  fs::create_directories(odd);
  Form5Window* w = Open<Form5Window>("[default]\r\nrompath=a\r\n");
  Click(w, "Command1");
  Form6Window* picker = Form6Window::Instance().Get();
  ASSERT_TRUE(picker && picker->OpenFolder(testing::Shown(odd)));
  Click(picker, "Command1");
  EXPECT_THAT(Said(), ElementsAre(AllOf(HasSubstr("line feed (LF)"), HasSubstr("left as it was"))));
  EXPECT_EQ(Form6Window::Instance().Get(), picker) << "the picker stays open to choose another";
  EXPECT_EQ(Box(w, "Text1")->text(), "a");
}

TEST_F(SettingsWindowTest, Form1ShowsFileTextAsPlainTextAndLongLinesShortenedButSwitchesTheirExactLine) {
  const std::string mega(1 << 20, 'm'), other(1 << 20, 'n');
  const std::string file = "[<b>bold</b>]\r\nalttitle=<b>patch</b>=1\r\ncomment=<i>x</i>\r\n<b>patch</b>=1\r\n"
                           "[" + mega + "]\r\nalttitle=" + mega + "\r\ncomment=" + mega + "\r\npatch=" + mega + "\r\n"
                           "//patch=" + other + "\r\n";
  Form1Window* w = Open<Form1Window>(file);
  ChooseGame(w, 0);  // the first game
  for (const char* label : {"Label3", "Label4"}) EXPECT_EQ(Find<QLabel>(w, label)->textFormat(), Qt::PlainText);
  EXPECT_EQ(Find<QLabel>(w, "Label3")->text(), "<b>patch</b>=1");
  EXPECT_EQ(Entries(w), QStringList({"<b>patch</b>=1"}));
  ChooseGame(w, 1);
  const QStringList rows = Entries(w);
  ASSERT_EQ(rows.size(), 2);
  for (const QString& shown : {rows[0], rows[1], Find<QLabel>(w, "Label3")->text(), Find<QLabel>(w, "Label4")->text(),
                               Find<QComboBox>(w, "Combo1")->currentText()}) {
    EXPECT_TRUE(shown.size() <= 400 && shown.endsWith(QChar(0x2026))) << shown.size();
  }
  EXPECT_TRUE(rows[1].startsWith("//patch=nnn"));
  Find<QListWidget>(w, "List1")->setCurrentRow(1);  // rows wider than the list: picked by row, not by a click
  EXPECT_EQ(Buttons(w), "10");
  Click(w, "Command1");
  EXPECT_EQ(Find<QListWidget>(w, "List1")->selectedItems(), QList{Find<QListWidget>(w, "List1")->item(1)})
      << "the switched last entry stays selected";
  Find<QListWidget>(w, "List1")->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
  EXPECT_EQ(Buttons(w), "01");
  Click(w, "Command2");
  EXPECT_TRUE(messages.empty());
  std::string expected = file;
  expected.replace(expected.find("\r\npatch=" + mega), 2 + 6 + mega.size(), "\r\n//patch=" + mega);
  expected.replace(expected.rfind("//patch=" + other), 8 + other.size(), "patch=" + other);
  EXPECT_TRUE(testing::ReadBytes(ini) == expected) << "each long line switched exactly, never shortened";
}

TEST_F(SettingsWindowTest, MessagesAreShownAsPlainTextAndQuoteLongTextsInPart) {
  std::unique_ptr<QMessageBox> box(MakeMessageBox(nullptr, {"The entry \"<b>patch</b>=1\" cannot be switched on.", {}, {}}));
  EXPECT_EQ(box->textFormat(), Qt::PlainText);
  EXPECT_TRUE(box->text().contains("<b>patch</b>=1"));
  const QString huge(1 << 20, 'x');
  const QString text = FormatUserMessage(MessageFor("The mapping could not be read.", {ini, "field \"" + huge.toStdString() + "\" is bad"}));
  EXPECT_LT(text.size(), 300);
  EXPECT_TRUE(text.contains("xxx" + QString(QChar(0x2026)) + "\" is bad")) << text.toStdString();
  EXPECT_EQ(ShortenQuotes("a \"b\" c \"" + QString(80, 'd') + "\""), "a \"b\" c \"" + QString(80, 'd') + "\"");
}

}  // namespace
}  // namespace velox::ui
