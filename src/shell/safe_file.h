#pragma once
// Whole-file replacement that never leaves the target missing or half written:
// the new content goes to a temporary file in the target's folder, is flushed to
// disk, and then renamed over the target in one atomic step. All system calls go
// through platform::Files(), where tests watch them and make them fail.

#include <filesystem>
#include <string_view>

#include "shell/file_status.h"

namespace velox {

// Replaces (or creates) target with bytes, through temp (by default a hidden
// name beside the target). A target that exists and is read-only is refused,
// as Windows would refuse it. Whatever stands at the temporary name (an old
// copy, a link, a hard link) is removed, never written through. A target that
// is a symbolic link stays one: the file it leads to is replaced, through a
// temporary file beside that file. On failure the target is as it was, the
// temporary file is removed, and the error names the temporary file when it
// was the one that failed.
Status ReplaceWholeFile(const std::filesystem::path& target, std::string_view bytes);
Status ReplaceWholeFile(const std::filesystem::path& target, std::string_view bytes,
                        const std::filesystem::path& temp);

// Copies source over target the same safe way; the source must be a readable file.
Status CopyFileReplacing(const std::filesystem::path& source, const std::filesystem::path& target);

// Deletes the file if it exists (a link itself, not what it leads to); a
// missing file is not an error.
Status RemoveFileIfExists(const std::filesystem::path& file);

// Whether a regular file (not a folder) exists there.
bool FileExists(const std::filesystem::path& file);

// The hidden temporary name used beside target when none is given.
std::filesystem::path DefaultTempFile(const std::filesystem::path& target);

}  // namespace velox
