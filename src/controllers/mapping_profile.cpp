#include "controllers/mapping_profile.h"

#include <algorithm>
#include <system_error>

#include "shell/install_layout.h"
#include "shell/line_file.h"
#include "shell/safe_file.h"

namespace velox {
namespace fs = std::filesystem;

namespace {

// Larger than any profile can be; what is larger is no profile, and is not read whole.
constexpr size_t kMaxProfileBytes = 4096;
constexpr size_t kMaxPadNameBytes = 200;
constexpr std::string_view kExtension = ".cfg";

// The code points of UTF-8 text; nothing when it is not UTF-8.
std::optional<std::u32string> Decode(std::string_view text) {
  std::u32string out;
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > text.size()) return std::nullopt;
    char32_t c = length == 1 ? lead : lead & (0x3F >> (length - 1));
    for (int k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      c = (c << 6) | (next & 0x3F);
    }
    constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kShortest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
    out.push_back(c);
    i += length;
  }
  return out;
}

// Lower case for the scripts most names are typed in; other letters stay.
char32_t Lower(char32_t c) {
  if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
  if (c >= 0x100 && c <= 0x17F) {
    if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
    if (c == 0x178) return 0xFF;
    const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    return (c % 2 == 1) == oddUpper ? c + 1 : c;
  }
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 0x20;
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  return c;
}

std::u32string Folded(std::string_view name) {
  std::u32string folded = Decode(name).value_or(std::u32string(name.begin(), name.end()));
  for (char32_t& c : folded) c = Lower(c);
  return folded;
}

bool IsReservedStem(std::u32string stem) {
  while (!stem.empty() && stem.back() == U' ') stem.pop_back();
  for (char32_t& c : stem) c = c >= U'a' && c <= U'z' ? c - 0x20 : c;
  for (const char32_t* device : {U"CON", U"PRN", U"AUX", U"NUL", U"CONIN$", U"CONOUT$"}) {
    if (stem == device) return true;
  }
  if (stem.size() != 4 || (stem.compare(0, 3, U"COM") != 0 && stem.compare(0, 3, U"LPT") != 0)) return false;
  const char32_t n = stem[3];
  return (n >= U'0' && n <= U'9') || n == 0xB9 || n == 0xB2 || n == 0xB3;  // and the superscripts ¹ ² ³
}

FileError Damaged(const fs::path& file, MappingKind kind) {
  return FileError{file, kind == MappingKind::Keyboard ? "it is not a keyboard profile, or it is damaged"
                                                       : "it is not a gamepad profile, or it is damaged"};
}

Result<std::vector<std::string>> ReadProfileLines(const fs::path& file, MappingKind kind) {
  const Result<std::string> bytes = ReadFileStart(file, kMaxProfileBytes + 1);
  if (!bytes) return bytes.error();
  if (bytes->size() > kMaxProfileBytes) return Damaged(file, kind);
  return SplitLines(*bytes);
}

}  // namespace

std::optional<std::string> ProfileNameProblem(std::string_view name) {
  if (name.empty()) return "Type a name for the profile.";
  const std::optional<std::u32string> text = Decode(name);
  if (!text) return "A profile name must be plain text.";
  if (std::ranges::any_of(*text, [](char32_t c) { return c < 0x20; })) {
    return "A profile name cannot hold line breaks, tabs or other control characters.";
  }
  if (text->find_first_of(U"\\/:*?\"<>|") != std::u32string::npos) {
    return "A profile name cannot hold any of these characters: \\ / : * ? \" < > |";
  }
  if (text->back() == U'.' || text->back() == U' ') return "A profile name cannot end with a dot or a blank.";
  if (text->size() > kProfileNameMaxLength) {
    return "A profile name can have at most " + std::to_string(kProfileNameMaxLength) + " characters.";
  }
  if (IsReservedStem(text->substr(0, text->find(U'.')))) {
    return "\"" + std::string(name) + "\" is the name of a device on Windows and cannot name a file.";
  }
  return std::nullopt;
}

bool SameProfileName(std::string_view a, std::string_view b) { return Folded(a) == Folded(b); }

fs::path ProfileFolder(const fs::path& appFolder, MappingKind kind) {
  return JoinedPath(appFolder, kind == MappingKind::Keyboard ? "\\Data\\Profiles\\Keyboard" : "\\Data\\Profiles\\Gamepad");
}

std::vector<ProfileEntry> ListProfiles(const fs::path& appFolder, MappingKind kind) {
  std::vector<ProfileEntry> found;
  std::error_code ec;
  for (fs::directory_iterator it(ProfileFolder(appFolder, kind), ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code statError;
    if (!it->is_regular_file(statError)) continue;
    const std::u8string file = it->path().filename().u8string();
    std::string name(file.begin(), file.end());
    if (name.size() <= kExtension.size() ||
        !SameProfileName(std::string_view(name).substr(name.size() - kExtension.size()), kExtension)) {
      continue;
    }
    name.resize(name.size() - kExtension.size());
    if (ProfileNameProblem(name)) continue;
    found.push_back({name, it->path(), it->last_write_time(statError)});
  }
  std::ranges::sort(found, [](const ProfileEntry& a, const ProfileEntry& b) {
    const std::u32string fa = Folded(a.name);
    const std::u32string fb = Folded(b.name);
    return fa != fb ? fa < fb : a.name < b.name;
  });
  return found;
}

std::optional<ProfileEntry> ProfileReplacedBy(const fs::path& appFolder, MappingKind kind, std::string_view name) {
  for (ProfileEntry& entry : ListProfiles(appFolder, kind)) {
    if (SameProfileName(entry.name, name)) return std::move(entry);
  }
  // A file system may fold more letters than we do (Windows folds them all).
  const fs::path file = ProfileFolder(appFolder, kind) / PathFromUtf8(std::string(name) + std::string(kExtension));
  std::error_code ec;
  if (FileExists(file)) return ProfileEntry{std::string(name), file, fs::last_write_time(file, ec)};
  return std::nullopt;
}

std::string ProfilePadName(std::string_view reported) {
  std::string name;
  for (char c : reported) {
    const auto byte = static_cast<unsigned char>(c);
    const char shown = byte < 0x20 || byte == 0x7F ? ' ' : c;
    if (shown == ' ' && (name.empty() || name.back() == ' ')) continue;
    name.push_back(shown);
  }
  if (name.size() > kMaxPadNameBytes) {
    size_t cut = kMaxPadNameBytes;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;  // between characters
    name.resize(cut);
  }
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name;
}

std::string KeyboardProfileBytes(const KeyboardMapping& mapping) { return KeyboardMappingBytes(mapping); }

std::string GamepadProfileBytes(const GamepadProfile& profile) {
  const std::vector<std::string> lines = SplitLines(GamepadMappingBytes(profile.mapping));
  return JoinLines({lines.at(0), ProfilePadName(profile.padName), lines.at(1)});
}

Result<KeyboardMapping> ReadKeyboardProfile(const fs::path& file) {
  const Result<std::vector<std::string>> lines = ReadProfileLines(file, MappingKind::Keyboard);
  if (!lines) return lines.error();
  if (lines->size() != 2) return Damaged(file, MappingKind::Keyboard);
  const KeyboardMapping mapping = ParseKeyboardNames(lines->back());
  // Both lines exactly as they would be written: a stray field or a code that
  // does not match its name is damage, not something to guess at.
  if (SplitLines(KeyboardProfileBytes(mapping)) != *lines) return Damaged(file, MappingKind::Keyboard);
  return mapping;
}

Result<GamepadProfile> ReadGamepadProfile(const fs::path& file) {
  const Result<std::vector<std::string>> lines = ReadProfileLines(file, MappingKind::Gamepad);
  if (!lines) return lines.error();
  if (lines->size() != 3) return Damaged(file, MappingKind::Gamepad);
  GamepadProfile profile{ParseGamepadChoices(lines->back()), (*lines)[1]};
  if (SplitLines(GamepadProfileBytes(profile)) != *lines) return Damaged(file, MappingKind::Gamepad);
  return profile;
}

Status SaveProfile(const fs::path& appFolder, MappingKind kind, std::string_view name, std::string_view bytes) {
  const fs::path folder = ProfileFolder(appFolder, kind);
  const fs::path typed = folder / PathFromUtf8(std::string(name) + std::string(kExtension));
  if (const std::optional<std::string> problem = ProfileNameProblem(name)) return FileError{typed, *problem};
  const fs::path data = folder.parent_path().parent_path();
  std::error_code ec;
  if (!fs::is_directory(data, ec)) return FileError{typed, "the folder " + PathText(data) + " does not exist"};
  for (const fs::path& level : {folder.parent_path(), folder}) {
    if (!fs::is_directory(level, ec) && !fs::create_directory(level, ec)) {
      return FileError{level, "the folder could not be created"};
    }
  }
  const std::optional<ProfileEntry> replaced = ProfileReplacedBy(appFolder, kind, name);
  return ReplaceWholeFile(replaced ? replaced->file : typed, bytes);
}

Status DeleteProfile(const ProfileEntry& profile) { return RemoveFileIfExists(profile.file); }

std::optional<ProfileEntry> ProfileForPad(const fs::path& appFolder, std::string_view reportedPadName) {
  const std::string pad = ProfilePadName(reportedPadName);
  if (pad.empty()) return std::nullopt;
  std::optional<ProfileEntry> best;
  for (ProfileEntry& entry : ListProfiles(appFolder, MappingKind::Gamepad)) {
    const Result<GamepadProfile> profile = ReadGamepadProfile(entry.file);
    if (!profile || profile->padName != pad) continue;
    if (!best || entry.saved > best->saved) best = std::move(entry);
  }
  return best;
}

}  // namespace velox
