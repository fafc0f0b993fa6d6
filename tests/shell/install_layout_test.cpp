#include "shell/install_layout.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "shell/platform.h"
#include "support/temp_install.h"

namespace velox {
namespace {

namespace fs = std::filesystem;

// Windows finds a name in any case itself, so there the path keeps the case it was asked in.
fs::path Folded(const fs::path& p) {
  std::u8string text = p.lexically_normal().generic_u8string();
  if (platform::kWindows) for (char8_t& c : text) c = c >= u8'A' && c <= u8'Z' ? static_cast<char8_t>(c + 32) : c;
  return fs::path(text);
}

TEST(InstallLayout, JoinedPathFindsEachExistingLevelInAnyCaseAndKeepsMissingOnesAsWritten) {
  testing::TempFolder app;
  for (const char* file : {"data/GLIDE.CFG", "Glide Wrapper/Clide v2.4/Clide Setup.exe", "velox.ini", "VELOX.INI"})
    testing::WriteBytes(app / file, file);
  const struct { const char *asked, *found; } cases[] = {
      {"\\Data\\glide.cfg", "data/GLIDE.CFG"},
      {"\\Data\\manette.cfg", "data/manette.cfg"},
      {"\\Nope\\x.cfg", "Nope/x.cfg"},
      {"\\glide wrapper/clide V2.4\\clide setup.EXE", "Glide Wrapper/Clide v2.4/Clide Setup.exe"},
      {"\\velox.ini", "velox.ini"},  // the exact name wins over another case
      {"\\VELOX.INI", "VELOX.INI"},
  };
  for (const auto& c : cases) EXPECT_EQ(Folded(JoinedPath(app.path(), c.asked)), Folded(app / c.found)) << c.asked;
}

TEST(InstallLayout, NamesIgnoringCaseFindsEveryVariant) {
  testing::TempFolder app;
  for (const char* name : {"glide2x.dll", "GLIDE2X.DLL", "Glide2x.Dll", "glide2x.dll.bak", "glide3x.dll"})
    testing::WriteBytes(app / name, name);
  // A case-insensitive file system (Windows) holds the first name only.
  using Names = std::vector<fs::path>;
  EXPECT_EQ(NamesIgnoringCase(app.path(), "glide2x.dll"),
            (platform::kWindows ? Names{"glide2x.dll"} : Names{"GLIDE2X.DLL", "Glide2x.Dll", "glide2x.dll"}));
  EXPECT_EQ(NamesIgnoringCase(app.path(), "Config.ini"), Names{});
}

// /proc/self/mounts: device, mount point (blanks as \040), type, options.
TEST(Drives, TheVolumesOfAMountTableComeRootFirstWithoutTheSystemsOwn) {
  const std::string table =
      "/dev/sda2 /home ext4 rw 0 0\nproc /proc proc rw 0 0\nsysfs /sys sysfs rw 0 0\n"
      "/dev/sdb1 /media/jos\303\251/Jeux\\040vid\303\251o vfat rw 0 0\n/dev/sda1 / ext4 rw 0 0\n"
      "tmpfs /run/user/1000 tmpfs rw 0 0\ntmpfs /tmp tmpfs rw 0 0\ncgroup2 /mnt/cgroup cgroup2 rw 0 0\n"
      "/dev/sdc1 /mnt/a\\134b vfat rw 0 0\n"
      "/dev/sda2 /home ext4 rw 0 0\ndevtmpfs /dev devtmpfs rw 0 0\n";
  const fs::path jeux = PathFromUtf8("/media/jos\u00e9/Jeux vid\u00e9o");
  const std::vector<fs::path> volumes = platform::VolumesOfMountTable(table);
  EXPECT_EQ(volumes, (std::vector<fs::path>{"/", "/home", jeux, "/mnt/a\\b", "/tmp"}));
  EXPECT_EQ(platform::VolumeOf("/home/jose/roms", volumes), fs::path("/home"));
  EXPECT_EQ(platform::VolumeOf("/homely", volumes), fs::path("/"));
  EXPECT_EQ(platform::VolumeOf(jeux / "Roms", volumes), jeux);
}

TEST(Drives, TheSystemsDrivesHoldTheCurrentFolder) {
  const std::vector<fs::path> drives = platform::ListDrives();
  ASSERT_FALSE(drives.empty());
  if (platform::kWindows) {  // "C:", in order of the letters
    for (const fs::path& d : drives) EXPECT_TRUE(d.native().size() == 2 && d.native()[1] == ':') << PathText(d);
    EXPECT_TRUE(std::is_sorted(drives.begin(), drives.end()));
  } else {
    EXPECT_EQ(drives.front(), fs::path("/"));
  }
  EXPECT_NE(std::find(drives.begin(), drives.end(), platform::DriveOf(fs::current_path())), drives.end());
  EXPECT_EQ(platform::DriveOf(platform::FallbackFolder()), platform::kWindows ? fs::path("C:") : fs::path("/"));
  EXPECT_EQ(platform::DriveRoot(platform::kWindows ? "D:" : "/media/usb"),
            platform::kWindows ? fs::path("D:\\") : fs::path("/media/usb"));
}

}  // namespace
}  // namespace velox
