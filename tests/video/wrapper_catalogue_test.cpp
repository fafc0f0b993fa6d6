#include "video/wrapper_catalogue.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

namespace velox {
namespace {

using ::testing::ElementsAre;

TEST(WrapperCatalogueTest, LooksUpEveryChoiceByNumberAndByOption) {
  ASSERT_EQ(WrapperCatalogue::Entries().size(), 14u);
  for (int choice = 1; choice <= 14; ++choice) {
    const WrapperEntry* entry = WrapperCatalogue::ByChoice(choice);
    ASSERT_NE(entry, nullptr) << choice;
    EXPECT_EQ(entry->choice, choice);
    const std::string option = "Option" + std::to_string(choice);
    EXPECT_EQ(entry->option, option);
    EXPECT_EQ(WrapperCatalogue::ByOption(option), entry);
  }
  for (int choice : {-1, 0, 15, 100}) EXPECT_EQ(WrapperCatalogue::ByChoice(choice), nullptr) << choice;
  EXPECT_EQ(WrapperCatalogue::ChoiceText(10), "10");
  EXPECT_EQ(WrapperCatalogue::ChoiceText(1), "1");
  for (const char* name : {"Option0", "Option15", "option1", "Option1 ", "config1", ""}) {
    EXPECT_EQ(WrapperCatalogue::ByOption(name), nullptr) << name;
  }
}

TEST(WrapperCatalogueTest, ChoicesStandInTwoColumnsOfSeven) {
  std::map<std::pair<WrapperColumn, int>, int> places;
  for (const WrapperEntry& e : WrapperCatalogue::Entries()) places[{e.column, e.row}] = e.choice;
  std::vector<int> left, right;
  for (int row = 1; row <= 7; ++row) {
    left.push_back(places[{WrapperColumn::kLeft, row}]);
    right.push_back(places[{WrapperColumn::kRight, row}]);
  }
  EXPECT_THAT(left, ElementsAre(13, 1, 2, 3, 4, 5, 6));
  EXPECT_THAT(right, ElementsAre(7, 8, 14, 9, 10, 11, 12));
}

TEST(WrapperCatalogueTest, LibrariesComeFromTheWrappersOwnFoldersNotFromTheCaptions) {
  for (const WrapperEntry& e : WrapperCatalogue::Entries()) {
    ASSERT_EQ(e.librarySource.has_value(), e.choice != 13) << e.caption;
    if (!e.librarySource) continue;
    EXPECT_TRUE(e.librarySource->starts_with("\\Glide Wrapper\\")) << e.caption;
    EXPECT_TRUE(e.librarySource->ends_with("\\glide2x.dll")) << e.caption;
  }
  const std::pair<int, const char*> renamed[] = {
      {2, "Boost Wrapper build 166"}, {4, "eVoodoo v2.0.4"}, {11, "XGL200 v0.04a"}, {5, "GL2ide rev A3"}};
  for (const auto& [choice, folder] : renamed) {
    EXPECT_EQ(*WrapperCatalogue::ByChoice(choice)->librarySource,
              std::string("\\Glide Wrapper\\") + folder + "\\glide2x.dll");
  }
}

TEST(WrapperCatalogueTest, SetupButtonsStartTheProgramsBesideTheirOptions) {
  struct Button {
    const char* name;
    std::vector<int> beside;  // by member
    const char* program;
  };
  const Button buttons[] = {
      {"config1", {4}, "Glide Wrapper/eVoodoo v2.0.4/econtrol.exe"},
      {"config3", {5}, "Glide Wrapper\\GL2ide rev A3\\Gl2ideConfig.exe"},
      {"config4", {6}, "Glide Wrapper\\GL2ide rev A3\\Gl2ideConfig.exe"},
      {"config5", {10}, "Glide Wrapper\\Open Glide v0.05\\OpenGLide.exe"},
      {"config6", {11}, "Glide Wrapper\\XGL200 v0.04a\\Configurator.exe"},
      {"config10", {14, 7}, "Glide Wrapper\\GL2ideal v1.6\\GL2Ideal_Config.exe"},
      {"config11", {3}, "Glide Wrapper/Clide v2.4/Clide Setup.exe"},
  };
  std::set<int> withButton;
  for (const Button& b : buttons) {
    EXPECT_EQ(WrapperCatalogue::SetupProgram(b.name), std::optional<std::string_view>(b.program)) << b.name;
    for (size_t member = 0; member < b.beside.size(); ++member) {
      const WrapperEntry* e = WrapperCatalogue::ByChoice(b.beside[member]);
      EXPECT_EQ(e->setupButton, std::optional<std::string_view>(b.name)) << e->caption;
      EXPECT_EQ(e->setupMember, static_cast<int>(member)) << e->caption;
      EXPECT_EQ(e->setupProgram, std::optional<std::string_view>(b.program)) << e->caption;
      withButton.insert(e->choice);
    }
  }
  std::vector<std::string_view> listed(WrapperCatalogue::SetupButtons().begin(),
                                       WrapperCatalogue::SetupButtons().end());
  EXPECT_THAT(listed, ElementsAre("config1", "config3", "config4", "config5", "config6", "config10", "config11"));
  for (const WrapperEntry& e : WrapperCatalogue::Entries()) {
    if (withButton.count(e.choice)) continue;
    EXPECT_FALSE(e.setupButton.has_value()) << e.caption;
    EXPECT_FALSE(e.setupProgram.has_value()) << e.caption;
  }
  for (const char* name : {"config2", "config10(1)", "Config1", "Option3", ""}) {
    EXPECT_FALSE(WrapperCatalogue::SetupProgram(name).has_value()) << name;
  }
}

TEST(WrapperCatalogueTest, OnlyOpenGlideHasCompanionFiles) {
  for (const WrapperEntry& e : WrapperCatalogue::Entries()) {
    std::vector<std::string_view> companions(e.companions.begin(), e.companions.end());
    if (e.choice == 10) {
      EXPECT_THAT(companions, ElementsAre("Config.ini", "OpenGLide.ini"));
    } else {
      EXPECT_TRUE(companions.empty()) << e.caption;
    }
  }
}

TEST(WrapperCatalogueTest, DescriptionsKeepTheirAuthorsWording) {
  const auto description = [](int choice) { return std::string(WrapperCatalogue::ByChoice(choice)->description); };
  const std::string first = description(1);
  ASSERT_EQ(first.back(), '.');
  EXPECT_EQ(description(2), first.substr(0, first.size() - 1) + " (Full screen mode)");
  EXPECT_EQ(description(13), "Run Velox HLE with 3DFX mode (default)");
  EXPECT_EQ(description(4),
            "A fabulous Glide Wrapper is fabulous. It's compliant with a lot of video cards and it has good "
            "graphics rendering quality.");
  EXPECT_EQ(description(10),
            "This Glide Wrapper has a good graphics rendering quality and manages very good frames "
            "rates.Actually , it 's the best available wrapper for NVidia video cards users.");
  EXPECT_NE(first.find("It 's mainly based upon"), std::string::npos);
  EXPECT_NE(description(8).find("first developped for Karst HLE. Its developpment"), std::string::npos);
}

}  // namespace
}  // namespace velox
