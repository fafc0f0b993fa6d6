#pragma once
// Whole-file replacement that never leaves the target missing or half written:
// the new content goes to a temporary file in the target's folder, is flushed to
// disk, and then renamed over the target in one atomic step.

#include <filesystem>
#include <functional>
#include <string_view>

#include "shell/file_status.h"

namespace velox {

// Replaces (or creates) target with bytes, through temp (by default a hidden
// name beside the target). A target that exists and is read-only is refused,
// as Windows would refuse it. On failure the target is as it was and the
// temporary file is removed.
Status ReplaceWholeFile(const std::filesystem::path& target, std::string_view bytes);
Status ReplaceWholeFile(const std::filesystem::path& target, std::string_view bytes,
                   const std::filesystem::path& temp);

// Copies source over target the same safe way; the source must be a readable file.
Status CopyFileReplacing(const std::filesystem::path& source, const std::filesystem::path& target);

// Deletes the file if it exists; a missing file is not an error.
Status RemoveFileIfExists(const std::filesystem::path& file);

// Whether a regular file (not a folder) exists there.
bool FileExists(const std::filesystem::path& file);

// Test seam: called at each step of a replacement ("open", "write", "sync",
// "rename"); returning an errno value makes that step fail with it.
using ReplaceFault = std::function<int(std::string_view step, const std::filesystem::path& temp)>;
void SetReplaceFaultForTesting(ReplaceFault fault);

}  // namespace velox
