#include "controllers/profile_writer.h"

#include <gtest/gtest.h>

#include "controllers/gamepad_mapping.h"
#include "controllers/keyboard_mapping.h"
#include "shell/safe_file.h"
#include "support/temp_install.h"

namespace velox {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::WriteBytes;

struct Record {
  std::uint32_t target;
  std::string data;
};

// Reads the records from byte 2 the way the emulator does; end is where the
// end mark was found (or npos when the bytes ran out first).
struct Walk {
  std::vector<Record> records;
  size_t end = std::string::npos;
};
Walk WalkRecords(const std::string& bytes) {
  Walk walk;
  size_t pos = 2;
  while (pos < bytes.size()) {
    const auto n = static_cast<unsigned char>(bytes[pos]);
    if (n == 0) {
      walk.end = pos;
      return walk;
    }
    if (pos + 4 + n > bytes.size()) return walk;
    const auto b = [&](size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])); };
    walk.records.push_back({b(pos + 1) | b(pos + 2) << 8 | b(pos + 3) << 16, bytes.substr(pos + 4, n)});
    pos += 4 + n;
  }
  return walk;
}

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s.push_back(static_cast<char>(v));
  return s;
}

const Record* FindRecord(const Walk& walk, std::uint32_t target) {
  for (const Record& r : walk.records)
    if (r.target == target) return &r;
  return nullptr;
}

// The data of records 27 to 41 in file order.
std::string KeySlotBytes(const Walk& walk) {
  std::string out;
  for (size_t i = 26; i < 41; ++i) out += walk.records.at(i).data;
  return out;
}

const char* kSixteenZeroMasks = "0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0";
const char* kSomeMasks = "128-0|64-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|16-0|0-0|0-0|0-0|0-0|0-0|1-0";
const char* kKeys = "88|67|86|74|73|76|75|65|90|83|84|70|71|72";

class ProfileWriterTest : public ::testing::Test {
 protected:
  void TearDown() override { SetReplaceFaultForTesting(nullptr); }
  void Install(const std::string& manette, const std::string& clavier) {
    if (!manette.empty()) WriteBytes(app / "Data/manette.cfg", manette);
    if (!clavier.empty()) WriteBytes(app / "Data/clavier.cfg", clavier);
    fs::create_directories(app / "Data");
  }
  std::string Pad() { return ReadBytes(app / "velox.pad"); }
  std::string ModeFile() { return ReadBytes(app / "Data/controller.cfg"); }

  testing::TempFolder app;
};

struct KindCase {
  ProfileKind kind;
  size_t fileSize;
  size_t records;
};

class ProfileKindTest : public ::testing::TestWithParam<KindCase> {};

TEST_P(ProfileKindTest, HasTheSizeAndRecordsTheEmulatorExpects) {
  const KindCase c = GetParam();
  const std::string composed = ComposeProfile(c.kind, KeyboardProfileMasks(), GamepadProfileKeyCodes());
  EXPECT_EQ(composed.size() + 2, c.fileSize);
  EXPECT_EQ(composed.substr(0, 2), Bytes({0x01, 0x40}));
  const Walk walk = WalkRecords(composed);
  EXPECT_EQ(walk.end, composed.size() - 1) << "the walk must land on the end mark, the last byte";
  EXPECT_EQ(walk.records.size(), c.records);
  // The first and the last records, whatever the kind.
  EXPECT_EQ(composed.substr(2, 10), Bytes({0x0F, 0xE1, 0x1A, 0x40, 0x8B, 0xDE, 0xBE, 0xF4, 0xFF, 0x44}));
  ASSERT_GE(walk.records.size(), 5u);
  EXPECT_EQ(walk.records.back().target, 0x42767Cu);
  EXPECT_EQ(walk.records.back().data, Bytes({0x00, 0x90, 0x00, 0x00}));
  EXPECT_EQ(walk.records[walk.records.size() - 5].data, Bytes({0xCD, 0xCC, 0x0C, 0x3F}));
  // Record 43 as the example of a record's layout gives it.
  EXPECT_NE(composed.find(Bytes({0x02, 0xB2, 0x75, 0x42, 0x90, 0x90})), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ProfileKindTest,
                         ::testing::Values(KindCase{ProfileKind::Keyboard, 837, 48},
                                           KindCase{ProfileKind::TwoPlayer, 1030, 54},
                                           KindCase{ProfileKind::Gamepad, 1067, 55}));

TEST(ProfileComposeTest, SharedRecordsSitAtTheirTargetsWithTheirSizes) {
  const Walk walk = WalkRecords(ComposeProfile(ProfileKind::Gamepad, {}, {}));
  // Target and size of records 1 to 6, 23 to 26, 42 and 43, and the gamepad closing.
  const std::vector<std::pair<std::uint32_t, size_t>> expected = {
      {0x401AE1, 15}, {0x401CD2, 59}, {0x44FFD0, 48}, {0x43A5A0, 198}, {0x43A666, 174}, {0x427610, 28}};
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(walk.records[i].target, expected[i].first) << "record " << i + 1;
    EXPECT_EQ(walk.records[i].data.size(), expected[i].second) << "record " << i + 1;
  }
  EXPECT_EQ(walk.records[22].data, Bytes({0x80, 0x02, 0, 0}));
  EXPECT_EQ(walk.records[24].data, Bytes({0xE0, 0x01, 0, 0}));
  EXPECT_EQ(walk.records[41].target, 0x43A714u);
  EXPECT_EQ(walk.records[43].target, 0x426A82u);
  EXPECT_EQ(walk.records[45].data.size(), 183u);
  EXPECT_EQ(walk.records[45].data.substr(176), Bytes({0xA2, 0x82, 0x6A, 0x42, 0x00, 0x61, 0xC3}));
  // Record 3's end and record 6's call.
  EXPECT_EQ(walk.records[2].data.substr(40), Bytes({0x50, 0xB4, 0x43, 0x00, 0x44, 0xB4, 0x43, 0x00}));
  EXPECT_EQ(walk.records[5].data.substr(21, 5), Bytes({0xE8, 0x76, 0x2F, 0x01, 0x00}));
}

TEST(ProfileComposeTest, TwoPlayerClosingRecordsDifferFromTheGamepadOnes) {
  const Walk walk = WalkRecords(ComposeProfile(ProfileKind::TwoPlayer, {}, {}));
  EXPECT_EQ(walk.records[43].target, 0x43A7A0u);
  EXPECT_EQ(walk.records[43].data.size(), 151u);
  EXPECT_EQ(walk.records[43].data.substr(0, 8), std::string(8, '\0'));
  ASSERT_NE(FindRecord(walk, 0x45E770), nullptr);
  EXPECT_EQ(FindRecord(walk, 0x45E770)->data, Bytes({1, 0, 0, 0}));
  EXPECT_EQ(FindRecord(walk, 0x426A82), nullptr);
}

TEST(ProfileComposeTest, KeyboardProfileWritesItsFixedMasks) {
  JoystickMaskTable ignored{};
  ignored.fill(ButtonMask{0xFF, 0xFF});
  const Walk walk = WalkRecords(ComposeProfile(ProfileKind::Keyboard, ignored, KeyCodes{}));
  const std::vector<std::pair<int, int>> masks = {{0x80, 0}, {0, 4},    {0, 1},    {0x40, 0}, {0, 2},    {0, 8},
                                                  {0, 0x20}, {0, 0x10}, {0x10, 0}, {0x20, 0}, {0, 0},    {0, 0},
                                                  {0, 0},    {0, 0},    {0, 0},    {0, 0}};
  const std::vector<std::uint32_t> targets = {0x4275C2, 0x4275DE, 0x4275FA, 0x43A5A6, 0x43A5C2, 0x43A5DE,
                                              0x43A5FA, 0x43A616, 0x43A632, 0x43A64F, 0x43A66C, 0x43A689,
                                              0x43A6A6, 0x43A6C3, 0x43A6E0, 0x43A6FD};
  for (size_t b = 0; b < 16; ++b) {
    const Record& r = walk.records[6 + b];
    EXPECT_EQ(r.target, targets[b]) << "joystick button " << b + 1;
    EXPECT_EQ(r.data, Bytes({masks[b].first, masks[b].second, 0, 0})) << "joystick button " << b + 1;
  }
}

TEST(ProfileComposeTest, GamepadMasksGoToTheirButtonsRecords) {
  JoystickMaskTable masks{};
  for (int b = 0; b < 16; ++b) masks[b] = ButtonMask{static_cast<std::uint8_t>(b + 1), static_cast<std::uint8_t>(200 + b)};
  for (ProfileKind kind : {ProfileKind::Gamepad, ProfileKind::TwoPlayer}) {
    const Walk walk = WalkRecords(ComposeProfile(kind, masks, KeyCodes{}));
    for (int b = 0; b < 16; ++b) EXPECT_EQ(walk.records[6 + b].data, Bytes({b + 1, 200 + b, 0, 0}));
  }
}

TEST(ProfileComposeTest, KeySlotsTakeTheirFieldsPadLeftTwice) {
  KeyCodes keys{};
  for (int i = 0; i < 14; ++i) keys[i] = static_cast<std::uint8_t>(100 + i);  // field i holds 100+i
  // Slots 1 to 15 take fields 9, 11, 13, 10, 12, 11, 5, 4, 6, 3, 7, 0, 8, 1, 2.
  const std::string expected = Bytes({109, 111, 113, 110, 112, 111, 105, 104, 106, 103, 107, 100, 108, 101, 102});
  EXPECT_EQ(KeySlotBytes(WalkRecords(ComposeProfile(ProfileKind::Keyboard, {}, keys))), expected);
  EXPECT_EQ(KeySlotBytes(WalkRecords(ComposeProfile(ProfileKind::TwoPlayer, {}, keys))), expected);
  const Walk walk = WalkRecords(ComposeProfile(ProfileKind::Keyboard, {}, keys));
  EXPECT_EQ(walk.records[26].target, 0x427158u);
  EXPECT_EQ(walk.records[27].target, 0x427171u);
  EXPECT_EQ(walk.records[40].target, 0x427241u);
}

TEST(ProfileComposeTest, GamepadProfileUsesItsFixedKeys) {
  KeyCodes keys{};
  keys.fill(1);
  EXPECT_EQ(KeySlotBytes(WalkRecords(ComposeProfile(ProfileKind::Gamepad, {}, keys))), "SFHTGFLIKJAXZCV");
}

TEST(ByteFieldTest, OnlyPlainDecimalDigitsFrom0To255) {
  const std::vector<std::pair<const char*, int>> cases = {
      {"0", 0},    {"45", 45},  {"255", 255}, {"007", 7},   {"256", -1}, {"300", -1}, {"", -1},
      {" 45", -1}, {"45 ", -1}, {"+4", -1},   {"-1", -1},   {"4a", -1},  {"0x10", -1},
      {"99999999999999999999", -1}};
  for (const auto& [text, value] : cases) {
    const std::optional<std::uint8_t> got = ParseByte(text);
    if (value < 0) {
      EXPECT_FALSE(got.has_value()) << '"' << text << '"';
    } else {
      ASSERT_TRUE(got.has_value()) << '"' << text << '"';
      EXPECT_EQ(*got, value);
    }
  }
}

TEST_F(ProfileWriterTest, ModeOneWithTheGamepadKeysMatchesTheGamepadProfileSlots) {
  Install("", std::string(kKeys) + "\r\nX|C|V|J|I|L|K|A|Z|S|T|F|G|H\r\n");
  ASSERT_TRUE(RunControllerOk(app.path(), ControllerMode::Keyboard).ok());
  const std::string pad = Pad();
  ASSERT_EQ(pad.size(), 837u);
  EXPECT_EQ(pad.substr(pad.size() - 3), Bytes({0x00, 0x0D, 0x0A}));
  EXPECT_EQ(KeySlotBytes(WalkRecords(pad)),
            Bytes({0x53, 0x46, 0x48, 0x54, 0x47, 0x46, 0x4C, 0x49, 0x4B, 0x4A, 0x41, 0x58, 0x5A, 0x43, 0x56}));
  EXPECT_EQ(ModeFile(), "1\r\n");
}

TEST_F(ProfileWriterTest, ModesTwoAndFourWriteIdenticalProfiles) {
  Install(std::string(kSomeMasks) + "\r\nBouton 2|---\r\n", "");
  ASSERT_TRUE(RunControllerOk(app.path(), ControllerMode::Gamepad).ok());
  const std::string two = Pad();
  fs::remove(app / "velox.pad");
  ASSERT_TRUE(RunControllerOk(app.path(), ControllerMode::TwoGamepads).ok());
  EXPECT_EQ(Pad(), two);
  EXPECT_EQ(two.size(), 1067u);
  EXPECT_EQ(ModeFile(), "4\r\n");
  // Joystick button 1's "128-0" and button 16's "1-0".
  const Walk walk = WalkRecords(two);
  EXPECT_EQ(walk.records[6].data, Bytes({0x80, 0, 0, 0}));
  EXPECT_EQ(walk.records[21].data, Bytes({1, 0, 0, 0}));
}

TEST_F(ProfileWriterTest, ModeThreeWithEmptyMasksAndUnassignedKeys) {
  Install(std::string(kSixteenZeroMasks) + "\r\n",
          "45|45|45|45|45|45|45|45|45|45|45|45|45|45|99\r\n-|-|-|-|-|-|-|-|-|-|-|-|-|-\r\n");
  ASSERT_TRUE(RunControllerOk(app.path(), ControllerMode::GamepadKeyboard).ok());
  const std::string pad = Pad();
  ASSERT_EQ(pad.size(), 1030u);
  const Walk walk = WalkRecords(pad);
  for (int r = 6; r < 22; ++r) EXPECT_EQ(walk.records[r].data, std::string(4, '\0')) << "record " << r + 1;
  EXPECT_EQ(KeySlotBytes(walk), std::string(15, '\x2D'));
  EXPECT_EQ(ModeFile(), "3\r\n");
}

TEST_F(ProfileWriterTest, MaskPartsAfterTheSecondAreIgnored) {
  Install("128-0-7|0-4-x|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|extra\r\n", "");
  ASSERT_TRUE(RunControllerOk(app.path(), ControllerMode::Gamepad).ok());
  const Walk walk = WalkRecords(Pad());
  EXPECT_EQ(walk.records[6].data, Bytes({0x80, 0, 0, 0}));
  EXPECT_EQ(walk.records[7].data, Bytes({0, 4, 0, 0}));
}

struct FailureCase {
  const char* name;
  ControllerMode mode;
  const char* manette;  // nullptr: no file
  const char* clavier;
  const char* cause;    // part of the reported cause
  const char* failingFile;
};

class ProfileFailureTest : public ProfileWriterTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ProfileFailureTest, StoresTheModeAndLeavesTheProfileAlone) {
  const FailureCase& c = GetParam();
  fs::create_directories(app / "Data");
  if (c.manette) WriteBytes(app / "Data/manette.cfg", c.manette);
  if (c.clavier) WriteBytes(app / "Data/clavier.cfg", c.clavier);
  WriteBytes(app / "velox.pad", "earlier profile");
  WriteBytes(app / "Data/controller.cfg", "5\r\n");
  ControllerOkProgress progress;
  const Status s = RunControllerOk(app.path(), c.mode, &progress);
  ASSERT_FALSE(s.ok());
  EXPECT_NE(s.error().cause.find(c.cause), std::string::npos) << s.error().cause;
  EXPECT_EQ(s.error().file.filename(), c.failingFile);
  EXPECT_TRUE(progress.modeStored);
  EXPECT_EQ(ModeFile(), std::to_string(static_cast<int>(c.mode)) + "\r\n");
  EXPECT_EQ(Pad(), "earlier profile");
}

INSTANTIATE_TEST_SUITE_P(
    Failures, ProfileFailureTest,
    ::testing::Values(
        FailureCase{"NoGamepadMapping", ControllerMode::Gamepad, nullptr, nullptr, "gamepad has not been configured", "manette.cfg"},
        FailureCase{"NoKeyboardMapping", ControllerMode::Keyboard, nullptr, nullptr, "keyboard has not been configured", "clavier.cfg"},
        FailureCase{"EmptyGamepadFile", ControllerMode::TwoGamepads, "", nullptr, "empty", "manette.cfg"},
        FailureCase{"ThirteenKeys", ControllerMode::Keyboard, nullptr, "88|67|86|74|73|76|75|65|90|83|84|70|71\r\n", "13 of the 14", "clavier.cfg"},
        FailureCase{"KeyCode300", ControllerMode::Keyboard, nullptr, "300|67|86|74|73|76|75|65|90|83|84|70|71|72\r\n", "\"300\"", "clavier.cfg"},
        FailureCase{"MaskWithoutDash", ControllerMode::Gamepad, "128|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0\r\n", nullptr, "\"128\"", "manette.cfg"},
        FailureCase{"FifteenMasks", ControllerMode::Gamepad, "0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0\r\n", nullptr, "15 of the 16", "manette.cfg"},
        FailureCase{"MaskHighByte256", ControllerMode::GamepadKeyboard, "0-256|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0\r\n", "88|67|86|74|73|76|75|65|90|83|84|70|71|72\r\n", "\"0-256\"", "manette.cfg"},
        // Mode 3 reads the gamepad first, then the keyboard: a good gamepad does not help.
        FailureCase{"TwoPlayerWithoutKeyboard", ControllerMode::GamepadKeyboard, "0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0\r\n", nullptr, "keyboard has not been configured", "clavier.cfg"},
        FailureCase{"AdaptoidMissing", ControllerMode::Adaptoid, nullptr, nullptr, "Adaptoid profile is not installed", "adaptoid.cfg"}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST_F(ProfileWriterTest, ReadOnlyProfileStaysAsItWas) {
  Install(std::string(kSomeMasks) + "\r\n", "");
  WriteBytes(app / "velox.pad", "earlier profile");
  testing::MakeReadOnly(app / "velox.pad");
  const Status s = RunControllerOk(app.path(), ControllerMode::Gamepad);
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.error().file.filename(), "velox.pad");
  EXPECT_EQ(ModeFile(), "2\r\n");
  EXPECT_EQ(Pad(), "earlier profile");
}

TEST_F(ProfileWriterTest, MissingDataFolderStopsBeforeAnything) {
  WriteBytes(app / "velox.pad", "earlier profile");
  ControllerOkProgress progress;
  const Status s = RunControllerOk(app.path(), ControllerMode::Keyboard, &progress);
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.error().file.filename(), "controller.cfg");
  EXPECT_FALSE(progress.modeStored);
  EXPECT_EQ(Pad(), "earlier profile");
}

TEST_F(ProfileWriterTest, ModeFiveDeletesTheBareProfile) {
  fs::create_directories(app / "Data");
  WriteBytes(app / "velox.pad", "earlier profile");
  testing::CurrentDirectory here(app.path());
  ControllerOkProgress progress;
  ASSERT_TRUE(RunControllerOk(app.path(), ControllerMode::Default, &progress).ok());
  EXPECT_TRUE(progress.profileDeleted);
  EXPECT_FALSE(fs::exists(app / "velox.pad"));
  EXPECT_EQ(ModeFile(), "5\r\n");
  // Again, with nothing left to delete: only the mode file is written.
  ASSERT_TRUE(RunControllerOk(app.path(), ControllerMode::Default, &progress).ok());
  EXPECT_FALSE(progress.profileDeleted);
  EXPECT_EQ(std::distance(fs::directory_iterator(app.path()), fs::directory_iterator()), 1);
}

TEST_F(ProfileWriterTest, ModeFiveWithoutDataFolderHasAlreadyDeleted) {
  WriteBytes(app / "velox.pad", "earlier profile");
  testing::CurrentDirectory here(app.path());
  ControllerOkProgress progress;
  ASSERT_FALSE(RunControllerOk(app.path(), ControllerMode::Default, &progress).ok());
  EXPECT_TRUE(progress.profileDeleted);
  EXPECT_FALSE(progress.modeStored);
}

TEST_F(ProfileWriterTest, NoModeStoresAnEmptyLineOnly) {
  fs::create_directories(app / "Data");
  WriteBytes(app / "velox.pad", "earlier profile");
  ASSERT_TRUE(RunControllerOk(app.path(), std::nullopt).ok());
  EXPECT_EQ(ModeFile(), "\r\n");
  EXPECT_EQ(Pad(), "earlier profile");
}

TEST_F(ProfileWriterTest, ModeSixCopiesTheAdaptoidProfileToTheBarePath) {
  const std::string adaptoid = Bytes({0x01, 0x40, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0D, 0x0A});
  WriteBytes(app / "Data/adaptoid.cfg", adaptoid);
  WriteBytes(app / "velox.pad", "earlier profile");
  testing::TempFolder elsewhere;
  testing::CurrentDirectory here(elsewhere.path());
  ASSERT_TRUE(RunControllerOk(app.path(), ControllerMode::Adaptoid).ok());
  EXPECT_EQ(ReadBytes(elsewhere / "velox.pad"), adaptoid);
  EXPECT_EQ(Pad(), "earlier profile") << "the copy goes to the current directory";
  EXPECT_EQ(ModeFile(), "6\r\n");
}

}  // namespace
}  // namespace velox
