#include "video/video_choice.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>

#include "shell/install_layout.h"
#include "shell/line_file.h"
#include "shell/program_start.h"
#include "shell/safe_file.h"
#include "video/wrapper_catalogue.h"

namespace velox {
namespace fs = std::filesystem;

namespace {

// Opening the library is the one proof that the copy can read it; it is done
// before anything is deleted, so that a missing wrapper costs the user nothing.
Status CheckReadable(const fs::path& file) {
  std::error_code ec;
  if (fs::is_directory(file, ec)) return FileError{file, "is a folder, not a file"};
  if (!fs::exists(file, ec)) return FileError{file, "no such file"};
  return ReadFileStart(file, 1).status();
}

}  // namespace

fs::path VideoChoiceFile(const fs::path& appFolder) { return JoinedPath(appFolder, "\\Data\\glide.cfg"); }

VideoChoice ReadVideoChoice(const fs::path& appFolder) {
  const Result<std::string> bytes = ReadFileBytes(VideoChoiceFile(appFolder));
  if (!bytes) return WrapperCatalogue::kDefaultChoice;
  const std::optional<std::string_view> line = FirstLine(*bytes);
  if (!line || line->empty()) return WrapperCatalogue::kDefaultChoice;
  for (const WrapperEntry& entry : WrapperCatalogue::Entries()) {
    if (*line == WrapperCatalogue::ChoiceText(entry.choice)) return entry.choice;
  }
  return std::nullopt;
}

Status InstallVideoChoice(const fs::path& appFolder, VideoChoice choice) {
  const WrapperEntry* entry = choice ? WrapperCatalogue::ByChoice(*choice) : nullptr;
  if (choice && !entry) {
    return FileError{VideoChoiceFile(appFolder), "there is no video choice " + std::to_string(*choice)};
  }

  std::optional<fs::path> source;
  if (entry && entry->librarySource) {
    source = JoinedPath(appFolder, *entry->librarySource);
    if (Status readable = CheckReadable(*source); !readable) return readable;
  }

  // Open Glide's settings go with it, but only when "Config.ini" is there: a
  // lone "OpenGLide.ini" is left alone, whatever the choice.
  const bool keepsCompanions = entry && !entry->companions.empty();
  if (!keepsCompanions) {
    const fs::path config = BarePath("Config.ini");
    if (FileExists(config)) {
      if (Status s = RemoveFileIfExists(config); !s) return s;
      if (Status s = RemoveFileIfExists(BarePath("OpenGLide.ini")); !s) return s;
    }
  }

  // A new library is renamed over the old one in one step, so there is never a
  // moment without a "glide2x.dll"; only a choice without a library removes it.
  const fs::path library = BarePath("glide2x.dll");
  if (source) {
    if (Status s = CopyFileReplacing(*source, library); !s) return s;
  } else if (Status s = RemoveFileIfExists(library); !s) {
    return s;
  }

  std::string text = entry ? WrapperCatalogue::ChoiceText(entry->choice) : std::string();
  std::string bytes;
  AppendLine(bytes, text);
  return ReplaceWholeFile(VideoChoiceFile(appFolder), bytes);
}

Status StartSetupProgram(std::string_view button) {
  const std::optional<std::string_view> program = WrapperCatalogue::SetupProgram(button);
  if (!program) return FileError{fs::path(std::string(button)), "is not a setup button"};
  return StartProgram(BarePath(*program));
}

}  // namespace velox
