#include <gtest/gtest.h>

#include "controllers/controller_mode.h"
#include "controllers/gamepad_mapping.h"
#include "controllers/keyboard_mapping.h"
#include "controllers/mapping_walk.h"
#include "support/temp_install.h"

namespace velox {
namespace {

using testing::WriteBytes;

class MappingFileTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directories(app / "Data"); }
  testing::TempFolder app;
};

TEST_F(MappingFileTest, ModeFileSelection) {
  EXPECT_EQ(ReadControllerMode(app.path()), ControllerMode::Default) << "no file";
  for (const auto& [bytes, mode] : std::vector<std::pair<std::string, std::optional<ControllerMode>>>{
           {"", ControllerMode::Default}, {"\r\n2\r\n", ControllerMode::Default}, {"6", ControllerMode::Adaptoid},
           {" 3\r\n", std::nullopt}, {"03\r\n", std::nullopt}, {"7\r\n", std::nullopt}}) {
    WriteBytes(app / "Data/controller.cfg", bytes);
    EXPECT_EQ(ReadControllerMode(app.path()), mode) << '"' << bytes << '"';
  }
}

TEST_F(MappingFileTest, KeyboardFileReadUpToTheFirstBadField) {
  // The last line is read, up to its first bad field.
  for (const auto& [bytes, shown] : std::vector<std::pair<std::string, std::string>>{
           {"", "--------------"}, {"88|67|45|45|45|45|45|45|45|45|45|45|45|55\r\n", "--------------"},
           {"x\r\nA|B|C|D|E|FF|G|H|I|J|K|L|M|N\r\n", "ABCDE---------"}, {"x\r\nA|b|C\r\n", "A-------------"},
           {"x\r\n1|2|3\r\nZ|Y|X|W|V|U|T|S|R|Q|P|O|N|M|junk", "ZYXWVUTSRQPONM"}}) {
    WriteBytes(app / "Data/clavier.cfg", bytes);
    const KeyboardMapping read = ReadKeyboardMapping(app.path());
    EXPECT_EQ(std::string(read.keys.begin(), read.keys.end()), shown) << '"' << bytes << '"';
  }
}

TEST_F(MappingFileTest, GamepadFileReadUpToTheFirstBadField) {
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

TEST(PressedButtonTest, OnlyOneOfTheSixteenAlone) {
  for (const auto& [buttons, text] : std::vector<std::pair<std::uint32_t, std::string>>{
           {0, ""}, {1u << 9, "Bouton 10"}, {1u << 15, "Bouton 16"}, {1u << 16, ""}, {1u | 1u << 20, ""}, {0xFFFFFFFF, ""}})
    EXPECT_EQ(PressedButtonText(buttons), text) << buttons;
}

TEST(MappingWalkTest, GoesOnceAcrossTheControllerAndCanBeSteered) {
  // Left shoulder, pad up/down/left/right, centre, grip, right shoulder, green, blue, yellow up/down/left/right.
  const std::vector<int> expected{2, 11, 13, 12, 14, 10, 9, 3, 1, 8, 5, 7, 4, 6};
  MappingWalk walk;
  EXPECT_EQ(walk.Position(), 0);
  walk.Start();
  walk.Back();
  std::vector<int> seen{walk.Position()};
  while (walk.Advance()) seen.push_back(walk.Position());
  EXPECT_EQ(seen, expected);
  EXPECT_FALSE(walk.Active());
  walk.Start();
  walk.JumpTo(4);
  EXPECT_EQ(walk.Step(), 13);
  walk.Back();
  EXPECT_EQ(walk.Position(), 7);
}

TEST(MappingWalkTest, APadPressChoosesOnlyOneButtonNewlyHeld) {
  // Still held from the last choice, a chord, what is left of one, let go of one and pressed another between reads.
  for (const auto& [previous, current, chosen] : std::vector<std::tuple<std::uint32_t, std::uint32_t, std::optional<int>>>{
           {0, 1u << 4, 5}, {1u << 4, 1u << 4, std::nullopt}, {0, 0b11, std::nullopt}, {0b11, 0b10, std::nullopt},
           {0b01, 0b10, 2}, {0, 1u << 15, 16}, {0, 1u << 16, std::nullopt}, {1u << 16, 1u << 16 | 1, std::nullopt},
           {0b100, 0, std::nullopt}})
    EXPECT_EQ(NewlyPressedButton(previous, current), chosen) << previous << " -> " << current;
}

TEST(MappingWalkTest, HeldPadButtonsLightEveryPositionThatChoseThem) {
  const GamepadMapping mapping{{0, 3, 0, 0, 0, 0, 0, 1, 0, 10, 3, 0, 0, 16}};
  EXPECT_EQ(PositionsHeld(mapping, 0b101).to_string(), "00010010000010");  // bit k-1 for position k
  EXPECT_EQ(PositionsHeld(mapping, 1u << 15 | 1u << 1).to_string(), "10000000000000");
  EXPECT_EQ(PositionsHeld(mapping, 0b10).none(), true);
}

TEST(MappingWalkTest, KeysAreKnownAsTheEmulatorKnowsThem) {
  using enum NativeKeySource;
  // The number pad never; a Windows virtual key, or an X keycode of the digit row or letters, over the typed text.
  const std::optional<char> no;
  for (const auto& [press, name] : std::vector<std::pair<KeyPress, std::optional<char>>>{
           {{'A', false, None, 0}, 'A'}, {{'7', false, None, 0}, '7'}, {{'5', true, None, 0}, no},
           {{'5', true, WindowsVirtualKey, 0x65}, no}, {{0, false, WindowsVirtualKey, 0x31}, '1'},
           {{'A', false, WindowsVirtualKey, 'Q'}, 'Q'}, {{0, false, WindowsVirtualKey, 0x70}, no},
           {{'B', false, WindowsVirtualKey, 0}, 'B'}, {{0, false, XkbKeycode, 10}, '1'}, {{0, false, XkbKeycode, 19}, '0'},
           {{0, false, XkbKeycode, 20}, no}, {{0, false, XkbKeycode, 24}, 'Q'}, {{0, false, XkbKeycode, 46}, 'L'},
           {{0, false, XkbKeycode, 58}, 'M'}, {{0, false, XkbKeycode, 59}, no}, {{'Z', false, XkbKeycode, 29}, 'Z'},
           {{0, false, None, 24}, no}})
    EXPECT_EQ(KeyNameForPress(press), name) << press.character << " " << press.nativeCode;
}

TEST(MappingWalkTest, RepeatedChoicesAreNamedOnEachList) {
  const std::array<int, kControllerButtonCount> values{3, 3, 0, 0, 0, 0, 0, 3, 0, 5, 5, 0, 0, 0};
  const auto shared = SharedChoices(values, 0);
  EXPECT_EQ(shared[0], (std::vector<int>{2, 8}));
  EXPECT_EQ(shared[7], (std::vector<int>{1, 2}));
  EXPECT_EQ(shared[10], (std::vector<int>{10}));
  EXPECT_TRUE(shared[2].empty() && shared[3].empty()) << "nothing chosen is no repeat";
  EXPECT_EQ(ConflictNote(10, shared[9], "X", false), "Also used for Pad up");
  EXPECT_EQ(ConflictNote(1, shared[0], "Bouton 3", true),
            "Also used for Left shoulder and Blue button; once saved, Bouton 3 acts as Blue button only");
  EXPECT_EQ(ConflictNote(8, shared[7], "Bouton 3", true),
            "Also used for Green button and Left shoulder; once saved, Bouton 3 acts as Blue button only");
  EXPECT_EQ(JoinedNames({11, 12, 13}), "Pad up, Pad left and Pad down");
}

TEST(MappingWalkTest, TextsThePlayerReads) {
  for (const auto& [device, key, keypad, hint] : std::vector<std::tuple<WalkDevice, std::string, bool, std::string>>{
           {WalkDevice::Keyboard, "F1", false,
            "F1 cannot be chosen, only letters and digits \u2014 press a key for Left shoulder (1 of 14)"},
           {WalkDevice::Keyboard, "", false, "Only letters and digits can be chosen \u2014 press a key for Left shoulder (1 of 14)"},
           {WalkDevice::Keyboard, "5", true,
            "Number pad keys cannot be chosen, use the digit row \u2014 press a key for Left shoulder (1 of 14)"},
           {WalkDevice::Gamepad, "A", false, "Keys cannot be chosen here \u2014 press a pad button for Left shoulder (1 of 14)"}}) {
    EXPECT_EQ(RefusedKeyHint(device, key, keypad, 2, 1), hint);
  }
  EXPECT_EQ(PadStatusText(PadState::Connected, "  Arcade\r\nStick\t 2 ", 1), "Gamepad: Arcade Stick 2");
  EXPECT_EQ(PadStatusText(PadState::Connected, "Pad", 3), "Gamepad: Pad (3 connected; this one is read)");
  EXPECT_EQ(ShownPadName("\n\x7f"), "Unnamed gamepad");
  std::string longName;
  for (int i = 0; i < 70; ++i) longName += "\u00e9";
  EXPECT_EQ(ShownPadName(longName), longName.substr(0, 78) + "\u2026") << "cut between characters";
  EXPECT_EQ(ShownPadName("Mega Super Professional Wireless Arcade Fight Stick"), "Mega Super Professional Wireless Arcade\u2026");
}

}  // namespace
}  // namespace velox
