#include "shell/safe_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <span>

#include "shell/platform.h"
#include "support/file_call_spy.h"
#include "support/temp_install.h"

namespace velox {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::WriteBytes;
using Calls = std::vector<std::string>;

long FilesIn(const fs::path& folder) { return std::distance(fs::directory_iterator(folder), fs::directory_iterator()); }

class SafeFileTest : public ::testing::Test {
 protected:
  testing::TempFolder dir;
};

// The data is on disk before the new name can be seen, and (POSIX) the rename itself afterwards.
TEST_F(SafeFileTest, FlushesBeforeTheRenameAndSyncsTheFolderAfterIt) {
  WriteBytes(dir / "velox.pad", "old");
  testing::FileCallSpy spy;
  spy.chunk = 4;
  ASSERT_TRUE(ReplaceWholeFile(dir / "velox.pad", "0123456789").ok());
  Calls expected = {"create .velox.pad.velox-new", "write .velox.pad.velox-new", "write .velox.pad.velox-new",
                    "write .velox.pad.velox-new",  "flush .velox.pad.velox-new", "close .velox.pad.velox-new",
                    "replace .velox.pad.velox-new velox.pad"};
  if (!platform::kWindows) expected.push_back("sync-folder " + PathText(dir.path().filename()));
  EXPECT_EQ(spy.calls, expected);
  EXPECT_EQ(ReadBytes(dir / "velox.pad"), "0123456789");
  ASSERT_TRUE(ReplaceWholeFile(dir / "new.cfg", "fresh").ok());
  EXPECT_EQ(ReadBytes(dir / "new.cfg"), "fresh");
  EXPECT_EQ(FilesIn(dir.path()), 2) << "no temporary file is left behind";
}

struct FaultCase {
  const char* call;
  int nth;
  int error;
  const char* cause;
  bool namesTemp;  // the failure concerns the temporary file, not the target
};

class SafeFileFaultTest : public SafeFileTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(SafeFileFaultTest, AFailedCallLeavesTheOriginalIntactAndNamesTheFileThatFailed) {
  const FaultCase& c = GetParam();
  for (const char* temp : {"", "-velox-.ini"}) {
    WriteBytes(dir / "velox.ini", "original");
    testing::FileCallSpy spy;
    spy.chunk = 1 << 16;
    spy.Fail(c.call, c.error, c.nth);
    const fs::path tempFile = *temp ? dir / temp : dir / ".velox.ini.velox-new";
    const Status s = *temp ? ReplaceWholeFile(dir / "velox.ini", std::string(100000, 'x'), tempFile)
                           : ReplaceWholeFile(dir / "velox.ini", std::string(100000, 'x'));
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.error().file, c.namesTemp ? tempFile : dir / "velox.ini");
    EXPECT_EQ(s.error().cause, c.cause);
    EXPECT_EQ(ReadBytes(dir / "velox.ini"), "original");
    EXPECT_EQ(FilesIn(dir.path()), 1) << "the temporary file is removed";
    EXPECT_EQ(spy.Only("replace").size(), std::string_view(c.call) == "replace" ? 1u : 0u)
        << "nothing half done is renamed";
  }
}

INSTANTIATE_TEST_SUITE_P(Calls, SafeFileFaultTest,
                         ::testing::Values(FaultCase{"create", 1, EACCES, "permission denied", true},
                                           FaultCase{"write", 1, ENOSPC, "the disk is full", true},
                                           FaultCase{"write", 2, ENOSPC, "the disk is full", true},
                                           FaultCase{"flush", 1, EIO, "input/output error", true},
                                           FaultCase{"close", 1, EIO, "input/output error", true},
                                           FaultCase{"replace", 1, EROFS, "the file system is read-only", false}),
                         [](const auto& info) { return std::string(info.param.call) + std::to_string(info.index); });

// A leftover at the temporary name, whatever it is, is removed and never written through or followed.
TEST_F(SafeFileTest, ALeftoverAtTheTemporaryNameIsRemovedNeverWrittenThrough) {
  using Place = void (*)(const fs::path& at, const fs::path& other);
  const std::pair<const char*, Place> leftovers[] = {
      {"old copy", [](const fs::path& at, const fs::path&) { WriteBytes(at, "half"); }},
      {"hard link", [](const fs::path& at, const fs::path& other) { fs::create_hard_link(other, at); }},
      {"symbolic link", [](const fs::path& at, const fs::path& other) { fs::create_symlink(other, at); }},
      {"dangling link",
       [](const fs::path& at, const fs::path& other) { fs::create_symlink(other.parent_path() / "nowhere.txt", at); }},
  };
  // Symbolic links need a privilege on Windows (and Wine makes none).
  for (const auto& [name, place] : std::span(leftovers).first(platform::kWindows ? 2 : 4)) {
    for (const char* temp : {"-velox-.ini", ".velox.ini.velox-new"}) {
      testing::TempFolder app;
      WriteBytes(app / "notes.txt", "the user's own file");
      place(app / temp, app / "notes.txt");
      const Status s = *temp == '-' ? ReplaceWholeFile(app / "velox.ini", "sound=1\r\n", app / temp)
                                    : ReplaceWholeFile(app / "velox.ini", "sound=1\r\n");
      ASSERT_TRUE(s.ok()) << name << ": " << s.error().Describe();
      EXPECT_EQ(ReadBytes(app / "notes.txt"), "the user's own file") << name << " at " << temp;
      EXPECT_FALSE(fs::exists(app / "nowhere.txt")) << temp;
      EXPECT_EQ(ReadBytes(app / "velox.ini"), "sound=1\r\n") << name;
      EXPECT_FALSE(fs::is_symlink(app / "velox.ini")) << name;
      EXPECT_FALSE(fs::exists(fs::symlink_status(app / temp))) << name;
    }
  }
}

// Between the removal of a leftover and the creation, someone may plant a name again: it is refused, not followed.
TEST_F(SafeFileTest, ANamePlantedJustBeforeTheCreationIsRefused) {
  WriteBytes(dir / "velox.ini", "old");
  WriteBytes(dir / "notes.txt", "the user's own file");
  testing::FileCallSpy spy;
  spy.before = [&](std::string_view call, const fs::path& file) {
    std::error_code ec;
    if (call == "create") fs::create_hard_link(dir / "notes.txt", file, ec);
    return ec ? EIO : 0;
  };
  const Status s = ReplaceWholeFile(dir / "velox.ini", "new", dir / "-velox-.ini");
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.error().file, dir / "-velox-.ini");
  EXPECT_EQ(s.error().cause, "something of that name is in the way");
  EXPECT_EQ(ReadBytes(dir / "notes.txt"), "the user's own file");
  EXPECT_EQ(ReadBytes(dir / "velox.ini"), "old");
}

TEST_F(SafeFileTest, ATargetThatIsALinkStaysALinkToTheReplacedFile) {
  if (platform::kWindows) GTEST_SKIP() << "symbolic links need a privilege on Windows (and Wine makes none)";
  testing::TempFolder real;
  WriteBytes(real / "velox.ini", "old");
  fs::create_symlink(real / "velox.ini", dir / "link.ini");  // a chain: velox.ini -> link.ini -> the real file
  fs::create_symlink("link.ini", dir / "velox.ini");
  testing::FileCallSpy spy;
  ASSERT_TRUE(ReplaceWholeFile(dir / "velox.ini", "new", dir / "-velox-.ini").ok());
  // Beside the real file: a rename cannot cross from the link's file system to the real file's.
  EXPECT_EQ(spy.Only("replace"), std::vector<std::string>{"replace .velox.ini.velox-new velox.ini"});
  EXPECT_EQ(ReadBytes(real / "velox.ini"), "new");
  EXPECT_EQ(fs::read_symlink(dir / "velox.ini"), "link.ini");
  EXPECT_TRUE(fs::is_symlink(dir / "link.ini"));
  EXPECT_EQ(FilesIn(dir.path()), 2) << "no temporary file beside the link";
  EXPECT_EQ(FilesIn(real.path()), 1) << "none beside the real file";

  fs::create_symlink("loop.ini", dir / "loop.ini");
  const Status s = ReplaceWholeFile(dir / "loop.ini", "x");
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.error().cause, "is a link in a loop of links");
}

TEST_F(SafeFileTest, RefusesReadOnlyTargetsFoldersAndMissingFolders) {
  WriteBytes(dir / "ro.pad", "keep");
  testing::MakeReadOnly(dir / "ro.pad");
  fs::create_directory(dir / "folder.cfg");
  fs::create_directory(dir / "-velox-.ini");
  const struct { Status status; const char* file; std::string cause; } cases[] = {
      {ReplaceWholeFile(dir / "ro.pad", "new"), "ro.pad", "is read-only"},
      {RemoveFileIfExists(dir / "ro.pad"), "ro.pad", "is read-only"},
      {ReplaceWholeFile(dir / "folder.cfg", "new"), "folder.cfg", "is a folder, not a file"},
      {RemoveFileIfExists(dir / "folder.cfg"), "folder.cfg", "is a folder, not a file"},
      {ReplaceWholeFile(dir / "velox.ini", "new", dir / "-velox-.ini"), "-velox-.ini", "is a folder, not a file"},
      {ReplaceWholeFile(dir / "Data/controller.cfg", "1\r\n"), "Data/controller.cfg",
       "the folder " + PathText(dir / "Data") + " does not exist"},
  };
  for (const auto& c : cases) {
    ASSERT_FALSE(c.status.ok()) << c.file;
    EXPECT_EQ(c.status.error().file, dir / c.file);
    EXPECT_EQ(c.status.error().cause, c.cause);
  }
  EXPECT_EQ(ReadBytes(dir / "ro.pad"), "keep");
  EXPECT_FALSE(fs::exists(dir / "Data"));
}

TEST_F(SafeFileTest, RemovesAFileAndAMissingOneIsNoError) {
  WriteBytes(dir / "velox.pad", "pad");
  EXPECT_TRUE(RemoveFileIfExists(dir / "velox.pad").ok());
  EXPECT_TRUE(RemoveFileIfExists(dir / "velox.pad").ok());
  EXPECT_FALSE(fs::exists(dir / "velox.pad"));
}

// Another program holding the file open (on Windows: access denied, a sharing violation) is waited for, with
// growing pauses, two seconds in all, then named; other errors are reported at once.
TEST_F(SafeFileTest, ABriefHoldIsWaitedOutALongOneNamedOtherErrorsReportedAtOnce) {
  const std::string r = "replace .velox.pad.velox-new velox.pad", d = "remove velox.pad";
  const std::string t = "remove .velox.pad.velox-new";
  const std::string held = ": is in use, held open by another program";
  const struct { const char* call; int error; int times; std::string message; Calls calls; } cases[] = {
      {"replace", EBUSY, 3, "", {r, "pause 10", r, "pause 20", r, "pause 40", r}},
      {"replace", EACCES, 99, held, {r, "pause 10", r, "pause 20", r, "pause 40", r, "pause 80", r, "pause 160", r,
                                     "pause 320", r, "pause 500", r, "pause 500", r, "pause 370", r, t}},
      {"replace", EROFS, 99, ": the file system is read-only", {r, t}},
      {"remove", EACCES, 2, "", {d, "pause 10", d, "pause 20", d}},
      {"remove", EBUSY, 99, held, {d, "pause 10", d, "pause 20", d, "pause 40", d, "pause 80", d, "pause 160", d,
                                   "pause 320", d, "pause 500", d, "pause 500", d, "pause 370", d}},
      {"remove", EIO, 99, ": input/output error", {d}},
  };
  for (const auto& c : cases) {
    WriteBytes(dir / "velox.pad", "old");
    testing::FileCallSpy spy;
    spy.windowsHolds = true;
    spy.before = [&, n = 0](std::string_view call, const fs::path&) mutable {
      return call == c.call && n++ < c.times ? c.error : 0;
    };
    const bool replacing = std::string_view(c.call) == "replace";
    const Status s = replacing ? ReplaceWholeFile(dir / "velox.pad", "new") : RemoveFileIfExists(dir / "velox.pad");
    EXPECT_EQ(s.ok() ? "" : s.error().Describe(), c.message.empty() ? "" : PathText(dir / "velox.pad") + c.message);
    Calls expected = c.calls;
    if (replacing) {
      expected.insert(expected.begin(), {"create .velox.pad.velox-new", "write .velox.pad.velox-new",
                                         "flush .velox.pad.velox-new", "close .velox.pad.velox-new"});
      if (s.ok() && !platform::kWindows) expected.push_back("sync-folder " + PathText(dir.path().filename()));
    }
    EXPECT_EQ(spy.calls, expected) << c.call << " " << c.error;
    EXPECT_EQ(ReadBytes(dir / "velox.pad"), !s.ok() ? "old" : replacing ? "new" : "<missing>") << c.call;
    EXPECT_EQ(FilesIn(dir.path()), s.ok() && !replacing ? 0 : 1) << "no temporary file is left";
  }
}

}  // namespace
}  // namespace velox

#ifndef _WIN32
#include <sys/stat.h>

namespace velox {
namespace {

// A replaced file keeps its mode; a new one gets what the usual umask leaves of 0666.
TEST(SafeFilePermissions, KeepsTheModeOfTheReplacedFileAndANewOneFollowsTheUmask) {
  testing::TempFolder dir;
  WriteBytes(dir / "run.sh", "#!/bin/sh\n");
  fs::permissions(dir / "run.sh", fs::perms::owner_all | fs::perms::group_all);  // more than the umask lets through
  const mode_t earlier = ::umask(022);
  const bool replaced = ReplaceWholeFile(dir / "run.sh", "#!/bin/sh\nexit 0\n").ok();
  const bool created = ReplaceWholeFile(dir / "new.ini", "sound=1\r\n").ok();
  ::umask(earlier);
  ASSERT_TRUE(replaced && created);
  EXPECT_EQ(fs::status(dir / "run.sh").permissions() & fs::perms::all, fs::perms::owner_all | fs::perms::group_all);
  EXPECT_EQ(fs::status(dir / "new.ini").permissions() & fs::perms::all, static_cast<fs::perms>(0644));
}

}  // namespace
}  // namespace velox
#endif

#ifdef _WIN32
#include <windows.h>

#include <chrono>
#include <future>
#include <thread>

namespace velox {
namespace {

// A file really held open by another handle without FILE_SHARE_DELETE, as the emulator holds its library: let go
// by another thread once the first try has failed, it is replaced or removed; held on, it is reported and kept.
TEST_F(SafeFileTest, AFileHeldOpenIsWaitedForUntilLetGoOrElseReportedAndKept) {
  WriteBytes(dir / "new.dll", "new");
  for (const bool letGo : {true, false}) {
    for (const bool removing : {false, true}) {
      WriteBytes(dir / "glide2x.dll", "old");
      HANDLE held = CreateFileW((dir / "glide2x.dll").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
      ASSERT_NE(held, INVALID_HANDLE_VALUE);
      std::promise<void> failed, closed;
      std::thread holder([&] {
        failed.get_future().wait_for(std::chrono::seconds(30));
        CloseHandle(held);
        closed.set_value();
      });
      testing::FileCallSpy spy;
      spy.before = [&, told = false](std::string_view call, const fs::path&) mutable {
        if (call == "pause" && letGo && !told) {
          told = true;
          failed.set_value();
          closed.get_future().wait_for(std::chrono::seconds(30));
        }
        return 0;
      };
      const Status s = removing ? RemoveFileIfExists(dir / "glide2x.dll")
                                : CopyFileReplacing(dir / "new.dll", dir / "glide2x.dll");
      if (!letGo) failed.set_value();
      holder.join();
      EXPECT_EQ(s.ok() ? "" : s.error().Describe(),
                letGo ? "" : PathText(dir / "glide2x.dll") + ": is in use, held open by another program") << removing;
      EXPECT_EQ(spy.Only("pause").size(), letGo ? 1u : 9u) << removing;
      EXPECT_EQ(ReadBytes(dir / "glide2x.dll"), !letGo ? "old" : removing ? "<missing>" : "new") << removing;
      EXPECT_EQ(FilesIn(dir.path()), letGo && removing ? 1 : 2) << "no temporary file is left";
    }
  }
}

}  // namespace
}  // namespace velox
#endif
