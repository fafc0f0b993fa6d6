#pragma once
// Crash safety: a child process runs a writer in a loop and is killed with
// SIGKILL at unpredictable moments; after each kill the parent checks the files.
//
// The child reports each completed write on a pipe; the parent lets a varying
// number of writes through and then kills the child at once, so the kill lands
// somewhere inside the next write without any timed wait.

#include <functional>

namespace velox::testing {

struct KillLoopResult {
  int kills = 0;     // how many times the child was killed
  int failures = 0;  // how many checks after a kill failed
};

// write(i) performs rewrite number i (it should alternate between two contents);
// check() runs in the parent after each kill and returns false when a file is
// missing, empty or truncated.
KillLoopResult RunKillLoop(int kills, const std::function<void(int)>& write, const std::function<bool()>& check);

}  // namespace velox::testing
