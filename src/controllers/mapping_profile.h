#pragma once
// Saved mappings ("profiles"): the fourteen choices of a mapping dialog kept
// under a name the player gives, one file each, in
// Data\Profiles\Keyboard\<name>.cfg and Data\Profiles\Gamepad\<name>.cfg.
//
// A keyboard profile holds exactly the bytes of Data\clavier.cfg. A gamepad
// profile holds those of Data\manette.cfg with the name of the pad it was
// made with between the two lines; the mapping readers take the first and
// the last line, so a profile copied over either mapping file still works.
// Sharing a profile is copying its file.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "controllers/gamepad_mapping.h"
#include "controllers/keyboard_mapping.h"
#include "shell/file_status.h"

namespace velox {

enum class MappingKind { Keyboard, Gamepad };

// In characters; far below the 255 a Windows file name may have, so that
// the whole path stays within reach of every program that copies it.
inline constexpr size_t kProfileNameMaxLength = 64;

// Why a typed name (UTF-8) cannot name a profile file on Windows, as a
// sentence for the player; nothing when it can.
std::optional<std::string> ProfileNameProblem(std::string_view name);

// Whether two names are one on Windows, which ignores letter case. The
// folding covers the Latin, Greek and Cyrillic letters.
bool SameProfileName(std::string_view a, std::string_view b);

std::filesystem::path ProfileFolder(const std::filesystem::path& appFolder, MappingKind kind);

struct ProfileEntry {
  std::string name;  // UTF-8, the file name without ".cfg"
  std::filesystem::path file;
  std::filesystem::file_time_type saved;
};

// The profiles found, in name order regardless of letter case. Files whose
// name could not have been typed as a profile name are left out.
std::vector<ProfileEntry> ListProfiles(const std::filesystem::path& appFolder, MappingKind kind);

// The profile that saving under this name would replace: one whose name is
// the same in any letter case.
std::optional<ProfileEntry> ProfileReplacedBy(const std::filesystem::path& appFolder, MappingKind kind,
                                              std::string_view name);

// The pad name as a profile keeps it: one line, control characters made
// blanks, runs of blanks made one, at most 200 bytes.
std::string ProfilePadName(std::string_view reported);

struct GamepadProfile {
  GamepadMapping mapping;
  std::string padName;  // empty when no pad was connected
};

std::string KeyboardProfileBytes(const KeyboardMapping& mapping);
std::string GamepadProfileBytes(const GamepadProfile& profile);

// A profile is taken whole or not at all: a damaged or foreign file is refused.
Result<KeyboardMapping> ReadKeyboardProfile(const std::filesystem::path& file);
Result<GamepadProfile> ReadGamepadProfile(const std::filesystem::path& file);

// Writes the profile (over the one it replaces, keeping that one's file name),
// making the Profiles folders when needed; the Data folder must exist.
Status SaveProfile(const std::filesystem::path& appFolder, MappingKind kind, std::string_view name,
                   std::string_view bytes);
Status DeleteProfile(const ProfileEntry& profile);

// The most recently saved gamepad profile made with a pad of this name;
// nothing for an empty name.
std::optional<ProfileEntry> ProfileForPad(const std::filesystem::path& appFolder, std::string_view reportedPadName);

}  // namespace velox
