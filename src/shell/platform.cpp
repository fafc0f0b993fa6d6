// The parts of the platform layer that are plain text and paths, the same on every system.

#include <algorithm>
#include <string>

#include "shell/line_file.h"
#include "shell/platform.h"

namespace velox::platform {
namespace fs = std::filesystem;

namespace {

// Mount points hold blanks, tabs, line ends and backslashes as octal escapes.
std::string Unescape(std::string_view field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    const auto octal = [&](size_t at) { return at < field.size() && field[at] >= '0' && field[at] <= '7'; };
    if (field[i] == '\\' && octal(i + 1) && octal(i + 2) && octal(i + 3)) {
      out.push_back(static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0')));
      i += 3;
    } else {
      out.push_back(field[i]);
    }
  }
  return out;
}

bool IsUnder(const fs::path& folder, const fs::path& top) {
  auto f = folder.begin();
  for (auto t = top.begin(); t != top.end(); ++t, ++f) {
    if (t->empty()) continue;  // a trailing separator
    if (f == folder.end() || *f != *t) return false;
  }
  return true;
}

// Set by tests that watch or break the calls; the system's own otherwise.
FileCalls*& Override() {
  static FileCalls* calls = nullptr;
  return calls;
}

}  // namespace

FileCalls& Files() { return Override() ? *Override() : SystemFileCalls(); }
void SetFileCallsForTesting(FileCalls* calls) { Override() = calls; }

Status OpenWithDefaultProgram(const fs::path& document) { return Files().OpenDocument(document); }

std::vector<fs::path> VolumesOfMountTable(std::string_view table) {
  static constexpr std::string_view kSystemFolders[] = {"/proc", "/sys", "/dev", "/run", "/var/run", "/var/lock"};
  static constexpr std::string_view kSystemTypes[] = {"proc",     "sysfs",    "devpts",   "devtmpfs", "cgroup",
                                                      "cgroup2",  "securityfs", "debugfs", "tracefs", "pstore",
                                                      "bpf",      "mqueue",   "hugetlbfs", "configfs", "fusectl",
                                                      "autofs",   "binfmt_misc", "nsfs",  "efivarfs", "rpc_pipefs"};
  std::vector<fs::path> volumes;
  ForEachLine(table, [&](std::string_view line) {
    // device, mount point, type, options, ...
    std::string_view fields[3];
    for (std::string_view& field : fields) {
      const size_t start = line.find_first_not_of(' ');
      if (start == std::string_view::npos) return;
      line.remove_prefix(start);
      const size_t end = std::min(line.find(' '), line.size());
      field = line.substr(0, end);
      line.remove_prefix(end);
    }
    if (!fields[1].starts_with('/')) return;
    const fs::path point = PathFromUtf8(Unescape(fields[1]));
    if (point == "/") return;  // always first, even in a table that forgets it
    for (std::string_view type : kSystemTypes) {
      if (fields[2] == type) return;
    }
    for (std::string_view folder : kSystemFolders) {
      if (IsUnder(point, folder)) return;
    }
    if (std::find(volumes.begin(), volumes.end(), point) == volumes.end()) volumes.push_back(point);
  });
  std::sort(volumes.begin(), volumes.end());
  volumes.insert(volumes.begin(), "/");
  return volumes;
}

fs::path VolumeOf(const fs::path& absoluteFolder, const std::vector<fs::path>& volumes) {
  fs::path best = "/";
  for (const fs::path& volume : volumes) {
    if (IsUnder(absoluteFolder, volume) && volume.native().size() > best.native().size()) best = volume;
  }
  return best;
}

}  // namespace velox::platform
