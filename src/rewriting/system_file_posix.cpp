#include "rewriting/system_file.hpp"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

// O_NONBLOCK keeps open() from waiting for the other end of a FIFO; once the
// file is known to be regular the flag is dropped again.
int open_nonblocking(const std::string& path, int flags, int& file)
{
    do {
        file = ::open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    } while (file < 0 && errno == EINTR);
    return file < 0 ? errno : 0;
}

file_identity identity_of(const struct stat& st)
{
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
            S_ISREG(st.st_mode)};
}

int make_blocking(int file)
{
    const int flags = ::fcntl(file, F_GETFL);
    if (flags < 0 || ::fcntl(file, F_SETFL, flags & ~O_NONBLOCK) < 0)
        return errno;
    return 0;
}

} // namespace

int open_input(const std::string& path, native_file& file)
{
    return open_nonblocking(path, O_RDONLY, file);
}

int open_output(const std::string& path, native_file& file)
{
    return open_nonblocking(path, O_WRONLY | O_CREAT, file);
}

int identify(native_file file, file_identity& identity)
{
    struct stat st {};
    if (::fstat(file, &st) != 0)
        return errno;
    identity = identity_of(st);
    return identity.regular ? make_blocking(file) : 0;
}

int read_some(native_file file, char* buffer, std::size_t size, std::size_t& got)
{
    ssize_t n = 0;
    do {
        n = ::read(file, buffer, size);
    } while (n < 0 && errno == EINTR);
    if (n < 0)
        return errno;
    got = static_cast<std::size_t>(n);
    return 0;
}

int write_all(native_file file, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(file, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return EIO; // no progress; never spin
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

int truncate_file(native_file file)
{
    int result = 0;
    do {
        result = ::ftruncate(file, 0);
    } while (result != 0 && errno == EINTR);
    return result != 0 ? errno : 0;
}

int close_file(native_file file)
{
    // After EINTR the descriptor is already gone on Linux, so close() is not
    // retried; the interruption still counts as a failure to report.
    return ::close(file) != 0 ? errno : 0;
}

void remove_if_still(const std::string& path, const file_identity& identity)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return;
    // The caller is already reporting a failure; a file that cannot be
    // removed adds nothing the user could act on.
    if (same_file(identity_of(st), identity))
        (void)::unlink(path.c_str());
}

std::string system_error_text(int error) { return std::generic_category().message(error); }
