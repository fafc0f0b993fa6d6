#pragma once
// The installation layout: AppFolder and the two path forms.
//
// A joined path is AppFolder followed by a literal that begins with "\"
// (AppFolder + "\Data\glide.cfg"); a bare path is a relative name resolved
// against the current directory ("VELOX.exe"). The literals are written as the
// emulator's Windows installation names them; "\" and "/" both separate folder
// levels. On a case-sensitive file system an existing file or folder is found
// whatever the letter case of its name, as Windows and Wine would find it.

#include <filesystem>
#include <string_view>
#include <vector>

namespace velox {

// The folder of the running executable (or the one set for tests).
std::filesystem::path AppFolder();
void SetAppFolderForTesting(const std::filesystem::path& folder);

// AppFolder + literal, e.g. JoinedPath(app, "\\Data\\glide.cfg").
std::filesystem::path JoinedPath(const std::filesystem::path& appFolder, std::string_view literal);

// A literal relative to the current directory, e.g. BarePath("velox.pad").
// The result is relative too (it stays bound to whatever the current directory is).
std::filesystem::path BarePath(std::string_view literal);

// Appends the literal's folder levels to base, each level taking the letter case
// of an existing entry that matches it without regard to case; a level that
// exists in no case keeps its name as written (so a new file is created as written).
std::filesystem::path ResolveLevels(const std::filesystem::path& base, std::string_view literal);

// The entries of folder whose name equals name without regard to letter case,
// in name order: on a case-sensitive file system "glide2x.dll" may stand beside
// "GLIDE2X.DLL"; on Windows there is at most one.
std::vector<std::filesystem::path> NamesIgnoringCase(const std::filesystem::path& folder,
                                                     const std::filesystem::path& name);

}  // namespace velox
