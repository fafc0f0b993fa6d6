#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <regex>

#include "controllers/controller_mode.h"
#include "controllers/gamepad_mapping.h"
#include "controllers/keyboard_mapping.h"
#include "controllers/profile_writer.h"
#include "settings/emulator_ini.h"
#include "shell/safe_file.h"
#include "support/file_call_spy.h"
#include "support/temp_install.h"
#include "video/video_choice.h"

namespace velox {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes, testing::WriteBytes;
using namespace std::string_literals;
using P = const fs::path&;
struct Demo : testing::TempFolder { Demo() { testing::CopyDemo(path()); } };
template <typename T> requires requires(T t) { t.name; } void PrintTo(const T& t, std::ostream* os) { *os << t.name; }

// What a reader gives, in short: fields joined by '|', an error by its file.
std::string S(const std::vector<std::string>& fields) {
  std::string out;
  for (size_t i = 0; i < fields.size(); ++i) out += (i ? "|" : "") + fields[i];
  return out;
}
std::string S(const Status& s) { return s ? "ok" : "error " + s.error().file.filename().string(); }
std::string S(const GeneralSettings& s) {
  return S({s.rompath.value_or(""), S(s.resolution), std::to_string(static_cast<int>(s.sound))});
}
std::string S(GameSection g) {
  g.entries.insert(g.entries.begin(), {g.title, g.comment});
  return S(g.entries);
}
template <typename T, size_t N> std::string S(const std::array<T, N>& a) { return std::string(a.begin(), a.end()); }
template <typename T> std::string S(const Result<T>& r) { return r ? S(*r) : S(r.status()); }

const std::string kIni = "[default]\r\nrompath=C:\\Roms\r\nresolution=640,480\r\nsound=1\r\n\r\n[Racer]\r\n"
                         "alttitle=Racer (EU)\r\ncomment=Fast\r\npatch=0x1\r\n// optimize=1\r\n\r\n[Lantern]\r\n";
const std::string kIni0 = "[default]\r\nrompath=\0R\r\nsound=\0\r\n[Racer]\r\ncomment=a\0b\r\n\0x=1\r\n[Nul\0]\r\n"s;
const std::string kKeys = "88|67|86|74|73|76|75|65|90|83|84|70|71|72\r\nX|C|V|J|I|L|K|A|Z|S|T|F|G|H\r\n";
const std::string kPadLine = "128-0|0-4|0-2|64-0|0-32|0-16|32-0|0-0|0-0|16-0|0-0|0-0|0-0|0-0|0-0|0-0";
const std::string kPad = kPadLine + "\r\nBouton 4|---|Bouton 16\r\n", kPad0 = "1\0|2\r\nBouton 4|Bouton\0 5\r\n"s;
const std::string kSettings = "C:\\Roms|640 x 480|1", kNoSettings = "||0", kNoIni = "error velox.ini";
const std::string kGame = "Racer (EU)|Fast|patch=0x1|// optimize=1|", kNoLine = "error manette.cfg";
const std::string kGames = "Racer|Lantern", kNoKeys(14, '-'), kNoPad(14, '\0'), kKeys0 = "88|67\r\nX|C|\0|J|I\r\n"s;

struct Reader {
  const char *name, *file;  // the file relative to the installation
  std::string wellFormed, withNul;
  std::string (*read)(P app);
  // Of the file well formed (also with lone CR or LF line ends), empty, a folder, without Data, with NUL bytes.
  std::array<std::string, 5> of;
};

const Reader kReaders[] = {
    {"ReadGeneralSettings", "velox.ini", kIni, kIni0, [](P a) { return S(ReadGeneralSettings(a / "velox.ini")); },
     {kSettings, kNoSettings, kNoIni, kSettings, "\0R||2"s}},
    {"ListGames", "velox.ini", kIni, kIni0, [](P a) { return S(ListGames(a / "velox.ini")); },
     {kGames, "", kNoIni, kGames, "Racer|Nul\0"s}},
    {"ReadGame", "velox.ini", kIni, kIni0, [](P a) { return S(ReadGame(a / "velox.ini", "Racer")); },
     {kGame, kNoIni, kNoIni, kGame, "Racer|a\0b|\0x=1"s}},
    {"ReadKeyboardMapping", "Data/clavier.cfg", kKeys, kKeys0, [](P a) { return S(ReadKeyboardMapping(a).keys); },
     {"XCVJILKAZSTFGH", kNoKeys, kNoKeys, kNoKeys, "XC" + kNoKeys.substr(2)}},
    {"ReadGamepadMapping", "Data/manette.cfg", kPad, kPad0, [](P a) { return S(ReadGamepadMapping(a).buttons); },
     {std::string{4, 0, 16} + kNoPad.substr(3), kNoPad, kNoPad, kNoPad, "\4" + kNoPad.substr(1)}},
    {"ReadMappingLine", "Data/manette.cfg", kPad, kPad0, [](P a) { return S(ReadMappingLine(a / "Data/manette.cfg")); },
     {kPadLine, kNoLine, kNoLine, kNoLine, "1\0|2"s}},
};
const auto kName = [](const auto& info) { return std::string(info.param.name); };

using BadInputReader = ::testing::TestWithParam<Reader>;

TEST_P(BadInputReader, GivesTheDefinedResultAndLeavesTheFileAlone) {
  const Reader& r = GetParam();
  const struct {
    const char* damage;
    std::optional<std::string> bytes;  // none: a folder
    const std::string& expected;
    bool noData = false;
  } cases[] = {
      {"well formed", r.wellFormed, r.of[0]},
      {"lone CR", std::regex_replace(r.wellFormed, std::regex("\n"), ""), r.of[0]},
      {"LF only", std::regex_replace(r.wellFormed, std::regex("\r"), ""), r.of[0]},
      {"empty", "", r.of[1]},
      {"a folder", std::nullopt, r.of[2]},
      {"no Data folder", r.wellFormed, r.of[3], true},
      {"NUL bytes", r.withNul, r.of[4]},
  };
  for (const auto& c : cases) {
    const Demo app;
    const fs::path file = app / r.file;
    fs::remove(file);
    if (c.bytes) {
      WriteBytes(file, *c.bytes);
    } else {
      fs::create_directory(file);
    }
    if (c.noData) fs::remove_all(app / "Data");
    EXPECT_EQ(r.read(app.path()), c.expected) << c.damage;
    if (c.noData && fs::path(r.file).has_parent_path()) {
      EXPECT_FALSE(fs::exists(app / "Data")) << "a reader makes no folder";
    } else {
      EXPECT_TRUE(c.bytes ? ReadBytes(file) == *c.bytes : fs::is_empty(file)) << c.damage;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Readers, BadInputReader, ::testing::ValuesIn(kReaders), kName);

// Installations in folders whose names only Unicode holds (the readers share the writers' file and path code): no code page narrows them on the way.
template <typename F> void InFoldersOfAnyLetters(F&& check) {
  for (const std::u8string folder : {u8"Jeux vid\u00e9o/Jos\u00e9", u8"\u30d3\u30c7\u30aa"}) {
    const testing::TempFolder outer;
    const fs::path app = outer.path() / folder;
    fs::create_directories(app);
    testing::CopyDemo(app);
    const testing::CurrentDirectory cd(app);
    check(app);
  }
}


struct Writer {
  const char *name, *target;  // the target relative to the installation, which is the current directory
  Status (*write)(P app);
  bool second = false;  // it first rewrites another file, with the bytes that file already holds
};

const Writer kWriters[] = {
    {"WriteGeneralSettings", "velox.ini",
     [](P a) { return WriteGeneralSettings(a / "velox.ini", a / "-velox-.ini", {}); }},
    {"SwitchEntry", "velox.ini",
     [](P a) { return SwitchEntry(a / "velox.ini", a / "-velox-.ini", "Thimble & Thunder", "optimize=1", false); }},
    {"WriteKeyboardMapping", "Data/clavier.cfg", [](P a) { return WriteKeyboardMapping(a, {}); }},
    {"WriteGamepadMapping", "Data/manette.cfg", [](P a) { return WriteGamepadMapping(a, {}); }},
    {"RunControllerOkModeFile", "Data/controller.cfg", [](P a) { return RunControllerOk(a, ControllerMode::Gamepad); }},
    {"RunControllerOkProfile", "velox.pad", [](P a) { return RunControllerOk(a, ControllerMode::Gamepad); }, true},
    {"InstallVideoChoiceLibrary", "glide2x.dll", [](P a) { return InstallVideoChoice(a, 1); }},
    {"InstallVideoChoiceChoiceFile", "Data/glide.cfg", [](P a) { return InstallVideoChoice(a, 9); }, true},
};

std::map<std::string, std::string> Snapshot(const fs::path& app) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(app))
    files[fs::relative(e.path(), app).generic_string()] = e.is_directory() ? "<folder>" : ReadBytes(e.path());
  return files;
}

using BadInputWriter = ::testing::TestWithParam<Writer>;

TEST_P(BadInputWriter, FailsNamingTheFileAndChangesNothingElse) {
  for (const std::string block : {"is read-only", "is a folder, not a file", "missing folder", "the disk is full"}) {
    const Demo app;
    WriteBytes(app / "velox.pad", "earlier");  // the demo has none; its controller mode is already 2
    WriteBytes(app / "glide2x.dll", ReadBytes(app / "Glide Wrapper/MuGlide/glide2x.dll"));  // choice 9's library
    const testing::CurrentDirectory cd(app.path());  // where the wrapper library goes
    const fs::path target = app / GetParam().target;
    if (block == "is read-only") testing::MakeReadOnly(target);
    if (block == "is a folder, not a file") {
      fs::remove(target);
      fs::create_directory(target);
    }
    const bool ini = target.filename() == "velox.ini", missing = block == "missing folder";
    if (missing && target.parent_path() != app.path()) fs::remove_all(target.parent_path());
    else if (missing && !ini) continue;  // its folder is the installation
    std::optional<testing::FileCallSpy> spy;
    if (block == "the disk is full") spy.emplace().Fail("write", ENOSPC, 1 + GetParam().second);  // the target's temp
    const auto before = Snapshot(app.path());

    const Status s = GetParam().write(missing && ini ? app / "gone" : app.path());
    spy.reset();
    // A failure while the temporary file is written names that file.
    const fs::path temp = ini ? app / "-velox-.ini" : DefaultTempFile(target);
    ASSERT_EQ(S(s), "error " + (block == "the disk is full" ? temp : target).filename().string()) << block;
    EXPECT_TRUE(missing ? !s.error().cause.empty() : s.error().cause == block) << s.error().Describe();
    EXPECT_EQ(Snapshot(app.path()), before) << block;
  }
}

TEST_P(BadInputWriter, WritesInAFolderOfAnyLetters) {
  InFoldersOfAnyLetters([](P app) {
    const fs::path target = app / GetParam().target;
    // The settings must stay settings: a last line without its end gains one at the rewrite.
    WriteBytes(target, target.filename() == "velox.ini" ? ReadBytes(target) + "; end" : "earlier");
    const std::string before = ReadBytes(target);
    const Status s = GetParam().write(app);
    ASSERT_TRUE(s.ok()) << s.error().Describe();
    EXPECT_NE(ReadBytes(target), before) << PathText(app);
    for (const auto& [name, bytes] : Snapshot(app)) EXPECT_EQ(name.find("velox-"), std::string::npos) << name;
  });
}

INSTANTIATE_TEST_SUITE_P(Writers, BadInputWriter, ::testing::ValuesIn(kWriters), kName);

TEST(AnyLetters, TheAdaptoidProfileIsCopiedInAFolderOfAnyLetters) {
  InFoldersOfAnyLetters([](P app) {
    ASSERT_TRUE(RunControllerOk(app, ControllerMode::Adaptoid).ok()) << PathText(app);
    EXPECT_EQ(ReadBytes(app / "velox.pad"), ReadBytes(app / "Data/adaptoid.cfg"));
  });
}

}  // namespace
}  // namespace velox
