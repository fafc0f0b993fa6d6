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

#include <sys/mount.h>
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

void PrintTo(const ReaderCase& r, std::ostream* os) { *os << r.name; }
void PrintTo(Damage d, std::ostream* os) { *os << DamageName(d); }

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

// --- Blocked writers -------------------------------------------------------------

namespace velox {
namespace {

enum class Block { kReadOnly, kFolder, kMissingFolder, kDiskFull };

const char* BlockName(Block b) {
  constexpr std::array<const char*, 4> names = {"ReadOnly", "Folder", "MissingFolder", "DiskFull"};
  return names[static_cast<int>(b)];
}

// Every file and folder of the installation with its bytes.
std::map<std::string, std::string> Snapshot(const fs::path& app) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(app)) {
    const std::string name = fs::relative(entry.path(), app).generic_string();
    files[name] = entry.is_directory() ? "<folder>" : ReadBytes(entry.path());
  }
  return files;
}

fs::path LibrarySource(const fs::path& app, int choice) {
  return JoinedPath(app, *WrapperCatalogue::ByChoice(choice)->librarySource);
}

struct WriterCase {
  const char* name;
  const char* target;  // relative to the installation, which is the current directory
  const char* temp;    // the name of its temporary file
  // Writes into the installation at app (a missing folder for the missing-folder
  // case of velox.ini); fails on the target.
  std::function<Status(const fs::path& app)> write;
  // Files that the writer changes, as it should, before it reaches the target.
  std::function<std::map<std::string, std::string>(const fs::path& app)> writtenBefore;
  bool folderCanBeMissing;  // the target's folder is not the installation itself
};

std::map<std::string, std::string> NothingBefore(const fs::path&) { return {}; }

std::vector<WriterCase> Writers() {
  GeneralSettings settings;
  settings.rompath = "D:\\Roms";
  settings.savepath = "D:\\Saves";
  settings.resolution = {"1024 x 768"};
  settings.viewport = {"800 x 600"};
  settings.sound = SoundSetting::kOff;
  KeyboardMapping keys;
  keys.keys.fill('Q');
  GamepadMapping buttons;
  buttons.buttons.fill(3);
  return {
      {"WriteGeneralSettings", "velox.ini", "-velox-.ini",
       [settings](const fs::path& app) { return WriteGeneralSettings(app / "velox.ini", app / "-velox-.ini", settings); },
       NothingBefore, true},
      {"SwitchEntry", "velox.ini", "-velox-.ini",
       [](const fs::path& app) {
         return SwitchEntry(app / "velox.ini", app / "-velox-.ini", "Moonlit Harbor Racer", "bootloader=2", false);
       },
       NothingBefore, true},
      {"WriteKeyboardMapping", "Data/clavier.cfg", "clavier.cfg",
       [keys](const fs::path& app) { return WriteKeyboardMapping(app, keys); }, NothingBefore, true},
      {"WriteGamepadMapping", "Data/manette.cfg", "manette.cfg",
       [buttons](const fs::path& app) { return WriteGamepadMapping(app, buttons); }, NothingBefore, true},
      {"RunControllerOkModeFile", "Data/controller.cfg", "controller.cfg",
       [](const fs::path& app) { return RunControllerOk(app, ControllerMode::GamepadKeyboard); }, NothingBefore, true},
      {"RunControllerOkProfile", "velox.pad", "velox.pad",
       [](const fs::path& app) { return RunControllerOk(app, ControllerMode::GamepadKeyboard); },
       [](const fs::path&) { return std::map<std::string, std::string>{{"Data/controller.cfg", "3\r\n"}}; }, false},
      {"InstallVideoChoiceLibrary", "glide2x.dll", "glide2x.dll",
       [](const fs::path& app) { return InstallVideoChoice(app, 9); }, NothingBefore, false},
      {"InstallVideoChoiceChoiceFile", "Data/glide.cfg", "glide.cfg",
       [](const fs::path& app) { return InstallVideoChoice(app, 9); },
       [](const fs::path& app) { return std::map<std::string, std::string>{{"glide2x.dll", ReadBytes(LibrarySource(app, 9))}}; },
       true},
  };
}

void PrintTo(const WriterCase& w, std::ostream* os) { *os << w.name; }
void PrintTo(Block b, std::ostream* os) { *os << BlockName(b); }

class BadInputWriterTest : public ::testing::TestWithParam<std::tuple<WriterCase, Block>> {
 protected:
  void TearDown() override { SetReplaceFaultForTesting(nullptr); }
};

TEST_P(BadInputWriterTest, FailsNamingTheFileAndChangesNothingElse) {
  const WriterCase& w = std::get<0>(GetParam());
  const Block block = std::get<1>(GetParam());
  if (block == Block::kMissingFolder && !w.folderCanBeMissing) GTEST_SKIP() << "its folder is the installation";

  testing::TempFolder app;
  testing::CopyDemo(app.path());
  // Files that the demo lacks, so that there is something to keep intact.
  WriteBytes(app / "velox.pad", "the earlier profile\r\n");
  WriteBytes(app / "glide2x.dll", "the earlier library");
  const testing::CurrentDirectory cd(app.path());

  const fs::path target = app / w.target;
  fs::path writeAt = app.path();
  switch (block) {
    case Block::kReadOnly: testing::MakeReadOnly(target); break;
    case Block::kFolder:
      fs::remove(target);
      fs::create_directory(target);
      break;
    case Block::kMissingFolder:
      if (fs::path(w.target).has_parent_path()) {
        fs::remove_all(target.parent_path());
      } else {
        writeAt = app / "gone";
      }
      break;
    case Block::kDiskFull:
      SetReplaceFaultForTesting([&](std::string_view step, const fs::path& temp) {
        return step == "write" && temp.filename().string().find(w.temp) != std::string::npos ? ENOSPC : 0;
      });
      break;
  }
  std::map<std::string, std::string> expected = Snapshot(app.path());
  for (const auto& [file, bytes] : w.writtenBefore(app.path())) expected[file] = bytes;

  const Status s = w.write(writeAt);

  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.error().file.filename(), fs::path(w.target).filename()) << s.error().Describe();
  switch (block) {
    case Block::kReadOnly: EXPECT_EQ(s.error().cause, "is read-only"); break;
    case Block::kFolder: EXPECT_EQ(s.error().cause, "is a folder, not a file"); break;
    case Block::kMissingFolder: EXPECT_FALSE(s.error().cause.empty()); break;
    case Block::kDiskFull: EXPECT_EQ(s.error().cause, "the disk is full"); break;
  }
  EXPECT_EQ(Snapshot(app.path()), expected);
}

INSTANTIATE_TEST_SUITE_P(Writers, BadInputWriterTest,
                         ::testing::Combine(::testing::ValuesIn(Writers()),
                                            ::testing::Values(Block::kReadOnly, Block::kFolder, Block::kMissingFolder,
                                                              Block::kDiskFull)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" + BlockName(std::get<1>(info.param));
                         });

}  // namespace
}  // namespace velox

namespace velox {
namespace {

// A real full disk: the installation on a small file system of its own, where
// the settings file takes more than half of the free space, so that no rewrite
// of it fits. Needs the right to mount; skipped where the tests may not.
class SmallDisk {
 public:
  explicit SmallDisk(const fs::path& at) : at_(at) {
    fs::create_directories(at_);
    mounted_ = ::mount("tmpfs", at_.c_str(), "tmpfs", 0, "size=1m") == 0;
  }
  ~SmallDisk() {
    if (mounted_) ::umount(at_.c_str());
  }
  bool mounted() const { return mounted_; }

 private:
  fs::path at_;
  bool mounted_ = false;
};

TEST(BadInputFullDisk, SettingsRewritesThatDoNotFitLeaveEveryFileIntact) {
  testing::TempFolder dir;
  const fs::path app = dir / "small";
  SmallDisk disk(app);
  if (!disk.mounted()) GTEST_SKIP() << "cannot mount a small file system here";
  testing::CopyDemo(app);
  std::string ini = ReadBytes(app / "velox.ini");
  const size_t free = fs::space(app).available;
  for (int g = 0; ini.size() < free * 6 / 10; ++g) ini += "[Filler " + std::to_string(g) + "]\r\npatch=0x80000000,0x1\r\n";
  WriteBytes(app / "velox.ini", ini);
  const std::map<std::string, std::string> before = Snapshot(app);

  GeneralSettings settings;
  settings.rompath = "D:\\Roms";
  const Status written = WriteGeneralSettings(app / "velox.ini", app / "-velox-.ini", settings);
  ASSERT_FALSE(written.ok());
  EXPECT_EQ(written.error().file, app / "velox.ini");
  EXPECT_EQ(written.error().cause, "the disk is full");
  EXPECT_EQ(Snapshot(app), before);

  const Status switched = SwitchEntry(app / "velox.ini", app / "-velox-.ini", "Moonlit Harbor Racer", "bootloader=2", false);
  ASSERT_FALSE(switched.ok());
  EXPECT_EQ(switched.error().file, app / "velox.ini");
  EXPECT_EQ(switched.error().cause, "the disk is full");
  EXPECT_EQ(Snapshot(app), before);
}

}  // namespace
}  // namespace velox
