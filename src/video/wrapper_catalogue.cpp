#include "video/wrapper_catalogue.h"

#include <algorithm>
#include <array>

namespace velox {

namespace {

using enum WrapperColumn;
constexpr std::nullopt_t kNone = std::nullopt;

// Open Glide keeps its settings beside the installed library.
constexpr std::array<std::string_view, 2> kOpenGlideCompanions = {"Config.ini", "OpenGLide.ini"};
constexpr std::span<const std::string_view> kNoCompanions;

// The folder names are the wrappers' own and differ from the captions; two setup
// programs are written with "/" between their folders, the others with "\".
// The descriptions are shown to users exactly as their authors wrote them.
constexpr std::array<WrapperEntry, 14> kCatalogue = {{
    // choice, option, caption,
    //   library source, setup button, member, setup program, column, row, companions,
    //   description
    {1, "Option1", "Boost Wrapper",
     "\\Glide Wrapper\\Boost Wrapper\\glide2x.dll", kNone, 0, kNone, kLeft, 2, kNoCompanions,
     "This is a very fast Glide Wrapper that has good graphics rendering quality. It 's mainly based upon "
     "Riva 128, Riva TNT, TNT2, Ultra and Geforce cards specifications."},
    {2, "Option2", "Boost Wrapper 166",
     "\\Glide Wrapper\\Boost Wrapper build 166\\glide2x.dll", kNone, 0, kNone, kLeft, 3, kNoCompanions,
     "This is a very fast Glide Wrapper that has good graphics rendering quality. It 's mainly based upon "
     "Riva 128, Riva TNT, TNT2, Ultra and Geforce cards specifications (Full screen mode)"},
    {3, "Option3", "Clide v2.4",
     "\\Glide Wrapper\\Clide v2.4\\glide2x.dll", "config11", 0,
     "Glide Wrapper/Clide v2.4/Clide Setup.exe", kLeft, 4, kNoCompanions,
     "The fastest available Glide Wrapper and it's compatible with most video cards. I strongly recommend it."},
    {4, "Option4", "E-Voodoo v2.0.4",
     "\\Glide Wrapper\\eVoodoo v2.0.4\\glide2x.dll", "config1", 0,
     "Glide Wrapper/eVoodoo v2.0.4/econtrol.exe", kLeft, 5, kNoCompanions,
     "A fabulous Glide Wrapper is fabulous. It's compliant with a lot of video cards and it has good graphics "
     "rendering quality."},
    {5, "Option5", "GL2IDE rev A3",
     "\\Glide Wrapper\\GL2ide rev A3\\glide2x.dll", "config3", 0,
     "Glide Wrapper\\GL2ide rev A3\\Gl2ideConfig.exe", kLeft, 6, kNoCompanions,
     "A good Glide Wrapper, compliant with most video cards."},
    // Rev C ships no setup program of its own: its button starts rev A3's.
    {6, "Option6", "GL2IDE rev C",
     "\\Glide Wrapper\\GL2ide rev C\\glide2x.dll", "config4", 0,
     "Glide Wrapper\\GL2ide rev A3\\Gl2ideConfig.exe", kLeft, 7, kNoCompanions,
     "This Glide Wrapper is another release of GL2IDE. It works pretty fine with Geforce cards."},
    {7, "Option7", "GL2Ideal v1.6",
     "\\Glide Wrapper\\GL2ideal v1.6\\glide2x.dll", "config10", 1,
     "Glide Wrapper\\GL2ideal v1.6\\GL2Ideal_Config.exe", kRight, 1, kNoCompanions,
     "This Glide Wrapper is a modified release of GL2IDE revA3. It has enhanced graphics quality. Ideal for "
     "Geforce cards users."},
    {8, "Option8", "GlideGL 64 v1.b",
     "\\Glide Wrapper\\GlideGL 64 v1.b\\glide2x.dll", kNone, 0, kNone, kRight, 2, kNoCompanions,
     "This Glide Wrapper was first developped for Karst HLE. Its developpment had been discontinued. You may "
     "want to try it anyway..."},
    {9, "Option9", "MuGlide",
     "\\Glide Wrapper\\MuGlide\\glide2x.dll", kNone, 0, kNone, kRight, 4, kNoCompanions,
     "This Glide Wrapper was developped for Matrox Cards. Lacks on speed with other cards."},
    {10, "Option10", "Open Glide v0.05",
     "\\Glide Wrapper\\Open Glide v0.05\\glide2x.dll", "config5", 0,
     "Glide Wrapper\\Open Glide v0.05\\OpenGLide.exe", kRight, 5, kOpenGlideCompanions,
     "This Glide Wrapper has a good graphics rendering quality and manages very good frames rates.Actually , "
     "it 's the best available wrapper for NVidia video cards users."},
    {11, "Option11", "XGL 200 v0.04a",
     "\\Glide Wrapper\\XGL200 v0.04a\\glide2x.dll", "config6", 0,
     "Glide Wrapper\\XGL200 v0.04a\\Configurator.exe", kRight, 6, kNoCompanions,
     "Developped for Matrox video cards, this Glide Wrapper is now compliant with most video cards. It's just "
     "one of the best..."},
    {12, "Option12", "X-Glide",
     "\\Glide Wrapper\\X-Glide\\glide2x.dll", kNone, 0, kNone, kRight, 7, kNoCompanions,
     "One of the very first Glide Wrappers developped for Karst HLE. It's now a little outdated but sometimes "
     "efficient."},
    {13, "Option13", "3DFX Mode (default)",
     kNone, kNone, 0, kNone, kLeft, 1, kNoCompanions,
     "Run Velox HLE with 3DFX mode (default)"},
    // MGlide has no setup program of its own either: its button starts GL2Ideal's.
    {14, "Option14", "MGlide v1.246H",
     "\\Glide Wrapper\\MGlide v1.246H\\glide2x.dll", "config10", 0,
     "Glide Wrapper\\GL2ideal v1.6\\GL2Ideal_Config.exe", kRight, 3, kNoCompanions,
     "MGlide project is dead since september 1999. But this Glide Wrapper is compliant with most video cards."},
}};

constexpr std::array<std::string_view, 7> kSetupButtons = {"config1", "config3",  "config4", "config5",
                                                           "config6", "config10", "config11"};

constexpr bool TableHoldsTogether() {
  for (size_t i = 0; i < kCatalogue.size(); ++i) {
    const WrapperEntry& e = kCatalogue[i];
    if (e.choice != static_cast<int>(i) + 1) return false;
    if (e.row < 1 || e.row > WrapperCatalogue::kRows) return false;
    if (e.librarySource.has_value() == (e.choice == WrapperCatalogue::kDefaultChoice)) return false;
    if (e.setupButton.has_value() != e.setupProgram.has_value()) return false;
    for (size_t j = 0; j < i; ++j) {
      if (kCatalogue[j].column == e.column && kCatalogue[j].row == e.row) return false;
    }
  }
  return true;
}
static_assert(TableHoldsTogether(), "each choice in its place, one library for every choice but the 3DFX mode");

}  // namespace

std::span<const WrapperEntry> WrapperCatalogue::Entries() { return kCatalogue; }

const WrapperEntry* WrapperCatalogue::ByChoice(int choice) {
  if (choice < 1 || choice > static_cast<int>(kCatalogue.size())) return nullptr;
  return &kCatalogue[static_cast<size_t>(choice - 1)];
}

const WrapperEntry* WrapperCatalogue::ByOption(std::string_view option) {
  const auto it = std::find_if(kCatalogue.begin(), kCatalogue.end(),
                               [&](const WrapperEntry& e) { return e.option == option; });
  return it == kCatalogue.end() ? nullptr : &*it;
}

std::optional<std::string_view> WrapperCatalogue::SetupProgram(std::string_view button) {
  for (const WrapperEntry& e : kCatalogue) {
    if (e.setupButton == button) return e.setupProgram;
  }
  return std::nullopt;
}

std::span<const std::string_view> WrapperCatalogue::SetupButtons() { return kSetupButtons; }

std::string WrapperCatalogue::ChoiceText(int choice) { return std::to_string(choice); }

}  // namespace velox
