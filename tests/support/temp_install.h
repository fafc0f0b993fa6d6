#pragma once
// Scratch installations for tests: fresh folders removed afterwards, their files, and scoped state.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace velox::testing {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view relative) const { return path_ / relative; }

 private:
  std::filesystem::path path_;
};

// Changes the current directory for the guard's lifetime.
class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::filesystem::path& folder);
  ~CurrentDirectory();

 private:
  std::filesystem::path previous_;
};

// Writes bytes exactly (creating folders on the way).
void WriteBytes(const std::filesystem::path& file, std::string_view bytes);
// The file's bytes, or "<missing>" when it does not exist.
std::string ReadBytes(const std::filesystem::path& file);
// Every name under folder, in order: "name:bytes" for a file, "name/" for a folder, "name->to" for a link.
std::string Listing(const std::filesystem::path& folder);
// Copies the demo installation of the repository into folder.
void CopyDemo(const std::filesystem::path& folder);
// The built marker program: it writes "started-<its own file name>.txt" into its current directory.
std::filesystem::path MarkerProgram();
// Until done() holds, woken by the changes in folder, never by a clock; false past a bound far above any
// program's start (a fresh Wine's included): a program that never starts fails the run, not hangs it.
bool WaitForFolder(const std::filesystem::path& folder, const std::function<bool()>& done);
// The line a started program leaves in file, once there whole; "<no marker>" when none comes.
std::string ReadMarker(const std::filesystem::path& file);
// Sets an environment variable for the guard's lifetime (text in UTF-8).
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::string& value);
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  void Set(const std::filesystem::path& value);
  std::string name_;
  std::optional<std::filesystem::path> old_;
};
// A stand-in "wine" (for the whole run): writes the program it runs into "ran-by-wine.txt" in the current folder.
std::filesystem::path FakeWine();
// Marks a file read-only (as a user's attribute would).
void MakeReadOnly(const std::filesystem::path& file);

}  // namespace velox::testing
