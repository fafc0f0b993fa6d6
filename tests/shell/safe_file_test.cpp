#include "shell/safe_file.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "support/temp_install.h"

namespace velox {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::WriteBytes;

class SafeFileTest : public ::testing::Test {
 protected:
  void TearDown() override { SetReplaceFaultForTesting(nullptr); }
  testing::TempFolder dir;
};

TEST_F(SafeFileTest, ReplacesAndCreates) {
  WriteBytes(dir / "a.cfg", "old");
  ASSERT_TRUE(ReplaceWholeFile(dir / "a.cfg", "new").ok());
  EXPECT_EQ(ReadBytes(dir / "a.cfg"), "new");
  ASSERT_TRUE(ReplaceWholeFile(dir / "b.cfg", "fresh").ok());
  EXPECT_EQ(ReadBytes(dir / "b.cfg"), "fresh");
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

struct FaultCase {
  const char* step;
  int error;
  const char* cause;
};

class SafeFileFaultTest : public SafeFileTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(SafeFileFaultTest, AFailedStepLeavesTheOriginalIntact) {
  WriteBytes(dir / "velox.pad", "original");
  SetReplaceFaultForTesting([&](std::string_view step, const fs::path&) {
    return step == GetParam().step ? GetParam().error : 0;
  });
  const Status s = ReplaceWholeFile(dir / "velox.pad", std::string(100000, 'x'));
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.error().file, dir / "velox.pad");
  EXPECT_EQ(s.error().cause, GetParam().cause);
  EXPECT_EQ(ReadBytes(dir / "velox.pad"), "original");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

INSTANTIATE_TEST_SUITE_P(Steps, SafeFileFaultTest,
                         ::testing::Values(FaultCase{"open", EACCES, "permission denied"},
                                           FaultCase{"write", ENOSPC, "the disk is full"},
                                           FaultCase{"sync", EIO, "input/output error"},
                                           FaultCase{"rename", EROFS, "the file system is read-only"}),
                         [](const auto& info) { return std::string(info.param.step); });

TEST_F(SafeFileTest, RefusesReadOnlyTargetsFoldersAndMissingFolders) {
  WriteBytes(dir / "ro.pad", "keep");
  testing::MakeReadOnly(dir / "ro.pad");
  Status s = ReplaceWholeFile(dir / "ro.pad", "new");
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.error().cause, "is read-only");
  EXPECT_EQ(ReadBytes(dir / "ro.pad"), "keep");

  fs::create_directory(dir / "folder.cfg");
  s = ReplaceWholeFile(dir / "folder.cfg", "new");
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.error().cause, "is a folder, not a file");

  s = ReplaceWholeFile(dir / "Data/controller.cfg", "1\r\n");
  ASSERT_FALSE(s.ok());
  EXPECT_NE(s.error().cause.find("does not exist"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "Data"));
}

TEST_F(SafeFileTest, KeepsThePermissionsOfTheReplacedFile) {
  WriteBytes(dir / "run.sh", "#!/bin/sh\n");
  fs::permissions(dir / "run.sh", fs::perms::owner_all);
  ASSERT_TRUE(ReplaceWholeFile(dir / "run.sh", "#!/bin/sh\nexit 0\n").ok());
  EXPECT_EQ(fs::status(dir / "run.sh").permissions() & fs::perms::all, fs::perms::owner_all);
}

TEST_F(SafeFileTest, CopyAndRemove) {
  WriteBytes(dir / "src.cfg", std::string("\x01\x40\0\r\n", 5));
  ASSERT_TRUE(CopyFileReplacing(dir / "src.cfg", dir / "dst.pad").ok());
  EXPECT_EQ(ReadBytes(dir / "dst.pad"), std::string("\x01\x40\0\r\n", 5));
  EXPECT_TRUE(RemoveFileIfExists(dir / "dst.pad").ok());
  EXPECT_TRUE(RemoveFileIfExists(dir / "dst.pad").ok()) << "a missing file is not an error";
  EXPECT_FALSE(fs::exists(dir / "dst.pad"));
}

}  // namespace
}  // namespace velox

#include <sys/mount.h>

namespace velox {
namespace {

// A real full disk: a small file system of our own (needs the right to mount;
// skipped where the tests may not mount).
class FullDisk {
 public:
  explicit FullDisk(const fs::path& at) : at_(at) {
    fs::create_directories(at_);
    mounted_ = ::mount("tmpfs", at_.c_str(), "tmpfs", 0, "size=64k") == 0;
  }
  ~FullDisk() {
    if (mounted_) ::umount(at_.c_str());
  }
  bool mounted() const { return mounted_; }

 private:
  fs::path at_;
  bool mounted_ = false;
};

TEST(SafeFileFullDisk, AReplacementThatDoesNotFitLeavesTheOriginal) {
  testing::TempFolder dir;
  FullDisk disk(dir / "small");
  if (!disk.mounted()) GTEST_SKIP() << "cannot mount a small file system here";
  const fs::path target = dir / "small/velox.ini";
  const std::string original(30 * 1024, 'o');
  ASSERT_TRUE(ReplaceWholeFile(target, original).ok());
  const Status s = ReplaceWholeFile(target, std::string(50 * 1024, 'n'), dir / "small/-velox-.ini");
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.error().cause, "the disk is full");
  EXPECT_EQ(testing::ReadBytes(target), original);
  EXPECT_FALSE(fs::exists(dir / "small/-velox-.ini"));
}

}  // namespace
}  // namespace velox
