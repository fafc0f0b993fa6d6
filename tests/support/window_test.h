#pragma once
// What every window test uses: a fixture, paths as the windows show them,
// readable QString failures.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTest>
#include <QtWidgets>
#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "shell/install_layout.h"
#include "support/temp_install.h"
#include "ui/messages.h"

// GoogleTest prints a QString that differs as text, not as UTF-16 code units.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace velox::testing {

// A folder of its own as AppFolder (the earlier one back afterwards, never a deleted
// folder); messages to the user collected instead of shown; every window closed and
// dropped after the test, so the next opens afresh.
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetAppFolderForTesting(app.path());
    ui::SetMessageSinkForTesting([this](const QString& title, const QString& text) {
      titles << title;
      messages << text;
    });
    ui::SetQuestionAnswererForTesting([this](const QString& question) {
      messages << question;
      return answers.isEmpty() ? QString() : answers.takeFirst();
    });
  }
  void TearDown() override {
    CloseAll();
    ui::SetMessageSinkForTesting(nullptr);
    ui::SetQuestionAnswererForTesting(nullptr);
    SetAppFolderForTesting(earlierAppFolder);
  }
  static void CloseAll() {
    for (QWidget* w : QApplication::topLevelWidgets()) w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  // The windows shown, by object name, in alphabetical order.
  static QString ShownWindows() {
    QStringList shown;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->isVisible()) shown << w->objectName();
    }
    shown.sort();
    return shown.join(' ');
  }
  // The messages as UTF-8, for gmock's matchers.
  std::vector<std::string> Said() const {
    std::vector<std::string> out;
    for (const QString& m : messages) out.push_back(m.toStdString());
    return out;
  }
  const std::filesystem::path earlierAppFolder = AppFolder();
  TempFolder app;
  QStringList titles;
  QStringList messages;  // questions asked too
  QStringList answers;   // to the questions, in turn; then No or Cancel
};

// A path as a window shows it: every letter kept, in the system's own separators.
inline QString Shown(std::filesystem::path path) { return QString::fromStdU16String(path.make_preferred().u16string()); }

// A mnemonic holds its button down and clicks it from a 100 ms timer, which a loaded Wine (beside another test
// program) was seen to hold back for good: the click is delivered here, at once. False when a button stays down.
inline bool ClickHeldButtons(QWidget* window) {
  const QPointer<QWidget> w(window);
  QCoreApplication::sendPostedEvents();  // a window closed by the key may go here
  for (QAbstractButton* b : w ? w->findChildren<QAbstractButton*>() : QList<QAbstractButton*>()) {
    const auto timers = QAbstractEventDispatcher::instance()->registeredTimers(b);
    if (!b->isDown() || timers.size() != 1) continue;
    QTimerEvent due(timers[0].timerId);
    QCoreApplication::sendEvent(b, &due);
    break;
  }
  return !w || std::ranges::none_of(w->findChildren<QAbstractButton*>(), &QAbstractButton::isDown);
}

// What a Windows program (native, or under Wine) sees as this folder's name.
inline std::string WindowsName(const std::filesystem::path& folder) {
#ifdef _WIN32
  const std::u8string text = folder.u8string();
#else
  // Wine shows the Linux file system as drive Z:.
  std::u8string text = u8"Z:" + folder.u8string();
  for (char8_t& c : text) c = c == u8'/' ? u8'\\' : c;
#endif
  return std::string(text.begin(), text.end());
}

}  // namespace velox::testing
