#pragma once
// The operating system beneath the core: files, programs, documents, shared
// libraries and drives, with one POSIX and one Win32 implementation. Nothing
// outside the core calls the system directly.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "shell/file_status.h"

namespace velox::platform {

#ifdef _WIN32
inline constexpr bool kWindows = true;
#else
inline constexpr bool kWindows = false;
#endif

// An open file of the system: a descriptor or a HANDLE.
using NativeFile = std::intptr_t;

// An error of the system as a C error number (errno), 0 for success. Windows
// errors are translated to the nearest one; one without a counterpart is kept
// as its negated Windows code (see ErrnoError).
using OsError = int;

// Every call the file layer makes to the system, behind one interface so that
// tests can see their order and make any one of them fail.
class FileCalls {
 public:
  virtual ~FileCalls() = default;
  // A new file, open for writing. Fails when the name is taken by anything, a
  // link included: nothing is ever written through a name that already exists.
  // permissions: the mode bits to give it (POSIX), or -1 for the default.
  virtual OsError CreateNew(const std::filesystem::path& file, int permissions, NativeFile& out) = 0;
  virtual OsError OpenForReading(const std::filesystem::path& file, NativeFile& out) = 0;
  // got is 0 only at the end of the file; a failure is never a short read.
  virtual OsError Read(NativeFile file, char* buffer, std::size_t size, std::size_t& got) = 0;
  virtual OsError Write(NativeFile file, const char* data, std::size_t size, std::size_t& written) = 0;
  // The data written so far reaches the disk.
  virtual OsError FlushToDisk(NativeFile file) = 0;
  virtual OsError Close(NativeFile file) = 0;
  // Renames from to to in one step, replacing what is there (a link there is
  // replaced, not followed).
  virtual OsError Replace(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
  // Makes the renames in the folder durable. Only POSIX needs it: on Windows
  // the replacement itself writes through.
  virtual OsError SyncFolder(const std::filesystem::path& folder) = 0;
  // Removes the name; a link is removed, never followed.
  virtual OsError Remove(const std::filesystem::path& file) = 0;
  // Whether a replace or remove that failed with error may well succeed when
  // tried again soon: on Windows, a file that another program (a virus scanner,
  // an indexer, the emulator) holds open, which gives access denied or a
  // sharing violation. Never elsewhere.
  virtual bool MayClearSoon(OsError error) = 0;
  // Waits before such a try.
  virtual void Pause(int milliseconds) = 0;
  // Hands the document to the desktop's program for it; see OpenWithDefaultProgram.
  virtual Status OpenDocument(const std::filesystem::path& document) = 0;
};

// The system's own calls.
FileCalls& SystemFileCalls();
// The calls in use: the system's, or those a test has set.
FileCalls& Files();
// nullptr gives the system's calls back.
void SetFileCallsForTesting(FileCalls* calls);

// The running program's own file.
std::filesystem::path ExecutablePath();

// Looks a program name up on the PATH; empty when it is not there.
std::filesystem::path FindOnPath(std::string_view name);

// Starts arguments[0] with the other arguments in its own process, in a normal
// window with the focus, in the current folder; it is not waited for.
// utf8Locale (POSIX): where the locale's character set is not UTF-8, the program
// gets LC_ALL=C.UTF-8 and the rest of the environment as it is, so that it can
// handle names beyond ASCII (Wine cannot otherwise run a program from such a folder).
OsError StartProcess(const std::vector<std::filesystem::path>& arguments, bool utf8Locale = false);

// Lets another program of the user's take the foreground (Windows allows that
// only when the program in front agrees); nothing elsewhere.
void LetAnotherProgramComeForward();

// Opens the document with the program the desktop has for it ("Open" verb of
// the Windows shell, xdg-open elsewhere), through Files(). Fails plainly when
// the document is missing or no program is set to open it.
Status OpenWithDefaultProgram(const std::filesystem::path& document);

// Shared libraries loaded at run time: nullptr when the library or the symbol
// is not found.
void* LoadSharedLibrary(const char* name);
void* FindSymbol(void* library, const char* name);
#ifndef _WIN32
// The file name of the SDL 2 library (Linux reads the pad through it).
const char* SdlLibraryName();
#endif

// The drives ("C:", "D:") on Windows; the mounted volumes elsewhere, "/" first,
// then the others in order, system folders (/proc, /sys, /dev, /run) left out.
std::vector<std::filesystem::path> ListDrives();
// The volumes of a mount table in the form of /proc/self/mounts, as ListDrives gives them.
std::vector<std::filesystem::path> VolumesOfMountTable(std::string_view table);
// Of the volumes, the one that holds the folder (an absolute path): the longest
// that contains it, "/" when none does.
std::filesystem::path VolumeOf(const std::filesystem::path& absoluteFolder,
                               const std::vector<std::filesystem::path>& volumes);
// The drive (or volume) that holds the folder, one of ListDrives().
std::filesystem::path DriveOf(const std::filesystem::path& folder);
// The top folder of a drive: "C:\" for "C:", the volume itself elsewhere.
std::filesystem::path DriveRoot(const std::filesystem::path& drive);
// Where a picker goes when nothing else can be shown: "C:\" or "/".
std::filesystem::path FallbackFolder();

}  // namespace velox::platform
