#include <gtest/gtest.h>

#include <cerrno>

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

std::string S(const Status& s) { return s ? "ok" : "error " + s.error().file.filename().string(); }
const auto kName = [](const auto& info) { return std::string(info.param.name); };

// Installations in folders whose names only Unicode holds: no code page narrows them on the way.
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
    const std::string before = testing::Listing(app.path());

    const Status s = GetParam().write(missing && ini ? app / "gone" : app.path());
    spy.reset();
    // A failure while the temporary file is written names that file.
    const fs::path temp = ini ? app / "-velox-.ini" : DefaultTempFile(target);
    ASSERT_EQ(S(s), "error " + (block == "the disk is full" ? temp : target).filename().string()) << block;
    EXPECT_TRUE(missing ? !s.error().cause.empty() : s.error().cause == block) << s.error().Describe();
    EXPECT_EQ(testing::Listing(app.path()), before) << block;
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
    EXPECT_EQ(testing::Listing(app).find("velox-"), std::string::npos) << "a temporary file is left";
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
