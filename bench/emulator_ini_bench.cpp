// Reading and rewriting a large settings file: 20,000 game sections, about 10 MB.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include <unistd.h>

#include "settings/emulator_ini.h"
#include "shell/line_file.h"
#include "shell/safe_file.h"

namespace {

namespace fs = std::filesystem;

constexpr int kGames = 20000;

std::string GameName(int i) { return "Generated Game " + std::to_string(i); }

std::string LargeSettingsFile() {
  std::string file;
  file.reserve(11u << 20);
  file += "[default]\r\nrompath=C:\\Velox\\Roms\r\nsavepath=C:\\Velox\\Saves\r\n";
  file += "resolution=640,480\r\nviewport=800,600\r\nsound=1\r\n";
  std::mt19937 random(7);
  char number[16];
  for (int i = 0; i < kGames; ++i) {
    file += "[" + GameName(i) + "]\r\n";
    file += "alttitle=" + GameName(i) + " (generated)\r\n";
    file += "comment=A generated section with a fairly long comment line to fill the file\r\n";
    for (int e = 0; e < 6; ++e) {
      std::snprintf(number, sizeof number, "%08X", static_cast<unsigned>(random()));
      file += (e % 3 == 0 ? "//patch=0x" : e % 3 == 1 ? "patch=0x" : "// optimize =0x");
      file += number;
      file += ",0x00000001 ; entry of a generated game\r\n";
    }
    file += "// a plain comment line\r\n\r\n";
  }
  return file;
}

class LargeFile : public benchmark::Fixture {
 public:
  void SetUp(const benchmark::State&) override {
    folder = fs::temp_directory_path() / ("velox-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    ini = folder / "velox.ini";
    temp = folder / "-velox-.ini";
    if (bytes.empty()) bytes = LargeSettingsFile();
    (void)velox::ReplaceWholeFile(ini, bytes);
  }
  void TearDown(const benchmark::State&) override {
    std::error_code ec;
    fs::remove_all(folder, ec);
  }

  static inline std::string bytes;
  fs::path folder, ini, temp;
};

BENCHMARK_F(LargeFile, ReadGeneralSettings)(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(velox::ReadGeneralSettings(ini));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}

BENCHMARK_F(LargeFile, ListGames)(benchmark::State& state) {
  for (auto _ : state) {
    auto games = velox::ListGames(ini);
    if (!games || games->size() != kGames) state.SkipWithError("wrong game count");
    benchmark::DoNotOptimize(games);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}

BENCHMARK_F(LargeFile, ReadGameLast)(benchmark::State& state) {
  for (auto _ : state) {
    auto game = velox::ReadGame(ini, GameName(kGames - 1));
    if (!game) state.SkipWithError("last game not found");
    benchmark::DoNotOptimize(game);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}

BENCHMARK_F(LargeFile, SwitchEntryLastGame)(benchmark::State& state) {
  auto game = velox::ReadGame(ini, GameName(kGames - 1));
  if (!game) state.SkipWithError("last game not found");
  const std::string entry = game->entries[1];  // an active "patch=" line
  bool on = false;
  std::string current = entry;
  for (auto _ : state) {
    const velox::Status done = velox::SwitchEntry(ini, temp, GameName(kGames - 1), current, on);
    if (!done) state.SkipWithError(done.error().Describe().c_str());
    current = velox::SwitchedLine(current, on);
    on = !on;
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}

BENCHMARK_F(LargeFile, WriteGeneralSettings)(benchmark::State& state) {
  velox::GeneralSettings settings;
  settings.rompath = "D:\\Roms";
  settings.savepath = "D:\\Saves";
  settings.resolution = {"1024 x 768"};
  settings.viewport = {"640 x 480"};
  settings.sound = velox::SoundSetting::kOff;
  for (auto _ : state) {
    const velox::Status done = velox::WriteGeneralSettings(ini, temp, settings);
    if (!done) state.SkipWithError(done.error().Describe().c_str());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}

// The floor: read the whole file and replace it unchanged, with no line work at all.
BENCHMARK_F(LargeFile, PlainCopy)(benchmark::State& state) {
  for (auto _ : state) {
    auto read = velox::ReadFileBytes(ini);
    const velox::Status done = velox::ReplaceWholeFile(ini, *read, temp);
    if (!done) state.SkipWithError(done.error().Describe().c_str());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}

// The line work alone, on bytes in memory.
BENCHMARK_F(LargeFile, RewriteSwitchedInMemory)(benchmark::State& state) {
  const std::string game = GameName(kGames - 1);
  const auto section = velox::ParseGame(bytes, game);
  for (auto _ : state) benchmark::DoNotOptimize(velox::RewriteSwitched(bytes, game, section->entries[1], false));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}

}  // namespace
