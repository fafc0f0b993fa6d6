#include "support/kill_loop.h"

#include <csignal>
#include <random>

#include <sys/wait.h>
#include <unistd.h>

namespace velox::testing {

KillLoopResult RunKillLoop(int kills, const std::function<void(int)>& write, const std::function<bool()>& check) {
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

}  // namespace velox::testing
