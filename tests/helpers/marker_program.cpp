// Stands in for the emulator and the wrappers' setup programs in tests. Started,
// it leaves two files named after itself in its current directory:
//   "launch-<name>.txt": "folder=<current directory>\ncommand line=<its command line>\n"
//     (UTF-8), put in place whole by a rename, so a test may poll for it;
//   "started-<name>.txt": "started\n", written last (tests on POSIX make it a pipe).
// Built for Windows, it stands in for VELOX.exe started through Wine.

#include <filesystem>
#include <fstream>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string CommandLine([[maybe_unused]] int argc, [[maybe_unused]] char** argv) {
#ifdef _WIN32
  return Utf8(fs::path(GetCommandLineW()));
#else
  std::string line;
  for (int i = 0; i < argc; ++i) line += (i ? " " : "") + std::string(argv[i]);
  return line;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path here = fs::current_path();
#ifdef _WIN32
  // argv is in the ANSI code page, which may not hold the program's own name.
  std::wstring self(32768, L'\0');
  self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
  const fs::path name = fs::path(self).filename();
#else
  const fs::path name = fs::path(argv[0]).filename();
#endif

  const fs::path launch = here / fs::path("launch-").concat(name.native()).concat(".txt");
  const fs::path part = fs::path(launch).concat(".part");
  {
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    out << "folder=" << Utf8(here) << "\ncommand line=" << CommandLine(argc, argv) << "\n";
  }
  std::error_code ec;
  fs::rename(part, launch, ec);

  std::ofstream(here / fs::path("started-").concat(name.native()).concat(".txt"), std::ios::binary) << "started\n";
  return 0;
}
