#include "shell/install_layout.h"

#include <gtest/gtest.h>

#include "support/temp_install.h"

namespace velox {
namespace {

namespace fs = std::filesystem;

TEST(InstallLayout, JoinedPathFindsExistingLevelsWhateverTheirCase) {
  testing::TempFolder app;
  testing::WriteBytes(app / "data/GLIDE.CFG", "13\r\n");
  EXPECT_EQ(JoinedPath(app.path(), "\\Data\\glide.cfg"), app / "data/GLIDE.CFG");
}

TEST(InstallLayout, MissingLevelsKeepTheirNameAsWritten) {
  testing::TempFolder app;
  fs::create_directory(app / "DATA");
  // The folder is found in its own case; the new file keeps the written one.
  EXPECT_EQ(JoinedPath(app.path(), "\\Data\\manette.cfg"), app / "DATA/manette.cfg");
  EXPECT_EQ(JoinedPath(app.path(), "\\Nope\\x.cfg"), app / "Nope/x.cfg");
}

TEST(InstallLayout, BothSeparatorsNameFolderLevels) {
  testing::TempFolder app;
  testing::WriteBytes(app / "Glide Wrapper/Clide v2.4/Clide Setup.exe", "");
  const fs::path expected = app / "Glide Wrapper/Clide v2.4/Clide Setup.exe";
  EXPECT_EQ(JoinedPath(app.path(), "\\glide wrapper/clide V2.4\\clide setup.EXE"), expected);
}

TEST(InstallLayout, ExactNameWinsOverAnotherCase) {
  testing::TempFolder app;
  testing::WriteBytes(app / "velox.ini", "a");
  testing::WriteBytes(app / "VELOX.INI", "b");
  EXPECT_EQ(JoinedPath(app.path(), "\\velox.ini"), app / "velox.ini");
  EXPECT_EQ(JoinedPath(app.path(), "\\VELOX.INI"), app / "VELOX.INI");
}

TEST(InstallLayout, BarePathsFollowTheCurrentDirectoryNotAppFolder) {
  testing::TempFolder app;
  testing::TempFolder elsewhere;
  testing::WriteBytes(app / "velox.pad", "app");
  testing::WriteBytes(elsewhere / "Velox.Pad", "cwd");
  testing::CurrentDirectory cd(elsewhere.path());
  const fs::path bare = BarePath("velox.pad");
  EXPECT_TRUE(bare.is_relative());
  EXPECT_EQ(testing::ReadBytes(bare), "cwd");
  EXPECT_EQ(testing::ReadBytes(JoinedPath(app.path(), "\\velox.pad")), "app");
}

TEST(InstallLayout, AppFolderCanBeSetForTests) {
  testing::TempFolder app;
  SetAppFolderForTesting(app.path());
  EXPECT_EQ(AppFolder(), app.path());
}

}  // namespace
}  // namespace velox
