#include <gtest/gtest.h>

#include "controllers/controller_mode.h"
#include "controllers/gamepad_mapping.h"
#include "controllers/keyboard_mapping.h"
#include "support/temp_install.h"

namespace velox {
namespace {

using testing::ReadBytes;
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

TEST_F(MappingFileTest, KeyboardFileWrittenAndReadBack) {
  KeyboardMapping m;
  m.keys[0] = 'X', m.keys[1] = 'C', m.keys[13] = '7';
  ASSERT_TRUE(WriteKeyboardMapping(app.path(), m).ok());
  EXPECT_EQ(ReadBytes(app / "Data/clavier.cfg"),
            "88|67|45|45|45|45|45|45|45|45|45|45|45|55\r\nX|C|-|-|-|-|-|-|-|-|-|-|-|7\r\n");
  EXPECT_EQ(ReadKeyboardMapping(app.path()), m);
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

TEST_F(MappingFileTest, GamepadFileWrittenAndReadBack) {
  // "Bouton 10" is not button 1; position 11 takes button 3 from position 2.
  const GamepadMapping m{{2, 3, 0, 0, 0, 0, 0, 1, 0, 10, 3, 0, 0, 16}};
  ASSERT_TRUE(WriteGamepadMapping(app.path(), m).ok());
  EXPECT_EQ(ReadBytes(app / "Data/manette.cfg"),
            "128-0|64-0|8-0|0-0|0-0|0-0|0-0|0-0|0-0|16-0|0-0|0-0|0-0|0-0|0-0|1-0\r\n"
            "Bouton 2|Bouton 3|---|---|---|---|---|Bouton 1|---|Bouton 10|Bouton 3|---|---|Bouton 16\r\n");
  EXPECT_EQ(ReadGamepadMapping(app.path()), m);
  for (const auto& [bytes, shown] : std::vector<std::pair<std::string, GamepadMapping>>{
           {"", {}}, {"0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0\r\n", {}},
           {"x\r\nBouton 1|Bouton 2|Bouton 3|Bouton 17|Bouton 5\r\n", {{1, 2, 3}}},
           {"x\r\ny\r\nBouton 16|---|bouton 3\r\n", {{16}}}, {"x\r\nBouton 01\r\n", {}}}) {
    WriteBytes(app / "Data/manette.cfg", bytes);
    EXPECT_EQ(ReadGamepadMapping(app.path()), shown) << '"' << bytes << '"';
  }
}

TEST(PressedButtonTest, OnlyOneOfTheSixteenAlone) {
  for (const auto& [buttons, text] : std::vector<std::pair<std::uint32_t, std::string>>{
           {0, ""}, {1, "Bouton 1"}, {1u << 9, "Bouton 10"}, {1u << 16, ""}, {1u | 1u << 20, ""}, {0xFFFFFFFF, ""}})
    EXPECT_EQ(PressedButtonText(buttons), text) << buttons;
}

}  // namespace
}  // namespace velox
