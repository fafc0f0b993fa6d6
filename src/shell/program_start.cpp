#include "shell/program_start.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace velox {
namespace fs = std::filesystem;

#ifdef _WIN32

Status StartProgram(const fs::path& program) {
  std::error_code ec;
  if (!fs::is_regular_file(program, ec)) return FileError{fs::absolute(program, ec), "no such program"};
  std::wstring commandLine = L"\"" + program.wstring() + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    return FileError{fs::absolute(program, ec), "could not be started (Windows error " +
                                                    std::to_string(GetLastError()) + ")"};
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return {};
}

#else

namespace {

bool EndsWithExe(const fs::path& program) {
  std::string name = program.filename().string();
  if (name.size() < 4) return false;
  std::string tail = name.substr(name.size() - 4);
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == ".exe";
}

// A file this system can run itself: ELF or a script with "#!", marked executable.
bool IsNativeProgram(const fs::path& program) {
  if (::access(program.c_str(), X_OK) != 0) return false;
  std::ifstream in(program, std::ios::binary);
  char head[4] = {};
  in.read(head, sizeof head);
  if (in.gcount() >= 4 && std::memcmp(head, "\x7f" "ELF", 4) == 0) return true;
  return in.gcount() >= 2 && head[0] == '#' && head[1] == '!';
}

fs::path FindOnPath(const std::string& name) {
  const char* pathVar = std::getenv("PATH");
  if (!pathVar) return {};
  std::string paths = pathVar;
  size_t start = 0;
  while (start <= paths.size()) {
    size_t end = paths.find(':', start);
    if (end == std::string::npos) end = paths.size();
    fs::path candidate = fs::path(paths.substr(start, end - start).empty() ? "." : paths.substr(start, end - start)) / name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return {};
}

}  // namespace

Status StartProgram(const fs::path& program) {
  std::error_code ec;
  const fs::path shown = fs::absolute(program, ec);
  if (fs::is_directory(program, ec)) return FileError{shown, "is a folder, not a program"};
  if (!fs::is_regular_file(program, ec)) return FileError{shown, "no such program"};

  // A relative name must not be looked up on the PATH: it names a file here.
  const std::string local = program.is_absolute() ? program.string() : ("./" + program.string());
  std::vector<std::string> args;
  if (IsNativeProgram(program)) {
    args = {local};
  } else if (EndsWithExe(program)) {
    const fs::path wine = FindOnPath("wine");
    if (wine.empty()) return FileError{shown, "is a Windows program and wine is not installed"};
    args = {wine.string(), local};
  } else {
    return FileError{shown, "is not a program that can be started"};
  }

  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  // Its own session, so the program outlives the configurator and its terminal.
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
  pid_t pid = 0;
  const int error = posix_spawn(&pid, argv[0], nullptr, &attr, argv.data(), environ);
  posix_spawnattr_destroy(&attr);
  if (error != 0) return FileError{shown, std::string("could not be started: ") + std::strerror(error)};

  // Reap the child when it ends, so that no zombie is left behind; nothing waits on this.
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return {};
}

#endif

}  // namespace velox
