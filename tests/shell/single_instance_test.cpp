#include "shell/single_instance.h"

#include <gtest/gtest.h>

#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <memory>

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
  const fs::path spelling = platform::kWindows ? fs::path(ToQString(a.path()).toUpper().toStdU16String()) : a / ".";
  EXPECT_FALSE(SingleInstance(spelling).IsFirst());
  EXPECT_TRUE(QTest::qWaitFor([&] { return asked.size() == 1; }, kBoundMs));
  EXPECT_TRUE(SingleInstance(b.path()).IsFirst());
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
