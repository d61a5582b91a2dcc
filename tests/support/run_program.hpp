#ifndef GMKCONV_TESTS_RUN_PROGRAM_HPP
#define GMKCONV_TESTS_RUN_PROGRAM_HPP

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Runs the program under test as a separate process, the way a shell or a
// script would. run_program gives it an empty standard input.

struct run_options {
    std::uint64_t file_size_limit = 0; // bytes, with SIGXFSZ ignored; 0 for none
    std::chrono::seconds timeout{20};
};

struct run_outcome {
    std::string out;
    std::string err;
    int status = -1; // exit status, or -1 when killed or signalled
    bool timed_out = false;
};

struct child_process {
    pid_t pid = -1;
    int in = -1; // the child's standard input, still open
    int out = -1;
    int err = -1;
};

child_process start_program(const std::vector<std::string>& command,
                            const std::vector<std::string>& args, const std::filesystem::path& cwd,
                            std::uint64_t file_size_limit = 0);

// Closes the child's standard input, collects its output and waits for it.
run_outcome finish_program(child_process& child, std::chrono::seconds timeout);

run_outcome run_program(const std::vector<std::string>& command,
                        const std::vector<std::string>& args, const std::filesystem::path& cwd,
                        const run_options& options = {});

// Reads the child's standard output up to and including the first newline,
// giving up after the timeout; returns what arrived.
std::string read_line(child_process& child, std::chrono::milliseconds timeout);

bool still_running(const child_process& child);

// Lines end in "\n" whatever the platform wrote.
std::string unix_lines(std::string text);

#endif
