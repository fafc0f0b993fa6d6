#include "shell/program_start.h"

#include <gtest/gtest.h>

#include "shell/install_layout.h"
#include "shell/platform.h"
#include "support/temp_install.h"

namespace velox {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

// The smallest file that passes for a Windows program: the DOS header, whose
// field at 0x3C points to the PE signature right after it.
const std::string kPe = "MZ" + std::string(0x3A, '\0') + "\x40\0\0\0"s + "PE\0\0"s + std::string(16, '\0');

// Blanks and other letters need no shell; Windows allows no quote in a name, elsewhere it must pass untouched too.
// Elsewhere a "#!" script starts as well.
TEST(ProgramStart, StartsAProgramByItsBareNameInTheCurrentDirectory) {
  const std::string odd = platform::kWindows ? "Clide 'Setup' \u00e9\u30d3.exe" : "Clide \"Setup\" \u00e9\u30d3.exe";
  for (const std::string& name : {"VELOX.exe"s, "Glide Wrapper/Clide v2.4/" + odd, "setup.sh"s}) {
    if (name == "setup.sh" && platform::kWindows) continue;
    testing::TempFolder dir;
    fs::create_directories((dir.path() / PathFromUtf8(name)).parent_path());
    if (name == "setup.sh") {
      testing::WriteBytes(dir / name, "#!/bin/sh\necho started > started-setup.sh.txt\n");
      fs::permissions(dir / name, fs::perms::owner_all);
    } else {
      fs::copy_file(testing::MarkerProgram(), dir.path() / PathFromUtf8(name));
    }
    testing::CurrentDirectory cd(dir.path());
    ASSERT_TRUE(StartProgram(BarePath(name)).ok()) << name;
    const std::string marker = "started-" + PathText(PathFromUtf8(name).filename()) + ".txt";
    EXPECT_EQ(testing::ReadMarker(dir.path() / PathFromUtf8(marker)), "started\n");
  }
}

// What cannot start is refused before anything starts, so the caller can say so and stay.
TEST(ProgramStart, RefusesWhatIsNoWindowsProgramOrIsMissing) {
  const struct {
    const char* name;
    std::optional<std::string> bytes;  // none: a folder
    const char* cause;
    bool posixOnly = false;
  } cases[] = {
      {"empty", "", "is empty, not a Windows program"},
      {"text", "@echo off\r\nvelox\r\n", "is not a Windows program"},
      {"no DOS header", "ZM" + kPe.substr(2), "is not a Windows program"},
      {"DOS header only", kPe.substr(0, 0x40), "is not a Windows program"},
      {"signature elsewhere", kPe.substr(0, 0x3C) + "\x48\0\0\0"s + kPe.substr(0x40), "is not a Windows program"},
      {"wrong signature", kPe.substr(0, 0x40) + "PX\0\0"s, "is not a Windows program"},
      {"signature past the end", kPe.substr(0, 0x3C) + "\0\0\0\1"s + kPe.substr(0x40), "is not a Windows program"},
      {"folder", std::nullopt, "is a folder, not a program"},
      {"no wine", kPe, "is a Windows program and wine is not installed", true},
  };
  testing::TempFolder dir;
  testing::CurrentDirectory cd(dir.path());
  Status s = StartProgram(BarePath("VELOX.exe"));
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.error().file, dir / "VELOX.exe");
  EXPECT_EQ(s.error().cause, "no such program");
  for (const auto& c : cases) {
    if (c.posixOnly && platform::kWindows) continue;
    testing::ScopedEnvironment path("PATH", PathText(c.posixOnly ? dir / "nowhere" : testing::FakeWine().parent_path()));
    fs::remove_all(dir / "VELOX.exe");
    if (c.bytes) {
      testing::WriteBytes(dir / "VELOX.exe", *c.bytes);
    } else {
      fs::create_directory(dir / "VELOX.exe");
    }
    s = StartProgram(BarePath("VELOX.exe"));
    ASSERT_FALSE(s.ok()) << c.name;
    EXPECT_EQ(s.error().cause, c.cause) << c.name;
  }
  if (platform::kWindows) return;
  testing::WriteBytes(dir / "notes.txt", "text");
  EXPECT_EQ(StartProgram(BarePath("notes.txt")).error().cause, "is not a program that can be started");
}

// Whatever the case of its name; wine is found on PATH past a "wine" that cannot run, and in an empty
// entry, which is the current directory.
TEST(ProgramStart, AWindowsProgramGoesThroughWineWhateverTheCaseOfItsName) {
  if (platform::kWindows) GTEST_SKIP() << "Windows starts its programs itself";
  testing::TempFolder notRunnable;
  testing::WriteBytes(notRunnable / "wine", "#!/bin/sh\n");  // not marked executable
  const std::string wine = PathText(testing::FakeWine().parent_path());
  const std::pair<const char*, std::string> cases[] = {
      {"VELOX.exe", wine}, {"VELOX.EXE", wine}, {"Velox.Exe", wine}, {".exe", wine},
      {"VELOX.exe", PathText(notRunnable.path()) + ":" + wine},
      {"VELOX.exe", PathText(notRunnable / "none") + ":"},
  };
  for (const auto& [name, path] : cases) {
    testing::TempFolder dir;
    testing::WriteBytes(dir / name, kPe);
    if (path.ends_with(":")) fs::copy_file(testing::FakeWine(), dir / "wine");
    testing::CurrentDirectory cd(dir.path());
    testing::ScopedEnvironment scoped("PATH", path);
    ASSERT_TRUE(StartProgram(BarePath(name)).ok()) << name << " with PATH=" << path;
    EXPECT_EQ(testing::ReadMarker(dir / "ran-by-wine.txt"), "./" + std::string(name) + "\n");
  }
}

TEST(DefaultProgram, OpensADocumentOrSaysWhyNot) {
  testing::TempFolder dir, bin;
  testing::CurrentDirectory cd(dir.path());
  Status s = platform::OpenWithDefaultProgram(BarePath("Veloxhlp.hlp"));
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.error().file, dir / "Veloxhlp.hlp");
  EXPECT_EQ(s.error().cause, "no such file");
  if (platform::kWindows) return;  // what Wine's shell would start for it is not ours to test
  testing::WriteBytes(dir / "Veloxhlp.hlp", "help");
  testing::ScopedEnvironment path("PATH", PathText(bin.path()));
  EXPECT_EQ(platform::OpenWithDefaultProgram(BarePath("Veloxhlp.hlp")).error().cause, "no program is set to open it");
  testing::WriteBytes(bin / "xdg-open", "#!/bin/sh\necho \"$1\" > opened.txt\n");
  fs::permissions(bin / "xdg-open", fs::perms::owner_all);
  ASSERT_TRUE(platform::OpenWithDefaultProgram(BarePath("Veloxhlp.hlp")).ok());
  EXPECT_EQ(testing::ReadMarker(dir / "opened.txt"), PathText(dir / "Veloxhlp.hlp") + "\n");
}

}  // namespace
}  // namespace velox
