#pragma once
// Readers take paths: the fuzzers put their input into a file of a scratch
// installation that lives for the whole run.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace velox::fuzz {

// The scratch installation folder (made once, with a Data folder).
const std::filesystem::path& Installation();

// Writes the bytes to the file relative to the installation and returns its path.
std::filesystem::path PutFile(std::string_view relative, const uint8_t* data, size_t size);

}  // namespace velox::fuzz
