#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "controllers/controller_mode.h"
#include "controllers/profile_writer.h"
#include "settings/emulator_ini.h"
#include "shell/install_layout.h"
#include "shell/platform.h"
#include "support/file_call_spy.h"
#include "support/temp_install.h"
#include "video/video_choice.h"
#include "video/wrapper_catalogue.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace velox {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using P = const fs::path&;
using Rewrite = std::function<void(int i)>;

constexpr const char* kChildVariable = "VELOX_KILL_LOOP_CHILD";  // "<first rewrite> <whole ones>"

// Ends the process at once, as a power cut would: nothing is flushed, no destructor runs.
[[noreturn]] void KillThisProcess() {
#ifdef _WIN32
  TerminateProcess(GetCurrentProcess(), 137);
#else
  ::raise(SIGKILL);
#endif
  std::_Exit(137);
}

// In a child process: rewrites start, start + 1, ... and, once wholeOnes of them are done, another
// thread kills the process inside the next one, wherever it has got to, without any timed wait.
[[noreturn]] void RewriteUntilKilled(const Rewrite& rewrite, int start, int wholeOnes) {
  std::atomic<int> done = 0;
  std::thread killer([&] {
    for (int seen = done; seen < wholeOnes; seen = done) done.wait(seen);
    KillThisProcess();
  });
  for (int i = start;; ++i) {
    rewrite(i);
    ++done;
    done.notify_one();
  }
}

// Runs a child to its end. Windows cannot fork: there the child is this test program started again
// on this test, which hands its rewrites over first thing (RewriteIfAChild).
void RunChild(int start, int wholeOnes, [[maybe_unused]] const Rewrite& rewrite) {
#ifdef _WIN32
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::wstring self(32768, L'\0');
  self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
  std::wstring commandLine = L"\"" + self + L"\" --gtest_filter=" +
                             fs::path(std::string(test->test_suite_name()) + "." + test->name()).wstring();
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE nul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
  // The child runs this one test whole: a shard of the suite could hold none of it.
  SetEnvironmentVariableW(L"GTEST_TOTAL_SHARDS", nullptr);
  SetEnvironmentVariableW(L"GTEST_SHARD_INDEX", nullptr);
  SetEnvironmentVariableA(kChildVariable, (std::to_string(start) + " " + std::to_string(wholeOnes)).c_str());
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = si.hStdError = nul;
  PROCESS_INFORMATION pi{};
  const BOOL started =
      CreateProcessW(self.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  SetEnvironmentVariableA(kChildVariable, nullptr);
  CloseHandle(nul);
  ASSERT_TRUE(started) << "Windows error " << GetLastError();
  WaitForSingleObject(pi.hProcess, INFINITE);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
#else
  const pid_t child = ::fork();
  if (child == 0) RewriteUntilKilled(rewrite, start, wholeOnes);
  ASSERT_GT(child, 0);
  ::waitpid(child, nullptr, 0);
#endif
}

void RewriteIfAChild(const Rewrite& rewrite) {
  int start = 0;
  int wholeOnes = 0;
  const char* setting = std::getenv(kChildVariable);
  if (setting && std::sscanf(setting, "%d %d", &start, &wholeOnes) == 2) RewriteUntilKilled(rewrite, start, wholeOnes);
}

// Each kill starts a process, which costs far more under Wine than a fork does.
constexpr int kKills = platform::kWindows ? 24 : 200;
#if defined(__SANITIZE_ADDRESS__)
constexpr size_t kSettingsSize = 512 << 10;  // the sanitizers slow every rewrite tenfold
#else
constexpr size_t kSettingsSize = 2 << 20;
#endif
const std::string kGame = "Moonlit Harbor Racer", kOn = "patch=0x80021C40,0x00000000";
const int kChoices[2] = {9, 1};

// Random kills mostly land while a large file is built in memory, so every third rewrite also kills
// itself at one step of its first or second replacement: the moments when a file could be lost.
void KillItselfAtAStep(testing::FileCallSpy& spy, int i) {
  static constexpr std::string_view kSteps[] = {"create", "write", "flush", "replace"};
  spy.before = [i, seen = 0](std::string_view at, const fs::path&) mutable {
    if (i % 3 == 0 && at == kSteps[(i / 3) % 4] && ++seen == (i / 12) % 2 + 1) KillThisProcess();
    return 0;
  };
}

struct Writer {
  const char* name;
  std::vector<const char*> files;  // what write(i) replaces
  std::function<void(P app, int i)> write;
  bool safe = true;  // false: the loop must catch it damaging a file
};
void PrintTo(const Writer& w, std::ostream* os) { *os << w.name; }

const Writer kWriters[] = {
    {"WriteGeneralSettings", {"velox.ini"},
     [](P app, int i) {
       GeneralSettings s;
       s.rompath = i % 2 ? "D:\\Roms" : "C:\\Velox\\Roms";
       (void)WriteGeneralSettings(app / "velox.ini", app / "-velox-.ini", s);
     }},
    {"SwitchEntry", {"velox.ini"},  // odd writes switch the entry on, even ones off
     [](P app, int i) { (void)SwitchEntry(app / "velox.ini", app / "-velox-.ini", kGame, i % 2 ? "//" + kOn : kOn, i % 2); }},
    {"RunControllerOk", {"velox.pad", "Data/controller.cfg"},  // modes 2 and 3
     [](P app, int i) { (void)RunControllerOk(app, static_cast<ControllerMode>(2 + i % 2)); }},
    {"InstallVideoChoice", {"glide2x.dll", "Data/glide.cfg"},
     [](P app, int i) { (void)InstallVideoChoice(app, kChoices[i % 2]); }},
    {"InPlaceWriter", {"velox.ini"},  // empties the file, then fills it
     [](P app, int i) {
       const std::string bytes(kSettingsSize, static_cast<char>('a' + i % 2));
       platform::FileCalls& os = platform::Files();  // so that it too is killed at a step now and then
       platform::NativeFile f = 0;
       size_t written = 0;
       (void)os.Remove(app / "velox.ini");
       if (os.CreateNew(app / "velox.ini", -1, f) != 0) return;
       (void)os.Write(f, bytes.data(), bytes.size(), written);
       (void)os.Close(f);
     },
     false},
};

class CrashSafety : public ::testing::TestWithParam<Writer> {};

// An installation in memory (a kill loses nothing the kernel holds) with a settings file of
// megabytes and two wrapper libraries of a megabyte, so that kills land inside their rewrites.
// Each file must be, byte for byte, one its writer made whole: the old or the new one.
TEST_P(CrashSafety, EveryKillLeavesEachFileOldOrNew) {
  const Writer& w = GetParam();
  testing::FileCallSpy spy;
  const Rewrite rewrite = [&](int i) {
    KillItselfAtAStep(spy, i);
    w.write(fs::current_path(), i);
  };
  RewriteIfAChild(rewrite);
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

  std::mt19937 random(12345);
  int damaging = 0;
  for (int kill = 0, next = 0; kill < kKills; ++kill) {
    // Let 0 to 2 whole rewrites finish, then kill inside the next one.
    const int wholeOnes = static_cast<int>(random() % 3);
    RunChild(next, wholeOnes, rewrite);
    next += wholeOnes + 1;  // the interrupted rewrite may or may not have finished
    bool intact = true;
    for (size_t f = 0; f < w.files.size(); ++f) {
      const std::string now = ReadBytes(app / w.files[f]);
      intact = intact && (now == contents[f][0] || now == contents[f][1]);
    }
    damaging += intact ? 0 : 1;
  }
  EXPECT_EQ(damaging == 0, w.safe) << damaging << " of " << kKills << " kills damaged a file";
}

INSTANTIATE_TEST_SUITE_P(Writers, CrashSafety, ::testing::ValuesIn(kWriters),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velox
