#pragma once
// Crash safety: a child process runs a writer in a loop and reports each completed
// write on a pipe; the parent lets 0 to 2 writes through and kills the child at once
// (SIGKILL, or TerminateProcess), so the kill lands inside the next write without any
// timed wait, then checks the files. Windows cannot fork: there the child is the test
// program itself, started again on the same test, which asks ThisIsAKillLoopChild()
// first and, in the child, hands its writer to RunKillLoopChild().

#include <filesystem>
#include <functional>
#include <optional>

namespace velox::testing {

struct KillLoopResult {
  int kills = 0;
  int failures = 0;  // kills after which check() failed
};

// write(i) performs rewrite number i (alternating between two contents) in folder, the
// child's current directory; check() runs in the parent after each kill.
KillLoopResult RunKillLoop(int kills, const std::filesystem::path& folder, const std::function<void(int)>& write,
                           const std::function<bool()>& check);

struct KillLoopChild {
  std::filesystem::path folder;
  int start = 0;
};
std::optional<KillLoopChild> ThisIsAKillLoopChild();
[[noreturn]] void RunKillLoopChild(const KillLoopChild& child, const std::function<void(int)>& write);

// Ends the process at once, as a power cut would: nothing is flushed, no destructor runs.
[[noreturn]] void KillThisProcess();

}  // namespace velox::testing
