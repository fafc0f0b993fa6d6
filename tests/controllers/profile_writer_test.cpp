#include "controllers/profile_writer.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/temp_install.h"

namespace velox {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::WriteBytes;

std::string Bytes(std::initializer_list<int> values) { return std::string(values.begin(), values.end()); }

constexpr const char* kZeroMasks = "0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0|0-0\r\n";

class ProfileWriterTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(app / "Data"); }
  std::string Pad() { return ReadBytes(app / "velox.pad"); }
  std::string ModeFile() { return ReadBytes(app / "Data/controller.cfg"); }
  testing::TempFolder app;
};

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
  // Only line one counts, and of it only the first two parts of 16 (or 14) fields.
  WriteBytes(app / "Data/manette.cfg", manette.insert(5, "-7") + "|x\r\nBouton 1\r\n");
  WriteBytes(app / "Data/clavier.cfg", clavier + "|999\r\nA\r\n");
  for (const auto& [mode, golden] : std::vector<std::pair<ControllerMode, std::string>>{
           {ControllerMode::Keyboard, "keyboard"},
           {ControllerMode::Gamepad, "gamepad"},
           {ControllerMode::TwoGamepads, "gamepad"},
           {ControllerMode::GamepadKeyboard, "two-player"}}) {
    ASSERT_TRUE(RunControllerOk(app.path(), mode).ok()) << golden;
    EXPECT_EQ(ModeFile(), std::to_string(static_cast<int>(mode)) + "\r\n");
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
