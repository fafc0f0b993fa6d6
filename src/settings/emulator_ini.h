#pragma once
// EmulatorIni: reading and rewriting the emulator's settings file "velox.ini".
//
// Every test on a line compares its first characters exactly (case-sensitive,
// no blank trimmed). A rewrite writes every line it does not replace byte for
// byte, each ending in CR LF, and replaces the file in one step through a
// temporary file beside it, so the settings file is never missing. A missing
// settings file is reported, never created.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/file_status.h"

namespace velox {

enum class SoundSetting { kUnset, kOn, kOff };

// The general settings of the "[default]" section.
struct GeneralSettings {
  // Read: the last value in the file, absent when the key is missing.
  // Write: the value for every such line; absent leaves those lines as they are.
  std::optional<std::string> rompath;
  std::optional<std::string> savepath;
  // In shown form ("640 x 480"). Read: every value, in file order.
  // Write: the last value is written to every such line; none leaves them as they are.
  std::vector<std::string> resolution;
  std::vector<std::string> viewport;
  // Read: decided by the first "sound=" line. Write: unset leaves the lines as they are.
  SoundSetting sound = SoundSetting::kUnset;
};

struct GameSection {
  std::string name;
  std::string title;    // last "alttitle=" value, or the name when there is none or it is empty
  std::string comment;  // last "comment=" value, or empty
  std::vector<std::string> entries;  // every other line of the section, in file order
};

enum class EntryState {
  kActive,        // can be switched off
  kSwitchable,    // commented out with a known prefix: can be switched on
  kPlainComment,  // can be neither
};

// What in a value would break its line: "a line feed (LF)", "a carriage return
// (CR)" or "a NUL character"; nothing when the value fits on one line. The same
// rule for a value still in the form a window holds it (UTF-16).
std::optional<std::string_view> LineBreakIn(std::string_view value);
std::optional<std::string_view> LineBreakIn(std::u16string_view value);

// "640,480" <-> "640 x 480": every "," becomes " x " and back; nothing is validated.
std::string ShownResolution(std::string_view fileForm);
std::string FileResolution(std::string_view shownForm);

// On bytes (the whole file's content).
GeneralSettings ParseGeneralSettings(std::string_view bytes);
std::string RewriteGeneralSettings(std::string_view bytes, const GeneralSettings& settings);
std::vector<std::string> ParseGameNames(std::string_view bytes);
std::optional<GameSection> ParseGame(std::string_view bytes, std::string_view name);
// The file's new bytes, or nothing when the first section of that name holds no
// line equal to the entry.
std::optional<std::string> RewriteSwitched(std::string_view bytes, std::string_view game, std::string_view entry,
                                           bool on);

EntryState GetEntryState(std::string_view entry);
// The entry's line after switching it on or off (an empty entry stays empty).
std::string SwitchedLine(std::string_view entry, bool on);

// On files. Writers refuse any value that holds CR, LF or NUL: one line in, one line out.
Result<GeneralSettings> ReadGeneralSettings(const std::filesystem::path& file);
Status WriteGeneralSettings(const std::filesystem::path& file, const std::filesystem::path& temp,
                            const GeneralSettings& settings);
Result<std::vector<std::string>> ListGames(const std::filesystem::path& file);
// The first section of that name.
Result<GameSection> ReadGame(const std::filesystem::path& file, std::string_view name);
// Switches the entry's lines inside the first section of that game only.
Status SwitchEntry(const std::filesystem::path& file, const std::filesystem::path& temp, std::string_view game,
                   std::string_view entry, bool on);

}  // namespace velox
