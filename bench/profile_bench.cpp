// Speed of composing the controller profile and of the whole "Ok" of the
// controller mode dialog.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "controllers/controller_mode.h"
#include "controllers/profile_writer.h"

namespace {

namespace fs = std::filesystem;
using velox::ProfileKind;

void BM_ComposeProfile(benchmark::State& state) {
  const auto kind = static_cast<ProfileKind>(state.range(0));
  velox::JoystickMaskTable masks{};
  masks[0] = {128, 0};
  velox::KeyCodes keys{};
  keys.fill(45);
  for (auto _ : state) {
    std::string bytes = velox::ComposeProfile(kind, masks, keys);
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(BM_ComposeProfile)
    ->Arg(static_cast<int>(ProfileKind::Keyboard))
    ->Arg(static_cast<int>(ProfileKind::Gamepad))
    ->Arg(static_cast<int>(ProfileKind::TwoPlayer))
    ->ArgName("kind");

void Write(const fs::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

// Mode "3": mode file, both mappings read and converted, velox.pad replaced.
void BM_ControllerOkMode3(benchmark::State& state) {
  const fs::path app = fs::temp_directory_path() / ("velox-bench-" + std::to_string(std::random_device{}()));
  fs::create_directories(app / "Data");
  Write(app / "Data" / "manette.cfg",
        "128-0|0-4|0-2|64-0|0-32|0-16|32-0|0-0|0-0|16-0|0-0|0-0|0-0|0-0|0-0|0-0\r\n"
        "Bouton 4|Bouton 5|Bouton 6|Bouton 3|---|---|Bouton 2|Bouton 1|Bouton 7|Bouton 10|---|---|---|---\r\n");
  Write(app / "Data" / "clavier.cfg", "88|67|86|74|73|76|75|65|90|83|84|70|71|72\r\nX|C|V|J|I|L|K|A|Z|S|T|F|G|H\r\n");
  for (auto _ : state) {
    const velox::Status s = velox::RunControllerOk(app, velox::ControllerMode::GamepadKeyboard);
    if (!s.ok()) state.SkipWithError(s.error().Describe().c_str());
  }
  std::error_code ec;
  fs::remove_all(app, ec);
}
BENCHMARK(BM_ControllerOkMode3)->Unit(benchmark::kMicrosecond);

}  // namespace
