// Runs the built program as its users do. The command that starts it comes
// after the test options, so that the same cases can run any build:
//   end_to_end_tests [gtest options] [--windows] COMMAND...
// --windows: the program is a Windows build, whose system error texts are
// Windows's own.
#include "support/run_program.hpp"
#include "support/scratch.hpp"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

struct program_under_test {
    std::vector<std::string> command;
    bool windows = false;
};

program_under_test& program()
{
    static program_under_test under_test;
    return under_test;
}

enum class expect { converted, wrong_type, no_argument, failed };

// A Windows build words the system's errors in Windows's way (Wine's, as
// the tests run it there); one text serves both where they agree.
struct reason_text {
    reason_text(const char* both = "") : posix(both), windows(both) {}
    reason_text(const char* posix_text, const char* windows_text)
        : posix(posix_text), windows(windows_text)
    {
    }
    std::string posix;
    std::string windows;
};

struct e2e_case {
    const char* name;
    std::function<void(const fs::path&)> arrange;
    std::vector<std::string> args;
    expect outcome;
    // converted: the file that must appear; failed: the path and reason that
    // standard error must name.
    std::string path{};
    reason_text reason{};
    // Files that a failed run must leave absent although they existed
    // before (an output that this run truncated).
    std::vector<std::string> removed{};
    std::uint64_t file_size_limit = 0;
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const e2e_case& c, std::ostream* os) { *os << c.name; }

std::string expected_stdout(expect outcome)
{
    switch (outcome) {
    case expect::converted:
        return "Conversion complete\n";
    case expect::wrong_type:
        return "Wrong file type\n";
    default:
        return "Error\n";
    }
}

class EndToEnd : public ScratchTest, public testing::WithParamInterface<e2e_case> {};

TEST_P(EndToEnd, PrintsOneStatusLineAndLeavesTheRightFiles)
{
    const e2e_case& c = GetParam();
    ASSERT_FALSE(program().command.empty()) << "no program command given";
    if (c.arrange)
        c.arrange(dir);
    auto expected = snapshot(dir);
    if (c.outcome == expect::converted)
        expected[c.path] = "file:" + patched(read_bytes(dir / c.args.at(0)));
    for (const std::string& name : c.removed)
        expected.erase(name);

    run_options options;
    options.file_size_limit = c.file_size_limit;
    const run_outcome run = run_program(program().command, c.args, dir, options);

    ASSERT_FALSE(run.timed_out) << "the program hung";
    EXPECT_EQ(unix_lines(run.out), expected_stdout(c.outcome));
    if (c.outcome == expect::failed) {
        EXPECT_EQ(run.status, 1);
        const std::string& reason = program().windows ? c.reason.windows : c.reason.posix;
        EXPECT_EQ(unix_lines(run.err), "gmkconv: " + c.path + ": " + reason + "\n");
    } else {
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
    }
    EXPECT_EQ(snapshot(dir), expected);
}

// Fixtures that the cases share.
void level_file(const fs::path& d) { write_bytes(d / "level.gm81", some_bytes(100)); }

void level_and_old_output(const fs::path& d)
{
    level_file(d);
    write_bytes(d / "level.gmk", "an earlier output, longer than nothing");
}

INSTANTIATE_TEST_SUITE_P(
    Portable, EndToEnd,
    testing::Values(
        e2e_case{"Converts", level_file, {"level.gm81"}, expect::converted, "level.gmk"},
        e2e_case{"ConvertsEmptyInput",
                 [](const fs::path& d) { write_bytes(d / "e.gm81", ""); },
                 {"e.gm81"},
                 expect::converted,
                 "e.gmk"},
        e2e_case{"ConvertsShortInputUnchanged",
                 [](const fs::path& d) { write_bytes(d / "s.gm81", "ABCD"); },
                 {"s.gm81"},
                 expect::converted,
                 "s.gmk"},
        e2e_case{"OverwritesEarlierOutput",
                 level_and_old_output,
                 {"level.gm81"},
                 expect::converted,
                 "level.gmk"},
        e2e_case{"UsesOnlyTheFirstArgument",
                 [](const fs::path& d) {
                     level_file(d);
                     write_bytes(d / "other.gm81", "other");
                 },
                 {"level.gm81", "other.gm81", "ignored"},
                 expect::converted,
                 "level.gmk"},
        e2e_case{"OnlyTheLastDotCounts",
                 [](const fs::path& d) {
                     fs::create_directory(d / "dir.old");
                     write_bytes(d / "dir.old" / "level.gm81", some_bytes(10));
                 },
                 {"dir.old/level.gm81"},
                 expect::converted,
                 "dir.old/level.gmk"},
        e2e_case{"ConvertsNamesInAnyScript",
                 [](const fs::path& d) { write_bytes(d / "уровень_レベル.gm81", some_bytes(9)); },
                 {"уровень_レベル.gm81"},
                 expect::converted,
                 "уровень_レベル.gmk"},
        e2e_case{"RefusesOtherExtension",
                 [](const fs::path& d) { write_bytes(d / "level.GM81", some_bytes(10)); },
                 {"level.GM81"},
                 expect::wrong_type},
        e2e_case{"RefusesWithoutLookingAtTheFile", nullptr, {"missing.txt"}, expect::wrong_type},
        e2e_case{"RefusesEmptyArgument", nullptr, {""}, expect::wrong_type},
        e2e_case{"NoArgumentIsAnError", level_file, {}, expect::no_argument},
        e2e_case{"MissingInputLeavesOutputAlone",
                 [](const fs::path& d) { write_bytes(d / "gone.gmk", "keep me"); },
                 {"gone.gm81"},
                 expect::failed,
                 "gone.gm81",
                 {"No such file or directory", "File not found"}},
        e2e_case{"DirectoryInputCreatesNothing",
                 [](const fs::path& d) { fs::create_directory(d / "level.gm81"); },
                 {"level.gm81"},
                 expect::failed,
                 "level.gm81",
                 "Not a regular file"},
        e2e_case{"DirectoryOutputIsLeftAlone",
                 [](const fs::path& d) {
                     level_file(d);
                     fs::create_directory(d / "level.gmk");
                 },
                 {"level.gm81"},
                 expect::failed,
                 "level.gmk",
                 {"Is a directory", "Access denied"}},
        e2e_case{"OutputHardLinkedToInputIsRefused",
                 [](const fs::path& d) {
                     level_file(d);
                     fs::create_hard_link(d / "level.gm81", d / "level.gmk");
                 },
                 {"level.gm81"},
                 expect::failed,
                 "level.gmk",
                 "Is the input file itself"}),
    case_name{});

INSTANTIATE_TEST_SUITE_P(
    PosixOnly, EndToEnd,
    testing::Values(
        e2e_case{"OutputSymlinkedToInputIsRefused",
                 [](const fs::path& d) {
                     level_file(d);
                     fs::create_symlink("level.gm81", d / "level.gmk");
                 },
                 {"level.gm81"},
                 expect::failed,
                 "level.gmk",
                 "Is the input file itself"},
        e2e_case{"FifoInputDoesNotHang",
                 [](const fs::path& d) { ASSERT_EQ(::mkfifo((d / "p.gm81").c_str(), 0600), 0); },
                 {"p.gm81"},
                 expect::failed,
                 "p.gm81",
                 "Not a regular file"},
        e2e_case{"FifoOutputDoesNotHang",
                 [](const fs::path& d) {
                     level_file(d);
                     ASSERT_EQ(::mkfifo((d / "level.gmk").c_str(), 0600), 0);
                 },
                 {"level.gm81"},
                 expect::failed,
                 "level.gmk",
                 "No such device or address"},
        e2e_case{"DeviceOutputIsNotWritten",
                 [](const fs::path& d) {
                     level_file(d);
                     fs::create_symlink("/dev/full", d / "level.gmk");
                 },
                 {"level.gm81"},
                 expect::failed,
                 "level.gmk",
                 "Not a regular file"},
        e2e_case{"UnreadableInputLeavesNoOutput",
                 // Reading a process's memory at offset 0 fails with EIO,
                 // though the file looks regular.
                 [](const fs::path& d) { fs::create_symlink("/proc/self/mem", d / "mem.gm81"); },
                 {"mem.gm81"},
                 expect::failed,
                 "mem.gm81",
                 "Input/output error"},
        e2e_case{"FullDiskLeavesNoPartialOutput",
                 [](const fs::path& d) { write_bytes(d / "big.gm81", some_bytes(3 << 20)); },
                 {"big.gm81"},
                 expect::failed,
                 "big.gmk",
                 "File too large",
                 {},
                 1 << 20},
        e2e_case{"FullDiskRemovesTheOutputItTruncated",
                 [](const fs::path& d) {
                     write_bytes(d / "big.gm81", some_bytes(3 << 20));
                     write_bytes(d / "big.gmk", "an earlier output");
                 },
                 {"big.gm81"},
                 expect::failed,
                 "big.gmk",
                 "File too large",
                 {"big.gmk"},
                 1 << 20},
        e2e_case{"ControlCharactersInNamesAreEscaped",
                 nullptr,
                 {"\x1b[2J\n.gm81"},
                 expect::failed,
                 "\\x1b[2J\\x0a.gm81",
                 "No such file or directory"}),
    case_name{});

// Windows opens a device for these names, whatever their extension, though
// a file of that name exists.
INSTANTIATE_TEST_SUITE_P(
    WindowsOnly, EndToEnd,
    testing::Values(e2e_case{"NulDeviceInputIsRefused",
                             [](const fs::path& d) { write_bytes(d / "nul.gm81", "a file"); },
                             {"nul.gm81"},
                             expect::failed,
                             "nul.gm81",
                             "Not a regular file"},
                    e2e_case{"SerialPortInputIsRefused",
                             [](const fs::path& d) { write_bytes(d / "COM1.gm81", "a file"); },
                             {"COM1.gm81"},
                             expect::failed,
                             "COM1.gm81",
                             "Not a regular file"}),
    case_name{});

using Console = ScratchTest;

TEST_F(Console, MessageIsReadableWhileWaitingAndOneCharacterEndsIt)
{
    level_file(dir);
    child_process child = start_program(program().command, {"level.gm81"}, dir);

    EXPECT_EQ(unix_lines(read_line(child, std::chrono::seconds(20))), "Conversion complete\n");
    // The output is complete before the program waits, not after.
    EXPECT_EQ(read_bytes(dir / "level.gmk"), patched(read_bytes(dir / "level.gm81")));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(still_running(child)) << "the program did not wait for input";

    ASSERT_EQ(::write(child.in, "x", 1), 1);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (still_running(child) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_FALSE(still_running(child)) << "one character did not end the wait";

    const run_outcome rest = finish_program(child, std::chrono::seconds(5));
    EXPECT_EQ(rest.status, 0);
    EXPECT_EQ(rest.out, "");
    EXPECT_EQ(rest.err, "");
}

TEST_F(Console, WaitsAfterAnErrorToo)
{
    child_process child = start_program(program().command, {}, dir);
    EXPECT_EQ(unix_lines(read_line(child, std::chrono::seconds(20))), "Error\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(still_running(child));
    EXPECT_EQ(finish_program(child, std::chrono::seconds(20)).status, 0);
}

// Past 4 GiB every 32-bit size count has wrapped. The input is sparse, so
// only the output costs disk space.
TEST_F(Console, ConvertsAnInputLargerThan4GiB)
{
    constexpr std::uint64_t size = (std::uint64_t{1} << 32U) + 4099;
    struct statvfs fsinfo {};
    ASSERT_EQ(::statvfs(dir.c_str(), &fsinfo), 0);
    if (static_cast<std::uint64_t>(fsinfo.f_bavail) * fsinfo.f_frsize < 2 * size)
        GTEST_SKIP() << "not enough free disk space in " << dir;
    const std::string head = some_bytes(16, 7);
    const std::string tail = some_bytes(16, 9);
    {
        std::ofstream in(dir / "huge.gm81", std::ios::binary);
        in.write(head.data(), static_cast<std::streamsize>(head.size()));
        in.seekp(static_cast<std::streamoff>(size - tail.size()));
        in.write(tail.data(), static_cast<std::streamsize>(tail.size()));
        ASSERT_TRUE(in.good());
    }

    run_options options;
    options.timeout = std::chrono::seconds(600);
    const run_outcome run = run_program(program().command, {"huge.gm81"}, dir, options);

    ASSERT_FALSE(run.timed_out);
    EXPECT_EQ(unix_lines(run.out), "Conversion complete\n");
    EXPECT_EQ(run.status, 0);
    ASSERT_EQ(fs::file_size(dir / "huge.gmk"), size);
    std::ifstream out(dir / "huge.gmk", std::ios::binary);
    std::string got_head(head.size(), '\0');
    std::string got_tail(tail.size(), '\0');
    out.read(got_head.data(), static_cast<std::streamsize>(got_head.size()));
    out.seekg(static_cast<std::streamoff>(size - tail.size()));
    out.read(got_tail.data(), static_cast<std::streamsize>(got_tail.size()));
    EXPECT_EQ(got_head, patched(head));
    EXPECT_EQ(got_tail, tail);
}

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    char** command = argv + 1;
    program().windows = command != argv + argc && std::string(*command) == "--windows";
    program().command.assign(command + (program().windows ? 1 : 0), argv + argc);
    // A child that exits before reading its input must not kill the test.
    std::signal(SIGPIPE, SIG_IGN);
    return RUN_ALL_TESTS();
}
