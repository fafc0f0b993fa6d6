#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdio>
#include <optional>
#include <string>

#include "controllers/controller_mode.h"
#include "controllers/profile_writer.h"
#include "settings/emulator_ini.h"
#include "shell/install_layout.h"
#include "shell/safe_file.h"
#include "support/kill_loop.h"
#include "support/temp_install.h"
#include "video/video_choice.h"
#include "video/wrapper_catalogue.h"

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

namespace velox {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;

constexpr int kKills = 200;
#if defined(__SANITIZE_ADDRESS__)
// The sanitizers slow every rewrite tenfold; a quarter of the size keeps the run short.
constexpr size_t kSettingsSize = 512 << 10;
#else
constexpr size_t kSettingsSize = 2 << 20;
#endif

// A kill loses nothing that the kernel already holds, so a file system in
// memory catches the same damage as a disk without waiting for every flush.
fs::path FastBase() {
  std::error_code ec;
  return fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
}

// The loop's kills land wherever the child happens to be, which for a large
// file is mostly while it reads and rewrites it in memory. So every third write
// also dies by its own SIGKILL at one step of a replacement (before the
// temporary file is opened, before its bytes are written, before they are
// flushed, before the rename), in the first or the second file that the write
// replaces: the moments when a file could be lost.
void KillItselfAtAStep(int i) {
  if (i % 3 != 0) {
    SetReplaceFaultForTesting(nullptr);
    return;
  }
  static constexpr std::array<std::string_view, 4> kSteps = {"open", "write", "sync", "rename"};
  const std::string_view step = kSteps[(i / 3) % kSteps.size()];
  const int occurrence = (i / 12) % 2 + 1;
  SetReplaceFaultForTesting([step, occurrence, seen = 0](std::string_view at, const fs::path&) mutable {
    if (at == step && ++seen == occurrence) ::raise(SIGKILL);
    return 0;
  });
}

// A real installation whose settings file is large enough (megabytes of
// game sections) that kills land in the middle of its rewrites.
class CrashSafetyInstall : public ::testing::Test {
 protected:
  CrashSafetyInstall() : app(FastBase()) {
    testing::CopyDemo(app.path());
    std::string ini = ReadBytes(app / "velox.ini");
    if (!ini.ends_with("\r\n")) ini += "\r\n";
    for (int g = 0; ini.size() < kSettingsSize; ++g) {
      const std::string n = std::to_string(g);
      ini += "[Generated Game " + n + "]\r\nalttitle=Generated Game " + n + " (Europe)\r\ncomment=Filler section " + n +
             "\r\npatch=0x80021C40,0x" + n + "\r\n// optimize = 1\r\n\r\n";
    }
    testing::WriteBytes(app / "velox.ini", ini);
  }
  void TearDown() override { SetReplaceFaultForTesting(nullptr); }

  // Remembers the first damage seen, for the failure message.
  bool Holds(const fs::path& file, const std::string& a, const std::string& b) {
    const std::string now = ReadBytes(file);
    if (now == a || now == b) return true;
    if (damage.empty()) {
      damage = file.filename().string() + " holds " + (now == "<missing>" ? now : std::to_string(now.size()) + " bytes") +
               " instead of " + std::to_string(a.size()) + " or " + std::to_string(b.size());
    }
    return false;
  }

  // Counts the kills that left a temporary file behind: those that landed
  // between its creation and its rename, in the middle of the write itself.
  void NoteTemporaryFiles(std::initializer_list<fs::path> temps) {
    for (const fs::path& t : temps) {
      if (fs::exists(t)) {
        ++insideWrite;
        return;
      }
    }
  }

  void Report(const char* writer, const testing::KillLoopResult& result) {
    std::printf("%s: %d kills survived (%d of them inside a write)\n", writer, result.kills - result.failures,
                insideWrite);
    EXPECT_EQ(result.kills, kKills) << writer;
    EXPECT_EQ(result.failures, 0) << writer << ": " << damage;
  }

  testing::TempFolder app;
  std::string damage;
  int insideWrite = 0;
};

TEST_F(CrashSafetyInstall, WriteGeneralSettings) {
  const fs::path ini = app / "velox.ini";
  const fs::path temp = app / "-velox-.ini";
  const std::string roms[2] = {"C:\\Velox\\Roms", "D:\\Games\\Console Roms"};
  const auto settings = [&](int i) {
    GeneralSettings s;
    s.rompath = roms[i % 2];
    return s;
  };
  ASSERT_TRUE(WriteGeneralSettings(ini, temp, settings(1)).ok());
  const std::string b = ReadBytes(ini);
  ASSERT_TRUE(WriteGeneralSettings(ini, temp, settings(0)).ok());
  const std::string a = ReadBytes(ini);
  ASSERT_NE(a, b);

  const auto result = testing::RunKillLoop(
      kKills, [&](int i) {
        KillItselfAtAStep(i);
        (void)WriteGeneralSettings(ini, temp, settings(i));
      },
      [&] {
        NoteTemporaryFiles({temp});
        if (!Holds(ini, a, b)) return false;
        const Result<GeneralSettings> read = ReadGeneralSettings(ini);
        return read.ok() && read->rompath && (*read->rompath == roms[0] || *read->rompath == roms[1]);
      });
  Report("WriteGeneralSettings", result);
}

TEST_F(CrashSafetyInstall, SwitchEntry) {
  const fs::path ini = app / "velox.ini";
  const fs::path temp = app / "-velox-.ini";
  const std::string game = "Moonlit Harbor Racer";
  const std::string on = "patch=0x80021C40,0x00000000";
  const std::string off = "//" + on;
  const std::string a = ReadBytes(ini);
  ASSERT_TRUE(SwitchEntry(ini, temp, game, on, false).ok());
  const std::string b = ReadBytes(ini);
  ASSERT_TRUE(SwitchEntry(ini, temp, game, off, true).ok());
  ASSERT_EQ(ReadBytes(ini), a);

  // Even writes switch the entry off, odd ones on; after an interrupted write
  // the next one may find nothing to switch, which writes nothing.
  const auto result = testing::RunKillLoop(
      kKills,
      [&](int i) {
        KillItselfAtAStep(i);
        (void)(i % 2 ? SwitchEntry(ini, temp, game, off, true) : SwitchEntry(ini, temp, game, on, false));
      },
      [&] {
        NoteTemporaryFiles({temp});
        if (!Holds(ini, a, b)) return false;
        const Result<GameSection> read = ReadGame(ini, game);
        if (!read.ok()) return false;
        const auto& e = read->entries;
        return std::count(e.begin(), e.end(), on) + std::count(e.begin(), e.end(), off) == 1;
      });
  Report("SwitchEntry", result);
}

TEST_F(CrashSafetyInstall, ControllerProfile) {
  const fs::path pad = app / "velox.pad";
  const fs::path modeFile = app / "Data/controller.cfg";
  const ControllerMode modes[2] = {ControllerMode::Gamepad, ControllerMode::GamepadKeyboard};
  ASSERT_TRUE(RunControllerOk(app.path(), modes[1]).ok());
  const std::string padB = ReadBytes(pad);
  const std::string modeB = ReadBytes(modeFile);
  ASSERT_TRUE(RunControllerOk(app.path(), modes[0]).ok());
  const std::string padA = ReadBytes(pad);
  const std::string modeA = ReadBytes(modeFile);
  ASSERT_NE(padA, padB);
  ASSERT_EQ(modeA, "2\r\n");
  ASSERT_EQ(modeB, "3\r\n");

  const auto result = testing::RunKillLoop(
      kKills, [&](int i) {
        KillItselfAtAStep(i);
        (void)RunControllerOk(app.path(), modes[i % 2]);
      },
      [&] {
        NoteTemporaryFiles({app / ".velox.pad.velox-new", app / "Data/.controller.cfg.velox-new"});
        return Holds(pad, padA, padB) && Holds(modeFile, modeA, modeB);
      });
  Report("RunControllerOk", result);
}

TEST_F(CrashSafetyInstall, InstallVideoChoice) {
  // Two wrappers with libraries large enough to be caught half copied.
  const int choices[2] = {9, 1};
  std::string libraries[2];
  for (int k = 0; k < 2; ++k) {
    libraries[k] = std::string(1 << 20, static_cast<char>('a' + k));
    testing::WriteBytes(JoinedPath(app.path(), *WrapperCatalogue::ByChoice(choices[k])->librarySource), libraries[k]);
  }
  const testing::CurrentDirectory cd(app.path());
  const fs::path library = app / "glide2x.dll";
  const fs::path choiceFile = app / "Data/glide.cfg";
  ASSERT_TRUE(InstallVideoChoice(app.path(), choices[1]).ok());
  ASSERT_TRUE(InstallVideoChoice(app.path(), choices[0]).ok());
  ASSERT_EQ(ReadBytes(library), libraries[0]);

  const auto result = testing::RunKillLoop(
      kKills, [&](int i) {
        KillItselfAtAStep(i);
        (void)InstallVideoChoice(app.path(), choices[i % 2]);
      },
      [&] {
        NoteTemporaryFiles({app / ".glide2x.dll.velox-new", app / "Data/.glide.cfg.velox-new"});
        const VideoChoice read = ReadVideoChoice(app.path());
        return Holds(library, libraries[0], libraries[1]) && Holds(choiceFile, "9\r\n", "1\r\n") &&
               (read == choices[0] || read == choices[1]);
      });
  Report("InstallVideoChoice", result);
}

}  // namespace
}  // namespace velox
