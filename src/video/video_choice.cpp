#include "video/video_choice.h"

#include <cerrno>
#include <string>
#include <system_error>
#include <vector>

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

constexpr std::string_view kLibraryName = "glide2x.dll";

// The files of the current directory whose names equal name in any letter case.
std::vector<fs::path> NameVariants(std::string_view name) {
#ifdef _WIN32
  // One name, whatever its letter case, names one file there.
  return {fs::path(std::string(name))};
#else
  std::vector<fs::path> found;
  for (const fs::path& file : NamesIgnoringCase(fs::path(), fs::path(std::string(name)))) {
    if (std::error_code kind; !fs::is_directory(fs::symlink_status(file, kind))) found.push_back(file);
  }
  // Also when the listing fails: the name as written is still tried.
  if (found.empty()) found.emplace_back(std::string(name));
  return found;
#endif
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

Status InstallVideoChoice(const fs::path& appFolder, VideoChoice choice, VideoInstallSteps* done) {
  VideoInstallSteps ignored;
  VideoInstallSteps& steps = done ? *done : ignored;
  steps = {};
  steps.choiceFileExisted = FileExists(VideoChoiceFile(appFolder));

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
      steps.configIniDeleted = true;
      const fs::path openGlide = BarePath("OpenGLide.ini");
      if (FileExists(openGlide)) {
        if (Status s = RemoveFileIfExists(openGlide); !s) return s;
        steps.openGlideIniDeleted = true;
      }
    }
  }

  // A new library is renamed over the old one in one step, so there is never a
  // moment without a "glide2x.dll"; only a choice without a library removes it.
  const fs::path library = BarePath("glide2x.dll");
  if (source) {
    if (Status s = CopyFileReplacing(*source, library); !s) return s;
    steps.libraryInstalled = true;
  }
  // Wine finds "GLIDE2X.DLL" as well as "glide2x.dll" and may load either: none but the new one may stay.
  for (const fs::path& variant : NameVariants(kLibraryName)) {
    if (source && variant == library) continue;
    const bool existed = FileExists(variant);
    if (Status s = RemoveFileIfExists(variant); !s) return s;
    steps.libraryRemoved = steps.libraryRemoved || existed;
  }

  std::string text = entry ? WrapperCatalogue::ChoiceText(entry->choice) : std::string();
  std::string bytes;
  AppendLine(bytes, text);
  if (Status s = ReplaceWholeFile(VideoChoiceFile(appFolder), bytes); !s) return s;
  steps.choiceRecorded = true;
  return {};
}

Status StartSetupProgram(std::string_view button) {
  const std::optional<std::string_view> program = WrapperCatalogue::SetupProgram(button);
  if (!program) return FileError{fs::path(std::string(button)), "is not a setup button"};
  return StartProgram(BarePath(*program));
}

}  // namespace velox
