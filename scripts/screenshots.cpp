// Saves a picture of every window, opened on a copy of the demo installation,
// into the folder given as the only argument (scripts/screenshots.sh runs it).

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <filesystem>

#include "controllers/form2_window.h"
#include "controllers/form4_window.h"
#include "controllers/form8_window.h"
#include "settings/folder_picker_window.h"
#include "settings/form1_window.h"
#include "settings/form5_window.h"
#include "shell/install_layout.h"
#include "shell/launcher_window.h"
#include "ui/messages.h"
#include "ui/text_box_font.h"
#include "video/principal_window.h"

namespace fs = std::filesystem;
using namespace velox::ui;

namespace {

int failures = 0;

void Save(QWidget* window, const QString& folder, const QString& name) {
  window->adjustSize();
  if (!window->grab().save(QDir(folder).filePath(name + ".png"))) {
    std::fprintf(stderr, "could not save %s\n", qPrintable(name));
    ++failures;
  }
}

template <class T>
T* Child(QWidget* window, const char* name) {
  return window->findChild<T*>(name);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <folder for the pictures>\n", argv[0]);
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  EnsureReadableTextBoxes();
  SetMessageSinkForTesting([](const QString&, const QString& text) { std::fprintf(stderr, "%s\n", qPrintable(text)); });
  QTemporaryDir install;
  const fs::path root = fs::path(install.path().toStdU16String());
  fs::copy(VELOX_DEMO_DIR, root, fs::copy_options::recursive);
  for (const char* folder : {"Roms/Arcade", "Roms/Puzzle", "Roms/Racing", "Roms/Sports"}) {
    fs::create_directories(root / folder);
  }
  velox::SetAppFolderForTesting(root);
  fs::current_path(root);

  LauncherActions actions;
  actions.showVideo = [] {};
  actions.showControllers = [] {};
  actions.showSettings = [] {};
  actions.showPatches = [] {};
  Form3Window launcher(actions);
  launcher.show();
  Save(&launcher, out, "Form3");

  Save(PrincipalWindow::Instance().Show(), out, "principal");

  Form5Window* settings = Form5Window::Instance().Show();
  Child<QLineEdit>(settings, "Text1")->setText(QString::fromStdU16String((root / "Roms").u16string()));
  Child<QAbstractButton>(settings, "Command1")->click();
  Child<QAbstractButton>(settings, "Command2")->click();
  Child<QLineEdit>(settings, "Text1")->setText("C:\\Velox\\Roms");
  Save(settings, out, "Form5");
  Save(Form6Window::Instance().Get(), out, "Form6");
  Save(Form7Window::Instance().Get(), out, "Form7");

  Form1Window* editor = Form1Window::Instance().Show();
  // Picked with the keyboard, as a user does: that is what fills the list.
  Child<QComboBox>(editor, "Combo1")->setCurrentIndex(0);
  QTest::keyClick(Child<QComboBox>(editor, "Combo1"), Qt::Key_Down);
  Child<QListWidget>(editor, "List1")->setCurrentRow(1);
  Save(editor, out, "Form1");

  for (QWidget* window : std::initializer_list<QWidget*>{Form8Window::Instance().Show(), Form4Window::Instance().Show(),
                                                          Form2Window::Instance().Show()}) {
    Save(window, out, window->objectName());
  }
  // The keyboard dialog during a walk: one key chosen, one refused.
  Form4Window* keys = Form4Window::Instance().Get();
  keys->activateWindow();
  if (!QTest::qWaitForWindowActive(keys)) std::fprintf(stderr, "the keyboard dialog never became active\n");
  Child<QAbstractButton>(keys, "MapAllButton")->click();
  for (Qt::Key key : {Qt::Key_Q, Qt::Key_T, Qt::Key_F1}) {
    QTest::keyClick(keys->focusWidget() ? keys->focusWidget() : keys, key);
  }
  Save(keys, out, "Form4-walk");
  return failures == 0 ? 0 : 1;
}
