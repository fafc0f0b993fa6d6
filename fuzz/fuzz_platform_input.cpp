// What the system hands over (the mount table) and what a user puts where a
// program is expected: any bytes give a sound answer and never a crash.

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "shell/platform.h"
#include "shell/program_start.h"
#include "support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] & 1) {
    const auto volumes = velox::platform::VolumesOfMountTable(bytes);
    if (volumes.empty() || volumes.front() != "/") std::abort();
    for (size_t i = 1; i < volumes.size(); ++i) {
      if (!volumes[i].is_absolute() || volumes[i] == "/") std::abort();
      if (i > 1 && !(volumes[i - 1] < volumes[i])) std::abort();  // in order, each once
    }
    return 0;
  }
  // A Windows program needs the DOS header, whose offset at 0x3C leads to "PE\0\0" inside the file.
  const std::filesystem::path file = velox::fuzz::PutFile("VELOX.exe", data + 1, size - 1);
  const bool verdict = !velox::WhyNotAWindowsProgram(file).has_value();
  bool expected = bytes.size() >= 0x40 && bytes.starts_with("MZ");
  if (expected) {
    uint32_t at = 0;
    std::memcpy(&at, bytes.data() + 0x3C, 4);  // little-endian, as the machines this runs on
    expected = at <= bytes.size() - 4 && std::memcmp(bytes.data() + at, "PE\0\0", 4) == 0;
  }
  if (verdict != expected) std::abort();
  return 0;
}
