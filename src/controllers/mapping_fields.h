#pragma once
// Splitting a mapping line into its "|"-separated fields.

#include <string>
#include <string_view>
#include <vector>

namespace velox {

// Every "|" separates two fields; an empty line is one empty field.
std::vector<std::string_view> SplitFields(std::string_view line, char separator = '|');

std::string JoinFields(const std::vector<std::string>& fields, char separator = '|');

}  // namespace velox
