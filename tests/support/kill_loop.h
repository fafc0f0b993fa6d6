#pragma once
// Crash safety: a child process runs a writer in a loop and is killed at
// unpredictable moments (SIGKILL, or TerminateProcess on Windows); after each
// kill the parent checks the files.
//
// The child reports each completed write on a pipe; the parent lets a varying
// number of writes through and then kills the child at once, so the kill lands
// somewhere inside the next write without any timed wait.
//
// POSIX forks the child. Windows cannot, so there the child is the test program
// itself, started again on the same test: the test asks ThisIsAKillLoopChild()
// first and, in the child, hands its writer to RunKillLoopChild().

#include <filesystem>
#include <functional>
#include <optional>

namespace velox::testing {

struct KillLoopResult {
  int kills = 0;     // how many times the child was killed
  int failures = 0;  // how many checks after a kill failed
};

// write(i) performs rewrite number i (it should alternate between two contents)
// in folder, which is the child's current directory; check() runs in the parent
// after each kill and returns false when a file is missing, empty or truncated.
KillLoopResult RunKillLoop(int kills, const std::filesystem::path& folder, const std::function<void(int)>& write,
                           const std::function<bool()>& check);

struct KillLoopChild {
  std::filesystem::path folder;
  int start = 0;
};
// What a child started by RunKillLoop is to do; nothing in any other process.
std::optional<KillLoopChild> ThisIsAKillLoopChild();
// Runs write(i) from the child's start on, reporting each, until it is killed.
[[noreturn]] void RunKillLoopChild(const KillLoopChild& child, const std::function<void(int)>& write);

// Ends the running process at once, as a power cut would end the program:
// nothing is flushed, no destructor runs.
[[noreturn]] void KillThisProcess();

}  // namespace velox::testing
