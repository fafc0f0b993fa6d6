#pragma once
// The video choice: which wrapper is installed, as recorded in Data\glide.cfg,
// and the installation of a choice into the current directory.

#include <filesystem>
#include <optional>
#include <string_view>

#include "shell/file_status.h"

namespace velox {

// A choice number 1 to 14, or none (no option selected).
using VideoChoice = std::optional<int>;

// AppFolder + "\Data\glide.cfg".
std::filesystem::path VideoChoiceFile(const std::filesystem::path& appFolder);

// The recorded choice. The first line must be exactly "1" to "14"; a missing,
// unreadable or empty file, or an empty first line, means the 3DFX mode (13);
// any other text means none.
VideoChoice ReadVideoChoice(const std::filesystem::path& appFolder);

// What an installation did, step by step, so that a failure can be told truly.
struct VideoInstallSteps {
  bool choiceFileExisted = false;    // before the installation
  bool configIniDeleted = false;
  bool openGlideIniDeleted = false;
  bool libraryInstalled = false;     // the chosen library is in place as "glide2x.dll"
  bool libraryRemoved = false;       // a "glide2x.dll" was deleted (any letter case)
  bool choiceRecorded = false;
};

// Installs the choice into the current directory and records it:
//  1. unless the choice is Open Glide (10): if "Config.ini" exists it is deleted,
//     and only then "OpenGLide.ini" too;
//  2. when the choice has a library, AppFolder + its library source is copied
//     over "glide2x.dll" (through a temporary file renamed over it in one step,
//     so there is never a moment without one); a choice without a library
//     (the 3DFX mode) deletes "glide2x.dll";
//  3. on a case-sensitive file system every other letter case of that name is
//     deleted too, so that exactly one library, or none, remains;
//  4. the choice number ("" for none) and CR LF replace the choice file.
// The chosen library is checked to be a readable file before anything is
// touched. On failure the error names the file; the steps before it stay done
// and are listed in done.
Status InstallVideoChoice(const std::filesystem::path& appFolder, VideoChoice choice,
                          VideoInstallSteps* done = nullptr);

// Starts the program of a setup button ("config1" ... "config11") from the
// current directory and returns at once.
Status StartSetupProgram(std::string_view button);

}  // namespace velox
