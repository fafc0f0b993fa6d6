#include "shell/install_layout.h"

#include <algorithm>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "shell/platform.h"

namespace velox {
namespace fs = std::filesystem;

namespace {

std::optional<fs::path>& AppFolderOverride() {
  static std::optional<fs::path> folder;
  return folder;
}

fs::path ExecutableFolder() {
  const fs::path exe = platform::ExecutablePath();
  std::error_code ec;
  return exe.empty() ? fs::current_path(ec) : exe.parent_path();
}

// The literals are ASCII, so is the folding; the file system's own rules do the rest.
bool EqualIgnoringCase(const fs::path::string_type& a, const fs::path::string_type& b) {
  if (a.size() != b.size()) return false;
  const auto lower = [](auto c) { return c >= 'A' && c <= 'Z' ? static_cast<decltype(c)>(c - 'A' + 'a') : c; };
  for (size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
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

}  // namespace

fs::path AppFolder() {
  if (AppFolderOverride()) return *AppFolderOverride();
  static const fs::path folder = ExecutableFolder();
  return folder;
}

void SetAppFolderForTesting(const fs::path& folder) { AppFolderOverride() = folder; }

fs::path ResolveLevels(const fs::path& base, std::string_view literal) {
  fs::path result = base;
  bool searching = true;  // once a level is missing, nothing below it can exist
  for (const std::string& level : SplitLevels(literal)) {
    if (level == "." || level == "..") {
      result /= level;
      continue;
    }
    const fs::path name = PathFromUtf8(level);
    if (searching) {
      // An exact name first: the file system may well find it in any case itself (Windows, Wine).
      std::error_code ec;
      const fs::path folder = result.empty() ? fs::path(".") : result;
      if (fs::exists(folder / name, ec)) {
        result /= name;
        continue;
      }
      const std::vector<fs::path> found = NamesIgnoringCase(folder, name);
      if (!found.empty()) {
        result /= found.front();
        continue;
      }
      searching = false;
    }
    result /= name;
  }
  return result;
}

std::vector<fs::path> NamesIgnoringCase(const fs::path& folder, const fs::path& name) {
  std::vector<fs::path> found;
  std::error_code ec;
  for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    const fs::path entry = it->path().filename();
    if (EqualIgnoringCase(entry.native(), name.native())) found.push_back(entry);
  }
  std::sort(found.begin(), found.end());
  return found;
}

fs::path JoinedPath(const fs::path& appFolder, std::string_view literal) {
  return ResolveLevels(appFolder, literal);
}

fs::path BarePath(std::string_view literal) { return ResolveLevels(fs::path(), literal); }

}  // namespace velox
