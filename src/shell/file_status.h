#pragma once
// The outcome of a file operation: success, or the file concerned and why it failed.
// Every reader and writer of the system reports through these, so that a window
// can tell the user which file is wrong and what was left as it was.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace velox {

// A path as UTF-8 text for people to read, whatever the system's code page.
std::string PathText(const std::filesystem::path& path);
// A path from UTF-8 text (the form PathText gives).
std::filesystem::path PathFromUtf8(std::string_view text);

struct FileError {
  std::filesystem::path file;
  std::string cause;  // plain words: "no such file or folder", "is read-only", ...
  bool inUse = false;  // another program holds it open

  // "<file>: <cause>"
  std::string Describe() const;
};

// Error for the file from the current errno (or a given error number).
FileError ErrnoError(const std::filesystem::path& file, int errorNumber);
FileError ErrnoError(const std::filesystem::path& file);

class [[nodiscard]] Status {
 public:
  Status() = default;
  Status(FileError error) : error_(std::move(error)) {}  // NOLINT: implicit by design

  bool ok() const { return !error_.has_value(); }
  explicit operator bool() const { return ok(); }
  const FileError& error() const { return *error_; }

 private:
  std::optional<FileError> error_;
};

template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : value_(std::move(value)) {}          // NOLINT: implicit by design
  Result(FileError error) : value_(std::move(error)) {}  // NOLINT: implicit by design

  bool ok() const { return std::holds_alternative<T>(value_); }
  explicit operator bool() const { return ok(); }
  const T& value() const& { return std::get<T>(value_); }
  T& value() & { return std::get<T>(value_); }
  T&& value() && { return std::get<T>(std::move(value_)); }
  const T& operator*() const& { return value(); }
  const T* operator->() const { return &value(); }
  const FileError& error() const { return std::get<FileError>(value_); }
  Status status() const { return ok() ? Status() : Status(error()); }

 private:
  std::variant<T, FileError> value_;
};

}  // namespace velox
