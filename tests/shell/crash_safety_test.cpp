#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "controllers/controller_mode.h"
#include "controllers/profile_writer.h"
#include "settings/emulator_ini.h"
#include "shell/platform.h"
#include "shell/install_layout.h"
#include "support/file_call_spy.h"
#include "support/kill_loop.h"
#include "support/temp_install.h"
#include "video/video_choice.h"
#include "video/wrapper_catalogue.h"

namespace velox {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using P = const fs::path&;

// Each kill starts a process, which costs far more under Wine than a fork does.
constexpr int kKills = platform::kWindows ? 24 : 200;
#if defined(__SANITIZE_ADDRESS__)
constexpr size_t kSettingsSize = 512 << 10;  // the sanitizers slow every rewrite tenfold
#else
constexpr size_t kSettingsSize = 2 << 20;
#endif
const std::string kGame = "Moonlit Harbor Racer", kOn = "patch=0x80021C40,0x00000000";
const int kChoices[2] = {9, 1};

// Random kills mostly land while a large file is built in memory, so every third write also kills
// itself at one step of its first or second replacement: the moments when a file could be lost.
void KillItselfAtAStep(testing::FileCallSpy& spy, int i) {
  static constexpr std::string_view kSteps[] = {"create", "write", "flush", "replace"};
  spy.before = [i, seen = 0](std::string_view at, const fs::path&) mutable {
    if (i % 3 == 0 && at == kSteps[(i / 3) % 4] && ++seen == (i / 12) % 2 + 1) testing::KillThisProcess();
    return 0;
  };
}

struct Writer {
  const char* name;
  std::vector<const char*> files;  // what write(i) replaces, alternating between two contents
  std::function<void(P app, int i)> write;
  std::function<bool(P app)> reads;
  bool safe = true;  // false: the loop must catch it damaging a file
};
void PrintTo(const Writer& w, std::ostream* os) { *os << w.name; }

const Writer kWriters[] = {
    {"WriteGeneralSettings", {"velox.ini"},
     [](P app, int i) {
       GeneralSettings s;
       s.rompath = i % 2 ? "D:\\Roms" : "C:\\Velox\\Roms";
       (void)WriteGeneralSettings(app / "velox.ini", app / "-velox-.ini", s);
     },
     [](P app) { return ReadGeneralSettings(app / "velox.ini").ok(); }},
    {"SwitchEntry", {"velox.ini"},  // odd writes switch the entry on, even ones off
     [](P app, int i) { (void)SwitchEntry(app / "velox.ini", app / "-velox-.ini", kGame, i % 2 ? "//" + kOn : kOn, i % 2); },
     [](P app) { return ReadGame(app / "velox.ini", kGame).ok(); }},
    {"RunControllerOk", {"velox.pad", "Data/controller.cfg"},  // modes 2 and 3
     [](P app, int i) { (void)RunControllerOk(app, static_cast<ControllerMode>(2 + i % 2)); },
     [](P app) { return ReadControllerMode(app).has_value(); }},
    {"InstallVideoChoice", {"glide2x.dll", "Data/glide.cfg"},
     [](P app, int i) { (void)InstallVideoChoice(app, kChoices[i % 2]); },
     [](P app) { return ReadVideoChoice(app).has_value(); }},
    {"InPlaceWriter", {"velox.ini"},  // empties the file, then fills it part by part, each on disk
     [](P app, int i) {
       const std::string bytes(kSettingsSize, static_cast<char>('a' + i % 2));
       platform::FileCalls& os = platform::Files();  // so that it too is killed at a step now and then
       platform::NativeFile f = 0;
       (void)os.Remove(app / "velox.ini");
       if (os.CreateNew(app / "velox.ini", -1, f) != 0) return;
       for (size_t at = 0, n = 0; at < bytes.size(); at += 1 << 16) {
         (void)os.Write(f, &bytes[at], 1 << 16, n);
         (void)os.FlushToDisk(f);
       }
       (void)os.Close(f);
     },
     [](P) { return true; }, false},
};

class CrashSafety : public ::testing::TestWithParam<Writer> {};

// An installation in memory (a kill loses nothing the kernel holds) with a settings file of
// megabytes and two wrapper libraries of a megabyte, so that kills land inside their rewrites.
TEST_P(CrashSafety, EveryKillLeavesEachFileOldOrNewAndReadable) {
  const Writer& w = GetParam();
  testing::FileCallSpy spy;
  const auto write = [&](P app, int i) {
    KillItselfAtAStep(spy, i);
    w.write(app, i);
  };
  if (const std::optional<testing::KillLoopChild> child = testing::ThisIsAKillLoopChild()) {
    testing::RunKillLoopChild(*child, [&](int i) { write(child->folder, i); });
  }
  testing::TempFolder app(!platform::kWindows && fs::is_directory("/dev/shm") ? fs::path("/dev/shm")
                                                                            : fs::temp_directory_path());
  testing::CopyDemo(app.path());
  std::string ini = ReadBytes(app / "velox.ini");
  for (int g = 0; ini.size() < kSettingsSize; ++g) ini += "\r\n[Game " + std::to_string(g) + "]\r\npatch=0x8002,1\r\n";
  testing::WriteBytes(app / "velox.ini", ini);
  for (const int c : kChoices) {
    const fs::path library = JoinedPath(app.path(), *WrapperCatalogue::ByChoice(c)->librarySource);
    testing::WriteBytes(library, std::string(1 << 20, static_cast<char>('a' + c)));
  }
  const testing::CurrentDirectory cd(app.path());
  std::vector<std::array<std::string, 2>> contents(w.files.size());
  for (const int i : {1, 0}) {
    w.write(app.path(), i);
    for (size_t f = 0; f < w.files.size(); ++f) contents[f][i] = ReadBytes(app / w.files[f]);
  }
  for (const auto& c : contents) ASSERT_NE(c[0], c[1]);

  const auto result = testing::RunKillLoop(kKills, app.path(), [&](int i) { write(app.path(), i); }, [&] {
    for (size_t f = 0; f < w.files.size(); ++f) {
      const std::string now = ReadBytes(app / w.files[f]);
      if (now != contents[f][0] && now != contents[f][1]) return false;
    }
    return w.reads(app.path());
  });
  std::printf("%s: %d kills survived, %d damaged\n", w.name, result.kills - result.failures, result.failures);
  EXPECT_EQ(result.kills, kKills);
  EXPECT_EQ(result.failures == 0, w.safe) << result.failures << " kills damaged a file";
}

INSTANTIATE_TEST_SUITE_P(Writers, CrashSafety, ::testing::ValuesIn(kWriters),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velox
