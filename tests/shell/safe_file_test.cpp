#include "shell/safe_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <optional>

#include "shell/platform.h"
#include "support/file_call_spy.h"
#include "support/temp_install.h"

namespace velox {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::WriteBytes;
using P = const fs::path&;

// The calls by name; the file created, the folder synced and the length of a pause named too.
std::string Steps(const testing::FileCallSpy& spy) {
  std::string out;
  for (const std::string& call : spy.calls) {
    const bool named = call.starts_with("create") || call.starts_with("sync-folder") || call.starts_with("pause");
    out += (out.empty() ? "" : " ") + (named ? call : call.substr(0, call.find(' ')));
  }
  return out;
}

Status Replace(P dir) { return ReplaceWholeFile(dir / "velox.ini", "new"); }
Status ReplaceVia(P dir) { return ReplaceWholeFile(dir / "velox.ini", "new", dir / "-velox-.ini"); }
Status Remove(P dir) { return RemoveFileIfExists(dir / "velox.ini"); }

void AFolder(P dir) {
  fs::remove(dir / "velox.ini");
  fs::create_directory(dir / "velox.ini");
}
void TempIsAFolder(P dir) { fs::create_directory(dir / "-velox-.ini"); }
void OldCopyAtTemp(P dir) { WriteBytes(dir / ".velox.ini.velox-new", "half"); }
void DanglingLinkAtTemp(P dir) { fs::create_symlink("nowhere.txt", dir / "-velox-.ini"); }
void LinkChain(P dir) {
  fs::remove(dir / "velox.ini");
  WriteBytes(dir / "real/velox.ini", "old");
  fs::create_symlink("real/velox.ini", dir / "link.ini");
  fs::create_symlink("link.ini", dir / "velox.ini");
}
void LinkLoop(P dir) {
  fs::remove(dir / "velox.ini");
  fs::create_symlink("velox.ini", dir / "velox.ini");
}

// Open through another handle, as the emulator holds its library: on Windows that handle shares no deletion.
std::optional<std::ifstream> g_held;
void HeldOpen(P dir) { g_held.emplace(dir / "velox.ini"); }

constexpr int kPlant = -1;  // instead of failing, the call finds a hard link to notes.txt at its name
constexpr int kLetGo = -2;  // instead of failing, the call lets go of the file HeldOpen holds
constexpr int kWritesNothing = -3;  // instead of failing, the call and the ones after it write no byte
constexpr int kAlways = 99;
enum Systems { kAny, kPosix, kWindows };

struct Case {
  const char* name;
  void (*start)(P dir);  // after velox.ini ("old") and notes.txt ("mine") are made; null: nothing more
  Status (*operation)(P dir);
  const char* call;  // fails (or is held) from its nth call on, times times; "" for none
  int nth, times, error;
  const char* after;  // the folder's Listing
  const char* message;
  const char* steps;
  Systems only = kAny;  // symbolic links need a privilege on Windows (and Wine makes none)
};

const Case kCases[] = {
    {"replaced", nullptr, Replace, "", 0, 0, 0, "notes.txt:mine velox.ini:new", "",
     "create .velox.ini.velox-new write write flush close replace sync-folder app"},
    {"create fails", nullptr, Replace, "create", 1, 1, EACCES, "notes.txt:mine velox.ini:old",
     ".velox.ini.velox-new: permission denied", "create .velox.ini.velox-new"},
    {"the system writes nothing", nullptr, Replace, "write", 2, 1, kWritesNothing, "notes.txt:mine velox.ini:old",
     ".velox.ini.velox-new: input/output error", "create .velox.ini.velox-new write write close remove"},
    {"flush fails", nullptr, ReplaceVia, "flush", 1, 1, EROFS, "notes.txt:mine velox.ini:old",
     "-velox-.ini: the file system is read-only", "create -velox-.ini write write flush close remove"},
    {"close fails", nullptr, ReplaceVia, "close", 1, 1, EIO, "notes.txt:mine velox.ini:old",
     "-velox-.ini: input/output error", "create -velox-.ini write write flush close remove"},
    // Another program holding the file (on Windows: access denied, a sharing violation) is waited for, with
    // growing pauses, two seconds in all, then named.
    {"held on", nullptr, Replace, "replace", 1, kAlways, EACCES, "notes.txt:mine velox.ini:old",
     "velox.ini: is in use, held open by another program",
     "create .velox.ini.velox-new write write flush close replace pause 10 replace pause 20 replace pause 40 replace "
     "pause 80 replace pause 160 replace pause 320 replace pause 500 replace pause 500 replace pause 370 replace "
     "remove"},
    {"removed though held briefly", nullptr, Remove, "remove", 1, 2, EBUSY, "notes.txt:mine", "",
     "remove pause 10 remove pause 20 remove"},
    {"held open, let go during the first pause", HeldOpen, Replace, "pause", 1, 1, kLetGo,
     "notes.txt:mine velox.ini:new", "", "create .velox.ini.velox-new write write flush close replace pause 10 replace",
     kWindows},
    {"held open, removed once let go", HeldOpen, Remove, "pause", 1, 1, kLetGo, "notes.txt:mine", "",
     "remove pause 10 remove", kWindows},
    {"remove fails", nullptr, Remove, "remove", 1, 1, EIO, "notes.txt:mine velox.ini:old",
     "velox.ini: input/output error", "remove"},
    {"a folder, removed", AFolder, Remove, "", 0, 0, 0, "notes.txt:mine velox.ini/",
     "velox.ini: is a folder, not a file", ""},
    {"a folder at the temporary name", TempIsAFolder, ReplaceVia, "", 0, 0, 0,
     "-velox-.ini/ notes.txt:mine velox.ini:old", "-velox-.ini: is a folder, not a file", ""},
    // A leftover at the temporary name, whatever it is, is removed and never written through or followed.
    {"old copy at the temporary name", OldCopyAtTemp, Replace, "", 0, 0, 0, "notes.txt:mine velox.ini:new", "",
     "remove create .velox.ini.velox-new write write flush close replace sync-folder app"},
    {"dangling link at the temporary name", DanglingLinkAtTemp, ReplaceVia, "", 0, 0, 0, "notes.txt:mine velox.ini:new",
     "", "remove create -velox-.ini write write flush close replace sync-folder app", kPosix},
    // Someone may plant a name again between the removal of a leftover and the creation: refused, not followed.
    {"planted just before the creation", nullptr, ReplaceVia, "create", 1, 1, kPlant,
     "-velox-.ini:mine notes.txt:mine velox.ini:old", "-velox-.ini: something of that name is in the way",
     "create -velox-.ini"},
    // A link stays a link to the replaced file, rewritten beside it: a rename cannot cross file systems.
    {"a chain of links", LinkChain, ReplaceVia, "", 0, 0, 0,
     "link.ini->real/velox.ini notes.txt:mine real/ real/velox.ini:new velox.ini->link.ini", "",
     "create .velox.ini.velox-new write write flush close replace sync-folder real", kPosix},
    {"a loop of links", LinkLoop, Replace, "", 0, 0, 0, "notes.txt:mine velox.ini->velox.ini",
     "velox.ini: is a link in a loop of links", "", kPosix},
};

TEST(SafeFile, LeavesTheOriginalOrTheNewFileAndNamesWhatFailed) {
  for (const Case& c : kCases) {
    if (c.only == (platform::kWindows ? kPosix : kWindows)) continue;
    SCOPED_TRACE(c.name);
    testing::TempFolder top;
    const fs::path dir = top / "app";
    WriteBytes(dir / "velox.ini", "old");
    WriteBytes(dir / "notes.txt", "mine");
    if (c.start) c.start(dir);
    testing::FileCallSpy spy;
    spy.chunk = 2;
    spy.windowsHolds = !platform::kWindows;  // there the system's own answer, as the file held open shows
    spy.before = [&, n = 0](std::string_view call, P file) mutable {
      if (call != c.call || ++n < c.nth || n >= c.nth + c.times) return 0;
      if (c.error == kLetGo) g_held.reset();
      if (c.error == kPlant) fs::create_hard_link(dir / "notes.txt", file);
      if (c.error == kWritesNothing) spy.chunk = 0;
      return c.error < 0 ? 0 : c.error;
    };
    const Status s = c.operation(dir);
    g_held.reset();
    const std::string message = s.ok() ? "" : PathText(s.error().file.lexically_relative(dir)) + ": " + s.error().cause;
    EXPECT_EQ(message, c.message);
    EXPECT_EQ(testing::Listing(dir), c.after);
    // The data is on disk before the new name can be seen, and (POSIX) the rename itself afterwards.
    const std::string steps = c.steps;
    EXPECT_EQ(Steps(spy), platform::kWindows ? steps.substr(0, steps.find(" sync-folder")) : steps);
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
