// The settings file: any bytes must parse, and a rewrite must keep the file's
// lines (none added, removed or moved), changing only the lines it targets.

#include <cstdlib>
#include <string>

#include "settings/emulator_ini.h"
#include "shell/line_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velox;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string normal = JoinLines(SplitLines(bytes));
  const size_t lines = SplitLines(bytes).size();

  const GeneralSettings read = ParseGeneralSettings(bytes);
  // Writing nothing new gives the file back, every line ended by CR LF.
  if (RewriteGeneralSettings(bytes, GeneralSettings{}) != normal) std::abort();
  // Writing what was read gives a file that reads the same way again.
  GeneralSettings write = read;
  if (!write.resolution.empty()) write.resolution = {write.resolution.back()};
  if (!write.viewport.empty()) write.viewport = {write.viewport.back()};
  const std::string rewritten = RewriteGeneralSettings(bytes, write);
  if (SplitLines(rewritten).size() != lines) std::abort();
  const GeneralSettings again = ParseGeneralSettings(rewritten);
  if (again.rompath != read.rompath || again.savepath != read.savepath || again.sound != read.sound) std::abort();

  const auto names = ParseGameNames(bytes);
  for (size_t i = 0; i < names.size() && i < 4; ++i) {
    const auto game = ParseGame(bytes, names[i]);
    if (!game) std::abort();
    for (size_t e = 0; e < game->entries.size() && e < 4; ++e) {
      const std::string& entry = game->entries[e];
      const EntryState state = GetEntryState(entry);
      if (state == EntryState::kPlainComment) continue;
      const auto switched = RewriteSwitched(bytes, names[i], entry, state == EntryState::kSwitchable);
      if (switched && SplitLines(*switched).size() != lines) std::abort();
    }
  }
  return 0;
}
