#include "shell/line_file.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "support/file_call_spy.h"
#include "support/temp_install.h"

namespace velox {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

std::string EveryByteButLineEnds() {
  std::string bytes;
  for (int i = 0; i < 256; ++i)
    if (i != '\r' && i != '\n') bytes.push_back(static_cast<char>(i));
  return bytes;
}

TEST(LineFile, SplitsAtEveryKindOfLineEndAndJoinsWithCrLf) {
  const struct { std::string bytes; Lines lines; bool crlf; } cases[] = {
      {"", {}, true},
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}, false},
      {"\r\n\r\nx\r\n", {"", "", "x"}, true},
      {"a\r\n\r\n", {"a", ""}, true},
      {"a\r\r\nb\n", {"a", "", "b"}, false},
      {"a\n\rb\r", {"a", "", "b"}, false},
      {EveryByteButLineEnds() + "\r\n", {EveryByteButLineEnds()}, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitLines(c.bytes), c.lines) << c.bytes;
    EXPECT_EQ(FirstLine(c.bytes), c.lines.empty() ? std::nullopt : std::optional<std::string_view>(c.lines.front()));
    EXPECT_EQ(LastLine(c.bytes), c.lines.empty() ? std::nullopt : std::optional<std::string_view>(c.lines.back()));
    if (c.crlf) {
      EXPECT_EQ(JoinLines(c.lines), c.bytes);
    }
  }
}

// The system may hand a file over in parts; an error at any part fails the whole
// read, so that a truncated file is never taken for the file and saved back.
TEST(LineFile, ReadsInPartsAndAFailureAnywhereFailsTheRead) {
  testing::TempFolder dir;
  std::string bytes;
  for (int i = 0; bytes.size() < 10000; ++i) bytes += "patch=" + std::to_string(i) + "\r\n";
  bytes.resize(10000);  // ten parts, then the end
  testing::WriteBytes(dir / "velox.ini", bytes);
  fs::create_directory(dir / "folder.cfg");
  testing::FileCallSpy spy;
  spy.chunk = 1000;
  EXPECT_EQ(ReadFileBytes(dir / "velox.ini").value(), bytes);
  EXPECT_EQ(ReadFileStart(dir / "velox.ini", 2500).value(), bytes.substr(0, 2500));
  EXPECT_EQ(spy.Only("read").size(), 11u + 3u);
  const struct { const char* file; int failingRead; const char* cause; } failures[] = {
      {"velox.ini", 1, "input/output error"},  {"velox.ini", 3, "input/output error"},
      {"velox.ini", 11, "input/output error"}, {"absent.cfg", 0, "no such file or folder"},
      {"folder.cfg", 0, "is a folder, not a file"},
  };
  for (const auto& f : failures) {
    if (f.failingRead > 0) spy.Fail("read", EIO, f.failingRead);
    const Result<std::string> read = ReadFileBytes(dir / f.file);
    EXPECT_EQ(read.ok() ? "" : read.error().Describe(), PathText(dir / f.file) + ": " + f.cause);
  }
  EXPECT_EQ(spy.Only("close").size(), 2u + 3u) << "every file opened is closed, after a failed read too";
}

}  // namespace
}  // namespace velox
