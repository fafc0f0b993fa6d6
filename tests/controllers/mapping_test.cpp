#include <gtest/gtest.h>

#include "controllers/controller_mode.h"
#include "controllers/gamepad_mapping.h"
#include "controllers/keyboard_mapping.h"
#include "support/temp_install.h"

namespace velox {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::WriteBytes;

class MappingFileTest : public ::testing::Test {
 protected:
  testing::TempFolder app;
};

// ---- mode file

TEST_F(MappingFileTest, ModeFileSelection) {
  EXPECT_EQ(ReadControllerMode(app.path()), ControllerMode::Default) << "no file";
  const std::vector<std::pair<std::string, std::optional<ControllerMode>>> cases = {
      {"", ControllerMode::Default},
      {"\r\n", ControllerMode::Default},
      {"3\r\n1\r\n", ControllerMode::GamepadKeyboard},
      {"6", ControllerMode::Adaptoid},
      {"1\n", ControllerMode::Keyboard},
      {" 3\r\n", std::nullopt},
      {"3 \r\n", std::nullopt},
      {"03\r\n", std::nullopt},
      {"7\r\n", std::nullopt},
      {"\r\n2\r\n", ControllerMode::Default},
  };
  for (const auto& [bytes, mode] : cases) {
    WriteBytes(app / "Data/controller.cfg", bytes);
    EXPECT_EQ(ReadControllerMode(app.path()), mode) << '"' << bytes << '"';
  }
}

// ---- keyboard mapping

TEST_F(MappingFileTest, KeyboardFreshAndExampleFiles) {
  KeyboardMapping m;
  ASSERT_TRUE(WriteKeyboardMapping(app.path(), m).ok() == false) << "no Data folder yet";
  fs::create_directories(app / "Data");
  ASSERT_TRUE(WriteKeyboardMapping(app.path(), m).ok());
  EXPECT_EQ(ReadBytes(app / "Data/clavier.cfg"),
            "45|45|45|45|45|45|45|45|45|45|45|45|45|45\r\n-|-|-|-|-|-|-|-|-|-|-|-|-|-\r\n");
  m.keys[0] = 'X';
  m.keys[1] = 'C';
  m.keys[13] = '7';
  ASSERT_TRUE(WriteKeyboardMapping(app.path(), m).ok());
  EXPECT_EQ(ReadBytes(app / "Data/clavier.cfg"),
            "88|67|45|45|45|45|45|45|45|45|45|45|45|55\r\nX|C|-|-|-|-|-|-|-|-|-|-|-|7\r\n");
  EXPECT_EQ(ReadKeyboardMapping(app.path()), m);
}

TEST_F(MappingFileTest, KeyboardReadingStopsAtTheFirstBadField) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      // file bytes -> the fourteen names shown
      {"", "--------------"},
      {"88|67|45|45|45|45|45|45|45|45|45|45|45|55\r\n", "--------------"},
      {"x\r\nA|B|C|D|E|F|G|H\r\n", "ABCDEFGH------"},
      {"x\r\nA|B|C|D|E|FF|G|H|I|J|K|L|M|N\r\n", "ABCDE---------"},
      {"x\r\n1|2|3|4|5|6|7|8|9|0|A|B|C|D\r\nZ|Y|X|W|V|U|T|S|R|Q|P|O|N|M\r\n", "ZYXWVUTSRQPONM"},
      {"x\r\nA|B|C|D|E|F|G|H|I|J|K|L|M|N|junk\r\n", "ABCDEFGHIJKLMN"},
      {"x\r\nA|b|C\r\n", "A-------------"},
      {"x\r\nA|A|A|A|A|A|A|A|A|A|A|A|A|A", "AAAAAAAAAAAAAA"},
      {"x\r\n|A|B\r\n", "--------------"},
  };
  for (const auto& [bytes, shown] : cases) {
    WriteBytes(app / "Data/clavier.cfg", bytes);
    const KeyboardMapping m = ReadKeyboardMapping(app.path());
    EXPECT_EQ(std::string(m.keys.begin(), m.keys.end()), shown) << '"' << bytes << '"';
  }
}

TEST(KeyboardKeysTest, TheThirtySevenNamesInListOrder) {
  const auto& names = KeyNames();
  EXPECT_EQ(std::string(names.begin(), names.end()), "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-");
}

// ---- gamepad mapping

GamepadMapping Choose(std::initializer_list<std::pair<int, int>> positionToButton) {
  GamepadMapping m;
  for (auto [position, button] : positionToButton) m.buttons[position - 1] = button;
  return m;
}

std::string MaskLine(const GamepadMapping& m) {
  std::string s;
  for (const ButtonMask& mask : BuildJoystickMaskTable(m)) s += (s.empty() ? "" : "|") + mask.Text();
  return s;
}

TEST(GamepadMaskTableTest, Derivation) {
  EXPECT_EQ(MaskLine(GamepadMapping{}), "0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0");
  EXPECT_EQ(MaskLine(Choose({{1, 2}, {8, 1}, {10, 10}})),
            "128-0|64-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|16-0|0-0|0-0|0-0|0-0|0-0|0-0");
  // The higher position wins a shared joystick button.
  EXPECT_EQ(MaskLine(Choose({{2, 3}, {11, 3}})), "0-0|0-0|8-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0");
  // Every controller button in its own joystick button: each bit once.
  GamepadMapping all;
  for (int k = 1; k <= 14; ++k) all.buttons[k - 1] = k;
  const JoystickMaskTable table = BuildJoystickMaskTable(all);
  unsigned seen = 0;
  for (int n = 0; n < 14; ++n) {
    const unsigned bit = table[n].low | table[n].high << 8;
    EXPECT_EQ(bit & (bit - 1), 0u) << "one bit per button";
    EXPECT_EQ(seen & bit, 0u);
    seen |= bit;
  }
  EXPECT_EQ(seen, 0x3FFFu);
}

TEST_F(MappingFileTest, GamepadFileExamples) {
  fs::create_directories(app / "Data");
  ASSERT_TRUE(WriteGamepadMapping(app.path(), GamepadMapping{}).ok());
  EXPECT_EQ(ReadBytes(app / "Data/manette.cfg"),
            "0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0\r\n"
            "---|---|---|---|---|---|---|---|---|---|---|---|---|---\r\n");
  const GamepadMapping m = Choose({{1, 2}, {8, 1}, {10, 10}, {14, 16}});
  ASSERT_TRUE(WriteGamepadMapping(app.path(), m).ok());
  EXPECT_EQ(ReadBytes(app / "Data/manette.cfg"),
            "128-0|64-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|16-0|0-0|0-0|0-0|0-0|0-0|1-0\r\n"
            "Bouton 2|---|---|---|---|---|---|Bouton 1|---|Bouton 10|---|---|---|Bouton 16\r\n");
  EXPECT_EQ(ReadGamepadMapping(app.path()), m);
}

TEST_F(MappingFileTest, GamepadReadingStopsAtTheFirstBadField) {
  const std::string nine = "Bouton 1|Bouton 2|Bouton 3|Bouton 4|Bouton 5|Bouton 6|Bouton 7|Bouton 8|Bouton 9";
  const std::vector<std::pair<std::string, std::vector<int>>> cases = {
      {"", {}},
      {"0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0\r\n", {}},
      {"x\r\n" + nine + "\r\n", {1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {"x\r\n" + nine + "\r\nBouton 16|---|Bouton 3\r\n", {16, 0, 3}},
      {"x\r\nBouton 1|Bouton 2|Bouton 3|Bouton 17|Bouton 5\r\n", {1, 2, 3}},
      {"x\r\nBouton 1|bouton 2\r\n", {1}},
      {"x\r\nBouton 01\r\n", {}},
      {"x\r\n---|Bouton 10|---|---|---|---|---|---|---|---|---|---|---|Bouton 11|Bouton 12\r\n",
       {0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 11}},
  };
  for (const auto& [bytes, shown] : cases) {
    WriteBytes(app / "Data/manette.cfg", bytes);
    GamepadMapping expected;
    for (size_t i = 0; i < shown.size(); ++i) expected.buttons[i] = shown[i];
    EXPECT_EQ(ReadGamepadMapping(app.path()), expected) << '"' << bytes << '"';
  }
}

TEST(PressedButtonTest, OnlyOneOfTheSixteenAlone) {
  const std::vector<std::pair<std::uint32_t, std::string>> cases = {
      {0, ""},          {1u << 4, "Bouton 5"}, {(1u << 4) | (1u << 5), ""}, {1, "Bouton 1"},
      {1u << 9, "Bouton 10"}, {1u << 15, "Bouton 16"}, {1u << 16, ""}, {(1u << 0) | (1u << 20), ""},
      {0xFFFFFFFFu, ""}};
  for (const auto& [buttons, text] : cases) EXPECT_EQ(PressedButtonText(buttons), text) << buttons;
}

}  // namespace
}  // namespace velox
