#include "shell/program_start.h"

#include <cerrno>
#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

#include "shell/line_file.h"
#include "shell/platform.h"

namespace velox {
namespace fs = std::filesystem;

namespace {

bool EndsWithExe(const fs::path& program) {
  const std::u8string name = program.filename().u8string();
  if (name.size() < 4) return false;
  std::u8string tail = name.substr(name.size() - 4);
  for (char8_t& c : tail) {
    if (c >= u8'A' && c <= u8'Z') c = static_cast<char8_t>(c - u8'A' + u8'a');
  }
  return tail == u8".exe";
}

// A file this system can run itself: ELF or a script with "#!", marked executable.
bool IsNativeProgram(const fs::path& program, std::string_view head) {
  std::error_code ec;
  const fs::perms perms = fs::status(program, ec).permissions();
  if (ec || (perms & (fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec)) == fs::perms::none) {
    return false;
  }
  return head.starts_with("\x7f" "ELF") || head.starts_with("#!");
}

}  // namespace

std::optional<std::string> WhyNotAWindowsProgram(const fs::path& program) {
  // The old DOS header ("MZ"), whose last field, at 0x3C, gives where the "PE\0\0" signature stands.
  const Result<std::string> head = ReadFileStart(program, 0x40);
  if (!head) return head.error().cause;
  if (head->empty()) return "is empty, not a Windows program";
  if (head->size() < 0x40 || !head->starts_with("MZ")) return "is not a Windows program";
  std::uint32_t at = 0;
  for (int i = 3; i >= 0; --i) at = at << 8 | static_cast<unsigned char>((*head)[0x3C + static_cast<size_t>(i)]);
  if (at > (64u << 20)) return "is not a Windows program";
  const Result<std::string> signature = ReadFileStart(program, at + size_t{4});
  if (!signature) return signature.error().cause;
  if (signature->size() < at + size_t{4} || signature->compare(at, 4, std::string_view("PE\0\0", 4)) != 0) {
    return "is not a Windows program";
  }
  return std::nullopt;
}

Status StartProgram(const fs::path& program) {
  std::error_code ec;
  const fs::path shown = fs::absolute(program, ec);
  if (fs::is_directory(program, ec)) return FileError{shown, "is a folder, not a program"};
  if (!fs::is_regular_file(program, ec)) return FileError{shown, "no such program"};

  // A relative name must not be looked up on the PATH: it names a file here.
  const fs::path local = program.is_absolute() ? program : fs::path(".") / program;
  std::vector<fs::path> command;
  bool throughWine = false;
  const Result<std::string> head = ReadFileStart(program, 4);
  if (!head) return FileError{shown, head.error().cause};
  if (!platform::kWindows && IsNativeProgram(program, *head)) {
    command = {local};
  } else if (platform::kWindows || EndsWithExe(program)) {
    // Checked here, because wine (or Windows) failing later would go unseen:
    // the configurator has ended by then.
    if (const std::optional<std::string> why = WhyNotAWindowsProgram(program)) return FileError{shown, *why};
    if constexpr (platform::kWindows) {
      command = {local};
    } else {
      const fs::path wine = platform::FindOnPath("wine");
      if (wine.empty()) return FileError{shown, "is a Windows program and wine is not installed"};
      command = {wine, local};
      throughWine = true;
    }
  } else {
    return FileError{shown, "is not a program that can be started"};
  }
  if (const platform::OsError error = platform::StartProcess(command, throughWine)) {
    return error == ENOEXEC ? ErrnoError(shown, error)
                            : FileError{shown, "could not be started: " + ErrnoError(shown, error).cause};
  }
  return {};
}

}  // namespace velox
