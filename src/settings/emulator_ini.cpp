#include "settings/emulator_ini.h"

#include <array>

#include "shell/excerpt.h"
#include "shell/line_file.h"
#include "shell/safe_file.h"

namespace velox {

namespace {

constexpr std::string_view kRompath = "rompath=";
constexpr std::string_view kSavepath = "savepath=";
constexpr std::string_view kResolution = "resolution=";
constexpr std::string_view kViewport = "viewport=";
constexpr std::string_view kSound = "sound=";
constexpr std::string_view kAltTitle = "alttitle=";
constexpr std::string_view kComment = "comment=";

// Tested in this order; the first match decides.
constexpr std::array<std::string_view, 20> kSwitchablePrefixes = {
    "//patch=",      "// patch=",      "//patch =",      "// patch =",      "//osrange=",
    "// osrange=",   "//osrange =",    "// osrange =",   "//viewport=",     "// viewport=",
    "//viewport =",  "// viewport =",  "//optimize=",    "// optimize=",    "//optimize =",
    "// optimize =", "//bootloader=",  "// bootloader=", "//bootloader =",  "// bootloader =",
};

bool IsHeader(std::string_view line) { return !line.empty() && line.front() == '['; }

// The header without its first and last character; a lone "[" has no name.
std::optional<std::string_view> HeaderName(std::string_view header) {
  if (header.size() < 2) return std::nullopt;
  return header.substr(1, header.size() - 2);
}

bool OpensDefault(std::string_view header) { return header.starts_with("[default]"); }

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  std::string out;
  out.reserve(text.size());
  size_t start = 0;
  for (size_t at; (at = text.find(from, start)) != std::string_view::npos; start = at + from.size()) {
    out.append(text.substr(start, at - start));
    out.append(to);
  }
  out.append(text.substr(start));
  return out;
}

// Builds the rewritten file. Unchanged lines that already end in CR LF are
// copied as whole runs of the source, which keeps a rewrite of a large file
// close to the cost of a plain copy.
class Rewriter {
 public:
  explicit Rewriter(std::string_view source) : source_(source) { out_.reserve(source.size() + source.size() / 16 + 64); }

  void Keep(std::string_view line) {
    const char* end = line.data() + line.size();
    const char* sourceEnd = source_.data() + source_.size();
    if (sourceEnd - end >= 2 && end[0] == '\r' && end[1] == '\n') {
      if (runEnd_ != line.data()) {
        Flush();
        runBegin_ = line.data();
      }
      runEnd_ = end + 2;
      return;
    }
    Flush();
    AppendLine(out_, line);
  }

  void Replace(std::string_view line) {
    Flush();
    AppendLine(out_, line);
  }

  std::string Finish() {
    Flush();
    return std::move(out_);
  }

 private:
  void Flush() {
    if (runBegin_) out_.append(runBegin_, runEnd_);
    runBegin_ = runEnd_ = nullptr;
  }

  std::string_view source_;
  std::string out_;
  const char* runBegin_ = nullptr;
  const char* runEnd_ = nullptr;
};

}  // namespace

namespace {

template <class Char>
std::optional<std::string_view> FirstLineBreak(std::basic_string_view<Char> value) {
  for (Char c : value) {
    if (c == Char('\r')) return "a carriage return (CR)";
    if (c == Char('\n')) return "a line feed (LF)";
    if (c == Char('\0')) return "a NUL character";
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string_view> LineBreakIn(std::string_view value) { return FirstLineBreak(value); }
std::optional<std::string_view> LineBreakIn(std::u16string_view value) { return FirstLineBreak(value); }

std::string ShownResolution(std::string_view fileForm) { return ReplaceAll(fileForm, ",", " x "); }
std::string FileResolution(std::string_view shownForm) { return ReplaceAll(shownForm, " x ", ","); }

GeneralSettings ParseGeneralSettings(std::string_view bytes) {
  GeneralSettings settings;
  bool inDefault = false;
  ForEachLine(bytes, [&](std::string_view line) {
    if (IsHeader(line)) {
      inDefault = OpensDefault(line);
      return;
    }
    if (!inDefault) return;
    if (line.starts_with(kRompath)) {
      settings.rompath = std::string(line.substr(kRompath.size()));
    } else if (line.starts_with(kSavepath)) {
      settings.savepath = std::string(line.substr(kSavepath.size()));
    } else if (line.starts_with(kResolution)) {
      settings.resolution.push_back(ShownResolution(line.substr(kResolution.size())));
    } else if (line.starts_with(kViewport)) {
      settings.viewport.push_back(ShownResolution(line.substr(kViewport.size())));
    } else if (line.starts_with(kSound) && settings.sound == SoundSetting::kUnset) {
      settings.sound = line.starts_with("sound=1") ? SoundSetting::kOn : SoundSetting::kOff;
    }
  });
  return settings;
}

std::string RewriteGeneralSettings(std::string_view bytes, const GeneralSettings& settings) {
  const auto keyed = [](std::string_view key, std::string_view value) {
    std::string line(key);
    line.append(value);
    return line;
  };
  std::optional<std::string> rompath, savepath, resolution, viewport, sound;
  if (settings.rompath) rompath = keyed(kRompath, *settings.rompath);
  if (settings.savepath) savepath = keyed(kSavepath, *settings.savepath);
  if (!settings.resolution.empty()) resolution = keyed(kResolution, FileResolution(settings.resolution.back()));
  if (!settings.viewport.empty()) viewport = keyed(kViewport, FileResolution(settings.viewport.back()));
  if (settings.sound == SoundSetting::kOn) sound = "sound=1";
  if (settings.sound == SoundSetting::kOff) sound = "sound=0";

  Rewriter out(bytes);
  bool inDefault = false;
  ForEachLine(bytes, [&](std::string_view line) {
    if (IsHeader(line)) inDefault = OpensDefault(line);
    const std::optional<std::string>* replacement = nullptr;
    if (inDefault) {
      if (line.starts_with(kRompath)) replacement = &rompath;
      else if (line.starts_with(kSavepath)) replacement = &savepath;
      else if (line.starts_with(kResolution)) replacement = &resolution;
      else if (line.starts_with(kViewport)) replacement = &viewport;
      else if (line.starts_with(kSound)) replacement = &sound;
    }
    if (replacement && replacement->has_value()) {
      out.Replace(**replacement);
    } else {
      out.Keep(line);
    }
  });
  return out.Finish();
}

std::vector<std::string> ParseGameNames(std::string_view bytes) {
  std::vector<std::string> names;
  ForEachLine(bytes, [&](std::string_view line) {
    if (!IsHeader(line)) return;
    const auto name = HeaderName(line);
    if (name && !name->empty() && *name != "default") names.emplace_back(*name);
  });
  return names;
}

std::optional<GameSection> ParseGame(std::string_view bytes, std::string_view name) {
  std::optional<GameSection> game;
  bool done = false;
  ForEachLine(bytes, [&](std::string_view line) {
    if (done) return;
    if (IsHeader(line)) {
      if (game) {
        done = true;
      } else if (HeaderName(line) == name) {
        game.emplace();
        game->name = std::string(name);
      }
      return;
    }
    if (!game) return;
    if (line.starts_with(kAltTitle)) {
      game->title = std::string(line.substr(kAltTitle.size()));
    } else if (line.starts_with(kComment)) {
      game->comment = std::string(line.substr(kComment.size()));
    } else {
      game->entries.emplace_back(line);
    }
  });
  if (game && game->title.empty()) game->title = game->name;
  return game;
}

EntryState GetEntryState(std::string_view entry) {
  if (!entry.starts_with("//")) return EntryState::kActive;
  for (std::string_view prefix : kSwitchablePrefixes) {
    if (entry.starts_with(prefix)) return EntryState::kSwitchable;
  }
  return EntryState::kPlainComment;
}

std::string SwitchedLine(std::string_view entry, bool on) {
  if (entry.empty()) return {};
  if (on) return std::string(entry.size() >= 2 ? entry.substr(2) : std::string_view());
  std::string line = "//";
  line.append(entry);
  return line;
}

std::optional<std::string> RewriteSwitched(std::string_view bytes, std::string_view game, std::string_view entry,
                                           bool on) {
  const std::string newLine = SwitchedLine(entry, on);
  enum { kBefore, kInside, kAfter } where = kBefore;
  bool matched = false;
  Rewriter out(bytes);
  ForEachLine(bytes, [&](std::string_view line) {
    if (IsHeader(line)) {
      if (where == kInside) where = kAfter;
      else if (where == kBefore && HeaderName(line) == game) where = kInside;
    } else if (where == kInside && line == entry && !line.starts_with(kAltTitle) && !line.starts_with(kComment)) {
      matched = true;
      out.Replace(newLine);
      return;
    }
    out.Keep(line);
  });
  if (!matched) return std::nullopt;
  return out.Finish();
}

Result<GeneralSettings> ReadGeneralSettings(const std::filesystem::path& file) {
  Result<std::string> bytes = ReadFileBytes(file);
  if (!bytes) return bytes.error();
  return ParseGeneralSettings(*bytes);
}

Status WriteGeneralSettings(const std::filesystem::path& file, const std::filesystem::path& temp,
                            const GeneralSettings& settings) {
  // A value is written as the rest of one line: a line break in it would start
  // lines (even sections) of its own, and a NUL would end it for the emulator.
  const auto check = [&](std::string_view key, std::string_view value) -> Status {
    if (const std::optional<std::string_view> problem = LineBreakIn(value)) {
      return FileError{file, "the value for \"" + std::string(key) + "\" holds " + std::string(*problem) +
                                 ", which cannot be stored on one line"};
    }
    return {};
  };
  if (settings.rompath) {
    if (Status s = check(kRompath, *settings.rompath); !s) return s;
  }
  if (settings.savepath) {
    if (Status s = check(kSavepath, *settings.savepath); !s) return s;
  }
  for (const std::string& value : settings.resolution) {
    if (Status s = check(kResolution, value); !s) return s;
  }
  for (const std::string& value : settings.viewport) {
    if (Status s = check(kViewport, value); !s) return s;
  }
  // Reading first also keeps a missing file missing: nothing is created in its place.
  Result<std::string> bytes = ReadFileBytes(file);
  if (!bytes) return bytes.error();
  return ReplaceWholeFile(file, RewriteGeneralSettings(*bytes, settings), temp);
}

Result<std::vector<std::string>> ListGames(const std::filesystem::path& file) {
  Result<std::string> bytes = ReadFileBytes(file);
  if (!bytes) return bytes.error();
  return ParseGameNames(*bytes);
}

Result<GameSection> ReadGame(const std::filesystem::path& file, std::string_view name) {
  Result<std::string> bytes = ReadFileBytes(file);
  if (!bytes) return bytes.error();
  std::optional<GameSection> game = ParseGame(*bytes, name);
  if (!game) return FileError{file, "has no section for the game " + Excerpt(name)};
  return std::move(*game);
}

Status SwitchEntry(const std::filesystem::path& file, const std::filesystem::path& temp, std::string_view game,
                   std::string_view entry, bool on) {
  if (entry.find_first_of(std::string_view("\r\n", 2)) != std::string_view::npos) {
    return FileError{file, "the entry " + Excerpt(entry) + " holds a line break and is not a line of the file"};
  }
  const EntryState state = GetEntryState(entry);
  if (on && state != EntryState::kSwitchable) {
    return FileError{file, "the entry " + Excerpt(entry) + " cannot be switched on"};
  }
  if (!on && state != EntryState::kActive) {
    return FileError{file, "the entry " + Excerpt(entry) + " cannot be switched off"};
  }
  Result<std::string> bytes = ReadFileBytes(file);
  if (!bytes) return bytes.error();
  std::optional<std::string> rewritten = RewriteSwitched(*bytes, game, entry, on);
  if (!rewritten) {
    return FileError{file, "the game " + Excerpt(game) + " no longer holds the entry " + Excerpt(entry)};
  }
  return ReplaceWholeFile(file, *rewritten, temp);
}

}  // namespace velox
