#include "support/run_program.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <stdexcept>
#include <thread>

namespace {

using steady = std::chrono::steady_clock;

void make_pipe(std::array<int, 2>& ends)
{
    if (::pipe2(ends.data(), O_CLOEXEC) != 0)
        throw std::runtime_error("pipe2 failed");
}

[[noreturn]] void exec_child(const std::vector<std::string>& words,
                             const std::filesystem::path& cwd, std::uint64_t file_size_limit)
{
    if (::chdir(cwd.c_str()) != 0)
        ::_exit(126);
    if (file_size_limit != 0) {
        const rlimit limit{file_size_limit, file_size_limit};
        // Ignored, SIGXFSZ turns an over-long write into a short one with EFBIG,
        // as a full disk does.
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0 || ::signal(SIGXFSZ, SIG_IGN) == SIG_ERR)
            ::_exit(126);
    }
    std::vector<char*> argv;
    for (const std::string& word : words)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    std::perror(argv[0]);
    ::_exit(127);
}

void close_fd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

int remaining_ms(steady::time_point deadline)
{
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - steady::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Drains both output pipes until the child closes them or time runs out.
bool collect(child_process& child, run_outcome& outcome, steady::time_point deadline)
{
    while (child.out >= 0 || child.err >= 0) {
        std::array<pollfd, 2> fds{{{child.out, POLLIN, 0}, {child.err, POLLIN, 0}}};
        const int ready = ::poll(fds.data(), fds.size(), remaining_ms(deadline));
        if (ready == 0)
            return false;
        if (ready < 0 && errno == EINTR)
            continue;
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            int& fd = i == 0 ? child.out : child.err;
            std::string& sink = i == 0 ? outcome.out : outcome.err;
            std::array<char, 65536> chunk{};
            const ssize_t n = ::read(fd, chunk.data(), chunk.size());
            if (n <= 0)
                close_fd(fd);
            else
                sink.append(chunk.data(), static_cast<std::size_t>(n));
        }
    }
    return true;
}

bool reap(child_process& child, run_outcome& outcome, steady::time_point deadline)
{
    int status = 0;
    while (::waitpid(child.pid, &status, WNOHANG) == 0) {
        if (steady::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    child.pid = -1;
    return true;
}

} // namespace

child_process start_program(const std::vector<std::string>& command,
                            const std::vector<std::string>& args, const std::filesystem::path& cwd,
                            std::uint64_t file_size_limit)
{
    std::vector<std::string> words = command;
    words.insert(words.end(), args.begin(), args.end());
    std::array<int, 2> in{};
    std::array<int, 2> out{};
    std::array<int, 2> err{};
    make_pipe(in);
    make_pipe(out);
    make_pipe(err);
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        if (::dup2(in[0], 0) < 0 || ::dup2(out[1], 1) < 0 || ::dup2(err[1], 2) < 0)
            ::_exit(126);
        exec_child(words, cwd, file_size_limit);
    }
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    return {pid, in[1], out[0], err[0]};
}

run_outcome finish_program(child_process& child, std::chrono::seconds timeout)
{
    const auto deadline = steady::now() + timeout;
    run_outcome outcome;
    close_fd(child.in);
    if (!collect(child, outcome, deadline) || !reap(child, outcome, deadline)) {
        outcome.timed_out = true;
        ::kill(child.pid, SIGKILL);
        ::waitpid(child.pid, nullptr, 0);
        child.pid = -1;
    }
    close_fd(child.out);
    close_fd(child.err);
    return outcome;
}

run_outcome run_program(const std::vector<std::string>& command,
                        const std::vector<std::string>& args, const std::filesystem::path& cwd,
                        const run_options& options)
{
    child_process child = start_program(command, args, cwd, options.file_size_limit);
    return finish_program(child, options.timeout);
}

std::string read_line(child_process& child, std::chrono::milliseconds timeout)
{
    const auto deadline = steady::now() + timeout;
    std::string line;
    while (line.empty() || line.back() != '\n') {
        pollfd fd{child.out, POLLIN, 0};
        if (::poll(&fd, 1, remaining_ms(deadline)) <= 0)
            break;
        char byte = 0;
        if (::read(child.out, &byte, 1) != 1)
            break;
        line += byte;
    }
    return line;
}

bool still_running(const child_process& child)
{
    siginfo_t info{};
    // WNOWAIT leaves the child to be reaped by finish_program.
    return ::waitid(P_PID, static_cast<id_t>(child.pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == 0;
}

std::string unix_lines(std::string text)
{
    std::string::size_type at = 0;
    while ((at = text.find("\r\n", at)) != std::string::npos)
        text.erase(at, 1);
    return text;
}
