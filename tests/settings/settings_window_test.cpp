#include "settings/folder_picker_window.h"
#include "settings/form1_window.h"
#include "settings/form5_window.h"
#include "shell/platform.h"
#include "support/file_call_spy.h"
#include "support/window_test.h"

namespace velox::ui {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::ReadBytes;

const std::string kGames =
    "[default]\r\nrompath=C:\\roms\r\n[Star Courier]\r\nalttitle=Star Courier Deluxe\r\ncomment=Needs the loader\r\n"
    "bootloader=2\r\n//bootloader =1\r\n// patch=0x8000,\xB9\r\n//a note\r\n\r\n[Pixel B\xE4rn]\r\npatch=0x10,1\r\n"
    "[Star Courier]\r\nalttitle=Second\r\nbootloader=2\r\n[<b>bold</b>" + std::string(500, 'b') +
    "]\r\nalttitle=<b>patch</b>=1\r\ncomment=" + std::string(500, 'c') + "\r\npatch=" + std::string(500, 'm') +
    "\r\n//patch=" + std::string(500, 'n') + "\r\n";

// Form5 works in AppFolder and Form1 in the current directory: both are the test's folder unless a test moves one.
class SettingsWindowTest : public testing::WindowTest {
 protected:
  template <class T = QWidget>
  T* Find(QWidget* w, const char* name) {
    T* child = w ? w->findChild<T*>(name) : nullptr;
    EXPECT_NE(child, nullptr) << name;
    return child;
  }
  QLineEdit* Box(QWidget* w, const char* name) { return Find<QLineEdit>(w, name); }
  QComboBox* List(QWidget* w, const char* name) { return Find<QComboBox>(w, name); }
  void Click(QWidget* w, const char* name) { QTest::mouseClick(Find<QAbstractButton>(w, name), Qt::LeftButton); }
  std::string Checked(QWidget* w, const char* name) { return std::to_string(Find<QCheckBox>(w, name)->isChecked()); }
  std::string Buttons(QWidget* w) {  // "10": only Enable (Command1) is on; "01": only Disable
    return std::to_string(Find(w, "Command1")->isEnabled()) + std::to_string(Find(w, "Command2")->isEnabled());
  }
  void ChooseGame(QWidget* w, int i) {
    List(w, "Combo1")->setCurrentIndex(i - 1);
    QTest::keyClick(List(w, "Combo1"), Qt::Key_Down);  // picked with the keyboard, as a user may
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

// velox.ini as Form5 opens it, what the user does (Ok included), the file afterwards and what the user is told.
struct Form5Case {
  const char* what;
  std::string before;  // "<missing>": no file
  std::function<void(Form5Window*)> edit;
  std::string after;
  std::vector<::testing::Matcher<std::string>> said = {};  // while told, the dialog stays open
};

TEST_F(SettingsWindowTest, Form5WritesWhatItShowsAndRefusesWhatTheFileCannotHold) {
  // A folder as long as the file holds it, past the box's usual limit, the code page's edges included.
  const std::string head = "[default]\r\nrompath=C:\\Jeux\\\xC9t\xE9\r\nsavepath=" + std::string(40000, 's') +
                           "\x80\x9F\xA0\xFF\r\nresolution=1920,1080\r\n";
  const std::string tail = "sound=0\r\n[Game]\r\npatch=1\r\n";
  const std::string small = "[default]\r\nrompath=a\r\nsavepath=x\r\n";
  std::optional<testing::FileCallSpy> spy;  // the system refuses the replace, for one case
  const auto saves = [&](const QString& text) {
    return [&, text](Form5Window* w) {
      Box(w, "Text2")->setText(text);
      Click(w, "Command3");
      EXPECT_EQ(Box(w, "Text2")->text(), text) << "the user's values stay";
    };
  };
  const Form5Case cases[] = {
      {"shown values, written back at once",
       head + "viewport=640,480\r\nviewport=800,600\r\nviewport=1600,900\r\n" + tail,
       [&](Form5Window* w) {
         EXPECT_EQ(Box(w, "Text1")->text(), "C:\\Jeux\\\u00c9t\u00e9");
         EXPECT_EQ(Box(w, "Text2")->text().size(), 40004);
         EXPECT_EQ(List(w, "Combo1")->currentIndex(), -1) << "a resolution the list lacks";
         EXPECT_EQ(List(w, "Combo2")->currentText(), "800 x 600") << "the last one the list holds";
         EXPECT_EQ(Checked(w, "Check1") + Checked(w, "Check2"), "01");
         Click(w, "Command3");
       },
       head + "viewport=800,600\r\nviewport=800,600\r\nviewport=800,600\r\n" + tail},
      {"typed, then Enter", "[default]\nrompath=a\nresolution=640,480",
       [&](Form5Window* w) {
         // The sound boxes are partners: a box that changes state moves the check to or from the other.
         for (const auto& [box, checks] : {std::pair{"", "00"}, {"Check1", "10"}, {"Check1", "01"}, {"Check2", "10"}}) {
           if (*box) Click(w, box);
           EXPECT_EQ(Checked(w, "Check1") + Checked(w, "Check2"), checks) << box;
         }
         Box(w, "Text1")->clear();
         QTest::keyClicks(Box(w, "Text1"), "  D:\\Caf");
         Box(w, "Text1")->insert("\u00e9 \u20ac ");  // typed through an input method
         List(w, "Combo1")->setCurrentIndex(7);
         QTest::keyClick(Box(w, "Text1"), Qt::Key_Return);
       },
       "[default]\r\nrompath=  D:\\Caf\xE9 \x80 \r\nresolution=1600,1200\r\n"},
      {"a line break", small, saves("D:\\New\n[notes]\nx=1"), small,
       {AllOf(HasSubstr("Saves Folder holds a line feed (LF)"), HasSubstr("Nothing was written"))}},
      {"beyond the code page", small, saves("C:\\\u0141\u00f3d\u017a"), small,
       {HasSubstr("Saves Folder \"C:\\\u0141\u00f3d\u017a\" holds a character")}},
      {"not replaced", small,
       [&](Form5Window* w) {
         spy.emplace().before = [](std::string_view call, const fs::path&) { return call == "replace" ? EACCES : 0; };
         Click(w, "Command3");
       },
       small, {AllOf(HasSubstr("could not be saved"), HasSubstr("left as it was"))}},
      {"no file", "<missing>", saves("D:\\saves"), "<missing>",
       {AllOf(HasSubstr("could not be read"), HasSubstr("velox.ini")),
        AllOf(HasSubstr("could not be saved"), HasSubstr("left as it was"))}},
      {"no file at first: only what the user entered is written", "<missing>",
       [&](Form5Window* w) {
         messages.clear();
         testing::WriteBytes(ini, "[default]\r\nrompath=C:\\roms\r\nsavepath=C:\\saves\r\nresolution=640,480\r\n"
                                  "viewport=800,600\r\nsound=1\r\n");
         Box(w, "Text2")->setText("D:\\saves");
         List(w, "Combo1")->setCurrentIndex(0);  // "320 x 240", the first entry
         Click(w, "Command3");
       },
       "[default]\r\nrompath=C:\\roms\r\nsavepath=D:\\saves\r\nresolution=320,240\r\nviewport=800,600\r\nsound=1\r\n"},
  };
  for (const Form5Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(ini);
    if (c.before != "<missing>") testing::WriteBytes(ini, c.before);
    Form5Window* w = Form5Window::Instance().Show();
    c.edit(w);
    EXPECT_EQ(ReadBytes(ini), c.after);
    EXPECT_THAT(Said(), ::testing::ElementsAreArray(c.said));
    EXPECT_EQ(Form5Window::Instance().Get(), c.said.empty() ? nullptr : w);
    if (Form5Window::Instance().Get()) Click(w, "Command4");
    spy.reset();
    messages.clear();
  }
}

TEST_F(SettingsWindowTest, PickersStartAtTheBoxsFolderOrFallBackToTheRootAndPutTheirFolderBack) {
  const QString root = platform::kWindows ? "C:\\" : "/", rootDrive = platform::kWindows ? "C:" : "/";
  const fs::path base = app.path() / u8"Jeux vid\u00e9o" / u8"\u30d3\u30c7\u30aa";
  fs::create_directories(base / "roms" / "Arcade");
  fs::create_directories(base / "roms" / "racing");
  const QString roms = testing::Shown(base / "roms"), gone = testing::Shown(base / "roms" / "gone");
  testing::WriteBytes(ini, "[default]\r\n");
  Form5Window* w = Form5Window::Instance().Show();
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
  List(saves, "Drive1")->addItem("/no/such/volume");
  List(saves, "Drive1")->setCurrentIndex(List(saves, "Drive1")->count() - 1);
  EXPECT_EQ(saves->CurrentFolder() + saves->CurrentDrive(), root + rootDrive);
  Click(saves, "Command2");
  EXPECT_EQ(Box(w, "Text2")->text(), gone) << "Cancel keeps the box";
  Click(w, "Command2");
  Click(Form7Window::Instance().Get(), "Command1");
  EXPECT_EQ(Box(w, "Text2")->text(), root) << "a root keeps its separator";
#ifndef _WIN32  // Linux allows a line break in a folder name, which no line of velox.ini can hold
  const fs::path odd = app / "new\n[notes]";
  fs::create_directories(odd);
  Click(w, "Command1");
  ASSERT_TRUE(Form6Window::Instance().Get()->OpenFolder(testing::Shown(odd)));
  Click(Form6Window::Instance().Get(), "Command1");
  EXPECT_THAT(Said(), ElementsAre(AllOf(HasSubstr("line feed (LF)"), HasSubstr("left as it was"))));
  EXPECT_NE(Form6Window::Instance().Get(), nullptr) << "the picker stays open to choose another";
  EXPECT_EQ(Box(w, "Text1")->text(), testing::Shown(base / "roms" / "racing"));
  Click(Form6Window::Instance().Get(), "Command2");
  messages.clear();
#endif

  // Ok once the settings dialog is gone has no box to fill.
  Click(w, "Command1");
  picker = Form6Window::Instance().Get();
  Click(w, "Command4");
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  Click(picker, "Command1");
  EXPECT_THAT(Said(), ElementsAre(HasSubstr("closed")));
  EXPECT_EQ(ReadBytes(ini), "[default]\r\n");
}

TEST_F(SettingsWindowTest, Form1ShowsTheFirstSectionOfAGameAndWritesEachSwitchAtOnce) {
  fs::remove(ini);
  EXPECT_FALSE(Find(Form1Window::Instance().Show(), "Combo1")->isEnabled());
  EXPECT_THAT(Said(),
              ElementsAre(AllOf(HasSubstr("could not be listed"), HasSubstr(testing::Shown(ini).toStdString()))));
  messages.clear();
  Form1Window::Instance().Get()->close();
  SetAppFolderForTesting(app / "elsewhere");  // the editor keeps to the current directory
  testing::WriteBytes(ini, kGames);
  Form1Window* w = Form1Window::Instance().Show();
  EXPECT_EQ(List(w, "Combo1")->count(), 4);
  EXPECT_EQ(List(w, "Combo1")->itemText(1), "Pixel B\u00e4rn");
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
  QTest::keyClick(Find(w, "List1"), Qt::Key_Return);
  EXPECT_EQ(ReadBytes(ini), kGames) << "Enter in the list switches nothing";
  Click(w, "Command1");
  std::string expected = kGames;
  EXPECT_EQ(ReadBytes(ini), expected.replace(expected.find("// patch="), 9, " patch="));
  // The switched entry stays selected and focused, so the other button (Enter on it) undoes it at once.
  EXPECT_EQ(Find<QListWidget>(w, "List1")->selectedItems(), QList{Find<QListWidget>(w, "List1")->item(2)});
  EXPECT_EQ(w->focusWidget(), Find(w, "List1"));
  EXPECT_EQ(Buttons(w), "01");
  Find(w, "Command2")->setFocus();
  QTest::keyClick(Find(w, "Command2"), Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(ReadBytes(ini), kGames);

  // File text is plain text, and long lines are shown shortened but switched whole.
  ChooseGame(w, 3);
  EXPECT_EQ(Find<QLabel>(w, "Label3")->text(), "<b>patch</b>=1");
  for (const char* label : {"Label3", "Label4"}) EXPECT_EQ(Find<QLabel>(w, label)->textFormat(), Qt::PlainText);
  const QStringList rows = Entries(w);
  ASSERT_EQ(rows.size(), 2);
  for (const QString& shown : {rows[0], rows[1], Find<QLabel>(w, "Label4")->text(), List(w, "Combo1")->currentText()}) {
    EXPECT_TRUE(shown.size() == 400 && shown.endsWith(QChar(0x2026))) << shown.size();
  }
  EXPECT_TRUE(rows[1].startsWith("//patch=nnn"));
  Find<QListWidget>(w, "List1")->setCurrentRow(1);  // rows wider than the list: picked by row, not by a click
  Click(w, "Command1");
  EXPECT_EQ(Find<QListWidget>(w, "List1")->selectedItems(), QList{Find<QListWidget>(w, "List1")->item(1)})
      << "the switched last entry stays selected";
  Find<QListWidget>(w, "List1")->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
  Click(w, "Command2");
  expected = kGames;
  expected.replace(expected.find("\r\npatch=m"), 9, "\r\n//patch=m");
  expected.replace(expected.find("//patch=n"), 9, "patch=n");
  EXPECT_EQ(ReadBytes(ini), expected) << "each long line switched exactly, never shortened";

  // An entry changed on disk meanwhile is told, not guessed, and the view shows the file as it now is.
  ChooseGame(w, 1);
  SelectEntry(w, 0);
  testing::WriteBytes(ini, expected = kGames.substr(0, kGames.find("patch=0x10,1")) + "patch=0x10,2\r\n");
  Click(w, "Command2");
  EXPECT_THAT(Said(), ElementsAre(HasSubstr("could not be disabled")));
  EXPECT_EQ(ReadBytes(ini), expected);
  EXPECT_EQ(Entries(w), QStringList({"patch=0x10,2"}));
}

TEST_F(SettingsWindowTest, MessagesAreShownAsPlainTextAndQuoteLongTextsInPart) {
  std::unique_ptr<QMessageBox> box(MakeMessageBox(nullptr, {"The entry \"<b>patch</b>=1\" cannot be switched on.", {}, {}}));
  EXPECT_EQ(box->textFormat(), Qt::PlainText);
  EXPECT_TRUE(box->text().contains("<b>patch</b>=1"));
  const QString huge(1 << 20, 'x');
  const QString text =
      FormatUserMessage(MessageFor("The mapping could not be read.", {ini, "field \"" + huge.toStdString() + "\" is bad"}));
  EXPECT_LT(text.size(), 300);
  EXPECT_TRUE(text.contains("xxx" + QString(QChar(0x2026)) + "\" is bad")) << text.toStdString();
  EXPECT_EQ(ShortenQuotes("a \"b\" c \"" + QString(80, 'd') + "\""), "a \"b\" c \"" + QString(80, 'd') + "\"");
  // Past 80 characters a quote keeps 79 and an ellipsis; a quote left open gains no closing mark.
  EXPECT_EQ(ShortenQuotes("\"" + QString(81, 'd') + "\" \"open"), "\"" + QString(79, 'd') + QChar(0x2026) + "\" \"open");
}

}  // namespace
}  // namespace velox::ui
