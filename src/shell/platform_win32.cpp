#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cwctype>
#include <string>
#include <system_error>

#include "shell/platform.h"

namespace velox::platform {
namespace fs = std::filesystem;

namespace {

OsError FromWindows(DWORD code) {
  switch (code) {
    case ERROR_SUCCESS: return 0;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD: return EACCES;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return EBUSY;
    case ERROR_WRITE_PROTECT: return EROFS;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_DIRECTORY: return ENOTDIR;
    case ERROR_NOT_SAME_DEVICE: return EXDEV;
    case ERROR_BAD_EXE_FORMAT:
    case ERROR_EXE_MACHINE_TYPE_MISMATCH: return ENOEXEC;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_IO_DEVICE:
    case ERROR_GEN_FAILURE: return EIO;
    default: return -static_cast<int>(code);
  }
}

OsError LastError() { return FromWindows(GetLastError()); }

HANDLE AsHandle(NativeFile file) { return reinterpret_cast<HANDLE>(file); }

class Win32FileCalls final : public FileCalls {
 public:
  OsError CreateNew(const fs::path& file, int, NativeFile& out) override {
    // CREATE_NEW refuses any name that exists, a link or a hard link included.
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return LastError();
    out = reinterpret_cast<NativeFile>(h);
    return 0;
  }
  OsError OpenForReading(const fs::path& file, NativeFile& out) override {
    HANDLE h = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) return LastError();
    out = reinterpret_cast<NativeFile>(h);
    return 0;
  }
  OsError Read(NativeFile file, char* buffer, std::size_t size, std::size_t& got) override {
    DWORD n = 0;
    const DWORD ask = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
    if (!ReadFile(AsHandle(file), buffer, ask, &n, nullptr)) return LastError();
    got = n;
    return 0;
  }
  OsError Write(NativeFile file, const char* data, std::size_t size, std::size_t& written) override {
    DWORD n = 0;
    const DWORD ask = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
    if (!WriteFile(AsHandle(file), data, ask, &n, nullptr)) return LastError();
    written = n;
    return 0;
  }
  OsError FlushToDisk(NativeFile file) override { return FlushFileBuffers(AsHandle(file)) ? 0 : LastError(); }
  OsError Close(NativeFile file) override { return CloseHandle(AsHandle(file)) ? 0 : LastError(); }
  OsError Replace(const fs::path& from, const fs::path& to) override {
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 0
                                                                                                      : LastError();
  }
  OsError SyncFolder(const fs::path&) override { return 0; }
  OsError Remove(const fs::path& file) override { return DeleteFileW(file.c_str()) ? 0 : LastError(); }
  // Read-only files are refused before any call, so access denied here is nearly always a file held open.
  bool MayClearSoon(OsError error) override { return error == EACCES || error == EBUSY; }
  void Pause(int milliseconds) override { ::Sleep(static_cast<DWORD>(milliseconds)); }
  Status OpenDocument(const fs::path& document) override;
};

// One argument of a command line, quoted the way the C runtime splits it again.
std::wstring Quoted(const std::wstring& argument) {
  std::wstring out = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out.push_back(c);
  }
  out.append(backslashes * 2, L'\\');
  out.push_back(L'"');
  return out;
}

}  // namespace

FileCalls& SystemFileCalls() {
  static Win32FileCalls calls;
  return calls;
}

fs::path ExecutablePath() {
  std::wstring buffer(32768, L'\0');
  const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  buffer.resize(n);
  return fs::path(buffer);
}

fs::path FindOnPath(std::string_view name) {
  const std::wstring wide = fs::path(name).wstring();
  std::wstring found(MAX_PATH * 4, L'\0');
  const DWORD n = SearchPathW(nullptr, wide.c_str(), L".exe", static_cast<DWORD>(found.size()), found.data(), nullptr);
  if (n == 0 || n >= found.size()) return {};
  found.resize(n);
  return fs::path(found);
}

OsError StartProcess(const std::vector<fs::path>& arguments, bool /*utf8Locale: names are UTF-16 here*/) {
  if (arguments.empty()) return EINVAL;
  std::wstring commandLine;
  for (const fs::path& a : arguments) commandLine += (commandLine.empty() ? L"" : L" ") + Quoted(a.wstring());
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(arguments[0].c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi)) {
    return LastError();
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return 0;
}

void LetAnotherProgramComeForward() { AllowSetForegroundWindow(ASFW_ANY); }

Status Win32FileCalls::OpenDocument(const fs::path& document) {
  std::error_code ec;
  const fs::path shown = fs::absolute(document, ec);
  if (!fs::is_regular_file(document, ec)) return FileError{shown, "no such file"};
  // The shell's own "Open" verb, in a normal window (10: as the application asks).
  const auto code = reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", document.c_str(), nullptr, nullptr, 10));
  if (code > 32) return {};
  switch (code) {
    case SE_ERR_NOASSOC:
    case SE_ERR_ASSOCINCOMPLETE: return FileError{shown, "no program is set to open it"};
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return FileError{shown, "no such file"};
    case SE_ERR_ACCESSDENIED: return FileError{shown, "permission denied"};
    default: return FileError{shown, "could not be opened (Windows error " + std::to_string(code) + ")"};
  }
}

void* LoadSharedLibrary(const char* name) {
  // The program's folder and the system's first, before the current folder, where anyone may have put a
  // DLL; the usual search (PATH included) only when neither has it.
  const std::wstring wide = fs::path(name).wstring();
  HMODULE library = LoadLibraryExW(wide.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
  if (!library) library = LoadLibraryW(wide.c_str());
  return reinterpret_cast<void*>(library);
}
void* FindSymbol(void* library, const char* name) {
  return library ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name)) : nullptr;
}

std::vector<fs::path> ListDrives() {
  std::vector<fs::path> drives;
  const DWORD mask = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (mask & (1u << i)) drives.emplace_back(std::wstring{static_cast<wchar_t>(L'A' + i), L':'});
  }
  return drives;
}

fs::path DriveOf(const fs::path& folder) {
  std::error_code ec;
  std::wstring root = fs::absolute(folder, ec).root_name().wstring();
  if (root.size() != 2 || root[1] != L':') return L"C:";
  root[0] = static_cast<wchar_t>(std::towupper(root[0]));
  return root;
}

fs::path DriveRoot(const fs::path& drive) { return drive.wstring() + L"\\"; }
fs::path FallbackFolder() { return L"C:\\"; }

}  // namespace velox::platform
#endif
