// Stands in for the emulator and the wrappers' setup programs in tests: leaves
// a marker file named after itself in its current directory, then ends.

#include <filesystem>
#include <fstream>

int main(int, char** argv) {
  const std::string name = std::filesystem::path(argv[0]).filename().string();
  std::ofstream(std::filesystem::current_path() / ("started-" + name + ".txt")) << "started\n";
  return 0;
}
