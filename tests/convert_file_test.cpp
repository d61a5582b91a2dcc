#include "rewriting/convert_file.hpp"

#include "support/scratch.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstddef>
#include <string>

namespace {

constexpr std::size_t mib = std::size_t{1} << 20U;

struct content_case {
    const char* name;
    std::string input;
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const content_case& c, std::ostream* os) { *os << c.name; }

std::string with_byte4(char value)
{
    std::string bytes = some_bytes(64);
    bytes[4] = value;
    return bytes;
}

class CopyContent : public ScratchTest, public testing::WithParamInterface<content_case> {};

TEST_P(CopyContent, WritesInputWithByte4Set)
{
    const fs::path in = dir / "level.gm81";
    const fs::path out = dir / "level.gmk";
    write_bytes(in, GetParam().input);

    const convert_result result = convert_file(in.string(), out.string());

    EXPECT_EQ(result.failure, convert_failure::none) << failure_reason(result);
    EXPECT_EQ(read_bytes(out), patched(GetParam().input));
    EXPECT_EQ(read_bytes(in), GetParam().input) << "the input must not change";
}

// Sizes around the patched offset, and around the copy's block size so that
// a lost, repeated or re-patched block shows.
INSTANTIATE_TEST_SUITE_P(Table, CopyContent,
                         testing::Values(content_case{"Empty", ""}, content_case{"OneByte", "A"},
                                         content_case{"FourBytes", "ABCD"},
                                         content_case{"FiveBytes", "ABCDE"},
                                         content_case{"SixBytes", "ABCDEF"},
                                         content_case{"Byte4Was2A", with_byte4(0x2a)},
                                         content_case{"Byte4AlreadyPatched", with_byte4(0x20)},
                                         content_case{"BlockLessOne", some_bytes(mib - 1)},
                                         content_case{"OneBlock", some_bytes(mib)},
                                         content_case{"BlockPlusOne", some_bytes(mib + 1)},
                                         content_case{"SeveralBlocks", some_bytes(3 * mib + 7)}),
                         case_name{});

using Copy = ScratchTest;

TEST_F(Copy, TruncatesALongerExistingOutput)
{
    write_bytes(dir / "a.gm81", "0123456789");
    write_bytes(dir / "a.gmk", some_bytes(4096));

    ASSERT_EQ(convert_file((dir / "a.gm81").string(), (dir / "a.gmk").string()).failure,
              convert_failure::none);
    EXPECT_EQ(read_bytes(dir / "a.gmk"), "0123 56789");
}

struct failure_case {
    const char* name;
    void (*arrange)(const fs::path& dir); // input is dir/a.gm81, output dir/a.gmk
    convert_failure failure;
    int system_error;
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const failure_case& c, std::ostream* os) { *os << c.name; }

void small_input(const fs::path& d) { write_bytes(d / "a.gm81", "0123456789"); }

class CopyFailure : public ScratchTest, public testing::WithParamInterface<failure_case> {};

TEST_P(CopyFailure, IsReportedAndTouchesNothing)
{
    GetParam().arrange(dir);
    const auto before = snapshot(dir);

    const convert_result result = convert_file((dir / "a.gm81").string(), (dir / "a.gmk").string());

    EXPECT_EQ(result.failure, GetParam().failure);
    EXPECT_EQ(result.system_error, GetParam().system_error) << failure_reason(result);
    EXPECT_EQ(snapshot(dir), before);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CopyFailure,
    testing::Values(failure_case{"MissingInput", [](const fs::path&) {},
                                 convert_failure::input_unreadable, ENOENT},
                    failure_case{"InputIsADirectory",
                                 [](const fs::path& d) { fs::create_directory(d / "a.gm81"); },
                                 convert_failure::input_not_regular, 0},
                    failure_case{"OutputIsADirectory",
                                 [](const fs::path& d) {
                                     small_input(d);
                                     fs::create_directory(d / "a.gmk");
                                 },
                                 convert_failure::output_unwritable, EISDIR},
                    failure_case{"OutputIsAHardLinkToInput",
                                 [](const fs::path& d) {
                                     small_input(d);
                                     fs::create_hard_link(d / "a.gm81", d / "a.gmk");
                                 },
                                 convert_failure::same_file, 0},
                    failure_case{"OutputIsASymlinkToInput",
                                 [](const fs::path& d) {
                                     small_input(d);
                                     fs::create_symlink("a.gm81", d / "a.gmk");
                                 },
                                 convert_failure::same_file, 0},
                    failure_case{"OutputIsADevice",
                                 [](const fs::path& d) {
                                     small_input(d);
                                     fs::create_symlink("/dev/null", d / "a.gmk");
                                 },
                                 convert_failure::output_not_regular, 0}),
    case_name{});

} // namespace
