#include "settings/emulator_ini.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>

#include "shell/safe_file.h"
#include "shell/text_encoding.h"
#include "support/temp_install.h"

namespace velox {
namespace {

using ::testing::ElementsAre;
namespace fs = std::filesystem;
using namespace std::string_literals;

TEST(EmulatorIni, EntryPrefixesAreComparedExactly) {
  for (const char* key : {"patch", "osrange", "viewport", "optimize", "bootloader"}) {
    for (const char* form : {"//%s=1", "// %s=1", "//%s =1", "// %s =1"}) {
      char entry[32];
      std::snprintf(entry, sizeof entry, form, key);
      EXPECT_EQ(GetEntryState(entry), EntryState::kSwitchable) << entry;
    }
  }
  for (const char* e : {"//  patch=1", "//Patch=1", "//patch  =1", "//patch", "//rompath=C:\\", "//"})
    EXPECT_EQ(GetEntryState(e), EntryState::kPlainComment) << e;
  for (const char* e : {"patch=1", "", " //patch=1", "/patch=1"}) EXPECT_EQ(GetEntryState(e), EntryState::kActive) << e;
}

TEST(EmulatorIni, ReadsOnlyDefaultSectionsWithTheLastFolderAndTheFirstSound) {
  const GeneralSettings s = ParseGeneralSettings(
      "rompath=before any header\r\n[default]\r\nrompath=C:\\first\r\nsound=1\r\nresolution=640,480\r\n"
      "[Default]\r\nrompath=capital D is a game\r\nviewport=1,1\r\n[default]xyz\r\nrompath=C:\\second \r\n"
      " savepath=leading blank\r\nsavepath =blank\r\nsound=0\r\nresolution=1920,1080\r\nviewport=800,600");
  EXPECT_EQ(s.rompath, "C:\\second ");
  EXPECT_EQ(s.savepath, std::nullopt);
  EXPECT_THAT(s.resolution, ElementsAre("640 x 480", "1920 x 1080"));
  EXPECT_THAT(s.viewport, ElementsAre("800 x 600"));
  EXPECT_EQ(s.sound, SoundSetting::kOn);
  const GeneralSettings empty = ParseGeneralSettings("[default]\nrompath=\nsound=yes\n[game]\nsound=1\n");
  EXPECT_EQ(empty.rompath, "");
  EXPECT_EQ(empty.sound, SoundSetting::kOff);
  EXPECT_EQ(ParseGeneralSettings("[game]\r\nsound=1\r\n").sound, SoundSetting::kUnset);
}

TEST(EmulatorIni, WriteReplacesEveryMatchingDefaultLineAndKeepsTheRestByteForByte) {
  EXPECT_EQ(RewriteGeneralSettings("[default]\r\nrompath=old1\r\nrompath=old2\r\nsound=1\r\nsound=0\r\n"
                                   "resolution=640,480\r\nother=\xE9t\xE9\r\n[game]\r\nrompath=game keeps this\r\n"
                                   "[default]\nsavepath=s\rviewport=1,1",
                                   {"D:\\roms", "", {"1024 x 768"}, {"800 x 600"}, SoundSetting::kOff}),
            "[default]\r\nrompath=D:\\roms\r\nrompath=D:\\roms\r\nsound=0\r\nsound=0\r\nresolution=1024,768\r\n"
            "other=\xE9t\xE9\r\n[game]\r\nrompath=game keeps this\r\n[default]\r\nsavepath=\r\nviewport=800,600\r\n");
  // Keys the section lacks are not added; absent values leave their lines.
  const std::string file = "[default]\r\nresolution=1920,1080\r\nsound=1\r\n[g]\r\nrompath=a\r\n";
  EXPECT_EQ(RewriteGeneralSettings(file, GeneralSettings{}), file);
  EXPECT_EQ(RewriteGeneralSettings(file, {"new", {}, {}, {"640 x 480"}, SoundSetting::kOn}), file);
  // Kept lines that end in a lone CR (or LF) are written with CR LF, never copied with the next line's bytes.
  EXPECT_EQ(RewriteGeneralSettings("[default]\rkeep=1\rrompath=a\r\nkeep\rlast\nend\r", {"b", {}, {}, {}, {}}),
            "[default]\r\nkeep=1\r\nrompath=b\r\nkeep\r\nlast\r\nend\r\n");
}

TEST(EmulatorIni, ListsEveryNamedSectionButDefault) {
  EXPECT_THAT(ParseGameNames("[default]\r\n[Default]\r\n[default]x\r\n[Moon]\r\n[]\r\n[\r\n[x\r\n[Moon]\r\nno\r\n[a]b"),
              ElementsAre("Default", "default]", "Moon", "Moon", "a]"));
}

TEST(EmulatorIni, ReadsTheFirstSectionOfAGameUpToTheNextHeader) {
  const std::string file = "[g]\r\ncomment=one\r\nAlttitle=x\r\ncomment=two\r\n[\r\nafter\r\n[g]\r\nalttitle=2\r\n";
  const std::optional<GameSection> g = ParseGame(file, "g");
  ASSERT_TRUE(g);
  EXPECT_EQ(g->title + "|" + g->comment, "g|two");
  EXPECT_THAT(g->entries, ElementsAre("Alttitle=x"));
  EXPECT_FALSE(ParseGame(file, "G") || ParseGame(file, ""));
}

TEST(EmulatorIni, SwitchChangesOnlyTheChosenGamesFirstSection) {
  const std::string file = "[A]\r\npatch=1\r\n[B]\r\npatch=1\r\nkeep\r\npatch=1\n[A]\r\npatch=1\r\n[B]\r\npatch=1";
  EXPECT_EQ(RewriteSwitched(file, "B", "patch=1", false),
            "[A]\r\npatch=1\r\n[B]\r\n//patch=1\r\nkeep\r\n//patch=1\r\n[A]\r\npatch=1\r\n[B]\r\npatch=1\r\n");
  EXPECT_EQ(RewriteSwitched(file, "C", "patch=1", false), std::nullopt);
  EXPECT_EQ(RewriteSwitched(file, "A", "keep", false), std::nullopt);
  EXPECT_EQ(RewriteSwitched("[g]\n\nx\n", "g", "", false), "[g]\r\n\r\nx\r\n");
  EXPECT_EQ(RewriteSwitched("[g]\rnote\rpatch=1\r[h]\rpatch=1\r", "g", "patch=1", false),
            "[g]\r\nnote\r\n//patch=1\r\n[h]\r\npatch=1\r\n");
}

TEST(EmulatorIni, AMissingFileOrARefusedRewriteLeavesTheFileAsItWas) {
  testing::TempFolder dir;
  const fs::path ini = dir / "velox.ini", temp = dir / "-velox-.ini";
  EXPECT_FALSE(WriteGeneralSettings(ini, temp, {{"x"}, {}, {}, {}, {}}).ok());
  EXPECT_FALSE(SwitchEntry(ini, temp, "g", "patch=1", false).ok());
  EXPECT_FALSE(fs::exists(ini)) << "a missing file is never created";
  const std::string original = "[default]\nsound=1\n[g]\npatch=1\n//patch=2\n// x\n";
  testing::WriteBytes(ini, original);
  // Switches the wrong way round, and of an entry the file no longer holds, write nothing either.
  std::pair<const char*, bool> refused[] = {
      {"patch=1", true}, {"//patch=2", false}, {"// x", true}, {"// x", false}, {"patch=3", false}};
  for (auto [entry, on] : refused) EXPECT_FALSE(SwitchEntry(ini, temp, "g", entry, on).ok()) << entry << on;
  for (const char* broken : {"patch=1\n[x]", "patch=1\r[x]"})
    EXPECT_THAT(SwitchEntry(ini, temp, "g", broken, false).error().cause, ::testing::HasSubstr("holds a line break"));
  // One line in, one line out: a value that would break its line is refused, naming what is in it.
  const std::pair<GeneralSettings, const char*> breaking[] = {
      {{"D:\\New\n[notes]\nx=1", {}, {}, {}, {}}, "\"rompath=\" holds a line feed (LF)"},
      {{{}, "D:\\a\rb", {}, {}, {}}, "\"savepath=\" holds a carriage return (CR)"},
      {{{}, std::string("D:\\a\0b", 6), {}, {}, {}}, "\"savepath=\" holds a NUL character"},
      {{{}, {}, {"640 x 480\n"}, {}, {}}, "\"resolution=\" holds a line feed"},
      {{{}, {}, {}, {"1\r"}, {}}, "\"viewport=\" holds a carriage return"}};
  for (const auto& [settings, cause] : breaking) {
    const Status s = WriteGeneralSettings(ini, temp, settings);
    ASSERT_FALSE(s.ok()) << cause;
    EXPECT_THAT(s.error().cause, ::testing::HasSubstr(cause));
  }
  EXPECT_EQ(testing::ReadBytes(ini), original);
  EXPECT_FALSE(fs::exists(temp));
  // A damaged file's megabyte line is quoted in a message only in part.
  const std::string huge(1 << 20, 'p');
  const Status s = SwitchEntry(ini, temp, "g", huge, false);
  ASSERT_FALSE(s.ok());
  EXPECT_LT(s.error().cause.size(), 200u);
  EXPECT_THAT(s.error().cause, ::testing::HasSubstr("ppp\u2026\""));
}

// A NUL byte is one more character, never the end of the text.
TEST(EmulatorIni, ANulByteIsTextLikeAnyOther) {
  const std::string file = "[default]\r\nrompath=\0R\r\nsound=\0\r\n[Racer]\r\ncomment=a\0b\r\n\0x=1\r\n[Nul\0]\r\n"s;
  EXPECT_EQ(ParseGeneralSettings(file).rompath, "\0R"s);
  EXPECT_EQ(ParseGeneralSettings(file).sound, SoundSetting::kOff);
  EXPECT_THAT(ParseGameNames(file), ElementsAre("Racer", "Nul\0"s));
  const std::optional<GameSection> g = ParseGame(file, "Racer");
  ASSERT_TRUE(g);
  EXPECT_EQ(g->comment, "a\0b"s);
  EXPECT_THAT(g->entries, ElementsAre("\0x=1"s));
}

// The bytes the code page leaves undefined pass through as the code points of the same number.
TEST(EmulatorIni, TextIsWindows1252BothWays) {
  std::string bytes;
  for (int b = 0x80; b <= 0x9F; ++b) bytes += static_cast<char>(b);
  const std::u16string text =
      u"\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152\u008D\u017D\u008F"
      u"\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u02DC\u2122\u0161\u203A\u0153\u009D\u017E\u0178\u00E9";
  EXPECT_EQ(DecodeWindows1252(bytes + "\xE9"), text);
  EXPECT_EQ(EncodeWindows1252(text), bytes + "\xE9");
  EXPECT_EQ(EncodeWindows1252(u"\u30D3"), std::nullopt);
}

}  // namespace
}  // namespace velox
