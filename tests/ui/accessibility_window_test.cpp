// Every window as a screen reader and a keyboard-only user meet it: the
// accessibility tree that Qt hands to AT-SPI and UI Automation, and each
// dialog's task done, or left, with keys alone.

#include <QAccessible>
#include <functional>
#include <map>

#include "controllers/form2_window.h"
#include "controllers/form4_window.h"
#include "controllers/form8_window.h"
#include "settings/folder_picker_window.h"
#include "settings/form1_window.h"
#include "settings/form5_window.h"
#include "shell/launcher_window.h"
#include "shell/platform.h"
#include "support/window_test.h"
#include "velox_version.h"
#include "video/principal_window.h"

namespace velox::ui {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using testing::ReadBytes;

struct WindowCase {
  const char* window;
  const char* name;                  // accessible name, before " — Velox Configurator v<version>"
  QStringList keys;                  // typed first, so that every label shows data and the check has moved
  QString tabs;                      // what Tab meets from there, round to the start: label>control, box/read-only
  std::map<QString, QString> named;  // control -> what a screen reader calls it
  QStringList choose = {};           // the dialog's task by keys, then left by Escape or done by Alt+O
  const char* file = nullptr;        // what Ok writes
  ::testing::Matcher<std::string> written = {};  // that file afterwards
};

class AccessibilityTest : public testing::WindowTest {
 protected:
  void SetUp() override {
    testing::CopyDemo(app.path());
    fs::create_directories(app / "Roms/Arcade");
    WindowTest::SetUp();
  }
  // The windows by object name, opened as the user opens them (the pickers from the settings dialog).
  QWidget* Open(const QString& name) {
    QWidget* w = Show(name);
    w->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(w)) << name.toStdString();
    return w;
  }
  QWidget* Show(const QString& name) {
    if (name == "Form3") {
      launcher = std::make_unique<Form3Window>(LauncherActions{[] {}, [] {}, [] {}, [] {}, {}});  // every button on
      launcher->show();
      return launcher.get();
    }
    if (name == "principal") return PrincipalWindow::Instance().Show();
    if (name == "Form8") return Form8Window::Instance().Show();
    if (name == "Form2") return Form2Window::Instance().Show();
    if (name == "Form4") return Form4Window::Instance().Show();
    if (name == "Form1") return Form1Window::Instance().Show();
    Form5Window* settings = Form5Window::Instance().Show();
    settings->Text1()->setText(testing::Shown(app / "Roms"));
    if (name == "Form6") settings->Form5_Command1_Click();
    if (name == "Form7") settings->Form5_Command2_Click();
    if (name == "Form6") return Form6Window::Instance().Get();
    if (name == "Form7") return Form7Window::Instance().Get();
    return settings;
  }
  // Keys as a user types them ("Alt+O", "Shift+Tab"), each to whatever has the focus, each done before the next.
  // After a failure the rest are not typed: a table stops at its first failing row.
  static void Type(QWidget* window, const QStringList& keys) {
    const QPointer<QWidget> w(window);
    for (const QString& key : keys) {
      if (HasFatalFailure()) return;
      QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : w.data();
      ASSERT_NE(target, nullptr) << "no window left for " << key.toStdString();
      QTest::keySequence(target, QKeySequence(key));
      ASSERT_TRUE(!w || testing::ClickHeldButtons(w)) << key.toStdString() << " left a button down";
    }
  }
  static QString Focused() { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : "<none>"; }

  testing::CurrentDirectory here{app.path()};
  std::unique_ptr<Form3Window> launcher;
};

// What a screen reader announces for a control: on Linux Qt names a combo box by
// its current text, so its name is that of its buddy label.
QString NameOf(QAccessibleInterface* a) {
  if (a->role() != QAccessible::ComboBox) return a->text(QAccessible::Name);
  for (const auto& [other, relation] : a->relations(QAccessible::Label)) {
    if (qobject_cast<QLabel*>(other->object())) return other->text(QAccessible::Name);
  }
  return {};
}

// Records what a control is known by; two controls known by the same name or key are a failure.
void Once(std::map<QString, QString>& seen, const QString& what, const QString& id) {
  const auto [other, fresh] = seen.emplace(what, id);
  EXPECT_TRUE(fresh) << id.toStdString() << " and " << other->second.toStdString() << " are both \""
                     << what.toStdString() << "\"";
}

void Walk(QAccessibleInterface* a, const std::function<void(QAccessibleInterface*)>& visit) {
  if (!a || a->state().invisible) return;
  visit(a);
  // Rows of lists and the popup of a combo box are values, not controls of their own.
  if (a->role() == QAccessible::ComboBox || a->role() == QAccessible::List || a->role() == QAccessible::Tree) return;
  for (int i = 0; i < a->childCount(); ++i) Walk(a->child(i), visit);
}

const QStringList kButtons = {"Green button", "Left shoulder", "Right shoulder", "Yellow left", "Yellow up",
                              "Yellow right", "Yellow down",   "Blue button",    "Grip trigger", "Centre button",
                              "Pad up",       "Pad left",      "Pad down",       "Pad right"};
const QString kMappingTabs = "Caption2>Combo2 Caption14>Combo14 Caption11>Combo11 Caption12>Combo12 Caption13>Combo13 "
                             "Caption10>Combo10 Caption9>Combo9 Caption1>Combo1 Caption3>Combo3 Caption4>Combo4 "
                             "Caption5>Combo5 Caption6>Combo6 Caption7>Combo7 Caption8>Combo8";
std::map<QString, QString> MappingLists() {
  std::map<QString, QString> named;
  for (int k = 1; k <= 14; ++k) named[QStringLiteral("Combo%1").arg(k)] = kButtons[k - 1];
  return named;
}

const WindowCase kWindows[] = {
    {"Form3", "Main menu", {}, "Command2 Command5 Command4 Command1 Command6 Command3 Text1/read-only",
     {{"Command2", "Configure Video"}, {"Text1", "Installation folder"}}},
    {"principal", "Configure Video", {},
     "Option10 config11 config1 config3 config4 config10_1 config10_0 config5 config6 Label1>comment Command1 Command2",
     {{"config11", "Config: Clide v2.4"}, {"config1", "Config: E-Voodoo v2.0.4"}, {"config3", "Config: GL2IDE rev A3"},
      {"config4", "Config: GL2IDE rev C"}, {"config10_1", "Config: GL2Ideal v1.6"},
      {"config10_0", "Config: MGlide v1.246H"}, {"config5", "Config: Open Glide v0.05"},
      {"config6", "Config: XGL 200 v0.04a"}, {"Option10", "Open Glide v0.05"}, {"Command1", "Ok"}},
     {"Down"}, "Data/glide.cfg", "11\r\n"},
    {"Form8", "Configure Controllers", {"Shift+Tab", "Down"}, "Option6 Command4 Command3",
     {{"Option6", "1 Player - Adaptoid (Rumble Pack)"}, {"Command4", "Cancel"}},
     {"Shift+Tab", "Down"}, "Data/controller.cfg", "6\r\n"},
    {"Form2", "Configure GamePad", {},
     kMappingTabs + (platform::kWindows ? "" : " PadNumbers") +  // only Linux says whose numbers these are
         " ProfileLabel>ProfileList SaveProfile MapAllButton Command1 Command2 Label1>Text111/read-only",
     MappingLists(), {"Down"}, "Data/manette.cfg",
     "128-0|0-4|0-2|64-0|0-0|0-16|32-0|0-0|0-0|16-0|0-0|0-0|0-0|0-0|0-0|0-0\r\n"
     "Bouton 4|Bouton 6|Bouton 6|Bouton 3|---|---|Bouton 2|Bouton 1|Bouton 7|Bouton 10|---|---|---|---\r\n"},
    {"Form4", "Configure Keyboard", {},
     kMappingTabs + " ProfileLabel>ProfileList SaveProfile MapAllButton Command1 Command2", MappingLists()},
    {"Form5", "Configure Velox HLE", {},
     "Label1>Text1 Command1 Label2>Text2 Command2 Label4>Combo1 Label5>Combo2 Check1 Check2 Command3 Command4",
     {{"Text1", "Roms folder"}, {"Command1", "Change Roms folder"}, {"Command2", "Change Saves folder"},
      {"Combo1", "- Screen Resolution :"}, {"Combo2", "- Windowed Resolution :"},
      {"Check1", "Sound emulation: Yes"}, {"Check2", "Sound emulation: No"}},
     {"Alt+C", "Down", "Alt+W", "Up", "Alt+N"}, "velox.ini",
     HasSubstr("resolution=800,600\r\nviewport=640,480\r\nsound=0\r\n")},
    {"Form6", "Roms Folder", {}, "Dir1 DriveLabel>Drive1 Command1 Command2",
     {{"Dir1", "Roms Folder"}, {"Drive1", "Drive :"}}},
    {"Form7", "Saves Folder", {}, "Dir1 DriveLabel>Drive1 Command1 Command2",
     {{"Dir1", "Saves Folder"}, {"Drive1", "Drive :"}}},
    {"Form1", "Configure Patches/Cheats", {"Alt+G", "Down", "Tab", "Tab", "Tab"},
     "List1 Command2 GameLabel>Combo1 Label1>Label3 Label2>Label4",
     {{"Combo1", "Game :"}, {"List1", "Entries of the chosen game"}, {"Command2", "Disable"}}},
};

// Named, readable, reached by Tab in order, no Alt+letter twice; then the dialog's task with keys alone,
// left by Escape (nothing written), then done by Alt+O.
TEST_F(AccessibilityTest, EveryWindowIsNamedReadAndDrivenByKeysAlone) {
  for (const WindowCase& c : kWindows) {
    SCOPED_TRACE(c.window);
    const auto files = testing::Listing(app.path());
    const QPointer<QWidget> w = Open(c.window);
    Type(w, c.keys);
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(w);
    EXPECT_EQ(window->text(QAccessible::Name), QString(c.name) + " \u2014 Velox Configurator v" VELOX_VERSION);
    EXPECT_EQ(w->windowTitle(), "Velox Configurator v" VELOX_VERSION);

    std::map<QString, QString> seen;  // accessible name -> control
    std::map<QString, QString> names;
    Walk(window, [&](QAccessibleInterface* a) {
      QWidget* widget = qobject_cast<QWidget*>(a->object());
      const QString id = widget ? widget->objectName() : QString();
      const QString name = NameOf(a);
      names[id] = name;
      if (auto* label = qobject_cast<QLabel*>(widget); label && !label->text().isEmpty()) {
        // A label's text is what is read; a fixed name would hide it.
        EXPECT_EQ(name, QString(label->text()).remove('&')) << id.toStdString();
      }
      if (auto* combo = qobject_cast<QComboBox*>(widget); combo && combo->count() > 0) {
        EXPECT_EQ(combo->findText(name), -1) << id.toStdString() << ": named by a value, not by what it sets";
      }
      if (auto* view = qobject_cast<QAbstractItemView*>(widget); view && view->currentIndex().isValid()) {
        QStringList selected;
        for (int i = 0; i < a->childCount(); ++i) {
          if (a->child(i)->state().selected) selected << a->child(i)->text(QAccessible::Name);
        }
        EXPECT_EQ(selected, QStringList{view->currentIndex().data().toString()}) << id.toStdString();
      }
      if (!a->state().focusable) return;
      EXPECT_FALSE(name.trimmed().isEmpty()) << id.toStdString() << " has no name";
      Once(seen, name, id);
    });
    for (const auto& [id, name] : c.named) EXPECT_EQ(names[id], name) << id.toStdString();
    QStringList tabs;
    QWidget* const first = QApplication::focusWidget();
    do {
      QString stop = Focused();
      for (const QLabel* label : w->findChildren<QLabel*>()) {
        if (label->buddy() && label->buddy() == QApplication::focusWidget()) stop.prepend(label->objectName() + ">");
      }
      if (const auto* box = qobject_cast<QLineEdit*>(QApplication::focusWidget()); box && box->isReadOnly()) stop += "/read-only";
      tabs << stop;
      Type(w, {"Tab"});
    } while (QApplication::focusWidget() != first && tabs.size() < 40);
    EXPECT_EQ(tabs.join(' '), c.tabs);
    // An Alt+letter shared by two controls would only move between them.
    std::map<QString, QString> keys;
    for (QWidget* child : w->findChildren<QWidget*>()) {
      const auto* label = qobject_cast<QLabel*>(child);
      const auto* button = qobject_cast<QAbstractButton*>(child);
      const QString text = button ? button->text() : label && label->buddy() ? label->text() : QString();
      const QString key = QKeySequence::mnemonic(text).toString();
      if (!key.isEmpty()) Once(keys, key, child->objectName());
    }
    if (c.window == QString("Form3")) continue;  // the launcher is no dialog
    Type(w, c.choose + QStringList{"Escape"});
    EXPECT_TRUE(!w || !w->isVisible()) << "Escape closes";
    EXPECT_EQ(testing::Listing(app.path()), files) << "Escape writes nothing";
    if (!c.file) continue;
    const QPointer<QWidget> again = Open(c.window);
    Type(again, c.choose + QStringList{"Alt+O"});
    EXPECT_TRUE(!again || !again->isVisible()) << "Ok closes";
    EXPECT_THAT(ReadBytes(app / c.file), c.written);
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
  }
}

// Enter (Return, or Enter of the number pad) acts on the button that has the focus: a user who tabs to
// "Cancel" and presses Enter must never get "Ok" instead.
struct EnterCase {
  const char* window;
  const char* option;          // chosen first, if any
  const char* button;          // focused
  const char* after;           // the windows still shown
  const char* told = "";       // part of the one message expected, if any
  bool plain = false;          // the button leaves Enter to the dialog (autoDefault off)
};
const EnterCase kEnter[] = {
    {"Form8", nullptr, "Command4", "", "", true},
    {"Form8", "Option1", "Command1", "Form4 Form8"},
    {"Form5", nullptr, "Command1", "Form5 Form6", "", true},
    {"Form5", nullptr, "Command2", "Form5 Form7"},
    {"Form5", nullptr, "Command4", ""},
    {"principal", "Option3", "config6", "principal", "could not be started"},
    {"Form4", nullptr, "Command2", ""},
    {"Form2", nullptr, "Command2", ""},
    {"Form6", nullptr, "Command2", "Form5"},
};

TEST_F(AccessibilityTest, EnterPressesTheFocusedButtonAndNeverOk) {
  fs::remove(app / "Glide Wrapper/XGL200 v0.04a/Configurator.exe");  // its button then says so
  const auto files = testing::Listing(app.path());
  for (const EnterCase& c : kEnter) {
    for (const auto& [key, modifier] :
         {std::pair{Qt::Key_Return, Qt::NoModifier}, {Qt::Key_Enter, Qt::KeypadModifier}}) {
      SCOPED_TRACE(std::string(c.window) + " " + c.button + (c.plain ? " plain" : "") +
                   (key == Qt::Key_Enter ? " keypad Enter" : " Return"));
      QWidget* w = Open(c.window);
      if (c.option) w->findChild<QRadioButton*>(c.option)->click();
      auto* button = w->findChild<QPushButton*>(c.button);
      ASSERT_TRUE(button && button->isEnabled());
      if (c.plain) button->setAutoDefault(false);
      button->setFocus();
      QTest::keyClick(QApplication::focusWidget(), key, modifier);
      EXPECT_EQ(ShownWindows(), c.after);
      EXPECT_EQ(testing::Listing(app.path()), files) << "nothing is written";
      EXPECT_EQ(messages.size(), *c.told ? 1 : 0) << messages.join('\n').toStdString();
      EXPECT_THAT(messages.join('\n').toStdString(), HasSubstr(c.told));
      messages.clear();
      CloseAll();
    }
  }
}

}  // namespace
}  // namespace velox::ui
