#include "shell/single_instance.h"

#include <gtest/gtest.h>

#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <vector>

#include "shell/platform.h"
#include "support/temp_install.h"
#include "ui/messages.h"

namespace velox::ui {
namespace {

namespace fs = std::filesystem;
constexpr int kBoundMs = 30000;  // a bound on waits for state, never a delay

TEST(SingleInstanceTest, OnePerFolderAnyOtherSpellingAsksTheFirstForwardOtherFoldersRunBeside) {
  testing::TempFolder a, b;
  auto first = std::make_unique<SingleInstance>(a.path());
  QSignalSpy asked(first.get(), &SingleInstance::comeForwardAsked);
  ASSERT_TRUE(first->IsFirst());
  // One folder whatever the path to it: on Windows in any letter case, elsewhere through a link.
  std::vector<fs::path> spellings = {a / "."};
  if (platform::kWindows) {
    spellings.push_back(fs::path(ToQString(a.path()).toUpper().toStdU16String()));
  } else {
    fs::create_directory_symlink(a.path(), b / "link");
    spellings.push_back(b / "link");
  }
  for (const fs::path& spelling : spellings) EXPECT_FALSE(SingleInstance(spelling).IsFirst()) << spelling;
  EXPECT_TRUE(QTest::qWaitFor([&] { return asked.size() == 2; }, kBoundMs));
  EXPECT_TRUE(SingleInstance(b.path()).IsFirst());
  if (!platform::kWindows) {  // where letter case makes another folder
    fs::create_directories(b / "x");
    fs::create_directories(b / "X");
    SingleInstance lower(b / "x");
    EXPECT_TRUE(SingleInstance(b / "X").IsFirst());
  }
  first.reset();
  EXPECT_TRUE(SingleInstance(a.path()).IsFirst()) << "the folder is free once the first has ended";
}

// The program itself, whose folder is the one it is in: killed, it blocks nothing; started again beside a
// configurator of that folder, it asks that one forward and ends.
TEST(SingleInstanceTest, TheProgramKilledBlocksNothingAndStartedAgainEndsAtOnce) {
  const fs::path program = VELOX_CONFIGURATOR_PROGRAM;
  const QString key = InstanceKey(program.parent_path());
  QProcess killed;
  killed.start(ToQString(program), {});
  const auto listening = [&] { QLocalSocket s; s.connectToServer(key); return s.waitForConnected(100); };
  ASSERT_TRUE(QTest::qWaitFor(listening, kBoundMs));
  EXPECT_FALSE(SingleInstance(program.parent_path()).IsFirst());
  killed.kill();
  ASSERT_TRUE(killed.waitForFinished(kBoundMs));

  SingleInstance first(program.parent_path());
  ASSERT_TRUE(first.IsFirst()) << "the lock of a killed configurator does not block";
  QSignalSpy asked(&first, &SingleInstance::comeForwardAsked);
  QProcess second;
  second.start(ToQString(program), {});
  ASSERT_TRUE(second.waitForFinished(kBoundMs));
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return asked.size() == 1; }, kBoundMs));
}

}  // namespace
}  // namespace velox::ui
