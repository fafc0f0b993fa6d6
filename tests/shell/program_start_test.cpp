#include "shell/program_start.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "shell/install_layout.h"
#include "support/temp_install.h"

namespace velox {
namespace {

namespace fs = std::filesystem;

class ScopedPath {
 public:
  explicit ScopedPath(const std::string& value) : old_(std::getenv("PATH") ? std::getenv("PATH") : "") {
    ::setenv("PATH", value.c_str(), 1);
  }
  ~ScopedPath() { ::setenv("PATH", old_.c_str(), 1); }

 private:
  std::string old_;
};

TEST(ProgramStart, StartsANativeProgramByItsBareNameInTheCurrentDirectory) {
  testing::TempFolder dir;
  fs::copy_file(testing::MarkerProgram(), dir / "VELOX.exe");
  testing::CurrentDirectory cd(dir.path());
  testing::MarkerPipe marker(dir / "started-VELOX.exe.txt");
  ASSERT_TRUE(StartProgram(BarePath("VELOX.exe")).ok());
  EXPECT_EQ(marker.Read(), "started\n");
}

TEST(ProgramStart, NamesWithBlanksAndQuotesNeedNoShell) {
  testing::TempFolder dir;
  fs::create_directories(dir / "Glide Wrapper/Clide v2.4");
  fs::copy_file(testing::MarkerProgram(), dir / "Glide Wrapper/Clide v2.4/Clide \"Setup\".exe");
  testing::CurrentDirectory cd(dir.path());
  testing::MarkerPipe marker(dir / "started-Clide \"Setup\".exe.txt");
  ASSERT_TRUE(StartProgram(BarePath("Glide Wrapper/Clide v2.4/Clide \"Setup\".exe")).ok());
  EXPECT_EQ(marker.Read(), "started\n");
}

TEST(ProgramStart, AWindowsProgramGoesThroughWine) {
  testing::TempFolder dir;
  testing::TempFolder bin;
  // A stand-in wine that records what it was asked to run.
  testing::WriteBytes(bin / "wine", "#!/bin/sh\necho \"$1\" > ran-by-wine.txt\n");
  fs::permissions(bin / "wine", fs::perms::owner_all);
  testing::WriteBytes(dir / "VELOX.exe", "MZ placeholder");
  testing::CurrentDirectory cd(dir.path());
  ScopedPath path(bin.path().string());
  testing::MarkerPipe marker(dir / "ran-by-wine.txt");
  ASSERT_TRUE(StartProgram(BarePath("VELOX.exe")).ok());
  EXPECT_EQ(marker.Read(), "./VELOX.exe\n");
}

TEST(ProgramStart, ReportsWhatIsMissing) {
  testing::TempFolder dir;
  testing::CurrentDirectory cd(dir.path());
  Status s = StartProgram(BarePath("VELOX.exe"));
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.error().file, dir / "VELOX.exe");
  EXPECT_EQ(s.error().cause, "no such program");

  testing::WriteBytes(dir / "VELOX.exe", "MZ placeholder");
  ScopedPath path(dir.path().string() + "/nowhere");
  s = StartProgram(BarePath("VELOX.exe"));
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.error().cause, "is a Windows program and wine is not installed");

  testing::WriteBytes(dir / "notes.txt", "text");
  s = StartProgram(BarePath("notes.txt"));
  ASSERT_FALSE(s.ok());
}

}  // namespace
}  // namespace velox
