#include "settings/emulator_ini.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "shell/safe_file.h"
#include "support/temp_install.h"

namespace velox {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
namespace fs = std::filesystem;

TEST(EmulatorIniEntryState, PrefixesAreTestedExactlyAndCaseSensitively) {
  struct Case {
    const char* entry;
    EntryState state;
  } cases[] = {
      {"patch=0x80001000,1", EntryState::kActive},
      {"", EntryState::kActive},
      {" //patch=1", EntryState::kActive},
      {"/patch=1", EntryState::kActive},
      {"//patch=1", EntryState::kSwitchable},
      {"// patch=1", EntryState::kSwitchable},
      {"//patch =1", EntryState::kSwitchable},
      {"// patch =1", EntryState::kSwitchable},
      {"//osrange=1", EntryState::kSwitchable},
      {"// osrange =1", EntryState::kSwitchable},
      {"//viewport =1", EntryState::kSwitchable},
      {"// optimize =1", EntryState::kSwitchable},
      {"//optimize=1", EntryState::kSwitchable},
      {"//bootloader =2", EntryState::kSwitchable},
      {"// bootloader=2", EntryState::kSwitchable},
      {"//  patch=1", EntryState::kPlainComment},
      {"//Patch=1", EntryState::kPlainComment},
      {"//patch  =1", EntryState::kPlainComment},
      {"//patch", EntryState::kPlainComment},
      {"//rompath=C:\\", EntryState::kPlainComment},
      {"// just a note", EntryState::kPlainComment},
      {"//", EntryState::kPlainComment},
  };
  for (const Case& c : cases) EXPECT_EQ(GetEntryState(c.entry), c.state) << '"' << c.entry << '"';
}

TEST(EmulatorIniSwitch, SwitchingAddsOrRemovesExactlyTwoCharacters) {
  EXPECT_EQ(SwitchedLine("// optimize =1", true), " optimize =1");
  EXPECT_EQ(SwitchedLine("//patch=5", true), "patch=5");
  EXPECT_EQ(SwitchedLine("optimize=1", false), "//optimize=1");
  EXPECT_EQ(SwitchedLine(" patch=2", false), "// patch=2");
  EXPECT_EQ(SwitchedLine("", false), "");
}

TEST(EmulatorIniResolution, ShownAndFileFormsChangeOnlyTheSeparators) {
  EXPECT_EQ(ShownResolution("800,600"), "800 x 600");
  EXPECT_EQ(ShownResolution("1,2,3"), "1 x 2 x 3");
  EXPECT_EQ(ShownResolution("abc"), "abc");
  EXPECT_EQ(FileResolution("1024 x 768"), "1024,768");
  EXPECT_EQ(FileResolution("1024x768"), "1024x768");
  EXPECT_EQ(FileResolution(""), "");
}

TEST(EmulatorIniRead, DefaultSectionRulesAndLastAndFirstWins) {
  const std::string file =
      "rompath=before any header\r\n"
      "[default]\r\n"
      "rompath=C:\\first\r\n"
      "sound=1\r\n"
      "resolution=640,480\r\n"
      "[Default]\r\n"
      "rompath=capital D is a game\r\n"
      "[default]xyz\r\n"
      "rompath=C:\\second \r\n"
      " savepath=leading blank\r\n"
      "savepath =blank before equals\r\n"
      "sound=0\r\n"
      "resolution=1920,1080\r\n"
      "viewport=800,600";
  const GeneralSettings s = ParseGeneralSettings(file);
  EXPECT_EQ(s.rompath, "C:\\second ");
  EXPECT_EQ(s.savepath, std::nullopt);
  EXPECT_THAT(s.resolution, ElementsAre("640 x 480", "1920 x 1080"));
  EXPECT_THAT(s.viewport, ElementsAre("800 x 600"));
  EXPECT_EQ(s.sound, SoundSetting::kOn);
}

TEST(EmulatorIniRead, MissingKeysStayUnsetAndEmptyValuesArePresent) {
  const GeneralSettings s = ParseGeneralSettings("[default]\nrompath=\nsound=yes\n[game]\nsavepath=x\n");
  EXPECT_EQ(s.rompath, "");
  EXPECT_EQ(s.savepath, std::nullopt);
  EXPECT_THAT(s.resolution, IsEmpty());
  EXPECT_EQ(s.sound, SoundSetting::kOff);
  EXPECT_EQ(ParseGeneralSettings("[game]\r\nsound=1\r\n").sound, SoundSetting::kUnset);
}

TEST(EmulatorIniWrite, ReplacesEveryMatchingLineOfEveryDefaultSectionAndNothingElse) {
  const std::string file =
      "[default]\r\n"
      "rompath=old1\r\n"
      "rompath=old2 trailing\r\n"
      "sound=1\r\n"
      "sound=0\r\n"
      "resolution=640,480\r\n"
      "other=\xE9t\xE9\r\n"
      "[game]\r\n"
      "rompath=game keeps this\r\n"
      "[default]\n"
      "savepath=s\r"
      "viewport=1,1";
  GeneralSettings s;
  s.rompath = "D:\\roms";
  s.savepath = "";
  s.resolution = {"1024 x 768"};
  s.viewport = {"800 x 600"};
  s.sound = SoundSetting::kOff;
  EXPECT_EQ(RewriteGeneralSettings(file, s),
            "[default]\r\n"
            "rompath=D:\\roms\r\n"
            "rompath=D:\\roms\r\n"
            "sound=0\r\n"
            "sound=0\r\n"
            "resolution=1024,768\r\n"
            "other=\xE9t\xE9\r\n"
            "[game]\r\n"
            "rompath=game keeps this\r\n"
            "[default]\r\n"
            "savepath=\r\n"
            "viewport=800,600\r\n");
}

TEST(EmulatorIniWrite, AbsentValuesLeaveTheirLinesAndNoKeyIsAdded) {
  const std::string file = "[default]\r\nresolution=1920,1080\r\nsound=1\r\n[g]\r\nx\r\n";
  GeneralSettings s;  // nothing chosen: no key line may change
  EXPECT_EQ(RewriteGeneralSettings(file, s), file);
  s.rompath = "new";
  s.viewport = {"640 x 480"};
  s.sound = SoundSetting::kOn;
  EXPECT_EQ(RewriteGeneralSettings(file, s), file) << "keys the section lacks are not added";
  EXPECT_EQ(RewriteGeneralSettings("[game]\r\nrompath=a\r\n", s), "[game]\r\nrompath=a\r\n");
}

TEST(EmulatorIniGames, ListsNamedNonDefaultSectionsWithDuplicates) {
  const std::string file =
      "[default]\r\n[Default]\r\n[default]xyz\r\n[Moon Rally]\r\n[]\r\n[\r\n[x\r\n[Moon Rally]\r\nno header\r\n[a]b";
  // "[]" and "[x" give the empty name and "[" has none: neither is a game.
  EXPECT_THAT(ParseGameNames(file), ElementsAre("Default", "default]xy", "Moon Rally", "Moon Rally", "a]"));
}

TEST(EmulatorIniGames, ReadsTheFirstSectionOfThatNameUpToTheNextHeader) {
  const std::string file =
      "[default]\r\n"
      "[Star Courier]\r\n"
      "alttitle=Star Courier (first)\r\n"
      "comment=one\r\n"
      "patch=1\r\n"
      "\r\n"
      "// note\r\n"
      "comment=two\r\n"
      "Alttitle=not a title\r\n"
      "[\r\n"
      "after the nameless header\r\n"
      "[Star Courier]\r\n"
      "alttitle=second\r\n"
      "patch=2\r\n";
  const std::optional<GameSection> g = ParseGame(file, "Star Courier");
  ASSERT_TRUE(g);
  EXPECT_EQ(g->title, "Star Courier (first)");
  EXPECT_EQ(g->comment, "two");
  EXPECT_THAT(g->entries, ElementsAre("patch=1", "", "// note", "Alttitle=not a title"));
  EXPECT_FALSE(ParseGame(file, "star courier"));
  EXPECT_FALSE(ParseGame(file, ""));
}

TEST(EmulatorIniGames, AnEmptyOrMissingTitleFallsBackToTheName) {
  const auto empty = ParseGame("[Pixel Barn]\nalttitle=\nx\n", "Pixel Barn");
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->title, "Pixel Barn");
  EXPECT_EQ(empty->comment, "");
  const auto none = ParseGame("[Pixel Barn]", "Pixel Barn");
  ASSERT_TRUE(none);
  EXPECT_EQ(none->title, "Pixel Barn");
  EXPECT_THAT(none->entries, IsEmpty());
}

TEST(EmulatorIniSwitchFile, ChangesOnlyTheChosenGamesFirstSection) {
  const std::string file =
      "[A]\r\npatch=1\r\n[B]\r\npatch=1\r\nkeep\r\npatch=1\n[B]\r\npatch=1\r\n[A]\r\npatch=1";
  EXPECT_EQ(RewriteSwitched(file, "B", "patch=1", false),
            "[A]\r\npatch=1\r\n[B]\r\n//patch=1\r\nkeep\r\n//patch=1\r\n[B]\r\npatch=1\r\n[A]\r\npatch=1\r\n");
  EXPECT_EQ(RewriteSwitched(file, "C", "patch=1", false), std::nullopt);
  EXPECT_EQ(RewriteSwitched(file, "A", "keep", false), std::nullopt);
}

TEST(EmulatorIniSwitchFile, ABlankEntryRewritesTheSameLines) {
  EXPECT_EQ(RewriteSwitched("[g]\n\nx\n", "g", "", false), "[g]\r\n\r\nx\r\n");
}

class EmulatorIniFileTest : public ::testing::Test {
 protected:
  void TearDown() override { SetReplaceFaultForTesting(nullptr); }
  testing::TempFolder dir;
  fs::path ini = dir / "velox.ini";
  fs::path temp = dir / "-velox-.ini";
};

TEST_F(EmulatorIniFileTest, AMissingFileIsReportedAndNeverCreated) {
  GeneralSettings s;
  s.rompath = "x";
  EXPECT_FALSE(ReadGeneralSettings(ini).ok());
  const Status written = WriteGeneralSettings(ini, temp, s);
  ASSERT_FALSE(written.ok());
  EXPECT_EQ(written.error().file, ini);
  EXPECT_FALSE(ListGames(ini).ok());
  EXPECT_FALSE(ReadGame(ini, "g").ok());
  EXPECT_FALSE(SwitchEntry(ini, temp, "g", "patch=1", false).ok());
  EXPECT_FALSE(fs::exists(ini));
  EXPECT_FALSE(fs::exists(temp));
}

TEST_F(EmulatorIniFileTest, RewritesThroughTheTemporaryFileAndKeepsEightBitBytes) {
  testing::WriteBytes(ini, "[default]\r\nrompath=C:\\J\xE9u\r\n[G\xFC]\r\n// patch=1\r\nz\xFF");
  std::vector<std::string> temps;
  SetReplaceFaultForTesting([&](std::string_view step, const fs::path& t) {
    if (step == "open") temps.push_back(t.filename().string());
    return 0;
  });
  ASSERT_TRUE(SwitchEntry(ini, temp, "G\xFC", "// patch=1", true).ok());
  EXPECT_THAT(temps, ElementsAre("-velox-.ini"));
  EXPECT_EQ(testing::ReadBytes(ini), "[default]\r\nrompath=C:\\J\xE9u\r\n[G\xFC]\r\n patch=1\r\nz\xFF\r\n");
  EXPECT_FALSE(fs::exists(temp));
  const auto games = ListGames(ini);
  ASSERT_TRUE(games.ok());
  EXPECT_THAT(*games, ElementsAre("G\xFC"));
}

TEST_F(EmulatorIniFileTest, AFailedRewriteLeavesTheFileAsItWas) {
  const std::string original = "[default]\nsound=1\n[g]\npatch=1\n";
  testing::WriteBytes(ini, original);
  for (const char* failing : {"open", "write", "sync", "rename"}) {
    SetReplaceFaultForTesting([&](std::string_view step, const fs::path&) { return step == failing ? EIO : 0; });
    GeneralSettings s;
    s.sound = SoundSetting::kOff;
    EXPECT_FALSE(WriteGeneralSettings(ini, temp, s).ok()) << failing;
    EXPECT_FALSE(SwitchEntry(ini, temp, "g", "patch=1", false).ok()) << failing;
    EXPECT_EQ(testing::ReadBytes(ini), original) << failing;
    EXPECT_FALSE(fs::exists(temp)) << failing;
  }
}

TEST_F(EmulatorIniFileTest, ASwitchInTheWrongDirectionOrOfAVanishedEntryWritesNothing) {
  const std::string original = "[g]\r\npatch=1\r\n// note\r\n";
  testing::WriteBytes(ini, original);
  EXPECT_FALSE(SwitchEntry(ini, temp, "g", "patch=1", true).ok());
  EXPECT_FALSE(SwitchEntry(ini, temp, "g", "// note", true).ok());
  EXPECT_FALSE(SwitchEntry(ini, temp, "g", "// note", false).ok());
  const Status gone = SwitchEntry(ini, temp, "g", "patch=2", false);
  ASSERT_FALSE(gone.ok());
  EXPECT_THAT(gone.error().cause, ::testing::HasSubstr("patch=2"));
  EXPECT_EQ(testing::ReadBytes(ini), original);
}

TEST_F(EmulatorIniFileTest, AReadOnlyFileIsRefusedAndKept) {
  const std::string original = "[default]\r\nsound=1\r\n";
  testing::WriteBytes(ini, original);
  testing::MakeReadOnly(ini);
  GeneralSettings s;
  s.sound = SoundSetting::kOff;
  EXPECT_FALSE(WriteGeneralSettings(ini, temp, s).ok());
  EXPECT_EQ(testing::ReadBytes(ini), original);
}

}  // namespace
}  // namespace velox
