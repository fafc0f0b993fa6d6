#pragma once
// Stands between the file layer and the system for one test: records every call
// in order and makes chosen calls fail as the system would, without making them.

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "shell/platform.h"

namespace velox::testing {

class FileCallSpy final : public platform::FileCalls {
 public:
  using Path = std::filesystem::path;
  using NativeFile = platform::NativeFile;

  FileCallSpy() { platform::SetFileCallsForTesting(this); }
  ~FileCallSpy() override { platform::SetFileCallsForTesting(nullptr); }
  FileCallSpy(const FileCallSpy&) = delete;
  FileCallSpy& operator=(const FileCallSpy&) = delete;

  // The nth call of that name ("create", "open", "read", "write", "flush",
  // "close", "replace", "sync-folder", "remove", "open-document"), counting from 1, fails with error.
  // It wraps the before below: set that one first, if both.
  void Fail(std::string call, int error, int nth = 1) {
    before = [call = std::move(call), error, nth, earlier = before](std::string_view c, const Path& file) mutable {
      if (c == call && --nth == 0) return error;
      return earlier ? earlier(c, file) : 0;
    };
  }
  // Asked before every call with its name and file; an error it returns fails the call.
  std::function<int(std::string_view call, const Path& file)> before;
  // Reads and writes move at most this many bytes a call, as the system may.
  std::size_t chunk = SIZE_MAX;
  // Access denied and sharing violations (EACCES, EBUSY) may clear soon, as on Windows; else as the system says.
  bool windowsHolds = false;
  // "<call> <file name>", in order; replace gives both names; "pause <ms>" for a wait, never waited.
  std::vector<std::string> calls;

  // The calls of one name, by file name, in order.
  std::vector<std::string> Only(std::string_view call) const {
    std::vector<std::string> out;
    for (const std::string& c : calls) {
      if (c.starts_with(call) && c.size() > call.size() && c[call.size()] == ' ') out.push_back(c);
    }
    return out;
  }

  int CreateNew(const Path& file, int permissions, NativeFile& out) override {
    return Opened(Check("create", file), file, out, [&] { return Real().CreateNew(file, permissions, out); });
  }
  int OpenForReading(const Path& file, NativeFile& out) override {
    return Opened(Check("open", file), file, out, [&] { return Real().OpenForReading(file, out); });
  }
  int Read(NativeFile file, char* buffer, std::size_t size, std::size_t& got) override {
    return Or(Check("read", open_[file]), [&] { return Real().Read(file, buffer, std::min(size, chunk), got); });
  }
  int Write(NativeFile file, const char* data, std::size_t size, std::size_t& written) override {
    return Or(Check("write", open_[file]), [&] { return Real().Write(file, data, std::min(size, chunk), written); });
  }
  int FlushToDisk(NativeFile file) override {
    return Or(Check("flush", open_[file]), [&] { return Real().FlushToDisk(file); });
  }
  int Close(NativeFile file) override {
    const int injected = Check("close", open_[file]);
    open_.erase(file);
    const int e = Real().Close(file);  // a handle is let go even when closing "fails"
    return injected ? injected : e;
  }
  int Replace(const Path& from, const Path& to) override {
    return Or(Check("replace", from, to), [&] { return Real().Replace(from, to); });
  }
  int SyncFolder(const Path& folder) override {
    return Or(Check("sync-folder", folder), [&] { return Real().SyncFolder(folder); });
  }
  int Remove(const Path& file) override { return Or(Check("remove", file), [&] { return Real().Remove(file); }); }
  bool MayClearSoon(int error) override {
    return windowsHolds ? error == EACCES || error == EBUSY : Real().MayClearSoon(error);
  }
  void Pause(int milliseconds) override { (void)Check("pause", std::to_string(milliseconds)); }
  // Never opens the document for real ("open-document").
  Status OpenDocument(const Path& document) override {
    const int e = Check("open-document", document);
    return e ? Status(ErrnoError(document, e)) : Status();
  }

 private:
  static platform::FileCalls& Real() { return platform::SystemFileCalls(); }
  // The injected error, or else the real call's.
  static int Or(int injected, const std::function<int()>& real) { return injected ? injected : real(); }
  int Opened(int injected, const Path& file, const NativeFile& out, const std::function<int()>& real) {
    const int e = Or(injected, real);
    if (!e) open_[out] = file;
    return e;
  }
  int Check(std::string_view call, const Path& file, const Path& second = {}) {
    const auto name = [](const Path& p) { return PathText(p.has_filename() ? p.filename() : p); };
    calls.push_back(std::string(call) + " " + name(file) + (second.empty() ? "" : " " + name(second)));
    return before ? before(call, file) : 0;
  }

  std::map<NativeFile, Path> open_;
};

}  // namespace velox::testing
