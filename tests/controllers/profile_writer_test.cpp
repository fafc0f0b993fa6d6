#include "controllers/profile_writer.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/temp_install.h"

namespace velox {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::WriteBytes;

struct Walk {
  std::vector<std::pair<std::uint32_t, std::string>> records;  // target, data
  size_t end = std::string::npos;                              // where the end mark was found
};

// Reads the records from byte 2 the way the emulator does.
Walk WalkRecords(const std::string& bytes) {
  Walk walk;
  const auto b = [&](size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])); };
  for (size_t pos = 2; pos < bytes.size(); pos += 4 + b(pos)) {
    if (b(pos) == 0) return walk.end = pos, walk;
    if (pos + 4 + b(pos) > bytes.size()) break;
    walk.records.emplace_back(b(pos + 1) | b(pos + 2) << 8 | b(pos + 3) << 16, bytes.substr(pos + 4, b(pos)));
  }
  return walk;
}

std::string Bytes(std::initializer_list<int> values) { return std::string(values.begin(), values.end()); }

constexpr const char* kZeroMasks = "0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0\r\n";

class ProfileWriterTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(app / "Data"); }
  std::string Pad() { return ReadBytes(app / "velox.pad"); }
  std::string ModeFile() { return ReadBytes(app / "Data/controller.cfg"); }
  testing::TempFolder app;
};

TEST_F(ProfileWriterTest, ModesOneToFourComposeFromLineOneOfTheMappings) {
  std::string manette = "1-200-7";  // parts after the second are ignored
  for (int b = 1; b < 16; ++b) manette += "|" + std::to_string(b + 1) + "-" + std::to_string(200 + b);
  WriteBytes(app / "Data/manette.cfg", manette + "|x\r\nBouton 2\r\n");
  WriteBytes(app / "Data/clavier.cfg", "48|49|50|51|52|53|54|55|56|57|65|66|67|68|999\r\nX|C\r\n");
  const std::string fixedMasks = Bytes({0x80, 0, 0, 0, 0, 4, 0, 0, 0, 1, 0, 0, 0x40, 0, 0, 0, 0, 2, 0, 0, 0, 8, 0, 0, 0,
                                        0x20, 0, 0, 0, 0x10, 0, 0, 0x10, 0, 0, 0, 0x20, 0, 0, 0}) + std::string(24, '\0');
  std::string two;
  for (const auto& [mode, size, records] :
       std::vector<std::tuple<int, size_t, size_t>>{{1, 837, 48}, {3, 1030, 54}, {2, 1067, 55}, {4, 1067, 55}}) {
    ASSERT_TRUE(RunControllerOk(app.path(), ControllerMode(mode)).ok());
    const std::string pad = Pad();
    ASSERT_EQ(pad.size(), size);
    EXPECT_EQ(ModeFile(), std::to_string(mode) + "\r\n");
    const Walk walk = WalkRecords(pad);
    EXPECT_EQ(walk.end, size - 3) << "the end mark, then CR LF";
    ASSERT_EQ(walk.records.size(), records);
    EXPECT_EQ(pad.substr(0, 12), Bytes({0x01, 0x40, 0x0F, 0xE1, 0x1A, 0x40, 0x8B, 0xDE, 0xBE, 0xF4, 0xFF, 0x44}));
    EXPECT_NE(pad.find(Bytes({0x02, 0xB2, 0x75, 0x42, 0x90, 0x90})), std::string::npos);
    EXPECT_EQ(walk.records.back(), std::pair(0x42767Cu, Bytes({0x00, 0x90, 0x00, 0x00})));
    EXPECT_EQ(std::pair(walk.records[21].first, walk.records[40].first), std::pair(0x43A6FDu, 0x427241u));
    if (mode == 3) { EXPECT_EQ(walk.records[43].first, 0x43A7A0u); }
    if (mode == 2) { EXPECT_EQ(walk.records[45].second.substr(176), Bytes({0xA2, 0x82, 0x6A, 0x42, 0, 0x61, 0xC3})); }
    for (int b = 0; b < 16; ++b)
      EXPECT_EQ(walk.records[6 + b].second, mode == 1 ? fixedMasks.substr(4 * b, 4) : Bytes({b + 1, 200 + b, 0, 0}));
    std::string slots;
    for (size_t i = 26; i < 41; ++i) slots += walk.records[i].second;
    // Slots 1 to 15 take fields 9, 11, 13, 10, 12, 11, 5, 4, 6, 3, 7, 0, 8, 1, 2; the gamepad its own keys.
    EXPECT_EQ(slots, mode == 2 || mode == 4 ? "SFHTGFLIKJAXZCV" : "9BDACB546370812") << mode;
    if (mode == 2) two = pad;
  }
  EXPECT_EQ(Pad(), two) << "modes 2 and 4 write the same profile";
}

// The whole file for each kind, typed in as hexadecimal text under tests/data.
std::string GoldenProfile(const std::string& name) {
  std::istringstream text(ReadBytes(fs::path(VELOX_DEMO_DIR).parent_path() / "tests/data" / (name + ".pad.hex")));
  std::string bytes, line, token;
  while (std::getline(text, line)) {
    if (line.starts_with("#")) continue;
    for (std::istringstream words(line); words >> token;) bytes.push_back(static_cast<char>(std::stoi(token, nullptr, 16)));
  }
  return bytes;
}

TEST_F(ProfileWriterTest, EachKindWritesItsWholeProfileByteForByte) {
  std::string manette, clavier;
  for (int b = 0; b < 16; ++b) manette += (b ? "|" : "") + std::to_string(3 * b + 1) + "-" + std::to_string(100 + b);
  for (int k = 0; k < 14; ++k) clavier += (k ? "|" : "") + std::to_string(65 + k);
  WriteBytes(app / "Data/manette.cfg", manette + "\r\nBouton 1\r\n");
  WriteBytes(app / "Data/clavier.cfg", clavier + "\r\nA\r\n");
  for (const auto& [mode, golden] : std::vector<std::pair<ControllerMode, std::string>>{
           {ControllerMode::Keyboard, "keyboard"},
           {ControllerMode::Gamepad, "gamepad"},
           {ControllerMode::TwoGamepads, "gamepad"},
           {ControllerMode::GamepadKeyboard, "two-player"}}) {
    ASSERT_TRUE(RunControllerOk(app.path(), mode).ok()) << golden;
    const std::string expected = GoldenProfile(golden);
    ASSERT_GT(expected.size(), 800u) << golden;
    EXPECT_TRUE(Pad() == expected) << golden << ": the first difference is at byte " << [&] {
      size_t i = 0;
      while (i < expected.size() && i < Pad().size() && Pad()[i] == expected[i]) ++i;
      return i;
    }();
  }
}

struct FailureCase {
  ControllerMode mode;
  const char* manette;  // nullptr: no file
  const char* clavier;
  const char* cause;  // part of the reported cause; empty: the profile is read-only
  const char* failingFile;
};
class ProfileFailureTest : public ProfileWriterTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ProfileFailureTest, StoresTheModeAndLeavesTheProfileAlone) {
  const FailureCase& c = GetParam();
  if (c.manette) WriteBytes(app / "Data/manette.cfg", c.manette);
  if (c.clavier) WriteBytes(app / "Data/clavier.cfg", c.clavier);
  WriteBytes(app / "velox.pad", "earlier profile");
  if (!*c.cause) testing::MakeReadOnly(app / "velox.pad");
  const Status s = RunControllerOk(app.path(), c.mode);
  ASSERT_FALSE(s.ok());
  EXPECT_NE(s.error().cause.find(c.cause), std::string::npos) << s.error().cause;
  EXPECT_EQ(s.error().file.filename(), c.failingFile);
  EXPECT_EQ(ModeFile(), std::to_string(static_cast<int>(c.mode)) + "\r\n");
  EXPECT_EQ(Pad(), "earlier profile");
}

using M = ControllerMode;
using F = FailureCase;
INSTANTIATE_TEST_SUITE_P(
    Failures, ProfileFailureTest,
    ::testing::Values(
        F{M::Gamepad, nullptr, nullptr, "gamepad has not been configured", "manette.cfg"},
        F{M::Keyboard, nullptr, nullptr, "keyboard has not been configured", "clavier.cfg"},
        F{M::TwoGamepads, "", nullptr, "empty", "manette.cfg"},
        F{M::Keyboard, nullptr, "88|67|86|74|73|76|75|65|90|83|84|70|71\r\n", "13 of the 14", "clavier.cfg"},
        F{M::Keyboard, nullptr, "300|67|86|74|73|76|75|65|90|83|84|70|71|72\r\n", "\"300\"", "clavier.cfg"},
        F{M::Keyboard, nullptr, "88|67|86|74|73|76|75|65|90|83|84|70|71| 72\r\n", "\" 72\"", "clavier.cfg"},
        F{M::Gamepad, "128|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0", nullptr, "\"128\"", "manette.cfg"},
        F{M::Gamepad, kZeroMasks + 4, nullptr, "15 of the 16", "manette.cfg"},
        F{M::GamepadKeyboard, "0-256|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0",
          "88|67|86|74|73|76|75|65|90|83|84|70|71|72", "\"0-256\"", "manette.cfg"},
        // Mode 3 reads the gamepad first, then the keyboard: a good gamepad does not help.
        F{M::GamepadKeyboard, kZeroMasks, nullptr, "keyboard has not been configured", "clavier.cfg"},
        F{M::Adaptoid, nullptr, nullptr, "Adaptoid profile is not installed", "adaptoid.cfg"},
        F{M::Gamepad, kZeroMasks, nullptr, "", "velox.pad"}));

TEST_F(ProfileWriterTest, ModeFiveDeletesModeSixCopiesTheBareProfileNoModeDoesNeither) {
  testing::TempFolder elsewhere;
  testing::CurrentDirectory here(elsewhere.path());
  WriteBytes(app / "velox.pad", "earlier profile");
  WriteBytes(elsewhere / "velox.pad", "bare profile");
  const auto run = [&](std::optional<ControllerMode> mode) {
    EXPECT_TRUE(RunControllerOk(app.path(), mode).ok());
    return ModeFile() + ReadBytes(elsewhere / "velox.pad");
  };
  EXPECT_EQ(run(std::nullopt), "\r\nbare profile");
  EXPECT_EQ(run(ControllerMode::Default), "5\r\n<missing>");
  WriteBytes(app / "Data/adaptoid.cfg", Bytes({0x01, 0x40, 0x00, 0x0D, 0x0A}));
  EXPECT_EQ(run(ControllerMode::Adaptoid), "6\r\n" + Bytes({0x01, 0x40, 0x00, 0x0D, 0x0A}));
  EXPECT_EQ(Pad(), "earlier profile") << "only the bare profile is touched";
}

}  // namespace
}  // namespace velox
