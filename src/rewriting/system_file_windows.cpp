#include "rewriting/system_file.hpp"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <array>

namespace {

// Others may read, write or delete the file meanwhile, as on POSIX; the
// identity checks are what guard against the output being the input.
constexpr DWORD share_all = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

int last_error() { return static_cast<int>(::GetLastError()); }

int error_unless(BOOL succeeded) { return succeeded != FALSE ? 0 : last_error(); }

int open_path(const std::string& path, DWORD access, DWORD disposition, DWORD flags,
              native_file& file)
{
    file = ::CreateFileA(path.c_str(), access, share_all, nullptr, disposition, flags, nullptr);
    return file == INVALID_HANDLE_VALUE ? last_error() : 0;
}

// One call moves at most a DWORD's worth of bytes.
DWORD chunk_of(std::size_t size) { return size < MAXDWORD ? static_cast<DWORD>(size) : MAXDWORD; }

std::uint64_t file_index(const BY_HANDLE_FILE_INFORMATION& info)
{
    return (std::uint64_t{info.nFileIndexHigh} << 32U) | info.nFileIndexLow;
}

} // namespace

// Backup semantics let a directory open, so that it is refused as not
// regular rather than with a bare "access denied".
int open_input(const std::string& path, native_file& file)
{
    return open_path(path, GENERIC_READ, OPEN_EXISTING,
                     FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_BACKUP_SEMANTICS, file);
}

int open_output(const std::string& path, native_file& file)
{
    return open_path(path, GENERIC_WRITE, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, file);
}

// Names such as NUL, CON or COM1, with any extension, open a device rather
// than a file: only a disk file that is not a directory counts as regular.
int identify(native_file file, file_identity& identity)
{
    identity = {};
    // FILE_TYPE_UNKNOWN is an error only if the call set one; the open may
    // have left ERROR_ALREADY_EXISTS behind.
    ::SetLastError(NO_ERROR);
    const DWORD type = ::GetFileType(file);
    if (type == FILE_TYPE_UNKNOWN && ::GetLastError() != NO_ERROR)
        return last_error();
    if (type != FILE_TYPE_DISK)
        return 0;
    BY_HANDLE_FILE_INFORMATION info{};
    if (const int error = error_unless(::GetFileInformationByHandle(file, &info)))
        return error;
    identity = {info.dwVolumeSerialNumber, file_index(info),
                (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0};
    return 0;
}

int read_some(native_file file, char* buffer, std::size_t size, std::size_t& got)
{
    DWORD n = 0;
    if (const int error = error_unless(::ReadFile(file, buffer, chunk_of(size), &n, nullptr)))
        return error;
    got = n;
    return 0;
}

int write_all(native_file file, const char* data, std::size_t size)
{
    while (size > 0) {
        DWORD n = 0;
        if (const int error = error_unless(::WriteFile(file, data, chunk_of(size), &n, nullptr)))
            return error;
        if (n == 0)
            return ERROR_WRITE_FAULT; // no progress; never spin
        data += n;
        size -= n;
    }
    return 0;
}

int truncate_file(native_file file)
{
    const LARGE_INTEGER start{};
    if (const int error = error_unless(::SetFilePointerEx(file, start, nullptr, FILE_BEGIN)))
        return error;
    return error_unless(::SetEndOfFile(file));
}

int close_file(native_file file) { return error_unless(::CloseHandle(file)); }

void remove_if_still(const std::string& path, const file_identity& identity)
{
    // Opened without following a link, and deleted through this very handle,
    // so that what is checked is what goes.
    native_file file = nullptr;
    if (open_path(path, DELETE | FILE_READ_ATTRIBUTES, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT,
                  file) != 0)
        return;
    file_identity now{};
    if (identify(file, now) == 0 && now.regular && same_file(now, identity)) {
        FILE_DISPOSITION_INFO disposition{TRUE};
        // The caller is already reporting a failure; a file that cannot be
        // removed adds nothing the user could act on.
        (void)::SetFileInformationByHandle(file, FileDispositionInfo, &disposition,
                                           sizeof disposition);
    }
    (void)::CloseHandle(file);
}

std::string system_error_text(int error)
{
    std::array<char, 512> text{};
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
        nullptr, static_cast<DWORD>(error), 0, text.data(), static_cast<DWORD>(text.size()),
        nullptr);
    std::string message(text.data(), length);
    // The system's texts end in a full stop and a line break; the message
    // line supplies its own.
    while (!message.empty() && (message.back() == ' ' || message.back() == '\r' ||
                                message.back() == '\n' || message.back() == '.'))
        message.pop_back();
    return message.empty() ? "Windows error " + std::to_string(error) : message;
}
