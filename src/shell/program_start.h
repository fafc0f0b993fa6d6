#pragma once
// Starting outside programs (the emulator, a wrapper's setup program) as
// independent processes: no shell is involved, so names may hold blanks and
// quotes, and nothing waits for or watches the program once it runs.

#include <filesystem>
#include <optional>
#include <string>

#include "shell/file_status.h"

namespace velox {

// Starts the program in its own process, in a normal window, and returns at once.
// On systems other than Windows a program whose name ends in ".exe" (in any
// letter case) and that is not a native executable is handed to "wine" from the
// PATH. The program runs in the current directory. Fails when the program does
// not exist, is no Windows program where one is needed, cannot be started, or
// needs wine and none is installed.
Status StartProgram(const std::filesystem::path& program);

// Why the file is not a Windows program (no "MZ" header, or no "PE" signature
// where the header says), or nothing when it is one.
std::optional<std::string> WhyNotAWindowsProgram(const std::filesystem::path& program);

}  // namespace velox
