#include <gtest/gtest.h>

#include <cstdio>

#include "shell/safe_file.h"
#include "support/kill_loop.h"
#include "support/temp_install.h"

namespace velox {
namespace {

TEST(CrashSafety, AKilledReplacementLeavesTheOldOrTheNewFile) {
  testing::TempFolder dir;
  const auto target = dir / "velox.ini";
  // Large enough that a kill often lands in the middle of the write.
  const std::string a(2 << 20, 'a');
  const std::string b(1 << 20, 'b');
  testing::WriteBytes(target, a);
  const auto result = testing::RunKillLoop(
      200, [&](int i) { (void)ReplaceFile(target, i % 2 ? b : a, dir / "-velox-.ini"); },
      [&] {
        const std::string now = testing::ReadBytes(target);
        return now == a || now == b;
      });
  std::printf("ReplaceFile: %d kills survived, %d damaged\n", result.kills - result.failures, result.failures);
  EXPECT_EQ(result.kills, 200);
  EXPECT_EQ(result.failures, 0);
}

}  // namespace
}  // namespace velox

namespace velox {
namespace {

// The loop must really interrupt writes: a writer that truncates the file in
// place and then fills it is caught leaving a damaged file.
TEST(CrashSafety, TheKillLoopCatchesAWriterThatWritesInPlace) {
  testing::TempFolder dir;
  const auto target = dir / "velox.ini";
  const std::string a(2 << 20, 'a');
  const std::string b(1 << 20, 'b');
  testing::WriteBytes(target, a);
  const auto result = testing::RunKillLoop(
      50,
      [&](int i) {
        const std::string& bytes = i % 2 ? b : a;
        if (std::FILE* f = std::fopen(target.c_str(), "wb")) {
          for (size_t at = 0; at < bytes.size(); at += 4096) std::fwrite(bytes.data() + at, 1, 4096, f), std::fflush(f);
          std::fclose(f);
        }
      },
      [&] {
        const std::string now = testing::ReadBytes(target);
        return now == a || now == b;
      });
  EXPECT_GT(result.failures, 0);
}

}  // namespace
}  // namespace velox
