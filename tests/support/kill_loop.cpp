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

#ifdef _WIN32

namespace {

constexpr const wchar_t* kChildVariable = L"VELOX_KILL_LOOP_CHILD";

// The child learns its folder, first write and pipe from one variable: "<pipe>|<start>|<folder>".
std::wstring ChildSetting(HANDLE pipe, int start, const fs::path& folder) {
  return std::to_wstring(reinterpret_cast<std::uintptr_t>(pipe)) + L"|" + std::to_wstring(start) + L"|" +
         folder.wstring();
}

HANDLE g_report = nullptr;

}  // namespace

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
    const char done = 1;
    DWORD n = 0;
    if (!WriteFile(g_report, &done, 1, &n, nullptr) || n != 1) ExitProcess(0);
  }
}

KillLoopResult RunKillLoop(int kills, const fs::path& folder, const std::function<void(int)>& write,
                           const std::function<bool()>& check) {
  (void)write;  // the child runs it, in its own copy of the test
  KillLoopResult result;
  std::mt19937 random(12345);
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::wstring filter =
      L"--gtest_filter=" + fs::path(std::string(test->test_suite_name()) + "." + test->name()).wstring();
  std::wstring self(32768, L'\0');
  self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE nul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
  // The child runs this one test whole: a shard of the suite could hold none of it.
  SetEnvironmentVariableW(L"GTEST_TOTAL_SHARDS", nullptr);
  SetEnvironmentVariableW(L"GTEST_SHARD_INDEX", nullptr);
  int next = 0;
  for (int k = 0; k < kills; ++k) {
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) break;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    SetEnvironmentVariableW(kChildVariable, ChildSetting(writeEnd, next, folder).c_str());
    std::wstring commandLine = L"\"" + self + L"\" " + filter;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = nullptr;
    si.hStdOutput = nul;
    si.hStdError = nul;
    PROCESS_INFORMATION pi{};
    const BOOL started = CreateProcessW(self.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        folder.c_str(), &si, &pi);
    SetEnvironmentVariableW(kChildVariable, nullptr);
    CloseHandle(writeEnd);
    if (!started) {
      CloseHandle(readEnd);
      ADD_FAILURE() << "could not start the child (Windows error " << GetLastError() << ")";
      break;
    }
    // Let 0 to 2 whole writes finish, then kill inside the next one.
    const int through = static_cast<int>(random() % 3);
    char done;
    DWORD n = 0;
    for (int i = 0; i < through && ReadFile(readEnd, &done, 1, &n, nullptr) && n == 1; ++i) ++next;
    TerminateProcess(pi.hProcess, 137);
    WaitForSingleObject(pi.hProcess, INFINITE);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    CloseHandle(readEnd);
    ++next;  // the interrupted write may or may not have finished
    ++result.kills;
    if (!check()) ++result.failures;
  }
  CloseHandle(nul);
  return result;
}

void KillThisProcess() {
  TerminateProcess(GetCurrentProcess(), 137);
  ExitProcess(137);
}

#else

std::optional<KillLoopChild> ThisIsAKillLoopChild() { return std::nullopt; }

void RunKillLoopChild(const KillLoopChild&, const std::function<void(int)>&) { std::abort(); }

KillLoopResult RunKillLoop(int kills, const fs::path&, const std::function<void(int)>& write,
                           const std::function<bool()>& check) {
  KillLoopResult result;
  std::mt19937 random(12345);
  int next = 0;
  for (int k = 0; k < kills; ++k) {
    int fds[2];
    if (::pipe(fds) != 0) break;
    const int start = next;
    const pid_t child = ::fork();
    if (child == 0) {
      ::close(fds[0]);
      for (int i = start;; ++i) {
        write(i);
        const char done = 1;
        if (::write(fds[1], &done, 1) != 1) ::_exit(0);
      }
    }
    ::close(fds[1]);
    // Let 0 to 2 whole writes finish, then kill inside the next one.
    const int through = static_cast<int>(random() % 3);
    char done;
    for (int i = 0; i < through && ::read(fds[0], &done, 1) == 1; ++i) ++next;
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(fds[0]);
    ++next;  // the interrupted write may or may not have finished
    ++result.kills;
    if (!check()) ++result.failures;
  }
  return result;
}

void KillThisProcess() {
  ::raise(SIGKILL);
  ::_exit(137);
}

#endif

}  // namespace velox::testing
