#include "shell/line_file.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "support/file_call_spy.h"
#include "support/temp_install.h"

namespace velox {
namespace {

using Lines = std::vector<std::string>;

struct SplitCase {
  const char* name;
  std::string bytes;
  Lines lines;
};

class SplitLinesTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitLinesTest, SplitsAtEveryKindOfLineEnd) {
  EXPECT_EQ(SplitLines(GetParam().bytes), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Endings, SplitLinesTest,
    ::testing::Values(
        SplitCase{"empty", "", {}},
        SplitCase{"crlf", "a\r\nb\r\n", {"a", "b"}},
        SplitCase{"lf", "a\nb\n", {"a", "b"}},
        SplitCase{"lone_cr", "a\rb\r", {"a", "b"}},
        SplitCase{"mixed", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        SplitCase{"no_final_end", "a\r\nlast", {"a", "last"}},
        SplitCase{"blank_lines_kept", "\r\n\r\nx\r\n", {"", "", "x"}},
        SplitCase{"cr_cr_lf_is_two_ends", "a\r\r\nb", {"a", "", "b"}},
        SplitCase{"lf_cr_is_two_ends", "a\n\rb", {"a", "", "b"}},
        SplitCase{"nul_and_high_bytes", std::string("n\0ul\xe9\xff\r\n", 8), {std::string("n\0ul\xe9\xff", 6)}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LineFile, FirstAndLastLine) {
  EXPECT_FALSE(FirstLine("").has_value());
  EXPECT_FALSE(LastLine("").has_value());
  EXPECT_EQ(FirstLine("3\r\n1\r\n"), "3");
  EXPECT_EQ(LastLine("3\r\n1\r\n"), "1");
  EXPECT_EQ(LastLine("3\r\n1"), "1");
  EXPECT_EQ(LastLine("only"), "only");
  EXPECT_EQ(FirstLine("\r\n"), "");
  EXPECT_EQ(LastLine("a\r\n\r\n"), "");
  EXPECT_EQ(LastLine("a\rb\r"), "b");
}

TEST(LineFile, JoinEndsEveryLineWithCrLf) {
  EXPECT_EQ(JoinLines({}), "");
  EXPECT_EQ(JoinLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
}

TEST(LineFile, RoundTripKeepsEveryByte) {
  std::string bytes;
  for (int i = 0; i < 256; ++i) {
    if (i != '\r' && i != '\n') bytes.push_back(static_cast<char>(i));
  }
  bytes += "\r\n";
  EXPECT_EQ(JoinLines(SplitLines(bytes)), bytes);
}

TEST(LineFile, ReadFileBytesReportsTheFileAndCause) {
  testing::TempFolder dir;
  auto missing = ReadFileBytes(dir / "absent.cfg");
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error().file, dir / "absent.cfg");
  EXPECT_EQ(missing.error().cause, "no such file or folder");

  auto folder = ReadFileBytes(dir.path());
  ASSERT_FALSE(folder.ok());
  EXPECT_EQ(folder.error().cause, "is a folder, not a file");

  testing::WriteBytes(dir / "x.cfg", std::string("a\0b", 3));
  auto read = ReadFileBytes(dir / "x.cfg");
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(*read, std::string("a\0b", 3));
}

// The system may hand a file over in parts; an error at any part fails the whole
// read, so that a truncated file is never taken for the file and saved back.
TEST(LineFile, AReadErrorInTheMiddleFailsTheRead) {
  testing::TempFolder dir;
  std::string bytes;
  for (int i = 0; bytes.size() < 10000; ++i) bytes += "patch=" + std::to_string(i) + "\r\n";
  bytes.resize(10000);  // ten parts, then the end
  testing::WriteBytes(dir / "velox.ini", bytes);
  {
    testing::FileCallSpy spy;
    spy.chunk = 1000;
    EXPECT_EQ(ReadFileBytes(dir / "velox.ini").value(), bytes);
    EXPECT_EQ(ReadFileStart(dir / "velox.ini", 2500).value(), bytes.substr(0, 2500));
    EXPECT_EQ(spy.Only("read").size(), 11u + 3u);
    EXPECT_EQ(spy.Only("close").size(), 2u) << "every file opened is closed";
  }
  for (const int at : {1, 3, 11}) {
    testing::FileCallSpy spy;
    spy.chunk = 1000;
    spy.Fail("read", EIO, at);
    const Result<std::string> read = ReadFileBytes(dir / "velox.ini");
    ASSERT_FALSE(read.ok()) << "read " << at;
    EXPECT_EQ(read.error().file, dir / "velox.ini");
    EXPECT_EQ(read.error().cause, "input/output error");
    EXPECT_EQ(spy.Only("close").size(), 1u);
  }
}

}  // namespace
}  // namespace velox
