#include "controllers/profile_writer.h"

#include <algorithm>
#include <cassert>

#include "controllers/keyboard_mapping.h"
#include "controllers/mapping_fields.h"
#include "shell/excerpt.h"
#include "shell/install_layout.h"
#include "shell/line_file.h"
#include "shell/safe_file.h"

namespace velox {
namespace fs = std::filesystem;

namespace {

// ---------------------------------------------------------------------------
// The fixed data of the profile. The emulator applies these records to its own
// memory; every byte matters to it, so they are kept exactly as it expects,
// written as hexadecimal text sixteen bytes to a row.

struct FixedRecord {
  std::uint32_t target;
  std::string_view hex;
};

// Records 1 to 6, the start of every kind.
constexpr FixedRecord kRecord1{0x401AE1,
    "8B DE BE F4 FF 44 00 8B 0E 8B 09 8B 46 04 C3 "};
constexpr FixedRecord kRecord2{0x401CD2,
    "E8 0A FE FF FF 8B 56 08 85 C9 74 01 92 90 60 50 "
    "68 F4 03 00 00 53 FF D7 61 90 8B 3D 5C B1 43 00 "
    "52 E8 D8 E2 04 00 50 E8 D2 E2 04 00 90 90 90 90 "
    "90 90 90 90 90 90 90 90 90 90 90 "};
constexpr FixedRecord kRecord3{0x44FFD0,
    "60 8B 44 24 24 50 6A 00 68 43 01 00 00 68 F4 03 "
    "00 00 53 FF D7 61 C2 04 00 00 00 00 00 00 00 00 "
    "00 00 00 00 9C 26 58 00 50 B4 43 00 44 B4 43 00 "};
constexpr FixedRecord kRecord4{0x43A5A0,
    "F6 C1 08 74 17 BA 40 00 00 00 66 09 15 84 26 58 "
    "00 A8 08 75 07 66 31 15 84 26 58 00 F6 C1 10 74 "
    "17 BA 00 20 00 00 66 09 15 84 26 58 00 A8 10 75 "
    "07 66 31 15 84 26 58 00 F6 C1 20 74 17 BA 00 01 "
    "00 00 66 09 15 84 26 58 00 A8 20 75 07 66 31 15 "
    "84 26 58 00 F6 C1 40 74 17 BA 00 02 00 00 66 09 "
    "15 84 26 58 00 A8 40 75 07 66 31 15 84 26 58 00 "
    "F6 C1 80 74 17 BA 10 00 00 00 66 09 15 84 26 58 "
    "00 A8 80 75 07 66 31 15 84 26 58 00 F6 C5 01 74 "
    "18 BA 10 00 00 00 66 09 15 84 26 58 00 F6 C4 01 "
    "75 07 66 31 15 84 26 58 00 F6 C5 02 74 18 BA 10 "
    "00 00 00 66 09 15 84 26 58 00 F6 C4 02 75 07 66 "
    "31 15 84 26 58 00 "};
constexpr FixedRecord kRecord5{0x43A666,
    "F6 C5 04 74 18 BA 10 00 00 00 66 09 15 84 26 58 "
    "00 F6 C4 04 75 07 66 31 15 84 26 58 00 F6 C5 08 "
    "74 18 BA 10 00 00 00 66 09 15 84 26 58 00 F6 C4 "
    "08 75 07 66 31 15 84 26 58 00 F6 C5 10 74 18 BA "
    "10 00 00 00 66 09 15 84 26 58 00 F6 C4 10 75 07 "
    "66 31 15 84 26 58 00 F6 C5 20 74 18 BA 10 00 00 "
    "00 66 09 15 84 26 58 00 F6 C4 20 75 07 66 31 15 "
    "84 26 58 00 F6 C5 40 74 18 BA 10 00 00 00 66 09 "
    "15 84 26 58 00 F6 C4 40 75 07 66 31 15 84 26 58 "
    "00 F6 C5 80 74 18 BA 10 00 00 00 66 09 15 84 26 "
    "58 00 F6 C4 80 75 07 66 31 15 84 26 58 00 "};
constexpr FixedRecord kRecord6{0x427610,
    "90 90 90 90 90 90 90 90 90 90 90 90 90 90 90 90 "
    "90 90 90 90 90 E8 76 2F 01 00 90 90 "};
// Record T, closing the two-player kind.
constexpr FixedRecord kRecordT{0x43A7A0,
    "00 00 00 00 00 00 00 00 60 89 04 CD 04 BC F2 00 "
    "A1 84 26 58 00 87 05 A4 A7 43 00 A3 84 26 58 00 "
    "6A 00 E8 F9 D1 FE FF 8B 0D A0 A7 43 00 83 C4 04 "
    "89 04 CD 04 BC F2 00 A1 84 26 58 00 87 05 A4 A7 "
    "43 00 A3 84 26 58 00 B8 01 84 01 FF A3 10 BC F2 "
    "00 A3 18 BC F2 00 90 61 C3 00 60 A3 28 C8 F4 00 "
    "A1 70 E7 45 00 A3 9C 26 58 00 87 05 A0 A7 43 00 "
    "A3 70 E7 45 00 A1 84 26 58 00 87 05 A4 A7 43 00 "
    "A3 84 26 58 00 A0 50 71 42 00 86 05 4F 71 42 00 "
    "A2 50 71 42 00 61 C3 "};
// Record G, closing the gamepad kind.
constexpr FixedRecord kRecordG{0x43A7A0,
    "01 00 00 00 00 00 00 00 60 89 04 CD 04 BC F2 00 "
    "A1 84 26 58 00 87 05 A4 A7 43 00 A3 84 26 58 00 "
    "6A 00 E8 F9 D1 FE FF 8B 0D A0 A7 43 00 83 C4 04 "
    "89 04 CD 04 BC F2 00 A1 84 26 58 00 87 05 A4 A7 "
    "43 00 A3 84 26 58 00 B8 01 84 01 FF A3 10 BC F2 "
    "00 A3 18 BC F2 00 90 61 C3 00 60 A3 28 C8 F4 00 "
    "A1 70 E7 45 00 87 05 A0 A7 43 00 A3 70 E7 45 00 "
    "90 90 90 90 90 A1 84 26 58 00 87 05 A4 A7 43 00 "
    "A3 84 26 58 00 A0 50 71 42 00 86 05 4F 71 42 00 "
    "A2 50 71 42 00 A1 88 26 58 00 87 05 B4 6A 42 00 "
    "A3 88 26 58 00 A0 82 6A 42 00 86 05 6F 6A 42 00 "
    "A2 82 6A 42 00 61 C3 "};

// Records 7 to 22: the mask of each joystick button, in button order. The
// keyboard kind assigns fixed controller buttons to the first ten.
struct MaskTarget {
  std::uint32_t target;
  std::optional<ButtonName> keyboardProfileButton;
};
constexpr std::array<MaskTarget, kJoystickButtonCount> kMaskTargets{{
    {0x4275C2, ButtonName::BlueButton},     // joystick button 1
    {0x4275DE, ButtonName::YellowDown},     // 2
    {0x4275FA, ButtonName::YellowRight},    // 3
    {0x43A5A6, ButtonName::GreenButton},    // 4, inside record 4
    {0x43A5C2, ButtonName::YellowLeft},     // 5
    {0x43A5DE, ButtonName::YellowUp},       // 6
    {0x43A5FA, ButtonName::LeftShoulder},   // 7
    {0x43A616, ButtonName::RightShoulder},  // 8
    {0x43A632, ButtonName::CentreButton},   // 9
    {0x43A64F, ButtonName::GripTrigger},    // 10
    {0x43A66C, std::nullopt},               // 11, inside record 5
    {0x43A689, std::nullopt},               // 12
    {0x43A6A6, std::nullopt},               // 13
    {0x43A6C3, std::nullopt},               // 14
    {0x43A6E0, std::nullopt},               // 15
    {0x43A6FD, std::nullopt},               // 16
}};

// Records 23 to 26: the screen size, 640 by 480.
constexpr std::array<FixedRecord, 4> kScreenRecords{{
    {0x402FCD, "80 02 00 00"},
    {0x40142F, "80 02 00 00"},
    {0x402FD7, "E0 01 00 00"},
    {0x401439, "E0 01 00 00"},
}};

// Records 27 to 41: one key code per slot. PadLeft feeds slots 2 and 6.
struct KeySlot {
  std::uint32_t target;
  ButtonName button;      // whose keyboard mapping field gives the code
  char gamepadProfileKey;  // the fixed key of the gamepad kind
};
constexpr std::array<KeySlot, 15> kKeySlots{{
    {0x427158, ButtonName::CentreButton, 'S'},   // slot 1
    {0x427171, ButtonName::PadLeft, 'F'},        // 2
    {0x427181, ButtonName::PadRight, 'H'},       // 3
    {0x427191, ButtonName::PadUp, 'T'},          // 4
    {0x4271A1, ButtonName::PadDown, 'G'},        // 5
    {0x4271B1, ButtonName::PadLeft, 'F'},        // 6
    {0x4271C1, ButtonName::YellowRight, 'L'},    // 7
    {0x4271D1, ButtonName::YellowUp, 'I'},       // 8
    {0x4271E1, ButtonName::YellowDown, 'K'},     // 9
    {0x4271F1, ButtonName::YellowLeft, 'J'},     // 10
    {0x427201, ButtonName::BlueButton, 'A'},     // 11
    {0x427211, ButtonName::GreenButton, 'X'},    // 12
    {0x427221, ButtonName::GripTrigger, 'Z'},    // 13
    {0x427231, ButtonName::LeftShoulder, 'C'},   // 14
    {0x427241, ButtonName::RightShoulder, 'V'},  // 15
}};

// Records 42 and 43, the last ones every kind shares.
constexpr std::array<FixedRecord, 2> kSharedTail{{
    {0x43A714, "C3"},
    {0x4275B2, "90 90"},
}};

// The closing five, last in every kind.
constexpr std::array<FixedRecord, 5> kClosingFive{{
    {0x4435F4, "CD CC 0C 3F"},  // 0.55f
    {0x42763F, "00 70 00 00"},
    {0x427646, "00 90 00 00"},
    {0x427674, "00 70 00 00"},
    {0x42767C, "00 90 00 00"},
}};

constexpr std::array<FixedRecord, 6> kTwoPlayerClosing{{
    kRecordT,
    {0x416292, "E8 11 45 02 00 90 90"},
    {0x414EA3, "E8 52 59 02 00"},
    {0x42714F, "C3"},
    {0x45E770, "01 00 00 00"},
    {0x58269C, "01"},
}};

constexpr std::array<FixedRecord, 7> kGamepadClosing{{
    {0x426A82, "90 90 90 90"},
    {0x426A6F, "40"},
    kRecordG,
    {0x416292, "E8 11 45 02 00 90 90"},
    {0x414EA3, "E8 52 59 02 00"},
    {0x42714F, "C3"},
    {0x58269C, "01"},
}};

constexpr std::string_view kHeader{"\x01\x40", 2};
constexpr char kEndMark = '\x00';

// ---------------------------------------------------------------------------

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string HexBytes(std::string_view hex) {
  std::string bytes;
  int high = -1;
  for (char c : hex) {
    const int d = HexDigit(c);
    if (d < 0) continue;
    if (high < 0) {
      high = d;
    } else {
      bytes.push_back(static_cast<char>(high * 16 + d));
      high = -1;
    }
  }
  assert(high < 0);
  return bytes;
}

void AppendRecord(std::string& out, std::uint32_t target, std::string_view data) {
  assert(!data.empty() && data.size() <= 255);
  out.push_back(static_cast<char>(data.size()));
  out.push_back(static_cast<char>(target & 0xFF));
  out.push_back(static_cast<char>((target >> 8) & 0xFF));
  out.push_back(static_cast<char>((target >> 16) & 0xFF));
  out.append(data);
}

// Each fixed record turned into bytes once, on first use.
struct Compiled {
  std::uint32_t target;
  std::string data;
};
template <size_t N>
std::vector<Compiled> Compile(const std::array<FixedRecord, N>& records) {
  std::vector<Compiled> out;
  for (const FixedRecord& r : records) out.push_back({r.target, HexBytes(r.hex)});
  return out;
}

struct CompiledTables {
  std::vector<Compiled> head = Compile(std::array<FixedRecord, 6>{kRecord1, kRecord2, kRecord3, kRecord4, kRecord5, kRecord6});
  std::vector<Compiled> screen = Compile(kScreenRecords);
  std::vector<Compiled> sharedTail = Compile(kSharedTail);
  std::vector<Compiled> closingFive = Compile(kClosingFive);
  std::vector<Compiled> twoPlayer = Compile(kTwoPlayerClosing);
  std::vector<Compiled> gamepad = Compile(kGamepadClosing);
};

const CompiledTables& Tables() {
  static const CompiledTables tables;
  return tables;
}

void AppendAll(std::string& out, const std::vector<Compiled>& records) {
  for (const Compiled& r : records) AppendRecord(out, r.target, r.data);
}

std::string FieldName(size_t index) { return "field " + std::to_string(index + 1); }

}  // namespace

const JoystickMaskTable& KeyboardProfileMasks() {
  static const JoystickMaskTable masks = [] {
    JoystickMaskTable m{};
    for (size_t b = 0; b < kMaskTargets.size(); ++b) {
      if (kMaskTargets[b].keyboardProfileButton) m[b] = ButtonAt(*kMaskTargets[b].keyboardProfileButton).mask;
    }
    return m;
  }();
  return masks;
}

const KeyCodes& GamepadProfileKeyCodes() {
  // Indexed like a keyboard mapping line, so that composing has one path.
  static const KeyCodes codes = [] {
    KeyCodes c{};
    for (const KeySlot& slot : kKeySlots) c[static_cast<int>(slot.button) - 1] = static_cast<std::uint8_t>(slot.gamepadProfileKey);
    return c;
  }();
  return codes;
}

Result<std::vector<std::string>> ReadMappingLine(const fs::path& file) {
  Result<std::string> bytes = ReadFileBytes(file);
  if (!bytes) return bytes.error();
  const std::optional<std::string_view> line = FirstLine(*bytes);
  if (!line) return FileError{file, "the file is empty"};
  std::vector<std::string> fields;
  for (std::string_view f : SplitFields(*line)) fields.emplace_back(f);
  return fields;
}

std::optional<std::uint8_t> ParseByte(std::string_view field) {
  if (field.empty()) return std::nullopt;
  int value = 0;
  for (char c : field) {
    if (c < '0' || c > '9') return std::nullopt;
    value = std::min(value * 10 + (c - '0'), 1000);  // capped: long fields cannot overflow
  }
  if (value > 255) return std::nullopt;
  return static_cast<std::uint8_t>(value);
}

Result<KeyCodes> KeyCodesFromFields(const std::vector<std::string>& fields, const fs::path& file) {
  if (fields.size() < kControllerButtonCount) {
    return FileError{file, "line 1 holds " + std::to_string(fields.size()) + " of the 14 key codes"};
  }
  KeyCodes codes{};
  for (size_t i = 0; i < codes.size(); ++i) {
    const std::optional<std::uint8_t> code = ParseByte(fields[i]);
    if (!code) return FileError{file, FieldName(i) + " of line 1, " + Excerpt(fields[i]) + ", is not a number from 0 to 255"};
    codes[i] = *code;
  }
  return codes;
}

Result<JoystickMaskTable> MasksFromFields(const std::vector<std::string>& fields, const fs::path& file) {
  if (fields.size() < kJoystickButtonCount) {
    return FileError{file, "line 1 holds " + std::to_string(fields.size()) + " of the 16 button masks"};
  }
  JoystickMaskTable masks{};
  for (size_t i = 0; i < masks.size(); ++i) {
    const std::vector<std::string_view> parts = SplitFields(fields[i], '-');
    const auto bad = [&] {
      return FileError{file, FieldName(i) + " of line 1, " + Excerpt(fields[i]) + ", is not a mask of two numbers from 0 to 255 joined by \"-\""};
    };
    if (parts.size() < 2) return bad();
    const std::optional<std::uint8_t> low = ParseByte(parts[0]);
    const std::optional<std::uint8_t> high = ParseByte(parts[1]);
    if (!low || !high) return bad();
    masks[i] = ButtonMask{*low, *high};
  }
  return masks;
}

std::string ComposeProfile(ProfileKind kind, const JoystickMaskTable& masks, const KeyCodes& keys) {
  const CompiledTables& t = Tables();
  const JoystickMaskTable& usedMasks = kind == ProfileKind::Keyboard ? KeyboardProfileMasks() : masks;
  const KeyCodes& usedKeys = kind == ProfileKind::Gamepad ? GamepadProfileKeyCodes() : keys;

  std::string out;
  out.reserve(1072);
  out.append(kHeader);
  AppendAll(out, t.head);
  for (size_t b = 0; b < kMaskTargets.size(); ++b) {
    const char data[4] = {static_cast<char>(usedMasks[b].low), static_cast<char>(usedMasks[b].high), 0, 0};
    AppendRecord(out, kMaskTargets[b].target, std::string_view(data, 4));
  }
  AppendAll(out, t.screen);
  for (const KeySlot& slot : kKeySlots) {
    const char code = static_cast<char>(usedKeys[static_cast<int>(slot.button) - 1]);
    AppendRecord(out, slot.target, std::string_view(&code, 1));
  }
  AppendAll(out, t.sharedTail);
  if (kind == ProfileKind::TwoPlayer) AppendAll(out, t.twoPlayer);
  if (kind == ProfileKind::Gamepad) AppendAll(out, t.gamepad);
  AppendAll(out, t.closingFive);
  out.push_back(kEndMark);
  return out;
}

Status WriteProfile(const fs::path& appFolder, std::string_view composed) {
  std::string bytes(composed);
  bytes.append("\r\n");
  return ReplaceWholeFile(JoinedPath(appFolder, "\\velox.pad"), bytes);
}

namespace {

// A missing mapping file means its dialog was never used; say so plainly.
Result<std::vector<std::string>> ReadMappingOf(const fs::path& file, const char* notConfigured) {
  if (!FileExists(file)) {
    std::error_code ec;
    if (!fs::is_directory(file, ec)) return FileError{file, notConfigured};
  }
  return ReadMappingLine(file);
}

Result<JoystickMaskTable> ReadGamepadMasks(const fs::path& appFolder) {
  const fs::path file = GamepadMappingPath(appFolder);
  Result<std::vector<std::string>> fields = ReadMappingOf(file, "the gamepad has not been configured yet (the file does not exist)");
  if (!fields) return fields.error();
  return MasksFromFields(*fields, file);
}

Result<KeyCodes> ReadKeyCodes(const fs::path& appFolder) {
  const fs::path file = KeyboardMappingPath(appFolder);
  Result<std::vector<std::string>> fields = ReadMappingOf(file, "the keyboard has not been configured yet (the file does not exist)");
  if (!fields) return fields.error();
  return KeyCodesFromFields(*fields, file);
}

}  // namespace

Status RunControllerOk(const fs::path& appFolder, std::optional<ControllerMode> mode, ControllerOkProgress* progress) {
  ControllerOkProgress local;
  ControllerOkProgress& done = progress ? *progress : local;
  done = {};

  if (mode == ControllerMode::Default) {
    const fs::path pad = BarePath("velox.pad");
    const bool existed = FileExists(pad);
    if (Status removed = RemoveFileIfExists(pad); !removed) return removed;
    done.profileDeleted = existed;
  }

  if (Status stored = ReplaceWholeFile(ModeFilePath(appFolder), ModeFileBytes(mode)); !stored) return stored;
  done.modeStored = true;
  if (!mode) return {};

  JoystickMaskTable masks{};
  KeyCodes keys{};
  ProfileKind kind{};
  switch (*mode) {
    case ControllerMode::Keyboard: {
      Result<KeyCodes> k = ReadKeyCodes(appFolder);
      if (!k) return k.error();
      keys = *k;
      kind = ProfileKind::Keyboard;
      break;
    }
    case ControllerMode::Gamepad:
    case ControllerMode::TwoGamepads: {
      Result<JoystickMaskTable> m = ReadGamepadMasks(appFolder);
      if (!m) return m.error();
      masks = *m;
      kind = ProfileKind::Gamepad;
      break;
    }
    case ControllerMode::GamepadKeyboard: {
      Result<JoystickMaskTable> m = ReadGamepadMasks(appFolder);
      if (!m) return m.error();
      Result<KeyCodes> k = ReadKeyCodes(appFolder);
      if (!k) return k.error();
      masks = *m;
      keys = *k;
      kind = ProfileKind::TwoPlayer;
      break;
    }
    case ControllerMode::Adaptoid: {
      const fs::path source = JoinedPath(appFolder, "\\Data\\adaptoid.cfg");
      if (!FileExists(source)) {
        std::error_code ec;
        if (!fs::is_directory(source, ec)) return FileError{source, "the Adaptoid profile is not installed (the file does not exist)"};
      }
      return CopyFileReplacing(source, BarePath("velox.pad"));
    }
    case ControllerMode::Default:
      return {};
  }
  return WriteProfile(appFolder, ComposeProfile(kind, masks, keys));
}

}  // namespace velox
