#include "shell/install_layout.h"

#include <optional>
#include <string>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace velox {
namespace fs = std::filesystem;

namespace {

std::optional<fs::path>& AppFolderOverride() {
  static std::optional<fs::path> folder;
  return folder;
}

fs::path ExecutableFolder() {
#ifdef _WIN32
  std::wstring buffer(32768, L'\0');
  const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  buffer.resize(n);
  return fs::path(buffer).parent_path();
#else
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return fs::current_path(ec);
  return exe.parent_path();
#endif
}

std::vector<std::string> SplitLevels(std::string_view literal) {
  std::vector<std::string> levels;
  std::string current;
  for (char c : literal) {
    if (c == '\\' || c == '/') {
      if (!current.empty()) levels.push_back(std::move(current));
      current.clear();
    } else {
      current.push_back(c);
    }
  }
  if (!current.empty()) levels.push_back(std::move(current));
  return levels;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace

fs::path AppFolder() {
  if (AppFolderOverride()) return *AppFolderOverride();
  static const fs::path folder = ExecutableFolder();
  return folder;
}

void SetAppFolderForTesting(const fs::path& folder) { AppFolderOverride() = folder; }

fs::path ResolveLevels(const fs::path& base, std::string_view literal) {
  fs::path result = base;
  [[maybe_unused]] bool searching = true;  // once a level is missing, nothing below it can exist
  for (const std::string& level : SplitLevels(literal)) {
    if (level == "." || level == "..") {
      result /= level;
      continue;
    }
#ifndef _WIN32
    if (searching) {
      std::error_code ec;
      const fs::path folder = result.empty() ? fs::path(".") : result;
      if (fs::exists(folder / level, ec)) {
        result /= level;
        continue;
      }
      std::optional<std::string> match;
      for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (EqualIgnoringCase(name, level)) {
          match = name;
          break;
        }
      }
      if (match) {
        result /= *match;
        continue;
      }
      searching = false;
    }
#endif
    result /= level;
  }
  return result;
}

fs::path JoinedPath(const fs::path& appFolder, std::string_view literal) {
  return ResolveLevels(appFolder, literal);
}

fs::path BarePath(std::string_view literal) { return ResolveLevels(fs::path(), literal); }

}  // namespace velox
