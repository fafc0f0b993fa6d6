#pragma once
// The fourteen video choices: thirteen Glide wrappers, each a "glide2x.dll" in
// its own folder under "Glide Wrapper", and the plain 3DFX mode. Fixed data; the
// video dialog and the choice file map between choice numbers and options with it.

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace velox {

enum class WrapperColumn { kLeft, kRight };

struct WrapperEntry {
  int choice;                                      // 1 to 14, the number in the choice file
  std::string_view option;                         // option button, "Option<choice>"
  std::string_view caption;                        // the option button's caption
  std::optional<std::string_view> librarySource;   // joined to AppFolder; none for the 3DFX mode
  std::optional<std::string_view> setupButton;     // the "Config" button beside the option
  int setupMember;                                 // which member of that button's group (0 or 1)
  std::optional<std::string_view> setupProgram;    // bare, relative to the current directory
  WrapperColumn column;
  int row;                                         // 1 at the top, to 7
  std::span<const std::string_view> companions;    // removed when another choice is installed
  std::string_view description;                    // shown while the option is selected
};

class WrapperCatalogue {
 public:
  // Choice without a wrapper library; also what a missing or empty choice file means.
  static constexpr int kDefaultChoice = 13;
  static constexpr int kRows = 7;

  // All fourteen entries, by choice number.
  static std::span<const WrapperEntry> Entries();

  // The entry of a choice number 1 to 14; null for any other number.
  static const WrapperEntry* ByChoice(int choice);
  // The entry shown by the option button of that name ("Option10"); null if none.
  static const WrapperEntry* ByOption(std::string_view option);
  // The program a setup button starts ("config10" for both its members); none for
  // a name that is not a setup button.
  static std::optional<std::string_view> SetupProgram(std::string_view button);
  // The seven setup buttons, each named once.
  static std::span<const std::string_view> SetupButtons();

  // The choice number as the choice file holds it: "1" to "14".
  static std::string ChoiceText(int choice);
};

}  // namespace velox
