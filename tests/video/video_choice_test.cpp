#include "video/video_choice.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <regex>

#include "shell/platform.h"
#include "shell/safe_file.h"
#include "support/file_call_spy.h"
#include "support/temp_install.h"

namespace velox {
namespace {

namespace fs = std::filesystem;

TEST(ReadVideoChoiceTest, OnlyAnExactNumberOnTheFirstLineCounts) {
  const std::pair<std::optional<std::string_view>, VideoChoice> cases[] = {
      {std::nullopt, 13}, {"/", 13}, {"", 13}, {"\r\n7\r\n", 13}, {"1\r\n", 1}, {"14", 14}, {"5\n", 5}, {"10\r", 10},
      {"7\r\n2\r\n", 7}, {" 7\r\n", {}}, {"3 \r\n", {}}, {"07\r\n", {}}, {"15\r\n", {}}, {std::string_view("1\0", 2), {}}};
  for (const auto& [bytes, expected] : cases) {
    testing::TempFolder app;
    if (bytes == "/") {
      fs::create_directories(app / "Data/glide.cfg");  // a folder in place of the file
    } else if (bytes) {
      testing::WriteBytes(app / "Data/glide.cfg", *bytes);
    }
    EXPECT_EQ(ReadVideoChoice(app.path()), expected) << bytes.value_or("<no file>");
  }
}

// The demo installation in one folder, the current directory elsewhere: the library goes to the current one.
class InstallVideoChoiceTest : public ::testing::Test {
 protected:
  InstallVideoChoiceTest() : cd_(cwd.path()) {
    testing::CopyDemo(app.path());
    PlaceOldFiles();
  }
  void PlaceOldFiles() { for (const char* f : {"Config.ini", "OpenGLide.ini", "glide2x.dll"}) testing::WriteBytes(cwd / f, f); }
  // Every file of the current directory, temporary ones too.
  std::string Cwd() const { return testing::Listing(cwd.path()); }

  testing::TempFolder app, cwd;
  testing::CurrentDirectory cd_;
};

TEST_F(InstallVideoChoiceTest, EachChoiceInstallsTheLibraryOfItsOwnFolderAndOnlyOpenGlideKeepsItsSettings) {
  const std::pair<VideoChoice, std::string> cases[] = {
      {1, "Boost Wrapper"}, {2, "Boost Wrapper build 166"}, {3, "Clide v2.4"}, {4, "eVoodoo v2.0.4"},
      {5, "GL2ide rev A3"}, {6, "GL2ide rev C"},           {7, "GL2ideal v1.6"}, {8, "GlideGL 64 v1.b"},
      {9, "MuGlide"},       {10, "Open Glide v0.05"},      {11, "XGL200 v0.04a"}, {12, "X-Glide"},
      {14, "MGlide v1.246H"}, {13, ""},                    {std::nullopt, ""}};
  for (const auto& [choice, folder] : cases) {
    PlaceOldFiles();
    ASSERT_TRUE(InstallVideoChoice(app.path(), choice).ok()) << folder;
    const std::string kept = choice == 10 ? "Config.ini:Config.ini OpenGLide.ini:OpenGLide.ini " : "";
    EXPECT_EQ(Cwd(), kept + (folder.empty() ? "" : "glide2x.dll:placeholder wrapper library: " + folder + "\r\n"));
    EXPECT_EQ(testing::ReadBytes(app / "Data/glide.cfg"), (choice ? std::to_string(*choice) : "") + "\r\n");
  }
  testing::WriteBytes(cwd / "OpenGLide.ini", "alone");  // without "Config.ini" it is not Open Glide's
  ASSERT_TRUE(InstallVideoChoice(app.path(), 13).ok());
  EXPECT_EQ(Cwd(), "OpenGLide.ini:alone");
  fs::remove(cwd / "OpenGLide.ini");
  testing::WriteBytes(cwd / "Config.ini", "alone");  // and "OpenGLide.ini" is not said deleted when there was none
  VideoInstallSteps done;
  ASSERT_TRUE(InstallVideoChoice(app.path(), 13, &done).ok());
  EXPECT_TRUE(done.configIniDeleted && !done.openGlideIniDeleted);
}

// On a case-sensitive file system Wine may load any letter case of the name: exactly one library, or none, remains.
TEST_F(InstallVideoChoiceTest, EveryLetterCaseOfTheLibraryIsReplacedOrRemoved) {
  if (platform::kWindows) GTEST_SKIP() << "one name in any letter case is one file";
  for (VideoChoice choice : {VideoChoice(12), VideoChoice(13), VideoChoice()}) {
    for (const char* f : {"GLIDE2X.DLL", "Glide2x.dll", "glide2x.DLL"}) testing::WriteBytes(cwd / f, f);
    testing::WriteBytes(cwd / "glide2x.dll~", "kept");  // a backup of it stays (and lists after it)
    VideoInstallSteps done;
    ASSERT_TRUE(InstallVideoChoice(app.path(), choice, &done).ok());
    const std::string left = std::regex_replace(Cwd(), std::regex("^glide2x\\.dll:", std::regex::icase), "?:");
    EXPECT_EQ(left, (choice == 12 ? "?:placeholder wrapper library: X-Glide\r\n " : "") + std::string("glide2x.dll~:kept"));
    EXPECT_TRUE(done.libraryRemoved);
    EXPECT_EQ(done.libraryInstalled, choice == 12);
  }
  fs::create_directory(cwd / "Glide2x.dll");  // a folder of that name is no library: it stays
  ASSERT_TRUE(InstallVideoChoice(app.path(), 13).ok());
  EXPECT_TRUE(fs::is_directory(cwd / "Glide2x.dll"));
}

// The new library replaces the old one in one step: a failure leaves the old one whole.
TEST_F(InstallVideoChoiceTest, AFailedCopyKeepsTheOldLibraryAndWritesNoRecord) {
  for (const char* step : {"write", "replace"}) {
    testing::FileCallSpy spy;
    spy.Fail(step, ENOSPC);
    const Status s = InstallVideoChoice(app.path(), 3);
    ASSERT_FALSE(s.ok()) << step;
    EXPECT_EQ(s.error().file, fs::path(std::string_view(step) == "write" ? ".glide2x.dll.velox-new" : "glide2x.dll"));
    EXPECT_EQ(Cwd(), "glide2x.dll:glide2x.dll") << step;
    EXPECT_EQ(testing::ReadBytes(app / "Data/glide.cfg"), "10\r\n");
  }
}

}  // namespace
}  // namespace velox
