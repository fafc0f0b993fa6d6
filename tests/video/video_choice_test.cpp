#include "video/video_choice.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <map>

#include "shell/safe_file.h"
#include "support/temp_install.h"
#include "video/wrapper_catalogue.h"

namespace velox {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::WriteBytes;

constexpr const char* kMissing = "<missing>";

// --- Reading -----------------------------------------------------------------

struct ReadCase {
  const char* name;
  std::optional<std::string_view> bytes;  // none: no choice file at all
  VideoChoice expected;
};

class ReadVideoChoiceTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadVideoChoiceTest, ReadsTheFirstLineExactly) {
  testing::TempFolder app;
  if (GetParam().bytes) WriteBytes(app / "Data/glide.cfg", *GetParam().bytes);
  EXPECT_EQ(ReadVideoChoice(app.path()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ReadVideoChoiceTest,
    ::testing::Values(ReadCase{"Missing", std::nullopt, 13}, ReadCase{"EmptyFile", "", 13},
                      ReadCase{"EmptyLine", "\r\n", 13}, ReadCase{"EmptyLineThenText", "\r\n7\r\n", 13},
                      ReadCase{"Default", "13\r\n", 13}, ReadCase{"First", "1\r\n", 1}, ReadCase{"NoLineEnd", "14", 14},
                      ReadCase{"LineFeedOnly", "5\n", 5}, ReadCase{"LoneReturn", "10\r", 10},
                      ReadCase{"SecondLineIgnored", "7\r\n2\r\n", 7}, ReadCase{"LeadingBlank", " 7\r\n", std::nullopt},
                      ReadCase{"TrailingBlank", "3 \r\n", std::nullopt},
                      ReadCase{"LeadingZero", "07\r\n", std::nullopt}, ReadCase{"Zero", "0\r\n", std::nullopt},
                      ReadCase{"TooHigh", "15\r\n", std::nullopt}, ReadCase{"Caption", "MuGlide\r\n", std::nullopt},
                      ReadCase{"Nul", std::string_view("1\0", 2), std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadVideoChoiceFolderTest, AFolderInPlaceOfTheFileMeansTheDefaultAndLetterCaseDoesNotMatter) {
  testing::TempFolder app;
  fs::create_directories(app / "Data/glide.cfg");
  EXPECT_EQ(ReadVideoChoice(app.path()), 13);
  fs::remove_all(app / "Data");
  WriteBytes(app / "DATA/Glide.CFG", "8\r\n");
  EXPECT_EQ(ReadVideoChoice(app.path()), 8);
}

// --- Installing ----------------------------------------------------------------

// An installation in one folder and a different current directory, as when the
// configurator is started from elsewhere: the library goes to the current one.
class InstallVideoChoiceTest : public ::testing::Test {
 protected:
  InstallVideoChoiceTest() : cd_(cwd.path()) {
    for (const WrapperEntry& e : WrapperCatalogue::Entries()) {
      if (e.librarySource) WriteBytes(Source(e.choice), "library of " + std::string(e.caption));
    }
    WriteBytes(app / "Data/glide.cfg", "5\r\n");
    WriteBytes(app / "glide2x.dll", "AppFolder's own copy");
  }
  void TearDown() override { SetReplaceFaultForTesting(nullptr); }

  fs::path Source(int choice) const {
    std::string relative(*WrapperCatalogue::ByChoice(choice)->librarySource);
    for (char& c : relative) c = c == '\\' ? '/' : c;
    return app.path() / relative.substr(1);
  }
  std::string Cwd(const char* name) const { return ReadBytes(cwd / name); }
  std::string ChoiceFile() const { return ReadBytes(app / "Data/glide.cfg"); }

  // The state of the files the dialog may touch, to show that nothing changed.
  std::map<std::string, std::string> Snapshot() const {
    return {{"Config.ini", Cwd("Config.ini")},
            {"OpenGLide.ini", Cwd("OpenGLide.ini")},
            {"glide2x.dll", Cwd("glide2x.dll")},
            {"glide.cfg", ChoiceFile()},
            {"app glide2x.dll", ReadBytes(app / "glide2x.dll")}};
  }

  testing::TempFolder app;
  testing::TempFolder cwd;

 private:
  testing::CurrentDirectory cd_;
};

TEST_F(InstallVideoChoiceTest, OpenGlideKeepsItsSettingsAndReplacesTheLibrary) {
  WriteBytes(cwd / "Config.ini", "c");
  WriteBytes(cwd / "OpenGLide.ini", "o");
  WriteBytes(cwd / "glide2x.dll", "old library");
  ASSERT_TRUE(InstallVideoChoice(app.path(), 10).ok());
  EXPECT_EQ(Cwd("Config.ini"), "c");
  EXPECT_EQ(Cwd("OpenGLide.ini"), "o");
  EXPECT_EQ(Cwd("glide2x.dll"), "library of Open Glide v0.05");
  EXPECT_EQ(ChoiceFile(), "10\r\n");
  EXPECT_EQ(ReadBytes(app / "glide2x.dll"), "AppFolder's own copy");
}

struct InstallCase {
  VideoChoice choice;
  const char* library;  // what "glide2x.dll" holds afterwards
  const char* recorded;
};

class InstallEveryChoiceTest : public InstallVideoChoiceTest, public ::testing::WithParamInterface<InstallCase> {};

TEST_P(InstallEveryChoiceTest, RemovesOpenGlidesSettingsAndInstallsTheChosenLibrary) {
  WriteBytes(cwd / "Config.ini", "c");
  WriteBytes(cwd / "OpenGLide.ini", "o");
  WriteBytes(cwd / "glide2x.dll", "old library");
  ASSERT_TRUE(InstallVideoChoice(app.path(), GetParam().choice).ok());
  EXPECT_EQ(Cwd("Config.ini"), kMissing);
  EXPECT_EQ(Cwd("OpenGLide.ini"), kMissing);
  EXPECT_EQ(Cwd("glide2x.dll"), GetParam().library);
  EXPECT_EQ(ChoiceFile(), GetParam().recorded);
  EXPECT_EQ(ReadBytes(app / "glide2x.dll"), "AppFolder's own copy");
  // No temporary file is left in the current directory.
  const auto left = std::distance(fs::directory_iterator(cwd.path()), fs::directory_iterator());
  EXPECT_EQ(left, std::string(GetParam().library) == kMissing ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(Choices, InstallEveryChoiceTest,
                         ::testing::Values(InstallCase{1, "library of Boost Wrapper", "1\r\n"},
                                           InstallCase{2, "library of Boost Wrapper 166", "2\r\n"},
                                           InstallCase{4, "library of E-Voodoo v2.0.4", "4\r\n"},
                                           InstallCase{6, "library of GL2IDE rev C", "6\r\n"},
                                           InstallCase{11, "library of XGL 200 v0.04a", "11\r\n"},
                                           InstallCase{14, "library of MGlide v1.246H", "14\r\n"},
                                           InstallCase{13, kMissing, "13\r\n"},
                                           InstallCase{std::nullopt, kMissing, "\r\n"}),
                         [](const auto& info) {
                           return info.param.choice ? "Choice" + std::to_string(*info.param.choice)
                                                    : std::string("None");
                         });

TEST_F(InstallVideoChoiceTest, ALoneOpenGlideIniStaysWhateverTheChoice) {
  for (VideoChoice choice : {VideoChoice(3), VideoChoice(13), VideoChoice()}) {
    WriteBytes(cwd / "OpenGLide.ini", "o");
    ASSERT_TRUE(InstallVideoChoice(app.path(), choice).ok());
    EXPECT_EQ(Cwd("OpenGLide.ini"), "o");
  }
}

TEST_F(InstallVideoChoiceTest, FindsTheInstalledFilesWhateverTheirLetterCase) {
  WriteBytes(cwd / "CONFIG.INI", "c");
  WriteBytes(cwd / "openglide.ini", "o");
  WriteBytes(cwd / "Glide2X.DLL", "old library");
  ASSERT_TRUE(InstallVideoChoice(app.path(), 13).ok());
  EXPECT_TRUE(fs::is_empty(cwd.path()));
}

TEST_F(InstallVideoChoiceTest, AMissingOrUnreadableWrapperChangesNothing) {
  WriteBytes(cwd / "Config.ini", "c");
  WriteBytes(cwd / "OpenGLide.ini", "o");
  WriteBytes(cwd / "glide2x.dll", "old library");
  const auto before = Snapshot();

  fs::remove(Source(9));
  Status s = InstallVideoChoice(app.path(), 9);
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.error().file, Source(9));
  EXPECT_EQ(s.error().cause, "no such file");
  EXPECT_EQ(Snapshot(), before);

  fs::remove(Source(2));
  fs::create_directories(Source(2));
  s = InstallVideoChoice(app.path(), 2);
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.error().file, Source(2));
  EXPECT_EQ(Snapshot(), before);

  fs::remove_all(app / "Glide Wrapper");
  s = InstallVideoChoice(app.path(), 10);
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(InstallVideoChoiceTest, AFailedCopyKeepsTheOldLibraryWholeAndWritesNoRecord) {
  WriteBytes(cwd / "glide2x.dll", "old library");
  SetReplaceFaultForTesting([](std::string_view step, const fs::path& temp) {
    return step == "write" && temp.string().find("glide2x") != std::string::npos ? ENOSPC : 0;
  });
  const Status s = InstallVideoChoice(app.path(), 3);
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.error().file, fs::path("glide2x.dll"));
  EXPECT_EQ(s.error().cause, "the disk is full");
  EXPECT_EQ(Cwd("glide2x.dll"), "old library") << "the installed library is never missing or partial";
  EXPECT_EQ(std::distance(fs::directory_iterator(cwd.path()), fs::directory_iterator()), 1)
      << "no temporary file is left";
  EXPECT_EQ(ChoiceFile(), "5\r\n");
}

TEST_F(InstallVideoChoiceTest, AChoiceFileThatCannotBeWrittenIsReportedAfterTheLibrary) {
  fs::remove_all(app / "Data");
  const Status s = InstallVideoChoice(app.path(), 12);
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.error().file, app / "Data/glide.cfg");
  EXPECT_EQ(Cwd("glide2x.dll"), "library of X-Glide");
}

// --- Setup programs --------------------------------------------------------------

struct SetupCase {
  const char* button;
  const char* placed;  // where the program lies under the current directory
};

class StartSetupProgramTest : public ::testing::TestWithParam<SetupCase> {};

TEST_P(StartSetupProgramTest, StartsTheCataloguedProgramFromTheCurrentDirectory) {
  testing::TempFolder cwd;
  testing::CurrentDirectory cd(cwd.path());
  const fs::path program = cwd / GetParam().placed;
  fs::create_directories(program.parent_path());
  fs::copy_file(testing::MarkerProgram(), program);
  testing::MarkerPipe marker(cwd / ("started-" + program.filename().string() + ".txt"));
  const Status s = StartSetupProgram(GetParam().button);
  ASSERT_TRUE(s.ok()) << s.error().Describe();
  EXPECT_EQ(marker.Read(), "started\n");
}

INSTANTIATE_TEST_SUITE_P(Buttons, StartSetupProgramTest,
                         ::testing::Values(SetupCase{"config1", "Glide Wrapper/eVoodoo v2.0.4/econtrol.exe"},
                                           SetupCase{"config4", "Glide Wrapper/GL2ide rev A3/Gl2ideConfig.exe"},
                                           SetupCase{"config10", "Glide Wrapper/GL2ideal v1.6/GL2Ideal_Config.exe"},
                                           SetupCase{"config11", "Glide Wrapper/Clide v2.4/Clide Setup.exe"},
                                           // Found whatever the letter case of the folders and the file.
                                           SetupCase{"config5", "glide wrapper/OPEN GLIDE v0.05/openglide.EXE"}),
                         [](const auto& info) { return std::string(info.param.button); });

TEST(StartSetupProgramFailureTest, AMissingProgramOrAnUnknownButtonIsReported) {
  testing::TempFolder cwd;
  testing::CurrentDirectory cd(cwd.path());
  Status s = StartSetupProgram("config6");
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.error().file, cwd / "Glide Wrapper/XGL200 v0.04a/Configurator.exe");
  EXPECT_EQ(s.error().cause, "no such program");

  s = StartSetupProgram("config2");
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.error().cause, "is not a setup button");
}

}  // namespace
}  // namespace velox
