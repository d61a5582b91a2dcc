#ifndef GMKCONV_SYSTEM_FILE_HPP
#define GMKCONV_SYSTEM_FILE_HPP

#include <cstddef>
#include <cstdint>
#include <string>

// The operating system's file calls, as the copy needs them, for POSIX
// systems and for Windows. Each call returns 0 or the system's error number
// (errno, or Windows's last-error code), and retries when a signal
// interrupts it.

#ifdef _WIN32
using native_file = void*; // a HANDLE, without pulling in <windows.h>
#else
using native_file = int;
#endif

// On Windows, device is the volume's serial number and inode the file index.
struct file_identity {
    std::uint64_t device;
    std::uint64_t inode;
    bool regular;
};

// Neither open waits for the other end of a FIFO. open_output creates a
// missing file but leaves an existing one whole: truncate_file empties it once
// the caller knows it may.
int open_input(const std::string& path, native_file& file);
int open_output(const std::string& path, native_file& file);

// Judged on the open file, not its name: a name can lead to a device.
// Also readies a regular file for ordinary blocking reads and writes.
int identify(native_file file, file_identity& identity);
inline bool same_file(const file_identity& a, const file_identity& b)
{
    return a.device == b.device && a.inode == b.inode;
}

// got is 0 at the end of the file.
int read_some(native_file file, char* buffer, std::size_t size, std::size_t& got);
int write_all(native_file file, const char* data, std::size_t size);
int truncate_file(native_file file);
int close_file(native_file file);

// Removes path only while it still names the regular file identity
// describes, so that a file put there by someone else survives.
void remove_if_still(const std::string& path, const file_identity& identity);

// The system's own words for an error number that these calls returned.
std::string system_error_text(int error);

#endif
