#include <gtest/gtest.h>

#include "controllers/controller_mode.h"
#include "controllers/gamepad_mapping.h"
#include "controllers/keyboard_mapping.h"
#include "controllers/mapping_profile.h"
#include "controllers/mapping_walk.h"
#include "controllers/multimedia_joystick.h"
#include "controllers/profile_writer.h"
#include "support/fake_joystick.h"
#include "support/temp_install.h"

namespace velox {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes, testing::WriteBytes;

class MappingFileTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(app / "Data"); }
  testing::TempFolder app;
};

// The mode is line one, exactly "1" to "6"; a mapping is the last line, read up to its first bad field.
TEST_F(MappingFileTest, FilesAreReadUpToTheFirstBadField) {
  EXPECT_EQ(ReadControllerMode(app.path()), ControllerMode::Default) << "no file";
  for (const auto& [bytes, mode] : std::vector<std::pair<std::string, std::optional<ControllerMode>>>{
           {"", ControllerMode::Default}, {"\r\n2\r\n", ControllerMode::Default}, {"6", ControllerMode::Adaptoid},
           {" 3\r\n", std::nullopt}, {"03\r\n", std::nullopt}, {"7\r\n", std::nullopt}}) {
    WriteBytes(app / "Data/controller.cfg", bytes);
    EXPECT_EQ(ReadControllerMode(app.path()), mode) << '"' << bytes << '"';
  }
  for (const auto& [bytes, shown] : std::vector<std::pair<std::string, std::string>>{
           {"", "--------------"}, {"88|67|45|45|45|45|45|45|45|45|45|45|45|55\r\n", "--------------"},
           {"x\r\nA|B|C|D|E|FF|G|H|I|J|K|L|M|N\r\n", "ABCDE---------"}, {"x\r\nA|b|C\r\n", "A-------------"},
           {"x\r\n1|2|3\r\nZ|Y|X|W|V|U|T|S|R|Q|P|O|N|M|junk", "ZYXWVUTSRQPONM"}}) {
    WriteBytes(app / "Data/clavier.cfg", bytes);
    const KeyboardMapping read = ReadKeyboardMapping(app.path());
    EXPECT_EQ(std::string(read.keys.begin(), read.keys.end()), shown) << '"' << bytes << '"';
  }
  const GamepadMapping all{{2, 3, 0, 0, 0, 0, 0, 1, 0, 10, 3, 0, 0, 16}};
  for (const auto& [bytes, shown] : std::vector<std::pair<std::string, GamepadMapping>>{
           {"x\r\nBouton 2|Bouton 3|---|---|---|---|---|Bouton 1|---|Bouton 10|Bouton 3|---|---|Bouton 16|z", all},
           {"", {}}, {"0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0\r\n", {}},
           {"x\r\nBouton 1|Bouton 2|Bouton 3|Bouton 17|Bouton 5\r\n", {{1, 2, 3}}},
           {"x\r\ny\r\nBouton 16|---|bouton 3\r\n", {{16}}}, {"x\r\nBouton 01\r\n", {}}}) {
    WriteBytes(app / "Data/manette.cfg", bytes);
    EXPECT_EQ(ReadGamepadMapping(app.path()), shown) << '"' << bytes << '"';
  }
}

TEST_F(MappingFileTest, ProfileNamesAreWindowsFileNamesAndOneInAnyCase) {
  const std::string device = " is the name of a device on Windows and cannot name a file.";
  const std::string chars = "A profile name cannot hold any of these characters: \\ / : * ? \" < > |";
  const std::string control = "A profile name cannot hold line breaks, tabs or other control characters.";
  const std::string end = "A profile name cannot end with a dot or a blank.";
  for (const auto& [name, problem] : std::vector<std::pair<std::string, std::string>>{
           {"Xbox pad", ""}, {" Arcade.v2", ""}, {"CONSOLE", ""}, {"COM10", ""}, {"nul_", ""}, {std::string(64, 'x'), ""},
           {"\u00c9t\u00e9 \u30d3", ""}, {"", "Type a name for the profile."}, {"CON", "\"CON\"" + device},
           {"con.txt", "\"con.txt\"" + device}, {"Lpt9.cfg", "\"Lpt9.cfg\"" + device}, {"NUL .a", "\"NUL .a\"" + device},
           {"COM\u00b2", "\"COM\u00b2\"" + device}, {"conout$", "\"conout$\"" + device}, {"pad.", end}, {"pad ", end},
           {"a/b", chars}, {"a\\b", chars}, {"a:b", chars}, {"a*b", chars}, {"a?b", chars}, {"a\"b", chars}, {"a<b", chars},
           {"a>b", chars}, {"a|b", chars}, {"a\tb", control}, {"a\r\nb", control}, {std::string("a\0b", 3), control},
           {std::string(65, 'x'), "A profile name can have at most 64 characters."},
           {"\xff", "A profile name must be plain text."}})
    EXPECT_EQ(ProfileNameProblem(name).value_or(""), problem) << '"' << name << '"';
  for (const auto& [a, b, same] : std::vector<std::tuple<std::string, std::string, bool>>{
           {"Xbox Pad", "XBOX PAD", true}, {"\u00e9t\u00e9", "\u00c9T\u00c9", true},
           {"\u0434\u043e\u043c", "\u0414\u041e\u041c", true},
           {"\u0141\u00f3d\u017a", "\u0142\u00d3D\u0179", true}, {"Xbox", "Xbox ", false}, {"stra\u00dfe", "STRASSE", false}})
    EXPECT_EQ(SameProfileName(a, b), same) << a << " / " << b;

  WriteBytes(app / "Data/Profiles/Gamepad/b.cfg", "");
  for (const char* other : {"A.cfg", "c.CFG", "a .cfg", "notes.txt", ".b.cfg.velox-new", "d.cfg/e.cfg"})
    WriteBytes(app / "Data/Profiles/Gamepad" / other, "");
  std::vector<std::string> listed;
  for (const ProfileEntry& entry : ListProfiles(app.path(), MappingKind::Gamepad)) listed.push_back(entry.name);
  EXPECT_EQ(listed, (std::vector<std::string>{"A", "b", "c"}));
  EXPECT_EQ(ProfileReplacedBy(app.path(), MappingKind::Gamepad, "B")->file, app / "Data/Profiles/Gamepad/b.cfg");
  EXPECT_FALSE(ProfileReplacedBy(app.path(), MappingKind::Keyboard, "b"));
  EXPECT_FALSE(ProfileReplacedBy(app.path(), MappingKind::Gamepad, "e"));
}

// The keyboard profile's bytes and its saving over another letter case are the keyboard dialog's test.
TEST_F(MappingFileTest, ProfilesAreWrittenExactlyAndTakenWholeOrNotAtAll) {
  // Button 3 at positions 2 and 11: the higher takes it.
  const GamepadProfile pad{{{2, 3, 0, 0, 0, 0, 0, 1, 0, 10, 3, 0, 0, 16}}, " Arcade\tStick\r\n2 "};
  const std::string padBytes = "128-0|64-0|8-0|0-0|0-0|0-0|0-0|0-0|0-0|16-0|0-0|0-0|0-0|0-0|0-0|1-0\r\nArcade Stick 2\r\n"
                               "Bouton 2|Bouton 3|---|---|---|---|---|Bouton 1|---|Bouton 10|Bouton 3|---|---|Bouton 16\r\n";
  const std::string keyBytes = "88|45|45|45|45|45|45|45|45|45|45|45|45|55\r\nX|-|-|-|-|-|-|-|-|-|-|-|-|7\r\n";
  EXPECT_TRUE(SaveProfile(app.path(), MappingKind::Gamepad, "Arcade", GamepadProfileBytes(pad)).ok());
  EXPECT_EQ(ReadBytes(app / "Data/Profiles/Gamepad/Arcade.cfg"), padBytes);
  EXPECT_EQ(SaveProfile(app.path(), MappingKind::Keyboard, "a|b", "").error().cause, ProfileNameProblem("a|b"));
  fs::remove_all(app / "Data");
  EXPECT_TRUE(SaveProfile(app.path(), MappingKind::Keyboard, "Laptop", keyBytes).error().cause.ends_with("does not exist"));

  const std::string zero = "0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0\r\n";
  const std::string none = "\r\n---|---|---|---|---|---|---|---|---|---|---|---|---|---\r\n";
  // A line-ending kind other than CR LF is still the same lines; anything else is damage: a line more or less, a
  // code or mask that does not match its choice, a pad name as it is never written, a file far too long.
  for (const auto& [gamepad, bytes, whole] : std::vector<std::tuple<bool, std::string, bool>>{
           {true, padBytes, true}, {false, "88|45|45|45|45|45|45|45|45|45|45|45|45|55\nX|-|-|-|-|-|-|-|-|-|-|-|-|7", true},
           {true, "", false}, {true, keyBytes, false}, {false, padBytes, false}, {false, keyBytes + "\r\n", false},
           {false, "89" + keyBytes.substr(2), false}, {true, "0-0" + padBytes.substr(5), false},
           {true, zero + "A\tB" + none, false}, {true, zero + std::string(5000, 'x') + none, false}}) {
    const fs::path file = app / "profile.cfg";
    WriteBytes(file, bytes);
    const Status read = gamepad ? ReadGamepadProfile(file).status() : ReadKeyboardProfile(file).status();
    EXPECT_EQ(read.ok(), whole) << '"' << bytes << '"';
    if (!read) { EXPECT_EQ(read.error().file, file); }
  }
  EXPECT_EQ(ReadKeyboardProfile(app / "profile.cfg").error().cause, "it is not a keyboard profile, or it is damaged");
}

TEST_F(MappingFileTest, APadIsMatchedToItsMostRecentlySavedProfile) {
  const std::string choices = "\r\nBouton 1|---|---|---|---|---|---|---|---|---|---|---|---|---\r\n";
  // Saved in this order, a minute or more apart; a name line with a line break in it makes no profile.
  for (const auto& [name, pad, minutes] : std::vector<std::tuple<std::string, std::string, int>>{
           {"Earlier", "Velox Test Pad", 0}, {"New", "Velox Test Pad", 1}, {"Broken", "Velox Test Pad\r\n", 5},
           {"Other", "Other Pad", 9}, {"Nameless", "", 9}}) {
    const fs::path file = app / "Data/Profiles/Gamepad" / (name + ".cfg");
    WriteBytes(file, "64-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0\r\n" + pad + choices);
    fs::last_write_time(file, fs::file_time_type::clock::now() + std::chrono::minutes(minutes));
  }
  for (const auto& [reported, offered] : std::vector<std::pair<std::string, std::string>>{
           {"Velox Test Pad", "New"}, {"  Velox\tTest\x7fPad\n", "New"}, {"velox test pad", ""},
           {"Other Pad", "Other"}, {"", ""}})
    EXPECT_EQ(ProfileForPad(app.path(), reported).value_or(ProfileEntry{}).name, offered) << reported;
  EXPECT_EQ(ProfilePadName(std::string(199, 'x') + "\u00e9"), std::string(199, 'x')) << "cut between characters";
}

// Ok stores the mode first; a mapping it cannot read leaves velox.pad as it was.
TEST_F(MappingFileTest, ProfileFailuresStoreTheModeAndLeaveTheProfileAlone) {
  const std::string masks = "0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0\r\n";
  const std::string keys = "88|67|86|74|73|76|75|65|90|83|84|70|71";
  using enum ControllerMode;
  // The mode; manette.cfg and clavier.cfg ("-": no file); part of the cause; its file.
  for (const auto& [mode, manette, clavier, cause, file] :
       std::vector<std::tuple<ControllerMode, std::string, std::string, std::string, std::string>>{
           {Keyboard, "-", "-", "keyboard has not been configured", "clavier.cfg"},
           {TwoGamepads, "", "-", "empty", "manette.cfg"}, {Keyboard, "-", keys + "\r\n", "13 of the 14", "clavier.cfg"},
           {Keyboard, "-", "300" + keys.substr(2) + "|72", "\"300\"", "clavier.cfg"},
           {Keyboard, "-", keys + "| 72", "\" 72\"", "clavier.cfg"},
           {Gamepad, "128" + masks.substr(3), "-", "\"128\"", "manette.cfg"},
           {Gamepad, masks.substr(4), "-", "15 of the 16", "manette.cfg"},
           {GamepadKeyboard, "0-256" + masks.substr(3), keys + "|72", "\"0-256\"", "manette.cfg"},
           // Mode 3 reads the gamepad first, then the keyboard: a good gamepad does not help.
           {GamepadKeyboard, masks, "-", "keyboard has not been configured", "clavier.cfg"},
           {Adaptoid, "-", "-", "Adaptoid profile is not installed", "adaptoid.cfg"}}) {
    fs::remove_all(app / "Data");
    fs::create_directories(app / "Data");
    if (manette != "-") WriteBytes(app / "Data/manette.cfg", manette);
    if (clavier != "-") WriteBytes(app / "Data/clavier.cfg", clavier);
    WriteBytes(app / "velox.pad", "earlier profile");
    const Status s = RunControllerOk(app.path(), mode);
    ASSERT_FALSE(s.ok()) << file;
    EXPECT_NE(s.error().cause.find(cause), std::string::npos) << s.error().cause;
    EXPECT_EQ(s.error().file.filename(), file);
    EXPECT_EQ(ReadBytes(app / "Data/controller.cfg"), std::to_string(static_cast<int>(mode)) + "\r\n");
    EXPECT_EQ(ReadBytes(app / "velox.pad"), "earlier profile");
  }
}

// Read after read, as the emulator would read it: joystick 0 only, its buttons value as it comes.
TEST(PressedButtonTest, TheMultimediaJoystickAsTheEmulatorReadsIt) {
  using Pad = testing::FakeJoysticks::Pad;
  using Seen = std::tuple<std::uint32_t, bool, std::string, int, unsigned>;  // buttons, connected, name, count, generation
  const Pad none{"", 0, platform::kJoyUnplugged};
  const std::vector<std::pair<std::vector<Pad>, Seen>> steps{
      {{}, {0, false, "", 0, 0}},
      {{{"Pad A", 0x18001}}, {0x18001, true, "Pad A", 1, 1}},  // buttons 1, 16 and 17
      {{{"Pad A", 0x80000000}}, {0x80000000, true, "Pad A", 1, 1}},
      {{}, {0, false, "", 0, 2}},  // unplugged, then another plugged in
      {{{"Pad C", 4}}, {4, true, "Pad C", 1, 3}},
      {{{"Pad C", 2}, {"Pad B", 1}}, {2, true, "Pad C", 2, 3}},
      {{{"Pad B", 1}}, {1, true, "Pad B", 1, 4}},  // C unplugged, B renumbered
      {{none, {"Pad B", 1}}, {0, false, "", 1, 5}},
      {{{"Pad D", 8, platform::kJoyNoDriver}, {"Pad B", 1}}, {0, false, "", 1, 5}},  // a failing read
      {{{"Pad D", 1, 0, platform::kJoyNoDriver}}, {1, true, "", 1, 6}},                // and name
  };
  testing::FakeJoysticks fake;
  MultimediaJoystick pad;
  for (size_t i = 0; i < steps.size(); ++i) {
    fake.pads = steps[i].first;
    const std::uint32_t buttons = pad.Read();
    EXPECT_EQ(Seen(buttons, pad.Connected(), pad.Name(), pad.Count(), pad.Generation()), steps[i].second) << i;
  }
}

// How the window system names a key is the dialog's test; here, a key by its Windows virtual key or X keycode.
TEST(MappingWalkTest, KeysAreKnownAsTheEmulatorKnowsThem) {
  using enum NativeKeySource;
  const std::optional<char> no;
  for (const auto& [press, name] : std::vector<std::pair<KeyPress, std::optional<char>>>{
           {{'5', true, WindowsVirtualKey, 0x65}, no}, {{0, false, WindowsVirtualKey, 0x31}, '1'},
           {{'A', false, WindowsVirtualKey, 'Q'}, 'Q'}, {{0, false, WindowsVirtualKey, 0x70}, no},
           {{'B', false, WindowsVirtualKey, 0}, 'B'}, {{0, false, XkbKeycode, 10}, '1'}, {{0, false, XkbKeycode, 19}, '0'},
           {{0, false, XkbKeycode, 20}, no}, {{0, false, XkbKeycode, 24}, 'Q'}, {{0, false, XkbKeycode, 46}, 'L'},
           {{0, false, XkbKeycode, 58}, 'M'}, {{0, false, XkbKeycode, 59}, no}, {{'Z', false, XkbKeycode, 29}, 'Z'},
           {{0, false, None, 24}, no}})
    EXPECT_EQ(KeyNameForPress(press), name) << press.character << " " << press.nativeCode;
}

// The walk's order and steering are the dialogs' test; here, the one step they cannot see.
TEST(MappingWalkTest, BackStaysAtTheFirstPosition) {
  MappingWalk walk;
  walk.Start();
  walk.Back();
  EXPECT_EQ(walk.Position(), 2);
}

TEST(MappingWalkTest, TextsThePlayerReads) {
  EXPECT_EQ(RefusedKeyHint(WalkDevice::Keyboard, "", false, 2, 1),
            "Only letters and digits can be chosen \u2014 press a key for Left shoulder (1 of 14)");
  std::string longName;
  for (int i = 0; i < 70; ++i) longName += "\u00e9";
  for (const auto& [reported, shown] : std::vector<std::pair<std::string, std::string>>{
           {"  Arcade\r\nStick\t 2 ", "Arcade Stick 2"}, {"\n\x7f", "Unnamed gamepad"},
           {longName, longName.substr(0, 78) + "\u2026"},  // cut between characters
           {"Mega Super Professional Wireless Arcade Fight Stick", "Mega Super Professional Wireless Arcade\u2026"}})
    EXPECT_EQ(ShownPadName(reported), shown) << reported;
}

}  // namespace
}  // namespace velox
