// Stands in for the emulator and the wrappers' setup programs in tests: leaves
// a marker file named after itself in its current directory, then ends.

#include <filesystem>
#include <fstream>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

int main(int, char** argv) {
#ifdef _WIN32
  // argv is in the ANSI code page, which may not hold the program's own name.
  (void)argv;
  std::wstring self(32768, L'\0');
  self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
  const std::filesystem::path name = std::filesystem::path(self).filename();
#else
  const std::filesystem::path name = std::filesystem::path(argv[0]).filename();
#endif
  std::filesystem::path marker = "started-";
  marker += name;
  marker += ".txt";
  std::ofstream(std::filesystem::current_path() / marker, std::ios::binary) << "started\n";
  return 0;
}
