#include "support.h"

#include <cstdio>
#include <unistd.h>

namespace velox::fuzz {
namespace fs = std::filesystem;

const fs::path& Installation() {
  static const fs::path folder = [] {
    fs::path f = fs::temp_directory_path() / ("velox-fuzz-" + std::to_string(::getpid()));
    fs::create_directories(f / "Data");
    return f;
  }();
  return folder;
}

fs::path PutFile(std::string_view relative, const uint8_t* data, size_t size) {
  const fs::path file = Installation() / relative;
  if (std::FILE* f = std::fopen(file.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  return file;
}

}  // namespace velox::fuzz
