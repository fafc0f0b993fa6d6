#include <gtest/gtest.h>

#include "controllers/controller_mode.h"
#include "controllers/gamepad_mapping.h"
#include "controllers/keyboard_mapping.h"
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

TEST(ControllerButtonTest, NamesThePlayerReadsByPosition) {
  const std::vector<std::string> names{"Green button",  "Left shoulder", "Right shoulder", "Yellow left", "Yellow up",
                                       "Yellow right",  "Yellow down",   "Blue button",    "Grip trigger", "Centre button",
                                       "Pad up",        "Pad left",      "Pad down",       "Pad right"};
  for (const ControllerButton& button : ControllerButtons()) EXPECT_EQ(button.displayName, names.at(button.position - 1));
}

TEST(PressedButtonTest, OnlyOneOfTheSixteenAlone) {
  for (const auto& [buttons, text] : std::vector<std::pair<std::uint32_t, std::string>>{
           {0, ""}, {1u << 9, "Bouton 10"}, {1u << 15, "Bouton 16"}, {1u << 16, ""}, {1u | 1u << 20, ""}, {0xFFFFFFFF, ""}})
    EXPECT_EQ(PressedButtonText(buttons), text) << buttons;
}

}  // namespace
}  // namespace velox
