#include "shell/install_layout.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "shell/platform.h"
#include "support/temp_install.h"

namespace velox {
namespace {

namespace fs = std::filesystem;

// Windows finds a name in any case itself, so there the path keeps the case it was asked in.
::testing::AssertionResult SamePath(const fs::path& found, const fs::path& expected) {
  const auto fold = [](const fs::path& p) {
    std::u8string text = p.lexically_normal().generic_u8string();
    if (platform::kWindows) {
      for (char8_t& c : text) c = c >= u8'A' && c <= u8'Z' ? static_cast<char8_t>(c - u8'A' + u8'a') : c;
    }
    return text;
  };
  if (fold(found) == fold(expected)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << PathText(found) << " is not " << PathText(expected);
}

TEST(InstallLayout, JoinedPathFindsExistingLevelsWhateverTheirCase) {
  testing::TempFolder app;
  testing::WriteBytes(app / "data/GLIDE.CFG", "13\r\n");
  EXPECT_TRUE(SamePath(JoinedPath(app.path(), "\\Data\\glide.cfg"), app / "data/GLIDE.CFG"));
}

TEST(InstallLayout, MissingLevelsKeepTheirNameAsWritten) {
  testing::TempFolder app;
  fs::create_directory(app / "DATA");
  // The folder is found in its own case; the new file keeps the written one.
  EXPECT_TRUE(SamePath(JoinedPath(app.path(), "\\Data\\manette.cfg"), app / "DATA/manette.cfg"));
  EXPECT_EQ(JoinedPath(app.path(), "\\Nope\\x.cfg"), app / "Nope/x.cfg");
}

TEST(InstallLayout, BothSeparatorsNameFolderLevels) {
  testing::TempFolder app;
  testing::WriteBytes(app / "Glide Wrapper/Clide v2.4/Clide Setup.exe", "");
  const fs::path expected = app / "Glide Wrapper/Clide v2.4/Clide Setup.exe";
  EXPECT_TRUE(SamePath(JoinedPath(app.path(), "\\glide wrapper/clide V2.4\\clide setup.EXE"), expected));
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

TEST(InstallLayout, NamesIgnoringCaseFindsEveryVariant) {
  testing::TempFolder app;
  for (const char* name : {"glide2x.dll", "GLIDE2X.DLL", "Glide2x.Dll", "glide2x.dll.bak", "glide3x.dll"}) {
    testing::WriteBytes(app / name, name);
  }
  // A case-insensitive file system (Windows) holds the first name only.
  std::vector<fs::path> expected = {"GLIDE2X.DLL", "Glide2x.Dll", "glide2x.dll"};
  if (platform::kWindows) expected = {"glide2x.dll"};
  EXPECT_EQ(NamesIgnoringCase(app.path(), "glide2x.dll"), expected);
  EXPECT_EQ(NamesIgnoringCase(app.path(), "Config.ini"), std::vector<fs::path>{});
}

// /proc/self/mounts: device, mount point (blanks as \040), type, options.
TEST(Drives, TheVolumesOfAMountTableComeRootFirstWithoutTheSystemsOwn) {
  const std::string table =
      "/dev/sda2 /home ext4 rw 0 0\n"
      "proc /proc proc rw 0 0\n"
      "sysfs /sys sysfs rw 0 0\n"
      "/dev/sdb1 /media/jos\303\251/Jeux\\040vid\303\251o vfat rw 0 0\n"
      "/dev/sda1 / ext4 rw 0 0\n"
      "tmpfs /run/user/1000 tmpfs rw 0 0\n"
      "tmpfs /tmp tmpfs rw 0 0\n"
      "cgroup2 /mnt/cgroup cgroup2 rw 0 0\n"
      "/dev/sda2 /home ext4 rw 0 0\n"
      "devtmpfs /dev devtmpfs rw 0 0\n";
  const std::vector<fs::path> volumes = platform::VolumesOfMountTable(table);
  EXPECT_EQ(volumes, (std::vector<fs::path>{"/", "/home", PathFromUtf8("/media/jos\u00e9/Jeux vid\u00e9o"), "/tmp"}));
  EXPECT_EQ(platform::VolumeOf("/home/jose/roms", volumes), fs::path("/home"));
  EXPECT_EQ(platform::VolumeOf("/homely", volumes), fs::path("/"));
  EXPECT_EQ(platform::VolumeOf(PathFromUtf8("/media/jos\u00e9/Jeux vid\u00e9o/Roms"), volumes),
            PathFromUtf8("/media/jos\u00e9/Jeux vid\u00e9o"));
}

TEST(Drives, TheSystemsDrivesHoldTheCurrentFolder) {
  const std::vector<fs::path> drives = platform::ListDrives();
  ASSERT_FALSE(drives.empty());
  if (platform::kWindows) {  // "C:", in order of the letters
    for (const fs::path& drive : drives) {
      EXPECT_TRUE(drive.native().size() == 2 && drive.native()[1] == ':') << PathText(drive);
    }
    EXPECT_TRUE(std::is_sorted(drives.begin(), drives.end()));
  } else {
    EXPECT_EQ(drives.front(), fs::path("/"));
  }
  const fs::path here = platform::DriveOf(fs::current_path());
  EXPECT_NE(std::find(drives.begin(), drives.end(), here), drives.end()) << here;
  EXPECT_EQ(platform::DriveOf(platform::FallbackFolder()), platform::kWindows ? fs::path("C:") : fs::path("/"));
  EXPECT_EQ(platform::DriveRoot(platform::kWindows ? "D:" : "/media/usb"),
            platform::kWindows ? fs::path("D:\\") : fs::path("/media/usb"));
}

TEST(InstallLayout, AppFolderCanBeSetForTests) {
  testing::TempFolder app;
  SetAppFolderForTesting(app.path());
  EXPECT_EQ(AppFolder(), app.path());
}

}  // namespace
}  // namespace velox
