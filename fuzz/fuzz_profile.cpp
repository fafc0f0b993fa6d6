// Profile composition from mapping lines: the first input line stands for line 1
// of the keyboard mapping, the second for line 1 of the gamepad mapping. Whatever
// converts must compose a profile of the exact size that walks record by record
// onto its end mark.

#include <cstdlib>
#include <string>

#include "controllers/mapping_fields.h"
#include "controllers/profile_writer.h"
#include "shell/line_file.h"

namespace {

std::vector<std::string> Fields(std::string_view line) {
  std::vector<std::string> fields;
  for (std::string_view f : velox::SplitFields(line)) fields.emplace_back(f);
  return fields;
}

void CheckProfile(const std::string& p, size_t size, int records) {
  if (p.size() + 2 != size || p[0] != 0x01 || p[1] != 0x40) std::abort();
  size_t at = 2;
  int count = 0;
  while (at < p.size() && p[at] != 0) {
    at += 4 + static_cast<unsigned char>(p[at]);
    ++count;
  }
  if (at != p.size() - 1 || count != records) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velox;
  const auto lines = SplitLines(std::string_view(reinterpret_cast<const char*>(data), size));
  const auto keys = KeyCodesFromFields(Fields(lines.size() > 0 ? lines[0] : ""), "clavier.cfg");
  const auto masks = MasksFromFields(Fields(lines.size() > 1 ? lines[1] : ""), "manette.cfg");
  if (keys) CheckProfile(ComposeProfile(ProfileKind::Keyboard, KeyboardProfileMasks(), *keys), 837, 48);
  if (masks) CheckProfile(ComposeProfile(ProfileKind::Gamepad, *masks, GamepadProfileKeyCodes()), 1067, 55);
  if (keys && masks) CheckProfile(ComposeProfile(ProfileKind::TwoPlayer, *masks, *keys), 1030, 54);
  return 0;
}
