#include "shell/single_instance.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <utility>

#include "shell/platform.h"
#include "support/temp_install.h"
#include "ui/messages.h"

namespace velox::ui {
namespace {

namespace fs = std::filesystem;
constexpr int kBoundMs = 30000;  // a bound on waits for state, never a delay

TEST(SingleInstanceTest, OnePerFolderWhateverItsSpellingOtherFoldersRunBeside) {
  testing::TempFolder a, b;
  const SingleInstance first(a.path());
  ASSERT_TRUE(first.IsFirst());
  // One folder whatever the path to it: on Windows in any letter case, elsewhere through a link.
  if (!platform::kWindows) fs::create_directory_symlink(a.path(), b / "link");
  fs::create_directories(b / "x");
  fs::create_directories(b / "X");
  const SingleInstance lower(b / "x");
  const std::pair<fs::path, bool> folders[] = {
      {a / ".", false},
      {platform::kWindows ? fs::path(ToQString(a.path()).toUpper().toStdU16String()) : b / "link", false},
      {b.path(), true},
      {b / "X", !platform::kWindows},  // another folder only where letter case makes one
  };
  for (const auto& [folder, isFirst] : folders) EXPECT_EQ(SingleInstance(folder).IsFirst(), isFirst) << folder;
  // A temporary folder where no lock can be made is no reason not to start.
  testing::WriteBytes(b / "file", "");
  const testing::ScopedEnvironment temp(platform::kWindows ? "TMP" : "TMPDIR", PathText(b / "file"));
  EXPECT_TRUE(SingleInstance(a.path()).IsFirst());
}

// The program itself, whose folder is the one it is in: killed, it blocks nothing; started again beside a
// configurator of that folder, it asks that one forward and ends.
TEST(SingleInstanceTest, TheProgramKilledBlocksNothingAndStartedAgainEndsAtOnce) {
  const fs::path program = VELOX_CONFIGURATOR_PROGRAM;
  const QString key = InstanceKey(program.parent_path());
  // Killed once it holds the lock and listens: on POSIX it then leaves its socket file behind too.
  const fs::path temp = QDir::tempPath().toStdU16String();
  const fs::path lock = temp / (key + ".lock").toStdU16String(), socket = temp / key.toStdU16String();
  fs::remove(lock);  // one a crashed run left
  QProcess killed;
  killed.start(ToQString(program), {});
  const auto listening = [&] { return fs::exists(lock) && (platform::kWindows || fs::exists(socket)); };
  ASSERT_TRUE(testing::WaitForFolder(temp, listening));
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
  EXPECT_TRUE(asked.size() == 1 || asked.wait(kBoundMs));
}

}  // namespace
}  // namespace velox::ui
