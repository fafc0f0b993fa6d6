#include "support/kill_loop.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace velox::testing {
namespace fs = std::filesystem;
namespace {

#ifdef _WIN32
constexpr const wchar_t* kChildVariable = L"VELOX_KILL_LOOP_CHILD";  // "<pipe>|<start>|<folder>"
HANDLE g_report = nullptr;

struct Child {
  HANDLE report = nullptr, process = nullptr;
  bool Start(int start, const fs::path& folder, const std::function<void(int)>&) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::wstring self(32768, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
    std::wstring commandLine = L"\"" + self + L"\" --gtest_filter=" +
        fs::path(std::string(test->test_suite_name()) + "." + test->name()).wstring();
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&report, &writeEnd, &inherit, 0)) return false;
    SetHandleInformation(report, HANDLE_FLAG_INHERIT, 0);
    HANDLE nul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    // The child runs this one test whole: a shard of the suite could hold none of it.
    SetEnvironmentVariableW(L"GTEST_TOTAL_SHARDS", nullptr);
    SetEnvironmentVariableW(L"GTEST_SHARD_INDEX", nullptr);
    SetEnvironmentVariableW(kChildVariable, (std::to_wstring(reinterpret_cast<std::uintptr_t>(writeEnd)) + L"|" +
                                             std::to_wstring(start) + L"|" + folder.wstring()).c_str());
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = nul;
    PROCESS_INFORMATION pi{};
    const BOOL started = CreateProcessW(self.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        folder.c_str(), &si, &pi);
    SetEnvironmentVariableW(kChildVariable, nullptr);
    CloseHandle(writeEnd);
    CloseHandle(nul);
    if (!started) ADD_FAILURE() << "could not start the child (Windows error " << GetLastError() << ")";
    if (started) {
      CloseHandle(pi.hThread);
      process = pi.hProcess;
    }
    return started;
  }
  bool WaitForAWrite() {
    char done;
    DWORD n = 0;
    return ReadFile(report, &done, 1, &n, nullptr) && n == 1;
  }
  ~Child() {
    if (process) {
      TerminateProcess(process, 137);
      WaitForSingleObject(process, INFINITE);
      CloseHandle(process);
    }
    if (report) CloseHandle(report);
  }
};
#else
struct Child {
  int report = -1;
  pid_t process = 0;
  bool Start(int start, const fs::path&, const std::function<void(int)>& write) {
    int fds[2];
    if (::pipe(fds) != 0) return false;
    report = fds[0];
    if ((process = ::fork()) == 0) {
      for (int i = start;; ++i) {
        write(i);
        if (::write(fds[1], "", 1) != 1) ::_exit(0);
      }
    }
    ::close(fds[1]);
    return true;
  }
  bool WaitForAWrite() {
    char done;
    return ::read(report, &done, 1) == 1;
  }
  ~Child() {
    int status = 0;
    if (process > 0) {
      ::kill(process, SIGKILL);
      ::waitpid(process, &status, 0);
    }
    if (report >= 0) ::close(report);
  }
};
#endif

}  // namespace

KillLoopResult RunKillLoop(int kills, const fs::path& folder, const std::function<void(int)>& write,
                           const std::function<bool()>& check) {
  KillLoopResult result;
  std::mt19937 random(12345);
  for (int next = 0; result.kills < kills; ++result.kills) {
    {
      Child child;
      if (!child.Start(next, folder, write)) break;
      // Let 0 to 2 whole writes finish, then kill inside the next one (the child's end).
      for (int i = static_cast<int>(random() % 3); i > 0 && child.WaitForAWrite(); --i) ++next;
    }
    ++next;  // the interrupted write may or may not have finished
    if (!check()) ++result.failures;
  }
  return result;
}

#ifdef _WIN32
std::optional<KillLoopChild> ThisIsAKillLoopChild() {
  const wchar_t* setting = _wgetenv(kChildVariable);
  if (!setting || !*setting) return std::nullopt;
  const std::wstring text = setting;
  const size_t a = text.find(L'|'), b = text.find(L'|', a + 1);
  g_report = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(std::stoull(text.substr(0, a))));
  return KillLoopChild{fs::path(text.substr(b + 1)), std::stoi(text.substr(a + 1, b - a - 1))};
}

void RunKillLoopChild(const KillLoopChild& child, const std::function<void(int)>& write) {
  for (int i = child.start;; ++i) {
    write(i);
    DWORD n = 0;
    if (!WriteFile(g_report, "", 1, &n, nullptr) || n != 1) ExitProcess(0);
  }
}

void KillThisProcess() {
  TerminateProcess(GetCurrentProcess(), 137);
  ExitProcess(137);
}
#else
std::optional<KillLoopChild> ThisIsAKillLoopChild() { return std::nullopt; }
void RunKillLoopChild(const KillLoopChild&, const std::function<void(int)>&) { std::abort(); }
void KillThisProcess() {
  ::raise(SIGKILL);
  ::_exit(137);
}
#endif

}  // namespace velox::testing
