// Every reader and writer of the installation's files against damaged or
// hostile input: the reader gives its defined result, the writer a clear error
// naming the file, and no file is changed by either.

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include <unistd.h>

#include "controllers/controller_mode.h"
#include "controllers/gamepad_mapping.h"
#include "controllers/keyboard_mapping.h"
#include "controllers/profile_writer.h"
#include "settings/emulator_ini.h"
#include "shell/install_layout.h"
#include "shell/safe_file.h"
#include "support/temp_install.h"
#include "video/video_choice.h"
#include "video/wrapper_catalogue.h"

namespace velox {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::WriteBytes;
using namespace std::string_literals;

// --- Showing results as text -------------------------------------------------

// Printable bytes as they are, others as \xNN; long texts only by their size.
std::string Shown(std::string_view text) {
  if (text.size() > 200) return "<" + std::to_string(text.size()) + " bytes>";
  std::string out;
  for (const unsigned char c : text) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

std::string Joined(const std::vector<std::string>& parts, std::string_view separator) {
  std::string out;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i) out += separator;
    out += Shown(parts[i]);
  }
  return out;
}

std::string Named(const FileError& error) {
  EXPECT_FALSE(error.cause.empty()) << error.file;
  return "FileError " + error.file.filename().string();
}

std::string Settings(const Result<GeneralSettings>& read) {
  if (!read) return Named(read.error());
  const auto optional = [](const std::optional<std::string>& v) { return v ? Shown(*v) : std::string("(absent)"); };
  const char* sound[] = {"unset", "on", "off"};
  return "rompath=" + optional(read->rompath) + " savepath=" + optional(read->savepath) +
         " resolution=" + Joined(read->resolution, ";") + " viewport=" + Joined(read->viewport, ";") +
         " sound=" + sound[static_cast<int>(read->sound)];
}

std::string Games(const Result<std::vector<std::string>>& read) {
  return read ? "games: " + Joined(*read, "|") : Named(read.error());
}

std::string Game(const Result<GameSection>& read) {
  if (!read) return Named(read.error());
  std::string entries;
  for (const std::string& e : read->entries) entries += "[" + Shown(e) + "]";
  return "title=" + Shown(read->title) + " comment=" + Shown(read->comment) + " entries=" + entries;
}

std::string Keys(const KeyboardMapping& mapping) { return std::string(mapping.keys.begin(), mapping.keys.end()); }

std::string Buttons(const GamepadMapping& mapping) {
  std::string out;
  for (const int b : mapping.buttons) out += (out.empty() ? "" : " ") + std::to_string(b);
  return out;
}

std::string Mode(const std::optional<ControllerMode>& mode) {
  return mode ? ModeInfo(*mode).number : std::string("none");
}

std::string Fields(const Result<std::vector<std::string>>& read) {
  return read ? std::to_string(read->size()) + " fields: " + Joined(*read, "|") : Named(read.error());
}

std::string Choice(const VideoChoice& choice) { return choice ? std::to_string(*choice) : std::string("none"); }

// The keyboard profile that the demo installation's keyboard mapping gives.
std::string DemoKeyboardProfile() {
  const KeyCodes codes{88, 67, 86, 74, 73, 76, 75, 65, 90, 83, 84, 70, 71, 72};
  return ComposeProfile(ProfileKind::Keyboard, {}, codes) + "\r\n";
}

std::string KeyboardOk(const fs::path& app) {
  const Status s = RunControllerOk(app, ControllerMode::Keyboard);
  const std::string pad = ReadBytes(app / "velox.pad");
  const std::string padText = pad == "<missing>"              ? "velox.pad absent"
                              : pad == DemoKeyboardProfile() ? "velox.pad holds the keyboard profile"
                                                             : "velox.pad holds " + Shown(pad);
  return (s.ok() ? std::string("ok") : Named(s.error())) + "; " + padText;
}

// --- Damaged input -------------------------------------------------------------

constexpr size_t kHugeLineSize = 50 << 20;

// One line of 50 MB, "[AAA...A]" without a line end, written once for the whole
// test program and linked into each installation that needs it.
const fs::path& HugeLineFile() {
  static testing::TempFolder folder;
  static const fs::path file = [] {
    const fs::path f = folder / "huge.cfg";
    std::ofstream out(f, std::ios::binary);
    std::string chunk(1 << 20, 'A');
    chunk.front() = '[';
    for (size_t done = 0; done < kHugeLineSize; done += chunk.size()) {
      if (done + chunk.size() == kHugeLineSize) chunk.back() = ']';
      out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
      chunk.front() = 'A';
    }
    return f;
  }();
  return file;
}

bool HoldsHugeLine(const fs::path& file) {
  std::error_code ec;
  if (fs::file_size(file, ec) != kHugeLineSize) return false;
  std::ifstream in(file, std::ios::binary);
  std::string chunk(1 << 20, '\0');
  std::string expected(chunk.size(), 'A');
  expected.front() = '[';
  for (size_t done = 0; done < kHugeLineSize; done += chunk.size()) {
    if (done + chunk.size() == kHugeLineSize) expected.back() = ']';
    if (!in.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || chunk != expected) return false;
    expected.front() = 'A';
  }
  return true;
}

// Random bytes from a fixed seed, without the few bytes that would give them a
// structure (line ends, section headers, field separators): no reader may
// recognise anything in them.
std::string RandomBytes() {
  std::mt19937 random(20261206);
  std::string bytes;
  while (bytes.size() < 4096) {
    const char c = static_cast<char>(random() & 0xFF);
    if (c != '\r' && c != '\n' && c != '[' && c != '|') bytes += c;
  }
  return bytes;
}

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) text.replace(at, from.size(), to);
  return text;
}

enum class Damage { kWellFormed, kEmpty, kFolder, kNoPermission, kRandomBytes, kHugeLine, kNulBytes, kLoneCr, kLfOnly, kMissingData };

const char* DamageName(Damage d) {
  constexpr std::array<const char*, 10> names = {"WellFormed", "Empty",     "Folder",   "NoPermission", "RandomBytes",
                                                 "HugeLine",   "NulBytes",  "LoneCr",   "LfOnly",       "MissingData"};
  return names[static_cast<int>(d)];
}

struct ReaderCase {
  const char* name;
  const char* file;  // relative to AppFolder
  std::string wellFormed;  // with CR LF line ends
  std::string withNul;
  std::function<std::string(const fs::path& app)> read;
  // The defined results.
  std::string ofWellFormed;  // also with lone CR or LF-only line ends
  std::string ofEmpty;
  std::string ofUnreadable;  // a folder in its place, no permission
  std::string ofMissingData;
  std::string ofRandomBytes;
  std::string ofHugeLine;
  std::string ofNul;
};

const std::string kIni =
    "; Velox HLE settings\r\n"
    "[default]\r\n"
    "rompath=C:\\Roms\r\n"
    "savepath=C:\\Saves\r\n"
    "resolution=640,480\r\n"
    "viewport=800,600\r\n"
    "sound=1\r\n"
    "\r\n"
    "[Moonlit Harbor Racer]\r\n"
    "alttitle=Moonlit Harbor Racer (Europe)\r\n"
    "comment=Fast\r\n"
    "patch=0x80021C40,0x00000000\r\n"
    "// optimize = 1\r\n"
    "\r\n"
    "[Copper Lantern Quest]\r\n"
    "//patch=0x800A1234,0x24020001\r\n";
const std::string kIniWithNul =
    "[default]\r\nrompath=C:\\Ro\0ms\r\nsound=\0\r\n[Moonlit Harbor Racer]\r\ncomment=a\0b\r\n\0patch=1\r\n[Nul\0Game]\r\n"s;
const std::string kKeyboard = "88|67|86|74|73|76|75|65|90|83|84|70|71|72\r\nX|C|V|J|I|L|K|A|Z|S|T|F|G|H\r\n";
const std::string kGamepad =
    "128-0|0-4|0-2|64-0|0-32|0-16|32-0|0-0|0-0|16-0|0-0|0-0|0-0|0-0|0-0|0-0\r\n"
    "Bouton 4|Bouton 5|Bouton 6|Bouton 3|---|---|Bouton 2|Bouton 1|Bouton 7|Bouton 10|---|---|---|---\r\n";

const std::string kNoSettings = "rompath=(absent) savepath=(absent) resolution= viewport= sound=unset";
const std::string kNoKeys(kControllerButtonCount, '-');
const std::string kNoButtons = "0 0 0 0 0 0 0 0 0 0 0 0 0 0";

std::vector<ReaderCase> Readers() {
  const std::string random = std::to_string(RandomBytes().size());
  const std::string huge = std::to_string(kHugeLineSize);
  return {
      {"ReadGeneralSettings", "velox.ini", kIni, kIniWithNul,
       [](const fs::path& app) { return Settings(ReadGeneralSettings(app / "velox.ini")); },
       "rompath=C:\\Roms savepath=C:\\Saves resolution=640 x 480 viewport=800 x 600 sound=on", kNoSettings,
       "FileError velox.ini",
       "rompath=C:\\Roms savepath=C:\\Saves resolution=640 x 480 viewport=800 x 600 sound=on", kNoSettings,
       kNoSettings, "rompath=C:\\Ro\\x00ms savepath=(absent) resolution= viewport= sound=off"},
      {"ListGames", "velox.ini", kIni, kIniWithNul, [](const fs::path& app) { return Games(ListGames(app / "velox.ini")); },
       "games: Moonlit Harbor Racer|Copper Lantern Quest", "games: ", "FileError velox.ini",
       "games: Moonlit Harbor Racer|Copper Lantern Quest", "games: ",
       "games: <" + std::to_string(kHugeLineSize - 2) + " bytes>", "games: Moonlit Harbor Racer|Nul\\x00Game"},
      {"ReadGame", "velox.ini", kIni, kIniWithNul,
       [](const fs::path& app) { return Game(ReadGame(app / "velox.ini", "Moonlit Harbor Racer")); },
       "title=Moonlit Harbor Racer (Europe) comment=Fast entries=[patch=0x80021C40,0x00000000][// optimize = 1][]",
       "FileError velox.ini", "FileError velox.ini",
       "title=Moonlit Harbor Racer (Europe) comment=Fast entries=[patch=0x80021C40,0x00000000][// optimize = 1][]",
       "FileError velox.ini", "FileError velox.ini", "title=Moonlit Harbor Racer comment=a\\x00b entries=[\\x00patch=1]"},
      {"ReadKeyboardMapping", "Data/clavier.cfg", kKeyboard, "88|67\r\nX|C|\0|J|I\r\n"s,
       [](const fs::path& app) { return Keys(ReadKeyboardMapping(app)); }, "XCVJILKAZSTFGH", kNoKeys, kNoKeys, kNoKeys,
       kNoKeys, kNoKeys, "XC" + std::string(kControllerButtonCount - 2, '-')},
      {"ReadGamepadMapping", "Data/manette.cfg", kGamepad, "0-0\r\nBouton 4|Bouton\0 5|Bouton 6\r\n"s,
       [](const fs::path& app) { return Buttons(ReadGamepadMapping(app)); }, "4 5 6 3 0 0 2 1 7 10 0 0 0 0", kNoButtons,
       kNoButtons, kNoButtons, kNoButtons, kNoButtons, "4 0 0 0 0 0 0 0 0 0 0 0 0 0"},
      {"ReadControllerMode", "Data/controller.cfg", "3\r\n", "3\0\r\n"s,
       [](const fs::path& app) { return Mode(ReadControllerMode(app)); }, "3", "5", "5", "5", "none", "none", "none"},
      {"ReadMappingLine", "Data/manette.cfg", kGamepad, "1\0|2\r\nX\r\n"s,
       [](const fs::path& app) { return Fields(ReadMappingLine(app / "Data/manette.cfg")); },
       "16 fields: 128-0|0-4|0-2|64-0|0-32|0-16|32-0|0-0|0-0|16-0|0-0|0-0|0-0|0-0|0-0|0-0", "FileError manette.cfg",
       "FileError manette.cfg", "FileError manette.cfg", "1 fields: <" + random + " bytes>",
       "1 fields: <" + huge + " bytes>", "2 fields: 1\\x00|2"},
      {"RunControllerOk", "Data/clavier.cfg", kKeyboard,
       "88|67|86|74|73|76|75|65|90|83|84|70|71|7\0\r\n"s, KeyboardOk,
       "ok; velox.pad holds the keyboard profile", "FileError clavier.cfg; velox.pad absent",
       "FileError clavier.cfg; velox.pad absent", "FileError controller.cfg; velox.pad absent",
       "FileError clavier.cfg; velox.pad absent", "FileError clavier.cfg; velox.pad absent",
       "FileError clavier.cfg; velox.pad absent"},
      {"ReadVideoChoice", "Data/glide.cfg", "9\r\n", "9\0\r\n"s,
       [](const fs::path& app) { return Choice(ReadVideoChoice(app)); }, "9", "13", "13", "13", "none", "none", "none"},
  };
}

class BadInputReaderTest : public ::testing::TestWithParam<std::tuple<ReaderCase, Damage>> {};

TEST_P(BadInputReaderTest, GivesTheDefinedResultAndLeavesTheFileAlone) {
  const ReaderCase& r = std::get<0>(GetParam());
  const Damage damage = std::get<1>(GetParam());
  if (damage == Damage::kNoPermission && ::geteuid() == 0) GTEST_SKIP() << "permissions do not stop root";

  testing::TempFolder app;
  testing::CopyDemo(app.path());
  const fs::path file = app / r.file;
  std::optional<std::string> bytes;  // what the file holds; none when it is no file
  std::string expected;
  switch (damage) {
    case Damage::kWellFormed: bytes = r.wellFormed, expected = r.ofWellFormed; break;
    case Damage::kEmpty: bytes = "", expected = r.ofEmpty; break;
    case Damage::kFolder: expected = r.ofUnreadable; break;
    case Damage::kNoPermission: bytes = r.wellFormed, expected = r.ofUnreadable; break;
    case Damage::kRandomBytes: bytes = RandomBytes(), expected = r.ofRandomBytes; break;
    case Damage::kHugeLine: expected = r.ofHugeLine; break;
    case Damage::kNulBytes: bytes = r.withNul, expected = r.ofNul; break;
    case Damage::kLoneCr: bytes = ReplaceAll(r.wellFormed, "\r\n", "\r"), expected = r.ofWellFormed; break;
    case Damage::kLfOnly: bytes = ReplaceAll(r.wellFormed, "\r\n", "\n"), expected = r.ofWellFormed; break;
    case Damage::kMissingData: bytes = r.wellFormed, expected = r.ofMissingData; break;
  }
  fs::remove(file);
  if (bytes) WriteBytes(file, *bytes);
  if (damage == Damage::kFolder) fs::create_directory(file);
  if (damage == Damage::kHugeLine) fs::create_hard_link(HugeLineFile(), file);
  if (damage == Damage::kNoPermission) fs::permissions(file, fs::perms::none);
  if (damage == Damage::kMissingData) fs::remove_all(app / "Data");

  EXPECT_EQ(r.read(app.path()), expected);

  if (damage == Damage::kNoPermission) fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
  if (damage == Damage::kMissingData) {
    EXPECT_FALSE(fs::exists(app / "Data"));
    if (fs::path(r.file).has_parent_path()) return;
  }
  if (damage == Damage::kFolder) {
    EXPECT_TRUE(fs::is_directory(file));
    EXPECT_TRUE(fs::is_empty(file));
  } else if (damage == Damage::kHugeLine) {
    EXPECT_TRUE(HoldsHugeLine(file));
  } else {
    EXPECT_EQ(ReadBytes(file), *bytes);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Readers, BadInputReaderTest,
    ::testing::Combine(::testing::ValuesIn(Readers()),
                       ::testing::Values(Damage::kWellFormed, Damage::kEmpty, Damage::kFolder, Damage::kNoPermission,
                                         Damage::kRandomBytes, Damage::kHugeLine, Damage::kNulBytes, Damage::kLoneCr,
                                         Damage::kLfOnly, Damage::kMissingData)),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) + "_" + DamageName(std::get<1>(info.param));
    });

}  // namespace
}  // namespace velox
